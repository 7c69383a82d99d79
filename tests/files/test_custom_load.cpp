// The Custom_load questions and the headerless layout they set.
#include "support/support.h"

struct CustomLoad : FileTest {};

TEST_F(CustomLoad, AnswersSetTheLayoutAnythingElseFallsBackAndAHeaderLargerThanTheFileLoadsNothing)
{
  // Keys typed after the two size answers; the code and swap they give.
  struct { const char *header, *trailer, *keys; int code0, head, trail, code, swap; } cases[] = {
    {"44", "0", "2n", SC_S16, 44, 0, SC_S16, 0},
    {"", "", "2y", SC_S16, 0, 0, SC_S16, 1},          // an empty answer is 0
    {"12abc", "-5", "10", SC_S16, 12, 0, SC_U8, 0},    // a negative size is no size
    {"99999999999", "x", "11", SC_S16, 0, 0, SC_S8, 0}, // out of range, not a number
    {"0", "0", "12y", SC_S16, 0, 0, SC_MULAW, 1},
    {"0", "0", "1\x1b", SC_FLOAT, 0, 0, SC_FLOAT, 0},  // Esc keeps the code
    {"0", "0", "4yy", SC_S16, 0, 0, SC_FLOAT, 1}, {"0", "0", "4nn", SC_S16, 0, 0, SC_S32, 0},
    {"0", "0", "8y", SC_S16, 0, 0, SC_DOUBLE, 1}, {"0", "0", "\x1b", SC_DOUBLE, 0, 0, SC_S16, 0},
  };
  for (auto c : cases) {
    raw_code = c.code0;
    raw_swap = 1;
    answer(c.header);
    answer(c.trailer);
    push_text(c.keys);
    custom_load_setup();
    EXPECT_EQ(std::vector({raw_header, raw_trailer, raw_code, raw_swap}), std::vector({c.head, c.trail, c.code, c.swap}))
        << c.header << " " << c.trailer << " " << c.keys;
  }
  std::vector<std::string> m = messages();
  for (const char *text : {" File Header size [0 bytes] ?  ", " File Trailer size [0 bytes] ?  ",
                           " Bytes per sample [8]:  1  2  4  8 ", " Bytes per sample [4]:  1  2  4  8 ",
                           " Data type [6]:  0-unsigned  1-signed  2-mulaw ", " Floating-point data (y/N) ? ",
                           " Swap bytes (y/N) ? ", " File Header size [44 bytes] ?  "})
    EXPECT_NE(std::find(m.begin(), m.end(), text), m.end()) << text;
  // A header larger than the file loads nothing; a long name keeps forty characters.
  std::string name = std::string(41, 'n') + ".raw"; // the window keeps its first 40 characters
  write(name, s16({1, 2, 3}));
  raw_header = 1000;
  load_file(name.c_str(), 1);
  EXPECT_EQ(win().num_samples, 0);
  raw_header = 2;
  raw_trailer = 2;
  load_file(name.c_str(), 1);
  EXPECT_EQ(values(win().num_samples), std::vector<int>{2});
  EXPECT_EQ(std::string(win().name), std::string(40, 'n'));
}
