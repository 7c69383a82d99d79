// Window bands, traces, titles, the cursor and its readouts.
#include "core/state.h"
#include "display/display.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <gtest/gtest.h>
#include <string>

namespace {

uint32_t px(int x, int y) { return back_buffer[y * scr_width + x]; }

// Puts n frames of c channels from f(i, ch) into window w, as a load would.
template <class F> void fill_window(int w, int n, int c, int rate, int bits, int zero, F f)
{
  ASSERT_EQ(alloc_samples(w, n, c), 1);
  windows[w].num_samples = n;
  windows[w].channels = (int8_t)c;
  windows[w].adc_rate = rate;
  windows[w].adc_bits = (int16_t)bits;
  windows[w].zero_level = (int16_t)zero;
  for (int i = 0; i <= n; i++)
    for (int ch = 0; ch < c; ch++)
      windows[w].samples[i * c + ch] = (int16_t)(i < n ? f(i, ch) : zero);
  window_views[w].view_start = 0;
  window_views[w].view_end = n;
}

struct Display : ::testing::Test {
  void TearDown() override { stop_screen(); }
};

TEST_F(Display, BandsDivideTheAreaAndOneWindowTakesTheUpperHalf)
{
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
  EXPECT_EQ(px(400, 300), palette[back_color]);
  EXPECT_EQ(px(400, 499 - row_height), palette[back_color]);
  maximized = 1;
  layout_window(1);
  EXPECT_EQ(window_views[1].bottom, 499);
  maximized = 0;
}

TEST_F(Display, ValuesMapToRowsBySignedAndUnsignedScales)
{
  start_screen();
  fill_rect(0, 0, 799, 599, 0);
  int yc = 300;
  for (int v : {0, 32767, -32768}) {
    int16_t value = (int16_t)v;
    plot_trace(&value, 1, 1, 100, 101, 50, yc, 65536, 0, 15);
  }
  EXPECT_EQ(px(50, yc), palette[15]);
  EXPECT_EQ(px(50, yc - 49), palette[15]);
  EXPECT_EQ(px(50, yc + 50), palette[15]);
  int16_t mid = 128;
  plot_trace(&mid, 1, 1, 100, 101, 60, yc, 256, 128, 14);
  EXPECT_EQ(px(60, yc), palette[14]);
}

TEST_F(Display, ManyValuesBecomeOneStrokePerColumnReachingIntoTheNext)
{
  start_screen();
  fill_rect(0, 0, 799, 599, 0);
  static int16_t v[1000] = {};
  v[10] = 30000; // first value of column 1
  int x0 = 100, yc = 300, height = 101;
  plot_trace(v, 1000, 1, 100, height, x0, yc, 65536, 0, 15);
  int high = yc - 45;
  EXPECT_EQ(px(x0 + 1, high), palette[15]); // values 0..10
  EXPECT_EQ(px(x0 + 2, high), palette[15]); // values 10..20
  EXPECT_EQ(px(x0 + 3, high), palette[0]);
  EXPECT_EQ(px(x0, yc), palette[0]);        // the start column gets no stroke
  for (int x = x0 + 1; x <= x0 + 99; x++)
    EXPECT_EQ(px(x, yc), palette[15]) << x;
  EXPECT_EQ(px(x0 + 100, yc), palette[0]);
}

TEST_F(Display, FewValuesAreJoinedByLines)
{
  start_screen();
  fill_rect(0, 0, 799, 599, 0);
  static int16_t v[150];
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

TEST_F(Display, SplitChannelsDrawWhiteAboveYellow)
{
  start_screen();
  last_vis = 1;
  fill_window(1, 100, 2, 10000, 16, 0, [](int, int) { return 0; });
  window_views[1].split_channels = 1;
  draw_window(1);
  const window_view *v = &window_views[1];
  int inner = (v->bottom - 1) - (v->top + row_height + 1) - 4;
  int h = inner / 2;
  int yc0 = h / 2 + v->top + row_height + 3;
  EXPECT_EQ(px(200, yc0), palette[15]);
  EXPECT_EQ(px(200, yc0 + h), palette[14]);
}

TEST_F(Display, TitlesShowDurationInUnitsThatFit)
{
  start_screen();
  char text[160];
  fill_window(1, 20000, 1, 10000, 16, 0, [](int i, int) { return i; });
  title_right_text(1, text, sizeof text);
  EXPECT_STREQ(text, "Duration = 2.0000 s   ");
  fill_window(2, 5000, 1, 10000, 16, 0, [](int i, int) { return i; });
  title_right_text(2, text, sizeof text);
  EXPECT_STREQ(text, "Duration = 500.00 ms  ");
  windows[2].kind = 1;
  title_right_text(2, text, sizeof text);
  EXPECT_STREQ(text, "Bandwidth =  5.000 kHz  ");
  title_right_text(3, text, sizeof text);
  EXPECT_STREQ(text, "No signal");
  window_views[2].view_start = window_views[2].view_end = 100;
  windows[2].kind = 0;
  draw_window(2); // an empty view: frame, title and a blank plot area
  title_right_text(2, text, sizeof text);
  EXPECT_STREQ(text, "Duration =   0.00 ms  ");
}

TEST_F(Display, ReadoutGivesTimeSampleAndValue)
{
  start_screen();
  fill_window(1, 20000, 1, 10000, 16, 0, [](int i, int) { return i == 5000 ? -123 : 7; });
  redraw_current();
  goto_position(5000);
  EXPECT_STREQ(status_cache, " Cursor at  0.5000/2.0000 s , (  5000/ 20000).  Value =   -123  ");
  goto_position(20000); // the guard frame stands behind the last frame
  EXPECT_STREQ(status_cache, " Cursor at  2.0000/2.0000 s , ( 20000/ 20000).  Value =      0  ");

  fill_window(2, 5000, 1, 10000, 16, 0, [](int, int) { return 1; });
  select_window(2);
  goto_position(100);
  EXPECT_STREQ(status_cache, " Cursor at   10.00/500.00 ms, (   100/  5000).  Value =      1  ");
}

TEST_F(Display, SpectrumReadoutInKilohertzAndDecibels)
{
  start_screen();
  fill_window(1, 256, 1, 10000, 16, 0, [](int i, int) { return i == 128 ? 32767 : 0; });
  windows[1].kind = 1;
  redraw_current();
  goto_position(128);
  EXPECT_STREQ(status_cache, " FFT Cursor at  2.500 kHz, Value = 120.0 dB  ");
  goto_position(0);
  EXPECT_STREQ(status_cache, " FFT Cursor at  0.000 kHz, Value =  60.0 dB  ");
  fill_window(2, 256, 2, 10000, 16, 0, [](int, int ch) { return ch ? 32767 : 0; });
  windows[2].kind = 1;
  select_window(2);
  goto_position(10);
  EXPECT_STREQ(status_cache, " FFT Cursor at  0.195 kHz, Value =  60.0,120.0 dB  ");
}

TEST_F(Display, GotoPositionScrollsOnlyWhenTheCursorLeavesTheView)
{
  start_screen();
  fill_window(1, 10000, 1, 10000, 16, 0, [](int, int) { return 0; });
  window_views[1].view_start = 1000;
  window_views[1].view_end = 2000;
  redraw_current();
  goto_position(1500);
  EXPECT_EQ(window_views[1].view_start, 1000);
  goto_position(2001);
  EXPECT_EQ(window_views[1].view_start, 1501);
  EXPECT_EQ(window_views[1].view_end, 2501);
  EXPECT_EQ(cursor, 2001);
  goto_position(0);
  EXPECT_EQ(window_views[1].view_start, 0);
  EXPECT_EQ(window_views[1].view_end, 1000);
  goto_position(99999); // clamped to the end
  EXPECT_EQ(cursor, 10000);
  EXPECT_EQ(window_views[1].view_end, 10000);
  EXPECT_EQ(shown_end, 10000);
}

TEST_F(Display, EmptyWindowBlanksTheStatusAndShowsNoCursor)
{
  start_screen();
  fill_window(1, 1000, 1, 10000, 16, 0, [](int, int) { return 0; });
  redraw_current();
  goto_position(10);
  EXPECT_NE(status_cache[0], 0);
  clear_window(1);
  EXPECT_EQ(status_cache[0], 0);
}

TEST_F(Display, SelectingAWindowMovesTheMarkerAndKeepsEachCursor)
{
  start_screen();
  fill_window(1, 1000, 1, 10000, 16, 0, [](int, int) { return 0; });
  fill_window(2, 1000, 1, 10000, 16, 0, [](int, int) { return 0; });
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
