// The real FFT against a direct DFT in double, Parseval's relation on long
// transforms, and the refusal of lengths it cannot do.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "analysis/dsp.h"
#include "dsp_reference.h"

namespace {

const double float_eps = 5.96e-8; // 2^-24

double energy(const std::vector<float> &x)
{
  double e = 0.0;
  for (float v : x)
    e += (double)v * v;
  return e;
}

// Largest deviation of the packed spectrum b from the reference X, over every
// value of the layout, in units of float rounding times the input's RMS norm.
double packed_error(const std::vector<float> &b, const std::vector<std::complex<double>> &X,
                    double norm)
{
  size_t n = b.size();
  double worst = fabs(b[0] - X[0].real());
  worst = std::max(worst, fabs(b[1] - X[n / 2].real()));
  for (size_t k = 1; k < n / 2; k++) {
    worst = std::max(worst, fabs(b[2 * k] - X[k].real()));
    worst = std::max(worst, fabs(b[2 * k + 1] - X[k].imag()));
  }
  return worst / (float_eps * norm);
}

std::vector<float> test_input(int kind, size_t n)
{
  std::vector<float> x(n, 0.0f);
  switch (kind) {
  case 0:
    x = uniform_noise(n, 17 + (unsigned)n);
    break;
  case 1:
    std::fill(x.begin(), x.end(), 1.0f);
    break;
  case 2:
    for (size_t j = 0; j < n; j++)
      x[j] = j % 2 ? -1.0f : 1.0f;
    break;
  case 3:
    x[0] = 1.0f;
    break;
  case 4:
    x[n > 2 ? 3 : 1] = 2.5f;
    break;
  }
  return x;
}

TEST(DspFft, MatchesDirectDftForEveryLengthAndInputKind)
{
  const char *names[] = {"random", "constant", "alternating", "impulse at 0", "impulse at 3"};
  for (int log = 1; log <= 12; log++) {
    size_t n = (size_t)1 << log;
    for (int kind = 0; kind < 5; kind++) {
      std::vector<float> x = test_input(kind, n), b = x;
      ASSERT_EQ(fft_real(b.data(), (int)n), 0);
      double err = packed_error(b, direct_dft(x), sqrt(energy(x)));
      // A few roundings per pass; a wrong twiddle or a misplaced value costs
      // an error of the order of the norm itself, millions of these units.
      EXPECT_LT(err, 2.0 * log) << "n=" << n << " input " << names[kind];
    }
  }
}

TEST(DspFft, ConstantAndAlternatingEightPoints)
{
  float ones[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  ASSERT_EQ(fft_real(ones, 8), 0);
  EXPECT_EQ(ones[0], 8.0f);
  for (int i = 1; i < 8; i++)
    EXPECT_EQ(ones[i], 0.0f) << i;

  float alt[8] = {1, -1, 1, -1, 1, -1, 1, -1};
  ASSERT_EQ(fft_real(alt, 8), 0);
  EXPECT_EQ(alt[1], 8.0f);
  for (int i = 0; i < 8; i++) {
    if (i != 1) {
      EXPECT_EQ(alt[i], 0.0f) << i;
    }
  }
}

// Checks Parseval's relation and a handful of bins against single-bin DFTs.
void check_long_transform(int log)
{
  size_t n = (size_t)1 << log;
  std::vector<float> x = uniform_noise(n, 99 + log), b = x;
  ASSERT_EQ(fft_real(b.data(), (int)n), 0);
  double power = (double)b[0] * b[0] + (double)b[1] * b[1];
  for (size_t k = 1; k < n / 2; k++)
    power += 2.0 * ((double)b[2 * k] * b[2 * k] + (double)b[2 * k + 1] * b[2 * k + 1]);
  double e = energy(x);
  EXPECT_NEAR(power / (double)n, e, 1e-5 * e) << "n=" << n;

  double norm = sqrt(e);
  size_t bins[] = {1, 2, 3, n / 8 + 5, n / 4, n / 4 + 1, n / 2 - 3, n / 2 - 1};
  for (size_t k : bins) {
    std::complex<double> X = dft_bin(x, k);
    EXPECT_LT(fabs(b[2 * k] - X.real()) / (float_eps * norm), 2.0 * log) << "n=" << n << " k=" << k;
    EXPECT_LT(fabs(b[2 * k + 1] - X.imag()) / (float_eps * norm), 2.0 * log) << "n=" << n << " k=" << k;
  }
  EXPECT_NEAR(b[0], dft_bin(x, 0).real(), 2.0 * log * float_eps * norm);
  EXPECT_NEAR(b[1], dft_bin(x, n / 2).real(), 2.0 * log * float_eps * norm);
}

TEST(DspFft, ParsevalAndSpotBinsAtTwoToThe16) { check_long_transform(16); }

TEST(DspFft, ParsevalAndSpotBinsAtTwoToThe20) { check_long_transform(20); }

// Beyond the cached twiddle tables the factors are computed as the passes go.
TEST(DspFft, ParsevalAndSpotBinsBeyondTheCachedTables) { check_long_transform(21); }

TEST(DspFft, RefusesLengthsThatAreNotPowersOfTwoFrom2To2Pow30)
{
  float b[16];
  for (int i = 0; i < 16; i++)
    b[i] = (float)i;
  int bad[] = {0, 1, -1, -2, 3, 6, 12, 1000, 1023, 1025, (1 << 30) + 1, (1 << 30) - 1,
               INT_MAX, INT_MIN, -(1 << 30)};
  for (int n : bad) {
    EXPECT_EQ(fft_real(b, n), 1) << n;
    for (int i = 0; i < 16; i++)
      ASSERT_EQ(b[i], (float)i) << "n=" << n << " touched the buffer";
  }
}

} // namespace
