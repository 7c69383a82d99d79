// Analysis frames, windows and the decibel conversions.
#include <gtest/gtest.h>

#include "dsp/dsp.h"
#include "dsp_reference.h"

namespace {

std::vector<float> windowed_ones(int n, int type)
{
  std::vector<float> x(n, 1.0f);
  apply_window(x.data(), n, type);
  return x;
}

TEST(DspWindow, HammingAndBlackmanOnOddAndEvenLengths)
{
  float hamming5[5] = {0.07672f, 0.53836f, 1.0f, 0.53836f, 0.07672f}, blackman5[5] = {0.0f, 0.34f, 1.0f, 0.34f, 0.0f};
  for (int i = 0; i < 5; i++) {
    EXPECT_NEAR(windowed_ones(5, WINDOW_HAMMING)[i], hamming5[i], 1e-6) << i;
    EXPECT_NEAR(windowed_ones(5, WINDOW_BLACKMAN)[i], blackman5[i], 1e-6) << i;
  }
  for (int n : {2, 4, 7, 64, 255}) {
    std::vector<float> h = windowed_ones(n, WINDOW_HAMMING), b = windowed_ones(n, WINDOW_BLACKMAN);
    for (int i = 0; i < n; i++) {
      double phase = 2.0 * ref_pi * i / (n - 1);
      EXPECT_NEAR(h[i], 0.53836 - 0.46164 * cos(phase), 1e-6) << "n=" << n << " i=" << i;
      EXPECT_NEAR(b[i], 0.42 - 0.5 * cos(phase) + 0.08 * cos(2 * phase), 1e-6) << "n=" << n << " i=" << i;
    }
  }
}

TEST(DspWindow, DegenerateLengthsAndTypes)
{
  for (int type = 0; type <= 2; type++) // one sample is the window's centre
    EXPECT_EQ(windowed_ones(1, type)[0], 1.0f) << type;
  float x[3] = {2.0f, 3.0f, 4.0f};
  apply_window(x, 0, WINDOW_HAMMING);
  apply_window(x, -5, WINDOW_BLACKMAN);
  apply_window(x, 3, 3);
  apply_window(x, 3, -1);
  apply_window(x, 3, WINDOW_RECTANGULAR);
  EXPECT_EQ(std::vector<float>(x, x + 3), (std::vector<float>{2.0f, 3.0f, 4.0f}));
}

TEST(DspFrame, OffsetRemovalEmphasisAndWindow)
{
  int16_t s[6] = {2048, 2050, 2040, 2100, -32768, 32767};
  float out[6], hamming[5] = {0.07672f, 0.53836f, 1.0f, 0.53836f, 0.07672f};
  prepare_frame(out, s, 6, 2048, 0, WINDOW_RECTANGULAR);
  std::vector<float> plain = {0, 2, -8, 52, -34816, 30719};
  EXPECT_EQ(std::vector<float>(out, out + 6), plain);
  prepare_frame(out, s, 6, 2048, 1, WINDOW_RECTANGULAR);
  EXPECT_EQ(std::vector<float>(out, out + 6), (std::vector<float>{0, 2, -10, 60, -34868, 65535}));
  prepare_frame(out, s, 5, 2048, 0, WINDOW_HAMMING);
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
  for (double floored : {0.0001, -5.0, 0.0, (double)NAN})
    EXPECT_EQ(to_db(floored), -80.0) << floored;
  EXPECT_EQ(to_db(1.0), 0.0);
  EXPECT_NEAR(to_db(10.0), 20.0, 1e-12);
  EXPECT_NEAR(to_db(0.00010001), 20.0 * log10(0.00010001), 1e-9);
}

TEST(DspDecibel, SpectrumLevelsMatchDirectDft)
{
  // A positive DC term above the floor and a negative Nyquist term, which
  // keeps its sign and so falls to the floor.
  std::vector<float> x = uniform_noise(256, 8);
  for (size_t j = 0; j < x.size(); j++)
    x[j] += (j % 2 ? 0.5f : -0.5f) + (j == 0 ? 50.0f : 0.0f);
  std::vector<cplx> X = direct_dft(x);
  ASSERT_LT(X[128].real(), 0.0);
  std::vector<float> b = x;
  ASSERT_EQ(fft_real(b.data(), 256), 0);
  double sum = spectrum_db(b.data(), 128), expected_sum = 0.0;
  for (int k = 0; k <= 128; k++) {
    double level = k == 0 || k == 128 ? to_db(X[k].real()) : 20.0 * log10(std::abs(X[k]));
    EXPECT_NEAR(b[k], level, 1e-3) << k;
    expected_sum += level;
  }
  EXPECT_EQ(b[128], -80.0f);
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
  std::fill(out, out + 13, 7);
  db_to_samples(x, out, 6, 1, 2, 1.0, 60.0);
  // 60.5 and 59.5 both round up; the odd places lie between the strides.
  EXPECT_EQ(std::vector<int16_t>(out, out + 13),
            (std::vector<int16_t>{7, 140, 7, -260, 7, 0, 7, 1, 7, 0, 7, -32768, 7}));
  // Beyond both ends, and just inside them: 32767 and -32768 themselves.
  const double scale = 546.1166666666667;
  float ends[4] = {200.0f, -200.0f, 60.0f + 32767.0f / (float)scale, 60.0f - 60.0f * 32768.0f / 32767.0f};
  db_to_samples(ends, out, 4, 0, 1, scale, 60.0);
  EXPECT_EQ(std::vector<int16_t>(out, out + 4), (std::vector<int16_t>{32767, -32768, 32767, -32768}));
  // A negative scale turns the curve over, as the envelope store does.
  float level = 10.0f;
  db_to_samples(&level, out, 1, 0, 1, -100.0, 5.0);
  EXPECT_EQ(out[0], -500);
}

} // namespace
