// Scroll mode in-process on an 800x600 screen with one window (band rows 0..279).
#include "support/support.h"

typedef std::vector<int> ints;
static ints view() { return {scroll_width, scroll_max, scroll_offset, scroll_col}; }

struct Scroll : FileTest {
  signal_window *sw = &windows[1];
  void SetUp() override { FileTest::SetUp(); last_vis = 1; load(5000, 1); }
  void TearDown() override { scroll_mode = 0; FileTest::TearDown(); }
  void shape(int frames, int channels, int zero = 0, int bits = 16)
  {
    ASSERT_EQ(alloc_samples(1, frames, channels), 1);
    sw->num_samples = frames, sw->channels = (int8_t)channels;
    sw->zero_level = (int16_t)zero, sw->adc_bits = (int16_t)bits;
  }
  void load(int frames, int channels)
  {
    scroll_mode = 0;
    shape(frames, channels);
    for (long long i = 0; i < (long long)frames * channels; i++)
      sw->samples[i] = (int16_t)(i % 400 * 100 - 20000);
    reset_marks(1);
    redraw_current();
  }
  void enter(int at, int column)
  {
    cursor = at, half_span = column;
    ASSERT_EQ(scroll_setup(), 1);
    scroll_pass(); // the first picture
  }
};

TEST_F(Scroll, EntryRereadsChannelsPagesAutomaticScrollingAndRightClicks)
{
  struct { int frames, at; ints view; } cases[] = {
    {5000, 2496, {800, 4201, 2096, 400}}, {5000, 100, {800, 4201, 0, 100}}, {5000, 5000, {800, 4201, 4201, 799}},
    {300, 120, {301, 0, 0, 120}},         {800, 800, {800, 1, 1, 799}},     {799, 10, {800, 0, 0, 10}},
  };
  for (auto c : cases) {
    load(c.frames, 1);
    enter(c.at, 400);
    EXPECT_EQ(view(), c.view) << c.frames << " " << c.at; // offset + column = the cursor it had
  }
  // An edit redraws at once (the redraw reads the window first) or leaves that to the loop's re-read.
  struct { int frames, channels, zero, bits, redraws; ints want; } edits[] = {
    {5000, 1, 0, 16, 0, {1, 0, 50, 800, 4201, 2096, 400}},  {1000, 1, 0, 16, 1, {1, 0, 50, 800, 201, 201, 799}},
    {300, 1, 0, 16, 0, {1, 1, 18, 301, 0, 0, 300}},         {0, 1, 0, 16, 1, {0}},
    {5000, 2, 0, 16, 1, {1, 0, 50, 800, 4201, 2096, 400}},  {2500, 3, 0, 16, 0, {1, 1, 50, 800, 1701, 1701, 795}},
    {5000, 1, 128, 8, 0, {1, 1, 50, 800, 4201, 2096, 400}}, {100000, 1, 0, 16, 1, {1, 0, 50, 800, 99201, 2096, 400}},
  };
  for (auto c : edits) {
    load(5000, 1);
    enter(2496, 400);
    full_redraw = 0;
    c.frames == 0 ? clear_window(1) : shape(c.frames, c.channels, c.zero, c.bits);
    c.redraws ? redraw_current() : (void)scroll_reread();
    ints got{scroll_mode, full_redraw, scroll_jump, scroll_width, scroll_max, scroll_offset, scroll_col};
    EXPECT_EQ(scroll_mode ? got : ints{0}, c.want) << c.frames;
    if (!scroll_mode)
      continue;
    EXPECT_EQ(scroll_channels * 100000 + scroll_full, c.channels * 100000 + (1 << c.bits));
    EXPECT_EQ(sw->samples[(long long)c.frames * c.channels + c.channels - 1], c.zero); // the guard frame
    scroll_pass();
  }
  // 259 waveform rows, shared or 129 a channel; channel k in colour wave_color - k.
  load(5000, 2);
  for (int i = 0; i <= 10001; i++)
    sw->samples[i] = i % 2 ? -8192 : 16384;
  struct { int split, channel, row; } bands[] = {{0, 0, 65}, {0, 1, 161}, {1, 0, 32}, {1, 1, 209}};
  for (auto c : bands) {
    window_views[1].split_channels = (uint16_t)c.split;
    enter(2496, 400);
    EXPECT_EQ(back_buffer[c.row * scr_width + 100], palette[wave_color - c.channel]) << c.split << c.channel;
  }
  // A page (400) is the largest shift (50 units of 8): the picture moves, the cursor keeps its column.
  load(5000, 1);
  window_views[1].split_channels = 0;
  enter(2504, 408);
  uint32_t *row = back_buffer + (size_t)(scroll_height / 2) * scr_width;
  row[400] = 0x123456;
  scroll_key(KEY_PGDN);
  scroll_pass();
  EXPECT_EQ(row[0], 0x123456u);
  EXPECT_EQ(view(), (ints{800, 4201, 2496, 408}));
  struct { int x, speed; } edges[] = { // margins at columns 100 and 700
    {0, -8}, {36, -8}, {37, -7}, {92, -1}, {93, 0}, {100, 0}, {700, 0}, {708, 1}, {799, 8}};
  for (auto e : edges)
    EXPECT_EQ(edge_speed(e.x), e.speed) << e.x;
  struct { int key, times, speed; } keys[] = {{'>', 9, 8}, {'<', 17, -8}, {'.', 2, -6}, {',', 1, -7}};
  for (auto k : keys) {
    for (int i = 0; i < k.times; i++)
      scroll_key(k.key);
    EXPECT_EQ(scroll_speed, k.speed) << (char)k.key;
  }
  scroll_speed = 5; // running on its own, the view keeps the cursor in its middle
  scroll_pass();
  EXPECT_EQ(view(), (ints{800, 4201, 2536, 400}));
  int passes = 1;
  for (; scroll_speed != 0 && passes < 100; passes++)
    scroll_pass();
  EXPECT_EQ(passes, (4201 - 2496 + 39) / 40);
  EXPECT_EQ(scroll_offset, scroll_max);
  EXPECT_EQ(edge_speed(799), 0); // nothing left to run to
  // Right click 24 past the margin: a mark, speed 3 from the clicked column wherever the pointer goes.
  load(5000, 1);
  cursor = 2496, half_span = 400;
  push_click(724, 150, 1);
  for (int i = 0; i < 153; i++) {
    push_move(10, 150);
    if (i < 3)
      push_char('<');
  }
  enter_scroll();
  EXPECT_EQ(sw->marks[0], 2496);
  EXPECT_EQ(view(), (ints{800, 4201, 4201, 724}));
}

