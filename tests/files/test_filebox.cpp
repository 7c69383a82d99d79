// The file selection box, driven in-process on the headless screen: keys
// and clicks are queued as a keyboard and mouse send them, file_box runs
// until they are used up, and the screen as painted for the last key shows
// what the user saw then (the box is restored in the back buffer only).
#include "core/state.h"
#include "files/files.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

void push(int type, int key = 0, int ch = 0, int x = 0, int y = 0)
{
  platform_event ev = {type, key, ch, x, y};
  headless_push_event(&ev);
}

// One key press: key down, the character it types (if any), key up.
void press(int pk, int ch = 0)
{
  push(EV_KEYDOWN, pk);
  if (ch)
    push(EV_CHAR, 0, ch);
  push(EV_KEYUP, pk);
}

void type(const char *text)
{
  for (; *text; text++)
    push(EV_CHAR, 0, (unsigned char)*text);
}

void enter() { press(PK_ENTER, 13); }
void esc() { press(PK_ESC, 27); }
void tab() { press(PK_TAB, 9); }
void shift_tab()
{
  push(EV_KEYDOWN, PK_SHIFT);
  tab();
  push(EV_KEYUP, PK_SHIFT);
}
void keys(int pk, int times)
{
  for (int i = 0; i < times; i++)
    press(pk);
}

// The box with its list, as the user sees it on an 800 x 600 screen:
// five columns of 16 entries inside the frame.
int list_left() { return (scr_width - 82 * char_width) / 2; }
int list_top() { return (scr_height - 20 * row_height) / 2; }
int entry_x(int k) { return list_left() + (16 * (k / 16) + 1) * char_width; }
int entry_y(int k) { return list_top() + (4 + k % 16) * row_height; }

void click_entry(int k)
{
  int x = entry_x(k) + char_width / 2;
  int y = entry_y(k) - 8 + row_height / 2; // the box's own row rule
  push(EV_MOUSEMOVE, 0, 0, x, y);
  push(EV_LBUTTON, 0, 0, x, y);
}

// True when the painted screen shows text at (x, baseline y) in fg on bg:
// the text is drawn for reference into a scratch copy of the back buffer.
bool screen_shows(int x, int y, const std::string &text, int fg, int bg)
{
  std::vector<uint32_t> keep(back_buffer, back_buffer + scr_width * scr_height);
  set_text_colors(fg, bg);
  draw_text(x, y, text.c_str());
  bool same = true;
  for (int r = y - char_ascent; r < y - char_ascent + row_height - 2; r++)
    for (int c = x; c < x + (int)text.size() * char_width; c++)
      same = same && back_buffer[r * scr_width + c] == headless_screen()[r * scr_width + c];
  std::copy(keep.begin(), keep.end(), back_buffer);
  return same;
}

bool entry_shows(int k, const char *name, bool highlighted)
{
  char cell[16];
  snprintf(cell, sizeof cell, "%-15.15s", name);
  return highlighted ? screen_shows(entry_x(k), entry_y(k), cell, box_bg, box_fg)
                     : screen_shows(entry_x(k), entry_y(k), cell, box_fg, box_bg);
}

std::string run_box(const char *proposal, int maxlen = 80)
{
  char name[80];
  snprintf(name, sizeof name, "%s", proposal);
  file_box("Enter name of file: ", name, maxlen);
  return name;
}

class FileBox : public ::testing::Test {
protected:
  fs::path home, dir;

