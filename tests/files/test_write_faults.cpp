// Every writer and export through the one output path with a failure
// injected at each point of it: the target is left as it was, no temporary
// file stays behind, and the user is told instead of " Saved".
#include "support/support.h"
#include <sys/sysmacros.h>

struct WriteFaults : FileTest {
  void TearDown() override
  {
    output_fault = {FAULT_NONE, 0, 0, 0};
    FileTest::TearDown();
  }
  // Saves the whole of window 1 as `type` with the fault armed, "y" to the
  // overwrite question; the messages it showed.
  std::vector<std::string> save(int type, const std::string &name, output_fault_record fault)
  {
    cur_file_type = type;
    answer(name);
    push_text("y ");
    output_fault = fault;
    save_file(0, windows[1].num_samples);
    output_fault.point = FAULT_NONE;
    headless_start(scr_width, scr_height); // drops the keys the dialogue did not take
    return messages();
  }
  long entries() { return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()); }
};

// Writes of at most 1000 bytes, so that every output takes several; a
// device as the target is never written either.
TEST_F(WriteFaults, EveryWriterSurvivesAFailureAtEveryPointOfTheOutputAndADevice)
{
  fill_window(1, frames(3000, 2, [](int i, int c) { return (i * 37 + c * 1000) % 4000 - 2000; }), 2);
  snprintf(windows[1].name, NAME_LEN, "[test]"); // the dialogue proposes no name
  select_window(1);
  // A full device made here, so that a writer that fails to refuse it
  // replaces this node and not the machine's own /dev/full.
  ASSERT_EQ(mknod("full", S_IFCHR | 0666, makedev(1, 7)), 0);
  int writers = 0;
  for (int type = 0; type < NUM_FILE_TYPES; type++) {
    if (!has_writer(type))
      continue;
    std::string kind = file_type_name(type);
    writers++;
    auto m = save(type, "full", {FAULT_NONE, 0, 0, 0});
    EXPECT_EQ(count(m, " can't open file 'full' ") - count(m, " Saved file 'full'."), 1) << kind;
    ASSERT_EQ(count(save(type, "clean", {FAULT_NONE, 0, 1000, 0}), " Saved file 'clean'."), 1) << kind;
    std::vector<output_fault_record> faults;
    for (int k = 1, writes = output_fault.writes; k <= writes; k++)
      faults.push_back({FAULT_WRITE, k, 1000, 0});
    EXPECT_GE(faults.size(), 2u) << kind;
    for (int point : {FAULT_FLUSH, FAULT_FSYNC, FAULT_CLOSE, FAULT_RENAME})
      faults.push_back({point, 0, 1000, 0});
    for (bool existed : {true, false}) {
      for (output_fault_record fault : faults) {
        std::string what = kind + " point " + std::to_string(fault.point) + " write " + std::to_string(fault.nth);
        if (existed)
          write_file(path("target"), "the user's file");
        else
          remove(path("target").c_str());
        long before = entries();
        m = save(type, "target", fault);
        EXPECT_EQ(count(m, " can't write file 'target' ") - count(m, " Saved file 'target'."), 1) << what;
        EXPECT_EQ(entries(), before) << what; // no temporary file
        EXPECT_EQ(read_file(path("target")), existed ? "the user's file" : "") << what;
      }
    }
  }
  EXPECT_EQ(writers, 9);
}
