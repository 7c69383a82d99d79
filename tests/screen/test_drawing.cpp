// Drawing on the back buffer: rectangles, lines, exclusive-or overlays, text
// cells, the saved rectangle, info boxes and the help screen.
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace {

uint32_t px(int x, int y) { return back_buffer[y * scr_width + x]; }

// Expects each {x, y, colour index} on the back buffer.
void expect_pixels(std::initializer_list<std::array<int, 3>> points)
{
  for (auto [x, y, c] : points)
    EXPECT_EQ(px(x, y), palette[c]) << x << "," << y;
}

int count_color(int x0, int y0, int x1, int y1, uint32_t rgb)
{
  int n = 0;
  for (int y = y0; y <= y1; y++)
    for (int x = x0; x <= x1; x++)
      n += px(x, y) == rgb;
  return n;
}

std::vector<uint32_t> snapshot() { return std::vector<uint32_t>(back_buffer, back_buffer + scr_width * scr_height); }
std::vector<uint32_t> on_screen() { return std::vector<uint32_t>(headless_screen(), headless_screen() + scr_width * scr_height); }

struct Drawing : ::testing::Test {
  void SetUp() override { start_screen(); }
  void TearDown() override { stop_screen(); }
};
using Surface = Drawing;
using InfoBox = Drawing;

TEST_F(Surface, FontMetricsGiveEightPixelCellsAndEighteenPixelRows)
{
  EXPECT_EQ(char_width, 8);
  EXPECT_EQ(row_height, 18);
  EXPECT_EQ(char_ascent, 13);
  EXPECT_EQ(graph_bottom, scr_height - 3 - 18);
  EXPECT_EQ(text_bottom, scr_height - 3);
}

TEST_F(Surface, FillRectIncludesBothCornersInEitherOrderAndClips)
{
  fill_rect(10, 20, 5, 8, 4);
  EXPECT_EQ(count_color(0, 0, 50, 50, palette[4]), 6 * 13);
  expect_pixels({{5, 8, 4}, {10, 20, 4}, {11, 20, 0}, {10, 21, 0}});
  // Off-screen parts are clipped, not wrapped into other rows.
  fill_rect(-5, 100, 3, 100, 2);
  EXPECT_EQ(count_color(0, 99, scr_width - 1, 101, palette[2]), 4);
  fill_rect(scr_width - 2, 200, scr_width + 40, 200, 2);
  EXPECT_EQ(count_color(0, 200, scr_width - 1, 201, palette[2]), 2);
  auto before = snapshot();
  fill_rect(scr_width, 10, scr_width + 50, 20, 4);
  fill_rect(-50, 10, -1, 20, 4);
  fill_rect(10, scr_height, 20, scr_height + 9, 4);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(Surface, LinesAreOnePixelWideAndLeaveOutTheirEndPoint)
{
  draw_line(30, 40, 30, 40, 15);
  EXPECT_EQ(count_color(0, 0, 100, 100, palette[15]), 1);
  EXPECT_EQ(px(30, 40), palette[15]);
  draw_line(50, 50, 60, 50, 12);
  EXPECT_EQ(count_color(0, 0, 100, 100, palette[12]), 10);
  EXPECT_EQ(px(60, 50), palette[0]);
  int x, y;
  get_text_pos(&x, &y);
  EXPECT_EQ(x, 60);
  EXPECT_EQ(y, 50);
  draw_line(0, 60, 20, 70, 10); // one pixel per step along the long axis
  EXPECT_EQ(count_color(0, 55, 25, 75, palette[10]), 20);
}

TEST_F(Surface, LinesReachTheScreenAtOnceUnlessNoDirect)
{
  paint_dirty();
  draw_line(100, 100, 110, 100, 15);
  EXPECT_EQ(headless_screen()[100 * scr_width + 105], palette[15]);
  no_direct = 1;
  draw_line(100, 110, 110, 110, 15);
  no_direct = 0;
  EXPECT_EQ(headless_screen()[110 * scr_width + 105], palette[0]);
  // Filled areas wait for the repaint that pumping messages does.
  fill_rect(200, 200, 210, 210, 9);
  EXPECT_EQ(headless_screen()[205 * scr_width + 205], palette[0]);
  poll_key();
  EXPECT_EQ(headless_screen()[205 * scr_width + 205], palette[9]);
}

TEST_F(Surface, ExclusiveOrFramesCursorsAndMarksVanishWhenDrawnTwice)
{
  fill_rect(0, 0, 300, 300, 1);
  auto before = snapshot();
  show_range_box(10, 10, 100, 80, 8);
  auto with_box = snapshot();
  // Every corner is drawn exactly once: the outline is closed.
  for (auto [x, y] : {std::pair{10, 10}, {100, 10}, {100, 80}, {10, 80}})
    EXPECT_NE(with_box[y * scr_width + x], before[y * scr_width + x]) << x << "," << y;
  hide_range_box();
  EXPECT_EQ(snapshot(), before);

  set_cursor_shape(50, 7);
  show_time_cursor(40, 20);
  show_time_cursor(40, 20); // the first is removed before the second is drawn
  EXPECT_EQ(count_color(40, 0, 40, 299, palette[1] ^ palette[7]), 50);
  show_time_cursor(60, 20);
  EXPECT_EQ(count_color(40, 0, 40, 299, palette[1] ^ palette[7]), 0);
  hide_time_cursor();
  hide_time_cursor();
  EXPECT_EQ(snapshot(), before);

  draw_mark(120, 100, 3);
  EXPECT_NE(snapshot(), before);
  draw_mark(120, 100, 3);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(Surface, MarksOutsideTheScreenOrAlphabetDrawNothing)
{
  set_cursor_shape(30, 7);
  show_time_cursor(5, 5);
  auto before = snapshot();
  draw_mark(10, 10, 26);
  draw_mark(scr_width, 10, 0);
  draw_mark(10, scr_height, 0);
  draw_mark(-1, 10, 0);
  draw_mark(10, 10, -1);
  EXPECT_EQ(snapshot(), before);
  draw_mark(200, 100, 0); // a drawn mark keeps the cursor where it was
  EXPECT_EQ(count_color(5, 0, 5, 100, palette[0] ^ palette[7]), 30);
}

TEST_F(Surface, UpdateTextRedrawsOnlyCellsThatDiffer)
{
  set_text_colors(14, 0);
  draw_text(0, 50, "abd");
  fill_rect(0, 30, 2 * char_width - 1, 60, 4); // over the two cells that stay
  update_text(0, 50, "abc", "abd");
  EXPECT_EQ(px(char_width / 2, 40), palette[4]);
  EXPECT_NE(count_color(2 * char_width, 30, 3 * char_width - 1, 60, palette[14]), 0);
  // Cells 3 and 4 are blanked with the background colour; 1 and 2 untouched.
  fill_rect(0, 100, 100, 130, 4);
  update_text(0, 120, "ab", "abcd");
  EXPECT_EQ(count_color(2 * char_width, 120 - char_ascent, 4 * char_width - 1, 120 - char_ascent + 15, palette[0]),
            2 * char_width * 16);
  EXPECT_EQ(count_color(0, 100, 2 * char_width - 1, 130, palette[4]), 2 * char_width * 31);
}

TEST_F(Surface, OnlyOneRectangleCanBeSaved)
{
  fill_rect(0, 0, 100, 100, 2);
  auto before = snapshot();
  int h = save_rect(10, 10, 50, 50);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(save_rect(60, 60, 70, 70), -1);
  fill_rect(0, 0, 100, 100, 5);
  restore_rect(h + 1, 10, 10); // not the saved handle: nothing happens
  restore_rect(h, 10, 10);
  auto after = snapshot();
  for (int y = 10; y <= 50; y++)
    for (int x = 10; x <= 50; x++)
      ASSERT_EQ(after[y * scr_width + x], before[y * scr_width + x]);
  EXPECT_EQ(px(5, 5), palette[5]);
  EXPECT_EQ(save_rect(60, 60, 70, 70), 0); // free again
  restore_rect(0, 60, 60);
}

TEST_F(Surface, ScrollBandShiftsWholeRowsByCharacterSteps)
{
  fill_rect(0, 10, 7, 20, 12);
  scroll_band(10, 20, 2);
  expect_pixels({{16, 15, 12}, {23, 15, 12}, {24, 15, 0}});
  scroll_band(10, 20, -1);
  expect_pixels({{0, 15, 0}, {8, 15, 12}, {15, 15, 12}, {16, 15, 0}, {8, 9, 0}}); // rows outside the band stay
  auto before = snapshot();
  scroll_band(10, 20, 0);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(InfoBox, HelpBoxIsCentredAndRestoresTheScreen)
{
  fill_rect(100, 100, 700, 500, 1);
  set_text_colors(14, 1);
  draw_text(250, 150, "under the box");
  auto before = snapshot();
  poll_key();
  auto screen_before = on_screen();
  push_move(400, 300); // moving the mouse does not close it
  push_char('z');
  show_help();
  EXPECT_EQ(box_left, 240);
  EXPECT_EQ(box_top, 102);
  EXPECT_EQ(box_right - box_left + 1, 320);
  EXPECT_EQ(box_bottom - box_top + 1, 396);
  EXPECT_EQ(snapshot(), before);
  poll_key();
  EXPECT_EQ(on_screen(), screen_before);
}

TEST_F(InfoBox, IsFilledAndFramedOnePixelInsideAndASecondIsRefused)
{
  ASSERT_GE(open_info_box(200, 100), 0);
  expect_pixels({{box_left, box_top, box_bg}, {box_left + 1, box_top + 1, box_fg}, {box_left + 2, box_top + 2, box_bg}});
  info_text(8, 14, "first");
  int left = box_left, top = box_top;
  auto with_box = snapshot();
  push_char(' '); // answers the error message
  EXPECT_LT(open_info_box(100, 50), 0);
  EXPECT_EQ(box_left, left);
  EXPECT_EQ(box_top, top);
  // The message came and went; the first box is intact and still closes.
  auto after = snapshot();
  for (int y = box_top; y <= box_bottom; y++)
    for (int x = box_left; x <= box_right; x++)
      ASSERT_EQ(after[y * scr_width + x], with_box[y * scr_width + x]);
  fill_rect(box_left + 2, box_top + 2, box_right - 2, box_bottom - 2, 4);
  clear_info_box();
  EXPECT_EQ(px(box_left + 10, box_top + 10), palette[box_bg]);
  close_info_box();
  EXPECT_GE(open_info_box(100, 50), 0);
  close_info_box();
}

} // namespace
