// The Trans menu as a user runs it: settings, FFT and its readout, LPE and its refusals.
#include "support/support.h"
#include <regex>

TEST(TransMenu, EveryItemThroughTheMenus)
{
  std::string dir = scratch_dir("trans"), fft = "key T F\ntype *\n", num = "[ \\d-]{3}\\.\\d";
  // Channel 0 (1000) of c.wav is analysed, through a Hamming window: 1000 * sum(w) at DC.
  write_file(dir + "/c.wav", wav_text(frames(512, 2, [](int, int c) { return c ? -3000 : 1000; }), 2, 10000));
  write_file(dir + "/v.wav", wav_text(frames(512, 1, [](int i, int) { return i * 7919 % 2001 - 1000; }), 1, 10000));
  struct { const char *file; std::string keys; std::vector<std::string> prompts; std::string status; } rows[] = {
    {"c.wav", "key T S Esc x n\n" + fft + "key Up", {" TRANSFORM:  FFT  LPE  Set ", " FFT TRANSFORM:  FFT-only  LPC-only  Both ", " Pad with NFFT zeros, power-of-2  = (1) ",
      " High-frequency emphasis? (y/N) ", " FOURIER TRANSFORM:  From mark [End]", " FT: npts=512, nfft=1024"}, " FFT Cursor at  0\\.000 kHz, Value =  89\\.7 dB  "},
    {"c.wav", "key T S F 0 n\n" + fft + "key Up C-End", {" FT: npts=512, nfft=512"}, " FFT Cursor at  5\\.000 kHz, Value =  -0\\.0 dB  "},
    {"v.wav", "key T S B 3 y\n" + fft + "key Up", {" FT: npts=512, nfft=4096"}, " FFT Cursor at  0\\.000 kHz, Value = " + num + "," + num + " dB  "},
    {"v.wav", "key T S L 0 y\n" + fft + "key Up", {" FT: npts=512, nfft=512"}, " FFT Cursor at  0\\.000 kHz, Value = " + num + " dB  "},
    {"c.wav", "key T S L 9 y\n" + fft + "key Space", {" FT: npts=512, nfft=262144", "Singular autocorrelation matrix."}, ""},
    {"c.wav", fft + "key T L\ntype 1\nkey Enter Up C-Home Right T L Space", {"LP ERROR: Number of coefficients? ", " LPE filters a signal into the clip window, not the clip window itself. "}, " Cursor at .*Value =      0  "},
    {"c.wav", "key W N T L Space", {"No signal."}, ""},
  };
  for (auto &r : rows) {
    run_result run = run_tarvo(dir, r.keys + "\n", {r.file});
    auto prompts = transcript_lines(run.transcript, "P:"), status = transcript_lines(run.transcript, "S:");
    for (auto &p : r.prompts)
      EXPECT_GE(count(prompts, p), 1) << r.keys << " " << p << "\n" << run.transcript;
    EXPECT_TRUE(r.status.empty() || (!status.empty() && std::regex_match(status.back(), std::regex(r.status)))) << r.keys << "\n" << run.transcript;
  }
}
