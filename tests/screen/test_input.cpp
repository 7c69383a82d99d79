// Keyboard and mouse input: platform events to key codes, one-line menus,
// the prompt and status lines and the one-line editor.
#include "core/state.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Input : ::testing::Test {
  void SetUp() override { start_screen(); }
  void TearDown() override { stop_screen(); }
};
using Keys = Input;
using Menu = Input;
using Prompt = Input;

TEST_F(Keys, CursorAndFunctionKeysFollowTheModifiers)
{
  struct { int key, shift, ctrl, code; } cases[] = {
    {PK_LEFT, 0, 0, 331}, {PK_LEFT, 1, 0, 52}, {PK_LEFT, 0, 1, 371}, {PK_LEFT, 1, 1, 371},
    {PK_RIGHT, 0, 0, 333}, {PK_RIGHT, 1, 0, 54}, {PK_RIGHT, 1, 1, 372},
    {PK_HOME, 0, 0, 327}, {PK_HOME, 0, 1, 375}, {PK_END, 0, 0, 335}, {PK_END, 0, 1, 373},
    {PK_UP, 0, 0, 328}, {PK_DOWN, 0, 0, 336}, {PK_PGUP, 0, 0, 329}, {PK_PGDN, 0, 0, 337},
    {PK_INSERT, 0, 0, 338}, {PK_DELETE, 0, 0, 339},
    {PK_F1, 0, 0, 315}, {PK_F8, 0, 0, 322},
    {PK_TAB, 0, 0, 9}, {PK_TAB, 1, 0, 271}, {PK_ENTER, 0, 0, 13}, {PK_ESC, 0, 0, 27},
  };
  for (auto c : cases) {
    push_key(c.key, c.shift, c.ctrl);
    EXPECT_EQ(wait_key(), c.code) << "key " << c.key << " shift " << c.shift << " ctrl " << c.ctrl;
  }
  // Keys beyond F8 make no code; the releases after the last key are seen too.
  push_key(PK_F9);
  push_key(PK_F12);
  push_char('z');
  EXPECT_EQ(wait_key(), 'z');
  EXPECT_EQ(shift_down, 0);
  EXPECT_EQ(ctrl_down, 0);
}

TEST_F(Keys, CtrlCAndClosingTheWindowSetTheQuitFlag)
{
  push_char(3);
  EXPECT_EQ(wait_key(), 3);
  EXPECT_EQ(quit_flag, 1);
  quit_flag = 0;
  platform_event ev = {EV_CLOSE, 0, 0, 0, 0};
  headless_push_event(&ev);
  EXPECT_EQ(wait_key(), 3);
  EXPECT_EQ(quit_flag, 1);
  EXPECT_EQ(wait_key(), 3); // once closed it stays closed: a later wait does not hang
}

TEST_F(Keys, MouseMovesAreNoKeysButClicksReportTheLastPosition)
{
  push_move(10, 20);
  push_move(30, 40);
  push_click(300, 200);
  EXPECT_EQ(wait_key(), 513);
  int x, y;
  get_mouse(&x, &y);
  EXPECT_EQ(x, 300);
  EXPECT_EQ(y, 200);
  push_click(5, 6, 1);
  EXPECT_EQ(wait_key(), 514);
}

TEST_F(Keys, ANewKeyOverwritesOneNotYetTakenAndPeekingLeavesIt)
{
  platform_event a = {EV_CHAR, 0, 'a', 0, 0}, b = {EV_CHAR, 0, 'b', 0, 0};
  window_proc(&a);
  window_proc(&b);
  EXPECT_EQ(poll_key(), 'b');
  EXPECT_EQ(poll_key(), 'b');
  EXPECT_EQ(peek_key(), 'b');
  EXPECT_EQ(wait_key(), 'b');
  EXPECT_EQ(key_slot, 0);
  push_char('q');
  EXPECT_EQ(wait_key_pending(), 'q');
  EXPECT_EQ(wait_key(), 'q');
}

TEST_F(Keys, ABusyProgramSeesKeysOnlyAfterItsTimerWaits)
{
  push_char('a');
  EXPECT_EQ(poll_key(), 0);
  wait_timer(1, 8000); // under a millisecond: returns at once, lets nothing through
  EXPECT_EQ(poll_key(), 0);
  wait_timer(1000, 8000);
  EXPECT_EQ(poll_key(), 'a');
}

