// The formant picker on power spectra of all-pole filters with known poles,
// and on small spectra worked by hand.
#include <gtest/gtest.h>

#include "dsp/dsp.h"
#include "dsp_reference.h"

struct resonance { double freq, bw; }; // centre and 3 dB bandwidth in Hz

// 1 / |prod (1 - z e^(-iw))(1 - conj(z) e^(-iw))|^2 at f Hz, z = e^(-pi B/fs) e^(2 pi i F/fs).
static double all_pole_power(const std::vector<resonance> &res, double fs, double f)
{
  cplx e = std::polar(1.0, -2.0 * ref_pi * f / fs), g = 1.0;
  for (const resonance &r : res) {
    cplx z = std::polar(exp(-ref_pi * r.bw / fs), 2.0 * ref_pi * r.freq / fs);
    g *= (1.0 - z * e) * (1.0 - std::conj(z) * e);
  }
  return 1.0 / std::norm(g);
}

// Each peak lies within a bin of the spectrum's true peak (neighbouring poles
// pull it off the pole by hertz), sought on a 0.01 Hz grid. The parabola through
// three bins df apart around a resonance 1/((B/2)^2 + u^2) falls to half height
// at u = +-sqrt(((B/2)^2 + df^2) / 2), sharper than the resonance's -3 dB
// width; with bins half a bandwidth apart and poles on bins the two agree.
TEST(DspFormants, FindsResonancesOfAllPoleSpectraAndPeaksOfSmallOnesWithinRangeAndCapacity)
{
  struct { std::vector<resonance> res; int m; double bw_tolerance; } rows[] = {
    {{{500, 60}, {1500, 90}, {2500, 120}}, 256, 0.2}, {{{1000, 100}, {3000, 100}}, 100, 0.1},
    {{{310, 50}, {1210, 80}, {2330, 110}, {3470, 160}}, 4096, 0.2},
    {{{270, 40}, {870, 70}, {2010, 100}, {3020, 150}, {4100, 200}}, 16384, 0.2}};
  for (auto &row : rows) {
    SCOPED_TRACE("m=" + std::to_string(row.m));
    const double fs = 10000.0, df = fs / (2.0 * row.m);
    std::vector<float> S(row.m), freq(25), bw(25);
    for (int k = 0; k < row.m; k++)
      S[k] = (float)all_pole_power(row.res, fs, k * df);
    ASSERT_EQ(find_formants(S.data(), row.m, fs, freq.data(), bw.data(), 25), (int)row.res.size());
    for (size_t i = 0; i < row.res.size(); i++) {
      const resonance &r = row.res[i];
      double peak = r.freq, top = 0.0, width = 2.0 * sqrt((r.bw * r.bw / 4.0 + df * df) / 2.0);
      for (double f = r.freq - r.bw; f <= r.freq + r.bw; f += 0.01)
        if (double v = all_pole_power(row.res, fs, f); v > top)
          peak = f, top = v;
      EXPECT_NEAR(freq[i], peak, df) << "formant " << i;
      EXPECT_NEAR(bw[i], width, row.bw_tolerance * width) << "formant " << i;
    }
  }
  // Bins 2..m-3 are scanned; a peak is the vertex of the parabola through it and
  // its neighbours, its width where that falls to half the peak level. The place
  // after the caller's capacity stays untouched.
  const float w1 = 2 * sqrtf(12812.5f), w2 = 1000 * sqrtf(0.625f), w3 = 200 * sqrtf(0.75f);
  struct { std::vector<float> S; double rate; int capacity; std::vector<float> freq, bw; } small[] = {
    {{0, 1, 4, 5, 2, 0, 0}, 1400, 4, {275}, {w1}}, {{0, 1, 4, 5, 2, 0, 0}, 1400, 0, {}, {}}, {{0, 5}, 10000, 4, {}, {}},
    {{0, 1, 5, 1, 0}, 5000, 4, {1000}, {w2}}, {{0, 9, 1, 1, 1, 1, 9, 0}, 10000, 4, {}, {}},
    {{0, 1, 5, 1, 1, 1, 5, 1, 0}, 9000, 4, {1000, 3000}, {w2, w2}},
    {{1, 1, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1}, 3200, 2, {400, 800}, {w3, w3}}};
  for (auto &row : small) {
    SCOPED_TRACE("m=" + std::to_string(row.S.size()));
    std::vector<float> freq(row.capacity + 1, -1.0f), bw(row.capacity + 1, -1.0f);
    int count = find_formants(row.S.data(), (int)row.S.size(), row.rate, freq.data(), bw.data(), row.capacity);
    ASSERT_EQ(count, (int)row.freq.size());
    for (int i = 0; i < count; i++) {
      EXPECT_FLOAT_EQ(freq[i], row.freq[i]) << "peak " << i;
      EXPECT_NEAR(bw[i], row.bw[i], 1e-3) << "peak " << i;
    }
    EXPECT_EQ(std::pair(freq[row.capacity], bw[row.capacity]), std::pair(-1.0f, -1.0f));
  }
}
