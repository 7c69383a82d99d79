// Seeing signals: files from the command line in windows 1 to 5, moving
// between windows, the cursor and its readout, F2, F3 and F6.
#include "support/support.h"
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// A plain 16-bit PCM WAV file with value f(i, channel) in frame i.
template <class F> std::string wav16(int frames, int channels, int rate, F f)
{
  std::vector<int> v;
  for (int i = 0; i < frames; i++)
    for (int c = 0; c < channels; c++)
      v.push_back(f(i, c));
  bytes b = make_wav(1, channels, rate, 16, s16(v));
  return std::string(b.begin(), b.end());
}

// The F2 information lines of a run, in order.
std::vector<std::string> info_lines(const run_result &r)
{
  std::vector<std::string> infos;
  for (const std::string &p : transcript_lines(r.transcript, "P:"))
    if (p.find("samples") != std::string::npos)
      infos.push_back(p);
  return infos;
}

std::string info_for(int frames)
{
  return " (WAV) " + std::to_string(frames) + " samples (1 chan.) at 8000 Hz, ADC = 8 bits (signed) ";
}

TEST(Viewing, FiveFilesLoadInOrderAndASixthIsIgnored)
{
  std::string dir = scratch_dir("five");
  std::vector<std::string> args;
  for (int k = 1; k <= 6; k++) {
    std::string name = "f" + std::to_string(k) + ".wav";
    write_file(dir + "/" + name, wav16(1000 * k, 1, 8000, [](int i, int) { return i % 100; }));
    args.push_back(name);
  }
  run_result r = run_tarvo(dir, "key F2 x Tab F2 x Tab F2 x Tab F2 x Tab F2 x Tab F2 x\n", args);
  ASSERT_EQ(r.status, 0) << r.err;
  auto infos = info_lines(r);
  ASSERT_EQ(infos.size(), 6u) << r.transcript;
  for (int k = 1; k <= 5; k++)
    EXPECT_EQ(infos[k - 1], info_for(1000 * k));
  EXPECT_EQ(infos[5], infos[0]); // Tab from window 5 wraps to window 1
}

