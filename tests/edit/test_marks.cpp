// Letter marks, mark answers by key and by click, and the From/To prompt.
#include "support/support.h"

struct Marks : FileTest {
  signal_window *sw = &windows[1];
  void SetUp() override
  {
    FileTest::SetUp();
    last_vis = 1;
    fill_window(1, std::vector<int>(1000, 0));
    reset_marks(1);
    sw->marks[0] = 100; // A
    sw->marks[1] = 600; // B
    redraw_current();
    goto_position(300);
  }
  // Mid-height of the waveform, and the column of sample p in a full view.
  int wave_y() const { return (window_views[1].top + window_views[1].bottom) / 2; }
  int column(int p) const { return 2 + p * (window_views[1].right - 4) / 1000; }
};

// Queues one answer: a character, "Home", "End", "Esc", "click X Y".
static void press(const std::string &a)
{
  int x, y;
  if (a == "Home") push_key(PK_HOME);
  else if (a == "End") push_key(PK_END);
  else if (a == "Esc") push_key(PK_ESC);
  else if (sscanf(a.c_str(), "click %d %d", &x, &y) == 2) push_click(x, y);
  else push_char((unsigned char)a[0]);
}

TEST_F(Marks, TheFromToPromptOrdersItsSlotsAndInsertNewDeleteAndGotoKeepTheLetterSlots)
{
  int title = window_views[1].top + 5, wave = wave_y(), below = graph_bottom - 3;
  std::string c300 = "click " + std::to_string(column(300)) + " ";
  struct { std::string from, to; int result, seg_from, seg_to; const char *line; } cases[] = {
    {"a", "B", 1, 0, 1, "CUT  From mark A  To mark B"}, {"b", "a", 1, 1, 0, "CUT  From mark B  To mark A"},
    {"*", "", 1, MARK_HOME, MARK_END, "CUT  From mark [End]"}, {"a", "*", 1, 0, MARK_SELECT2, "CUT  From mark A  To mark [select2]"},
    {"Home", "End", 1, MARK_HOME, MARK_END, "CUT  From mark [Home]  To mark [End]"},
    {".", "c", 0, MARK_CURSOR, 2, "CUT  From mark [cursor]  To mark C"}, // C unset
    {"\x01", "\x02", 0, MARK_SELECT1, MARK_SELECT2, "CUT  From mark [select1]  To mark [select2]"},
    {"Esc", "", 0, -1, -1, "CUT  From mark "}, {"a", "7", 0, 0, -1, "CUT  From mark A  To mark "},
    {"click 400 " + std::to_string(title), "", 1, MARK_HOME, MARK_END, "CUT  From mark [End]"},
    {c300 + std::to_string(wave), "b", 1, MARK_SELECT1, 1, "CUT  From mark [select1]  To mark B"},
    {"click 400 " + std::to_string(below), "", 0, -1, -1, "CUT  From mark "}, // outside every window
  };
  for (const auto &c : cases) {
    press(c.from);
    if (!c.to.empty()) press(c.to);
    seg_to = -1;
    int result = ask_segment("CUT");
    EXPECT_EQ(std::vector({result, seg_from, seg_to}), std::vector({c.result, c.seg_from, c.seg_to})) << c.from << " " << c.to;
    EXPECT_STREQ(prompt_cache, c.line);
    EXPECT_EQ(dest_win, clip_win);
  }
  EXPECT_EQ(sw->marks[MARK_SELECT1], -1); // cleared at the start of each prompt
  EXPECT_EQ(sw->marks[MARK_CURSOR], 300);
  // Ordering puts the earlier position first.
  struct { int from, to, want_from, want_to; } orders[] = {
    {1, 0, 0, 1}, {0, 1, 0, 1}, {0, MARK_SELECT, 0, MARK_SELECT}, {-1, 0, -1, 0},
  };
  sw->marks[MARK_SELECT] = 100; // the same position as A: not exchanged
  for (auto c : orders) {
    seg_from = c.from;
    seg_to = c.to;
    order_segment();
    EXPECT_EQ(seg_from * 100 + seg_to, c.want_from * 100 + c.want_to) << c.from << "," << c.to;
  }
  goto_position(300); // where the click above left it
  std::pair<int, const char *> names[] = {{-1, "????"}, {25, "Z"}, {29, "[select]"}, {32, "????"}}; // the rest are in the lines above
  for (auto [slot, name] : names)
    EXPECT_STREQ(mark_name(slot), name);
  struct { void (*command)(); const char *text; } prompts[] = {
    {insert_mark, " INSERT MARK:  Enter letter for mark  "},
    {delete_mark, " DELETE MARK:  Enter letter for mark  "},
    {goto_mark, " GOTO MARK: enter letter for mark"},
  };
  for (auto c : prompts) {
    press("Esc");
    c.command();
    EXPECT_TRUE(showed(c.text)) << c.text;
    EXPECT_EQ(prompt_cache[0], 0);
  }
  press("c");
  press("Home"); // a reference is no letter: nothing set
  press("a");
  insert_mark();
  insert_mark();
  new_mark(); // D is the first free letter
  delete_mark();
  new_mark(); // A is free again, and E stays unset
  EXPECT_EQ(std::vector<int>(sw->marks, sw->marks + 5), std::vector({300, 600, 300, 300, -1}));
  for (auto [answer, at] : {std::pair{"b", 600}, {"End", 1000}, {"z", 0}, {"Home", 0}, {"Esc", 0}}) {
    goto_position(500);
    press(answer);
    goto_mark();
    EXPECT_EQ(cursor, answer == std::string("Esc") ? 500 : at) << answer;
  }
  EXPECT_EQ(prompt_cache[0], 0);
  for (int i = 0; i < NUM_LETTERS; i++)
    sw->marks[i] = i;
  new_mark(); // all letters taken: nothing moves
  EXPECT_EQ(sw->marks[NUM_LETTERS - 1], NUM_LETTERS - 1);
  sw->num_samples = 0;
  press("e");
  insert_mark(); // an empty window asks nothing and the key stays unread
  EXPECT_EQ(wait_key(), 'e');
}

