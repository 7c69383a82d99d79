// Spectrum windows and the prediction-error filter, run in-process: the
// transform lengths, refusals and messages, levels against NumPy, and the
// spectrum window as the title, the readout and the exports show it.
#include "analysis/analysis.h"
#include "support/support.h"
#include <cmath>

struct Trans : FileTest {
  void SetUp() override
  {
    FileTest::SetUp();
    fft_mode = 1, fft_pad = 1, lpc_order = 0, lpc_window = 0, lpc_emphasis = 0, fft_max_points = 1 << 30;
  }
  // Window 1, current, holding v; then the transform of frames a..b into the clip window.
  void transform(const std::vector<int> &v, int a, int b, int channels = 1, int rate = 10000)
  {
    fill_window(1, v, channels, rate);
    select_window(1);
    clear_window(clip_win);
    windows[1].marks[0] = a, windows[1].marks[1] = b;
    messages();
    push_char(' '); // dismisses a message
    fft_to_window(clip_win, 0, 1);
  }
  const signal_window &clip() const { return windows[clip_win]; }
};

TEST_F(Trans, LengthsRefusalsAndMessages)
{
  const std::string bad = "Invalid number of coefficients.";
  // Signals: n > 0 varied values, -8 a constant 1000, below -8 zeros.
  struct { int mode, pad, order, max, rate, n, frames, channels; std::string message; int value = -99999; } rows[] = {
    {1, 1, 0, 1 << 30, 10000, 300, 512, 1, " FT: npts=300, nfft=1024"},
    {2, 0, 0, 1 << 30, 10000, 512, 256, 1, " FT: npts=512, nfft=512"},
    {3, 3, 0, 1 << 30, 10000, 512, 2048, 2, " FT: npts=512, nfft=4096"},
    {3, 0, 50, 1 << 30, 10000, 50, 32, 2, " FT: npts=50, nfft=64"},
    {1, 0, 0, 256, 10000, 300, 0, 0, " Too many points (300) for FFT"},
    {1, 2, 0, 1 << 30, 10000, 600000, 0, 0, " Too many points (600000) for FFT"},
    {1, 1, 0, 1 << 30, 10000, 1, 0, 0, " Too few points (1) for FFT"},
    {1, 1, 0, 1 << 30, 10000, 0, 0, 0, " Too few points (0) for FFT"},
    {2, 1, 51, 1 << 30, 10000, 300, 0, 0, bad}, {3, 1, 0, 1 << 30, 49000, 300, 0, 0, bad},
    {2, 1, 12, 1 << 30, 10000, 10, 0, 0, bad}, {1, 1, 51, 1 << 30, 10000, 60, 64, 1, " FT: npts=60, nfft=128"},
    {2, 1, 0, 1 << 30, 10000, -300, 0, 0, "Singular autocorrelation matrix."}, // zeros
    // A constant 1000 over 8 points: 20*log10(8000) dB at DC, nothing elsewhere.
    {1, 0, 0, 1 << 30, 10000, -8, 4, 1, " FT: npts=8, nfft=8", 19169},
  };
  for (auto &r : rows) {
    fft_mode = r.mode, fft_pad = r.pad, lpc_order = r.order, fft_max_points = r.max;
    transform(frames(std::abs(r.n) + 1, 1, [&](int i, int) { return r.n < -8 ? 0 : r.n < 0 ? 1000 : (int)(i * 7919LL % 2001) - 1000; }),
              0, std::abs(r.n), 1, r.rate);
    EXPECT_EQ(messages().back(), r.message) << r.message;
    EXPECT_EQ(std::vector({clip().num_samples, (int)clip().channels * (clip().num_samples > 0)}),
              std::vector({r.frames, r.channels})) << r.message;
    if (r.value != -99999) {
      EXPECT_EQ(std::vector<int>(clip().samples, clip().samples + 5), std::vector({r.value, -32768, -32768, -32768, -32768}));
    }
  }
}

// Both curves of a vowel-like signal against NumPy: the spectrum from its
// FFT, the envelope from the normal equations solved in double precision.
TEST_F(Trans, LevelsMatchNumPy)
{
  if (system("/usr/bin/python3 -c 'import numpy, scipy' 2>/dev/null") != 0)
    GTEST_SKIP() << "NumPy or SciPy is not installed";
  std::ofstream("ref.py") << R"(import numpy as np, scipy.linalg as la, sys
x = np.fromfile('sig.raw', '<i2').astype(float); win, emph, N, p = map(int, sys.argv[1:])
n, m = len(x), N // 2
f = np.r_[0, np.diff(x)] if emph else x
th = (np.arange(n) - (n - 1) / 2) * 2 * np.pi / (n - 1)
f = f * [1, 0.53836 + 0.46164 * np.cos(th), 0.42 + 0.5 * np.cos(th) + 0.08 * np.cos(2 * th)][win]
def levels(X):
    a = np.abs(X); a[0], a[-1] = X[0].real, X[-1].real
    return np.where(a > 1e-4, 20 * np.log10(np.maximum(a, 1e-30)), -80.0)
r = np.array([f[:n - L] @ f[L:] for L in range(p + 1)])
a = np.r_[1, la.solve_toeplitz(r[:p], -r[1:])]
S, A = levels(np.fft.rfft(f, N)), levels(np.fft.rfft(a[:p], N))
ref, q = 60 + 20 * np.log10(n) - 35.1, 32767 / 60
v = np.c_[np.floor((S - ref) * q + 0.5), np.floor(-(A - (S.sum() + A.sum()) / m + ref) * q + 0.5)]
np.clip(v, -32768, 32767).astype('<i2').tofile('ref.raw')
)";
  auto vowel = [](int i, int) { // harmonics of 125 Hz shaped by resonances near 700 and 1200 Hz
    double s = 0;
    for (int h = 1; h < 40; h++)
      s += 3000 / h * (1 / (1 + std::pow((h * 125 - 700) / 90.0, 2)) + 0.5 / (1 + std::pow((h * 125 - 1200) / 110.0, 2))) * std::sin(h * i * 0.0785398);
    return (int)s + i * 7919 % 101 - 50;
  };
  fft_mode = 3;
  for (int r : {0, 1, 2}) {
    fft_pad = r, lpc_window = r, lpc_emphasis = r == 2;
    std::vector<int> v = frames(400, 1, vowel);
    write("sig.raw", s16(v));
    transform(v, 0, 400);
    long n = 2 * clip().num_samples;
    ASSERT_EQ(system(("/usr/bin/python3 ref.py " + std::to_string(r) + " " + std::to_string(r == 2) + " " + std::to_string(n) + " 12").c_str()), 0);
    bytes want = bytes_of(read_file("ref.raw"));
    ASSERT_EQ((long)want.size(), 2 * (n + 2));
    int worst[2] = {};
    for (long i = 0; i < n + 2; i++)
      worst[i % 2] = std::max(worst[i % 2], std::abs(clip().samples[i] - (int16_t)get_le16(&want[2 * i])));
    EXPECT_LE(worst[0], 1) << r; // float rounding at a floor step
    EXPECT_LE(worst[1], 55) << r; // 0.1 dB, the readout's last digit: the autocorrelation is summed in float
  }
}

