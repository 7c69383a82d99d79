// Zoom and pan arithmetic, positions off the signal, duplicates, and the
// button row's hit ranges.
#include "support/support.h"

struct View : FileTest {
  void signal(int w, int n)
  {
    ASSERT_EQ(alloc_samples(w, n, 1), 1);
    windows[w].num_samples = n, windows[w].channels = 1, last_vis = w;
    reset_marks(w);
  }
};

static std::string shown()
{
  const window_view &v = window_views[cur_win];
  return std::to_string(v.view_start) + ".." + std::to_string(v.view_end) + " @" + std::to_string(cursor);
}

TEST_F(View, ZoomPanAndSegmentsStayOnTheSignalADuplicateInheritsNothingButtonRangesMeet)
{
  struct { int start, end, cur; void (*op)(); const char *want; } cases[] = {
    {4500, 5500, 5000, zoom_in, "4749..5251 @5000"}, {100, 103, 101, zoom_in, "100..103 @101"},
    {9000, 10000, 9990, zoom_in, "9498..10000 @9990"}, {2000, 8000, 7000, zoom_out, "0..10000 @7000"},
    {500, 500, 500, zoom_out, "498..502 @500"}, {10000, 10000, 10000, zoom_out, "9996..10000 @10000"},
    {0, 1000, 3, pan_right, "500..1500 @1000"}, {8800, 9800, 9000, pan_right, "9000..10000 @9500"},
    {9000, 10000, 9100, pan_right, "9000..10000 @9100"}, {200, 1200, 300, pan_left, "0..1000 @500"},
    {500, 500, 500, pan_left, "498..502 @500"}, {0, 0, 0, pan_left, "0..4 @2"},
    {100, 102, 101, pan_right, "101..103 @102"}, {100, 101, 100, zoom_out, "99..101 @100"}, // short views keep their law
    {0, 10000, 300, [] { windows[1].marks[1] = 10001; push_text("SAB"); view_menu(); }, "0..10000 @300"},
    {0, 10000, 300, [] { windows[1].marks[MARK_SELECT] = -5; push_text("*"); goto_mark(); }, "0..10000 @300"},
  };
  signal(1, 10000);
  for (auto c : cases) {
    windows[1].marks[0] = 100, windows[1].marks[1] = 600;
    window_views[1].view_start = c.start, window_views[1].view_end = c.end, cursor = c.cur;
    c.op();
    EXPECT_EQ(shown(), c.want) << c.start << ".." << c.end << " @" << c.cur;
  }
  signal(1, 300);
  window_views[2].split_channels = windows[2].kind = 1; // as a closed window leaves them
  duplicate_window();
  EXPECT_EQ(windows[2].name + std::to_string(windows[2].kind + window_views[2].split_channels),
            "[copy of w1(0:300)]0");
  ASSERT_EQ(char_width, 8);
  int row = scr_width - 13 * 8, top = text_bottom - char_ascent;
  struct { int scroll, dx, dy, want; } hits[] = {
    {0, 5, 0, -1}, {0, 6, 0, 0}, {0, 17, row_height, 0}, {0, 18, 0, -1}, {0, 22, 0, 1}, {0, 97, 0, 5},
    {0, 98, 0, -1}, {0, 6, -1, -1}, {0, 6, row_height + 1, -1}, {1, 37, 0, -1}, {1, 38, 0, 0}, {1, 97, 0, 3}
  };
  for (auto c : hits) {
    scroll_mode = c.scroll;
    EXPECT_EQ(button_row_index(row + c.dx, top + c.dy), c.want) << c.scroll << " " << c.dx << "," << c.dy;
  }
  scroll_mode = 0;
}

