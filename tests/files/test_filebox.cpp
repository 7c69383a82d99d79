// The file selection box, driven in-process on the headless screen: keys
// and clicks are queued, file_box runs until they are used up, and the
// screen as painted for the last key shows what the user saw then (the box
// is restored in the back buffer only).
#include "core/state.h"
#include "files/files.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>

namespace fs = std::filesystem;

// The list as the user sees it on an 800 x 600 screen: five columns of 16
// entries inside the frame.
static int entry_x(int k) { return (scr_width - 82 * char_width) / 2 + (16 * (k / 16) + 1) * char_width; }
static int entry_y(int k) { return (scr_height - 20 * row_height) / 2 + (4 + k % 16) * row_height; }

// Queues keys: characters are typed, "{name}" presses a key, "{nameN}" N
// times, and "{clickK}" clicks list entry K.
static void keys(const std::string &script)
{
  static const std::map<std::string, int> named = {
    {"enter", PK_ENTER}, {"esc", PK_ESC}, {"tab", PK_TAB}, {"bs", PK_BACKSPACE},
    {"up", PK_UP}, {"down", PK_DOWN}, {"left", PK_LEFT}, {"right", PK_RIGHT}};
  static const std::regex token("\\{([a-z]+)(\\d*)\\}|(.)");
  for (std::sregex_iterator m(script.begin(), script.end(), token), end; m != end; ++m) {
    std::string name = (*m)[1];
    int n = (*m)[2].length() ? std::stoi((*m)[2]) : 1;
    if ((*m)[3].matched)
      push_char((unsigned char)(*m)[3].str()[0]);
    else if (name == "click")
      push_click(entry_x(n) + char_width / 2, entry_y(n) - 8 + row_height / 2); // the box's own row rule
    else
      for (int i = 0; i < n; i++)
        name == "stab" ? push_key(PK_TAB, 1) : push_key(named.at(name));
  }
}

// True when the painted screen shows text at (x, baseline y) in fg on bg:
// the text is drawn for reference into a scratch copy of the back buffer.
static bool screen_shows(int x, int y, const std::string &text, int fg, int bg)
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

struct shown {
  int k;
  std::string name;
  bool highlighted;
};

static bool entry_shows(const shown &s)
{
  char cell[16];
  snprintf(cell, sizeof cell, "%-15.15s", s.name.c_str());
  return s.highlighted ? screen_shows(entry_x(s.k), entry_y(s.k), cell, box_bg, box_fg)
                       : screen_shows(entry_x(s.k), entry_y(s.k), cell, box_fg, box_bg);
}

// The box on a buffer of exactly maxlen bytes holding the proposal, which
// lacks its terminator when it fills the buffer.
static std::string run_box(const std::string &proposal, int maxlen = 80)
{
  std::unique_ptr<char[]> name(new char[maxlen]);
  memcpy(name.get(), proposal.c_str(), std::min<size_t>(proposal.size() + 1, maxlen));
  file_box("Enter name of file: ", name.get(), maxlen);
  return name.get();
}

class FileBox : public FileTest {
protected:
  fs::path home = fs::current_path();
  void TearDown() override
  {
    fs::current_path(home);
    FileTest::TearDown();
  }
  // Empties the directory, makes the files ("sub/" a directory) and f1000,
  // f1001, ... `numbered` more, and enters `start`.
  void make(const std::vector<std::string> &files, int numbered = 0, const std::string &start = "")
  {
    fs::current_path(dir);
    for (auto &e : fs::directory_iterator(dir))
      fs::remove_all(e.path());
    std::vector<std::string> all = files;
    for (int i = 0; i < numbered; i++)
      all.push_back("f" + std::to_string(1000 + i));
    for (auto &f : all)
      f.back() == '/' ? (void)fs::create_directories(f) : (void)(std::ofstream(f) << "x");
    fs::current_path(dir + "/" + start);
  }
};

