// Spectrum windows and LPE in-process: lengths, refusals, messages, levels against NumPy, title, exports.
#include "analysis/analysis.h"
#include "support/support.h"
#include <cmath>

struct Trans : FileTest {
  const signal_window &clip() const { return windows[clip_win]; }
  // Window 1, current, holds v; frames 0..n go into the clip window (a message answered).
  void transform(const std::vector<int> &v, int n, int rate = 10000)
  {
    fill_window(1, v, 1, rate);
    select_window(1);
    clear_window(clip_win);
    windows[1].marks[0] = 0, windows[1].marks[1] = n;
    messages();
    push_char(' ');
    fft_to_window(clip_win, 0, 1);
  }
};

TEST_F(Trans, LengthsRefusalsAndMessages)
{
  const std::string bad = "Invalid number of coefficients.", many = " Too many points (";
  lpc_window = lpc_emphasis = 0;
  // n > 0: varied values; -8: a constant 1000 (20*log10(8000) dB at DC, nothing elsewhere); below: zeros.
  struct { int mode, pad, order, max, rate, n, frames, channels; std::string message; int dc = 0; } rows[] = {
    {1, 1, 0, 1 << 30, 10000, 300, 512, 1, " FT: npts=300, nfft=1024"}, {3, 0, 50, 1 << 30, 10000, 50, 32, 2, " FT: npts=50, nfft=64"},
    {1, 0, 0, 256, 10000, 300, 0, 0, many + "300) for FFT"}, {1, 2, 0, 1 << 30, 10000, 600000, 0, 0, many + "600000) for FFT"},
    {1, 1, 0, 1 << 30, 10000, 600000, 1 << 20, 1, " FT: npts=600000, nfft=2097152"},
    {1, 1, 0, 1 << 30, 10000, 1, 0, 0, " Too few points (1) for FFT"}, {1, 1, 0, 1 << 30, 10000, 0, 0, 0, " Too few points (0) for FFT"},
    {2, 1, 51, 1 << 30, 10000, 300, 0, 0, bad}, {3, 1, 0, 1 << 30, 49000, 300, 0, 0, bad}, {2, 1, 11, 1 << 30, 10000, 10, 0, 0, bad},
    {1, 1, 51, 1 << 30, 10000, 60, 64, 1, " FT: npts=60, nfft=128"}, {2, 1, 0, 1 << 30, 10000, -300, 0, 0, "Singular autocorrelation matrix."},
    {1, 0, 0, 1 << 30, 10000, -8, 4, 1, " FT: npts=8, nfft=8", 19169}};
  for (auto &r : rows) {
    fft_mode = r.mode, fft_pad = r.pad, lpc_order = r.order, fft_max_points = r.max;
    transform(frames(std::abs(r.n) + 1, 1, [&](int i, int) { return r.n < -8 ? 0 : r.n < 0 ? 1000 : (int)(i * 7919LL % 2001) - 1000; }),
              std::abs(r.n), r.rate);
    EXPECT_EQ(messages().back(), r.message);
    int stored = clip().num_samples > 0; // a 16-bit window of 1 or 2 channels
    EXPECT_EQ(std::vector({clip().num_samples, clip().channels * stored, clip().src_type * stored}), std::vector({r.frames, r.channels, SC_S16 * !!r.frames})) << r.message;
    EXPECT_TRUE(!r.dc || std::vector<int>(clip().samples, clip().samples + 5) == std::vector({r.dc, -32768, -32768, -32768, -32768}));
  }
}

