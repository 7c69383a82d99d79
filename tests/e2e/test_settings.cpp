// The Set menu as a user drives it, and the Set and Calc keys of the main
// loop and of scroll mode: prompts, summaries and refusals in their order.
#include "support/support.h"

namespace {

TEST(SetMenu, EveryItemWithItsPromptsSummariesAndRefusals)
{
  // Keys on a 2000-frame signal at 16000/s, each answer typed and entered.
  std::string dir = scratch_dir("settings");
  write_file(dir + "/sig.wav", wav_text(std::vector<int>(2000, 7), 1, 16000));
  run_result run = run_tarvo(dir, "key S D Space S M Esc Esc Space S M R N Space S M B Y Space S L\ntype nan\nkey Enter Esc Esc Space "
    "S L\ntype 80.9\nkey Enter R N Space S L\ntype 0\nkey Enter B Y Space S L\ntype 9e99\nkey Enter H Esc Space S R A\ntype 32000\n"
    "key Enter Space S T\ntype inf\nkey Enter Space S T\ntype -1\nkey Enter Space S T\ntype 2.5\nkey Enter Space S T\ntype 200\n"
    "key Enter Space S T Enter Space S R A\ntype 2147483648\nkey Enter Space S R D\ntype 8000\nkey Enter Space S R D\ntype nan\n"
    "key Enter Space S R F\ntype -3\nkey Enter Space S R F\ntype 11025\nkey Enter Space S T Enter Space C D Home End Space "
    "~ C D Home End Space S M Esc Esc Space S R A\ntype 22050\nkey Enter Esc\n", {"sig.wav"});
  ASSERT_EQ(run.status, 0) << run.err;
  auto all = transcript_lines(run.transcript, "");
  auto at = all.begin();
  for (std::string line : {
         " SET:  Device  Rate  Time  Moment  LPC ", " This function is not implemented.",
         " FREQUENCY MOMENT WINDOW TYPE:  Rectangular  Hamming  Blackman ", " HIGH-FREQUENCY EMPHASIS:  Yes  No ",
         " Frequency moments have Hamming window & 6 dB/oct high-freq. emphasis.",
         " Frequency moments have Rectangular window & no high-freq. emphasis.", " Frequency moments have Blackman window & 6 dB/oct high-freq. emphasis.",
         "LINEAR PREDICTION:  Number of coefficients? (1-50) [18] ", " WINDOW TYPE:  Rectangular  Hamming  Blackman ",
         " Lin. pred. has 18 coef., Hamming window, & 6 dB/oct h.f.emph.", " Lin. pred. has 80 coef., Rectangular window, & no h.f.emph.",
         "LINEAR PREDICTION:  Number of coefficients? (1-50) [80] ", " Lin. pred. has 80 coef., Blackman window, & 6 dB/oct h.f.emph.",
         " Lin. pred. has 80 coef., Hamming window, & 6 dB/oct h.f.emph.", " SET RATE:  ADC  DAC  deFault ", "SET: ADC sample rate = (16000/s)  ",
         "S: Cursor at  12.500/62.500 ms, (   400/  2000).  Value =      7  ", // the window redrawn at its new rate
         "SET RECORD TIME = (0.625 s)  ", "SET RECORD TIME = (0.625 s)  ", "SET RECORD TIME = (0.625 s)  ", // kept through 32000/s, inf, -1
         "SET RECORD TIME = (2.500 s)  ", "SET RECORD TIME = (32.768 s)  ", // 200 s: 1048576 frames at most
         "SET: ADC sample rate = (32000/s)  ", "SET: DAC sample rate = (16000/s)  ", "SET: DAC sample rate = (8000/s)  ",
         "SET: default sample rate = (10000/s)  ", "SET: default sample rate = (10000/s)  ", "SET RECORD TIME = (32.768 s)  ", // seconds kept
         " Duration from [Home] to [End] =   181.406 msec, (2000 samples).", " SCROLL MODE:  Edit  Modify  Calc  Play  Set  Help ",
         " Duration from [Home] to [End] =   181.406 msec, (2000 samples).", " Frequency moments have Blackman window & 6 dB/oct high-freq. emphasis.",
         "S: Cursor at  18.141/90.703 ms, (   400/  2000).  Value =      7  ", " SCROLL MODE:  Edit  Modify  Calc  Play  Set  Help "}) { // new rate read in scroll mode
    at = std::find(at, all.end(), line[1] == ':' ? line : "P:" + line);
    ASSERT_NE(at, all.end()) << line;
    ++at;
  }
}

} // namespace
