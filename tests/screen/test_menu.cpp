// One-line menus: typed keys, clicks on items and between them, typed-ahead
// keys and the 80-character cut.
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

const char *const top[] = {"File", "Edit", "Modify", "Trans", "Calc", "Input", "Play",
                           "View", "Window", "Set", "Help", ""};

struct Menu : ::testing::Test {
  void SetUp() override { start_screen(); }
  void TearDown() override { stop_screen(); }
};

// x in the middle of the item that starts at character column `col`.
int item_x(int col) { return 8 * col + 8 + 4; }

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
}

TEST_F(Menu, ClicksOnTheLineSelectItemsAndBetweenThemFallThrough)
{
  // " Tarvo: " is 8 characters: "File" starts at column 9 behind its blank.
  push_click(8 * 8 + 8, graph_bottom);
  EXPECT_EQ(menu_select("Tarvo", top), 'F');
  push_click(8 * (8 + 4) + 8, graph_bottom - 8);
  EXPECT_EQ(menu_select("Tarvo", top), 'F');
  // " File " ends at column 14; " Edit " item range starts at 8*14+8.
  push_click(8 * 14 + 8 + 20, graph_bottom - 3);
  EXPECT_EQ(menu_select("Tarvo", top), 'E');
  // The blank between "File" (up to x 104) and "Edit" (from x 120).
  push_click(112, graph_bottom);
  EXPECT_EQ(menu_select("Tarvo", top), 513);
  // The blank after "Help" lies beyond every item.
  push_click(8 * 79 + 8, graph_bottom);
  EXPECT_EQ(menu_select("Tarvo", top), 513);
  // Outside the line's rows a click is just a click.
  push_click(item_x(9), graph_bottom - 9);
  EXPECT_EQ(menu_select("Tarvo", top), 513);
  push_click(item_x(9), graph_bottom + 1);
  EXPECT_EQ(menu_select("Tarvo", top), 513);
  push_click(item_x(9), graph_bottom, 1);
  EXPECT_EQ(menu_select("Tarvo", top), 514);
}

TEST_F(Menu, ATypedAheadKeyIsReturnedWithoutDrawing)
{
  key_slot = 'e';
  EXPECT_EQ(menu_select("Tarvo", top), 'E');
  EXPECT_STREQ(prompt_cache, "");
}

TEST_F(Menu, DigitItemsAnswerTypedAndClicked)
{
  const char *const bits[] = {"1", "2", "4", "8", ""};
  const char *const codes[] = {"0-unsigned", "1-signed", "2-mulaw", ""};
  push_char('4');
  EXPECT_EQ(menu_select("BYTES", bits), 52);
  // " BYTES: " is 8 characters; items " 1 " " 2 " " 4 " " 8 ".
  push_click(8 * 14 + 8, graph_bottom);
  EXPECT_EQ(menu_select("BYTES", bits), 52);
  push_click(8 * (8 + 3 * 3) + 8, graph_bottom);
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
  // Where "E..." would stand, a click hits nothing.
  push_click(8 * 74 + 8, graph_bottom);
  EXPECT_EQ(menu_select("M", many), 513);
}

TEST_F(Menu, KeyHintsStandAtTheRightEndOfTheStatusLine)
{
  push_char('x');
  menu_select("Tarvo", top);
  int x0 = scr_width - 13 * char_width;
  // The hint cells are painted; the cell left of them is not.
  int y = text_bottom - char_ascent + 4;
  bool ink = false;
  for (int x = x0; x < scr_width; x++)
    ink |= back_buffer[y * scr_width + x] == palette[hint_fg];
  EXPECT_TRUE(ink);
}

} // namespace
