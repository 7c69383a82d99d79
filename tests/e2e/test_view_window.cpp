// The View and Window menus, their keys, the button row and left clicks,
// as a user drives them.
#include "support/support.h"
#include <set>

// The cursor positions of the last two readouts, as "p/N p/N".
static std::string last_two(const run_result &r)
{
  std::vector<std::string> s = transcript_lines(r.transcript, "S:");
  std::string out;
  for (size_t i = s.size() - std::min<size_t>(s.size(), 2); i < s.size(); i++)
    for (char ch : s[i].substr(s[i].find('(') + 1, 14))
      if (ch != ' ') out += ch == ')' ? ' ' : ch;
  return out.substr(0, out.size() - 1);
}

// Windows of 10000, 2000 and 3000 frames, each cursor at 400, on 800x600:
// window 1 spans rows 0-186; the buttons + - < > stand at x = 705, 721, 737,
// 753 on row 590.  "End Home End" reads the view's ends.
TEST(ViewWindow, MenusKeysButtonsAndClicks)
{
  std::string dir = scratch_dir("view");
  for (int n : {10000, 2000, 3000})
    write_file(dir + "/" + std::to_string(n) + ".wav", wav_text(std::vector<int>(n, 100), 1, 10000));
  struct { const char *script, *want; } cases[] = {
    {"key V Z I End Home End", "0/10000 5002/10000"}, {"key + + End - V Z O End Home End", "0/10000 10000/10000"},
    {"key + PgDn PgDn PgUp End Home End", "2497/10000 7499/10000"},
    {"key + V P R V P R V P L End Home End", "2497/10000 7499/10000"},
    {"key + V A End Home End", "0/10000 10000/10000"},
    {"key C-Right 0 C-Right 0 V S b a End Home End", "1000/10000 1600/10000"},
    {"key C-Right 0 V S a a PgDn End Home End", "1002/10000 1006/10000"},
    {"click 705 590\nclick 705 590\nclick 721 590\nclick 753 590\nclick 753 590\nclick 737 590\n"
     "key End Home End", "2491/10000 7497/10000"},
    {"key + PgDn\nclick 1 100\nclick 799 100\nkey End Home End", "2501/10000 7503/10000"},
    {"key + C-Right\nclick 0 100", "700/10000 0/10000"},
    {"key + PgDn PgDn Home\nclick 799 100", "4998/10000 10000/10000"}, {"click 400 100", "400/10000 5006/10000"},
    {"key F4 W M\nclick 400 300", "400/10000 400/2000"}, {"key F4 W M F4\nclick 400 300", "400/10000 5006/10000"},
    {"click 400 5\nclick 400 300", "400/10000 5006/10000"}, {"key Tab Right W U Tab", "402/2000 400/10000"},
    {"key W U Down", "400/10000 400/2000"}, {"key Tab Tab Right Tab Tab W C", "400/2000 403/3000"},
    {"key W D W D W D Tab", "0/10000 400/10000"}, {"key W N Tab S-Tab Up", "400/10000 400/3000"},
    {"key W S Esc V C Up W C W U Down Up V C Right", "400/10000 412/10000"},
  };
  std::set<std::string> prompts;
  for (auto c : cases) {
    run_result r = run_tarvo(dir, std::string(c.script) + "\n", {"10000.wav", "2000.wav", "3000.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(last_two(r), c.want) << c.script;
    for (const std::string &p : transcript_lines(r.transcript, "P:"))
      prompts.insert(p);
  }
  for (const char *p : {" VIEW:  All  Clip  Segment  Pan  Zoom ", " PAN:  Left  Right ", " ZOOM:  In  Out ",
                        " WINDOW:  New  Close  Scroll  Maximize  Duplicate  Up ", " VIEW SEGMENT:  From mark B  To mark A"})
    EXPECT_EQ(prompts.count(p), 1u) << p;
}

