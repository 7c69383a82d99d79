// Sample codes, the type probe, the format guess and the reformat conversion.
#include "files/bytes.h"
#include "file_fixture.h"
#include <cmath>
#include <cstring>
#include <limits>
#include <sys/stat.h>

TEST(SampleCodes, MulawExpandsTheG711Table)
{
  EXPECT_EQ(mulaw_to_linear(0xFF), 0);
  EXPECT_EQ(mulaw_to_linear(0x7F), 0);
  EXPECT_EQ(mulaw_to_linear(0x00), -32124);
  EXPECT_EQ(mulaw_to_linear(0x80), 32124);
  // Symmetric, and monotonic within each half.
  for (int b = 0; b < 128; b++)
    EXPECT_EQ(mulaw_to_linear((uint8_t)b), -mulaw_to_linear((uint8_t)(b | 0x80)));
  for (int b = 0x80; b < 0xFF; b++)
    EXPECT_GT(mulaw_to_linear((uint8_t)b), mulaw_to_linear((uint8_t)(b + 1)));
}

TEST(SampleCodes, IntegerCodesKeepTheirValues)
{
  const uint8_t u8[3] = {0, 128, 255};
  int16_t out[4];
  convert_values(SC_U8, u8, 3, out, 1, 0);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 255);
  convert_values(SC_S8, u8, 3, out, 1, 0);
  EXPECT_EQ(out[1], -128);
  EXPECT_EQ(out[2], -1);
  // 24-bit: the upper two of three little-endian bytes.
  const uint8_t s24[6] = {0x99, 0x34, 0x12, 0x00, 0x00, 0x80};
  convert_values(SC_S24, s24, 2, out, 1, 0);
  EXPECT_EQ(out[0], 0x1234);
  EXPECT_EQ(out[1], -32768);
  // 32-bit values shifted by the amount the pre-scan found.
  uint8_t s32[8];
  put_le32(s32, (uint32_t)-70000);
  put_le32(s32 + 4, 1000);
  convert_values(SC_S32, s32, 2, out, 1, 0);
  EXPECT_EQ(out[1], 1000);
  convert_values(SC_S32, s32, 2, out, 1, 2);
  EXPECT_EQ(out[0], -17500);
  EXPECT_EQ(out[1], 250);
}

TEST(SampleCodes, ShiftIsTheFewestBitsThatFitTheRange)
{
  EXPECT_EQ(shift_to_16(-32768, 32767), 0);
  EXPECT_EQ(shift_to_16(0, 32768), 1);
  EXPECT_EQ(shift_to_16(-32769, 0), 1);
  EXPECT_EQ(shift_to_16(INT32_MIN, INT32_MAX), 16);
  EXPECT_EQ(shift_to_16(0, 65535), 1);
}

TEST(SampleCodes, FloatScalingTruncatesAndNeverOverflows)
{
  EXPECT_EQ(scale_to_16(0.5, 65534), 32767);
  EXPECT_EQ(scale_to_16(-0.49999, 65534), -32766);
  EXPECT_EQ(scale_to_16(std::numeric_limits<double>::quiet_NaN(), 2), 0);
  EXPECT_EQ(scale_to_16(std::numeric_limits<double>::infinity(), 1), 32767);
  EXPECT_EQ(scale_to_16(-1e300, 1e300), -32768);
  uint8_t f[8];
  put_le32(f, 0x3F000000); // 0.5f
  put_le32(f + 4, 0x7FC00000); // NaN
  int16_t out[2];
  convert_values(SC_FLOAT, f, 2, out, 32767 / 0.5, 0);
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[1], 0);
}

