// The program as a user meets it, driven through its automation interface.
#include "support/support.h"
#include <fnmatch.h>

const char usage_text[] =
  " \n\n   usage:\n       tarvo [options] file ...\n\n   where 'file' is an ILS sampled data file.\n\n   options:\n\n"
  "       -H      write the help screen to file 'tarvo.hlp'\n"
  "       -g N    assume graphics adaptor N,\n               where N=cga,hgc,ega,vga\n"
  "       -m      monochrome (no colors)\n"
  "       -nh     assume no header on input files\n"
  "       -p N    assume I/O device N,\n               where N=dt,lpt,internal,sb,vmk\n"
  "       -r N    set default sample rate to N/sec\n\n";

const std::string rule(38, ' ');
const std::string help_text[] = {
  " ", rule, " [F1]     Help", " [F2]     Signal information", " [F3]     Toggle scroll-range box",
  " [F4]     Maximize window", " [F5]     Toggle scroll mode", "           (use < > to pan)",
  " [F6]     Toggle channel separation", " [Ins]    Insert a letter mark", " [Del]    Delete a letter mark",
  " [Esc]    Exit mode or program", " [Enter]  Replay signal to DAC", " [Tab]    Go to next window",
  " Ctrl-L   Redraw screen", rule, "   <-     Cursor left", "   ->     Cursor right",
  " [Shift]  Cursor moves 10", " [Ctrl]   Cursor moves 50", rule,
};

// The help screen, by F1 or from the menu, leaves the screen as it was, and
// so do a repaint and F6 (split view) and F3 (range box) pressed twice; the
// key after "close" is never read.
TEST(Automation, HelpScreenViewsRepaintUsageHelpFileStartUpProblemsTarvoSizeAndTheStartFolder)
{
  std::string dir = scratch_dir("help");
  write_file(dir + "/st.wav", wav_text(frames(3000, 2, [](int i, int c) {
    return c ? (i % 200 - 100) * 100 : (i % 50 - 25) * 400; }), 2, 10000));
  run_result r = run_tarvo(dir, "# a comment\n\nshot before.png\nkey F1\nshot help.png\nkey x\nshot after.png\n"
                                "key F6\nshot split.png\nkey F6\nshot again.png\nkey F3\nshot box.png\nkey F3\n"
                                "shot nobox.png\nkey C-l\nshot repainted.png\nkey H\nkey Esc\nclose\nkey F1\n", {"st.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> help(help_text, help_text + 21);
  help.insert(help.end(), help_text, help_text + 21);
  EXPECT_EQ(transcript_lines(r.transcript, "I:"), help);
  std::string before = read_file(dir + "/before.png");
  ASSERT_FALSE(before.empty());
  for (const char *changed : {"/help.png", "/split.png", "/box.png"})
    EXPECT_NE(before, read_file(dir + changed)) << changed;
  for (const char *same : {"/after.png", "/again.png", "/nobox.png", "/repainted.png"})
    EXPECT_EQ(before, read_file(dir + same)) << same;
  dir = scratch_dir("usage");
  auto said = [&](const char *opt) { run_result r = run_tarvo(dir, "", {opt}); return std::pair(r.status, r.err); };
  for (const char *opt : {"-x", "-", "-Z"})
    EXPECT_EQ(said(opt), std::pair(0, std::string(usage_text))) << opt;
  EXPECT_EQ(said("-H"), std::pair(0, std::string(" TARVO help screen written to 'tarvo.hlp' \n")));
  std::string expected = usage_text + std::string("\n   --------------------------------------------------------------  \n\n");
  for (int i = 0; i < 20; i++)
    expected += "    " + help_text[i] + "\n";
  EXPECT_EQ(read_file(dir + "/tarvo.hlp"), expected);
  remove((dir + "/tarvo.hlp").c_str());
  mkdir((dir + "/tarvo.hlp").c_str(), 0755); // a directory stands in its way
  EXPECT_EQ(said("-H"), std::pair(1, std::string(" can't open file 'tarvo.hlp' \n")));
  // Each problem at start-up is said in full on standard error ('*' stands
  // for the font renderer's own words); TARVO_SIZE sets the screen's size,
  // which the PNG shows in its bytes 16..23.
  struct row { std::vector<std::string> env; std::string script; int status; std::string err; };
  std::vector<row> rows = {
    {{"TARVO_SCRIPT=", "DISPLAY=", "WAYLAND_DISPLAY="}, "", 1,
     "tarvo: no display: DISPLAY is not set; run it on a desktop, or headless with TARVO_SCRIPT=FILE\n"},
    {{"TARVO_SCRIPT=gone.txt"}, "", 2, "tarvo: cannot read the script '" + dir + "/gone.txt'\n"},
    {{}, "shot nowhere/a.png\n", 0, "tarvo: cannot write the screenshot '" + dir + "/nowhere/a.png'\n"},
    {{"TARVO_FONT=/no/font.ttf"}, "", 1, "tarvo: cannot open the font '/no/font.ttf' (*); install the package "
     "fonts-dejavu-core or set TARVO_FONT to a fixed-pitch font file\ntarvo: cannot go on without a font\n"},
    {{"TARVO_SIZE=320x200"}, "shot s.png\n", 0, ""}, {{"TARVO_SIZE=640x480"}, "key F1\nshot s.png\n", 0, ""},
  };
  for (const char *bad : {"jump 3 4", "key NoSuchKey", "click 10", "shot", "type"})
    rows.push_back({{}, std::string("key F1\n") + bad + "\n", 2,
                    "tarvo: " + dir + "/script.txt:2: not a script command: " + bad + "\n"});
  for (const char *size : {"huge", "319x200", "320x199", "8193x600", "640x480x"})
    rows.push_back({{std::string("TARVO_SIZE=") + size}, "", 1,
                    "tarvo: TARVO_SIZE must be WIDTHxHEIGHT, at least 320x200\n"});
  std::string sizes;
  for (const row &want : rows) {
    remove((dir + "/s.png").c_str());
    run_result r = run_tarvo(dir, want.script, {}, want.env);
    EXPECT_EQ(r.status, want.status) << want.script;
    EXPECT_EQ(fnmatch(want.err.c_str(), r.err.c_str(), 0), 0) << r.err;
    std::string png = read_file(dir + "/s.png");
    sizes += png.size() > 24 ? png.substr(16, 8) : "";
  }
  EXPECT_EQ(sizes, std::string("\0\0\x01\x40\0\0\0\xc8\0\0\x02\x80\0\0\x01\xe0", 16));
  // The script, the transcript and the shots are named from the folder the
  // program was started in, though the signal's folder became the working one.
  std::string root = scratch_dir("startdir"), start = root + "/start";
  mkdir(start.c_str(), 0755);
  mkdir((root + "/sig").c_str(), 0755);
  write_file(root + "/sig/s.wav", wav_text(std::vector<int>(100, 7), 1, 8000));
  r = run_tarvo(start, "key F2 x\nshot s.png\n", {"../sig/s.wav"},
                           {"TARVO_SCRIPT=script.txt", "TARVO_TRANSCRIPT=transcript.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.transcript.find("P: (WAV) 100 samples (1 chan.)"), std::string::npos) << r.transcript;
  EXPECT_FALSE(read_file(start + "/s.png").empty());
  EXPECT_EQ(read_file(root + "/sig/s.png") + read_file(root + "/sig/transcript.txt"), "");
}

