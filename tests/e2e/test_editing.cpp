// The Edit menu as a user drives it: every item through the menus, and the
// edited signals saved and compared byte for byte; M opens the Modify menu.
#include "support/support.h"

TEST(EditMenu, EveryItemThroughTheMenusAndTheResultSavedByteForByte)
{
  std::string dir = scratch_dir("editing");
  std::vector<int> v(1000);
  for (int i = 0; i < 1000; i++) v[i] = i * 3 - 1500;
  for (const char *name : {"/sig.wav", "/two.wav"})
    write_file(dir + name, wav_text(v, 1, 8000));
  // Replace from an empty clip; Value puts the cursor on A 200, B 400, C 700; copy A..B; cut B..C, paste it
  // back before C (400); delete A..B; 5 ms of silence at C (500); frame 10 := 40000; eXtend; Blank; Replace.
  std::string script = "key M Esc E R Space E V\ntype 200\nkey Enter Enter Ins a E V\ntype 400\nkey Enter Enter Ins b E V\n"
                       "type 700\nkey Enter Enter Ins c E C a b E T b c E P c E D a b E S c\ntype 5\n"
                       "key Enter E V\ntype 10\nkey Enter\ntype 40000\nkey Enter E X Space E M B F A N\ntype *\n"
                       "key Enter Space Tab E R F A N\ntype *\nkey Enter Space\n";
  run_result r = run_tarvo(dir, script, {"sig.wav", "two.wav"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<int> want(v.begin(), v.begin() + 200);
  want.insert(want.end(), v.begin() + 400, v.begin() + 700);
  want.resize(540, 0);
  want.insert(want.end(), v.begin() + 700, v.end());
  want[10] = 40000 - 65536;
  want.resize(1024, 0);
  EXPECT_EQ(bytes_of(read_file(dir + "/sig.")), s16(want));
  EXPECT_EQ(bytes_of(read_file(dir + "/two.")), s16({v.begin() + 400, v.begin() + 700}));
  auto prompts = transcript_lines(r.transcript, "P:");
  for (const char *line : {" No signal in clip window. ", " PASTE: in front of mark",
                           "DURATION of silence at mark C (ms) = ",
                           " MODIFY:  Bits  Compr  Invert  Ofst  rmDC  Scale  cnTrclp  Zero  Reverse  Add ",
                           " (WAV) 1024 samples (1 chan.) at 8000 Hz, ADC = 12 bits (signed) "})
    EXPECT_NE(std::find(prompts.begin(), prompts.end(), line), prompts.end()) << line;
}

