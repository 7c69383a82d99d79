// Sound as a user drives it in headless runs: Play, Enter, Record, Level and
// Area through the menus with playback and capture files, and the devices
// failing.
#include "support/support.h"
#include <gtest/gtest.h>

namespace {

struct SoundRun : ::testing::Test {
  std::string dir = scratch_dir("sound");
  std::vector<int> signal = {100, -100, 20000, -20000, 30000, -30000, 400, -400}; // 16 bits, no reformat
  std::vector<int> capture = frames(20000, 1, [](int i, int) { return i * 53 % 30000 - 15000; });
  run_result run(const std::string &script, const std::string &playback, const std::string &in)
  {
    bytes c = s16(capture);
    write_file(dir + "/in.raw", std::string(c.begin(), c.end()));
    write_file(dir + "/k.wav", wav_text(signal, 2, 8000));
    unlink((dir + "/out.raw").c_str());
    run_result r = run_tarvo(dir, script, {"k.wav"}, {"TARVO_PLAYBACK=" + playback, "TARVO_CAPTURE=" + in});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
    return r;
  }
};

// Enter plays the stereo file; a recording in a new window is replayed by
// the Enter that dismissed its record time; Esc ends each live display
// after two whole blocks, the third cut short.
TEST_F(SoundRun, PlayRecordLevelAndAreaThroughTheMenus)
{
  run_result r = run("key Enter\nkey W N\nkey I R\nkey Space\nkey Enter\nkey I L\nkey Esc\nkey I A\nkey Esc\n",
                     "out.raw", "in.raw");
  EXPECT_EQ(transcript_lines(r.transcript, "A:"),
            std::vector<std::string>({"play 4 2 8000", "record 10000 10000", "play 10000 1 10000", "record 512 10000",
                                      "record 512 10000", "record 100 10000", "record 512 10000", "record 512 10000",
                                      "record 100 10000"}));
  for (const char *p : {" ADC Input Level    [ESC to exit]", " ADC Input Level    &    Area of the 'vocal tract'   [ESC to exit]"})
    EXPECT_EQ(count(transcript_lines(r.transcript, "P:"), p), 1) << p;
}

// Every way to play, in normal and scroll mode: keys, the button and a right
// click outside the window (the status line).
TEST_F(SoundRun, EveryPlayKeyAndClickPlaysTheSignal)
{
  for (std::string keys : {"key \"", "key Enter", "key P Home End", "click 769 590", "rclick 10 590"})
    for (std::string mode : {"", "key F5\n"}) {
      run_result r = run(mode + keys + "\n", "out.raw", "in.raw");
      EXPECT_EQ(transcript_lines(r.transcript, "A:"), std::vector<std::string>({"play 4 2 8000"})) << mode << keys;
    }
}

// A failing device says so once per command, and the displays end.
TEST_F(SoundRun, DeviceFailuresEndTheCommands)
{
  struct { const char *script, *playback, *capture, *message; int times; } rows[] = {
    {"key W N\nkey I L\nkey Space\nkey I A\nkey Space\nkey I R\nkey Space\nkey Space\n", "out.raw", "missing.raw",
     "Failed to open waveform input device.", 3},
    {"key Enter\nkey Space\n", "no/such/out.raw", "in.raw", "Failed to open waveform output device.", 1},
    {"key I A\n", "out.raw", "in.raw", nullptr, 0}, // the window closes
    {"key I L\nkey C-c\n", "out.raw", "in.raw", nullptr, 0},
  };
  for (auto row : rows) {
    run_result r = run(row.script, row.playback, row.capture);
    std::vector<std::string> prompts = transcript_lines(r.transcript, "P:");
    if (row.message) {
      EXPECT_EQ(count(prompts, row.message), row.times) << row.message;
    }
    EXPECT_EQ(count(prompts, " Record time = 0 msec"), 0);
  }
}

} // namespace
