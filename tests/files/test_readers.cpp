// The readers on hand-made files: what each takes from its header, how the
// values come out, how each refuses what it cannot load, and that damaged
// files never make a reader trust a count it did not check.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "support/support.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <sys/stat.h>

using namespace std::string_literals;
typedef std::vector<int> ints;
typedef void (*reader_fn)(const char *name);

static bytes snd(bool big, uint32_t size, uint32_t encoding, uint32_t channels, const bytes &data,
                 uint32_t offset = 28)
{
  return bytes_of(big ? ".snd" : "dns.") + packed(big, 4, {offset, size, encoding, 8000, channels}) +
         bytes(offset > 24 ? offset - 24 : 4) + data;
}

static bytes ils(int channels, int exponent, int mantissa, const bytes &data)
{
  bytes b(512);
  for (auto [at, v] : {std::pair{10, (int)data.size() / 512 + 1}, {116, channels}, {120, exponent},
                       {122, mantissa}, {124, -32000}})
    put_le16(&b[at], (uint16_t)v);
  return b + data;
}

static bytes mat(uint32_t type, uint32_t rows, uint32_t cols, const std::string &name, const bytes &data,
                 bool big = false, uint32_t imaginary = 0)
{
  return packed(big, 4, {type, rows, cols, imaginary, name.size() + 1}) + bytes_of(name + '\0') + data;
}

static bytes adf(uint32_t frames, int channels, float khz, const bytes &data)
{
  return bytes_of("KOBU40\0\0"s) + le(4, frames, 0, channels, 0, float_bits(khz)) + bytes(516 - 28) + data;
}

static bytes trn(uint32_t count, uint32_t created, const bytes &data)
{
  return bytes_of("TRN\0"s) + le(4, count, 8000, 16000, created) + bytes(128 - 20) + data;
}

static bytes le_double(double v) { return le(8, double_bits(v)); }

// n 16-bit values start, start + 37, ...
static bytes ramp(int n, int start)
{
  ints v(n);
  for (int i = 0; i < n; i++)
    v[i] = start + 37 * i;
  return s16(v);
}

class ReaderTest : public FileTest {
protected:
  // Loads through the dispatcher into a fresh window.
  void load(const std::string &name, const bytes &b)
  {
    clear_window(cur_win);
    load_file(write(name, b).c_str(), 0);
  }
  ints all() const { return values(win().num_samples * win().channels); }
  bool truncated()
  {
    std::vector<std::string> m = messages();
    return std::any_of(m.begin(), m.end(), [](auto &s) { return s.find("Truncating") != std::string::npos; });
  }
};

