// Sample codes, the type probe, the format guess and the reformat conversion.
#include "files/bytes.h"
#include "file_fixture.h"
#include <cmath>
#include <cstring>
#include <sys/stat.h>

TEST(SampleCodes, MulawExpandsTheG711Table)
{
  EXPECT_EQ(mulaw_to_linear(0xFF), 0);
  EXPECT_EQ(mulaw_to_linear(0x7F), 0);
  EXPECT_EQ(mulaw_to_linear(0x00), -32124);
  EXPECT_EQ(mulaw_to_linear(0x80), 32124);
  for (int b = 0x80; b < 0xFF; b++) {
    EXPECT_EQ(mulaw_to_linear((uint8_t)(b & 0x7F)), -mulaw_to_linear((uint8_t)b));
    EXPECT_GT(mulaw_to_linear((uint8_t)b), mulaw_to_linear((uint8_t)(b + 1)));
  }
}

TEST(SampleCodes, WideValuesBecome16Bits)
{
  int16_t out[2];
  const uint8_t s24[6] = {0x99, 0x34, 0x12, 0x00, 0x00, 0x80}; // upper two bytes kept
  convert_values(SC_S24, s24, 2, out, 1, 0);
  EXPECT_EQ(out[0], 0x1234);
  EXPECT_EQ(out[1], -32768);
  uint8_t s32[8];
  put_le32(s32, (uint32_t)-70000);
  put_le32(s32 + 4, 1000);
  EXPECT_EQ(shift_to_16(-70000, 1000), 2);
  convert_values(SC_S32, s32, 2, out, 1, 2);
  EXPECT_EQ(out[0], -17500);
  EXPECT_EQ(out[1], 250);
  EXPECT_EQ(shift_to_16(-32768, 32767), 0);
  EXPECT_EQ(shift_to_16(INT32_MIN, INT32_MAX), 16);
  // Floats: truncation toward zero, and no undefined conversion of NaN,
  // infinities or products beyond 16 bits.
  EXPECT_EQ(scale_to_16(-0.49999, 65534), -32766);
  EXPECT_EQ(scale_to_16(NAN, 2), 0);
  EXPECT_EQ(scale_to_16(INFINITY, 1), 32767);
  EXPECT_EQ(scale_to_16(-1e300, 1e300), -32768);
}

