// The File menu as a user meets it: saving every type with the
// confirmation, custom load, reload and exit.
#include "support/support.h"

// A one-channel 16-bit WAV file of a saw-tooth.
static std::string wav_file(int frames_, int rate, int step)
{
  return wav_text(frames(frames_, 1, [step](int i, int) { return (i * step) % 20001 - 10000; }), 1, rate);
}

TEST(FileMenu, EveryTypeSavedCustomLoadReloadAndOnlyYesExits)
{
  std::string dir = scratch_dir("savetypes");
  write_file(dir + "/sig.wav", wav_file(1000, 8000, 37));
  struct { char key; const char *type, *name; } types[] = {
    {'A', "ADF", "sig.adf"}, {'C', "C", "sig.c"}, {'I', "ILS", "sig.ils"}, {'L', "LST", "sig.lst"},
    {'P', "PLT", "sig.plt"}, {'S', "SND", "sig.snd"}, {'M', "MAT", "sig.mat"}, {'N', "NOH", "sig."},
  };
  std::string script;
  for (auto t : types)
    script += std::string("key F A ") + t.key + "\ntype *\nkey Enter Space\n";
  run_result r = run_tarvo(dir, script, {"sig.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto prompts = transcript_lines(r.transcript, "P:");
  for (auto t : types)
    EXPECT_EQ(count(prompts, std::string(" writing (") + t.type + ") output to file '" + t.name + "' ") +
              count(prompts, std::string(" Saved file '") + t.name + "'."), 2) << t.type;
  EXPECT_GT(count(prompts, " FILE SAVE:  From mark [End]"), 0);
  dir = scratch_dir("custom");
  write_file(dir + "/sig.wav", wav_file(1000, 8000, 37));
  mkdir((dir + "/sub").c_str(), 0755);
  write_file(dir + "/sub/sig.wav", wav_file(3000, 8000, 37));
  // Header 44, no trailer ("x" is no number), 2 bytes, no swap; then the
  // file box walks into sub/ for a file of the same name, and sub/ becomes
  // the working directory: Reload must still open the file each window came
  // from, the way it was read.  Exit asks, and only "y" ends the run.
  script = "key F C\ntype 44\nkey Enter\ntype x\nkey Enter\ntype 2n\ntype sig.wav\nkey Enter Space\n"
                       "key F L\ntype sub\nkey Enter\ntype sig.wav\nkey Enter Space\n"
                       "key Up\nkey F R Space\nkey Up\nkey F R Space\nkey F X Enter F2 Space F X y F2 Space\n";
  r = run_tarvo(dir, script, {"sig.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  prompts = transcript_lines(r.transcript, "P:");
  const std::string wav = " (WAV) 1000 samples (1 chan.) at 8000 Hz, ADC = 16 bits (signed) ";
  const std::string noh = " (NOH) 1000 samples (1 chan.) at 10000 Hz, ADC = 16 bits (signed) ";
  const std::string sub = " (WAV) 3000 samples (1 chan.) at 8000 Hz, ADC = 16 bits (signed) ";
  EXPECT_EQ(count(prompts, " Are you sure you want to EXIT? (y/N) "), 2);
  // The F2 after the second exit question comes after the end.
  EXPECT_EQ(transcript_lines(r.transcript, "P:", " samples ("), (std::vector<std::string>{noh, sub, noh, wav, wav}));
}
