// Linear prediction against the normal equations solved directly, on noise and
// on autoregressive processes with known coefficients; the lattice error filter.
#include <gtest/gtest.h>

#include "dsp/dsp.h"
#include "dsp_reference.h"

namespace {

// The coefficient block as the callers lay it out: k, then a, then r.
struct lpc_block {
  std::vector<float> mem;
  float E = 0.0f;
  explicit lpc_block(int p) : mem(3 * p + 3, -999.0f) {}
  float *k() { return mem.data(); }
  float *a() { return mem.data() + mem.size() / 3; }
  float *r() { return mem.data() + 2 * mem.size() / 3; }
  int run(const std::vector<float> &x, int p)
  {
    return lpc_autocorr((int)x.size(), x.data(), p, a(), &E, k(), r());
  }
};

// Noise shaped by a gentle two-pole filter: structure for the predictor
// without ill-conditioned normal equations.
std::vector<float> coloured_noise(size_t n, unsigned seed)
{
  std::vector<float> x = uniform_noise(n, seed);
  for (size_t j = 2; j < n; j++)
    x[j] += 0.5f * x[j - 1] - 0.3f * x[j - 2];
  return x;
}

// An all-pole filter with predictor c (c[0] = 1) driven by uniform noise,
// past its start-up transient.
std::vector<float> ar_process(const std::vector<double> &c, size_t n, unsigned seed)
{
  std::vector<float> e = uniform_noise(n + 1000, seed), x(n + 1000, 0.0f);
  for (size_t t = 0; t < x.size(); t++) {
    double v = e[t];
    for (size_t i = 1; i < c.size() && i <= t; i++)
      v -= c[i] * x[t - i];
    x[t] = (float)v;
  }
  return std::vector<float>(x.begin() + 1000, x.end());
}

TEST(DspLpc, MatchesDoubleLagsAndNormalEquationsForOrders1To50)
{
  for (unsigned frame = 0; frame < 4; frame++) {
    size_t n = 400 + 150 * frame;
    std::vector<float> x = frame % 2 ? coloured_noise(n, frame) : uniform_noise(n, frame);
    for (int p = 1; p <= 50; p++) {
      lpc_block blk(p);
      ASSERT_EQ(blk.run(x, p), 0) << "frame " << frame << " p=" << p;
      std::vector<double> sums(p + 1, 0.0); // the lags themselves, summed in double
      for (int lag = 0; lag <= p; lag++)
        for (size_t j = 0; j + lag < n; j++)
          sums[lag] += (double)x[j + lag] * x[j];
      for (int lag = 0; lag <= p; lag++)
        EXPECT_NEAR(blk.r()[lag], sums[lag], 2e-5 * sums[0]) << "frame " << frame << " lag " << lag;
      // Solved from the routine's own float lags, so that only the recursion is compared.
      std::vector<double> r(blk.r(), blk.r() + p + 1), a = normal_equations(r, p);
      double E = 0.0;
      for (int i = 0; i <= p; i++) {
        EXPECT_NEAR(blk.a()[i], a[i], 1e-4) << "frame " << frame << " p=" << p << " i=" << i;
        E += a[i] * r[i];
      }
      EXPECT_NEAR(blk.E, E, 1e-4 * r[0]) << "frame " << frame << " p=" << p;
      // The last reflection coefficient of each order is its last predictor coefficient.
      EXPECT_NEAR(blk.k()[p - 1], a[p], 1e-4) << "frame " << frame << " p=" << p;
      for (int i = 0; i < p; i++)
        ASSERT_LT(fabs(blk.k()[i]), 1.0f) << "frame " << frame << " p=" << p << " i=" << i;
    }
  }
}

TEST(DspLpc, RecoversGeneratingCoefficientsOfArProcesses)
{
  // AR(4) from the poles 0.9 e^(+-0.6i) and 0.8 e^(+-1.9i).
  double a1 = -1.8 * cos(0.6), a2 = 0.81, b1 = -1.6 * cos(1.9), b2 = 0.64;
  std::vector<double> ar2 = {1.0, -1.3, 0.8}, ar4 = {1.0, a1 + b1, a2 + a1 * b1 + b2, a1 * b2 + a2 * b1, a2 * b2};
  for (const std::vector<double> &c : {ar2, ar4}) {
    int p = (int)c.size() - 1;
    std::vector<float> x = ar_process(c, 32767, 11 + p);
    lpc_block blk(p);
    ASSERT_EQ(blk.run(x, p), 0);
    for (int i = 0; i <= p; i++)
      EXPECT_NEAR(blk.a()[i], c[i], 0.03) << "p=" << p << " i=" << i;
    // The residual is the driving noise: variance 1/3 per sample.
    EXPECT_NEAR(blk.E / x.size(), 1.0 / 3.0, 0.02) << "p=" << p;
  }
}

TEST(DspLpc, LagsBeyondTheFrameAreZero)
{
  lpc_block blk(5);
  blk.run({1.0f, 2.0f, -1.0f}, 5);
  float lags[6] = {6, 0, -1, 0, 0, 0};
  for (int lag = 0; lag <= 5; lag++)
    EXPECT_EQ(blk.r()[lag], lags[lag]) << lag;
}

TEST(DspLpc, FailsOnAllZeroFrameAndOnBrokenResidual)
{
  lpc_block blk(10);
  EXPECT_EQ(blk.run(std::vector<float>(100, 0.0f), 10), 1);
  EXPECT_EQ(blk.a()[0], 1.0f);
  EXPECT_EQ(blk.run({}, 10), 1);

  // A smoothly tapered sinusoid is predicted almost exactly by two coefficients:
  // the residual falls below the rounding of the float lags, and the recursion
  // drives it to zero or below within a few steps.
  std::vector<float> tone(1000);
  for (size_t j = 0; j < tone.size(); j++)
    tone[j] = (float)(sin(0.3 * j) * pow(sin(ref_pi * (j + 0.5) / tone.size()), 2));
  lpc_block high(10);
  EXPECT_EQ(high.run(tone, 10), 1);
  EXPECT_EQ(high.a()[0], 1.0f);
  EXPECT_LE(high.E, 0.0f);

  // Overflowing lags make the residual not a number.
  lpc_block two(2);
  EXPECT_EQ(two.run(std::vector<float>(8, 3e20f), 2), 1);
}

TEST(DspLattice, PassesInputWithoutStagesOrHistory)
{
  float state[6] = {0, 0, 0, 0, 0, 0};
  EXPECT_EQ(lattice_error(1234, 0, state), 1234);
  EXPECT_EQ(lattice_error(-77, -3, state), -77);
  // With all-zero state every stage sees b = 0, so k = 0 and the sample passes.
  EXPECT_EQ(lattice_error(-5000, 5, state), -5000);
  EXPECT_EQ(state[0], -5000.0f);
  float one[2] = {0, 0};
  for (int i = 0; i < 100; i++)
    ASSERT_EQ(lattice_error(0, 1, one), 0);

  // One stage: e = f (f^2 - b^2) / (f^2 + b^2), with b the previous sample.
  int prev = 0;
  for (int x : {100, 120, 90, -40, -40, 7, 0, 31}) {
    double f = x, b = prev, e = f == 0 && b == 0 ? 0.0 : f * (f * f - b * b) / (f * f + b * b);
    EXPECT_EQ(lattice_error(x, 1, one), (int)std::trunc(e)) << x;
    prev = x;
  }
}

TEST(DspLattice, PredictionErrorWellBelowInputOnArProcess)
{
  // A strong low resonance: most of the power is predictable from the past.
  std::vector<float> x = ar_process({1.0, -1.8, 0.9}, 20000, 3);
  float state[11] = {};
  double in = 0.0, out = 0.0;
  for (float v : x) {
    int s = (int)lround(v * 100.0f), e = lattice_error(s, 10, state);
    in += (double)s * s;
    out += (double)e * e;
  }
  EXPECT_LT(out, 0.1 * in);
}

} // namespace