TEST(ByteOrder, FieldsAndBlocks)
{
  const uint8_t b[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(get_le32(b), 0x04030201u);
  EXPECT_EQ(get_be32(b), 0x01020304u);
  uint8_t c[8];
  memcpy(c, b, 8);
  swap_bytes24(c, 2);
  EXPECT_EQ(std::vector<int>(c, c + 8), (std::vector<int>{3, 2, 1, 6, 5, 4, 7, 8}));
  memcpy(c, b, 8);
  swap_bytes64(c, 1);
  EXPECT_EQ(get_le64(c), 0x0102030405060708ull);
}

class ProbeTest : public FileTest {
protected:
  int probe(const std::string &name, const bytes &b) { return detect_file_type(write(name, b).c_str()); }
};

TEST_F(ProbeTest, MagicsMarkersAndText)
{
  bytes snd(28, 0), ils(512, 0), adf(20, 0), trn(20, 0);
  memcpy(snd.data(), ".snd", 4);
  EXPECT_EQ(probe("be", snd), FT_SND);
  EXPECT_EQ(header_area[0], '.'); // the probe leaves the area as it read it
  for (const char *magic : {"dns.", ".sd\0", "\0ds."}) {
    memcpy(snd.data(), magic, 4);
    EXPECT_EQ(probe("snd", snd), FT_SND) << magic;
  }
  memcpy(trn.data(), "VMF", 4);
  EXPECT_EQ(probe("trn", trn), FT_TRN);
  memcpy(adf.data(), "KOBU40", 7);
  EXPECT_EQ(probe("adf", adf), FT_ADF);
  EXPECT_EQ(probe("wav", make_wav(1, 1, 8000, 16, {0, 0})), FT_WAV);
  put_le16(&ils[124], (uint16_t)-32000);
  put_le16(&ils[10], 1);
  put_le16(&ils[122], 8000);
  EXPECT_EQ(probe("ils", ils), FT_ILS);
  put_le16(&ils[10], 0); // no data blocks: not ILS
  EXPECT_EQ(probe("ils0", ils), FT_NOH);
  EXPECT_EQ(detect_file_type(write_text("a.lst", "; rate=8000\n1\n").c_str()), FT_LST);
  EXPECT_EQ(probe("zero", {'1', 0, '2'}), FT_NOH);
  EXPECT_EQ(probe("high", {'1', 200, '2'}), FT_NOH);
}

TEST_F(ProbeTest, ShortFileIsJudgedOnItsOwnBytes)
{
  // After a WAV probe the area holds "RIFF....WAVE"; a 4-byte "RIFF" file
  // must not borrow the rest of it.
  probe("full.wav", make_wav(1, 1, 8000, 16, {0, 0}));
  EXPECT_EQ(probe("short", {'R', 'I', 'F', 'F'}), FT_LST);
  EXPECT_EQ(probe("empty", {}), -1);
  EXPECT_EQ(detect_file_type(path("missing").c_str()), -1);
  mkdir(path("sub").c_str(), 0755);
  EXPECT_EQ(detect_file_type(path("sub").c_str()), -1);
}

TEST_F(ProbeTest, HeaderOptionsMakeEveryFileHeaderless)
{
  no_header = 1;
  EXPECT_EQ(detect_file_type(path("missing").c_str()), FT_NOH);
  no_header = 0;
  header_bytes = 44;
  EXPECT_EQ(probe("x.wav", make_wav(1, 1, 8000, 16, {0, 0})), FT_NOH);
  EXPECT_EQ(raw_header, 44);
}

class FormatTest : public FileTest {
protected:
  void fill(std::vector<int> v, int channels = 1, int bits = 0, int zero = 0)
  {
    ASSERT_EQ(alloc_samples(1, (int)v.size() / channels, channels), 1);
    std::copy(v.begin(), v.end(), windows[1].samples);
    windows[1].num_samples = (int)v.size() / channels;
    windows[1].channels = (int8_t)channels;
    windows[1].adc_bits = (int16_t)bits;
    windows[1].zero_level = (int16_t)zero;
  }
  std::vector<int> first(int n) const { return std::vector<int>(windows[1].samples, windows[1].samples + n); }
};

TEST_F(FormatTest, GuessFollowsRangeAndMean)
{
  struct { std::vector<int> v; int bits, zero; } cases[] = {
    {{1900, 2200, 2000, 2100}, 12, 2048},
    {{-100, 100, 0}, 8, 0},
    {{0, 255, 128, 100}, 8, 128},
    {{-3000, 3000}, 16, 0},
    {{-1000, 0, 2048}, 16, 0},
  };
  for (auto &c : cases) {
    fill(c.v);
    guess_format(1);
    EXPECT_EQ(windows[1].adc_bits, c.bits) << c.v[0];
    EXPECT_EQ(windows[1].zero_level, c.zero) << c.v[0];
    EXPECT_EQ(windows[1].max_value, *std::max_element(c.v.begin(), c.v.end()));
  }
}

TEST_F(FormatTest, ReformatConvertsValuesAndGuards)
{
  fill({-32768, 255, -255, 32767}, 1, 16, 0);
  EXPECT_EQ(reformat_signal(1, 8, 128, 0), 1);
  EXPECT_EQ(first(5), (std::vector<int>{0, 128, 128, 255, 128}));
  EXPECT_EQ(reformat_signal(1, 8, 128, 0), 0); // already in that format
  fill({128, 130, 126, 128}, 2, 8, 128);
  EXPECT_EQ(reformat_signal(1, 16, 0, 0), 1);
  EXPECT_EQ(first(6), (std::vector<int>{0, 512, -512, 0, 0, 0}));
  fill({100, 200}, 1, 12, 2048);
  answer("n");
  EXPECT_EQ(reformat_signal(1, 16, 0, 1), 0);
  EXPECT_EQ(first(2), (std::vector<int>{100, 200}));
}
