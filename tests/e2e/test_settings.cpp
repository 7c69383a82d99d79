// The Set menu as a user drives it, and the Set and Calc keys of the main
// loop and of scroll mode: prompts, summaries and refusals in their order.
#include "support/support.h"

namespace {

TEST(SetMenu, EveryItemWithItsPromptsSummariesAndRefusals)
{
  // Keys on a 2000-frame signal at 16000/s, "|x|" typing x and pressing Enter.
  std::string keys = "S D Space S M Esc Esc Space S M R N Space S M B Y Space S L |nan| Esc Esc Space S L |80.9| R N Space "
                     "S L |0| B Y Space S L |9e99| H Esc Space S R A |32000| Space S T |inf| Space S T |-1| Space S T |2.5| Space "
                     "S T |200| Space S T || Space S R A |2147483648| Space S R D |8000| Space S R D |nan| Space S R F |-3| Space "
                     "S R F |11025| Space S T || Space C D Home End Space ~ C D Home End Space S M Esc Esc Space Esc";
  std::string dir = scratch_dir("settings"), script;
  write_file(dir + "/sig.wav", wav_text(std::vector<int>(2000, 7), 1, 16000));
  for (size_t bar, end; (bar = keys.find('|')) != std::string::npos; keys = "Enter" + keys.substr(end + 1)) {
    end = keys.find('|', bar + 1);
    script += "key " + keys.substr(0, bar) + "\ntype " + keys.substr(bar + 1, end - bar - 1) + "\n";
  }
  run_result run = run_tarvo(dir, script + "key " + keys + "\n", {"sig.wav"});
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
         " Duration from [Home] to [End] =   181.406 msec, (2000 samples).", " Frequency moments have Blackman window & 6 dB/oct high-freq. emphasis."}) {
    at = std::find(at, all.end(), line[1] == ':' ? line : "P:" + line);
    ASSERT_NE(at, all.end()) << line;
    ++at;
  }
}

} // namespace
