// The readers on hand-made files: what each takes from its header, how the
// values come out, and how each refuses what it cannot load.
#include "files/bytes.h"
#include "file_fixture.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

typedef std::vector<int> ints;

static bytes s16(ints v, bool big = false)
{
  bytes b;
  for (int x : v)
    big ? add_be16(b, (uint16_t)x) : add_le16(b, (uint16_t)x);
  return b;
}

static bytes make_snd(bool big, uint32_t size, uint32_t encoding, uint32_t channels, const bytes &data,
                      uint32_t offset = 28)
{
  bytes b;
  add_text(b, big ? ".snd" : "dns.", 4);
  for (uint32_t v : {offset, size, encoding, 8000u, channels})
    big ? add_be32(b, v) : add_le32(b, v);
  add_zeros(b, offset > 24 ? offset - 24 : 4);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

static bytes make_ils(int channels, int exponent, int mantissa, const bytes &data)
{
  bytes b(512, 0);
  put_le16(&b[10], (uint16_t)(data.size() / 512 + 1));
  put_le16(&b[116], (uint16_t)channels);
  put_le16(&b[120], (uint16_t)exponent);
  put_le16(&b[122], (uint16_t)mantissa);
  put_le16(&b[124], (uint16_t)-32000);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

static void add_mat(bytes &b, int type, int rows, int cols, const char *name, const bytes &data,
                    bool big = false, int imaginary = 0)
{
  for (uint32_t v : {(uint32_t)type, (uint32_t)rows, (uint32_t)cols, (uint32_t)imaginary,
                     (uint32_t)strlen(name) + 1})
    big ? add_be32(b, v) : add_le32(b, v);
  add_text(b, name, strlen(name) + 1);
  b.insert(b.end(), data.begin(), data.end());
}

static bytes le_double(double v)
{
  bytes b;
  add_le_double(b, v);
  return b;
}

static bytes make_adf(int frames, int channels, float khz, const bytes &data)
{
  bytes b;
  add_text(b, "KOBU40\0\0", 8);
  for (uint32_t v : {(uint32_t)frames, 0u, (uint32_t)channels, 0u})
    add_le32(b, v);
  add_le_float(b, khz);
  add_zeros(b, 516 - 28);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

class ReaderTest : public FileTest {
protected:
  // Loads through the dispatcher into a fresh window.
  void load(const std::string &name, const bytes &b)
  {
    clear_window(cur_win);
    load_file(write(name, b).c_str(), 0);
  }
  ints values(int n) const { return ints(win().samples, win().samples + n); }
};

// ---- WAV --------------------------------------------------------------------

TEST_F(ReaderTest, WavPcmOfEverySize)
{
  load("u8.wav", make_wav(1, 1, 11025, 8, {0, 128, 255, 130}));
  EXPECT_EQ(values(5), (ints{0, 128, 255, 130, 128})); // and the guard frame
  EXPECT_EQ(win().zero_level, 128);
  EXPECT_EQ(win().adc_rate, 11025);
  EXPECT_EQ(cur_file_type, FT_WAV);
  load("s16.wav", make_wav(1, 2, 8000, 16, s16({1, -1, 300, -300, 7})));
  EXPECT_EQ(win().num_samples, 2); // the half frame at the end is dropped
  EXPECT_EQ(values(4), (ints{1, -1, 300, -300}));
  load("s24.wav", make_wav(1, 1, 8000, 24, {0x11, 0x34, 0x12, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(values(2), (ints{0x1234, -1}));
  bytes small, full;
  for (int v : {100, -32768, 32767}) add_le32(small, (uint32_t)v);
  for (int v : {0x7FFFFFFF, (int)0x80000000, 0x10000}) add_le32(full, (uint32_t)v);
  load("small32.wav", make_wav(1, 1, 8000, 32, small));
  EXPECT_EQ(values(3), (ints{100, -32768, 32767})); // fits: unchanged
  load("full32.wav", make_wav(1, 1, 8000, 32, full));
  EXPECT_EQ(values(3), (ints{32767, -32768, 1})); // shifted by 16
  load("ch0.wav", make_wav(1, 0, -5, 16, s16({1, 2})));
  EXPECT_EQ(win().channels, 1);
  EXPECT_EQ(win().adc_rate, default_rate);
}

TEST_F(ReaderTest, WavChunksBetweenFmtAndDataAreSkipped)
{
  // A 40-byte fmt body, "fact", then an odd-sized LIST and its pad byte.
  bytes b;
  add_text(b, "RIFF\0\0\0\0WAVEfmt ", 16);
  for (uint32_t v : {40u, 0x10001u, 16000u, 32000u, 0x100002u})
    add_le32(b, v);
  add_zeros(b, 24);
  add_text(b, "fact\4\0\0\0\3\0\0\0LIST\5\0\0\0abcde\0data\6\0\0\0", 34);
  bytes d = s16({5, 6, 7});
  b.insert(b.end(), d.begin(), d.end());
  load("chunks.wav", b);
  EXPECT_EQ(win().num_samples, 3);
  EXPECT_EQ(values(3), (ints{5, 6, 7}));
  EXPECT_EQ(win().adc_rate, 16000);
  bytes longer = make_wav(1, 1, 8000, 16, s16({1, 2, 3}));
  put_le32(&longer[40], 0xFFFFFFFF); // data size past the end: what is there
  load("long.wav", longer);
  EXPECT_EQ(win().num_samples, 3);
  for (const std::string &m : messages())
    EXPECT_EQ(m.find("Truncating"), std::string::npos) << m;
}

TEST_F(ReaderTest, WavFloatIsScaledByItsPeak)
{
  bytes f, d;
  for (float v : {0.5f, -0.25f, 0.1f, -0.5f}) add_le_float(f, v);
  for (double v : {2.0, -1.0, (double)NAN, (double)INFINITY}) add_le_double(d, v);
  load("f.wav", make_wav(3, 1, 8000, 32, f));
  EXPECT_EQ(win().src_type, SC_FLOAT);
  EXPECT_EQ(values(4), (ints{32767, -16383, (int)(0.1f * 65534.0), -32767}));
  load("d.wav", make_wav(3, 1, 8000, 64, d));
  EXPECT_EQ(values(4), (ints{32767, -16383, 0, 32767}));
  // WAVE_FORMAT_EXTENSIBLE takes the tag of its sub-format.
  bytes ext;
  add_text(ext, "RIFF\0\0\0\0WAVEfmt ", 16);
  for (uint32_t v : {40u, 0x1FFFEu, 8000u, 32000u, 0x200004u, 0x200016u, 4u, 3u, 0u, 0u, 0u})
    add_le32(ext, v);
  add_text(ext, "data\10\0\0\0", 8);
  add_le_float(ext, 0.25f);
  add_le_float(ext, -1.0f);
  load("ext.wav", ext);
  EXPECT_EQ(values(2), (ints{8191, -32767}));
}

// ---- SND --------------------------------------------------------------------

TEST_F(ReaderTest, SndInBothByteOrders)
{
  load("be.snd", make_snd(true, 6, 3, 1, s16({1, -2, 300}, true)));
  EXPECT_EQ(values(3), (ints{1, -2, 300}));
  EXPECT_EQ(win().src_flag, 1);
  EXPECT_EQ(win().dac_rate, 8000);
  load("le.snd", make_snd(false, 6, 3, 1, s16({1, -2, 300})));
  EXPECT_EQ(values(3), (ints{1, -2, 300}));
  EXPECT_EQ(win().src_flag, 0);
  // 24- and 32-bit big-endian values are reversed before conversion.
  load("24.snd", make_snd(true, 6, 4, 1, {0x12, 0x34, 0x56, 0xFF, 0x00, 0x01}));
  EXPECT_EQ(values(2), (ints{0x1234, -256}));
  load("32.snd", make_snd(true, 8, 5, 1, {0x12, 0x34, 0x56, 0x78, 0x80, 0, 0, 0}));
  EXPECT_EQ(values(2), (ints{0x1234, -32768}));
  load("mu.snd", make_snd(true, 3, 1, 1, {0xFF, 0x00, 0x80}));
  EXPECT_EQ(values(3), (ints{0, -32124, 32124}));
  load("unknown.snd", make_snd(true, 0xFFFFFFFF, 3, 1, s16({1, 2, 3, 4}, true)));
  EXPECT_EQ(win().num_samples, 4);
}

TEST_F(ReaderTest, MultichannelFilesCountFramesNotValues)
{
  // 600000 stereo frames: more values than the load limit, fewer frames.
  ints v(1200000);
  for (size_t i = 0; i < v.size(); i++)
    v[i] = (int)(i % 1000) - 500;
  bytes d = s16(v);
  load("st.snd", make_snd(false, (uint32_t)d.size(), 3, 2, d));
  load("st.ils", make_ils(2, 0, 8000, d));
  for (const std::string &m : messages())
    EXPECT_EQ(m.find("Truncating"), std::string::npos) << m;
  EXPECT_EQ(win().num_samples, 600000);
  EXPECT_EQ(win().channels, 2);
  EXPECT_EQ(win().samples[1199999], 499);
}

// ---- ILS and token files ----------------------------------------------------

TEST_F(ReaderTest, IlsRatesAndSavedWindowBlock)
{
  load("a.ils", make_ils(1, 3, 16, s16({1, 2})));
  EXPECT_EQ(win().adc_rate, 16000);
  load("b.ils", make_ils(1, 0, 8000, s16({1, 2})));
  EXPECT_EQ(win().adc_rate, 8000);
  bytes b = make_ils(1, 0, 8000, s16({1, 2, 3, 4}));
  memcpy(&b[128], "BTNI_", 6);
  for (int i = 0; i < 3; i++)
    put_le32(&b[192 + 4 * i], (uint32_t)(i == 0 ? 1234567 : 22050 / i));
  for (int i = 0; i < 32; i++)
    put_le32(&b[204 + 4 * i], (uint32_t)(i == 2 ? 3 : -1));
  b[336] = 1;
  load("saved.ils", b);
  EXPECT_EQ(win().created, 1234567);
  EXPECT_EQ(win().adc_rate, 22050);
  EXPECT_EQ(win().dac_rate, 11025);
  EXPECT_EQ(win().marks[2], 3);
  EXPECT_EQ(win().marks[0], -1);
  EXPECT_EQ(win().kind, 1);
  load("long.ils", make_ils(1, 0, 8000, s16(ints(2000000, 7))));
  EXPECT_TRUE(showed(" Truncating signal from 2000000 to 1048576 samples."));
  EXPECT_EQ(win().num_samples, 1048576);
}

TEST_F(ReaderTest, TokenFiles)
{
  ints v(1500);
  for (int i = 0; i < 1500; i++)
    v[i] = i;
  bytes data = s16(v);
  data.resize(6 * 512);
  bytes b = make_ils(1, 0, 8000, data);
  put_le16(&b[10], 6);
  put_le16(&b[126], 11111);
  bytes table = {3, 0, 0xF4, 0x01}; // three tokens of 500 values
  table.resize(512);
  b.insert(b.end(), table.begin(), table.end());
  answer("2");
  load("t.tok", b);
  EXPECT_EQ(win().num_samples, 500);
  EXPECT_EQ(values(1), (ints{500}));
  EXPECT_STREQ(win().name, "token 2");
  answer("ALL");
  load("t.tok", b);
  EXPECT_EQ(win().num_samples, 1500);
  EXPECT_STREQ(win().name, "3 tokens");
  for (const char *bad : {"4", "x"}) {
    answer(bad);
    load("t.tok", b);
    EXPECT_TRUE(showed(" Invalid token number.")) << bad;
    EXPECT_EQ(win().num_samples, 0);
  }
}

// ---- Headerless, TRN, ADF ---------------------------------------------------

TEST_F(ReaderTest, HeaderlessLayouts)
{
  std::string p = write("raw", bytes(1001, 1));
  load_plain(p.c_str());
  EXPECT_EQ(win().num_samples, 500);
  raw_header = 2000;
  load_plain(p.c_str());
  EXPECT_TRUE(showed(" No signal."));
  EXPECT_EQ(win().num_samples, 0);
  bytes b = {9, 9, 9, 0x3F, 0, 0, 0, 0xBF, 0x80, 0, 0, 7, 7, 7, 7, 7}; // 0.5f, -1.0f big-endian
  raw_header = 3;
  raw_trailer = 5;
  raw_code = SC_FLOAT;
  raw_swap = 1;
  load_file(write("f.raw", b).c_str(), 1);
  EXPECT_EQ(values(2), (ints{16383, -32767}));
  EXPECT_EQ(win().file_type, FT_NOH);
  EXPECT_EQ(win().src_flag, 1);
}

TEST_F(ReaderTest, TrnAndAdfHeaders)
{
  bytes trn;
  add_text(trn, "TRN", 4);
  for (uint32_t v : {3u, 8000u, 16000u, 42u})
    add_le32(trn, v);
  add_zeros(trn, 128 - 20);
  trn.insert(trn.end(), {0, 128, 255, 77});
  load("a.trn", trn);
  EXPECT_EQ(values(3), (ints{0, 128, 255}));
  EXPECT_EQ(win().num_samples, 3);
  EXPECT_EQ(win().dac_rate, 16000);
  EXPECT_EQ(win().created, 42);
  load("a.adf", make_adf(2, 1, 22.05f, s16({3, -3})));
  EXPECT_EQ(win().adc_rate, 22050);
  EXPECT_EQ(values(2), (ints{3, -3}));
  for (float bad : {NAN, INFINITY, 0.0f, -8.0f, 1e-40f}) {
    load("b.adf", make_adf(2, 1, bad, s16({3, -3})));
    EXPECT_EQ(win().adc_rate, default_rate) << bad;
  }
}

// ---- MAT --------------------------------------------------------------------

TEST_F(ReaderTest, MatWalksToTheSignal)
{
  bytes b, pair = le_double(1), two = le_double(2);
  pair.insert(pair.end(), two.begin(), two.end());
  add_mat(b, 0, 1, 1, "fmax", le_double(5000));
  add_mat(b, 0, 2, 1, "pair", pair); // one frame of two values: skipped
  add_mat(b, 30, 1, 3, std::string(200, 'n').c_str(), s16({4, 5, 6}));
  load("a.mat", b);
  EXPECT_EQ(win().adc_rate, 10000);
  EXPECT_EQ(values(3), (ints{4, 5, 6}));
  bytes c;
  add_mat(c, 0, 1, 1, "rate", le_double(8000));
  add_mat(c, 30, 3, 2, "sig", s16({1, 2, 3, 4, 5, 6}));
  load("b.mat", c);
  EXPECT_EQ(win().channels, 3);
  EXPECT_EQ(win().num_samples, 2);
  EXPECT_EQ(win().adc_rate, 8000);
  bytes norate;
  add_mat(norate, 30, 1, 2, "x", s16({1, 2}));
  load("c.mat", norate);
  EXPECT_EQ(win().adc_rate, default_rate);
}

TEST_F(ReaderTest, MatBigEndianAndUnsignedData)
{
  bytes b, r = le_double(16000);
  std::reverse(r.begin(), r.end());
  add_mat(b, 1000, 1, 1, "rate", r, true);
  add_mat(b, 1030, 1, 4, "sig", s16({1, -1, 256, -256}, true), true);
  load_mat(write("be.mat", b).c_str());
  EXPECT_EQ(win().adc_rate, 16000);
  EXPECT_EQ(values(4), (ints{1, -1, 256, -256}));
  EXPECT_EQ(win().src_flag, 1);
  bytes u16, u8;
  add_mat(u16, 40, 1, 3, "u16", s16({0, 32768, 65535}));
  load("u16.mat", u16);
  EXPECT_EQ(values(3), (ints{0, 16384, 32767}));
  add_mat(u8, 50, 1, 3, "u8", {0, 128, 255});
  load("u8.mat", u8);
  EXPECT_EQ(values(3), (ints{0, 128, 255}));
}

// ---- LST --------------------------------------------------------------------

TEST_F(ReaderTest, LstValuesAndRates)
{
  load("a.lst", bytes_of("; rate=8000\n1\n2.5\n-5\n"));
  EXPECT_EQ(values(3), (ints{6553, 16383, -32766})); // 32767/5 in single precision
  EXPECT_EQ(win().adc_rate, 8000);
  load("b.lst", bytes_of("# comment\n  17\r\n3, -3\n\n12 345\n; rate=8000\n"));
  EXPECT_EQ(values(3), (ints{17, -3, 12}));
  EXPECT_EQ(win().adc_rate, default_rate); // the rate line came too late
  load("c.lst", bytes_of("70000\n-70000\n99999999999999999999999\nnan\n-nan.\n5\n"));
  EXPECT_EQ(win().num_samples, 4);
  EXPECT_EQ(values(4), (ints{32767, -32768, 32767, 5}));
  load("d.lst", bytes_of("1e999.\n1.0\n-1.5e999\n"));
  EXPECT_GE(values(3)[0], 32766);
  EXPECT_EQ(values(3)[1], 0);
  EXPECT_LE(values(3)[2], -32766);
  load("e.lst", bytes_of("; rate=0\n; rate=-5\n1" + std::string(100, ' ') + "\n"));
  EXPECT_EQ(win().adc_rate, default_rate);
  EXPECT_EQ(win().num_samples, 1);
  load("f.lst", bytes_of("; rate=8000\n; rate=16000\n1\n"));
  EXPECT_EQ(win().adc_rate, 16000);
}

// ---- Refusals ---------------------------------------------------------------

TEST_F(ReaderTest, EachReaderRefusesWithItsMessage)
{
  bytes wav = make_wav(1, 1, 8000, 16, {1, 2}), ils = make_ils(1, 0, 8000, {}), mat;
  auto with = [](bytes b, size_t at, const char *text, size_t n) {
    memcpy(&b[at], text, n);
    return b;
  };
  auto cut = [](bytes b, size_t n) {
    b.resize(n);
    return b;
  };
  auto mat_of = [](int type, int rows, int cols, int name_len, int imaginary) {
    bytes b;
    for (int v : {type, rows, cols, imaginary, name_len})
      add_le32(b, (uint32_t)v);
    add_text(b, "x\0\1\0\2\0", 6);
    return b;
  };
  bytes rate_only;
  add_mat(rate_only, 0, 1, 1, "rate", le_double(8000));
  struct { const char *name; reader_fn read; bytes file; const char *message; } cases[] = {
    {"tag2.wav", load_wav, make_wav(2, 1, 8000, 4, {1, 2}), " Can't load WAV format tag 2 (PCM and float only). "},
    {"bits0.wav", load_wav, make_wav(1, 1, 8000, 0, {1, 2}), " Can't load 0-bit WAV data. "},
    {"bits33.wav", load_wav, make_wav(1, 1, 8000, 33, {1, 2}), " Can't load 33-bit WAV data. "},
    {"f16.wav", load_wav, make_wav(3, 1, 8000, 16, {1, 2}), " Can't load 16-bit WAV data. "},
    {"ch.wav", load_wav, make_wav(1, 1000, 8000, 16, {1, 2}), " Can't load 1000 channels (8 at most). "},
    {"nowave.wav", load_wav, with(wav, 8, "WAVX", 4), " Error reading WAV file header. "},
    {"fmt12.wav", load_wav, with(wav, 16, "\14", 1), " Error reading WAV file header. "},
    {"nodata.wav", load_wav, with(wav, 36, "junk", 4), " Error reading WAV file header. "},
    {"ext.wav", load_wav, with(wav, 20, "\376\377", 2), " WAV extensible format header too short. "},
    {"cut.wav", load_wav, cut(wav, 3), " Error reading WAV file header. "},
    {"enc.snd", load_snd, make_snd(true, 4, 9, 1, {1, 2, 3, 4}), " Error reading SND file header. "},
    {"off.snd", load_snd, make_snd(true, 4, 3, 1, {1, 2, 3, 4}, 20), " Error reading SND file header. "},
    {"magic.snd", load_snd, with(make_snd(true, 4, 3, 1, {}), 0, "xsnd", 4), " Error reading SND file header. "},
    {"cut.snd", load_snd, cut(make_snd(true, 4, 3, 1, {}), 20), " Error reading SND file header. "},
    {"ch.snd", load_snd, make_snd(true, 4, 3, 9, {1, 2, 3, 4}), " Can't load 9 channels (8 at most). "},
    {"cut.ils", load_ils, cut(ils, 300), " Error reading ILS file header. "},
    {"cut.trn", load_trn, bytes(100, 1), " Error reading TRN file header. "},
    {"cut.adf", load_adf, bytes(300, 1), " Error reading ADF file header. "},
    {"ch.adf", load_adf, make_adf(2, 9, 8.0f, s16({3, -3})), " Can't load 9 channels (8 at most). "},
    {"neg.mat", load_mat, mat_of(30, -1, 2, 2, 0), " Error reading MAT file header. "},
    {"huge.mat", load_mat, mat_of(0, 2000000000, 2000000000, 2, 1), " Error reading MAT file header. "},
    {"name.mat", load_mat, mat_of(30, 1, 2, 0x7FFFFFFF, 0), " Error reading MAT file header. "},
    {"type.mat", load_mat, mat_of(0x12345678, 1, 2, 2, 0), " Error reading MAT file header. "},
    {"none.mat", load_mat, rate_only, " Error reading MAT file header. "},
    {"none.lst", load_lst, bytes_of("; only a comment\n"), " No signal in file. "},
  };
  for (auto &c : cases) {
    load("good.wav", make_wav(1, 1, 8000, 16, s16({1, 2, 3})));
    clear_window(cur_win);
    messages();
    c.read(write(c.name, c.file).c_str());
    EXPECT_TRUE(showed(c.message)) << c.name;
    EXPECT_EQ(win().num_samples, 0) << c.name;
  }
}

// ---- Dispatcher -------------------------------------------------------------

TEST_F(ReaderTest, FailedProbesLeaveWindowAndTypeAlone)
{
  load("a.wav", make_wav(1, 1, 8000, 16, s16({1, 2, 3})));
  messages();
  load_file(path("missing.wav").c_str(), 0);
  EXPECT_TRUE(showed(" Can't open '" + path("missing.wav") + "'."));
  EXPECT_EQ(win().num_samples, 3);
  EXPECT_EQ(cur_file_type, FT_WAV);
  clear_window(cur_win);
  load_file(dir.c_str(), 0); // a directory
  EXPECT_EQ(cur_file_type, FT_WAV);
  // Every file headerless: the reader reports a missing one, once.
  no_header = 1;
  messages();
  load_file(path("missing").c_str(), 0);
  ints m;
  for (const std::string &s : messages())
    m.push_back(s == " Can't open '" + path("missing") + "'.");
  EXPECT_EQ(std::count(m.begin(), m.end(), 1), 1);
  EXPECT_EQ(win().num_samples, 0);
}

TEST_F(ReaderTest, InformationLineAfterLoad)
{
  info_enabled = 1;
  load("st8.wav", make_wav(1, 2, 11025, 8, bytes(2 * 22050, 128)));
  EXPECT_TRUE(showed(" (WAV) 22050 samples (2 chan.) at 11025 Hz, ADC = 8 bits (unsigned) "));
}