TEST_F(ReaderTest, EachFormatLoadsItsValuesAndRate)
{
  bytes data_past_end = make_wav(1, 1, 8000, 16, s16({1, 2, 3}));
  put_le32(&data_past_end[40], 0xFFFFFFFF);
  bytes riff = bytes_of("RIFF\0\0\0\0WAVEfmt "s);
  struct row {
    const char *name;
    bytes file;
    ints expect; // every value loaded
    int rate, channels = 1;
    void (*more)(const signal_window &) = nullptr;
  } rows[] = {
    {"u8.wav", make_wav(1, 1, 11025, 8, {0, 128, 255, 130}), {0, 128, 255, 130}, 11025, 1,
     [](const signal_window &w) { EXPECT_EQ(w.samples[4], 128) << "guard frame"; EXPECT_EQ(w.zero_level, 128); }},
    {"s16.wav", make_wav(1, 2, 8000, 16, s16({1, -1, 300, -300, 7})), {1, -1, 300, -300}, 8000, 2},
    {"s24.wav", make_wav(1, 1, 8000, 24, {0x11, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0, 0, 0x80}), {0x1234, -1, -32768}, 8000},
    // 32-bit PCM shifted just enough to fit 16 bits.
    {"fits32.wav", make_wav(1, 1, 8000, 32, le(4, 100, -32768, 32767)), {100, -32768, 32767}, 8000},
    {"shift2.wav", make_wav(1, 1, 8000, 32, le(4, -70000, 1000)), {-17500, 250}, 8000},
    {"full32.wav", make_wav(1, 1, 8000, 32, le(4, 0x7FFFFFFF, 0x80000000, 0x10000)), {32767, -32768, 1}, 8000},
    {"ch0.wav", make_wav(1, 0, -5, 16, s16({1, 2})), {1, 2}, 10000},
    // A 40-byte fmt body, "fact", then an odd-sized LIST and its pad byte.
    {"chunks.wav", riff + le(4, 40, 0x10001, 16000, 32000, 0x100002, 0, 0, 0, 0, 0, 0) +
                       bytes_of("fact\4\0\0\0\3\0\0\0LIST\5\0\0\0abcde\0data\6\0\0\0"s) + s16({5, 6, 7}),
     {5, 6, 7}, 16000},
    {"past_end.wav", data_past_end, {1, 2, 3}, 8000},
    {"f.wav", make_wav(3, 1, 8000, 32, le(4, float_bits(0.5f), float_bits(-0.25f), float_bits(0.1f), float_bits(-0.5f))),
     {32767, -16383, (int)(0.1f * 65534.0), -32767}, 8000, 1, [](const signal_window &w) { EXPECT_EQ(w.src_type, SC_FLOAT); }},
    {"d.wav", make_wav(3, 1, 8000, 64, le(8, double_bits(2), double_bits(-1), double_bits(NAN), double_bits(INFINITY))),
     {32767, -16383, 0, 32767}, 8000},
    // Extensible: the tag of the sub-format counts.
    {"ext.wav", riff + le(4, 40, 0x1FFFE, 8000, 32000, 0x200004, 0x200016, 4, 3, 0, 0, 0) + bytes_of("data") +
                    le(4, 8, float_bits(0.25f), float_bits(-1.0f)), {8191, -32767}, 8000},
    {"be.snd", snd(true, 6, 3, 1, s16({1, -2, 300}, true)), {1, -2, 300}, 8000, 1,
     [](const signal_window &w) { EXPECT_EQ(w.src_flag, 1); EXPECT_EQ(w.dac_rate, 8000); }},
    {"le.snd", snd(false, 6, 3, 1, s16({1, -2, 300})), {1, -2, 300}, 8000, 1,
     [](const signal_window &w) { EXPECT_EQ(w.src_flag, 0); }},
    {"24.snd", snd(true, 6, 4, 1, {0x12, 0x34, 0x56, 0xFF, 0x00, 0x01}), {0x1234, -256}, 8000},
    {"32.snd", snd(true, 8, 5, 1, {0x12, 0x34, 0x56, 0x78, 0x80, 0, 0, 0}), {0x1234, -32768}, 8000},
    {"mu.snd", snd(true, 3, 1, 1, {0xFF, 0x00, 0x80}), {0, -32124, 32124}, 8000},
    {"unknown.snd", snd(true, 0xFFFFFFFF, 3, 1, s16({1, 2, 3, 4}, true)), {1, 2, 3, 4}, 8000},
    {"a.ils", ils(1, 3, 16, s16({1, 2})), {1, 2}, 16000},
    {"b.ils", ils(1, 0, 8000, s16({1, 2})), {1, 2}, 8000},
    {"a.trn", trn(3, 42, {0, 128, 255, 77}), {0, 128, 255}, 8000, 1,
     [](const signal_window &w) { EXPECT_EQ(w.dac_rate, 16000); EXPECT_EQ(w.created, 42); }},
    {"a.adf", adf(2, 1, 22.05f, s16({3, -3})), {3, -3}, 22050},
    // A MAT walk skips a scalar that is no rate, one frame of two values and
    // complex data, whose imaginary parts follow the real ones.
    {"walk.mat", mat(0, 1, 1, "fmax", le_double(5000)) + mat(0, 2, 1, "pair", le_double(1) + le_double(2)) +
                     mat(0, 1, 2, "z", le_double(1) + le_double(2) + le_double(3) + le_double(4), false, 1) +
                     mat(30, 1, 3, std::string(200, 'n'), s16({4, 5, 6})), {4, 5, 6}, 10000},
    {"rate.mat", mat(0, 1, 1, "rate", le_double(8000)) + mat(30, 3, 2, "sig", s16({1, 2, 3, 4, 5, 6})),
     {1, 2, 3, 4, 5, 6}, 8000, 3},
    {"u16.mat", mat(40, 1, 3, "u16", s16({0, 32768, 65535})), {0, 16384, 32767}, 10000},
    {"u8.mat", mat(50, 1, 3, "u8", {0, 128, 255}), {0, 128, 255}, 10000},
    {"a.lst", bytes_of("; rate=8000\n1\n2.5\n-5\n"), {6553, 16383, -32766}, 8000}, // 32767/5 in single precision
    {"late.lst", bytes_of("# comment\n  17\r\n3, -3\n\n12 345\n; rate=8000\n"), {17, -3, 12}, 10000},
    {"clip.lst", bytes_of("70000\n-70000\n99999999999999999999999\nnan\n-nan.\n5\n"), {32767, -32768, 32767, 5}, 10000},
    {"bad_rate.lst", bytes_of("; rate=0\n; rate=-5\n1" + std::string(100, ' ') + "\n"), {1}, 10000},
    {"two_rates.lst", bytes_of("; rate=8000\n; rate=16000\n1\n"), {1}, 16000},
  };
  for (row &r : rows) {
    load(r.name, r.file);
    EXPECT_EQ(all(), r.expect) << r.name;
    EXPECT_EQ(win().channels, r.channels) << r.name;
    EXPECT_EQ(win().adc_rate, r.rate) << r.name;
    if (r.more)
      r.more(win());
    EXPECT_FALSE(truncated()) << r.name;
  }
  clear_window(cur_win); // the probe does not know big-endian MAT files
  load_mat(write("be.mat", mat(1000, 1, 1, "rate", be(8, double_bits(16000)), true) +
                               mat(1030, 1, 4, "sig", s16({1, -1, 256, -256}, true), true)).c_str());
  EXPECT_EQ(all(), (ints{1, -1, 256, -256}));
  EXPECT_EQ(win().adc_rate, 16000);
  EXPECT_EQ(win().src_flag, 1);
  load("inf.lst", bytes_of("1e999.\n1.0\n-1.5e999\n")); // an infinite peak
  EXPECT_GE(values(3)[0], 32766);
  EXPECT_EQ(values(3)[1], 0);
  EXPECT_LE(values(3)[2], -32766);
  for (float bad : {NAN, INFINITY, 0.0f, -8.0f, 1e-40f}) {
    load("bad.adf", adf(2, 1, bad, s16({3, -3})));
    EXPECT_EQ(win().adc_rate, default_rate) << bad;
  }
}

