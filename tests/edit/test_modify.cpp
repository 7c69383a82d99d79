// The Modify menu's arithmetic at its edges, each item run through the menu
// on a window set up in-process.
#include "support/support.h"
#include <numeric>

struct Modify : FileTest {
  // Window w holds `in`, in the format of its zero level.
  void load(int w, const std::vector<int> &in, int zero, int channels)
  {
    fill_window(w, in, channels, 10000, zero == 128 ? 8 : zero == 2048 ? 12 : 16, zero);
    std::fill_n(windows[w].samples + in.size(), channels, zero); // the guard frame
    reset_marks(w);
  }
  // The menu over the keys until they are used up ('<' is Home, '>' End).
  // Before each command A and B are at the second and the last frame, C and
  // D before the start and past the end, as a file may leave them.
  void run(const char *keys)
  {
    for (const char *k = keys; *k; k++)
      *k == '<' ? push_key(PK_HOME) : *k == '>' ? push_key(PK_END) : push_char((unsigned char)*k);
    for (quit_flag = 0; !quit_flag; modify_menu()) {
      int n = windows[1].num_samples, at[] = {1, n - 1, -5, n + 3};
      std::copy(at, at + 4, windows[1].marks);
    }
  }
};

TEST_F(Modify, EveryItemAtItsEdges)
{
  struct { const char *keys; int zero, channels; std::vector<int> in, want; } rows[] = {
    {"Oab2.9\r", 0, 1, {0, 1, 2, 0}, {0, 3, 4, 0}}, {"Oab-2.9\r", 0, 1, {0, 1, 2, 0}, {0, -1, 0, 0}},
    {"Oab1e9\r", 0, 1, {0, 0, 10, 0}, {0, -13824, -13814, 0}}, // the low 16 bits of 10^9
    {"Oab1e30\rOabinf\rOabnan\rOabx\rOab\rOab\033Oad", 0, 1, {0, 1, 2, 0}, {0, 1, 2, 0}},
    {"Sab0.5\r", 2048, 1, {0, 3000, 1000, 0}, {0, 2524, 1524, 0}},
    {"Sab2\r", 0, 1, {0, 20000, -20000, 0}, {0, -25536, 25536, 0}},
    {"Sab-0.5\rSab0\rSab1e30\r", 0, 1, {0, 3, -3, 0}, {0, -1, 1, 0}},
    {"Sab1e9\r", 0, 1, {0, 1, -3, 0}, {0, -13824, -24064, 0}}, {"Rab", 0, 1, {9, 1, 2, 3, 4, 9}, {9, 4, 3, 2, 1, 9}},
    {"Rab", 0, 2, {9, 9, 1, 2, 3, 4, 9, 9}, {9, 9, 4, 3, 2, 1, 9, 9}}, // channels turn round
    {"Dab", 0, 1, {0, 1, 2, 0}, {0, -1, 0, 0}}, {"Dab", 128, 1, {0, 100, 101, 0}, {0, 128, 129, 0}},
    {"Dab", 0, 2, {0, 0, 10, 20, 30, 40, 0, 0}, {0, 0, -15, -5, 5, 15, 0, 0}}, // one mean
    {"Dab", 0, 1, {0, -30000, -30000, 30000, 0}, {0, -20000, -20000, -25536, 0}},
    {"DaaDbc", 0, 1, {0, 1, 2, 0}, {0, 1, 2, 0}},
    {"Cab0.5\r", 0, 1, {0, 32767, 100, 1, -100, -32768, 0}, {0, 32767, 1810, 181, -1810, -32768, 0}},
    {"Cab0.25\r", 0, 1, {0, 8, 8, -32768, -32768, 0}, {0, 4096, 4096, -32768, -32768, 0}},
    {"Cab0\r", 0, 1, {0, 1, 0, -1, 1, 0, -1, 0}, {0, 32767, 0, -32768, 32767, 0, -32768, 0}},
    {"Cab0\r", 2048, 1, {0, 2049, 2048, 2047, 0}, {0, 4095, 2048, 0, 0}},
    {"Cab0\r", 128, 1, {0, 129, 127, 0}, {0, 255, 0, 0}},
    {"Cab1\rCab\rCab\033Cab1.5\rCab-0.1\r", 128, 1, {0, 1000, -5, 0}, {0, 1000, -5, 0}},
    {"Iab", 128, 1, {0, 0, 200, 0}, {0, 256, 56, 0}}, {"Iab", 0, 1, {0, -32768, 5, 0}, {0, -32768, -5, 0}},
    {"Tab100\r", 0, 1, {0, 99, -99, 100, -100, 0}, {0, 0, 0, 100, -100, 0}},
    {"Tab100\rTab-100\r", 2048, 1, {0, 2148, 2147, 1949, 1948, 0}, {0, 2148, 2048, 2048, 1948, 0}},
    {"Zba", 2048, 1, {0, 1, 2, 0}, {0, 2048, 2048, 0}},
    {"Z<>nZ*nZ><nZaaZacZdaRcdIcb", 0, 1, {0, 1, 2, 0}, {0, 1, 2, 0}}, // End..Home asks too
    {"Z*y", 128, 1, {0, 1, 2, 0}, {128, 128, 128, 128}}, {"BB", 0, 1, {0, 16, -16, 0}, {2048, 2049, 2047, 2048}},
    {"BABX", 0, 1, {0, 16, -16, 0}, {0, 16, -16, 0}}, {"AaAd", 0, 1, {0, 32767, 0, 0}, {0, -32768, 2, 3}},
    {"AbAc", 0, 1, {0, 0, 0, 0}, {0, 0, 0, 1}},
    {"Aa", 0, 2, {0, 0, 0, 0, 0, 0}, {0, 0, 1, 2, 3, 0}}, // storage order, whatever the channels
  };
  load(clip_win, {2, 3, 4}, 1, 1); // adds 1, 2, 3
  for (const auto &r : rows) {
    load(1, r.in, r.zero, r.channels);
    run(r.keys);
    EXPECT_EQ(std::vector<int>(windows[1].samples, windows[1].samples + r.in.size()), r.want) << r.keys;
    EXPECT_EQ(windows[1].samples[r.in.size()], windows[1].zero_level) << r.keys; // the guard frame
  }
  // Each item's prompt and question; without a clip Add asks nothing.
  std::vector<std::string> m = messages();
  for (std::string title : {"OFFSET", "RESCALE", "REVERSE", "REMOVE DC COMPONENT", "COMPRESS", "INVERT", "CENTER-CLIP"})
    EXPECT_GT(count(m, " " + title + ":  From mark A  To mark B"), 0) << title;
  for (const char *text : {"OFFSET: Enter the offset amount: ", "RESCALE: Enter the scale factor: ",
                           "COMPRESS: Enter the exponent: ", "CENTER-CLIP: Enter the clip threshold: ",
                           " ZERO:  From mark [End]", " ZERO entire signal.  Are you sure? (Y/N) ",
                           " CHANGE BITS:  A[16-bit,signed]  B[12-bit,unsigned]  C[8-bit,unsigned] "})
    EXPECT_GT(count(m, text), 0) << text;
  clear_window(clip_win);
  run("A");
  EXPECT_FALSE(showed(" ADD clip: at mark?"));
}