TEST(Viewing, MissingFilesAreDroppedSilentlyAndNoneLeftShowsNoSignal)
{
  std::string dir = scratch_dir("missing");
  write_file(dir + "/a.wav", wav16(1000, 1, 8000, [](int i, int) { return i % 100; }));
  write_file(dir + "/b.wav", wav16(2000, 1, 8000, [](int i, int) { return i % 100; }));
  write_file(dir + "/empty.wav", "");
  run_result r = run_tarvo(dir, "key F2 x Tab F2 x Tab F2 x\n", {"gone.wav", "a.wav", "empty.wav", "b.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(info_lines(r), (std::vector<std::string>{info_for(1000), info_for(2000), info_for(1000)}));
  // Nothing was said about the missing ones.
  EXPECT_EQ(r.transcript.find("Can't"), std::string::npos);
  // With no file left, F2 says there is no signal.
  r = run_tarvo(dir, "key F2\n", {"gone.wav"});
  EXPECT_NE(r.transcript.find("P:No signal.\n"), std::string::npos) << r.transcript;
}

// Every file is found from the folder the program was started in, whichever
// folder an earlier file made current; the windows keep the base names.
TEST(Viewing, EachFileIsFoundWhereTheCommandLineNamedIt)
{
  std::string root = scratch_dir("folders");
  for (const char *sub : {"/d1", "/d2", "/flat", "/s"})
    mkdir((root + sub).c_str(), 0755);
  std::string a = wav16(1000, 1, 8000, [](int i, int) { return i % 100; });
  std::string b = wav16(2000, 1, 8000, [](int i, int) { return i % 50; });
  for (auto [name, data] : {std::pair{"/d1/a.wav", a}, {"/d2/b.wav", b}, {"/flat/a.wav", a}, {"/flat/b.wav", b}})
    write_file(root + name, data);
  const char *keys = "key F2 x Tab F2 x\nshot two.png\n";
  run_result r = run_tarvo(root, keys, {"d1/a.wav", "d2/b.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(info_lines(r), (std::vector<std::string>{info_for(1000), info_for(2000)}));
  ASSERT_EQ(run_tarvo(root + "/flat", keys, {"a.wav", "b.wav"}).status, 0);
  EXPECT_NE(read_file(root + "/two.png"), "");
  EXPECT_EQ(read_file(root + "/two.png"), read_file(root + "/flat/two.png")); // same titles, same waves

  write_file(root + "/tok.ils", std::string(400, '\1'));
  write_file(root + "/s/speech.wav", std::string(600, '\2'));
  r = run_tarvo(root, "key F2 x Tab F2 x\n", {"-nh", "tok.ils", "s/speech.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(info_lines(r), (std::vector<std::string>{
    " (NOH) 200 samples (1 chan.) at 10000 Hz, ADC = 12 bits (signed) ",
    " (NOH) 300 samples (1 chan.) at 10000 Hz, ADC = 12 bits (signed) "}));
}

TEST(Viewing, CursorStepsAndJumpsShowTimeSampleAndValue)
{
  std::string dir = scratch_dir("cursor");
  // 20000 frames at 10000 Hz: 2 s, shown on 794 columns, a step of 25 frames.
  write_file(dir + "/s.wav", wav16(20000, 1, 10000, [](int i, int) { return i - 10000; }));
  struct { const char *keys; const char *status; } steps[] = {
    {"C-Home", " Cursor at  0.0000/2.0000 s , (     0/ 20000).  Value = -10000  "},
    {"Right", " Cursor at  0.0025/2.0000 s , (    25/ 20000).  Value =  -9975  "},
    {"S-Right", " Cursor at  0.0275/2.0000 s , (   275/ 20000).  Value =  -9725  "},
    {"C-Right", " Cursor at  0.1525/2.0000 s , (  1525/ 20000).  Value =  -8475  "},
    {"C-Left", " Cursor at  0.0275/2.0000 s , (   275/ 20000).  Value =  -9725  "},
    {"S-Left", " Cursor at  0.0025/2.0000 s , (    25/ 20000).  Value =  -9975  "},
    {"Left Left", " Cursor at  0.0000/2.0000 s , (     0/ 20000).  Value = -10000  "},
    {"End", " Cursor at  2.0000/2.0000 s , ( 20000/ 20000).  Value =      0  "},
    {"Home", " Cursor at  0.0000/2.0000 s , (     0/ 20000).  Value = -10000  "},
    {"C-End", " Cursor at  2.0000/2.0000 s , ( 20000/ 20000).  Value =      0  "},
  };
  std::string script;
  for (auto &s : steps)
    script += std::string("key ") + s.keys + "\n";
  run_result r = run_tarvo(dir, script, {"s.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto status = transcript_lines(r.transcript, "S:");
  for (auto &s : steps) // each step leaves its readout
    EXPECT_NE(std::find(status.begin(), status.end(), s.status), status.end()) << s.keys;
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status.back(), steps[9].status);
}

TEST(Viewing, WindowKeysMoveBetweenVisibleWindowsOnly)
{
  std::string dir = scratch_dir("windows");
  for (int k = 1; k <= 3; k++)
    write_file(dir + "/w" + std::to_string(k) + ".wav",
               wav16(100 * k, 1, 10000, [k](int, int) { return 1000 * k; }));
  // Up from window 1 and Down from window 3 stay; Shift-Tab from 1 wraps to 3.
  run_result r = run_tarvo(dir, "key Up F2 x Down Down Down F2 x S-Tab F2 x S-Tab S-Tab F2 x\n",
                           {"w1.wav", "w2.wav", "w3.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> infos;
  for (const std::string &p : info_lines(r))
    infos.push_back(p.substr(7, 4));
  EXPECT_EQ(infos, (std::vector<std::string>{"100 ", "300 ", "200 ", "300 "}));
}

TEST(Viewing, SplitViewAndRangeBoxComeAndGoWithTheirKeys)
{
  std::string dir = scratch_dir("shots");
  write_file(dir + "/st.wav", wav16(3000, 2, 10000, [](int i, int c) {
    return c ? (i % 200 - 100) * 100 : (i % 50 - 25) * 400; }));
  run_result r = run_tarvo(dir, "shot overlaid.png\nkey F6\nshot split.png\nkey F6\nshot again.png\n"
                                "key F3\nshot box.png\nkey F3\nshot nobox.png\n", {"st.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string a = read_file(dir + "/overlaid.png"), b = read_file(dir + "/split.png");
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(a, read_file(dir + "/again.png"));
  EXPECT_NE(a, read_file(dir + "/box.png"));
  EXPECT_EQ(a, read_file(dir + "/nobox.png"));
}

} // namespace