const char *const top[] = {"File", "Edit", "Modify", "Trans", "Calc", "Input", "Play",
                           "View", "Window", "Set", "Help", ""};

TEST_F(Menu, TypedKeysComeBackUpperCasedWhetherOrNotAnItemHasThem)
{
  for (int ch : {'f', 'F', 'x', '1'}) {
    push_char(ch);
    EXPECT_EQ(menu_select("Tarvo", top), toupper(ch));
  }
  push_key(PK_ESC);
  EXPECT_EQ(menu_select("Tarvo", top), 27);
  push_key(PK_F1);
  EXPECT_EQ(menu_select("Tarvo", top), 315);
  EXPECT_STREQ(prompt_cache, " Tarvo:  File  Edit  Modify  Trans  Calc  Input  Play  View  Window  Set  Help ");
  // The hint cells at the right end of the status line are painted.
  bool ink = false;
  for (int x = scr_width - 13 * char_width; x < scr_width; x++)
    ink |= back_buffer[(text_bottom - char_ascent + 4) * scr_width + x] == palette[hint_fg];
  EXPECT_TRUE(ink);
}

TEST_F(Menu, ClicksOnTheLineSelectItemsAndBetweenThemFallThrough)
{
  // " Tarvo: " is 8 characters: " File " spans x 72..104, " Edit " 120..152.
  int b = graph_bottom;
  struct { int x, y, right, code; } clicks[] = {
    {72, b, 0, 'F'}, {104, b - 8, 0, 'F'}, {140, b - 3, 0, 'E'},
    {112, b, 0, 513},           // the blank between "File" and "Edit"
    {8 * 79 + 8, b, 0, 513},    // the blank after "Help", beyond every item
    {84, b - 9, 0, 513}, {84, b + 1, 0, 513}, // outside the line's rows a click is just a click
    {84, b, 1, 514},
  };
  for (auto c : clicks) {
    push_click(c.x, c.y, c.right);
    EXPECT_EQ(menu_select("Tarvo", top), c.code) << c.x << "," << c.y;
  }
}

TEST_F(Menu, ATypedAheadKeyIsReturnedWithoutDrawing)
{
  key_slot = 'e';
  EXPECT_EQ(menu_select("Tarvo", top), 'E');
  EXPECT_STREQ(prompt_cache, "");
}

TEST_F(Menu, DigitItemsAnswerTypedAndClicked)
{
  const char *const bits[] = {"1", "2", "4", "8", ""}, *const codes[] = {"0-unsigned", "1-signed", "2-mulaw", ""};
  push_char('4');
  EXPECT_EQ(menu_select("BYTES", bits), 52);
  // " BYTES: " is 8 characters; items " 1 " " 2 " " 4 " " 8 ".
  push_click(8 * 14 + 8, graph_bottom);
  EXPECT_EQ(menu_select("BYTES", bits), 52);
  push_click(8 * 17 + 8, graph_bottom);
  EXPECT_EQ(menu_select("BYTES", bits), 56);
  push_click(8 * 8 + 8, graph_bottom);
  EXPECT_EQ(menu_select("CODE", codes), 48);
  push_char('2');
  EXPECT_EQ(menu_select("CODE", codes), 50);
}

TEST_F(Menu, ItemsBeyondEightyCharactersAreNotShownNorClickable)
{
  const char *const many[] = {"Aaaaaaaaaaaaaaa", "Bbbbbbbbbbbbbbb", "Ccccccccccccccc",
                              "Ddddddddddddddd", "Eeeeeeeeeeeeeee", "Fffffffffffffff", ""};
  push_char('e');
  EXPECT_EQ(menu_select("M", many), 'E');
  std::string shown = prompt_cache;
  EXPECT_EQ(shown.size(), 72u); // " M: " and four items of 17 characters
  EXPECT_NE(shown.find("Dddd"), std::string::npos);
  EXPECT_EQ(shown.find("Eeee"), std::string::npos);
  push_click(8 * 74 + 8, graph_bottom); // where "E..." would stand
  EXPECT_EQ(menu_select("M", many), 513);
}

std::vector<uint32_t> rows(int y0, int count)
{
  return std::vector<uint32_t>(back_buffer + y0 * scr_width, back_buffer + (y0 + count) * scr_width);
}

