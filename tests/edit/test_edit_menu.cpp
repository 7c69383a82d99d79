// The Edit menu on a window in process: what every edit leaves of the
// signal, its slots, the cursor, the shown range and the clip window.
#include "support/support.h"

// Window w gets n x channels values base, base+1, ... and fresh slots.
static void make_signal(int w, int n, int channels, int base, int bits = 16, int zero = 0)
{
  fill_window(w, frames(n * channels, 1, [=](int i, int) { return base + i; }), channels, 10000, bits, zero);
  reset_marks(w);
}

// The values of window w as runs: "a-b" counting up, "v*k" repeated, "v".
static std::string runs(int w)
{
  const int16_t *s = windows[w].samples;
  std::string out;
  for (int i = 0, j, n = windows[w].num_samples * windows[w].channels; i < n; i = j) {
    for (j = i + 1; j < n && s[j] == s[i] + (j - i); j++) {}
    bool up = j - i > 1;
    for (; !up && j < n && s[j] == s[i]; j++) {}
    std::string tail = up ? "-" + std::to_string(s[j - 1]) : j - i > 1 ? "*" + std::to_string(j - i) : "";
    out += std::to_string(s[i]) + tail + ",";
  }
  return out;
}

struct Editing : FileTest {
  signal_window *sw = &windows[1];
  void SetUp() override { FileTest::SetUp(); last_vis = 1; reset(); }
  void reset()
  {
    make_signal(1, 1000, 1, 0);
    make_signal(clip_win, 50, 1, 5000);
    // A on a start, B on an end and on an insertion point, G outside the
    // signal; so are [cursor] and [select1], as a file or an old edit leaves them.
    int letters[] = {100, 300, -1, 600, 1000, 50, 1001}, refs[] = {5000, -7, 5000, -3};
    std::copy(letters, letters + 7, sw->marks);
    std::copy(refs, refs + 4, sw->marks + MARK_CURSOR);
    window_views[1].view_end = 900;
    cursor = 300;
  }
  std::string state() const
  {
    const int *m = sw->marks;
    char t[300];
    std::string clip = runs(clip_win) == "5000-5049," ? "" : " clip=" + runs(clip_win) + windows[clip_win].name;
    snprintf(t, sizeof t, "n=%d A=%d B=%d C=%d D=%d E=%d F=%d end=%d cur=%d view=%d..%d %s g=%d%s", sw->num_samples,
             m[0], m[1], m[2], m[3], m[4], m[5], m[MARK_END], cursor, window_views[1].view_start,
             window_views[1].view_end, runs(1).c_str(), sw->samples[sw->num_samples], clip.c_str());
    return t;
  }
  // Types the keys into the Edit menu ('@' is the Home key).
  void run(const std::string &typed)
  {
    for (char ch : typed)
      ch == '@' ? push_key(PK_HOME) : push_char((unsigned char)ch);
    edit_menu();
    EXPECT_EQ(poll_key(), 0) << typed; // every key read, none wanted beyond
  }
};

TEST_F(Editing, EveryEditLeavesSignalSlotsCursorAndViewAsShown)
{
  struct { const char *typed, *after = nullptr; int cursor = 300, view_start = 100; } cases[] = {
    {"Tab", "n=800 A=-1 B=100 C=-1 D=400 E=800 F=50 end=800 cur=100 view=0..700 0-99,300-999, g=0 clip=100-299,[copy of w1(100:300)]"},
    {"Dba", "n=800 A=-1 B=100 C=-1 D=400 E=800 F=50 end=800 cur=101 view=100..700 0-99,300-999, g=0", 301, 300},
    {"Pb", "n=1050 A=100 B=350 C=300 D=650 E=1050 F=50 end=1050 cur=300 view=250..950 0-299,5000-5049,300-999, g=0", 300, 300},
    {"Pb", "n=1050 A=100 B=350 C=300 D=650 E=1050 F=50 end=1050 cur=351 view=100..950 0-299,5000-5049,300-999, g=0", 301, 100},
    {"Sb5\r", "n=1050 A=100 B=350 C=-1 D=650 E=1050 F=50 end=1050 cur=350 view=250..950 0-299,0*50,300-999, g=0", 300, 300},
    {"X", "n=1024 A=100 B=300 C=-1 D=600 E=1000 F=50 end=1024 cur=300 view=100..924 0-999,0*24, g=0"},
    {"P@", "n=1050 A=150 B=350 C=0 D=650 E=1050 F=100 end=1050 cur=350 view=100..950 5000-5049,0-999, g=0"},
    {"D@a", "n=900 A=0 B=200 C=-1 D=500 E=900 F=-1 end=900 cur=200 view=0..800 100-999, g=0"},
    {"D*", "n=0 A=-1 B=-1 C=-1 D=-1 E=-1 F=-1 end=0 cur=300 view=0..0  g=0"},
    {"V5\r-3\r", "n=1000 A=100 B=300 C=-1 D=600 E=1000 F=50 end=1000 cur=5 view=0..800 0-4,-3,6-999, g=0"},
    {"V5\r7x\r", "n=1000 A=100 B=300 C=-1 D=600 E=1000 F=50 end=1000 cur=5 view=0..800 0-4,7,6-999, g=0"}, // the leading number
    {"V 999 \r\r", "n=1000 A=100 B=300 C=-1 D=600 E=1000 F=50 end=1000 cur=999 view=200..1000 0-999, g=0"},
    {"V\r7\r", "n=1000 A=100 B=300 C=-1 D=600 E=1000 F=50 end=1000 cur=300 view=100..900 0-299,7,301-999, g=0"},
    // Nothing changes for a position outside the signal, an empty stretch,
    // or an answer that is no usable number.
    {"P\x01"}, {"P\x02"}, {"S\x01"}, {"S\x02"}, {"Tag"}, {"Cga"}, {"Dga"}, {"Taa"}, {"Caa"}, {"Pz"},
    {"V1000\r"}, {"V-1\r"}, {"V1e30\r"}, {"Vinf\r"}, {"V5\rnan\r"}, {"V5\r1e30\r"}, {"Sbinf\r"},
    {"Sbnan\r"}, {"Sb1e30\r"}, {"Sb0.04\r"}, {"Sb-5\r"}, {"Sb\r"}, {"Sbabc\r"},
  };
  for (auto c : cases) {
    reset();
    int16_t *block = sw->samples;
    cursor = c.cursor, window_views[1].view_start = c.view_start;
    std::string unchanged = state();
    run(c.typed);
    EXPECT_EQ(state(), c.after ? c.after : unchanged) << c.typed;
    EXPECT_EQ(sw->samples, block) << c.typed; // grown and shrunk in place
    EXPECT_EQ(sw->marks[MARK_HOME] * 10000 + sw->marks[MARK_CURSOR] * 10 + sw->marks[MARK_SELECT], 50000 - 7)
      << c.typed; // [Home] stays on 0; slots outside the signal are left alone
  }
  reset(); // [Home] stays on 0 without a redraw to put it back
  paste_segment(clip_win, -1, MARK_HOME);
  delete_segment(1, MARK_HOME, 0);
  EXPECT_EQ(sw->marks[MARK_HOME] * 10000 + sw->marks[1], 200);
  std::vector<std::string> m = messages(); // a value is asked for frame 5, never for a refused frame
  EXPECT_EQ(std::count(m.begin(), m.end(), " Sample value [5] ?  "), 4);
  EXPECT_EQ(std::count(m.begin(), m.end(), " Can't expand the signal buffer. "), 0);
}

