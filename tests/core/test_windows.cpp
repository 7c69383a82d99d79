// The six windows and their sample storage.
#include "support/support.h"

struct Windows : ScreenTest {};

TEST_F(Windows, InitClearAllocateCloseNewSwapAndMoveBetweenWindows)
{
  cur_win = 3, last_vis = 2, default_rate = 8000;
  init_windows();
  default_rate = 10000;
  for (int w = 0; w < NUM_WINDOWS; w++) {
    EXPECT_STREQ(windows[w].name, w ? "" : "[clip]");
    EXPECT_EQ(windows[w].adc_rate + windows[w].dac_rate, 16000) << w;
    EXPECT_EQ(windows[w].marks[NUM_LETTERS - 1], -1) << w;
  }
  EXPECT_EQ(cur_win * 100 + first_vis * 10 + last_vis, 115);
  fill_window(1, std::vector<int>(1000, 0));
  windows[1].marks[3] = 400, windows[1].marks[MARK_END] = 1000, window_views[1].view_start = 100;
  clear_window(1);
  std::vector<int> want(NUM_LETTERS + 2, -1);
  want[MARK_HOME] = want[MARK_END] = 0;
  EXPECT_EQ(std::vector<int>(windows[1].marks, windows[1].marks + NUM_LETTERS + 2), want);
  EXPECT_EQ(std::vector({windows[1].num_samples, window_views[1].view_start, window_views[1].view_end, (int)status_cache[0]}),
            std::vector({0, 0, 0, 0}));
  // Allocation limits leave the window unchanged, and growing keeps the frames.
  std::vector<int> v = frames(202, 1, [](int i, int) { return i * 7 - 300; });
  fill_window(1, v, 2);
  v.resize(204); // and the guard frame
  int16_t *block = windows[1].samples;
  EXPECT_EQ(alloc_samples(1, MAX_FRAMES + 1, 2) + alloc_samples(1, 0, 2), 0);
  EXPECT_EQ(alloc_samples(1, -5, 0), 0); // a bad count never releases
  EXPECT_EQ(windows[1].samples, block);
  ASSERT_EQ(alloc_samples(1, 500, 2), 1);
  EXPECT_EQ(std::vector<int>(windows[1].samples, windows[1].samples + 204), v);
  windows[1].num_samples = 500;
  ASSERT_EQ(alloc_samples(1, 10, 2), 1); // shrinking copies only what fits
  EXPECT_EQ(std::vector<int>(windows[1].samples, windows[1].samples + 22), std::vector<int>(v.begin(), v.begin() + 22));
  EXPECT_EQ(alloc_samples(2, MAX_FRAMES, 1), 1);
  EXPECT_EQ(alloc_samples(2, 10, 0), 1); // no channels: released
  EXPECT_EQ(windows[2].samples, nullptr);
}

// Fresh windows 1..n with n frames each, so that a window is known by its length.
static void number_windows(int n)
{
  init_windows();
  last_vis = n;
  for (int w = 1; w <= n; w++)
    fill_window(w, std::vector<int>(w, 0));
}

static std::string stack()
{
  std::string s;
  for (int w = first_vis; w <= last_vis; w++)
    s += std::to_string(windows[w].num_samples);
  return s + " current " + std::to_string(cur_win);
}

TEST_F(Windows, ClosingMovesTheOnesBelowUpAndNewWindowsOpenBelowUntilFive)
{
  struct { int windows, current; const char *after; } cases[] = {
    {3, 2, "13 current 2"}, {1, 1, "1 current 1"}, {2, 0, "12 current 0"}, // the last window stays; the clip window is not in the stack
    {3, 3, "12 current 2"}, // last, so that the check below sees what this close left
  };
  for (auto c : cases) {
    number_windows(c.windows);
    cur_win = c.current;
    close_window();
    EXPECT_EQ(stack(), c.after) << c.windows << " windows, closing " << c.current;
  }
  EXPECT_EQ(windows[3].num_samples, 0); // the closed one is emptied at the end of the stack
  number_windows(4);
  new_window();
  EXPECT_EQ(stack(), "12340 current 5");
  new_window();
  EXPECT_EQ(last_vis, 5);
  swap_windows(1, 4);
  EXPECT_EQ(stack(), "42310 current 5");
}