TEST_F(ReaderTest, LongSignalsAreTruncatedByFramesNotValues)
{
  // 600000 stereo frames: more values than the load limit, fewer frames.
  ints v(1200000);
  for (size_t i = 0; i < v.size(); i++)
    v[i] = (int)(i % 1000) - 500;
  load("st.snd", snd(false, 2400000, 3, 2, s16(v)));
  EXPECT_EQ(win().num_samples, 600000);
  load("st.ils", ils(2, 0, 8000, s16(v)));
  EXPECT_FALSE(truncated());
  EXPECT_EQ(win().num_samples, 600000);
  EXPECT_EQ(win().channels, 2);
  EXPECT_EQ(win().samples[1199999], 499);
  load("long.ils", ils(1, 0, 8000, s16(ints(2000000, 7))));
  EXPECT_TRUE(showed(" Truncating signal from 2000000 to 1048576 samples."));
  EXPECT_EQ(win().num_samples, 1048576);
}

TEST_F(ReaderTest, IlsSavedWindowBlockAndTokens)
{
  bytes b = ils(1, 0, 8000, s16({1, 2, 3, 4}));
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

  ints v(6 * 256);
  for (int i = 0; i < 1500; i++)
    v[i] = i;
  bytes t = ils(1, 0, 8000, s16(v)) + le(2, 3, 500) + bytes(508); // a table of three tokens of 500 values
  put_le16(&t[10], 6);
  put_le16(&t[126], 11111);
  answer("2");
  load("t.tok", t);
  EXPECT_EQ(all(), ints(v.begin() + 500, v.begin() + 1000));
  EXPECT_STREQ(win().name, "token 2");
  answer("ALL");
  load("t.tok", t);
  EXPECT_EQ(all(), ints(v.begin(), v.begin() + 1500));
  EXPECT_STREQ(win().name, "3 tokens");
  for (const char *bad : {"4", "x"}) {
    answer(bad);
    load("t.tok", t);
    EXPECT_TRUE(showed(" Invalid token number.")) << bad;
    EXPECT_EQ(win().num_samples, 0);
  }
}

