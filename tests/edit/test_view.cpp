// Zooming and panning the current view, viewing a segment, the window
// stack of the Window menu, and the button row's hit ranges.
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct View : FileTest {
  // Window w gets n mono frames; the stack ends at w.
  void signal(int w, int n)
  {
    ASSERT_EQ(alloc_samples(w, n, 1), 1);
    windows[w].num_samples = n;
    windows[w].channels = 1;
    reset_marks(w);
    window_views[w].view_start = window_views[w].view_end = -1;
    last_vis = w;
  }
  std::string shown() const
  {
    const window_view &v = window_views[cur_win];
    return std::to_string(v.view_start) + ".." + std::to_string(v.view_end) + " @" + std::to_string(cursor);
  }
};

TEST_F(View, ZoomAndPanStopAtTheSignalEnds)
{
  struct { int n, start, end, cur; void (*op)(); const char *want; } cases[] = {
    {10000, 4500, 5500, 5000, zoom_in, "4749..5251 @5000"},
    {10000, 0, 1000, 100, zoom_in, "0..502 @100"},
    {10000, 9000, 10000, 9990, zoom_in, "9498..10000 @9990"},
    {10000, 100, 103, 101, zoom_in, "100..103 @101"}, // three is the shortest
    {10000, 4000, 5000, 4100, zoom_out, "3100..5100 @4100"},
    {10000, 2000, 8000, 7000, zoom_out, "0..10000 @7000"},
    {10000, 0, 10000, 10, zoom_out, "0..10000 @10"},
    {10000, 500, 500, 500, zoom_out, "498..502 @500"}, // nothing shown: widened to four
    {10000, 10000, 10000, 10000, zoom_out, "9996..10000 @10000"},
    {2, 1, 1, 1, zoom_out, "0..2 @1"},
    {10000, 0, 1000, 3, pan_right, "500..1500 @1000"},
    {10000, 8800, 9800, 9000, pan_right, "9000..10000 @9500"},
    {10000, 9000, 10000, 9100, pan_right, "9000..10000 @9100"},
    {10000, 200, 1200, 300, pan_left, "0..1000 @500"},
    {10000, 0, 1000, 3, pan_left, "0..1000 @3"},
    {10000, 500, 500, 500, pan_left, "498..502 @500"},
    {10000, 10000, 10000, 10000, pan_right, "9996..10000 @9998"},
    {0, 0, 0, 0, pan_right, "0..0 @0"},
  };
  for (auto c : cases) {
    signal(1, c.n ? c.n : 1);
    windows[1].num_samples = c.n;
    window_views[1].view_start = c.start;
    window_views[1].view_end = c.end;
    cursor = c.cur;
    c.op();
    EXPECT_EQ(shown(), c.want) << c.n << " " << c.start << ".." << c.end << " @" << c.cur;
  }
}

TEST_F(View, ViewSegmentAndGotoTakeOnlyPositionsOnTheSignal)
{
  signal(1, 1000);
  redraw_current();
  struct { int a, b, select; const char *keys; const char *want; } cases[] = {
    {100, 600, -1, "ab", "100..600 @300"},
    {600, 100, -1, "ab", "100..600 @300"},
    {600, 600, -1, "ab", "600..600 @600"},
    {100, 1001, -1, "ab", "0..1000 @300"}, // off the end: refused
    {-7, 600, -1, "ab", "0..1000 @300"},
    {100, 600, -1, "a\x1b", "0..1000 @300"},
    {100, 600, 700, "G*", "0..1000 @700"}, // Goto "*" answers with slot 29
    {100, 600, 1001, "G*", "0..1000 @300"},
    {100, 600, -5, "G*", "0..1000 @300"},
  };
  for (auto c : cases) {
    window_views[1].view_start = 0;
    window_views[1].view_end = 1000;
    cursor = 300;
    windows[1].marks[0] = c.a;
    windows[1].marks[1] = c.b;
    windows[1].marks[MARK_SELECT] = c.select;
    if (c.keys[0] != 'G') push_char('S');
    push_text(c.keys + (c.keys[0] == 'G'));
    c.keys[0] == 'G' ? goto_mark() : view_menu();
    EXPECT_EQ(shown(), c.want) << c.a << "," << c.b << " " << c.keys;
  }
}

