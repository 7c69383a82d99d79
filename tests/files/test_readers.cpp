// The readers on hand-made files: what each takes from its header, how the
// values come out, how each refuses what it cannot load, and that damaged
// files never make a reader trust a count it did not check.
#include "support/support.h"
#include <cmath>
#include <random>

using namespace std::string_literals;
typedef std::vector<int> ints;
typedef void (*reader_fn)(const char *name);

static bytes snd(bool big, uint32_t size, uint32_t encoding, uint32_t channels, const bytes &data, uint32_t offset = 28)
{
  return bytes_of(big ? ".snd" : "dns.") + packed(big, 4, {offset, size, encoding, 8000, channels}) +
         bytes(offset >= 24 ? offset - 24 : 4) + data;
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

// n values start, start + step, ...
static ints ramp(int n, int start, int step = 37) { return frames(n, 1, [=](int i, int) { return start + step * i; }); }

static bytes le_double(double v) { return le(8, double_bits(v)); }
static bytes head(bytes b, size_t n) { return b.resize(n), b; }
static bytes with(bytes b, size_t at, const bytes &patch) { return std::copy(patch.begin(), patch.end(), b.begin() + at), b; }

// A token file of `count` tokens of 500 values 0, 1, 2, ...
static bytes tokens(int count)
{
  return with(with(ils(1, 0, 8000, s16(ramp(6 * 256, 0, 1))) + le(2, count, 500) + bytes(508), 10, le(2, 6)), 126, le(2, 11111));
}

// The reader of a file name's extension; the headerless one for any other.
static reader_fn reader_for(const std::string &name)
{
  static const std::pair<const char *, reader_fn> readers[] = {{".wav", load_wav}, {".snd", load_snd}, {".ils", load_ils},
    {".tok", load_ils}, {".mat", load_mat}, {".adf", load_adf}, {".trn", load_trn}, {".lst", load_lst}};
  for (auto [ext, read] : readers)
    if (name.ends_with(ext))
      return read;
  return load_plain;
}

// One file for a reader: what it must load, or the refusal it must show.
// expect: every value loaded; rate: 0 not checked; shown: texts the load
// shows, "@" standing for the path; answer: typed at the token question.
struct reader_row {
  std::string name;
  bytes file;
  ints expect;
  int rate;
  std::vector<std::string> shown = {};
  int channels = 1;
  void (*more)(const signal_window &) = nullptr; // further checks of the window
  std::string answer = "";
};

static std::vector<reader_row> reader_rows()
{
  bytes wav = make_wav(1, 1, 8000, 16, {1, 2}), riff = bytes_of("RIFF\0\0\0\0WAVEfmt "s), peak;
  auto mat_of = [](int type, int rows, int cols, int name_len, int imaginary) {
    return le(4, type, rows, cols, imaginary, name_len) + bytes_of("x\0\1\0\2\0"s);
  };
  const std::string bad_wav = " Error reading WAV file header. ", bad_snd = " Error reading SND file header. ",
                    bad_mat = " Error reading MAT file header. ", nine = " Can't load 9 channels (8 at most). ";
  // stereo: more values than the load limit, fewer frames
  ints stereo = frames(1200000, 1, [](int i, int) { return i % 1000 - 500; }), peaks(300, 4095);
  for (int i = 0; i < 300; i++) // a full 1 KiB block, then a partial one holding the peak
    peak = peak + le(4, float_bits(i == 290 ? -4.0f : 0.5f));
  peaks[290] = -32767;
  std::vector<reader_row> rows = {
    {"u8.wav", make_wav(1, 1, 11025, 8, {0, 128, 255, 130}), {0, 128, 255, 130}, 11025,
     {" (WAV) 4 samples (1 chan.) at 11025 Hz, ADC = 8 bits (unsigned) "}, 1,
     [](const signal_window &w) { EXPECT_EQ(w.samples[4], 128) << "guard frame"; EXPECT_EQ(w.zero_level, 128); }},
    {"s16.wav", make_wav(1, 2, 8000, 16, s16({1, -1, 300, -300, 7})), {1, -1, 300, -300}, 8000, {" Loading file @ ... "}, 2},
    {"empty.wav", make_wav(1, 1, 8000, 16, {}), {}, 0, {" No signal."}},
    // 32-bit PCM shifted just enough to fit 16 bits.
    {"fits32.wav", make_wav(1, 1, 8000, 32, le(4, 100, -32768, 32767)), {100, -32768, 32767}, 8000},
    {"shift2.wav", make_wav(1, 1, 8000, 32, le(4, -70000, 1000)), {-17500, 250}, 8000},
    {"full32.wav", make_wav(1, 1, 8000, 32, le(4, 0x7FFFFFFF, 0x80000000, 0x10000)), {32767, -32768, 1}, 8000},
    {"ch0.wav", make_wav(1, 0, -5, 16, s16({1, 2})), {1, 2}, 10000},
    // A 40-byte fmt body, "fact", then an odd-sized LIST and its pad byte.
    {"chunks.wav", riff + le(4, 40, 0x10001, 16000, 32000, 0x100002, 0, 0, 0, 0, 0, 0) +
                       bytes_of("fact\4\0\0\0\3\0\0\0LIST\5\0\0\0abcde\0data\6\0\0\0"s) + s16({5, 6, 7}), {5, 6, 7}, 16000},
    {"past_end.wav", with(make_wav(1, 1, 8000, 16, s16({1, 2, 3})), 40, le(4, -1)), {1, 2, 3}, 8000},
    {"d.wav", make_wav(3, 1, 8000, 64, le(8, double_bits(2), double_bits(-1), double_bits(NAN), double_bits(-INFINITY))),
     {32767, -16383, 0, -32768}, 8000},
    // Extensible: the tag of the sub-format counts.
    {"ext.wav", riff + le(4, 40, 0x1FFFE, 8000, 32000, 0x200004, 0x200016, 4, 3, 0, 0, 0) + bytes_of("data") +
                    le(4, 8, float_bits(0.25f), float_bits(-1.0f)), {8191, -32767}, 8000},
    {"peak.wav", make_wav(3, 1, 8000, 32, peak), peaks, 8000},
    {"be.snd", snd(true, 6, 3, 1, s16({1, -2, 300}, true)), {1, -2, 300}, 8000, {" Loading (SND) file @ ... "}, 1,
     [](const signal_window &w) { EXPECT_EQ(w.src_flag, 1); EXPECT_EQ(w.dac_rate, 8000); }},
    {"off24.snd", snd(true, 6, 3, 1, s16({1, -2, 300}, true), 24), {1, -2, 300}, 8000}, // data right after the fields
    {"mu.snd", snd(true, 4, 1, 1, {0xFF, 0x7F, 0x00, 0x80}), {0, 0, -32124, 32124}, 8000},
    {"24.snd", snd(true, 6, 4, 1, {0x12, 0x34, 0x56, 0xFF, 0x00, 0x01}), {0x1234, -256}, 8000},
    {"32.snd", snd(true, 8, 5, 1, {0x12, 0x34, 0x56, 0x78, 0x80, 0, 0, 0}), {0x1234, -32768}, 8000},
    {"unknown.snd", snd(true, 0xFFFFFFFF, 3, 1, s16({1, 2, 3, 4}, true)), {1, 2, 3, 4}, 8000},
    {"st.snd", snd(false, 2400000, 3, 2, s16(stereo)), stereo, 8000, {}, 2},
    {"st.ils", ils(2, 0, 8000, s16(stereo)), stereo, 8000, {}, 2},
    {"long.ils", ils(1, 0, 8000, s16(ints(2000000, 7))), ints(1048576, 7), 8000,
     {" Truncating signal from 2000000 to 1048576 samples."}},
    {"a.ils", ils(1, 3, 16, s16({1, 2})), {1, 2}, 16000, {" Loading (ILS) file @ ... "}},
    {"e5.ils", ils(1, 5, 3, s16({1, 2})), {1, 2}, 300000},
    {"e6.ils", ils(1, 6, 16, s16({1, 2})), {1, 2}, 16}, // no power of ten past 5
    // The saved-window block: created 1234567, rates 22050 and 11025, mark C at 3, kind 1.
    {"saved.ils", with(with(with(ils(1, 0, 8000, s16({1, 2, 3, 4})), 128, bytes_of("BTNI_")), 192,
                            le(4, 1234567, 22050, 11025, -1, 0, 3)), 336, {1}), {1, 2, 3, 4}, 22050, {}, 1,
     [](const signal_window &w) { EXPECT_EQ(w.created, 1234567); EXPECT_EQ(w.dac_rate, 11025); EXPECT_EQ(w.marks[2], 3);
                                  EXPECT_EQ(w.kind, 1); }},
    {"t2.tok", tokens(3), ramp(500, 500, 1), 8000, {" Enter token number (1-3) or ALL: ", " Loading token 2 from file: @ ... "},
     1, [](const signal_window &w) { EXPECT_STREQ(w.name, "token 2"); }, "2"},
    {"all.tok", tokens(3), ramp(1500, 0, 1), 8000, {" Loading token file @ ... "}, 1,
     [](const signal_window &w) { EXPECT_STREQ(w.name, "3 tokens"); }, "ALL"},
    {"t1.tok", tokens(1), ramp(500, 0, 1), 8000, {" Loading token 1 from file: @ ... "}, 1,
     [](const signal_window &w) { EXPECT_STREQ(w.name, "[token 1]"); }},
    {"a.trn", trn(3, 42, {0, 128, 255, 77}), {0, 128, 255}, 8000, {" Loading (TRN) file @ ... "}, 1,
     [](const signal_window &w) { EXPECT_EQ(w.dac_rate, 16000); EXPECT_EQ(w.created, 42); }},
    {"a.adf", adf(2, 1, 22.05f, s16({3, -3})), {3, -3}, 22050, {" Loading (ADF) file @ ... "}},
    {"big.adf", adf(0x7FFFFFFF, 8, 8.0f, s16(ramp(80, 0))), ramp(80, 0), 8000, {}, 8}, // counts past the data
    // A MAT walk skips a scalar that is no rate, one frame of two values and
    // complex data, whose imaginary parts follow the real ones.
    {"walk.mat", mat(0, 1, 1, "fmax", le_double(5000)) + mat(0, 2, 1, "pair", le_double(1) + le_double(2)) +
                     mat(0, 1, 2, "z", le_double(1) + le_double(2) + le_double(3) + le_double(4), false, 1) +
                     mat(30, 1, 3, std::string(200, 'n'), s16({4, 5, 6})), {4, 5, 6}, 10000},
    {"rate.mat", mat(0, 1, 1, "rate", le_double(8000)) + mat(30, 3, 2, "sig", s16({1, 2, 3, 4, 5, 6})),
     {1, 2, 3, 4, 5, 6}, 8000, {" Loading sig from file @ ... "}, 3},
    {"be.mat", mat(1000, 1, 1, "rate", be(8, double_bits(16000)), true) + mat(1030, 1, 4, "s", s16({1, -1, 256, -256}, true), true),
     {1, -1, 256, -256}, 16000, {}, 1, [](const signal_window &w) { EXPECT_EQ(w.src_flag, 1); }},
    {"big.mat", mat(30, 1, 0x7FFFFFFF, "x", s16(ramp(80, 0))), ramp(80, 0), 10000},
    {"a.lst", bytes_of("; rate=8000\n1\n2.5\n-5\n"), {6553, 16383, -32767}, 8000, {" Loading (LST) file @ ... "}},
    {"late.lst", bytes_of("# comment\n  17\r\n3, -3\n\n12 345\n; rate=8000\n"), {17, -3, 12}, 10000},
    {"clip.lst", bytes_of("70000\n-70000\n99999999999999999999999\nnan\n-nan.\n5\n"), {32767, -32768, 32767, 5}, 10000},
    {"inf.lst", bytes_of("1e999.\n1.0\n-1.5e999\n"), {32767, 0, -32767}, 10000}, // an infinite peak
    {"bad_rate.lst", bytes_of("; rate=0\n; rate=-5\n1" + std::string(100, ' ') + "\n"), {1}, 10000},
    {"two_rates.lst", bytes_of("; rate=8000\n; rate=16000\n1\n"), {1}, 16000},
    {"odd.raw", bytes(1001, 1), ints(500, 257), 10000, {" Loading file @ ... "}}, // headerless: the odd byte dropped
    // Refusals.
    {"tag2.wav", make_wav(2, 1, 8000, 4, {1, 2}), {}, 0, {" Can't load WAV format tag 2 (PCM and float only). "}},
    {"bits0.wav", make_wav(1, 1, 8000, 0, {1, 2}), {}, 0, {" Can't load 0-bit WAV data. "}},
    {"bits33.wav", make_wav(1, 1, 8000, 33, {1, 2}), {}, 0, {" Can't load 33-bit WAV data. "}},
    {"f16.wav", make_wav(3, 1, 8000, 16, {1, 2}), {}, 0, {" Can't load 16-bit WAV data. "}},
    {"ch.wav", make_wav(1, 1000, 8000, 16, {1, 2}), {}, 0, {" Can't load 1000 channels (8 at most). "}},
    {"nowave.wav", with(wav, 8, bytes_of("WAVX")), {}, 0, {bad_wav}}, {"fmt12.wav", with(wav, 16, {12}), {}, 0, {bad_wav}},
    {"nodata.wav", with(wav, 36, bytes_of("junk")), {}, 0, {bad_wav}}, {"cut.wav", head(wav, 3), {}, 0, {bad_wav}},
    {"ext16.wav", with(wav, 20, {0xFE, 0xFF}), {}, 0, {" WAV extensible format header too short. "}},
    {"enc.snd", snd(true, 4, 9, 1, {1, 2, 3, 4}), {}, 0, {bad_snd}}, {"off.snd", snd(true, 4, 3, 1, {1, 2, 3, 4}, 23), {}, 0, {bad_snd}},
    {"magic.snd", with(snd(true, 4, 3, 1, {}), 0, {'x'}), {}, 0, {bad_snd}}, {"cut.snd", head(snd(true, 4, 3, 1, {}), 20), {}, 0, {bad_snd}},
    {"ch.snd", snd(true, 4, 3, 9, {1, 2, 3, 4}), {}, 0, {nine}},
    {"cut.ils", head(ils(1, 0, 8000, {}), 300), {}, 0, {" Error reading ILS file header. "}},
    {"t4.tok", tokens(3), {}, 0, {" Invalid token number."}, 1, nullptr, "4"},
    {"tx.tok", tokens(3), {}, 0, {" Invalid token number."}, 1, nullptr, "x"},
    {"cut.trn", bytes(100, 1), {}, 0, {" Error reading TRN file header. "}},
    {"cut.adf", bytes(300, 1), {}, 0, {" Error reading ADF file header. "}},
    {"ch.adf", adf(2, 9, 8.0f, s16({3, -3})), {}, 0, {nine}},
    {"neg.mat", mat_of(30, -1, 2, 2, 0), {}, 0, {bad_mat}}, {"huge.mat", mat_of(0, 2000000000, 2000000000, 2, 1), {}, 0, {bad_mat}},
    {"name.mat", mat_of(30, 1, 2, 0x7FFFFFFF, 0), {}, 0, {bad_mat}}, {"type.mat", mat_of(0x12345678, 1, 2, 2, 0), {}, 0, {bad_mat}},
    {"prec.mat", mat_of(60, 1, 2, 2, 0), {}, 0, {bad_mat}}, // no precision 6
    {"none.mat", mat(0, 1, 1, "rate", le_double(8000)), {}, 0, {bad_mat}},
    {"none.lst", bytes_of("; only a comment\n"), {}, 0, {" No signal in file. "}},
    {"no/such.lst", {}, {}, 0, {" Can't open '@'."}},
  };
  // A chunk whose size reaches past the file ends the walk without "data".
  for (uint32_t size : {0xFFFFFFFFu, 0xFFFFFFF0u, 1000u}) {
    bytes b = make_wav(1, 1, 8000, 16, s16(ramp(4, 0))), junk = bytes_of("junk") + le(4, size);
    b.insert(b.begin() + 36, junk.begin(), junk.end());
    rows.push_back({"walk" + std::to_string(size) + ".wav", b, {}, 0, {bad_wav}});
  }
  // ADF rates that are no rate give the default one.
  for (float bad : {NAN, INFINITY, 0.0f, -8.0f, 1e-40f})
    rows.push_back({"bad.adf", adf(2, 1, bad, s16({3, -3})), {3, -3}, 10000});
  // 16-bit data at an odd offset, one byte short of, at and past block
  // multiples, so that values straddle the blocks and a byte is left over.
  for (int size : {1023, 1024, 1025, 2047, 2048, 2049, 3073})
    rows.push_back({std::to_string(size) + ".snd", snd(false, 0xFFFFFFFF, 3, 1, head(s16(ramp(size, -500, 13)), size - 1), 25),
                    ramp((size - 1) / 2, -500, 13), 8000});
  return rows;
}

class ReaderTest : public FileTest {
protected:
  std::vector<std::string> seen; // the texts the last load showed
  // Loads the file with the reader of its extension into a fresh window.
  void load(const std::string &name, const bytes &b)
  {
    clear_window(cur_win);
    messages();
    reader_for(name)(write(name, b).c_str());
    seen = messages();
  }
  ints all() const { return values(win().num_samples * win().channels); }
};

TEST_F(ReaderTest, EachReaderLoadsItsValuesOrRefusesWithItsMessageAndDamagedFilesNeverGiveMoreThanTheyHold)
{
  info_enabled = 1;
  cur_file_type = FT_WAV; // what the probe would have set for the row with the information line
  for (reader_row &r : reader_rows()) {
    if (!r.answer.empty())
      answer(r.answer);
    load(r.name, r.file);
    for (std::string text : r.shown) { // "@" stands for the path
      if (size_t at = text.find('@'); at != std::string::npos)
        text.replace(at, 1, path(r.name));
      EXPECT_GT(count(seen, text), 0) << r.name << ": " << text;
    }
    bool cut = std::any_of(seen.begin(), seen.end(), [](auto &s) { return s.starts_with(" Truncating"); });
    EXPECT_EQ(cut, !r.shown.empty() && r.shown[0].starts_with(" Truncating")) << r.name;
    EXPECT_EQ(all(), r.expect) << r.name;
    EXPECT_EQ(win().num_samples, (int)r.expect.size() / r.channels) << r.name;
    EXPECT_TRUE(!r.rate || win().adc_rate == r.rate) << r.name << ": " << win().adc_rate;
    if (r.more)
      r.more(win());
  }
  // A headerless layout as set: header, trailer, sample code and byte order.
  raw_header = 3;
  raw_trailer = 5;
  raw_code = SC_FLOAT;
  raw_swap = 1;
  load_file(write("f.raw", {9, 9, 9, 0x3F, 0, 0, 0, 0xBF, 0x80, 0, 0, 7, 7, 7, 7, 7}).c_str(), 1);
  EXPECT_EQ(all(), (ints{16383, -32767})); // 0.5f, -1.0f big-endian
  EXPECT_EQ(win().file_type * 10 + win().src_flag, FT_NOH * 10 + 1);
  // Files of each reader with more data than a damaged header may claim.
  std::pair<std::string, bytes> valid[] = {
    {"c.wav", make_wav(1, 2, 8000, 16, s16(ramp(40, 1)))}, {"c.snd", snd(true, 80, 3, 1, s16(ramp(40, 5)))},
    {"c.tok", with(tokens(1), 128, bytes_of("BTNI_"))}, {"c.trn", trn(60, 0, bytes(60, 7))},
    {"c.mat", mat(0, 1, 1, "rate", le_double(8000)) + mat(30, 2, 20, "sig", s16(ramp(40, 3)))},
    {"c.adf", adf(20, 2, 16.0f, s16(ramp(40, 2)))}, {"c.lst", bytes_of("; rate=8000\n1\n2.5\n-3\n4\n")}};
  std::mt19937 rng(20240611);
  static const uint8_t nasty[] = {0x00, 0xFF, 0x80, 0x7F, 0x01}; // values that break counts
  for (auto &[name, file] : valid) {
    std::vector<std::pair<std::string, bytes>> damaged;
    // Every byte of the headers, then the data more sparsely, and the end.
    for (size_t n = 0; n <= file.size(); n += n < 530 || n + 8 > file.size() ? 1 : 29)
      damaged.push_back({"cut at " + std::to_string(n), head(file, n)});
    for (int round = 0; round < 150; round++) {
      bytes b = file;
      for (int changes = 1 + (int)(rng() % 4); changes > 0; changes--)
        b[rng() % std::min<size_t>(b.size(), 600)] = rng() % 2 ? nasty[rng() % 5] : (uint8_t)rng();
      damaged.push_back({"round " + std::to_string(round), b});
    }
    for (auto &[what, b] : damaged) {
      load(name, b);
      int n = win().num_samples, channels = win().channels;
      ASSERT_TRUE(n == 0 || (n > 0 && channels >= 1 && channels <= 8 && win().samples)) << name << " " << what << ": " << n;
      // No reader makes more than one value of one byte, LST text aside.
      EXPECT_LE((size_t)n * channels, b.size()) << name << " " << what;
    }
  }
}

TEST_F(ReaderTest, ProbeByMagicsMarkersAndTextFormatGuessAndReformat)
{
  auto magic = [](const std::string &text, size_t n) { return bytes_of(text) + bytes(n - text.size()); };
  struct { const char *name; bytes file; int type; } rows[] = {
    {"be", magic(".snd", 28), FT_SND}, {"le", magic("dns.", 28), FT_SND},
    {"sd", magic(".sd\0"s, 28), FT_SND}, {"ds", magic("\0ds."s, 28), FT_SND},
    {"trn", magic("VMF", 20), FT_TRN}, {"adf", magic("KOBU40", 20), FT_ADF},
    {"ils", ils(1, 0, 8000, {}), FT_ILS}, {"ils0", with(ils(1, 0, 8000, {}), 10, {0}), FT_NOH}, // no data blocks
    {"ilsm0", ils(1, 0, 0, {}), FT_NOH}, {"mat", mat(30, 1, 2, "x", s16({1, 2})), FT_MAT},
    {"mat2", mat(30, 2, 2, "x", s16({1, 2, 3, 4})), FT_NOH}, {"a.lst", bytes_of("; rate=8000\n1\n"), FT_LST},
    {"zero", {'1', 0, '2'}, FT_NOH}, {"high", {'1', 200, '2'}, FT_NOH},
    {"full.wav", make_wav(1, 1, 8000, 16, {0, 0}), FT_WAV},
    {"short", bytes_of("RIFF"), FT_LST}, // must not borrow the "WAVE" the area still holds
    {"empty", {}, -1},
  };
  for (auto &r : rows)
    EXPECT_EQ(detect_file_type(write(r.name, r.file).c_str()), r.type) << r.name;
  header_bytes = 44; // missing files, directories and -nh: see the load dispatcher's test
  EXPECT_EQ(detect_file_type(path("full.wav").c_str()), FT_NOH);
  EXPECT_EQ(raw_header, 44);
  struct { ints v; int bits, zero; } guesses[] = {
    {{1900, 2200, 2000, 2100}, 12, 2048}, {{-100, 100, 0}, 8, 0}, {{0, 255, 128, 100}, 8, 128},
    {{-3000, 3000}, 16, 0}, {{-1000, 0, 2048}, 16, 0}, {{0, 4096}, 12, 2048}, {{0, 4097}, 16, 0},
  };
  for (auto &g : guesses) {
    load("g.ils", ils(1, 0, 8000, s16(g.v)));
    EXPECT_EQ(std::vector({(int)win().adc_bits, (int)win().zero_level, (int)win().max_value}),
              std::vector({g.bits, g.zero, *std::max_element(g.v.begin(), g.v.end())})) << g.v[1];
  }
  // typed: the answer to the question, none when it is not to be asked.
  const std::string ask = "Data format does not match.  Reformat data? (Y/N) ", rescale = "Rescaling the signal ...";
  struct { ints v; int channels, bits0, zero0, bits, zero; std::string typed; int done; ints after;
           std::vector<std::string> shown; } changes[] = {
    {{-32768, 255, -255, 32767}, 1, 16, 0, 8, 128, "", 1, {0, 128, 128, 255, 128}, {rescale}}, // and the guard frame
    {{0, 128, 128, 255}, 1, 8, 128, 8, 128, "", 0, {0, 128, 128, 255}, {}},                      // already in that format
    {{128, 130, 126, 128}, 2, 8, 128, 16, 0, "y", 1, {0, 512, -512, 0, 0, 0}, {ask, rescale}},
    {{100, 200}, 1, 12, 2048, 16, 0, "n", 0, {100, 200}, {ask}},
    {{-5, 300, 128}, 1, 8, 128, 16, 0, "", 1, {-32768, 32767, 0}, {rescale}}, // beyond the old range: saturated, not wrapped
  };
  for (auto &c : changes) {
    fill_window(cur_win, c.v, c.channels, 8000, c.bits0, c.zero0);
    push_text(c.typed.c_str());
    EXPECT_EQ(reformat_signal(cur_win, c.bits, c.zero, !c.typed.empty()), c.done) << c.v[0];
    EXPECT_EQ(values((int)c.after.size()), c.after) << c.v[0];
    EXPECT_EQ(messages(), c.shown) << c.v[0];
  }
}