TEST(ByteOrder, FieldsAndBlocks)
{
  const uint8_t b[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(get_le16(b), 0x0201);
  EXPECT_EQ(get_be16(b), 0x0102);
  EXPECT_EQ(get_le32(b), 0x04030201u);
  EXPECT_EQ(get_be32(b), 0x01020304u);
  uint8_t c[8];
  memcpy(c, b, 8);
  swap_bytes16(c, 4);
  EXPECT_EQ(c[0], 2);
  EXPECT_EQ(c[7], 7);
  memcpy(c, b, 8);
  swap_bytes24(c, 2);
  EXPECT_EQ(c[0], 3);
  EXPECT_EQ(c[3], 6);
  EXPECT_EQ(c[6], 7); // untouched
  memcpy(c, b, 8);
  swap_bytes32(c, 2);
  EXPECT_EQ(get_le32(c), 0x01020304u);
  memcpy(c, b, 8);
  swap_bytes64(c, 1);
  EXPECT_EQ(c[0], 8);
  EXPECT_EQ(c[7], 1);
}

class ProbeTest : public FileTest {};

TEST_F(ProbeTest, TextIsLstAndBinaryIsHeaderless)
{
  EXPECT_EQ(detect_file_type(write_text("a.lst", "; rate=8000\n1\n2\n").c_str()), FT_LST);
  bytes zero = {'1', 0, '2'};
  EXPECT_EQ(detect_file_type(write("b", zero).c_str()), FT_NOH);
  bytes high = {'1', 200, '2'};
  EXPECT_EQ(detect_file_type(write("c", high).c_str()), FT_NOH);
}

TEST_F(ProbeTest, MagicsAndMarkers)
{
  bytes snd_be, snd_le, trn, adf, ils;
  add_text(snd_be, ".snd", 4);
  add_text(snd_le, "dns.", 4);
  add_zeros(snd_be, 24);
  add_zeros(snd_le, 24);
  EXPECT_EQ(detect_file_type(write("be.snd", snd_be).c_str()), FT_SND);
  EXPECT_EQ(header_area[0], '.'); // the probe leaves the area as it read it
  EXPECT_EQ(detect_file_type(write("le.snd", snd_le).c_str()), FT_SND);
  memcpy(snd_le.data(), "\0ds.", 4); // the older magic, little-endian
  EXPECT_EQ(detect_file_type(write("dec.snd", snd_le).c_str()), FT_SND);

  add_text(trn, "TRN", 4);
  add_le32(trn, 1);
  add_le32(trn, 1);
  add_le32(trn, 0);
  add_le32(trn, 5);
  EXPECT_EQ(detect_file_type(write("x.trn", trn).c_str()), FT_TRN);
  memcpy(trn.data(), "VMF", 3);
  EXPECT_EQ(detect_file_type(write("x.vmf", trn).c_str()), FT_TRN);
  add_text(adf, "KOBU40", 7);
  add_zeros(adf, 10);
  EXPECT_EQ(detect_file_type(write("x.adf", adf).c_str()), FT_ADF);
  EXPECT_EQ(detect_file_type(write("x.wav", make_wav(1, 1, 8000, 16, {0, 0})).c_str()), FT_WAV);

  add_zeros(ils, 512);
  put_le16(&ils[124], (uint16_t)-32000);
  put_le16(&ils[10], 1);
  put_le16(&ils[122], 8000);
  EXPECT_EQ(detect_file_type(write("x.ils", ils).c_str()), FT_ILS);
  put_le16(&ils[10], 0); // no data blocks: not ILS
  EXPECT_NE(detect_file_type(write("y.ils", ils).c_str()), FT_ILS);
}

TEST_F(ProbeTest, ShortFileIsJudgedOnItsOwnBytes)
{
  // A WAV probe fills the area with "RIFF....WAVE"; a 4-byte file must not
  // borrow the rest of it.
  detect_file_type(write("full.wav", make_wav(1, 1, 8000, 16, {0, 0})).c_str());
  bytes riff;
  add_text(riff, "RIFF", 4);
  EXPECT_EQ(detect_file_type(write("short", riff).c_str()), FT_LST);
}

TEST_F(ProbeTest, NothingToReadIsMinusOne)
{
  EXPECT_EQ(detect_file_type(write("empty", {}).c_str()), -1);
  EXPECT_EQ(detect_file_type(path("missing").c_str()), -1);
  mkdir(path("sub").c_str(), 0755);
  EXPECT_EQ(detect_file_type(path("sub").c_str()), -1);
}

TEST_F(ProbeTest, HeaderOptionsMakeEveryFileHeaderless)
{
  std::string wav = write("x.wav", make_wav(1, 1, 8000, 16, {0, 0}));
  no_header = 1;
  EXPECT_EQ(detect_file_type(wav.c_str()), FT_NOH);
  EXPECT_EQ(detect_file_type(path("missing").c_str()), FT_NOH);
  no_header = 0;
  header_bytes = 44;
  EXPECT_EQ(detect_file_type(wav.c_str()), FT_NOH);
  EXPECT_EQ(raw_header, 44);
}

class FormatTest : public FileTest {
protected:
  void fill(int w, std::vector<int> v, int channels = 1)
  {
    ASSERT_EQ(alloc_samples(w, (int)v.size() / channels, channels), 1);
    for (size_t i = 0; i < v.size(); i++)
      windows[w].samples[i] = (int16_t)v[i];
    windows[w].num_samples = (int)v.size() / channels;
    windows[w].channels = (int8_t)channels;
  }
};

TEST_F(FormatTest, GuessFollowsRangeAndMean)
{
  fill(1, {1900, 2200, 2000, 2100});
  guess_format(1);
  EXPECT_EQ(windows[1].adc_bits, 12);
  EXPECT_EQ(windows[1].zero_level, 2048);
  EXPECT_EQ(windows[1].min_value, 1900);
  EXPECT_EQ(windows[1].max_value, 2200);
  fill(1, {-100, 100, 0});
  guess_format(1);
  EXPECT_EQ(windows[1].adc_bits, 8);
  EXPECT_EQ(windows[1].zero_level, 0);
  fill(1, {0, 255, 128, 100});
  guess_format(1);
  EXPECT_EQ(windows[1].adc_bits, 8);
  EXPECT_EQ(windows[1].zero_level, 128);
  fill(1, {-3000, 3000});
  guess_format(1);
  EXPECT_EQ(windows[1].adc_bits, 16);
  EXPECT_EQ(windows[1].zero_level, 0);
}

TEST_F(FormatTest, ReformatTo8BitUnsignedTruncatesTowardZero)
{
  fill(1, {-32768, 255, -255, 32767});
  windows[1].adc_bits = 16;
  windows[1].zero_level = 0;
  EXPECT_EQ(reformat_signal(1, 8, 128, 0), 1);
  EXPECT_EQ(windows[1].samples[0], 0);
  EXPECT_EQ(windows[1].samples[1], 128);
  EXPECT_EQ(windows[1].samples[2], 128);
  EXPECT_EQ(windows[1].samples[3], 255);
  EXPECT_EQ(windows[1].samples[4], 128); // guard frame
  EXPECT_EQ(reformat_signal(1, 8, 128, 0), 0); // already in that format
}

TEST_F(FormatTest, ReformatConvertsEveryChannelAndBothGuards)
{
  fill(1, {128, 130, 126, 128}, 2);
  windows[1].adc_bits = 8;
  windows[1].zero_level = 128;
  EXPECT_EQ(reformat_signal(1, 16, 0, 0), 1);
  EXPECT_EQ(windows[1].samples[1], 512);
  EXPECT_EQ(windows[1].samples[2], -512);
  EXPECT_EQ(windows[1].samples[4], 0);
  EXPECT_EQ(windows[1].samples[5], 0);
}

TEST_F(FormatTest, ReformatAnsweredNoChangesNothing)
{
  fill(1, {100, 200});
  windows[1].adc_bits = 12;
  windows[1].zero_level = 2048;
  answer("n");
  EXPECT_EQ(reformat_signal(1, 16, 0, 1), 0);
  EXPECT_EQ(windows[1].samples[0], 100);
  EXPECT_EQ(windows[1].adc_bits, 12);
}
