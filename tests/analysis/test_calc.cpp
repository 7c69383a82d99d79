// The Calc menu run through its keys on windows made by hand: every message
// and refusal, and each item's numbers against an independent computation.
#include "analysis/analysis.h"
#include "dsp/dsp_reference.h"
#include "support/support.h"

namespace {

struct Calc : FileTest {
  void SetUp() override { FileTest::SetUp(), lpc_order = 0, lpc_window = lpc_emphasis = moment_window = moment_emphasis = 1; }
  // Window 1 holding v (empty when v is) with marks A and B; the Calc keys
  // and one key more: the lines shown, tags kept.
  std::vector<std::string> calc(const std::vector<int> &v, const char *keys, int a = -1, int b = -1, int rate = 10000,
                                int channels = 1, int zero = 0)
  {
    init_window(1);
    if (!v.empty()) fill_window(1, v, channels, rate, 16, zero);
    reset_marks(1);
    windows[1].adc_rate = rate, windows[1].marks[0] = a, windows[1].marks[1] = b;
    size_t seen = read_file(getenv("TARVO_TRANSCRIPT")).size();
    headless_start(scr_width, scr_height); // no key left over from the last run
    push_text((keys + std::string(" ")).c_str());
    calc_menu();
    return transcript_lines(read_file(getenv("TARVO_TRANSCRIPT")).substr(seen), "");
  }
};

// Field f of the info box lines "%4d%8.3f" and "%4d%6.0f / %.0f".
std::vector<double> listed(const std::vector<std::string> &lines, int f = 0)
{
  std::vector<double> out;
  double x[2];
  for (const std::string &l : lines) if (sscanf(l.c_str(), "I:%*d%lf / %lf", &x[0], &x[1]) > f) out.push_back(x[f]);
  return out;
}

std::vector<int> scaled(const std::vector<float> &x, double amp)
{
  std::vector<int> v;
  for (float s : x) v.push_back((int)std::lround(amp * s));
  return v;
}
std::vector<int> noise(int n, double amp = 10000, unsigned seed = 1) { return scaled(uniform_noise(n, seed), amp); }

TEST_F(Calc, EveryMessageAndRefusalAsTheUserMeetsIt)
{
  const std::vector<int> quiet(2000), flat(2000, 7), none, big(32768, 1);
  struct { std::vector<int> v; const char *keys; int a, b, rate, order; std::string line, absent = ""; int channels = 1, zero = 0; } rows[] = {
    {flat, "DBA", 100, 1600, 10000, 0, "P: Duration from A to B =   150.000 msec, (1500 samples)."},
    {flat, "DAA", 100, 0, 10000, 0, "P: Duration from A to A =     0.000 msec, (0 samples)."},
    {std::vector<int>(100000), "D*", -1, -1, 10000, 0, "P: Duration from [Home] to [End] =    10.000 sec, (100000 samples)."},
    {flat, "D*", -1, -1, 0, 0, "P: Undefined signal ADC rate.", "P: DURATION:  From mark "},
    {flat, "R*", -1, -1, 10000, 0, "P: RMS = 0.0,  DC = 7.0,  MIN = 7,  MAX = 7,  NSAMP = 2000."},
    {{0, 999, 10, -999, 20, 999, 30, -999}, "R*", -1, -1, 10000, 0, "P: RMS = 11.2,  DC = 10.0,  MIN = 0,  MAX = 30,  NSAMP = 4.", "", 2, 5},
    {flat, "RAB", 5, 5, 10000, 0, "P:No points in segment.", "P:Computing signal RMS value ..."},
    {big, "A*", -1, -1, 10000, 0, "P:Too many points in segment."},
    {noise(32767), "L*", -1, -1, 10000, 0, "I:Linear Prediction Coefficients:", "P:Too many points in segment."},
    {flat, "L*", -1, -1, 49000, 0, "P:Invalid number of coefficients."},
    {flat, "LAB", 0, 10, 10000, 0, "P:Invalid number of coefficients.", "P:computing linear prediction coefficients ..."},
    {flat, "A*", -1, -1, 10000, 80, "P:Invalid number of coefficients."},
    {quiet, "A*", -1, -1, 10000, 0, "P:Singular autocorrelation matrix.", "I:Acoustic Tube Section Areas:"},
    {none, "F*", -1, -1, 10000, 0, "P:No points in segment."},
    {quiet, "F*", -1, -1, 10000, 0, "P:Singular autocorrelation matrix.", "I:Formant: frequency / bandwidth (Hz)"},
    {flat, "MAB", 9, 9, 10000, 0, "P:No points in segment."},
    {flat, "MAB", 9, 10, 10000, 0, "P:Too few points in segment.", "P:computing moments ..."},
    {std::vector<int>(16385, 1), "M*", -1, -1, 10000, 0, "P:Too many points in segment."},
    {std::vector<int>(16384, 1), "M*", -1, -1, 10000, 0, "P:computing moments ...", "P:Too many points in segment."},
    {flat, "X", -1, -1, 10000, 0, "P: CALCULATE:  Area  Duration  Formant  LPC  Moments  RMS ", "P: DURATION:  From mark "},
  };
  for (const auto &r : rows) {
    lpc_order = r.order;
    auto lines = calc(r.v, r.keys, r.a, r.b, r.rate, r.channels, r.zero);
    EXPECT_EQ(count(lines, r.line), 1) << r.keys << " " << r.line;
    EXPECT_EQ(count(lines, r.absent), 0) << r.keys << " " << r.absent;
  }
  EXPECT_EQ(listed(calc(noise(2000), "L*", -1, -1, 48000)).size(), 50u);
  // A 1 kHz tone with two coefficients: a[2] left out, E / |1 + a1/z|^2 runs one way from 0 Hz to
  // half the rate, so no peak is found and the box shows its title alone.
  std::vector<int> tone = noise(2000, 500);
  for (int i = 0; i < 2000; i++) tone[i] += (int)std::lround(8000 * std::sin(2 * ref_pi * i / 10));
  lpc_order = 2;
  auto lines = calc(tone, "F*");
  EXPECT_TRUE(count(lines, "I:Formant: frequency / bandwidth (Hz)") == 1 && listed(lines).empty()) << ::testing::PrintToString(lines);
}

TEST_F(Calc, CoefficientsSolveTheNormalEquationsAndAreasFollowTheLosslessTube)
{
  std::vector<int> v = noise(3000);
  for (size_t i = 2; i < v.size(); i++) v[i] = (int)std::lround(0.5 * v[i] + 0.6 * v[i - 1] - 0.3 * v[i - 2]); // a resonance
  // The first-difference, Hamming-windowed frame, its lags, and the normal equations
  // sum_j a_j r|i-j| = -r_i solved by Gauss-Jordan elimination.
  const int p = 12, n = (int)v.size();
  std::vector<double> x(n), r(p + 1), a(p + 1), k(p + 1);
  for (int i = 1; i < n; i++) x[i] = (v[i] - v[i - 1]) * (0.53836 + 0.46164 * std::cos((i - (n - 1) / 2.0) * 2 * ref_pi / (n - 1)));
  for (int L = 0; L <= p; L++) for (int j = L; j < n; j++) r[L] += x[j] * x[j - L];
  double m[p][p + 1];
  for (int i = 0; i < p; i++) for (int j = 0; j <= p; j++) m[i][j] = j < p ? r[std::abs(i - j)] : -r[i + 1];
  for (int c = 0; c < p; c++) for (int i = 0; i < p; i++) for (int j = p; j >= c && i != c; j--) m[i][j] -= m[c][j] * m[i][c] / m[c][c];
  for (int i = 0; i < p; i++) a[i + 1] = m[i][p] / m[i][i];
  std::vector<double> printed = listed(calc(v, "L*")), area = listed(calc(v, "A*"));
  ASSERT_EQ(printed.size() + area.size(), 24u);
  std::vector<int> stereo; // the same as channel 0 of two
  for (int x : v) stereo.insert(stereo.end(), {x, -x / 3});
  EXPECT_EQ(listed(calc(stereo, "L*", -1, -1, 10000, 2)), printed);
  for (int i = 1; i <= p; i++) EXPECT_NEAR(printed[i - 1], a[i], 0.0005) << i;
  // Reflection coefficients by stepping the predictor down an order at a time.
  for (int o = p; o >= 1; o--) {
    std::vector<double> b(a);
    k[o] = b[o];
    for (int j = 1; j < o; j++) a[j] = (b[j] - k[o] * b[o - j]) / (1 - k[o] * k[o]);
  }
  area.insert(area.begin(), 1.0);
  // Junction j reflects (A_j - A_j-1) / (A_j + A_j-1), the last coefficient at the first junction; areas
  // printed to 0.005 move that ratio by up to 0.01 / (A_j + A_j-1).
  for (int j = 1; j <= p; j++)
    EXPECT_NEAR((area[j] - area[j - 1]) / (area[j] + area[j - 1]), k[p + 1 - j], 0.01 / (area[j] + area[j - 1]) + 1e-4) << j;
}

TEST_F(Calc, FormantsOfSyntheticVowelsWhereTheParabolaPutsThemOnTheTrueSpectrum)
{
  const double rate = 10000, df = rate / 1024; // 1024 points: a transform of 1024, bins df apart
  // Three vowels with the fourth and fifth formants of a 17 cm tract.
  double vowels[][2][5] = {{{730, 1090, 2440, 3500, 4500}, {60, 90, 120, 200, 250}},
                           {{270, 2290, 3010, 3500, 4500}, {50, 100, 150, 200, 250}},
                           {{300, 870, 2240, 3500, 4500}, {60, 80, 110, 200, 250}}};
  lpc_window = lpc_emphasis = 0;
  for (auto &[F, B] : vowels) {
    // The impulse response of the resonators in cascade, and the inverse filter at the bins.
    std::vector<float> y(1024, 0.0f);
    std::vector<cplx> a(512, 1.0);
    y[0] = 1;
    for (int r = 0; r < 5; r++) {
      double rad = std::exp(-ref_pi * B[r] / rate), c1 = 2 * rad * std::cos(2 * ref_pi * F[r] / rate), c2 = -rad * rad;
      for (size_t i = 0; i < y.size(); i++) y[i] += c1 * (i > 0 ? y[i - 1] : 0) + c2 * (i > 1 ? y[i - 2] : 0);
      for (int k = 0; k < 512; k++) a[k] *= 1.0 - c1 * std::polar(1.0, -2 * ref_pi * k / 1024) - c2 * std::polar(1.0, -4 * ref_pi * k / 1024);
    }
    auto lines = calc(scaled(y, 30000 / std::max(*std::max_element(y.begin(), y.end()), -*std::min_element(y.begin(), y.end()))), "F*");
    std::vector<double> f = listed(lines, 0), b = listed(lines, 1);
    ASSERT_EQ(f.size(), 5u) << ::testing::PrintToString(lines);
    for (int r = 0; r < 5; r++) {
      // Where formants crowd, the summed spectrum peaks off the resonance: the reference is the parabola
      // through the true spectrum at its peak bin near the resonance, as the picker fits it on the estimate.
      int k = (int)std::lround(F[r] / df);
      while (std::norm(a[k + 1]) < std::norm(a[k]) || std::norm(a[k - 1]) < std::norm(a[k])) k += std::norm(a[k + 1]) < std::norm(a[k]) ? 1 : -1;
      double s0 = 1 / std::norm(a[k - 1]), s1 = 1 / std::norm(a[k]), s2 = 1 / std::norm(a[k + 1]);
      double c2 = (s2 - 2 * s1 + s0) / (2 * df * df), c1 = (s2 - s0) / (2 * df), top = s1 - c1 * c1 / (4 * c2);
      EXPECT_NEAR(f[r], k * df - c1 / (2 * c2), 1.0) << F[r];
      EXPECT_NEAR(b[r], std::sqrt(c1 * c1 - 4 * c2 * (s1 - top / 2)) / -c2, 2.0) << F[r];
    }
  }
}

TEST_F(Calc, MomentsOfToneNoiseAndConstantsAgainstADirectTransform)
{
  std::vector<float> sine(1000);
  for (int i = 0; i < 1000; i++) sine[i] = std::sin(2 * ref_pi * i / 10); // 1 kHz
  struct { std::vector<int> v; int window, emphasis, na; } rows[] = { // na: the last na moments shown as n/a
    {scaled(sine, 10000), 1, 0, 0}, {noise(2048), 0, 0, 0}, {noise(1000, 3000, 7), 2, 1, 0},
    {std::vector<int>(1024, 100), 0, 0, 2}, // all at 0 Hz: no spread
    {std::vector<int>(1000, 100), 1, 1, 4}, // no energy left after the difference
    {std::vector<int>(1000, 0), 1, 0, 4},
  };
  for (const auto &r : rows) {
    moment_window = r.window, moment_emphasis = r.emphasis;
    // The frame, its power at the bins by a direct transform in double, and the moments by their definitions.
    int n = (int)r.v.size(), N = std::bit_ceil((unsigned)n);
    std::vector<float> x(N);
    for (int i = 0; i < n; i++) {
      double t = (i - (n - 1) / 2.0) * 2 * ref_pi / (n - 1);
      double w[] = {1, 0.53836 + 0.46164 * std::cos(t), 0.42 + 0.5 * std::cos(t) + 0.08 * std::cos(2 * t)};
      x[i] = (float)((r.emphasis ? (i ? r.v[i] - r.v[i - 1] : 0) : r.v[i]) * w[r.window]);
    }
    std::vector<double> P(N / 2), c(5);
    for (int k = 0; k < N / 2; k++) P[k] = k ? std::norm(dft_bin(x, k)) : std::pow(dft_bin(x, 0).real(), 2) + std::pow(dft_bin(x, N / 2).real(), 2);
    double S0 = std::accumulate(P.begin(), P.end(), 0.0), mean = 0;
    for (int k = 0; k < N / 2; k++) mean += P[k] * k * 10.0 / N / S0;
    for (int k = 0; k < N / 2; k++) for (int j = 2; j < 5; j++) c[j] += P[k] * std::pow(k * 10.0 / N - mean, j) / S0;
    double want[] = {mean, std::sqrt(c[2]), c[3] / std::pow(c[2], 1.5), c[4] / (c[2] * c[2]) - 3};
    char got[4][16];
    std::string line = calc(r.v, "M*", -1, -1, 10000, 1, 100).back(); // a zero level that stays in
    ASSERT_EQ(sscanf(line.c_str(), "P: Moments:  mean=%15[^(](kHz) sd=%15[^(](kHz) n3m=%15s n4m=%15s", got[0], got[1], got[2], got[3]), 4) << line;
    for (int j = 0; j < 4; j++) {
      EXPECT_EQ(j >= 4 - r.na, std::string(got[j]) == "n/a") << line;
      if (j < 4 - r.na) { EXPECT_NEAR(atof(got[j]), want[j], 0.0005 + 1e-5 * std::fabs(want[j])) << j << line; }
    }
  }
}

} // namespace
