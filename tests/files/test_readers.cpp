// The readers on hand-made files: what each takes from its header, how the
// values come out, and how each refuses what it cannot load.
#include "files/bytes.h"
#include "file_fixture.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

static bytes s16_values(std::vector<int> v, bool big = false)
{
  bytes b;
  for (int x : v)
    big ? add_be16(b, (uint16_t)x) : add_le16(b, (uint16_t)x);
  return b;
}

static bytes make_snd(bool big, uint32_t size, uint32_t encoding, uint32_t rate, uint32_t channels,
                      const bytes &data, uint32_t offset = 28)
{
  bytes b;
  auto field = [&](uint32_t v) { big ? add_be32(b, v) : add_le32(b, v); };
  add_text(b, big ? ".snd" : "dns.", 4);
  field(offset);
  field(size);
  field(encoding);
  field(rate);
  field(channels);
  add_zeros(b, offset > 24 ? offset - 24 : 4);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

static bytes make_ils(int channels, int exponent, int mantissa, const bytes &data)
{
  bytes b;
  add_zeros(b, 512);
  put_le16(&b[10], (uint16_t)(data.size() / 512 + 1));
  put_le16(&b[116], (uint16_t)channels);
  put_le16(&b[120], (uint16_t)exponent);
  put_le16(&b[122], (uint16_t)mantissa);
  put_le16(&b[124], (uint16_t)-32000);
  put_le16(&b[126], 32149);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

static void add_mat(bytes &b, int type, int rows, int cols, const char *name, const bytes &data,
                    bool big = false, int imaginary = 0)
{
  auto field = [&](uint32_t v) { big ? add_be32(b, v) : add_le32(b, v); };
  field((uint32_t)type);
  field((uint32_t)rows);
  field((uint32_t)cols);
  field((uint32_t)imaginary);
  field((uint32_t)strlen(name) + 1);
  add_text(b, name, strlen(name) + 1);
  b.insert(b.end(), data.begin(), data.end());
}

static bytes le_double(double v)
{
  bytes b;
  add_le_double(b, v);
  return b;
}

class ReaderTest : public FileTest {
protected:
  void load(const std::string &p) { load_file(p.c_str(), 0); }
  std::vector<int> values(int n) const
  {
    std::vector<int> v;
    for (int i = 0; i < n; i++)
      v.push_back(value(i));
    return v;
  }
  void expect_empty_after(const std::string &message)
  {
    std::vector<std::string> m = messages();
    EXPECT_TRUE(has(m, message)) << "missing: [" << message << "]";
    EXPECT_EQ(win().num_samples, 0);
  }
};

// ---- WAV --------------------------------------------------------------------

TEST_F(ReaderTest, Wav8BitLoadsUnsignedAndGuesses8Bits)
{
  load(write("a.wav", make_wav(1, 1, 11025, 8, {0, 128, 255, 130})));
  EXPECT_EQ(win().num_samples, 4);
  EXPECT_EQ(values(4), (std::vector<int>{0, 128, 255, 130}));
  EXPECT_EQ(win().src_type, SC_U8);
  EXPECT_EQ(win().adc_bits, 8);
  EXPECT_EQ(win().zero_level, 128);
  EXPECT_EQ(win().adc_rate, 11025);
  EXPECT_EQ(win().file_type, FT_WAV);
  EXPECT_EQ(cur_file_type, FT_WAV);
  EXPECT_EQ(value(4), 128); // guard frame
  EXPECT_EQ(win().marks[MARK_END], 4);
}

TEST_F(ReaderTest, WavStereo16And24Bit)
{
  load(write("s.wav", make_wav(1, 2, 8000, 16, s16_values({1, -1, 300, -300, 7}))));
  EXPECT_EQ(win().channels, 2);
  EXPECT_EQ(win().num_samples, 2); // the half frame at the end is dropped
  EXPECT_EQ(values(4), (std::vector<int>{1, -1, 300, -300}));
  clear_window(cur_win);
  bytes d24 = {0x11, 0x34, 0x12, 0xFF, 0xFF, 0xFF};
  load(write("t.wav", make_wav(1, 1, 8000, 24, d24)));
  EXPECT_EQ(win().src_type, SC_S24);
  EXPECT_EQ(values(2), (std::vector<int>{0x1234, -1}));
}

TEST_F(ReaderTest, WavChunksBeforeDataAreSkipped)
{
  // fmt body of 40 bytes, then "fact", then an odd-sized LIST with its pad.
  bytes b;
  add_text(b, "RIFF", 4);
  add_le32(b, 0);
  add_text(b, "WAVEfmt ", 8);
  add_le32(b, 40);
  add_le16(b, 1);
  add_le16(b, 1);
  add_le32(b, 16000);
  add_le32(b, 32000);
  add_le16(b, 2);
  add_le16(b, 16);
  add_zeros(b, 24);
  add_text(b, "fact", 4);
  add_le32(b, 4);
  add_le32(b, 3);
  add_text(b, "LIST", 4);
  add_le32(b, 5);
  add_text(b, "abcde", 5);
  add_zeros(b, 1);
  add_text(b, "data", 4);
  add_le32(b, 6);
  bytes d = s16_values({5, 6, 7});
  b.insert(b.end(), d.begin(), d.end());
  load(write("chunks.wav", b));
  EXPECT_EQ(win().num_samples, 3);
  EXPECT_EQ(values(3), (std::vector<int>{5, 6, 7}));
  EXPECT_EQ(win().adc_rate, 16000);
}

TEST_F(ReaderTest, WavDataSizePastTheEndLoadsWhatIsThere)
{
  bytes b = make_wav(1, 1, 8000, 16, s16_values({1, 2, 3}));
  put_le32(&b[40], 0xFFFFFFFF);
  load(write("long.wav", b));
  EXPECT_EQ(win().num_samples, 3);
  EXPECT_FALSE(has(messages(), " Truncating signal from 2147483647 to 1048576 samples."));
}

TEST_F(ReaderTest, WavFloatIsScaledByItsPeak)
{
  bytes d;
  for (float v : {0.5f, -0.25f, 0.1f, -0.5f})
    add_le_float(d, v);
  load(write("f.wav", make_wav(3, 1, 8000, 32, d)));
  EXPECT_EQ(win().src_type, SC_FLOAT);
  EXPECT_EQ(values(4), (std::vector<int>{32767, -16383, (int)(0.1f * 65534.0), -32767}));
  bytes e;
  for (double v : {2.0, -1.0, (double)NAN, (double)INFINITY})
    add_le_double(e, v);
  clear_window(cur_win);
  load(write("d.wav", make_wav(3, 1, 8000, 64, e)));
  EXPECT_EQ(values(4), (std::vector<int>{32767, -16383, 0, 32767}));
}

TEST_F(ReaderTest, Wav32BitPcmShiftsOnlyWhenItMust)
{
  bytes small, full;
  for (int v : {100, -32768, 32767}) add_le32(small, (uint32_t)v);
  for (int v : {0x7FFFFFFF, (int)0x80000000, 0x10000}) add_le32(full, (uint32_t)v);
  load(write("small.wav", make_wav(1, 1, 8000, 32, small)));
  EXPECT_EQ(values(3), (std::vector<int>{100, -32768, 32767}));
  clear_window(cur_win);
  load(write("full.wav", make_wav(1, 1, 8000, 32, full)));
  EXPECT_EQ(values(3), (std::vector<int>{32767, -32768, 1}));
}

TEST_F(ReaderTest, WavExtensibleTakesTheSubFormat)
{
  bytes b;
  add_text(b, "RIFF", 4);
  add_le32(b, 0);
  add_text(b, "WAVEfmt ", 8);
  add_le32(b, 40);
  add_le16(b, 0xFFFE);
  add_le16(b, 1);
  add_le32(b, 8000);
  add_le32(b, 32000);
  add_le16(b, 4);
  add_le16(b, 32);
  add_le16(b, 22);
  add_le16(b, 32);
  add_le32(b, 4);
  add_le16(b, 3); // sub-format: IEEE float
  add_zeros(b, 14);
  add_text(b, "data", 4);
  add_le32(b, 8);
  add_le_float(b, 0.25f);
  add_le_float(b, -1.0f);
  load(write("ext.wav", b));
  EXPECT_EQ(values(2), (std::vector<int>{8191, -32767}));
  b[44] = 2; // sub-format ADPCM
  clear_window(cur_win);
  load(write("ext2.wav", b));
  expect_empty_after(" Can't load WAV format tag 2 (PCM and float only). ");
}

TEST_F(ReaderTest, WavRefusesWhatItCannotRead)
{
  load(write("adpcm.wav", make_wav(2, 1, 8000, 4, {1, 2, 3, 4})));
  expect_empty_after(" Can't load WAV format tag 2 (PCM and float only). ");
  load(write("b0.wav", make_wav(1, 1, 8000, 0, {1, 2})));
  expect_empty_after(" Can't load 0-bit WAV data. ");
  load(write("b33.wav", make_wav(1, 1, 8000, 33, {1, 2})));
  expect_empty_after(" Can't load 33-bit WAV data. ");
  load(write("f16.wav", make_wav(3, 1, 8000, 16, {1, 2})));
  expect_empty_after(" Can't load 16-bit WAV data. ");
  load(write("ch.wav", make_wav(1, 1000, 8000, 16, {1, 2})));
  expect_empty_after(" Can't load 1000 channels (8 at most). ");
  bytes nowave = make_wav(1, 1, 8000, 16, {1, 2});
  memcpy(&nowave[8], "WAVX", 4);
  load_wav(write("nowave.wav", nowave).c_str());
  expect_empty_after(" Error reading WAV file header. ");
  bytes shortfmt = make_wav(1, 1, 8000, 16, {1, 2});
  put_le32(&shortfmt[16], 12);
  load(write("shortfmt.wav", shortfmt));
  expect_empty_after(" Error reading WAV file header. ");
  bytes nodata = make_wav(1, 1, 8000, 16, {1, 2});
  memcpy(&nodata[36], "junk", 4);
  load(write("nodata.wav", nodata));
  expect_empty_after(" Error reading WAV file header. ");
}

TEST_F(ReaderTest, WavOddCountsFallBackToSafeValues)
{
  load(write("ch0.wav", make_wav(1, 0, 0, 16, s16_values({1, 2}))));
  EXPECT_EQ(win().channels, 1);
  EXPECT_EQ(win().num_samples, 2);
  EXPECT_EQ(win().adc_rate, default_rate);
  clear_window(cur_win);
  load(write("neg.wav", make_wav(1, 1, -5, 16, s16_values({1, 2}))));
  EXPECT_EQ(win().adc_rate, default_rate);
}

// ---- SND --------------------------------------------------------------------

TEST_F(ReaderTest, SndInBothByteOrders)
{
  load(write("be.snd", make_snd(true, 6, 3, 8000, 1, s16_values({1, -2, 300}, true))));
  EXPECT_EQ(values(3), (std::vector<int>{1, -2, 300}));
  EXPECT_EQ(win().src_flag, 1);
  EXPECT_EQ(win().adc_rate, 8000);
  EXPECT_EQ(win().dac_rate, 8000);
  clear_window(cur_win);
  load(write("le.snd", make_snd(false, 6, 3, 8000, 1, s16_values({1, -2, 300}))));
  EXPECT_EQ(values(3), (std::vector<int>{1, -2, 300}));
  EXPECT_EQ(win().src_flag, 0);
}

TEST_F(ReaderTest, SndBigEndianWideValuesAreReversedFirst)
{
  bytes d24 = {0x12, 0x34, 0x56, 0xFF, 0x00, 0x01};
  load(write("24.snd", make_snd(true, 6, 4, 8000, 1, d24)));
  EXPECT_EQ(values(2), (std::vector<int>{0x1234, -256}));
  bytes d32;
  add_be32(d32, 0x12345678);
  add_be32(d32, 0x80000000);
  clear_window(cur_win);
  load(write("32.snd", make_snd(true, 8, 5, 8000, 1, d32)));
  EXPECT_EQ(values(2), (std::vector<int>{0x1234, -32768}));
}

TEST_F(ReaderTest, SndUnknownSizeReadsToTheEnd)
{
  load(write("u.snd", make_snd(true, 0xFFFFFFFF, 3, 8000, 1, s16_values({1, 2, 3, 4}, true))));
  EXPECT_EQ(win().num_samples, 4);
  EXPECT_FALSE(has(messages(), " Truncating signal from 2147483647 to 1048576 samples."));
}

TEST_F(ReaderTest, SndStereoCountsFramesNotValues)
{
  // 600000 frames of two channels: no truncation, exact length.
  std::vector<int> v(1200000);
  for (size_t i = 0; i < v.size(); i++)
    v[i] = (int)(i % 1000) - 500;
  bytes d = s16_values(v);
  load(write("st.snd", make_snd(false, (uint32_t)d.size(), 3, 8000, 2, d)));
  std::vector<std::string> m = messages();
  for (const std::string &s : m)
    EXPECT_EQ(s.find("Truncating"), std::string::npos) << s;
  EXPECT_EQ(win().num_samples, 600000);
  EXPECT_EQ(win().channels, 2);
  EXPECT_EQ(value(1199999), 499);
}

TEST_F(ReaderTest, SndRefusesBadHeaders)
{
  load(write("enc.snd", make_snd(true, 4, 9, 8000, 1, {1, 2, 3, 4})));
  expect_empty_after(" Error reading SND file header. ");
  load(write("off.snd", make_snd(true, 4, 3, 8000, 1, {1, 2, 3, 4}, 20)));
  expect_empty_after(" Error reading SND file header. ");
  bytes cut = make_snd(true, 4, 3, 8000, 1, {});
  cut.resize(20);
  load(write("cut.snd", cut));
  expect_empty_after(" Error reading SND file header. ");
  // A magic that changed after the probe: the reader itself meets it.
  bytes bad = make_snd(true, 4, 3, 8000, 1, {1, 2, 3, 4});
  memcpy(bad.data(), "xsnd", 4);
  load_snd(write("magic.snd", bad).c_str());
  expect_empty_after(" Error reading SND file header. ");
  load(write("ch.snd", make_snd(true, 4, 3, 8000, 9, {1, 2, 3, 4})));
  expect_empty_after(" Can't load 9 channels (8 at most). ");
}

TEST_F(ReaderTest, SndMulawExpands)
{
  load(write("mu.snd", make_snd(true, 3, 1, 8000, 1, {0xFF, 0x00, 0x80})));
  EXPECT_EQ(values(3), (std::vector<int>{0, -32124, 32124}));
}

// ---- ILS and token files ----------------------------------------------------

TEST_F(ReaderTest, IlsRateFromHeaderWords)
{
  load(write("a.ils", make_ils(1, 3, 16, s16_values({1, 2}))));
  EXPECT_EQ(win().adc_rate, 16000);
  clear_window(cur_win);
  load(write("b.ils", make_ils(1, 0, 8000, s16_values({1, 2}))));
  EXPECT_EQ(win().adc_rate, 8000);
  clear_window(cur_win);
  bytes b = make_ils(1, 0, 0, s16_values({1, 2}));
  put_le16(&b[122], 0);
  default_rate = 12345;
  load_ils(write("c.ils", b).c_str());
  EXPECT_EQ(win().adc_rate, 12345);
}

TEST_F(ReaderTest, IlsTwoChannelsCountFrames)
{
  std::vector<int> v(2000);
  for (int i = 0; i < 2000; i++)
    v[i] = i;
  load(write("st.ils", make_ils(2, 0, 8000, s16_values(v))));
  EXPECT_EQ(win().num_samples, 1000);
  EXPECT_EQ(win().channels, 2);
  EXPECT_EQ(value(1999), 1999);
}

TEST_F(ReaderTest, IlsSavedWindowBlockRestoresMarksAndRates)
{
  bytes b = make_ils(1, 0, 8000, s16_values({1, 2, 3, 4}));
  memcpy(&b[128], "BTNI_", 6);
  put_le32(&b[192], 1234567);
  put_le32(&b[196], 22050);
  put_le32(&b[200], 11025);
  for (int i = 0; i < 32; i++)
    put_le32(&b[204 + 4 * i], (uint32_t)(i == 2 ? 3 : i == 27 ? 99 : -1));
  b[336] = 1;
  load(write("saved.ils", b));
  EXPECT_EQ(win().adc_rate, 22050);
  EXPECT_EQ(win().dac_rate, 11025);
  EXPECT_EQ(win().created, 1234567);
  EXPECT_EQ(win().marks[2], 3);
  EXPECT_EQ(win().marks[0], -1);
  EXPECT_EQ(win().kind, 1);
}

TEST_F(ReaderTest, IlsShortHeaderIsRefused)
{
  bytes b = make_ils(1, 0, 8000, {});
  b.resize(300);
  load_ils(write("short.ils", b).c_str());
  expect_empty_after(" Error reading ILS file header. ");
}

TEST_F(ReaderTest, IlsLongFileIsTruncatedWithAMessage)
{
  std::vector<int> v(2000000, 7);
  load(write("long.ils", make_ils(1, 0, 8000, s16_values(v))));
  EXPECT_TRUE(showed(" Truncating signal from 2000000 to 1048576 samples."));
  EXPECT_EQ(win().num_samples, 1048576);
}

class TokenTest : public ReaderTest {
protected:
  std::string make_tokens()
  {
    std::vector<int> v(1500);
    for (int i = 0; i < 1500; i++)
      v[i] = i;
    bytes data = s16_values(v);
    data.resize(6 * 512); // six data blocks
    bytes b = make_ils(1, 0, 8000, data);
    put_le16(&b[10], 6);
    put_le16(&b[126], 11111);
    bytes table;
    add_le16(table, 3);
    add_le16(table, 500);
    add_zeros(table, 508);
    b.insert(b.end(), table.begin(), table.end());
    return write("t.tok", b);
  }
};

TEST_F(TokenTest, OneTokenByNumber)
{
  std::string p = make_tokens();
  answer("2");
  load(p);
  EXPECT_EQ(win().num_samples, 500);
  EXPECT_EQ(value(0), 500);
  EXPECT_EQ(value(499), 999);
  EXPECT_STREQ(win().name, "token 2");
}

TEST_F(TokenTest, AllTokens)
{
  std::string p = make_tokens();
  answer("ALL");
  load(p);
  EXPECT_EQ(win().num_samples, 1500);
  EXPECT_STREQ(win().name, "3 tokens");
}

TEST_F(TokenTest, InvalidNumbersAreRefused)
{
  std::string p = make_tokens();
  answer("4");
  load(p);
  expect_empty_after(" Invalid token number.");
  answer("x");
  load(p);
  expect_empty_after(" Invalid token number.");
}

// ---- Headerless -------------------------------------------------------------

TEST_F(ReaderTest, HeaderlessCountsWholeValues)
{
  bytes b(1001, 1);
  std::string p = write("raw", b);
  load_plain(p.c_str());
  EXPECT_EQ(win().num_samples, 500);
  EXPECT_EQ(value(0), 0x0101);
  clear_window(cur_win);
  raw_header = 2000;
  messages();
  load_plain(p.c_str());
  expect_empty_after(" No signal.");
}

TEST_F(ReaderTest, HeaderlessBigEndianFloatsWithHeaderAndTrailer)
{
  bytes b = {9, 9, 9};
  for (float v : {0.5f, -1.0f}) {
    uint32_t u;
    memcpy(&u, &v, 4);
    add_be32(b, u);
  }
  add_zeros(b, 5);
  raw_header = 3;
  raw_trailer = 5;
  raw_code = SC_FLOAT;
  raw_swap = 1;
  load_file(write("f.raw", b).c_str(), 1);
  EXPECT_EQ(win().num_samples, 2);
  EXPECT_EQ(values(2), (std::vector<int>{16383, -32767}));
  EXPECT_EQ(win().file_type, FT_NOH);
  EXPECT_EQ(win().src_flag, 1);
}

// ---- TRN and ADF ------------------------------------------------------------

TEST_F(ReaderTest, TrnTakesRatesAndUnsignedBytes)
{
  bytes b;
  add_text(b, "TRN", 4);
  add_le32(b, 3);
  add_le32(b, 8000);
  add_le32(b, 16000);
  add_le32(b, 42);
  add_zeros(b, 128 - 20);
  b.insert(b.end(), {0, 128, 255, 77});
  load(write("a.trn", b));
  EXPECT_EQ(win().num_samples, 3);
  EXPECT_EQ(values(3), (std::vector<int>{0, 128, 255}));
  EXPECT_EQ(win().adc_rate, 8000);
  EXPECT_EQ(win().dac_rate, 16000);
  EXPECT_EQ(win().created, 42);
  b.resize(100);
  clear_window(cur_win);
  load(write("b.trn", b));
  expect_empty_after(" Error reading TRN file header. ");
}

static bytes make_adf(int frames, int channels, float khz, const bytes &data)
{
  bytes b;
  add_text(b, "KOBU40\0\0", 8);
  add_le32(b, (uint32_t)frames);
  add_le32(b, 0);
  add_le16(b, (uint16_t)channels);
  add_le16(b, 16);
  add_le32(b, 0);
  add_le_float(b, khz);
  add_zeros(b, 516 - 28);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

TEST_F(ReaderTest, AdfRateInKilohertz)
{
  load(write("a.adf", make_adf(2, 1, 22.05f, s16_values({3, -3}))));
  EXPECT_EQ(win().adc_rate, 22050);
  EXPECT_EQ(values(2), (std::vector<int>{3, -3}));
  for (float bad : {NAN, INFINITY, 0.0f, -8.0f, 1e-40f}) {
    clear_window(cur_win);
    load(write("b.adf", make_adf(2, 1, bad, s16_values({3, -3}))));
    EXPECT_EQ(win().adc_rate, default_rate) << bad;
  }
  clear_window(cur_win);
  load(write("c.adf", make_adf(2, 9, 8.0f, s16_values({3, -3}))));
  expect_empty_after(" Can't load 9 channels (8 at most). ");
  bytes cut = make_adf(2, 1, 8.0f, {});
  cut.resize(300);
  load(write("d.adf", cut));
  expect_empty_after(" Error reading ADF file header. ");
}

// ---- MAT --------------------------------------------------------------------

TEST_F(ReaderTest, MatFmaxAndSkippedMatrices)
{
  bytes b;
  add_mat(b, 0, 1, 1, "fmax", le_double(5000));
  bytes two = le_double(1);
  bytes second = le_double(2);
  two.insert(two.end(), second.begin(), second.end());
  add_mat(b, 0, 2, 1, "pair", two); // 2 x 1: one frame of two channels, skipped
  add_mat(b, 30, 1, 3, "sig", s16_values({4, 5, 6}));
  load(write("a.mat", b));
  EXPECT_EQ(win().adc_rate, 10000);
  EXPECT_EQ(values(3), (std::vector<int>{4, 5, 6}));
  EXPECT_EQ(win().num_samples, 3);
}

TEST_F(ReaderTest, MatRowsBecomeChannels)
{
  bytes b;
  add_mat(b, 0, 1, 1, "rate", le_double(8000));
  add_mat(b, 30, 3, 2, "sig", s16_values({1, 2, 3, 4, 5, 6}));
  load(write("a.mat", b));
  EXPECT_EQ(win().channels, 3);
  EXPECT_EQ(win().num_samples, 2);
  EXPECT_EQ(win().adc_rate, 8000);
}

TEST_F(ReaderTest, MatBigEndianFile)
{
  bytes b, d;
  uint64_t u;
  double r = 16000;
  memcpy(&u, &r, 8);
  add_be32(d, (uint32_t)(u >> 32));
  add_be32(d, (uint32_t)u);
  add_mat(b, 1000, 1, 1, "rate", d, true);
  add_mat(b, 1030, 1, 4, "sig", s16_values({1, -1, 256, -256}, true), true);
  load_mat(write("be.mat", b).c_str());
  EXPECT_EQ(win().adc_rate, 16000);
  EXPECT_EQ(values(4), (std::vector<int>{1, -1, 256, -256}));
  EXPECT_EQ(win().src_flag, 1);
}

TEST_F(ReaderTest, MatUnsignedPrecisionsKeepTheirShape)
{
  bytes b, u16;
  for (int v : {0, 32768, 65535}) add_le16(u16, (uint16_t)v);
  add_mat(b, 40, 1, 3, "u16", u16);
  load(write("u16.mat", b));
  EXPECT_EQ(values(3), (std::vector<int>{0, 16384, 32767}));
  bytes c;
  add_mat(c, 50, 1, 3, "u8", {0, 128, 255});
  clear_window(cur_win);
  load(write("u8.mat", c));
  EXPECT_EQ(values(3), (std::vector<int>{0, 128, 255}));
  EXPECT_EQ(win().zero_level, 128);
}

TEST_F(ReaderTest, MatLongNamesAreReadPast)
{
  std::string name(200, 'n');
  bytes b;
  add_mat(b, 30, 1, 2, name.c_str(), s16_values({11, 12}));
  load(write("long.mat", b));
  EXPECT_EQ(values(2), (std::vector<int>{11, 12}));
}

TEST_F(ReaderTest, MatRefusesAbsurdHeaders)
{
  bytes neg;
  add_mat(neg, 30, -1, 2, "x", s16_values({1, 2}));
  load_mat(write("neg.mat", neg).c_str());
  expect_empty_after(" Error reading MAT file header. ");
  bytes huge; // a skipped matrix whose size runs far past the file
  add_mat(huge, 0, 2000000000, 2000000000, "x", {}, false, 1);
  load_mat(write("huge.mat", huge).c_str());
  expect_empty_after(" Error reading MAT file header. ");
  bytes name;
  add_mat(name, 30, 1, 2, "x", s16_values({1, 2}));
  put_le32(&name[16], 0x7FFFFFFF);
  load_mat(write("name.mat", name).c_str());
  expect_empty_after(" Error reading MAT file header. ");
  bytes type;
  add_mat(type, 30, 1, 2, "x", s16_values({1, 2}));
  put_le32(&type[0], 0x12345678);
  load_mat(write("type.mat", type).c_str());
  expect_empty_after(" Error reading MAT file header. ");
  bytes nosignal;
  add_mat(nosignal, 0, 1, 1, "rate", le_double(8000));
  load_mat(write("none.mat", nosignal).c_str());
  expect_empty_after(" Error reading MAT file header. ");
}

TEST_F(ReaderTest, MatWithoutRateUsesTheDefault)
{
  bytes b;
  add_mat(b, 30, 1, 2, "x", s16_values({1, 2}));
  load(write("norate.mat", b));
  EXPECT_EQ(win().adc_rate, default_rate);
}

// ---- LST --------------------------------------------------------------------

TEST_F(ReaderTest, LstDecimalValuesAreScaledInSinglePrecision)
{
  load(write_text("a.lst", "; rate=8000\n1\n2.5\n-5\n"));
  EXPECT_EQ(win().num_samples, 3);
  EXPECT_EQ(values(3), (std::vector<int>{6553, 16383, -32766}));
  EXPECT_EQ(win().adc_rate, 8000);
  EXPECT_EQ(win().file_type, FT_LST);
}

TEST_F(ReaderTest, LstIntegersUnscaledAndLateRateIgnored)
{
  load(write_text("b.lst", "# comment\n  17\r\n3, -3\n\n12 345\n; rate=8000\n"));
  EXPECT_EQ(values(3), (std::vector<int>{17, -3, 12}));
  EXPECT_EQ(win().adc_rate, default_rate);
}

TEST_F(ReaderTest, LstOutOfRangeValuesAreClipped)
{
  load(write_text("c.lst", "70000\n-70000\n99999999999999999999999\nnan\n-nan.\n5\n"));
  EXPECT_EQ(win().num_samples, 4);
  EXPECT_EQ(values(4), (std::vector<int>{32767, -32768, 32767, 5}));
  clear_window(cur_win);
  load(write_text("d.lst", "1e999.\n1.0\n-1.5e999\n"));
  EXPECT_GE(value(0), 32766);
  EXPECT_EQ(value(1), 0);
  EXPECT_LE(value(2), -32766);
}

TEST_F(ReaderTest, LstRateLinesThatGiveNoRate)
{
  load(write_text("e.lst", "; rate=0\n; rate=-5\n1\n"));
  EXPECT_EQ(win().adc_rate, default_rate);
  clear_window(cur_win);
  load(write_text("f.lst", "; rate=8000\n; rate=16000\n1\n"));
  EXPECT_EQ(win().adc_rate, 16000);
}

TEST_F(ReaderTest, LstLongLineIsSeveralPieces)
{
  std::string line = "1" + std::string(100, ' ') + "\n";
  load(write_text("g.lst", line));
  EXPECT_EQ(win().num_samples, 1);
  clear_window(cur_win);
  load(write_text("h.lst", "; only a comment\n"));
  expect_empty_after(" No signal in file. ");
}

// ---- Dispatcher -------------------------------------------------------------

TEST_F(ReaderTest, MissingFileLeavesALoadedWindowAlone)
{
  load(write("a.wav", make_wav(1, 1, 8000, 16, s16_values({1, 2, 3}))));
  ASSERT_EQ(win().num_samples, 3);
  messages();
  load(path("missing.wav"));
  std::string expected = " Can't open '" + path("missing.wav") + "'.";
  EXPECT_TRUE(showed(expected));
  EXPECT_EQ(win().num_samples, 3);
  EXPECT_EQ(cur_file_type, FT_WAV);
}

TEST_F(ReaderTest, FailedProbeKeepsTheCurrentType)
{
  cur_file_type = FT_SND;
  load(path("missing"));
  EXPECT_EQ(cur_file_type, FT_SND);
  load(dir); // a directory
  EXPECT_EQ(cur_file_type, FT_SND);
  EXPECT_EQ(win().num_samples, 0);
}

TEST_F(ReaderTest, HeaderlessOptionReportsAMissingFileOnce)
{
  no_header = 1;
  load(path("missing"));
  std::vector<std::string> m = messages();
  EXPECT_EQ(std::count(m.begin(), m.end(), " Can't open '" + path("missing") + "'."), 1);
  EXPECT_EQ(win().num_samples, 0);
  mkdir(path("d").c_str(), 0755);
  load(path("d"));
  EXPECT_TRUE(showed(" Can't open '" + path("d") + "'."));
}

TEST_F(ReaderTest, ReloadReplacesTheSignal)
{
  std::string p = write("a.wav", make_wav(1, 1, 8000, 16, s16_values({1, 2, 3})));
  load(p);
  write("a.wav", make_wav(1, 1, 8000, 16, s16_values({4, 5})));
  load(p);
  EXPECT_EQ(win().num_samples, 2);
  EXPECT_EQ(value(0), 4);
}

TEST_F(ReaderTest, InformationLineAfterLoad)
{
  info_enabled = 1;
  bytes d(2 * 22050, 128);
  load(write("st8.wav", make_wav(1, 2, 11025, 8, d)));
  EXPECT_TRUE(showed(" (WAV) 22050 samples (2 chan.) at 11025 Hz, ADC = 8 bits (unsigned) "));
}