TEST_F(ReaderTest, HeaderlessLayouts)
{
  std::string p = write("raw", bytes(1001, 1));
  load_plain(p.c_str());
  EXPECT_EQ(win().num_samples, 500);
  raw_header = 2000;
  load_plain(p.c_str());
  EXPECT_TRUE(showed(" No signal."));
  EXPECT_EQ(win().num_samples, 0);
  raw_header = 3;
  raw_trailer = 5;
  raw_code = SC_FLOAT;
  raw_swap = 1;
  load_file(write("f.raw", {9, 9, 9, 0x3F, 0, 0, 0, 0xBF, 0x80, 0, 0, 7, 7, 7, 7, 7}).c_str(), 1);
  EXPECT_EQ(values(2), (ints{16383, -32767})); // 0.5f, -1.0f big-endian
  EXPECT_EQ(win().file_type, FT_NOH);
  EXPECT_EQ(win().src_flag, 1);
}

TEST_F(ReaderTest, EachReaderRefusesWithItsMessage)
{
  bytes wav = make_wav(1, 1, 8000, 16, {1, 2});
  auto with = [](bytes b, size_t at, const std::string &text) {
    std::copy(text.begin(), text.end(), b.begin() + at);
    return b;
  };
  auto cut = [](bytes b, size_t n) {
    b.resize(n);
    return b;
  };
  auto mat_of = [](int type, int rows, int cols, int name_len, int imaginary) {
    return le(4, type, rows, cols, imaginary, name_len) + bytes_of("x\0\1\0\2\0"s);
  };
  const std::string bad_wav = " Error reading WAV file header. ", bad_snd = " Error reading SND file header. ",
                    bad_mat = " Error reading MAT file header. ";
  struct refusal { std::string name; reader_fn read; bytes file; std::string message; };
  std::vector<refusal> cases = {
    {"tag2.wav", load_wav, make_wav(2, 1, 8000, 4, {1, 2}), " Can't load WAV format tag 2 (PCM and float only). "},
    {"bits0.wav", load_wav, make_wav(1, 1, 8000, 0, {1, 2}), " Can't load 0-bit WAV data. "},
    {"bits33.wav", load_wav, make_wav(1, 1, 8000, 33, {1, 2}), " Can't load 33-bit WAV data. "},
    {"f16.wav", load_wav, make_wav(3, 1, 8000, 16, {1, 2}), " Can't load 16-bit WAV data. "},
    {"ch.wav", load_wav, make_wav(1, 1000, 8000, 16, {1, 2}), " Can't load 1000 channels (8 at most). "},
    {"nowave.wav", load_wav, with(wav, 8, "WAVX"), bad_wav},
    {"fmt12.wav", load_wav, with(wav, 16, "\14"), bad_wav},
    {"nodata.wav", load_wav, with(wav, 36, "junk"), bad_wav},
    {"ext.wav", load_wav, with(wav, 20, "\376\377"), " WAV extensible format header too short. "},
    {"cut.wav", load_wav, cut(wav, 3), bad_wav},
    {"enc.snd", load_snd, snd(true, 4, 9, 1, {1, 2, 3, 4}), bad_snd},
    {"off.snd", load_snd, snd(true, 4, 3, 1, {1, 2, 3, 4}, 20), bad_snd},
    {"magic.snd", load_snd, with(snd(true, 4, 3, 1, {}), 0, "xsnd"), bad_snd},
    {"cut.snd", load_snd, cut(snd(true, 4, 3, 1, {}), 20), bad_snd},
    {"ch.snd", load_snd, snd(true, 4, 3, 9, {1, 2, 3, 4}), " Can't load 9 channels (8 at most). "},
    {"cut.ils", load_ils, cut(ils(1, 0, 8000, {}), 300), " Error reading ILS file header. "},
    {"cut.trn", load_trn, bytes(100, 1), " Error reading TRN file header. "},
    {"cut.adf", load_adf, bytes(300, 1), " Error reading ADF file header. "},
    {"ch.adf", load_adf, adf(2, 9, 8.0f, s16({3, -3})), " Can't load 9 channels (8 at most). "},
    {"neg.mat", load_mat, mat_of(30, -1, 2, 2, 0), bad_mat},
    {"huge.mat", load_mat, mat_of(0, 2000000000, 2000000000, 2, 1), bad_mat},
    {"name.mat", load_mat, mat_of(30, 1, 2, 0x7FFFFFFF, 0), bad_mat},
    {"type.mat", load_mat, mat_of(0x12345678, 1, 2, 2, 0), bad_mat},
    {"none.mat", load_mat, mat(0, 1, 1, "rate", le_double(8000)), bad_mat},
    {"none.lst", load_lst, bytes_of("; only a comment\n"), " No signal in file. "},
  };
  // A chunk whose size reaches past the file ends the walk without "data".
  for (uint32_t size : {0xFFFFFFFFu, 0xFFFFFFF0u, 1000u}) {
    bytes b = make_wav(1, 1, 8000, 16, ramp(4, 0)), junk = bytes_of("junk") + le(4, size);
    b.insert(b.begin() + 36, junk.begin(), junk.end());
    cases.push_back({"walk" + std::to_string(size) + ".wav", load_wav, b, bad_wav});
  }
  for (auto &c : cases) {
    load("good.wav", make_wav(1, 1, 8000, 16, s16({1, 2, 3})));
    clear_window(cur_win);
    messages();
    c.read(write(c.name, c.file).c_str());
    EXPECT_TRUE(showed(c.message)) << c.name;
    EXPECT_EQ(win().num_samples, 0) << c.name;
  }
}

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
  no_header = 1; // every file headerless: the reader reports a missing one, once
  load_file(path("missing").c_str(), 0);
  std::vector<std::string> m = messages();
  EXPECT_EQ(std::count(m.begin(), m.end(), " Can't open '" + path("missing") + "'."), 1);
  EXPECT_EQ(win().num_samples, 0);
  no_header = 0;
  info_enabled = 1;
  load("st8.wav", make_wav(1, 2, 11025, 8, bytes(2 * 22050, 128)));
  EXPECT_TRUE(showed(" (WAV) 22050 samples (2 chan.) at 11025 Hz, ADC = 8 bits (unsigned) "));
}

