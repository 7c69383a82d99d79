// The Set menu as a user drives it, and the Calc and Set keys of the main
// loop and of scroll mode: every prompt, summary and refusal in the order the
// user meets them.
#include "support/support.h"
#include <gtest/gtest.h>

namespace {

// Runs the script on a 2000-frame signal at the rate and checks that the
// lines (with their transcript tags) come in this order.
void expect_lines(int rate, const std::string &script, const std::vector<std::string> &lines)
{
  std::string dir = scratch_dir("settings");
  write_file(dir + "/sig.wav", wav_text(std::vector<int>(2000, 7), 1, rate));
  run_result run = run_tarvo(dir, script, {"sig.wav"});
  ASSERT_EQ(run.status, 0) << run.err;
  auto all = transcript_lines(run.transcript, "");
  auto at = all.begin();
  for (const std::string &line : lines) {
    at = std::find(at, all.end(), line);
    ASSERT_NE(at, all.end()) << line;
  }
}

TEST(SetMenu, EveryItemWithItsPromptsSummariesAndRefusals)
{
  // Each row: the keys after S (an answer between bars), and the lines then seen.
  std::pair<std::string, std::vector<std::string>> rows[] = {
    {"D", {"P: SET:  Device  Rate  Time  Moment  LPC ", "P: This function is not implemented."}},
    {"M Esc Esc", {"P: FREQUENCY MOMENT WINDOW TYPE:  Rectangular  Hamming  Blackman ", "P: HIGH-FREQUENCY EMPHASIS:  Yes  No ",
                   "P: Frequency moments have Hamming window & 6 dB/oct high-freq. emphasis."}},
    {"M R N", {"P: Frequency moments have Rectangular window & no high-freq. emphasis."}},
    {"M B Y", {"P: Frequency moments have Blackman window & 6 dB/oct high-freq. emphasis."}},
    {"L|nan|Esc Esc", {"P:LINEAR PREDICTION:  Number of coefficients? (1-50) [12] ", "P: WINDOW TYPE:  Rectangular  Hamming  Blackman ",
                       "P: Lin. pred. has 12 coef., Hamming window, & 6 dB/oct h.f.emph."}},
    {"L|80.9|R N", {"P: Lin. pred. has 80 coef., Rectangular window, & no h.f.emph."}},
    {"L|0|B Y", {"P:LINEAR PREDICTION:  Number of coefficients? (1-50) [80] ", "P: Lin. pred. has 80 coef., Blackman window, & 6 dB/oct h.f.emph."}},
    {"L|9e99|H Esc", {"P: Lin. pred. has 80 coef., Hamming window, & 6 dB/oct h.f.emph."}},
    {"R A|20000|", {"P: SET RATE:  ADC  DAC  deFault ", "P:SET: ADC sample rate = (10000/s)  ", "S: Cursor at   20.00/100.00 ms, (   400/  2000).  Value =      7  "}},
    {"T|inf|", {"P:SET RECORD TIME = (1.000 s)  "}}, // 10000 frames at 10000/s kept their second at 20000/s
    {"T|-1|", {"P:SET RECORD TIME = (1.000 s)  "}},
    {"T|2.5|", {"P:SET RECORD TIME = (1.000 s)  "}},
    {"T|200|", {"P:SET RECORD TIME = (2.500 s)  "}},
    {"T||", {"P:SET RECORD TIME = (52.429 s)  "}}, // 1048576 frames at most
    {"R A|0|", {"P:SET: ADC sample rate = (20000/s)  "}},
    {"R A|2147483648|", {"P:SET: ADC sample rate = (20000/s)  "}},
    {"R D|8000|", {"P:SET: ADC sample rate = (20000/s)  ", "P:SET: DAC sample rate = (10000/s)  "}},
    {"R D|nan|", {"P:SET: DAC sample rate = (8000/s)  "}},
    {"R F|16000|", {"P:SET: DAC sample rate = (8000/s)  ", "P:SET: default sample rate = (10000/s)  "}},
    {"R F|-3|", {"P:SET: default sample rate = (16000/s)  "}},
    {"R A|x|", {"P:SET: ADC sample rate = (16000/s)  "}},
    {"R D|Esc", {"P:SET: DAC sample rate = (16000/s)  "}},
    {"T||", {"P:SET RECORD TIME = (52.429 s)  "}}, // 838860 frames at 16000/s
  };
  std::string script;
  std::vector<std::string> lines;
  for (const auto &[keys, seen] : rows) {
    size_t bar = keys.find('|'), end = keys.rfind('|');
    script += bar == std::string::npos ? "key S " + keys + " Space\n"
                                       : "key S " + keys.substr(0, bar) + "\ntype " + keys.substr(bar + 1, end - bar - 1) +
                                           "\nkey Enter " + keys.substr(end + 1) + " Space\n";
    lines.insert(lines.end(), seen.begin(), seen.end());
  }
  expect_lines(10000, script, lines);
}

} // namespace
