// Window bands, traces, titles, the cursor and its readouts.
#include "core/state.h"
#include "display/display.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

uint32_t px(int x, int y) { return back_buffer[y * scr_width + x]; }

// Expects each {x, y, colour index} on the back buffer.
void expect_pixels(std::initializer_list<std::array<int, 3>> points)
{
  for (auto [x, y, c] : points)
    EXPECT_EQ(px(x, y), palette[c]) << x << "," << y;
}

// Puts n frames of c channels from f(i, ch) into window w, as a load would.
template <class F> void fill_window(int w, int n, int c, int rate, F f)
{
  ASSERT_EQ(alloc_samples(w, n, c), 1);
  windows[w].num_samples = n;
  windows[w].channels = (int8_t)c;
  windows[w].adc_rate = rate;
  windows[w].adc_bits = 16;
  windows[w].zero_level = 0;
  for (int i = 0; i <= n; i++)
    for (int ch = 0; ch < c; ch++)
      windows[w].samples[i * c + ch] = (int16_t)(i < n ? f(i, ch) : 0);
  window_views[w].view_start = 0;
  window_views[w].view_end = n;
}

struct Display : ::testing::Test {
  void SetUp() override { start_screen(); }
  void TearDown() override { stop_screen(); }
};

struct trace_case {
  int n, stride, width, height, levels, zero, amplitude;
};

// The band as the drawing rules make it, from the values alone: `zero` at yc,
// larger values higher, limited to the band; one stroke a column, covering the
// values of the column before it and the first value of its own.
std::vector<uint32_t> reference(const int16_t *v, const trace_case &t, int x0, int yc, int left, int top,
                                int w)
{
  std::vector<uint32_t> img((size_t)w * (t.height + 2), palette[1]);
  auto row = [&](int x) {
    long long L = t.levels - 1, H = t.height - 1, y = yc + (H * t.zero) / L - (x * H) / L;
    return (int)std::clamp<long long>(y, yc - t.height / 2, yc + t.height / 2);
  };
  auto column = [&](long long i) { return (int)(i * t.width / t.n); };
  auto stroke = [&](int col, int lo, int hi) {
    for (int y = row(hi); y <= row(lo); y++)
      img[(size_t)(y - top) * w + (x0 + col - left)] = palette[15];
  };
  int lo = v[0], hi = v[0], began = column(0);
  for (int i = 1; i < t.n; i++) {
    int x = v[(size_t)i * t.stride];
    lo = std::min(lo, x);
    hi = std::max(hi, x);
    if (column(i) != began) {
      stroke(column(i), lo, hi);
      lo = hi = x;
      began = column(i);
    }
  }
  stroke(column(t.n - 1), lo, hi);
  return img;
}

TEST_F(Display, ManyValuesBecomeStrokesPixelForPixel)
{
  trace_case cases[] = {
      {1000, 1, 100, 101, 65536, 0, 32767},      // ten values a column
      {200, 1, 100, 101, 65536, 0, 30000},       // two values a column: strokes already
      {1049, 1, 97, 81, 65536, 0, 20000},        // uneven values per column
      {1048576, 1, 794, 90, 65536, 0, 32767},    // a long trace
      {3000, 2, 150, 61, 65536, 0, 30000},       // second of two interleaved channels
      {640, 1, 64, 41, 256, 128, 200},           // eight bits around their zero, beyond the band
  };
  for (const trace_case &t : cases) {
    std::vector<int16_t> v((size_t)t.n * t.stride);
    uint32_t s = 2024;
    for (auto &x : v) {
      s = s * 1664525u + 1013904223u;
      x = (int16_t)((int)(s >> 16) % (2 * t.amplitude + 1) - t.amplitude + t.zero);
    }
    const int16_t *first = v.data() + t.stride - 1;
    int x0 = 3, yc = 200, left = x0 - 1, top = yc - t.height / 2 - 1, w = t.width + 2;
    fill_rect(left, top, left + w - 1, top + t.height + 1, 1);
    plot_trace(first, t.n, t.stride, t.width, t.height, x0, yc, t.levels, t.zero, 15);
    std::vector<uint32_t> want = reference(first, t, x0, yc, left, top, w);
    int wrong = 0;
    for (int y = 0; y < t.height + 2; y++)
      for (int x = 0; x < w; x++)
        wrong += px(left + x, top + y) != want[(size_t)y * w + x];
    EXPECT_EQ(wrong, 0) << "pixels off the reference, n=" << t.n << " width " << t.width;
  }
}

TEST_F(Display, ValuesMapToRowsBySignedAndUnsignedScales)
{
  fill_rect(0, 0, 799, 599, 0);
  for (int16_t v : {0, 32767, -32768})
    plot_trace(&v, 1, 1, 100, 101, 50, 300, 65536, 0, 15);
  int16_t mid = 128;
  plot_trace(&mid, 1, 1, 100, 101, 60, 300, 256, 128, 14);
  expect_pixels({{50, 300, 15}, {50, 300 - 49, 15}, {50, 300 + 50, 15}, {60, 300, 14}});
}

TEST_F(Display, FewValuesAreJoinedByLines)
{
  fill_rect(0, 0, 799, 599, 0);
  int16_t v[150];
  for (int i = 0; i < 150; i++)
    v[i] = (int16_t)(i % 2 ? 20000 : -20000);
  plot_trace(v, 150, 1, 100, 101, 100, 300, 65536, 0, 15);
  // Zig-zag lines cross the centre row in every column they span.
  int lit = 0;
  for (int x = 100; x < 200; x++)
    lit += px(x, 300) == palette[15];
  EXPECT_GE(lit, 95);
  EXPECT_EQ(px(100, 300 + 30), palette[15]); // the first point, below the centre
}

