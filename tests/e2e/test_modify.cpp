// Every Modify item as a user runs it on a whole signal, the result saved as
// a headerless file and compared byte for byte.
#include "support/support.h"

TEST(ModifyMenu, EveryItemChangesTheSavedSignal)
{
  const std::vector<int> signal = {0, 100, -100, 20001, -32768, 7};
  struct { const char *keys, *prompt, *question; std::vector<int> want; } rows[] = {
    {"O\ntype *2.9", " OFFSET:  From mark [End]", "OFFSET: Enter the offset amount: ", {2, 102, -98, 20003, -32766, 9}},
    {"S\ntype *2", " RESCALE:  From mark [End]", "RESCALE: Enter the scale factor: ", {0, 200, -200, -25534, 0, 14}},
    {"R\ntype *", " REVERSE:  From mark [End]", "", {7, -32768, 20001, -100, 100, 0}},
    {"D\ntype *", " REMOVE DC COMPONENT:  From mark [End]", "", {2127, 2227, 2027, 22128, -30641, 2134}},
    {"C\ntype *0.5", " COMPRESS:  From mark [End]", "COMPRESS: Enter the exponent: ", {0, 1810, -1810, 25600, -32768, 478}},
    {"I\ntype *", " INVERT:  From mark [End]", "", {0, -100, 100, -20001, -32768, -7}},
    {"T\ntype *101", " CENTER-CLIP:  From mark [End]", "CENTER-CLIP: Enter the clip threshold: ", {0, 0, 0, 20001, -32768, 0}},
    {"Z\ntype *y", " ZERO:  From mark [End]", " ZERO entire signal.  Are you sure? (Y/N) ", {0, 0, 0, 0, 0, 0}},
    {"B C", " CHANGE BITS:  A[16-bit,signed]  B[12-bit,unsigned]  C[8-bit,unsigned] ", "", {128, 128, 128, 206, 0, 128}},
    {"A", " MODIFY:  Bits  Compr  Invert  Ofst  rmDC  Scale  cnTrclp  Zero  Reverse  Add ", "", signal}, // no clip
  };
  for (const auto &r : rows) {
    std::string dir = scratch_dir("modify");
    write_file(dir + "/sig.wav", wav_text(signal, 1, 8000));
    run_result run = run_tarvo(dir, std::string("key M ") + r.keys + "\nkey Enter F A N\ntype *\nkey Enter Space\n", {"sig.wav"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(bytes_of(read_file(dir + "/sig.")), s16(r.want)) << r.keys;
    auto prompts = transcript_lines(run.transcript, "P:");
    for (std::string line : {r.prompt, r.question})
      EXPECT_TRUE(line.empty() || std::count(prompts.begin(), prompts.end(), line) == 1) << line;
    EXPECT_EQ(std::count(prompts.begin(), prompts.end(), " ADD clip: at mark?"), 0);
  }
}