TEST_F(Marks, ClickZonesAndAnswersFollowTheShownRangeAndAMillionFramesNeedNoOverflow)
{
  window_views[1].view_start = 200;
  window_views[1].view_end = 600;
  int wave = wave_y(), right = window_views[1].right;
  struct { int x, y, zone, cursor, end = 600; } cases[] = {
    {400, window_views[1].top + 14, 1, 300},
    {400, window_views[1].top + 15, 6, 200 + (400 * 398 + 397) / 795},
    {2, wave, 6, 200}, {3, wave, 6, 201}, // the nearest sample
    {right, wave, 5, 300},
    {right, wave, 4, 300, 1000},
  };
  for (auto c : cases) {
    window_views[1].view_end = c.end;
    cursor = 300;
    push_click(c.x, c.y);
    wait_key();
    EXPECT_EQ(std::vector({click_zone(), cursor}), std::vector({c.zone, c.cursor})) << c.x << "," << c.y;
  }
  // An answer by click is the sample under the pointer, or the shown range's nearer end.
  struct { int start, end, x1, x2, want1, want2, within; } answers[] = {
    {0, 1000, column(250), column(750), 250, 750, 2}, {100, 800, 0, right, 100, 800, 0},
  };
  for (auto a : answers) {
    window_views[1].view_start = a.start;
    window_views[1].view_end = a.end;
    press("click " + std::to_string(a.x1) + " " + std::to_string(wave));
    press("click " + std::to_string(a.x2) + " " + std::to_string(wave));
    ASSERT_EQ(ask_segment("PLAY"), 1);
    EXPECT_NEAR(sw->marks[MARK_SELECT1], a.want1, a.within);
    EXPECT_NEAR(sw->marks[MARK_SELECT2], a.want2, a.within);
  }
  stop_screen();
  start_screen(4000, 600);
  last_vis = 1;
  fill_window(1, std::vector<int>(MAX_FRAMES, 0));
  redraw_current();
  push_click(3000, wave_y());
  wait_key();
  EXPECT_EQ(click_zone(), 6);
  EXPECT_EQ(cursor, (int)(((long long)MAX_FRAMES * 2998 + 1997) / 3995));
}
