// The file box and the load that asks with it, in-process: queued keys run the
// box until used up; the screen as painted for the last key shows what the
// user saw then (the box is restored in the back buffer only).
#include "support/support.h"
#include <map>
#include <regex>

namespace fs = std::filesystem;

// The box as the user sees it on an 800 x 600 screen: the list has five
// columns of 16 entries; without a list and a proposal the box is 66 cells
// wide and its name field follows the 20 cells of the prompt.
static int entry_x(int k) { return (scr_width - 82 * char_width) / 2 + (16 * (k / 16) + 1) * char_width; }
static int entry_y(int k) { return (scr_height - 20 * row_height) / 2 + (4 + k % 16) * row_height; }
static int prompt_left() { return (scr_width - 66 * char_width) / 2 + char_width; }
static int prompt_y() { return (scr_height - 4 * row_height) / 2 + 3 * row_height - 3; }

// Queues keys: characters are typed, "{name}" presses a key, "{nameN}" N
// times; "{clickK}" clicks list entry K in the middle of its row, "{topK}"
// and "{lastK}" on the top and bottom pixel rows of its row.
static void keys(const std::string &script)
{
  static const std::map<std::string, int> named = {
    {"enter", PK_ENTER}, {"esc", PK_ESC}, {"tab", PK_TAB}, {"bs", PK_BACKSPACE}, {"home", PK_HOME},
    {"up", PK_UP}, {"down", PK_DOWN}, {"left", PK_LEFT}, {"right", PK_RIGHT}};
  static const std::regex token("\\{([a-z]+)(\\d*)\\}|(.)");
  for (std::sregex_iterator m(script.begin(), script.end(), token), end; m != end; ++m) {
    std::string name = (*m)[1];
    int n = (*m)[2].length() ? std::stoi((*m)[2]) : 1;
    if ((*m)[3].matched)
      push_char((unsigned char)(*m)[3].str()[0]);
    else if (name == "top" || name == "click" || name == "last")
      push_click(entry_x(n) + char_width / 2,
                 entry_y(n) - char_ascent + (name == "top" ? 0 : name == "click" ? row_height / 2 : row_height - 1));
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

// What a row expects on the screen: list entry k (its first 15 characters),
// or with k = NAME_FIELD the name field, with DIR_LINE the directory line.
enum { NAME_FIELD = -1, DIR_LINE = -2 };
struct shown { int k; std::string text; bool highlighted; };

static bool screen_has(const shown &s)
{
  if (s.k < 0)
    return screen_shows(prompt_left() + (s.k == NAME_FIELD) * 20 * char_width,
                        prompt_y() - (s.k == DIR_LINE) * (row_height + 2), s.text, box_fg, box_bg);
  std::string cell = (s.text + std::string(15, ' ')).substr(0, 15);
  return screen_shows(entry_x(s.k), entry_y(s.k), cell, s.highlighted ? box_bg : box_fg, s.highlighted ? box_fg : box_bg);
}

// The box on a buffer of exactly maxlen bytes holding the proposal (unterminated when full).
static std::string run_box(const std::string &proposal, int maxlen = 80)
{
  std::vector<char> name(maxlen);
  memcpy(name.data(), proposal.c_str(), std::min<size_t>(proposal.size() + 1, maxlen));
  file_box("Enter name of file: ", name.data(), maxlen);
  return name.data();
}

class FileBox : public FileTest {
protected:
  const std::string deep = std::string(40, 'd') + "/" + std::string(30, 'f') + ".wav"; // 75 characters
  // Empties the directory, makes the files ("sub/" a directory) and f1000,
  // f1001, ... `numbered` more, and enters `start`.
  void make(std::vector<std::string> files, int numbered = 0, const std::string &start = "")
  {
    fs::current_path(dir);
    for (auto &e : fs::directory_iterator(dir))
      fs::remove_all(e.path());
    for (int i = 0; i < numbered; i++)
      files.push_back("f" + std::to_string(1000 + i));
    for (auto &f : files)
      f.back() == '/' ? (void)fs::create_directories(f) : (void)(std::ofstream(f) << "x");
    fs::current_path(dir + "/" + start);
  }
};

TEST_F(FileBox, KeysAndClicksGiveTheNameTheScreenIsRestoredASecondBoxIsRefusedAndLoadsAsk)
{
  std::string name40 = "a_rather_long_name_that_is_forty_ch.wav", name70 = std::string(66, 'b') + ".wav";
  std::string sub30(30, 'd'), file60(60, 'f');
  std::vector<std::string> wavs = {"b.wav", "a.wav", "c.txt"}, longs = {name40, name70};
  // end: the directory the box leaves us in.
  struct { std::vector<std::string> files; int numbered; std::string start, keys, proposal, name, end;
           std::vector<shown> screen = {}; int maxlen = 80; } rows[] = {
    // A wildcard lists the matches, Tab highlights the first, Enter picks it.
    {wavs, 0, "", "*.wav{enter}{tab}{enter}", "", "a.wav", "", {{0, "a.wav", 1}, {1, "b.wav", 0}, {2, "", 0}}},
    // A directory name moves there, empties the name and keeps the box open;
    // the old list goes with it, so Tab leaves the focus in the name field.
    {{"sub/"}, 0, "sub", "..{enter}x.wav{enter}", "", "x.wav", "", {{DIR_LINE, "Current directory: ...", 0}}},
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
    // Up on the first entry (or Shift+Tab) gives the name field the focus.
    {{"a.wav"}, 0, "", "*.wav{tab}{up}{bs5}new.wav{enter}", "", "new.wav", ""},
    {{"a.wav"}, 0, "", "*.wav{tab}{stab}{esc}", "", "", "", {{0, "a.wav", 0}}},
    // Esc in the field or the list, or a closed window, gives the empty name.
    {{"a.wav"}, 0, "", "x{esc}", "keep.wav", "", ""}, {{"a.wav"}, 0, "", "*{tab}{down}{esc}", "keep.wav", "", ""},
    {{"a.wav"}, 0, "", "", "keep.wav", "", ""},
    // Long names show 15 characters in the list and are picked whole; a
    // typed name wider than the field scrolls it to keep the cursor shown.
    {longs, 0, "", "*.wav{tab}{down}{enter}", "", name70, "", {{0, name40, 0}, {1, name70, 1}}},
    {{sub30 + "/", sub30 + "/" + file60}, 0, "", sub30 + "/f*{tab}{enter}", "", file60, sub30},
    {{}, 0, "", deep + "{enter}", "", deep, "", {{NAME_FIELD, deep.substr(75 - 43) + " ", 0}}}, // 44 cells
    {{}, 0, "", deep + "{home}{enter}", "", deep, "", {{NAME_FIELD, deep.substr(0, 44), 0}}},
    // Proposals are cleaned up; a window label is no file name.
    {{}, 0, "", "{enter}", "[clip]", "", ""}, {{}, 0, "", "{enter}", "  spaced.wav  ", "spaced.wav", ""},
    // A click highlights the entry drawn under the pointer, from the top to
    // the bottom pixel row of its row.
    {{}, 20, "", "f*{enter}{click2}{click1}{esc}", "", "", "", {{1, "f1001", 1}, {2, "f1002", 0}}},
    {{}, 20, "", "f*{enter}{top17}{enter}", "", "f1017", ""}, {{}, 20, "", "f*{enter}{last17}{enter}", "", "f1017", ""},
    // The name stays within the caller's buffer, and what does not fit is not picked.
    {{}, 0, "", "{enter}", "abcdefgh", "abcdefg", "", {}, 8}, {{"longer_than_eight.wav"}, 0, "", "*.wav{tab}{enter}{esc}", "", "", "", {}, 8},
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
      EXPECT_TRUE(screen_has(s)) << r.keys << ": entry " << s.k << " " << s.text;
  }
  // The box is refused while another rectangle is saved.
  ASSERT_EQ(save_rect(0, 0, 9, 9), 0);
  push_key(PK_ESC); // read by the error message
  EXPECT_EQ(run_box("keep.wav"), "keep.wav");
  EXPECT_TRUE(showed("Problem opening filename box 1."));
  restore_rect(0, 0, 0);
  // A load without a name asks with the box: into a new window while one is free,
  // else into the current one after the DELETE question; a load that comes to
  // nothing closes the window it opened. A given name replaces without asking.
  const char *del = " DELETE current contents of window? (y/N) ", *cant = " Can't open 'c.wav'.";
  make({deep.substr(0, 41)});
  write("a.wav", make_wav(1, 1, 8000, 16, s16({1, 2, 3})));
  write("b.snd", bytes_of(".snd") + be(4, 28, 8, 3, 8000, 1, 0) + s16({1, 2, 3, 4}, true));
  write(deep, make_wav(1, 1, 8000, 16, s16({1, 2, 3, 4, 5})));
  // last: last_vis before; name null: asked for; win: the current window
  // after, frames1 and frames: the frames of window 1 and of that window.
  struct { int last; const char *name; std::string keys; int win, frames1, frames; const char *shown; int type; } loads[] = {
    {1, nullptr, "{esc}", 1, 3, 3, nullptr, FT_WAV}, {1, nullptr, "b.snd{enter}", 2, 3, 4, nullptr, FT_SND},
    {1, nullptr, "c.wav{enter}", 1, 3, 3, cant, FT_WAV},
    {1, nullptr, deep + "{enter}", 2, 3, 5, nullptr, FT_WAV}, // longer than the name field
    {5, nullptr, "n", 1, 3, 3, del, FT_WAV}, {5, nullptr, "y", 1, 0, 0, del, FT_WAV},
    {5, nullptr, "y{bs5}b.snd{enter}", 1, 4, 4, del, FT_SND}, {5, "b.snd", "", 1, 4, 4, nullptr, FT_SND},
    {5, "c.wav", "", 1, 3, 3, cant, FT_WAV}, {5, ".", "", 1, 3, 3, " Can't open '.'.", FT_WAV}, // a directory
  };
  for (auto &r : loads) {
    for (int w = 1; w < NUM_WINDOWS; w++)
      clear_window(w);
    select_window(1);
    last_vis = r.last;
    load_file("a.wav", 0);
    messages();
    quit_flag = 0;
    keys(r.keys);
    load_file(r.name ? r.name : "", 0);
    EXPECT_EQ(std::vector({cur_win, last_vis, windows[1].num_samples, win().num_samples, cur_file_type}),
              std::vector({r.win, std::max(r.last, r.win), r.frames1, r.frames, r.type})) << r.keys;
    std::vector<std::string> m = messages();
    EXPECT_EQ(std::count(m.begin(), m.end(), del), r.shown == del) << r.keys;
    EXPECT_TRUE(!r.shown || std::count(m.begin(), m.end(), r.shown) == 1) << r.keys;
    // When the keys ran out in the box, nothing was painted since.
    EXPECT_TRUE(r.keys != "y" || screen_shows(prompt_left(), prompt_y(), "Enter name of file: ", box_fg, box_bg));
  }
  no_header = 1; // every file headerless: the reader reports a missing one, once
  load_file("c.wav", 0);
  EXPECT_EQ(messages(), std::vector<std::string>{cant});
}
