// The formant picker on power spectra of all-pole filters with known poles.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/dsp.h"
#include "dsp_reference.h"

namespace {

// Width between the half-power points of the parabola through three bins df
// apart around an isolated resonance of 3 dB bandwidth B: the resonance is
// 1 / ((B/2)^2 + u^2) near its peak, and the parabola through u = 0, +-df
// falls to half its height at u = +-sqrt(((B/2)^2 + df^2) / 2). On a fine grid
// that is B / sqrt(2): the fit follows the curvature at the top, which is
// sharper than the resonance's average slope down to its half-power points.
double parabola_width(double B, double df)
{
  return 2.0 * sqrt((B * B / 4.0 + df * df) / 2.0);
}

// Frequency of the largest value of the spectrum within a bandwidth of the
// pole, found on a grid of 0.01 Hz. Neighbouring poles pull a spectral peak a
// little away from its pole's own frequency, by several hertz for wide ones.
double true_peak(const resonance &pole, const std::vector<resonance> &res, double fs)
{
  double best_f = pole.freq, best = -1.0;
  for (double f = pole.freq - pole.bw; f <= pole.freq + pole.bw; f += 0.01) {
    std::complex<double> e = std::polar(1.0, -2.0 * ref_pi * f / fs), g = 1.0;
    for (const resonance &r : res) {
      std::complex<double> z = std::polar(exp(-ref_pi * r.bw / fs), 2.0 * ref_pi * r.freq / fs);
      g *= (1.0 - z * e) * (1.0 - std::conj(z) * e);
    }
    if (1.0 / std::norm(g) > best) {
      best = 1.0 / std::norm(g);
      best_f = f;
    }
  }
  return best_f;
}

void check_resonances(const std::vector<resonance> &res, int m)
{
  const double fs = 10000.0, df = fs / (2.0 * m);
  std::vector<float> S = all_pole_power(res, fs, m);
  float freq[25], bw[25];
  int count = find_formants(S.data(), m, fs, freq, bw, 25);
  ASSERT_EQ(count, (int)res.size()) << "m=" << m;
  for (int i = 0; i < count; i++) {
    EXPECT_NEAR(freq[i], true_peak(res[i], res, fs), df) << "m=" << m << " formant " << i;
    if (df > 10.0) { // on a grid coarser than the pull of the neighbours
      EXPECT_NEAR(freq[i], res[i].freq, df) << "m=" << m << " formant " << i;
    }
    double width = parabola_width(res[i].bw, df);
    EXPECT_NEAR(bw[i], width, 0.2 * width) << "m=" << m << " formant " << i;
    if (i > 0) {
      EXPECT_GT(freq[i], freq[i - 1]);
    }
  }
}

TEST(DspFormants, FindsThreeToFiveResonancesAt10kHz)
{
  std::vector<std::vector<resonance>> sets = {
      {{500, 60}, {1500, 90}, {2500, 120}},
      {{310, 50}, {1210, 80}, {2330, 110}, {3470, 160}},
      {{270, 40}, {870, 70}, {2010, 100}, {3020, 150}, {4100, 200}},
  };
  for (const std::vector<resonance> &res : sets)
    for (int m : {256, 512, 4096, 16384})
      check_resonances(res, m);
}

TEST(DspFormants, BandwidthOnACoarseGridMatchesThePole)
{
  // With bins half a bandwidth apart, and the poles on bins, the parabola's
  // width is the pole's own bandwidth.
  const double fs = 10000.0;
  int m = 100; // df = 50 Hz
  std::vector<resonance> res = {{1000, 100}, {3000, 100}};
  std::vector<float> S = all_pole_power(res, fs, m);
  float freq[25], bw[25];
  ASSERT_EQ(find_formants(S.data(), m, fs, freq, bw, 25), 2);
  for (int i = 0; i < 2; i++) {
    EXPECT_NEAR(freq[i], res[i].freq, 50.0);
    EXPECT_NEAR(bw[i], 100.0, 10.0);
  }
}

TEST(DspFormants, SymmetricPeakReportsBinFrequencyExactly)
{
  float S[12] = {1, 2, 3, 4, 6, 9, 6, 4, 3, 2, 1, 1};
  float freq[4], bw[4];
  ASSERT_EQ(find_formants(S, 12, 2400.0, freq, bw, 4), 1);
  EXPECT_EQ(freq[0], 5 * 100.0f);
  // Parabola 9 - 3 (u/100)^2 (per 100 Hz): half height 4.5 at u = +-sqrt(1.5) * 100.
  EXPECT_NEAR(bw[0], 2.0 * sqrt(1.5) * 100.0, 1e-3);
}

TEST(DspFormants, EdgesAndShortSpectraHaveNoPeaks)
{
  float freq[4], bw[4];
  float tiny[4] = {0, 5, 0, 0};
  EXPECT_EQ(find_formants(tiny, 4, 10000.0, freq, bw, 4), 0);
  // Peaks at bin 1 and at bin m-2 lie outside the scanned range.
  float edges[8] = {0, 9, 1, 1, 1, 1, 9, 0};
  EXPECT_EQ(find_formants(edges, 8, 10000.0, freq, bw, 4), 0);
  // Bin 2 and bin m-3 are the outermost that can be peaks.
  float inner[9] = {0, 1, 5, 1, 1, 1, 5, 1, 0};
  ASSERT_EQ(find_formants(inner, 9, 9000.0, freq, bw, 4), 2);
  EXPECT_FLOAT_EQ(freq[0], 2 * 500.0f);
  EXPECT_FLOAT_EQ(freq[1], 6 * 500.0f);
}

TEST(DspFormants, StopsAtTheCallersCapacity)
{
  // A comb of 40 peaks; the callers keep room for 25.
  std::vector<float> S(200, 1.0f);
  for (int i = 4; i < 200 - 4; i += 4)
    S[i] = 3.0f;
  float freq[26], bw[26];
  freq[25] = bw[25] = -1.0f;
  EXPECT_EQ(find_formants(S.data(), 200, 10000.0, freq, bw, 25), 25);
  EXPECT_EQ(freq[25], -1.0f);
  EXPECT_EQ(bw[25], -1.0f);
  EXPECT_FLOAT_EQ(freq[0], 4 * 25.0f);
}

} // namespace
