// Analysis frames, windows and the decibel conversions.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/dsp.h"
#include "dsp_reference.h"

namespace {

std::vector<float> windowed_ones(int n, int type)
{
  std::vector<float> x(n, 1.0f);
  apply_window(x.data(), n, type);
  return x;
}

TEST(DspWindow, FiveSampleHammingAndBlackman)
{
  std::vector<float> h = windowed_ones(5, WINDOW_HAMMING);
  float hamming[5] = {0.07672f, 0.53836f, 1.0f, 0.53836f, 0.07672f};
  for (int i = 0; i < 5; i++)
    EXPECT_NEAR(h[i], hamming[i], 1e-6) << i;
  std::vector<float> b = windowed_ones(5, WINDOW_BLACKMAN);
  float blackman[5] = {0.0f, 0.34f, 1.0f, 0.34f, 0.0f};
  for (int i = 0; i < 5; i++)
    EXPECT_NEAR(b[i], blackman[i], 1e-6) << i;
}

TEST(DspWindow, MatchesTheTextbookFormOnOddAndEvenLengths)
{
  // The same windows written from the start of the frame: 0.53836 - 0.46164
  // cos(2 pi i/(n-1)) and 0.42 - 0.5 cos(2 pi i/(n-1)) + 0.08 cos(4 pi i/(n-1)).
  for (int n : {2, 4, 7, 64, 255}) {
    std::vector<float> h = windowed_ones(n, WINDOW_HAMMING);
    std::vector<float> b = windowed_ones(n, WINDOW_BLACKMAN);
    for (int i = 0; i < n; i++) {
      double phase = 2.0 * ref_pi * i / (n - 1);
      EXPECT_NEAR(h[i], 0.53836 - 0.46164 * cos(phase), 1e-6) << "n=" << n << " i=" << i;
      EXPECT_NEAR(b[i], 0.42 - 0.5 * cos(phase) + 0.08 * cos(2 * phase), 1e-6)
          << "n=" << n << " i=" << i;
    }
  }
}

TEST(DspWindow, DegenerateLengthsAndTypes)
{
  // One sample is the window's centre: 1.0 for every type.
  for (int type = 0; type <= 2; type++)
    EXPECT_EQ(windowed_ones(1, type)[0], 1.0f) << type;
  float x[3] = {2.0f, 3.0f, 4.0f};
  apply_window(x, 0, WINDOW_HAMMING);
  apply_window(x, -5, WINDOW_BLACKMAN);
  apply_window(x, 3, 3);
  apply_window(x, 3, -1);
  apply_window(x, 3, WINDOW_RECTANGULAR);
  EXPECT_EQ(x[0], 2.0f);
  EXPECT_EQ(x[1], 3.0f);
  EXPECT_EQ(x[2], 4.0f);
}

TEST(DspFrame, OffsetRemovalEmphasisAndWindow)
{
  int16_t s[6] = {2048, 2050, 2040, 2100, -32768, 32767};
  float out[6];
  prepare_frame(out, s, 6, 2048, 0, WINDOW_RECTANGULAR);
  float plain[6] = {0, 2, -8, 52, -34816, 30719};
  for (int i = 0; i < 6; i++)
    EXPECT_EQ(out[i], plain[i]) << i;

  prepare_frame(out, s, 6, 2048, 1, WINDOW_RECTANGULAR);
  float diff[6] = {0, 2, -10, 60, -34868, 65535};
  for (int i = 0; i < 6; i++)
    EXPECT_EQ(out[i], diff[i]) << i;

  prepare_frame(out, s, 5, 2048, 0, WINDOW_HAMMING);
  float hamming[5] = {0.07672f, 0.53836f, 1.0f, 0.53836f, 0.07672f};
  for (int i = 0; i < 5; i++)
    EXPECT_NEAR(out[i], plain[i] * hamming[i], 1e-6 * fabs(plain[i]) + 1e-7) << i;

  // A single sample with emphasis has no predecessor: the frame is 0.
  out[0] = 99.0f;
  prepare_frame(out, s + 3, 1, 0, 1, WINDOW_BLACKMAN);
  EXPECT_EQ(out[0], 0.0f);
  out[0] = 99.0f;
  prepare_frame(out, s, 0, 0, 0, WINDOW_HAMMING);
  EXPECT_EQ(out[0], 99.0f);
}

TEST(DspDecibel, ToDbFloorAndValues)
{
  EXPECT_EQ(to_db(0.0001), -80.0);
  EXPECT_EQ(to_db(1.0), 0.0);
  EXPECT_EQ(to_db(-5.0), -80.0);
  EXPECT_EQ(to_db(0.0), -80.0);
  EXPECT_EQ(to_db(NAN), -80.0);
  EXPECT_NEAR(to_db(10.0), 20.0, 1e-12);
  EXPECT_NEAR(to_db(0.00010001), 20.0 * log10(0.00010001), 1e-9);
}

TEST(DspDecibel, SpectrumOfTheNyquistCase)
{
  float b[8] = {1, -1, 1, -1, 1, -1, 1, -1};
  ASSERT_EQ(fft_real(b, 8), 0);
  double sum = spectrum_db(b, 4);
  for (int k = 0; k < 4; k++)
    EXPECT_EQ(b[k], -80.0f) << k;
  EXPECT_NEAR(b[4], 20.0 * log10(8.0), 1e-5);
  EXPECT_NEAR(sum, -320.0 + 20.0 * log10(8.0), 1e-4);
}

TEST(DspDecibel, SpectrumLevelsMatchDirectDft)
{
  std::vector<float> x = uniform_noise(256, 8);
  x[0] += 50.0f; // a positive DC term above the floor
  std::vector<std::complex<double>> X = direct_dft(x);
  std::vector<float> b = x;
  ASSERT_EQ(fft_real(b.data(), 256), 0);
  double sum = spectrum_db(b.data(), 128);
  double expected_sum = 0.0;
  for (int k = 0; k <= 128; k++) {
    // DC and Nyquist keep their sign: a negative one falls to the floor.
    double level = k == 0 || k == 128 ? to_db(X[k].real()) : 20.0 * log10(std::abs(X[k]));
    EXPECT_NEAR(b[k], level, 1e-3) << k;
    expected_sum += level;
  }
  EXPECT_NEAR(sum, expected_sum, 0.05);
}

TEST(DspDecibel, SpectrumMagnitudeDoesNotOverflow)
{
  // re^2 + im^2 would overflow a float; the level of the magnitude must not.
  float b[4] = {1.0f, 1.0f, 3e38f, 3e38f};
  spectrum_db(b, 2);
  EXPECT_NEAR(b[1], 20.0 * log10(3e38 * sqrt(2.0)), 1e-3);
  EXPECT_EQ(spectrum_db(b, 0), 0.0);
}

TEST(DspDecibel, DbToSamplesRoundsClipsAndStrides)
{
  float x[6] = {200.0f, -200.0f, 60.0f, 60.5f, 59.5f, NAN};
  int16_t out[13];
  for (int16_t &v : out)
    v = 7;
  db_to_samples(x, out, 6, 1, 2, 1.0, 60.0);
  EXPECT_EQ(out[1], 140);
  EXPECT_EQ(out[3], -260);
  EXPECT_EQ(out[5], 0);
  EXPECT_EQ(out[7], 1);   // 0.5 rounds up
  EXPECT_EQ(out[9], 0);   // -0.5 rounds up too
  EXPECT_EQ(out[11], -32768);
  for (int i : {0, 2, 4, 6, 8, 10, 12})
    EXPECT_EQ(out[i], 7) << "index " << i << " is between the strides";

  db_to_samples(x, out, 2, 0, 1, 546.1166666666667, 60.0);
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[1], -32768);
  // Just inside both ends: 32767 and -32768 themselves.
  float ends[2] = {60.0f + 32767.0f / 546.1166666666667f, 60.0f - 60.0f * 32768.0f / 32767.0f};
  db_to_samples(ends, out, 2, 0, 1, 546.1166666666667, 60.0);
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[1], -32768);
  // A negative scale turns the curve over, as the envelope store does.
  float level = 10.0f;
  db_to_samples(&level, out, 1, 0, 1, -100.0, 5.0);
  EXPECT_EQ(out[0], -500);
}

} // namespace
