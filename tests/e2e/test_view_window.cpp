// The View and Window menus, their keys, the button row and left clicks,
// as a user drives them.
#include "support/support.h"
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

// A mono 16-bit WAV file of n frames at 10000 Hz.
void wav(const std::string &path, int n)
{
  bytes b = make_wav(1, 1, 10000, 16, s16(std::vector<int>(n, 100)));
  write_file(path, std::string(b.begin(), b.end()));
}

// The cursor positions of the last two readouts, as "p/N p/N".
std::string last_two(const run_result &r)
{
  std::vector<std::string> s = transcript_lines(r.transcript, "S:");
  std::string out;
  for (size_t i = s.size() < 2 ? 0 : s.size() - 2; i < s.size(); i++) {
    int p = -1, n = -1;
    sscanf(s[i].c_str() + s[i].find('('), "(%d/%d)", &p, &n);
    out += std::to_string(p) + "/" + std::to_string(n) + (i + 1 < s.size() ? " " : "");
  }
  return out;
}

// On an 800x600 screen: one window of 10000 frames spans rows 0-279 (two
// windows: the second one rows 280-559); the buttons + - < > stand at x =
// 705, 721, 737, 753 on row 590.  "End Home End" reads the view's ends; a
// loaded signal has its cursor at 400.
TEST(ViewWindow, ViewKeysMenusButtonsAndClicksMoveTheView)
{
  std::string dir = scratch_dir("view");
  wav(dir + "/a.wav", 10000);
  wav(dir + "/b.wav", 2000);
  struct { int files; const char *script, *want; } cases[] = {
    {1, "key + End Home End", "0/10000 5002/10000"},
    {1, "key V Z I End Home End", "0/10000 5002/10000"},
    {1, "key + + End - End Home End", "0/10000 5006/10000"},
    {1, "key + + End V Z O End Home End", "0/10000 5006/10000"},
    {1, "key + PgDn End Home End", "2501/10000 7503/10000"},
    {1, "key + V P R End Home End", "2501/10000 7503/10000"},
    {1, "key + PgDn PgDn PgUp End Home End", "2497/10000 7499/10000"},
    {1, "key + PgDn V P L End Home End", "0/10000 5002/10000"},
    {1, "key + V A End Home End", "0/10000 10000/10000"},
    {1, "key C-Right 0 C-Right 0 V S b a End Home End", "1000/10000 1600/10000"},
    {1, "key C-Right 0 V S a a - End Home End", "998/10000 1002/10000"},
    {1, "key C-Right 0 V S a a PgDn End Home End", "1002/10000 1006/10000"},
    {1, "click 705 590\nclick 753 590\nkey End Home End", "2501/10000 7503/10000"},
    {1, "click 705 590\nclick 705 590\nclick 721 590\nkey End Home End", "0/10000 5006/10000"},
    {1, "click 705 590\nclick 753 590\nclick 737 590\nkey End Home End", "0/10000 5002/10000"},
    {1, "key + PgDn\nclick 1 150\nkey End Home End", "0/10000 5002/10000"},
    {1, "key + PgDn\nclick 799 150\nkey End Home End", "4998/10000 10000/10000"},
    {1, "key + C-Right\nclick 0 150", "700/10000 0/10000"},
    {1, "key + PgDn PgDn Home\nclick 799 150", "4998/10000 10000/10000"},
    {1, "click 400 150", "400/10000 5006/10000"},
    {2, "click 400 400", "400/10000 400/2000"},
    {2, "key F4 F4\nclick 400 400", "400/10000 400/2000"},
    {2, "key F4\nclick 400 400", "400/10000 5006/10000"},
    {2, "key W M\nclick 400 400", "400/10000 5006/10000"},
    {2, "click 400 5\nclick 400 400", "400/10000 5006/10000"},
  };
  std::set<std::string> prompts;
  for (auto c : cases) {
    std::vector<std::string> files = {"a.wav", "b.wav"};
    run_result r = run_tarvo(dir, std::string(c.script) + "\n", {files.begin(), files.begin() + c.files});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(last_two(r), c.want) << c.script;
    for (const std::string &p : transcript_lines(r.transcript, "P:"))
      prompts.insert(p);
  }
  for (const char *p : {" VIEW:  All  Clip  Segment  Pan  Zoom ", " PAN:  Left  Right ", " ZOOM:  In  Out ",
                        " WINDOW:  New  Close  Scroll  Maximize  Duplicate  Up ",
                        " VIEW SEGMENT:  From mark B  To mark A"})
    EXPECT_EQ(prompts.count(p), 1u) << p;
}

// F2 names the current window's length; "-" stands for an empty window.
TEST(ViewWindow, WindowMenuKeepsTheStackInOrder)
{
  std::string dir = scratch_dir("stack");
  for (int k = 1; k <= 3; k++)
    wav(dir + "/" + std::to_string(k) + ".wav", 1000 * k);
  run_result r = run_tarvo(dir, "key Tab W U F2 x Tab F2 x W C F2 x W D F2 x W S F2 x W N F2 x W D W D F2 x "
                                "V C Up Up Up Up Up W C W U F2 x V C F2 x\n", {"1.wav", "2.wav", "3.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string seen;
  for (const std::string &p : transcript_lines(r.transcript, "P:"))
    if (p.find("samples") != std::string::npos)
      seen += p.substr(7, 4) + "|";
    else if (p == "No signal.")
      seen += "-|";
  EXPECT_EQ(seen, "2000|1000|3000|3000|3000|-|-|-|2000|");
}

} // namespace