// A two-channel spectrum of 256 points from a 10000 Hz signal: title, cursor
// readout (the guard frame read at the end) and the three text exports.
TEST_F(Trans, SpectrumWindowReadsAndExportsInKilohertzAndDecibels)
{
  fill_window(1, frames(257, 2, [](int i, int c) { return c ? 32767 - i : i == 256 ? -32767 : 0; }), 2);
  windows[1].num_samples = 256, windows[1].kind = 1;
  select_window(1);
  char text[LINE_LEN];
  struct { int start, end, at; const char *title, *readout; } views[] = {
    {0, 256, 128, "Bandwidth =  5.000 kHz  ", " FFT Cursor at  2.500 kHz, Value =  60.0,119.8 dB  "},
    {0, 128, 0, "Bandwidth =  2.500 kHz  ", " FFT Cursor at  0.000 kHz, Value =  60.0,120.0 dB  "},
    {100, 256, 256, "Bandwidth =  3.047 kHz  ", " FFT Cursor at  5.000 kHz, Value =   0.0,119.5 dB  "},
  };
  for (auto &v : views) {
    window_views[1].view_start = v.start, window_views[1].view_end = v.end, cursor = v.at;
    redraw_current();
    title_right_text(1, text, sizeof text);
    EXPECT_EQ(std::vector<std::string>({text, status_cache}), std::vector<std::string>({v.title, v.readout}));
  }
  ASSERT_EQ(save_plt("s.plt", 0, 256), 1);
  std::string plt = read_file("s.plt");
  for (const char *line : {"xper=90 : xint=5.2 : xllc=1.5 : xlen=8\nxmin=0 : xmax=5.000 : ymin=0 : ymax=120",
                           "data ; for channel 1\n    0.000     60.00\n    0.020     60.00\n",
                           "    4.980     60.00\nplot\ndata ; for channel 2\n    0.000    120.00\n",
                           "    4.980    119.53\nplot\n"})
    EXPECT_NE(plt.find(line), std::string::npos) << line;
  ASSERT_EQ(save_c_array("s.c", 254, 256), 1);
  ASSERT_EQ(save_lst("s.lst", 255, 256), 1);
  EXPECT_EQ(read_file("s.c"), "short s[4] = {\n         0, 32513,     0, 32512\n};\n");
  EXPECT_EQ(read_file("s.lst"), "; rate=10000\n      0   32512 \n");
  windows[1].channels = 1, windows[1].num_samples = 128;
  window_views[1].view_start = 0, window_views[1].view_end = 128, cursor = 64;
  redraw_current();
  EXPECT_STREQ(status_cache, " FFT Cursor at  2.500 kHz, Value =  60.0 dB  ");
}

// LPE keeps a plain copy on a refused count; a lattice of any order turns a
// constant into its first frame then silence, each channel on its own.
TEST_F(Trans, ErrorFilterCopiesThenFilters)
{
  struct { const char *answer; int channels, zero; std::vector<int> in, want; const char *name; } rows[] = {
    {"0", 1, 0, {5, 6, 7}, {5, 6, 7}, "[copy of w1(0:3)]"},
    {"100", 1, 0, {5, 6, 7}, {5, 6, 7}, "[copy of w1(0:3)]"},
    {"x", 1, 0, {5, 6, 7}, {5, 6, 7}, "[copy of w1(0:3)]"},
    {"1", 1, 0, {0, 0, 0}, {0, 0, 0}, "[LPE of w1(0:3)]"},
    {"1", 2, 0, {1000, -3000, 1000, -3000, 1000, -3000}, {1000, -3000, 0, 0, 0, 0}, "[LPE of w1(0:3)]"},
    {"99", 1, 2048, {2100, 2100, 2100}, {2100, 2048, 2048}, "[LPE of w1(0:3)]"},
  };
  for (auto &r : rows) {
    fill_window(1, r.in, r.channels, 8000, 16, r.zero);
    cursor = 0;
    select_window(1);
    answer(r.answer);
    lpe_command();
    EXPECT_EQ(std::vector<int>(clip().samples, clip().samples + r.in.size()), r.want) << r.answer;
    EXPECT_EQ(std::vector<std::string>({clip().name, messages().back()}),
              std::vector<std::string>({r.name, "LP ERROR: Number of coefficients? "}));
  }
}
