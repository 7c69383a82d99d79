// The prompt and status lines and the one-line editor.
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Prompt : ::testing::Test {
  void SetUp() override { start_screen(); }
  void TearDown() override { stop_screen(); }
};

std::vector<uint32_t> prompt_row()
{
  int y0 = graph_bottom - char_ascent;
  return std::vector<uint32_t>(back_buffer + y0 * scr_width, back_buffer + (y0 + row_height) * scr_width);
}

// Edits an initially empty buffer with the given events; returns the key
// that ended the editing.
int edit(char *buf, int maxlen)
{
  show_prompt("Answer: ");
  buf[0] = 0;
  return edit_line(buf, maxlen);
}

TEST_F(Prompt, ShowingTheSameTextAgainDrawsNothing)
{
  show_prompt("Hello");
  fill_rect(0, graph_bottom - 5, 3, graph_bottom - 5, 12); // a scribble on the line
  auto with_scribble = prompt_row();
  show_prompt("Hello");
  EXPECT_EQ(prompt_row(), with_scribble);
  show_prompt("Hi");
  EXPECT_STREQ(prompt_cache, "Hi");
  EXPECT_NE(prompt_row(), with_scribble);
  show_prompt("Hello");
  auto hello = prompt_row();
  clear_prompt();
  show_prompt("Hello");
  EXPECT_EQ(prompt_row(), hello);
}

TEST_F(Prompt, ShorterStatusTextLeavesNoOldCharacters)
{
  show_status("abcdefgh");
  show_status("xy");
  auto mixed = std::vector<uint32_t>(back_buffer, back_buffer + scr_width * scr_height);
  clear_status();
  show_status("xy");
  auto clean = std::vector<uint32_t>(back_buffer, back_buffer + scr_width * scr_height);
  EXPECT_EQ(mixed, clean);
}

TEST_F(Prompt, FullBufferDropsCharactersAndTheUnderline)
{
  char buf[80];
  push_text("abcdef");
  push_key(PK_ENTER);
  EXPECT_EQ(edit(buf, 5), 13);
  EXPECT_STREQ(buf, "abcd");
}

TEST_F(Prompt, EditingKeysMoveInsertAndCut)
{
  char buf[80];
  push_text("ac");
  push_key(PK_LEFT);
  push_text("b");
  push_key(PK_ENTER);
  EXPECT_EQ(edit(buf, 80), 13);
  EXPECT_STREQ(buf, "abc");

  push_text("abc");
  push_key(PK_HOME);
  push_char(11); // Ctrl-K
  push_key(PK_ENTER);
  edit(buf, 80);
  EXPECT_STREQ(buf, "");

  push_text("abcd");
  push_char(2); push_char(2); // Ctrl-B twice: position 2
  push_char(21);              // Ctrl-U
  push_text("X");
  push_key(PK_ENTER);
  edit(buf, 80);
  EXPECT_STREQ(buf, "Xcd");

  push_text("abcd");
  push_char(1);         // Ctrl-A
  push_key(PK_DELETE);  // delete at the position
  push_char(5);         // Ctrl-E
  push_key(PK_BACKSPACE);
  push_char(6);         // Ctrl-F at the end: no move
  push_char(127);
  push_key(PK_ENTER);
  edit(buf, 80);
  EXPECT_STREQ(buf, "b");
}

TEST_F(Prompt, EndingKeys)
{
  char buf[80];
  push_text("abc");
  push_key(PK_ESC);
  EXPECT_EQ(edit(buf, 80), 27);
  EXPECT_STREQ(buf, "");

  push_text("abc");
  push_click(10, 10, 1);
  EXPECT_EQ(edit(buf, 80), 13);
  EXPECT_STREQ(buf, "abc");

  push_text("abc");
  push_char(10);
  EXPECT_EQ(edit(buf, 80), 13);

  push_text("abc");
  push_key(PK_TAB);
  EXPECT_EQ(edit(buf, 80), 9);
  EXPECT_STREQ(buf, "abc");

  push_key(PK_F1);
  EXPECT_EQ(edit(buf, 80), 315);

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
  push_char('y');
  EXPECT_TRUE(ask_yes());
  push_char('Y');
  EXPECT_TRUE(ask_yes());
  push_click(1, 1, 1);
  EXPECT_TRUE(ask_yes());
  push_char('n');
  EXPECT_FALSE(ask_yes());
  push_key(PK_ENTER);
  EXPECT_FALSE(ask_yes());
  push_key(PK_ESC);
  EXPECT_FALSE(ask_yes());
}

TEST_F(Prompt, ShowErrorWaitsForAKeyAndClearsTheLine)
{
  push_char('x');
  show_error(" Memory allocation error. ");
  EXPECT_STREQ(prompt_cache, "");
  EXPECT_EQ(key_slot, 0);
}

} // namespace