TEST(SampleCodes, MulawIsSymmetricAndFloatsStayIn16Bits)
{
  EXPECT_EQ(mulaw_to_linear(0x7F), 0);
  for (int b = 0x80; b < 0xFF; b++) {
    EXPECT_EQ(mulaw_to_linear((uint8_t)(b & 0x7F)), -mulaw_to_linear((uint8_t)b));
    EXPECT_GT(mulaw_to_linear((uint8_t)b), mulaw_to_linear((uint8_t)(b + 1)));
  }
  // Truncation toward zero, and no undefined conversion of NaN, infinities
  // or products beyond 16 bits.
  EXPECT_EQ(scale_to_16(-0.49999, 65534), -32766);
  EXPECT_EQ(scale_to_16(NAN, 2), 0);
  EXPECT_EQ(scale_to_16(INFINITY, 1), 32767);
  EXPECT_EQ(scale_to_16(-1e300, 1e300), -32768);
}

TEST_F(ReaderTest, ProbeByMagicsMarkersAndText)
{
  auto head = [](const std::string &magic, size_t n) { return bytes_of(magic) + bytes(n - magic.size()); };
  bytes ils0 = ils(1, 0, 8000, {}), ils1 = ils0;
  put_le16(&ils0[10], 0); // no data blocks: not ILS
  struct { const char *name; bytes file; int type; } rows[] = {
    {"be", head(".snd", 28), FT_SND}, {"le", head("dns.", 28), FT_SND},
    {"sd", head(".sd\0"s, 28), FT_SND}, {"ds", head("\0ds."s, 28), FT_SND},
    {"trn", head("VMF", 20), FT_TRN}, {"adf", head("KOBU40", 20), FT_ADF},
    {"ils", ils1, FT_ILS}, {"ils0", ils0, FT_NOH}, {"a.lst", bytes_of("; rate=8000\n1\n"), FT_LST},
    {"zero", {'1', 0, '2'}, FT_NOH}, {"high", {'1', 200, '2'}, FT_NOH},
    {"full.wav", make_wav(1, 1, 8000, 16, {0, 0}), FT_WAV},
    {"short", bytes_of("RIFF"), FT_LST}, // must not borrow the "WAVE" the area still holds
    {"empty", {}, -1},
  };
  for (auto &r : rows)
    EXPECT_EQ(detect_file_type(write(r.name, r.file).c_str()), r.type) << r.name;
  detect_file_type(path("be").c_str());
  EXPECT_EQ(header_area[0], '.'); // the probe leaves the area as it read it
  EXPECT_EQ(detect_file_type(path("missing").c_str()), -1);
  mkdir(path("sub").c_str(), 0755);
  EXPECT_EQ(detect_file_type(path("sub").c_str()), -1);
  no_header = 1;
  EXPECT_EQ(detect_file_type(path("missing").c_str()), FT_NOH);
  no_header = 0;
  header_bytes = 44;
  EXPECT_EQ(detect_file_type(path("full.wav").c_str()), FT_NOH);
  EXPECT_EQ(raw_header, 44);
}

