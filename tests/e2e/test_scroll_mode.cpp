// Scroll mode as a user drives it: keys, marks and the Edit menu inside it,
// the button row, and leaving it.
#include "support/support.h"

// Cursor positions of the status readouts after scroll mode was first entered.
static std::vector<int> positions(const run_result &r)
{
  std::vector<int> at;
  size_t from = r.transcript.find("P: SCROLL MODE:");
  for (const std::string &s : transcript_lines(r.transcript.substr(std::min(from, r.transcript.size())), "S:"))
    at.push_back(std::stoi(s.substr(s.find('(') + 1)));
  return at;
}

struct ScrollMode : ::testing::Test {
  std::string dir = scratch_dir("scroll-mode");
  run_result run(const std::string &script, std::vector<std::string> files = {"k.wav"})
  {
    write_file(dir + "/k.wav", wav_text(std::vector<int>(5000, 0), 1, 8000));
    run_result r = run_tarvo(dir, script, files);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
    return r;
  }
};

// From sample 400 in column 400; marks set in scroll mode (also through the Edit menu) stay after Esc.
TEST_F(ScrollMode, KeysMoveTheCursorMarksLandUnderItAndTheButtonRowPagesAndLeaves)
{
  run_result r = run("key F5 Right 0 S-Right Ins b C-Right 0 Del a End G b\nkey End E M G b E M N\n"
                     "key Esc G c G a G b G d\n");
  EXPECT_EQ(positions(r), (std::vector<int>{401, 411, 461, 5000, 411, 5000, 411, 461, 411, 0}));
  for (const char *p : {" DELETE MARK: Enter letter for mark  ", " MARK:  New  Insert  Delete  Go_to  Blank "})
    EXPECT_NE(r.transcript.find(std::string("P:") + p + "\n"), std::string::npos) << p;
  // The row reads "     < > \" ~ " from 13 cells before the right edge.
  int y = 600 - 3 - 13 + 2, cell = 800 - 13 * 8 + 4;
  auto click = [&](int c) { return "click " + std::to_string(cell + 8 * c) + " " + std::to_string(y) + "\n"; };
  r = run("key F5\n" + click(7) + click(5) + click(7) + click(11) + "key F5 Right Home PgDn Left C-c\n");
  EXPECT_EQ(positions(r), (std::vector<int>{800, 400, 800, 801, 0, 400, 399})); // the view follows the cursor
  EXPECT_EQ(transcript_lines(r.transcript, "P:").back(), " SCROLL MODE:  Edit  Modify  Calc  Play  Set  Help ");
  r = run("key F5 ~ F2\n", {}); // an empty window does not enter scroll mode
  EXPECT_EQ(r.transcript.find("SCROLL MODE"), std::string::npos);
}