TEST_F(Editing, PastesThatCannotBeAskNothingTheLimitIsExactAndNewWindowsInheritNothing)
{
  // A 12-bit unsigned clip converts to 16-bit signed as (v - 2048) * 16.
  struct { int channels, bits, frames; const char *typed; bool asked; int n, at300; bool no_room; } cases[] = {
    {2, 12, 1000, "Pb", false, 1000, 300, false}, // another channel count
    {1, 12, 1000, "Pbn", true, 1050, 2100, false},
    {1, 12, 1000, "Pby", true, 1050, 832, false},
    {1, 16, 1000, "Pb", false, 1050, 2100, false},
    {1, 16, MAX_FRAMES - 50, "Pb", false, MAX_FRAMES, 2100, false},
    {1, 12, MAX_FRAMES - 49, "Pb", false, MAX_FRAMES - 49, 300, false}, // one frame too many
    {1, 16, MAX_FRAMES - 100, "Sb10\r", false, MAX_FRAMES, 0, false},
    {1, 16, MAX_FRAMES - 100, "Sb10.1\r ", false, MAX_FRAMES - 100, 300, true},
    {1, 16, 1000, "Sb1e9\r ", false, 1000, 300, true},
    {1, 16, MAX_FRAMES - 100, "X", false, MAX_FRAMES, 300, false},
  };
  for (auto c : cases) {
    make_signal(clip_win, 50, c.channels, 2100, c.bits, c.bits == 12 ? 2048 : 0);
    make_signal(1, c.frames, 1, 0);
    sw->marks[1] = 300;
    run(c.typed);
    auto has = [m = messages()](const char *text) { return std::find(m.begin(), m.end(), text) != m.end(); };
    EXPECT_EQ(has("Data format does not match.  Reformat data? (Y/N) "), c.asked) << c.typed;
    EXPECT_EQ(has(" Not enough room in signal buffer. "), c.no_room) << c.typed;
    EXPECT_EQ(sw->num_samples * 100000LL + sw->samples[300], c.n * 100000LL + c.at300) << c.typed;
  }
  clear_window(1);
  sw->marks[MARK_END] = 77; // an [End] left outside the empty signal is not followed
  make_signal(clip_win, 50, 8, 100);
  run("P");
  EXPECT_EQ(sw->channels * 10000 + sw->num_samples, 80050);
  EXPECT_EQ(sw->capacity, 51 * 8 * 2); // a block of its own, 4 bytes a value, laid out for 8 channels
  EXPECT_EQ(sw->marks[MARK_HOME] * 10000 + sw->marks[MARK_END], 50);
  run("V1\r-3\r"); // the first channel of frame 1
  EXPECT_EQ(runs(1), "100-107,-3,109-499,");
  clear_window(1);
  run("S10\r");
  EXPECT_TRUE(showed("DURATION of silence (ms) = "));
  EXPECT_EQ(runs(1), "0*100,");
  EXPECT_EQ(sw->channels * 100 + sw->adc_bits, 116);
  cur_win = clip_win; // Copy and Cut never take from the clip window itself
  windows[clip_win].marks[0] = 10, windows[clip_win].marks[1] = 20;
  run("Tab");
  EXPECT_EQ(runs(clip_win), "100-499,");
  sw->kind = sw->file_type = sw->src_type = 3;
  window_views[1].saved_cursor = window_views[1].split_channels = 7;
  init_window(1);
  EXPECT_EQ(sw->kind + sw->channels + sw->file_type + sw->src_type + sw->capacity + window_views[1].saved_cursor +
              window_views[1].split_channels + (sw->samples != nullptr), 0);
}