TEST_F(ReaderTest, FormatGuessAndReformat)
{
  auto fill = [](ints v, int channels = 1, int bits = 0, int zero = 0) {
    ASSERT_EQ(alloc_samples(1, (int)v.size() / channels, channels), 1);
    std::copy(v.begin(), v.end(), windows[1].samples);
    windows[1].num_samples = (int)v.size() / channels;
    windows[1].channels = (int8_t)channels;
    windows[1].adc_bits = (int16_t)bits;
    windows[1].zero_level = (int16_t)zero;
  };
  auto first = [](int n) { return ints(windows[1].samples, windows[1].samples + n); };
  struct { ints v; int bits, zero; } guesses[] = {
    {{1900, 2200, 2000, 2100}, 12, 2048}, {{-100, 100, 0}, 8, 0}, {{0, 255, 128, 100}, 8, 128},
    {{-3000, 3000}, 16, 0}, {{-1000, 0, 2048}, 16, 0},
  };
  for (auto &g : guesses) {
    fill(g.v);
    guess_format(1);
    EXPECT_EQ(windows[1].adc_bits, g.bits) << g.v[0];
    EXPECT_EQ(windows[1].zero_level, g.zero) << g.v[0];
    EXPECT_EQ(windows[1].max_value, *std::max_element(g.v.begin(), g.v.end()));
  }
  fill({-32768, 255, -255, 32767}, 1, 16, 0);
  EXPECT_EQ(reformat_signal(1, 8, 128, 0), 1);
  EXPECT_EQ(first(5), (ints{0, 128, 128, 255, 128}));
  EXPECT_EQ(reformat_signal(1, 8, 128, 0), 0); // already in that format
  fill({128, 130, 126, 128}, 2, 8, 128);
  EXPECT_EQ(reformat_signal(1, 16, 0, 0), 1);
  EXPECT_EQ(first(6), (ints{0, 512, -512, 0, 0, 0}));
  fill({100, 200}, 1, 12, 2048);
  answer("n");
  EXPECT_EQ(reformat_signal(1, 16, 0, 1), 0);
  EXPECT_EQ(first(2), (ints{100, 200}));
}

