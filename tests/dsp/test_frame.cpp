// Analysis windows and frames, and the decibel conversions.
#include <gtest/gtest.h>

#include <numeric>

#include "dsp/dsp.h"
#include "dsp_reference.h"

// Hamming 0.53836 - 0.46164 cos x and Blackman 0.42 - 0.5 cos x + 0.08 cos 2x,
// x running from 0 to 2 pi over the frame, at odd and even lengths; other types
// shape nothing. One sample is the window's centre, where every window is 1.
// A frame loses the zero level, or takes the first difference, before its window.
TEST(DspFrame, HammingAndBlackmanShapesAfterOffsetOrFirstDifference)
{
  for (int n : {1, 2, 4, 5, 64, 255})
    for (int type = -1; type <= 3; type++) {
      std::vector<float> x(n, 1.0f);
      apply_window(x.data(), n, type);
      for (int i = 0; i < n; i++) {
        double c = n == 1 ? -1.0 : cos(2.0 * ref_pi * i / (n - 1));
        double w = type == WINDOW_HAMMING ? 0.53836 - 0.46164 * c : 0.42 - 0.5 * c + 0.08 * (2 * c * c - 1);
        EXPECT_NEAR(x[i], type == 1 || type == 2 ? w : 1.0, 1e-6) << "type " << type << " n=" << n << " i=" << i;
      }
    }
  int16_t s[6] = {2048, 2050, 2040, 2100, -32768, 32767};
  std::vector<float> out(6), w(6, 1.0f), diff = {0, 2, -10, 60, -34868, 65535};
  // No samples leave the frame alone; one sample with emphasis has no predecessor.
  prepare_frame(out.data(), s, 6, 2000, 0, WINDOW_RECTANGULAR);
  prepare_frame(out.data(), s, 0, 0, 1, WINDOW_HAMMING);
  EXPECT_EQ(out, (std::vector<float>{48, 50, 40, 100, -34768, 30767}));
  prepare_frame(out.data(), s + 3, 1, 0, 1, WINDOW_BLACKMAN);
  EXPECT_EQ(out[0], 0.0f);
  prepare_frame(out.data(), s, 6, 2048, 1, WINDOW_HAMMING); // the zero level cancels
  apply_window(w.data(), 6, WINDOW_HAMMING);
  for (int i = 0; i < 6; i++)
    EXPECT_FLOAT_EQ(out[i], diff[i] * w[i]) << i;
}

// Levels floor at -80 dB. A spectrum's positive DC term stays above the floor
// and its negative Nyquist term, which keeps its sign, falls to it.
TEST(DspDecibel, LevelsFloorAtMinus80SpectraMatchDftAndStoredLevelsRoundClipAndStride)
{
  for (auto [x, db] : std::vector<std::pair<double, double>>{
           {0.0001, -80}, {-5, -80}, {0, -80}, {NAN, -80}, {1, 0}, {10, 20}, {0.00010001, -79.99913}})
    EXPECT_NEAR(to_db(x), db, 1e-5) << x;
  std::vector<float> x = uniform_noise(256, 8);
  for (size_t j = 0; j < x.size(); j++)
    x[j] += (j % 2 ? 0.5f : -0.5f) + (j == 0 ? 50.0f : 0.0f);
  std::vector<float> b = x;
  ASSERT_EQ(fft_real(b.data(), 256), 0);
  double sum = spectrum_db(b.data(), 128);
  for (int k = 0; k <= 128; k++) {
    double mag = k == 0 ? dft_bin(x, 0).real() : std::abs(dft_bin(x, k));
    EXPECT_NEAR(b[k], k == 128 ? -80.0 : 20.0 * log10(mag), 1e-3) << k;
  }
  EXPECT_NEAR(sum, std::accumulate(b.begin(), b.begin() + 129, 0.0), 1e-3);
  // re^2 + im^2 would overflow a float; the level of the magnitude must not.
  float big[4] = {1.0f, 1.0f, 3e38f, 3e38f};
  spectrum_db(big, 2);
  EXPECT_NEAR(big[1], 20.0 * log10(3e38 * sqrt(2.0)), 1e-3);
  EXPECT_EQ(spectrum_db(big, 0), 0.0);
  // Rounding half up, clipping at both ends and just inside them, NaN to the
  // bottom, every second place written; a negative scale turns the curve over.
  float level[10] = {200, -200, 60, 60.5f, 59.5f, NAN, 60 + 32767, 60 - 32768, 60 + 32768, 60 - 32769};
  std::vector<int16_t> out(21, 7);
  db_to_samples(level, out.data(), 10, 1, 2, 1.0, 60.0);
  EXPECT_EQ(out, (std::vector<int16_t>{7, 140, 7, -260, 7, 0, 7, 1, 7, 0, 7, -32768, 7, 32767, 7, -32768, 7,
                                       32767, 7, -32768, 7}));
  db_to_samples(level + 2, out.data(), 1, 0, 1, -100.0, 55.0);
  EXPECT_EQ(out[0], -500);
}