// Each visible window's length and cursor (the live one for the current
// window), then the current window.
std::string stack()
{
  std::string s;
  for (int w = first_vis; w <= last_vis; w++)
    s += std::to_string(windows[w].num_samples) + ":" +
         std::to_string(w == cur_win ? cursor : window_views[w].saved_cursor) + " ";
  return s + "cur " + std::to_string(cur_win);
}

TEST_F(View, TheStackKeepsEachSignalWithItsCursor)
{
  for (int w = 1; w <= 3; w++) {
    signal(w, 100 * w);
    window_views[w].saved_cursor = 10 * w;
  }
  cursor = 10;
  redraw_all();
  select_window(2);
  window_up();
  EXPECT_EQ(stack(), "200:20 100:10 300:30 cur 1");
  window_up(); // window 1 stays where it is
  select_window(2);
  EXPECT_EQ(stack(), "200:20 100:10 300:30 cur 2");
  close_window();
  EXPECT_EQ(stack(), "200:20 300:30 cur 2");
  window_views[3].split_channels = 1; // left behind by the closed window
  window_views[3].saved_cursor = 77;
  windows[3].kind = 1;
  windows[3].channels = 4;
  duplicate_window();
  EXPECT_EQ(stack(), "200:20 300:30 300:0 cur 3");
  const signal_window &d = windows[3];
  EXPECT_STREQ(d.name, "[copy of w2(0:300)]");
  EXPECT_EQ(d.kind * 100 + d.channels * 10 + window_views[3].split_channels, 10);
  EXPECT_EQ(window_views[3].view_end - window_views[3].view_start, 300);
  for (int i = 0; i < 3; i++)
    duplicate_window(); // the fifth window is the last
  EXPECT_EQ(stack(), "200:20 300:30 300:0 300:0 300:0 cur 5");
  toggle_maximize();
  EXPECT_EQ(window_views[5].top * 10000 + window_views[5].bottom, graph_bottom - row_height - 1);
  toggle_maximize();
  EXPECT_GT(window_views[5].top, 0);
  for (char key : {'C', 'U', 'C'}) { // the clip window neither closes nor moves
    if (key == 'U') select_window(0), window_up(), close_window();
    else push_text("C"), view_menu();
  }
  EXPECT_EQ(stack(), "200:20 300:30 300:0 300:0 300:0 cur 1");
}

TEST_F(View, ButtonRowHitRangesMeetAtTheirEdges)
{
  ASSERT_EQ(char_width, 8);
  int row = scr_width - 13 * 8, top = text_bottom - char_ascent;
  struct { int scroll, dx, dy, want; } cases[] = {
    {0, 5, 0, -1}, {0, 6, 0, 0}, {0, 17, row_height, 0}, {0, 18, 0, -1}, {0, 21, 0, -1},
    {0, 22, 0, 1}, {0, 33, 0, 1}, {0, 34, 0, -1}, {0, 86, 0, 5}, {0, 97, 0, 5}, {0, 98, 0, -1},
    {0, 6, -1, -1}, {0, 6, row_height + 1, -1},
    {1, 6, 0, -1}, {1, 37, 0, -1}, {1, 38, 0, 0}, {1, 49, 0, 0}, {1, 86, 0, 3}, {1, 97, 0, 3}, {1, 98, 0, -1},
  };
  for (auto c : cases) {
    scroll_mode = c.scroll;
    EXPECT_EQ(button_row_index(row + c.dx, top + c.dy), c.want) << c.scroll << " " << c.dx << "," << c.dy;
  }
  scroll_mode = 0;
}

} // namespace
