// The formant picker on power spectra of all-pole filters with known poles.
#include <gtest/gtest.h>

#include "dsp/dsp.h"
#include "dsp_reference.h"

namespace {

struct resonance {
  double freq, bw; // centre and 3 dB bandwidth in Hz
};

// 1 / |prod (1 - z e^(-iw))(1 - conj(z) e^(-iw))|^2 at f Hz, z = e^(-pi B/fs) e^(2 pi i F/fs).
double all_pole_power(const std::vector<resonance> &res, double fs, double f)
{
  cplx e = std::polar(1.0, -2.0 * ref_pi * f / fs), g = 1.0;
  for (const resonance &r : res) {
    cplx z = std::polar(exp(-ref_pi * r.bw / fs), 2.0 * ref_pi * r.freq / fs);
    g *= (1.0 - z * e) * (1.0 - std::conj(z) * e);
  }
  return 1.0 / std::norm(g);
}

// The parabola through three bins df apart around a resonance 1/((B/2)^2 + u^2)
// falls to half height at u = +-sqrt(((B/2)^2 + df^2) / 2): it follows the
// curvature at the top, sharper than the resonance's slope down to -3 dB.
double parabola_width(double B, double df) { return 2.0 * sqrt((B * B / 4.0 + df * df) / 2.0); }

void check_resonances(const std::vector<resonance> &res, int m, double bw_tolerance = 0.2)
{
  const double fs = 10000.0, df = fs / (2.0 * m);
  std::vector<float> S(m);
  for (int k = 0; k < m; k++)
    S[k] = (float)all_pole_power(res, fs, k * df);
  float freq[25], bw[25];
  int count = find_formants(S.data(), m, fs, freq, bw, 25);
  ASSERT_EQ(count, (int)res.size()) << "m=" << m;
  for (int i = 0; i < count; i++) {
    // Neighbouring poles pull a peak off its pole's frequency, by several hertz
    // for wide ones: the true peak is sought on a 0.01 Hz grid.
    double peak = res[i].freq, top = 0.0;
    for (double f = res[i].freq - res[i].bw; f <= res[i].freq + res[i].bw; f += 0.01)
      if (double v = all_pole_power(res, fs, f); v > top)
        peak = f, top = v;
    EXPECT_NEAR(freq[i], peak, df) << "m=" << m << " formant " << i;
    if (df > 10.0) { // on a grid coarser than the pull of the neighbours
      EXPECT_NEAR(freq[i], res[i].freq, df) << "m=" << m << " formant " << i;
    }
    double width = parabola_width(res[i].bw, df);
    EXPECT_NEAR(bw[i], width, bw_tolerance * width) << "m=" << m << " formant " << i;
    if (i > 0) {
      EXPECT_GT(freq[i], freq[i - 1]);
    }
  }
}

TEST(DspFormants, FindsThreeToFiveResonancesAt10kHz)
{
  for (const std::vector<resonance> &res : std::vector<std::vector<resonance>>{
           {{500, 60}, {1500, 90}, {2500, 120}},
           {{310, 50}, {1210, 80}, {2330, 110}, {3470, 160}},
           {{270, 40}, {870, 70}, {2010, 100}, {3020, 150}, {4100, 200}}})
    for (int m : {256, 512, 4096, 16384})
      check_resonances(res, m);
  // Bins half a bandwidth apart, poles on bins: the parabola's width is the pole's own.
  check_resonances({{1000, 100}, {3000, 100}}, 100, 0.1);
}

TEST(DspFormants, SymmetricPeakReportsBinFrequencyExactly)
{
  float S[12] = {1, 2, 3, 4, 6, 9, 6, 4, 3, 2, 1, 1};
  float freq[4], bw[4];
  ASSERT_EQ(find_formants(S, 12, 2400.0, freq, bw, 4), 1);
  EXPECT_EQ(freq[0], 5 * 100.0f);
  // Parabola 9 - 3 (u/100)^2: half height 4.5 at u = +-sqrt(1.5) * 100.
  EXPECT_NEAR(bw[0], 2.0 * sqrt(1.5) * 100.0, 1e-3);
}

TEST(DspFormants, EdgesAndShortSpectraHaveNoPeaks)
{
  float freq[4], bw[4];
  float tiny[4] = {0, 5, 0, 0};
  EXPECT_EQ(find_formants(tiny, 4, 10000.0, freq, bw, 4), 0);
  // Peaks at bins 1 and m-2 lie outside the scanned range; 2 and m-3 are the outermost.
  float edges[8] = {0, 9, 1, 1, 1, 1, 9, 0};
  EXPECT_EQ(find_formants(edges, 8, 10000.0, freq, bw, 4), 0);
  float inner[9] = {0, 1, 5, 1, 1, 1, 5, 1, 0};
  ASSERT_EQ(find_formants(inner, 9, 9000.0, freq, bw, 4), 2);
  EXPECT_FLOAT_EQ(freq[0], 2 * 500.0f);
  EXPECT_FLOAT_EQ(freq[1], 6 * 500.0f);
}

TEST(DspFormants, StopsAtTheCallersCapacity)
{
  std::vector<float> S(200, 1.0f); // a comb of 48 peaks; the callers keep room for 25
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
