// Seeing signals: files from the command line in windows 1 to 5, moving
// between windows, the cursor and its readout, F2.
#include "support/support.h"

// A one-channel WAV file of n frames at 8000 Hz with small values, and the
// F2 line that tells of it.
static std::string small_wav(int n, int mod) { return wav_text(frames(n, 1, [mod](int i, int) { return i % mod; }), 1, 8000); }
static std::string info_for(int n) { return " (WAV) " + std::to_string(n) + " samples (1 chan.) at 8000 Hz, ADC = 8 bits (signed) "; }

// Files load into windows 1 to 5 in order, a sixth is ignored, missing and
// empty ones are dropped without a word; each is found from the start folder
// whichever folder an earlier one made current, and the windows keep the
// base names.  Up from window 1 and Down from 3 stay; Shift-Tab wraps.
TEST(Viewing, CommandLineFilesLoadInOrderWindowKeysMoveBetweenThemAndCursorSteps)
{
  std::string root = scratch_dir("files");
  for (const char *sub : {"/d1", "/d2", "/flat", "/s"})
    mkdir((root + sub).c_str(), 0755);
  for (int k = 1; k <= 6; k++)
    write_file(root + "/f" + std::to_string(k) + ".wav", small_wav(1000 * k, 100));
  for (std::string name : {"/d1/a.wav", "/flat/a.wav", "/d2/b.wav", "/flat/b.wav"}) // a: 1000 frames, b: 2000
    write_file(root + name, small_wav(name.find('b') == std::string::npos ? 1000 : 2000, 100));
  write_file(root + "/empty.wav", "");
  write_file(root + "/tok.ils", std::string(400, '\1'));
  write_file(root + "/s/speech.wav", std::string(600, '\2'));
  const std::string two = "F2 x Tab F2 x", noh = " samples (1 chan.) at 10000 Hz, ADC = 12 bits (signed) ";
  struct { std::string folder; std::vector<std::string> args; std::string keys; std::vector<std::string> infos; } runs[] = {
    {"", {"f1.wav", "f2.wav", "f3.wav", "f4.wav", "f5.wav", "f6.wav"}, two + " Tab F2 x Tab F2 x Tab F2 x Tab F2 x",
     {info_for(1000), info_for(2000), info_for(3000), info_for(4000), info_for(5000), info_for(1000)}},
    {"", {"gone.wav", "f1.wav", "empty.wav", "f2.wav"}, two + " Tab F2 x", {info_for(1000), info_for(2000), info_for(1000)}},
    {"", {"d1/a.wav", "d2/b.wav"}, two, {info_for(1000), info_for(2000)}},
    {"/flat", {"a.wav", "b.wav"}, two, {info_for(1000), info_for(2000)}},
    {"", {"-nh", "tok.ils", "s/speech.wav"}, two, {" (NOH) 200" + noh, " (NOH) 300" + noh}},
    {"", {"f1.wav", "f2.wav", "f3.wav"}, "Up F2 x Down Down Down F2 x S-Tab F2 x S-Tab S-Tab F2 x",
     {info_for(1000), info_for(3000), info_for(2000), info_for(3000)}},
  };
  for (auto &run : runs) {
    run_result r = run_tarvo(root + run.folder, "key " + run.keys + "\nshot two.png\n", run.args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(transcript_lines(r.transcript, "P:", "samples"), run.infos) << run.args[0];
    EXPECT_EQ(r.transcript.find("Can't"), std::string::npos) << run.args[0];
    EXPECT_FALSE(read_file(root + run.folder + "/two.png").empty());
    EXPECT_TRUE(run.folder != "/flat" || read_file(root + "/flat/two.png") == read_file(root + "/two.png"));
  }
  // With no file left, F2 says there is no signal.
  run_result r = run_tarvo(root, "key F2\n", {"gone.wav"});
  EXPECT_NE(r.transcript.find("P:No signal.\n"), std::string::npos) << r.transcript;
  // 20000 frames at 10000 Hz shown on 794 columns: a step of 25 frames, Shift
  // 10 steps, Ctrl 50; each key leaves its readout, in order.
  std::string dir = scratch_dir("cursor");
  write_file(dir + "/s.wav", wav_text(frames(20000, 1, [](int i, int) { return i - 10000; }), 1, 10000));
  r = run_tarvo(dir, "key C-Home Right S-Right C-Right C-Left S-Left Left Left End Home C-End\n", {"s.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto status = transcript_lines(r.transcript, "S:");
  ASSERT_GE(status.size(), 10u);
  std::string at;
  for (size_t i = status.size() - 10; i < status.size(); i++)
    at += std::to_string(std::stoi(status[i].substr(status[i].find('(') + 1))) + " ";
  EXPECT_EQ(at, "0 25 275 1525 275 25 0 20000 0 20000 ");
}