TEST_F(Display, BandsDivideTheAreaAndOneWindowTakesTheUpperHalf)
{
  stop_screen();
  start_screen(800, 539); // graphics area of 500 rows
  ASSERT_EQ(graph_bottom - row_height, 500);
  for (int w = 1; w <= 5; w++) {
    layout_window(w);
    EXPECT_EQ(window_views[w].top, (w - 1) * 100);
    EXPECT_EQ(window_views[w].bottom, (w - 1) * 100 + 99);
  }
  last_vis = 1;
  fill_rect(0, 0, 799, 499, 4); // what a longer layout left behind
  draw_window(1);
  EXPECT_EQ(window_views[1].top, 0);
  EXPECT_EQ(window_views[1].bottom, 249);
  expect_pixels({{400, 300, back_color}, {400, 499 - row_height, back_color}});
  maximized = 1;
  layout_window(1);
  EXPECT_EQ(window_views[1].bottom, 499);
  maximized = 0;
}

TEST_F(Display, SplitChannelsDrawWhiteAboveYellow)
{
  last_vis = 1;
  fill_window(1, 100, 2, 10000, [](int, int) { return 0; });
  window_views[1].split_channels = 1;
  draw_window(1);
  // Two bands of 127 rows under the title: each channel's zero line in the middle of its own.
  int lit = 0;
  for (int y = 0; y < 280; y++)
    lit += px(200, y) == palette[15] || px(200, y) == palette[14];
  EXPECT_EQ(lit, 2);
  expect_pixels({{200, 84, 15}, {200, 211, 14}});
}

TEST_F(Display, TitlesShowDurationInUnitsThatFit)
{
  char text[160];
  auto title = [&](int w) {
    title_right_text(w, text, sizeof text);
    return std::string(text);
  };
  fill_window(1, 20000, 1, 10000, [](int i, int) { return i; });
  EXPECT_EQ(title(1), "Duration = 2.0000 s   ");
  fill_window(2, 5000, 1, 10000, [](int i, int) { return i; });
  EXPECT_EQ(title(2), "Duration = 500.00 ms  ");
  windows[2].kind = 1;
  EXPECT_EQ(title(2), "Bandwidth =  5.000 kHz  ");
  EXPECT_EQ(title(3), "No signal");
  window_views[2].view_start = window_views[2].view_end = 100;
  windows[2].kind = 0;
  draw_window(2); // an empty view: frame, title and a blank plot area
  EXPECT_EQ(title(2), "Duration =   0.00 ms  ");
}

TEST_F(Display, ReadoutsGiveTimeSampleAndValueOrFrequencyAndLevel)
{
  fill_window(1, 20000, 1, 10000, [](int i, int) { return i == 5000 ? -123 : 7; });
  redraw_current();
  goto_position(5000);
  EXPECT_STREQ(status_cache, " Cursor at  0.5000/2.0000 s , (  5000/ 20000).  Value =   -123  ");
  goto_position(20000); // the guard frame stands behind the last frame
  EXPECT_STREQ(status_cache, " Cursor at  2.0000/2.0000 s , ( 20000/ 20000).  Value =      0  ");
  fill_window(2, 5000, 1, 10000, [](int, int) { return 1; });
  select_window(2);
  goto_position(100);
  EXPECT_STREQ(status_cache, " Cursor at   10.00/500.00 ms, (   100/  5000).  Value =      1  ");

  fill_window(3, 256, 1, 10000, [](int i, int) { return i == 128 ? 32767 : 0; });
  windows[3].kind = 1;
  select_window(3);
  goto_position(128);
  EXPECT_STREQ(status_cache, " FFT Cursor at  2.500 kHz, Value = 120.0 dB  ");
  goto_position(0);
  EXPECT_STREQ(status_cache, " FFT Cursor at  0.000 kHz, Value =  60.0 dB  ");
  fill_window(4, 256, 2, 10000, [](int, int ch) { return ch ? 32767 : 0; });
  windows[4].kind = 1;
  select_window(4);
  goto_position(10);
  EXPECT_STREQ(status_cache, " FFT Cursor at  0.195 kHz, Value =  60.0,120.0 dB  ");
  clear_window(4); // an empty window blanks the readout
  EXPECT_EQ(status_cache[0], 0);
}

TEST_F(Display, GotoPositionScrollsOnlyWhenTheCursorLeavesTheView)
{
  fill_window(1, 10000, 1, 10000, [](int, int) { return 0; });
  window_views[1].view_start = 1000;
  window_views[1].view_end = 2000;
  redraw_current();
  auto at = [](int pos, int start, int end, int cur) {
    goto_position(pos);
    EXPECT_EQ(window_views[1].view_start, start) << pos;
    EXPECT_EQ(window_views[1].view_end, end) << pos;
    EXPECT_EQ(cursor, cur) << pos;
  };
  at(1500, 1000, 2000, 1500);
  at(2001, 1501, 2501, 2001);
  at(0, 0, 1000, 0);
  at(99999, 9000, 10000, 10000); // clamped to the end
  EXPECT_EQ(shown_end, 10000);
}

TEST_F(Display, SelectingAWindowKeepsEachCursor)
{
  fill_window(1, 1000, 1, 10000, [](int, int) { return 0; });
  fill_window(2, 1000, 1, 10000, [](int, int) { return 0; });
  redraw_all();
  goto_position(100);
  select_window(2);
  EXPECT_EQ(cur_win, 2);
  goto_position(700);
  select_window(1);
  EXPECT_EQ(cursor, 100);
  select_window(2);
  EXPECT_EQ(cursor, 700);
  select_window(7); // out of range: nothing
  EXPECT_EQ(cur_win, 2);
}

} // namespace