// Both curves against NumPy: the envelope from the normal equations solved in double precision.
TEST_F(Trans, LevelsMatchNumPy)
{
  if (system("/usr/bin/python3 -c 'import numpy, scipy' 2>/dev/null") != 0)
    GTEST_SKIP() << "NumPy or SciPy is not installed";
  std::ofstream("ref.py") << R"(import numpy as np, scipy.linalg as la, sys
x = np.fromfile('sig.raw', '<i2').astype(float); win, emph, N, p = map(int, sys.argv[1:]); n = len(x); th = (np.arange(n) - (n - 1) / 2) * 2 * np.pi / (n - 1)
f = (np.r_[0, np.diff(x)] if emph else x) * [1, 0.53836 + 0.46164 * np.cos(th), 0.42 + 0.5 * np.cos(th) + 0.08 * np.cos(2 * th)][win]
def levels(X): # DC and Nyquist with their signs
    a = np.r_[X[0].real, np.abs(X[1:-1]), X[-1].real]; return np.where(a > 1e-4, 20 * np.log10(np.maximum(a, 1e-30)), -80.0)
r = np.array([f[:n - L] @ f[L:] for L in range(p + 1)]); a = np.r_[1, la.solve_toeplitz(r[:p], -r[1:])]
S, A = levels(np.fft.rfft(f, N)), levels(np.fft.rfft(a[:p], N)); ref, q = 60 + 20 * np.log10(n) - 35.1, 32767 / 60
v = np.c_[np.floor((S - ref) * q + 0.5), np.floor(-(A - (S.sum() + A.sum()) / (N // 2) + ref) * q + 0.5)]
np.clip(v, -32768, 32767).astype('<i2').tofile('ref.raw')
)";
  auto vowel = [](int i, int) { return (int)(3000 * std::sin(i * 0.3) + 1000 * std::sin(i * 1.1)) + i * 7919 % 2001 - 1000; };
  fft_mode = 3, lpc_order = 0;
  for (int r : {0, 1, 2}) { // rectangular, Hamming, Blackman with emphasis; pad 0, 1, 2
    fft_pad = r, lpc_window = r, lpc_emphasis = r == 2;
    write("sig.raw", s16(frames(400, 1, vowel)));
    transform(frames(400, 1, vowel), 400);
    long n = 2 * clip().num_samples;
    ASSERT_EQ(system(("/usr/bin/python3 ref.py " + std::to_string(r) + " " + std::to_string(r == 2) + " " + std::to_string(n) + " 12").c_str()), 0);
    bytes want = bytes_of(read_file("ref.raw"));
    int worst[2] = {};
    for (long i = 0; i < n + 2; i++)
      worst[i % 2] = std::max(worst[i % 2], std::abs(clip().samples[i] - (int16_t)get_le16(&want.at(2 * i))));
    // Spectrum: float rounding at a floor step; envelope: 0.1 dB, the readout's last digit (float autocorrelation).
    EXPECT_TRUE(worst[0] <= 1 && worst[1] <= 55) << r << ": " << worst[0] << ", " << worst[1];
  }
}

// A two-channel spectrum of 256 points from a 10000 Hz signal: title and exports.
TEST_F(Trans, SpectrumWindowTitleAndExportsInKilohertzAndDecibels)
{
  fill_window(1, frames(256, 2, [](int i, int c) { return c ? 32767 - i : 0; }), 2);
  windows[1].kind = 1;
  char text[LINE_LEN];
  for (auto [start, end, title] : {std::tuple(0, 256, "Bandwidth =  5.000 kHz  "), {100, 256, "Bandwidth =  3.047 kHz  "}}) {
    window_views[1].view_start = start, window_views[1].view_end = end;
    title_right_text(1, text, sizeof text);
    EXPECT_STREQ(text, title);
  }
  select_window(1);
  ASSERT_EQ(save_plt("s.plt", 0, 256) + save_c_array("s.c", 254, 256) + save_lst("s.lst", 255, 256), 3);
  for (const char *line : {"xint=5.2 : xllc=1.5 : xlen=8\nxmin=0 : xmax=5.000 : ymin=0 : ymax=120", "data ; for channel 1\n    0.000     60.00\n    0.020     60.00\n",
                           "    4.980     60.00\nplot\ndata ; for channel 2\n    0.000    120.00\n", "    4.980    119.53\nplot\n"})
    EXPECT_NE(read_file("s.plt").find(line), std::string::npos) << line;
  EXPECT_EQ(read_file("s.c") + read_file("s.lst"), "short s[4] = {\n         0, 32513,     0, 32512\n};\n; rate=10000\n      0   32512 \n");
}

// LPE: a plain copy on a refused count; a constant becomes its first frame, then silence, per channel.
TEST_F(Trans, ErrorFilterCopiesThenFilters)
{
  const char *copy = "[copy of w1(0:3)]", *lpe = "[LPE of w1(0:3)]";
  struct { const char *answer; int channels, zero; std::vector<int> in, want; const char *name; } rows[] = {
    {"0", 1, 0, {5, 6, 7}, {5, 6, 7}, copy}, {"100", 1, 0, {5, 6, 7}, {5, 6, 7}, copy}, {"x", 1, 0, {5, 6, 7}, {5, 6, 7}, copy},
    {"1", 1, 0, {0, 0, 0}, {0, 0, 0}, lpe}, {"99", 1, 2048, {2100, 2100, 2100}, {2100, 2048, 2048}, lpe},
    {"1", 2, 0, {1000, -3000, 1000, -3000, 1000, -3000}, {1000, -3000, 0, 0, 0, 0}, lpe},
  };
  for (auto &r : rows) {
    fill_window(1, r.in, r.channels, 8000, 16, r.zero);
    select_window(1);
    cursor = 0;
    answer(r.answer);
    lpe_command();
    EXPECT_EQ(std::vector<int>(clip().samples, clip().samples + r.in.size()), r.want) << r.answer;
    EXPECT_EQ(std::vector<std::string>({clip().name, messages().back()}), std::vector<std::string>({r.name, "LP ERROR: Number of coefficients? "}));
  }
}
