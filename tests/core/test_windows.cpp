// The six windows and their sample storage.
#include "core/state.h"
#include "screen/screen.h"
#include "support/support.h"
#include <gtest/gtest.h>

namespace {

struct Windows : ::testing::Test {
  void SetUp() override { start_screen(); }
  void TearDown() override { stop_screen(); }
};

TEST_F(Windows, InitialStateAfterInitWindows)
{
  default_rate = 8000;
  init_windows();
  default_rate = 10000;
  for (int w = 0; w < NUM_WINDOWS; w++) {
    EXPECT_STREQ(windows[w].name, w ? "" : "[clip]");
    EXPECT_EQ(windows[w].adc_rate, 8000);
    EXPECT_EQ(windows[w].dac_rate, 8000);
    EXPECT_EQ(windows[w].num_samples, 0);
    EXPECT_EQ(windows[w].samples, nullptr);
    EXPECT_EQ(windows[w].marks[0], -1);
    EXPECT_EQ(windows[w].marks[25], -1);
    EXPECT_EQ(windows[w].marks[MARK_HOME], 0);
    EXPECT_EQ(window_views[w].view_start, -1);
    EXPECT_EQ(window_views[w].right, scr_width - 1);
  }
  EXPECT_EQ(cur_win, 1);
  EXPECT_EQ(first_vis, 1);
  EXPECT_EQ(last_vis, 5);
  EXPECT_EQ(clip_win, 0);
}

TEST_F(Windows, AllocationLimitsLeaveTheWindowUnchangedAndGrowingKeepsTheFrames)
{
  ASSERT_EQ(alloc_samples(1, 100, 2), 1);
  windows[1].num_samples = 100;
  windows[1].channels = 2;
  int16_t *block = windows[1].samples;
  for (int i = 0; i < 202; i++) // with the guard frame
    block[i] = (int16_t)(i * 7 - 300);
  EXPECT_EQ(alloc_samples(1, MAX_FRAMES + 1, 2), 0);
  EXPECT_EQ(alloc_samples(1, 0, 2), 0);
  EXPECT_EQ(alloc_samples(1, -5, 0), 0); // a bad count never releases
  EXPECT_EQ(windows[1].samples, block);
  ASSERT_EQ(alloc_samples(1, 500, 2), 1);
  for (int i = 0; i < 202; i++)
    ASSERT_EQ(windows[1].samples[i], (int16_t)(i * 7 - 300)) << i;
  windows[1].num_samples = 500;
  ASSERT_EQ(alloc_samples(1, 10, 2), 1); // shrinking copies only what fits
  for (int i = 0; i < 22; i++)
    ASSERT_EQ(windows[1].samples[i], (int16_t)(i * 7 - 300)) << i;
  EXPECT_EQ(alloc_samples(2, MAX_FRAMES, 1), 1);
  EXPECT_EQ(alloc_samples(2, 10, 0), 1); // no channels: released
  EXPECT_EQ(windows[2].samples, nullptr);
}

TEST_F(Windows, ClearWindowEmptiesAndResetsMarksAndRange)
{
  ASSERT_EQ(alloc_samples(1, 1000, 1), 1);
  windows[1].num_samples = 1000;
  windows[1].channels = 1;
  windows[1].marks[3] = 400;
  windows[1].marks[MARK_END] = 1000;
  window_views[1].view_start = 100;
  window_views[1].view_end = 900;
  clear_window(1);
  EXPECT_EQ(windows[1].num_samples, 0);
  for (int i = 0; i < 26; i++)
    EXPECT_EQ(windows[1].marks[i], -1);
  EXPECT_EQ(windows[1].marks[MARK_HOME], 0);
  EXPECT_EQ(windows[1].marks[MARK_END], 0);
  EXPECT_EQ(window_views[1].view_start, 0);
  EXPECT_EQ(window_views[1].view_end, 0);
  EXPECT_EQ(status_cache[0], 0);
}

} // namespace