TEST_F(FileBox, KeysAndClicksGiveTheNameAndTheScreenIsRestored)
{
  std::string name40 = "a_rather_long_name_that_is_forty_ch.wav", name70 = std::string(66, 'b') + ".wav";
  std::string sub30(30, 'd'), file60(60, 'f');
  std::vector<std::string> wavs = {"b.wav", "a.wav", "c.txt"}, longs = {name40, name70};
  struct {
    std::vector<std::string> files;
    int numbered;
    std::string start, keys, proposal, name, end; // end: the directory the box leaves us in
    std::vector<shown> screen = {};
    int maxlen = 80;
  } rows[] = {
    // A wildcard lists the matches, Tab highlights the first, Enter picks it.
    {wavs, 0, "", "*.wav{enter}{tab}{enter}", "", "a.wav", ""},
    {wavs, 0, "", "*.wav{enter}{tab}{esc}", "", "", "", {{0, "a.wav", 1}, {1, "b.wav", 0}, {2, "", 0}}},
    // A directory name moves there, empties the name and keeps the box open;
    // the old list goes with it, so Tab leaves the focus in the name field.
    {{"sub/"}, 0, "sub", "..{enter}x.wav{enter}", "", "x.wav", ""},
    {{"sub/"}, 0, "", "*{enter}{bs}sub{enter}{tab}y.wav{enter}", "", "y.wav", "sub"},
    // "*" lists "." and ".."; picking ".." moves up and lists the parent.
    {{"sub/", "sub/f1"}, 0, "sub", "*{enter}{tab}{down}{esc}", "", "", "sub", {{0, ".", 0}, {1, "..", 1}, {2, "f1", 0}}},
    {{"sub/", "sub/f1"}, 0, "sub", "*{enter}{tab}{down}{enter}{esc}", "", "", "", {{2, "sub", 0}}},
    // 100 entries with "." and "..": 80 shown, the last cell " ... "; Right
    // from the fifth column moves the list on by a column, Left back.
    {{}, 98, "", "*{enter}{esc}", "", "", "", {{78, "f1076", 0}, {79, " ... ", 0}}},
    {{}, 98, "", "*{tab}{right5}{esc}", "", "", "", {{0, " ... ", 0}, {64, "f1078", 1}, {79, " ... ", 0}}},
    {{}, 98, "", "*{tab}{right5}{left4}{esc}", "", "", "", {{0, ".", 0}, {16, "f1014", 1}}},
    {{}, 98, "", "*{tab}{right4}{down15}{esc}", "", "", "", {{0, " ... ", 0}, {63, "f1077", 1}}}, // onto " ... "
    {{}, 98, "", "*{tab}{right5}{enter}", "", "f1078", ""},
    // Up on the first entry (or Shift+Tab) gives the name field the focus.
    {{"a.wav"}, 0, "", "*.wav{tab}{up}{bs5}new.wav{enter}", "", "new.wav", ""},
    {{"a.wav"}, 0, "", "*.wav{tab}{stab}{esc}", "", "", "", {{0, "a.wav", 0}}},
    // Esc in the field or the list, or a closed window, gives the empty name.
    {{"a.wav"}, 0, "", "x{esc}", "keep.wav", "", ""},
    {{"a.wav"}, 0, "", "*{tab}{down}{esc}", "keep.wav", "", ""},
    {{"a.wav"}, 0, "", "", "keep.wav", "", ""},
    {{}, 98, "", "*{tab}{right4}{down3}{esc}", "", "", "", {{67, "f1065", 1}}},
    // Long names show 15 characters and are picked whole.
    {longs, 0, "", "*.wav{tab}{esc}", "", "", "", {{0, name40, 1}, {1, name70, 0}}},
    {longs, 0, "", "*.wav{tab}{enter}", "", name40, ""},
    {longs, 0, "", "*.wav{tab}{down}{enter}", "", name70, ""},
    {{sub30 + "/", sub30 + "/" + file60}, 0, "", sub30 + "/f*{tab}{enter}", "", file60, sub30},
    // Proposals are cleaned up; a window label is no file name.
    {{}, 0, "", "{enter}", "[clip]", "", ""},
    {{}, 0, "", "{enter}", "  spaced.wav  ", "spaced.wav", ""},
    // A click highlights the entry under the pointer.
    {{}, 20, "", "f*{enter}{click17}{enter}", "", "f1017", ""},
    {{}, 20, "", "f*{enter}{click2}{click1}{esc}", "", "", "", {{1, "f1001", 1}, {2, "f1002", 0}}},
    // The name stays within the caller's buffer, and what does not fit is not picked.
    {{}, 0, "", "{enter}", "abcdefgh", "abcdefg", "", {}, 8},
    {{"longer_than_eight.wav"}, 0, "", "*.wav{tab}{enter}{esc}", "", "", "", {}, 8},
  };
  for (int y = 0; y < scr_height; y += 7) // a pattern the box covers
    fill_rect(0, y, scr_width - 1, y + 2, y % 16);
  clear_prompt();
  std::vector<uint32_t> before(back_buffer, back_buffer + scr_width * scr_height);
  for (auto &r : rows) {
    make(r.files, r.numbered, r.start);
    quit_flag = 0;
    keys(r.keys);
    EXPECT_EQ(run_box(r.proposal, r.maxlen), r.name) << r.keys;
    EXPECT_TRUE(std::equal(before.begin(), before.end(), back_buffer)) << r.keys << ": the screen is restored";
    EXPECT_EQ(fs::current_path(), fs::path(dir + (r.end.empty() ? "" : "/" + r.end))) << r.keys;
    for (const shown &s : r.screen)
      EXPECT_TRUE(entry_shows(s)) << r.keys << ": entry " << s.k << " " << s.name;
  }
}

TEST_F(FileBox, OpeningIsRefusedWhileAnotherRectangleIsSaved)
{
  ASSERT_EQ(save_rect(0, 0, 9, 9), 0);
  push_key(PK_ESC); // read by the error message
  EXPECT_EQ(run_box("keep.wav"), "keep.wav");
  EXPECT_TRUE(screen_shows(prompt_x, graph_bottom, "Problem opening filename box 1.", prompt_fg, prompt_bg));
  restore_rect(0, 0, 0);
}
