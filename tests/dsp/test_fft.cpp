// The real FFT against a direct DFT in double, Parseval's relation on long
// transforms, and the lengths it refuses.
#include <gtest/gtest.h>

#include <climits>

#include "dsp/dsp.h"
#include "dsp_reference.h"

namespace {

double energy(const std::vector<float> &x)
{
  double e = 0.0;
  for (float v : x)
    e += (double)v * v;
  return e;
}

// Deviation in units of float rounding (2^-24) times the input's norm. A few
// roundings per pass are allowed; a wrong twiddle or a misplaced value costs
// an error of the order of the norm itself, millions of these units.
double units(float got, double want, double norm) { return fabs(got - want) / (5.96e-8 * norm); }

TEST(DspFft, MatchesDirectDftForEveryLengthAndInputKind)
{
  const char *names[] = {"random", "constant", "alternating", "impulse at 0", "impulse at 3"};
  for (int log = 1; log <= 12; log++) {
    size_t n = (size_t)1 << log;
    for (int kind = 0; kind < 5; kind++) {
      std::vector<float> x = kind == 0 ? uniform_noise(n, 17 + (unsigned)n) : std::vector<float>(n, 0.0f);
      for (size_t j = 0; j < n; j++)
        x[j] = kind == 1 ? 1.0f : kind == 2 ? (j % 2 ? -1.0f : 1.0f) : x[j];
      if (kind == 3)
        x[0] = 1.0f;
      if (kind == 4)
        x[n > 2 ? 3 : 1] = 2.5f;
      std::vector<float> b = x;
      ASSERT_EQ(fft_real(b.data(), (int)n), 0);
      std::vector<cplx> X = direct_dft(x);
      // Every packed value: b[0] DC, b[1] Nyquist, then re/im of bins 1..n/2-1.
      double worst = std::max(units(b[0], X[0].real(), 1.0), units(b[1], X[n / 2].real(), 1.0));
      for (size_t k = 1; k < n / 2; k++)
        worst = std::max({worst, units(b[2 * k], X[k].real(), 1.0), units(b[2 * k + 1], X[k].imag(), 1.0)});
      EXPECT_LT(worst / sqrt(energy(x)), 2.0 * log) << "n=" << n << " input " << names[kind];
    }
  }
}

// 2^21 lies beyond the cached twiddle tables: its factors come as the passes go.
TEST(DspFft, ParsevalAndSpotBinsOnLongTransforms)
{
  for (int log : {16, 20, 21}) {
    size_t n = (size_t)1 << log;
    std::vector<float> x = uniform_noise(n, 99 + log), b = x;
    ASSERT_EQ(fft_real(b.data(), (int)n), 0);
    double power = (double)b[0] * b[0] + (double)b[1] * b[1];
    for (size_t i = 2; i < n; i++)
      power += 2.0 * (double)b[i] * b[i];
    double e = energy(x), norm = sqrt(e);
    EXPECT_NEAR(power / (double)n, e, 1e-5 * e) << "n=" << n;
    for (size_t k : {(size_t)0, (size_t)1, (size_t)2, (size_t)3, n / 8 + 5, n / 4, n / 4 + 1, n / 2 - 3,
                     n / 2 - 1, n / 2}) {
      cplx X = dft_bin(x, k);
      size_t at = k == n / 2 ? 1 : 2 * k;
      EXPECT_LT(units(b[at], X.real(), norm), 2.0 * log) << "n=" << n << " k=" << k;
      if (k > 0 && k < n / 2) {
        EXPECT_LT(units(b[at + 1], X.imag(), norm), 2.0 * log) << "n=" << n << " k=" << k;
      }
    }
  }
}

TEST(DspFft, RefusesLengthsThatAreNotPowersOfTwoFrom2To2Pow30)
{
  float b[16];
  for (int i = 0; i < 16; i++)
    b[i] = (float)i;
  for (int n : {0, 1, -1, -2, 3, 6, 12, 1000, 1023, 1025, (1 << 30) + 1, (1 << 30) - 1, INT_MAX, INT_MIN,
                -(1 << 30)}) {
    EXPECT_EQ(fft_real(b, n), 1) << n;
    for (int i = 0; i < 16; i++)
      ASSERT_EQ(b[i], (float)i) << "n=" << n << " touched the buffer";
  }
}

} // namespace