TEST_F(Modify, CompressByATableGivesTheSameResultsAndReverseMirrorsTheSlotsInside)
{
  std::vector<int> every(65536);
  std::iota(every.begin(), every.end(), -32768);
  for (int zero : {0, 128, 2048})
    for (std::string e : {"0\r", "0.25\r", "0.5\r"}) {
      std::vector<int16_t> out[2];
      for (int half : {0, 1}) { // the whole through the table; two halves value by value
        load(1, every, zero, 1);
        windows[1].marks[4] = half ? 32768 : 65536; // E
        run(("C<e" + e + "Ce>" + e).c_str());
        out[half].assign(windows[1].samples, windows[1].samples + 65536);
      }
      EXPECT_TRUE(out[0] == out[1]) << zero << " " << e;
    }
  load(1, {0, 1, 2, 3, 4, 5, 6, 0}, 0, 1);
  int *m = windows[1].marks, at[] = {1, 7, 2, 11, 7}; // C two after the start; E at B, outside
  std::copy(at, at + 5, m);
  window_views[1].view_start = 2, window_views[1].view_end = 7;
  reverse_segment(MARK_HOME, 1);
  std::vector<int> got(m, m + 5); // then [Home], [End] and the shown range
  got.insert(got.end(), {m[MARK_HOME], m[MARK_END], window_views[1].view_start, window_views[1].view_end});
  EXPECT_EQ(got, (std::vector<int>{6, 7, 5, 11, 7, 0, 8, -1, -1}));
}

