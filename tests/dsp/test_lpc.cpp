// Linear prediction against lags summed in double and the normal equations,
// the ways it fails, and the lattice error filter.
#include <gtest/gtest.h>

#include "dsp/dsp.h"
#include "dsp_reference.h"

// White and coloured noise, and three points (the missing lags are zero). The
// normal equations sum_j a[j] r[|i-j|] = 0, i = 1..p, and E = sum_j a[j] r[j]
// are checked on the routine's own lags, so that only the recursion is compared.
// A tapered sinusoid is predicted so well that the residual falls below the
// rounding of the lags, to zero or below; overflowing lags make it NaN: the
// routine then fails.
TEST(DspLpc, MatchesDoubleLagsAndNormalEquationsOrFailsAndTheLatticeMatchesThreeStagesInDouble)
{
  std::vector<float> coloured = uniform_noise(550, 1), tone(1000);
  for (size_t j = 2; j < coloured.size(); j++)
    coloured[j] += 0.5f * coloured[j - 1] - 0.3f * coloured[j - 2];
  for (size_t j = 0; j < tone.size(); j++)
    tone[j] = (float)(sin(0.3 * j) * pow(sin(ref_pi * (j + 0.5) / tone.size()), 2));
  struct { std::vector<float> x; int p0, p1, fails; } rows[] = {{uniform_noise(400, 0), 1, 50, 0}, {coloured, 1, 50, 0},
    {{1, 2, -1}, 1, 50, 0}, {std::vector<float>(100, 0.0f), 10, 10, 1}, {{}, 10, 10, 1}, {tone, 10, 10, 1},
    {std::vector<float>(8, 3e20f), 2, 2, 1}};
  for (const auto &[x, p0, p1, fails] : rows)
    for (int p = p0; p <= p1; p++) {
      SCOPED_TRACE("n=" + std::to_string(x.size()) + " p=" + std::to_string(p));
      std::vector<float> a(p + 1), k(p), r(p + 1);
      float E = fails ? 0.0f : NAN;
      ASSERT_EQ(lpc_autocorr((int)x.size(), x.data(), p, a.data(), &E, k.data(), r.data()), fails);
      EXPECT_EQ(a[0], 1.0f);
      if (fails) {
        EXPECT_FALSE(E > 0.0f);
        continue;
      }
      double sum_E = 0.0;
      for (int i = 0; i <= p; i++) {
        double lag = 0.0, eq = 0.0;
        for (size_t j = 0; j + i < x.size(); j++)
          lag += (double)x[j + i] * x[j];
        for (int j = 0; j <= p && i > 0; j++)
          eq += (double)a[j] * r[abs(i - j)];
        EXPECT_NEAR(r[i], lag, 2e-5 * r[0]) << "lag " << i;
        EXPECT_NEAR(eq, 0.0, 1e-5 * r[0]) << "equation " << i;
        sum_E += (double)a[i] * r[i];
      }
      EXPECT_NEAR(E, sum_E, 1e-5 * r[0]);
      // The last reflection coefficient of each order is its last predictor coefficient.
      EXPECT_EQ(k[p - 1], a[p]);
    }
  // No stages pass the input and keep no history. Stage j takes f = f_j-1(t) and
  // b = b_j-1(t-1) (b_0 the previous sample) to f_j = f g and b_j = -b g with
  // g = (f^2 - b^2) / (f^2 + b^2), or 0 when both are 0; the routine works in
  // float, so its truncated error may differ by one.
  float state[4] = {};
  EXPECT_EQ(lattice_error(1234, 0, state), 1234);
  EXPECT_EQ(lattice_error(-77, -3, state), -77);
  std::vector<int> xs = {100, 120, 90, -40, -40, 7, 0, 0, 0, 0, 31};
  for (float v : uniform_noise(40, 5))
    xs.push_back((int)(v * 30000.0f));
  double b_prev[3] = {0, 0, 0};
  for (int x : xs) {
    double f = x, b_next[3] = {(double)x};
    for (int j = 0; j < 3; j++) {
      double b = b_prev[j], g = f == 0 && b == 0 ? 0.0 : (f * f - b * b) / (f * f + b * b);
      f *= g;
      if (j < 2)
        b_next[j + 1] = -b * g;
    }
    std::copy(b_next, b_next + 3, b_prev);
    EXPECT_NEAR(lattice_error(x, 3, state), std::trunc(f), 1.0) << x;
  }
}
