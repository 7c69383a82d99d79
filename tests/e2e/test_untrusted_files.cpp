// Files that are no files, or whose values are barely there, as a user
// meets them: pipes are refused at once instead of freezing the program, a
// folder may vanish under the file box, tiny LST values keep their shape.
#include "support/support.h"
#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <thread>

// A name on the command line that the probe refuses is dropped unsaid, as a
// missing file is; with -nh there is no probe and the reader says it.  An
// endless pipe is full of values and held open.  A frozen program is let go
// after 30 s by a writer that comes and goes, and counts as hung.
TEST(UntrustedFiles, NamedPipesAreRefusedWithOrWithoutAWriterAndNeverWaitedFor)
{
  std::string dir = scratch_dir("pipes"), fifo = dir + "/p.lst", load = "key F L\ntype p.lst\nkey Enter Space\n";
  write_file(dir + "/sig.wav", wav_text(frames(500, 1, [](int i, int) { return i * 50 - 12000; }), 1, 8000));
  struct row { bool endless; std::vector<std::string> args; std::string script; int said; } rows[] = {
    {false, {"p.lst"}, "", 0}, {false, {"-nh", "p.lst"}, "", 1}, {false, {"sig.wav"}, load, 1},
    {true, {"p.lst"}, "", 0}, {true, {"-nh", "p.lst"}, "", 1}, {true, {}, load, 1}};
  for (const row &w : rows) {
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int writer = w.endless ? open(fifo.c_str(), O_RDWR | O_NONBLOCK) : -1;
    while (writer >= 0 && write(writer, "1.5\n", 4) == 4) {
    }
    std::atomic<bool> done{false}, hung{false};
    std::thread watchdog([&] {
      for (int i = 0; i < 300 && !done; i++)
        usleep(100000);
      hung = !done;
      for (close(writer); !done; usleep(100000))
        close(open(fifo.c_str(), O_RDWR | O_NONBLOCK));
    });
    run_result r = run_tarvo(dir, w.script, w.args);
    done = true;
    watchdog.join();
    std::string what = std::to_string(w.endless) + " " + std::to_string(w.args.size()) + " " + w.script;
    EXPECT_FALSE(hung) << what;
    EXPECT_EQ(r.status, 0) << what << r.err;
    EXPECT_EQ(count(transcript_lines(r.transcript, "P:"), " Can't open 'p.lst'."), w.said) << what << r.transcript;
    EXPECT_EQ(transcript_lines(r.transcript, "P:", "Loading (").size(), 0u) << what;
  }
}

// The folder is removed while the box is open: once a screenshot taken
// there has begun to fill a pipe with less room than the picture, so that
// the program waits.  The save can't open its file, and nothing is left.
TEST(UntrustedFiles, AFolderRemovedWhileTheFileBoxIsOpen)
{
  std::string dir = scratch_dir("gonedir"), gate = dir + "/gate.png";
  write_file(dir + "/sig.wav", wav_text(frames(2000, 1, [](int i, int) { return (i * 97) % 20000 - 10000; }), 1, 8000));
  mkdir((dir + "/sub").c_str(), 0755);
  ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
  int reader = open(gate.c_str(), O_RDONLY | O_NONBLOCK);
  fcntl(reader, F_SETPIPE_SZ, 4096);
  long drained = 0;
  bool removed = false;
  std::thread remover([&] {
    pollfd p = {reader, POLLIN, 0};
    removed = poll(&p, 1, 30000) == 1 && system(("rm -rf '" + dir + "/sub'").c_str()) == 0;
    char buf[4096];
    for (ssize_t n = 1; removed && (n > 0 || (n < 0 && errno == EAGAIN && poll(&p, 1, 30000) == 1));)
      drained += (n = read(reader, buf, sizeof buf)) > 0 ? n : 0;
  });
  run_result r = run_tarvo(dir, "key F A N\ntype *\nkey Backspace Backspace Backspace Backspace\n"
                                "type sub/out.raw\nshot gate.png\nkey Enter Space\n", {"sig.wav"});
  remover.join();
  close(reader);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(removed);
  EXPECT_GT(drained, 4096); // the program waited at the pipe: the folder was gone before Enter
  EXPECT_EQ(count(transcript_lines(r.transcript, "P:"), " can't open file 'sub/out.raw' "), 1) << r.transcript;
  EXPECT_EQ(transcript_lines(r.transcript, "P:", " Saved").size(), 0u);
}

// Decimal values are scaled so that the largest magnitude becomes 32767,
// however small it is; the signal is saved headerless to be seen.
TEST(UntrustedFiles, TinyLstValuesKeepTheirShape)
{
  std::string dir = scratch_dir("tinylst");
  struct row { std::string text; std::vector<int> loaded; } rows[] = {
    {"1e-35.\n-2e-36.\n5e-36.\n", {32767, -6553, 16383}},
    {"1e-30.\n-2e-31.\n5e-31.\n", {32767, -6553, 16383}}, // the same shape 1e5 times larger
    {"0.\n-4e-320.\n1e-320.\n", {0, -32767, 8191}},         // denormal doubles, a zero among them
    {"1e-45.\n0\n-1e-45.\n", {32767, 0, -32767}}};
  for (const row &w : rows) {
    write_file(dir + "/tiny.lst", w.text);
    remove((dir + "/tiny.").c_str());
    run_result r = run_tarvo(dir, "key F A N\ntype *\nkey Enter Space\n", {"tiny.lst"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(bytes_of(read_file(dir + "/tiny.")), s16(w.loaded)) << w.text << r.transcript;
  }
}
