// Info boxes and the help screen.
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

struct InfoBox : ::testing::Test {
  void SetUp() override { start_screen(); }
  void TearDown() override { stop_screen(); }
};

std::vector<uint32_t> snapshot() { return std::vector<uint32_t>(back_buffer, back_buffer + scr_width * scr_height); }

TEST_F(InfoBox, HelpBoxIsCentredAndRestoresTheScreen)
{
  fill_rect(100, 100, 700, 500, 1);
  set_text_colors(14, 1);
  draw_text(250, 150, "under the box");
  auto before = snapshot();
  poll_key();
  std::vector<uint32_t> screen_before(headless_screen(), headless_screen() + scr_width * scr_height);

  push_move(400, 300); // moving the mouse does not close it
  push_char('z');
  show_help();
  EXPECT_EQ(box_left, 240);
  EXPECT_EQ(box_top, 102);
  EXPECT_EQ(box_right - box_left + 1, 320);
  EXPECT_EQ(box_bottom - box_top + 1, 396);
  EXPECT_EQ(snapshot(), before);
  poll_key();
  EXPECT_EQ(std::vector<uint32_t>(headless_screen(), headless_screen() + scr_width * scr_height), screen_before);
}

TEST_F(InfoBox, ASecondBoxIsRefusedWithAMessageAndNothingDrawn)
{
  ASSERT_GE(open_info_box(200, 100), 0);
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
  close_info_box();
  EXPECT_GE(open_info_box(100, 50), 0);
  close_info_box();
}

TEST_F(InfoBox, BoxIsFilledAndFramedOnePixelInside)
{
  open_info_box(100, 60);
  EXPECT_EQ(back_buffer[box_top * scr_width + box_left], palette[box_bg]);
  EXPECT_EQ(back_buffer[(box_top + 1) * scr_width + box_left + 1], palette[box_fg]);
  EXPECT_EQ(back_buffer[(box_top + 2) * scr_width + box_left + 2], palette[box_bg]);
  fill_rect(box_left + 2, box_top + 2, box_right - 2, box_bottom - 2, 4);
  clear_info_box();
  EXPECT_EQ(back_buffer[(box_top + 10) * scr_width + box_left + 10], palette[box_bg]);
  close_info_box();
}

} // namespace
