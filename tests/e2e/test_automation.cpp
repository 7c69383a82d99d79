// The program as a user meets it, driven through its automation interface.
#include "support/support.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

const char usage_text[] =
  " \n"
  "\n"
  "   usage:\n"
  "       tarvo [options] file ...\n"
  "\n"
  "   where 'file' is an ILS sampled data file.\n"
  "\n"
  "   options:\n"
  "\n"
  "       -H      write the help screen to file 'tarvo.hlp'\n"
  "       -g N    assume graphics adaptor N,\n"
  "               where N=cga,hgc,ega,vga\n"
  "       -m      monochrome (no colors)\n"
  "       -nh     assume no header on input files\n"
  "       -p N    assume I/O device N,\n"
  "               where N=dt,lpt,internal,sb,vmk\n"
  "       -r N    set default sample rate to N/sec\n"
  "\n";

const char *const help_text[] = {
  " ",
  "                                      ",
  " [F1]     Help",
  " [F2]     Signal information",
  " [F3]     Toggle scroll-range box",
  " [F4]     Maximize window",
  " [F5]     Toggle scroll mode",
  "           (use < > to pan)",
  " [F6]     Toggle channel separation",
  " [Ins]    Insert a letter mark",
  " [Del]    Delete a letter mark",
  " [Esc]    Exit mode or program",
  " [Enter]  Replay signal to DAC",
  " [Tab]    Go to next window",
  " Ctrl-L   Redraw screen",
  "                                      ",
  "   <-     Cursor left",
  "   ->     Cursor right",
  " [Shift]  Cursor moves 10",
  " [Ctrl]   Cursor moves 50",
  "                                      ",
};

TEST(Automation, MenuLineHelpScreenAndExactRestore)
{
  std::string dir = scratch_dir("help");
  run_result r = run_tarvo(dir, "shot before.png\nkey F1\nshot help.png\nkey x\nshot after.png\nkey C-c\n");
  ASSERT_EQ(r.status, 0) << r.err;
  auto prompts = transcript_lines(r.transcript, "P:");
  ASSERT_FALSE(prompts.empty());
  EXPECT_EQ(prompts[0], " Tarvo:  File  Edit  Modify  Trans  Calc  Input  Play  View  Window  Set  Help ");
  auto info = transcript_lines(r.transcript, "I:");
  ASSERT_EQ(info.size(), 21u);
  for (int i = 0; i < 21; i++)
    EXPECT_EQ(info[i], help_text[i]) << "help line " << i + 1;
  std::string before = read_file(dir + "/before.png"), help = read_file(dir + "/help.png");
  ASSERT_FALSE(before.empty());
  EXPECT_NE(before, help);
  EXPECT_EQ(before, read_file(dir + "/after.png"));
}

TEST(Automation, RepaintAndClosingTheWindow)
{
  std::string dir = scratch_dir("close");
  run_result r = run_tarvo(dir, "shot a.png\nkey C-l\nshot b.png\nkey H\nkey Esc\nclose\nkey F1\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(dir + "/a.png"), read_file(dir + "/b.png"));
  // The key after "close" is never read: no help text reached the screen.
  EXPECT_EQ(transcript_lines(r.transcript, "I:").size(), 21u);
}

TEST(Automation, ABadScriptLineStopsTheRunNamingIt)
{
  std::string dir = scratch_dir("badscript");
  for (const char *bad : {"jump 3 4", "key NoSuchKey", "click 10", "shot", "type"}) {
    run_result r = run_tarvo(dir, std::string("key F1\n") + bad + "\n");
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_NE(r.err.find(":2:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
  }
}

TEST(Automation, UsageTextForAnUnknownOption)
{
  std::string dir = scratch_dir("usage");
  for (const char *opt : {"-x", "-", "-Z"}) {
    run_result r = run_tarvo(dir, "", {opt});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, usage_text) << opt;
  }
}

TEST(Automation, HelpFileIsWrittenAndConfirmedOrItsFailureSaid)
{
  std::string dir = scratch_dir("helpfile");
  run_result r = run_tarvo(dir, "", {"-H"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, " TARVO help screen written to 'tarvo.hlp' \n");
  std::string expected = usage_text;
  expected += "\n   --------------------------------------------------------------  \n\n";
  for (int i = 0; i < 20; i++)
    expected += std::string("    ") + help_text[i] + "\n";
  EXPECT_EQ(read_file(dir + "/tarvo.hlp"), expected);
  remove((dir + "/tarvo.hlp").c_str());
  mkdir((dir + "/tarvo.hlp").c_str(), 0755); // a directory stands in its way
  r = run_tarvo(dir, "", {"-H"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, " can't open file 'tarvo.hlp' \n");
}

TEST(Automation, NoDisplayAndNoScriptIsOneClearLine)
{
  std::string dir = scratch_dir("nodisplay");
  run_result r = run_tarvo(dir, "", {}, {"TARVO_SCRIPT=", "DISPLAY=", "WAYLAND_DISPLAY="});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("DISPLAY"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("TARVO_SCRIPT"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST(Automation, AMissingFontNamesItsPackage)
{
  std::string dir = scratch_dir("nofont");
  run_result r = run_tarvo(dir, "key F1\n", {}, {"TARVO_FONT=/nonexistent/font.ttf"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("fonts-dejavu-core"), std::string::npos) << r.err;
}

TEST(Automation, ScreenSizeComesFromTarvoSize)
{
  std::string dir = scratch_dir("size");
  run_result r = run_tarvo(dir, "key F1\nshot small.png\n", {}, {"TARVO_SIZE=640x480"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::string png = read_file(dir + "/small.png"); // width and height stand at bytes 16..23
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x02\x80\0\0\x01\xe0", 8));
  r = run_tarvo(dir, "key F1\n", {}, {"TARVO_SIZE=huge"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("TARVO_SIZE"), std::string::npos);
}

// A script that is used up, comments and blank lines included, closes the window.
TEST(Automation, ThousandsOfKeysRunQuickly)
{
  std::string dir = scratch_dir("many");
  std::string script = "# only a comment\n\n";
  for (int i = 0; i < 1000; i++)
    script += "key Right S-Right C-Left Tab Space\n";
  auto t0 = std::chrono::steady_clock::now();
  run_result r = run_tarvo(dir, script);
  EXPECT_EQ(r.status, 0) << r.err;
  printf("5000 keys in %.3f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
}

} // namespace