TEST_F(ReaderTest, DamagedFilesNeverGiveMoreThanTheyHold)
{
  bytes tokens = ils(1, 0, 8000, ramp(256, 9)) + le(2, 1, 100) + bytes(508), ramp8;
  put_le16(&tokens[10], 1);
  put_le16(&tokens[126], 11111);
  memcpy(&tokens[128], "BTNI_", 6);
  for (int i = 0; i < 60; i++)
    ramp8.push_back((uint8_t)(i * 4));
  struct { const char *name; reader_fn load; bytes file; } valid[] = {
    {"wav", load_wav, make_wav(1, 2, 8000, 16, ramp(40, 1))},
    {"snd", load_snd, snd(true, 80, 3, 1, ramp(40, 5))},
    {"ils", load_ils, tokens},
    {"mat", load_mat, mat(0, 1, 1, "rate", le_double(8000)) + mat(30, 2, 20, "sig", ramp(40, 3))},
    {"adf", load_adf, adf(20, 2, 16.0f, ramp(40, 2))},
    {"trn", load_trn, trn(60, 0, ramp8)},
    {"lst", load_lst, bytes_of("; rate=8000\n1\n2.5\n-3\n4\n")},
  };
  std::mt19937 rng(20240611);
  static const uint8_t nasty[] = {0x00, 0xFF, 0x80, 0x7F, 0x01}; // values that break counts
  for (auto &e : valid) {
    std::vector<std::pair<std::string, bytes>> damaged;
    // Every byte of the headers, then the data more sparsely, and the end.
    for (size_t n = 0; n <= e.file.size(); n += n < 530 || n + 8 > e.file.size() ? 1 : 29)
      damaged.push_back({"cut at " + std::to_string(n), bytes(e.file.begin(), e.file.begin() + n)});
    for (int round = 0; round < 150; round++) {
      bytes b = e.file;
      for (int changes = 1 + (int)(rng() % 4); changes > 0; changes--) {
        size_t at = rng() % std::min<size_t>(b.size(), 600);
        b[at] = rng() % 2 ? nasty[rng() % 5] : (uint8_t)rng();
      }
      damaged.push_back({"round " + std::to_string(round), b});
    }
    for (auto &[what, b] : damaged) {
      e.load(write(std::string("c.") + e.name, b).c_str());
      ASSERT_GE(win().num_samples, 0) << e.name << " " << what;
      // No reader makes more than one value of one byte, LST text aside.
      if (win().num_samples > 0) {
        ASSERT_TRUE(win().channels >= 1 && win().channels <= 8 && win().samples) << e.name << " " << what;
        EXPECT_LE((size_t)win().num_samples * win().channels, b.size()) << e.name << " " << what;
      }
      clear_window(cur_win);
    }
  }
}

TEST_F(ReaderTest, CountsPastTheDataAndBlockBoundaries)
{
  // Frame counts that overflow 32 bits load what is there.
  load("big.adf", adf(0x7FFFFFFF, 8, 8.0f, ramp(80, 0)));
  EXPECT_EQ(win().channels, 8);
  EXPECT_EQ(win().num_samples, 10);
  EXPECT_EQ(values(80)[79], 37 * 79);
  load("big.mat", mat(30, 1, 0x7FFFFFFF, "x", ramp(80, 0)));
  EXPECT_EQ(win().num_samples, 80);
  EXPECT_FALSE(truncated());
  // Headerless 16-bit data one byte short of, at and past block multiples,
  // with an odd header so that values straddle the 1 KiB blocks.
  raw_header = 1;
  for (int size : {1023, 1024, 1025, 2047, 2048, 2049, 3073}) {
    bytes v = ramp(size / 2 + 1, -500), b = bytes(1, 0xEE) + bytes(v.begin(), v.begin() + (size - 1));
    clear_window(cur_win);
    load_plain(write("raw", b).c_str());
    ASSERT_EQ(win().num_samples, (size - 1) / 2) << size;
    for (int i = 0; i < win().num_samples; i++)
      ASSERT_EQ(win().samples[i], (int16_t)get_le16(&v[2 * i])) << size << " at " << i;
  }
  bytes d24; // 24-bit data is read in 1023-byte blocks
  for (int i = 0; i < 700; i++)
    d24 = d24 + bytes(1, 0x55) + le(2, i * 91 - 30000);
  load("x24.wav", make_wav(1, 1, 8000, 24, d24));
  ASSERT_EQ(win().num_samples, 700);
  for (int i = 0; i < 700; i++)
    ASSERT_EQ(win().samples[i], (int16_t)(i * 91 - 30000)) << i;
  // 300 floats: one full 1 KiB block, then a partial one holding the peak.
  bytes f;
  for (int i = 0; i < 300; i++)
    f = f + le(4, float_bits(i == 290 ? -4.0f : 0.5f));
  load("peak.wav", make_wav(3, 1, 8000, 32, f));
  ASSERT_EQ(win().num_samples, 300);
  EXPECT_EQ(win().samples[290], -32767);
  EXPECT_EQ(win().samples[0], 4095);
}