TEST_F(Prompt, SameTextDrawsNothingAndShorterTextLeavesNoOldCharacters)
{
  int y0 = graph_bottom - char_ascent;
  show_prompt("Hello");
  fill_rect(0, graph_bottom - 5, 3, graph_bottom - 5, 12); // a scribble on the line
  auto with_scribble = rows(y0, row_height);
  show_prompt("Hello");
  EXPECT_EQ(rows(y0, row_height), with_scribble);
  show_prompt("Hi");
  EXPECT_STREQ(prompt_cache, "Hi");
  EXPECT_NE(rows(y0, row_height), with_scribble);
  show_prompt("Hello");
  auto hello = rows(y0, row_height);
  clear_prompt();
  show_prompt("Hello");
  EXPECT_EQ(rows(y0, row_height), hello);

  show_status("abcdefgh");
  show_status("xy");
  auto mixed = rows(0, scr_height);
  clear_status();
  show_status("xy");
  EXPECT_EQ(rows(0, scr_height), mixed);
}

// Events written as a string: characters are typed, K(key) is a platform key,
// RCLICK a right click.
std::string K(int platform_key) { return std::string(1, (char)(0x80 + platform_key)); }
const std::string RCLICK = "\xff";

void play(const std::string &events)
{
  for (unsigned char e : events) {
    if (e == 0xff)
      push_click(10, 10, 1);
    else if (e >= 0x80)
      push_key(e - 0x80);
    else
      push_char(e);
  }
}

TEST_F(Prompt, EditLineKeyTable)
{
  struct { std::string events; int maxlen, end; const char *text; } cases[] = {
    {"abcdef" + K(PK_ENTER), 5, 13, "abcd"}, // a full buffer drops characters
    {"ac" + K(PK_LEFT) + "b" + K(PK_ENTER), 80, 13, "abc"},
    {"abc" + K(PK_HOME) + "\x0b" + K(PK_ENTER), 80, 13, ""},  // Ctrl-K cuts to the end
    {"abcd\x02\x02\x15X" + K(PK_ENTER), 80, 13, "Xcd"},       // Ctrl-B twice, Ctrl-U cuts to the start
    // Ctrl-A, delete at the position, Ctrl-E, backspace, Ctrl-F at the end, DEL.
    {"abcd\x01" + K(PK_DELETE) + "\x05" + K(PK_BACKSPACE) + "\x06\x7f" + K(PK_ENTER), 80, 13, "b"},
    {"abc" + K(PK_ESC), 80, 27, ""},
    {"abc" + RCLICK, 80, 13, "abc"},
    {"abc\n", 80, 13, "abc"},
    {"abc" + K(PK_TAB), 80, 9, "abc"},
    {K(PK_F1), 80, 315, ""},
  };
  for (const auto &c : cases) {
    play(c.events);
    char buf[80] = "";
    show_prompt("Answer: ");
    EXPECT_EQ(edit_line(buf, c.maxlen), c.end) << c.text;
    EXPECT_STREQ(buf, c.text);
  }
  char buf[80];
  EXPECT_EQ(edit_line(nullptr, 80), 0);
  EXPECT_EQ(edit_line(buf, 0), 0);
}

TEST_F(Prompt, PromptInputTakesNoAnswerFromALeftClick)
{
  char buf[80];
  push_text("12");
  push_click(5, 5);
  prompt_input(" Value ?  ", buf, 80);
  EXPECT_STREQ(buf, "");
  EXPECT_STREQ(prompt_cache, "");
  push_text("12");
  push_key(PK_ENTER);
  prompt_input(" Value ?  ", buf, 80);
  EXPECT_STREQ(buf, "12");
}

TEST_F(Prompt, AskYesAcceptsOnlyYesAndTheRightButton)
{
  std::pair<std::string, bool> answers[] = {{"y", true}, {"Y", true}, {RCLICK, true},
                                            {"n", false}, {K(PK_ENTER), false}, {K(PK_ESC), false}};
  for (const auto &[events, yes] : answers) {
    play(events);
    EXPECT_EQ(ask_yes(), yes) << (int)(unsigned char)events[0];
  }
}

TEST_F(Prompt, ShowErrorWaitsForAKeyAndClearsTheLine)
{
  push_char('x');
  show_error(" Memory allocation error. ");
  EXPECT_STREQ(prompt_cache, "");
  EXPECT_EQ(key_slot, 0);
}

} // namespace