  void SetUp() override
  {
    scr_width = 800;
    scr_height = 600;
    ASSERT_TRUE(headless_start(scr_width, scr_height));
    prepare_surface();
    init_windows();
    quit_flag = key_slot = shift_down = ctrl_down = 0;
    home = fs::current_path();
    const char *tmp = getenv("TARVO_TEST_TMP");
    dir = fs::path(tmp && *tmp ? tmp : "/tmp/tarvo_test") /
          (std::string("filebox_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
  }
  void TearDown() override
  {
    fs::current_path(home);
    fs::remove_all(dir);
    free_all_samples();
  }
  static void make_file(const fs::path &p) { std::ofstream(p) << "x"; }
};

TEST_F(FileBox, WildcardListsThenTabHighlightsAndEnterPicksTheFirst)
{
  make_file("b.wav");
  make_file("a.wav");
  make_file("c.txt");
  type("*.wav"), enter(), tab(), enter();
  EXPECT_EQ(run_box(""), "a.wav");

  type("*.wav"), enter(), tab(), esc();
  EXPECT_EQ(run_box(""), "");
  EXPECT_TRUE(entry_shows(0, "a.wav", true));
  EXPECT_TRUE(entry_shows(1, "b.wav", false));
  EXPECT_TRUE(entry_shows(2, "", false)) << "c.txt does not match";
}

TEST_F(FileBox, DirectoryNameMovesThereEmptiesTheNameAndKeepsTheBoxOpen)
{
  fs::create_directory("sub");
  fs::current_path("sub");
  type(".."), enter(), type("x.wav"), enter();
  EXPECT_EQ(run_box(""), "x.wav");
  EXPECT_EQ(fs::current_path(), dir);

  // The list of the old directory is gone with it: Tab finds no entry to
  // highlight, and the name field keeps the focus.
  type("*"), enter(), press(PK_BACKSPACE, 8), type("sub"), enter(), tab(), type("y.wav"), enter();
  EXPECT_EQ(run_box(""), "y.wav");
  EXPECT_EQ(fs::current_path(), dir / "sub");
}

TEST_F(FileBox, StarListsDotEntriesAndPickingDotDotMovesUpAndRelists)
{
  fs::create_directory("sub");
  make_file("sub/f1");
  fs::current_path("sub");
  type("*"), enter(), tab(), press(PK_DOWN), esc();
  EXPECT_EQ(run_box(""), "");
  EXPECT_TRUE(entry_shows(0, ".", false));
  EXPECT_TRUE(entry_shows(1, "..", true));
  EXPECT_TRUE(entry_shows(2, "f1", false));

  type("*"), enter(), tab(), press(PK_DOWN), enter(), esc();
  EXPECT_EQ(run_box(""), "");
  EXPECT_EQ(fs::current_path(), dir);
  EXPECT_TRUE(entry_shows(2, "sub", false)) << "the parent is listed with \"*\"";
}

TEST_F(FileBox, HundredEntriesListEightyAndScrollByColumns)
{
  for (int i = 0; i < 98; i++) // with "." and "..": 100 entries
    make_file(dir / ("f" + std::to_string(1000 + i)));
  type("*"), enter(), esc();
  run_box("");
  EXPECT_TRUE(entry_shows(78, "f1076", false));
  EXPECT_TRUE(entry_shows(79, " ... ", false));

  // Right from the fifth column moves the list on by one column.
  type("*"), tab(), keys(PK_RIGHT, 5), esc();
  run_box("");
  EXPECT_TRUE(entry_shows(0, " ... ", false));
  EXPECT_TRUE(entry_shows(64, "f1078", true)) << "directory entry 80";
  EXPECT_TRUE(entry_shows(79, " ... ", false)) << "96 of 100 shown: more follow";

  // Back before the first column moves it back; the pick is the entry shown.
  type("*"), tab(), keys(PK_RIGHT, 5), keys(PK_LEFT, 4), esc();
  run_box("");
  EXPECT_TRUE(entry_shows(0, ".", false));
  EXPECT_TRUE(entry_shows(16, "f1014", true));

  type("*"), tab(), keys(PK_RIGHT, 5), enter();
  EXPECT_EQ(run_box(""), "f1078");
}

TEST_F(FileBox, UpOnTheFirstEntryGivesTheNameFieldTheFocus)
{
  make_file("a.wav");
  // Were the list still in focus, Backspace and letters would do nothing
  // and Enter would pick a.wav.
  type("*.wav"), tab(), press(PK_UP);
  for (int i = 0; i < 5; i++)
    press(PK_BACKSPACE, 8);
  type("new.wav"), enter();
  EXPECT_EQ(run_box(""), "new.wav");

  type("*.wav"), tab(), shift_tab(), esc();
  EXPECT_EQ(run_box(""), "");
  EXPECT_TRUE(entry_shows(0, "a.wav", false)) << "no highlight left behind";
}

TEST_F(FileBox, EscapeInTheFieldOrTheListGivesTheEmptyName)
{
  make_file("a.wav");
  type("x"), esc();
  EXPECT_EQ(run_box("keep.wav"), "");
  type("*"), tab(), press(PK_DOWN), esc();
  EXPECT_EQ(run_box("keep.wav"), "");
  EXPECT_EQ(run_box("keep.wav"), "") << "a closed window ends the box as Esc does";
  quit_flag = 0;
}

TEST_F(FileBox, LongNamesShowFifteenCharactersAndArePickedWhole)
{
  std::string name40 = "a_rather_long_name_that_is_forty_ch.wav";
  std::string name70(66, 'b');
  name70 += ".wav";
  make_file(name40);
  make_file(name70);
  type("*.wav"), tab(), esc();
  run_box("");
  EXPECT_TRUE(entry_shows(0, name40.substr(0, 15).c_str(), true));
  EXPECT_TRUE(entry_shows(1, name70.substr(0, 15).c_str(), false));

  type("*.wav"), tab(), enter();
  EXPECT_EQ(run_box(""), name40);
  type("*.wav"), tab(), press(PK_DOWN), enter();
  EXPECT_EQ(run_box(""), name70);
}

TEST_F(FileBox, PickedNameTooLongWithItsDirectoryEntersTheDirectory)
{
  std::string sub(30, 'd'), file(60, 'f');
  fs::create_directory(sub);
  make_file(fs::path(sub) / file);
  type((sub + "/f*").c_str()), tab(), enter();
  EXPECT_EQ(run_box(""), file);
  EXPECT_EQ(fs::current_path(), dir / sub);
}

TEST_F(FileBox, NameStaysWithinTheCallersBuffer)
{
  make_file("longer_than_eight.wav");
  // A proposal that fills the buffer without a terminator.
  char *name = (char *)malloc(8);
  memcpy(name, "abcdefgh", 8);
  enter();
  file_box("Enter name of file: ", name, 8);
  EXPECT_STREQ(name, "abcdefg");
  // A picked name that does not fit is not picked.
  type("*.wav"), tab(), enter(), esc();
  name[0] = 0;
  file_box("Enter name of file: ", name, 8);
  EXPECT_STREQ(name, "");
  free(name);
}

TEST_F(FileBox, ProposalsAreCleanedUp)
{
  enter();
  EXPECT_EQ(run_box("[clip]"), "") << "a window label is no file name";
  enter();
  EXPECT_EQ(run_box("  spaced.wav  "), "spaced.wav");
}

TEST_F(FileBox, ClickHighlightsTheEntryUnderThePointer)
{
  for (int i = 0; i < 20; i++)
    make_file(dir / ("w" + std::to_string(100 + i) + ".wav"));
  type("*.wav"), enter(), click_entry(17), enter();
  EXPECT_EQ(run_box(""), "w117.wav") << "second column, second row";
  type("*.wav"), enter(), click_entry(2), click_entry(1), esc();
  run_box("");
  EXPECT_TRUE(entry_shows(1, "w101.wav", true));
  EXPECT_TRUE(entry_shows(2, "w102.wav", false));
}

TEST_F(FileBox, OpeningIsRefusedWhileAnotherRectangleIsSaved)
{
  ASSERT_EQ(save_rect(0, 0, 9, 9), 0);
  esc(); // read by the error message
  EXPECT_EQ(run_box("keep.wav"), "keep.wav");
  EXPECT_TRUE(screen_shows(prompt_x, graph_bottom, "Problem opening filename box 1.", prompt_fg, prompt_bg));
  restore_rect(0, 0, 0);
}

TEST_F(FileBox, ClosingRestoresTheScreenExactly)
{
  for (int i = 0; i < 98; i++)
    make_file(dir / ("f" + std::to_string(1000 + i)));
  for (int y = 0; y < scr_height; y += 7) // a pattern the box covers
    fill_rect(0, y, scr_width - 1, y + 2, y % 16);
  clear_prompt();
  std::vector<uint32_t> before(back_buffer, back_buffer + scr_width * scr_height);
  type("*"), tab(), keys(PK_RIGHT, 4), keys(PK_DOWN, 3), esc();
  run_box("");
  EXPECT_TRUE(entry_shows(67, "f1065", true)) << "the fifth column is shown";
  EXPECT_TRUE(std::equal(before.begin(), before.end(), back_buffer));
}

} // namespace
