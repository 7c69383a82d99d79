// Files that are no files, or whose values are barely there, as a user
// meets them: named pipes are refused at once instead of freezing the
// program, and an LST signal far below 1 keeps its shape.
#include "support/support.h"
#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <thread>

// The program run beside a named pipe.  A watchdog lets a frozen program go
// after 30 s by coming and going as the pipe's writer (after closing the
// endless writer, if any), and the run then counts as hung.
static std::pair<run_result, bool> run_beside_pipe(const std::string &dir, const std::string &fifo, int writer,
                                                   const std::string &script, const std::vector<std::string> &args)
{
  std::atomic<bool> done{false}, hung{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 300 && !done; i++)
      usleep(100000);
    if (done)
      return;
    hung = true;
    if (writer >= 0)
      close(writer);
    while (!done) {
      int fd = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
      usleep(100000);
      close(fd);
    }
  });
  run_result r = run_tarvo(dir, script, args);
  done = true;
  watchdog.join();
  if (!hung && writer >= 0)
    close(writer);
  return {r, hung};
}

TEST(UntrustedFiles, NamedPipesAreRefusedWithOrWithoutAWriterAndNeverWaitedFor)
{
  std::string dir = scratch_dir("pipes");
  write_file(dir + "/sig.wav", wav_text(frames(500, 1, [](int i, int) { return i * 50 - 12000; }), 1, 8000));
  const std::string cant = " Can't open 'p.lst'.";
  // A name on the command line that the probe refuses is dropped unsaid,
  // as a missing file is; with -nh there is no probe, and the reader says it.
  struct row { bool endless; std::vector<std::string> args; std::string script; int said; };
  const row rows[] = {
    {false, {"p.lst"}, "", 0},
    {false, {"-nh", "p.lst"}, "", 1},
    {false, {"sig.wav"}, "key F L\ntype p.lst\nkey Enter Space\n", 1}, // over a loaded signal
    {true, {"p.lst"}, "", 0}, // an endless stream of values
    {true, {"-nh", "p.lst"}, "", 1},
    {true, {}, "key F L\ntype p.lst\nkey Enter Space\n", 1}, // into the empty window
  };
  for (const row &w : rows) {
    std::string fifo = dir + "/p.lst";
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int writer = -1;
    if (w.endless) { // filled with value lines, and held open so that it never ends
      writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
      ASSERT_GE(writer, 0);
      while (write(writer, "1.5\n", 4) == 4) {
      }
    }
    auto [r, hung] = run_beside_pipe(dir, fifo, writer, w.script, w.args);
    std::string what = (w.endless ? "endless " : "") + std::to_string(w.args.size()) + " " + w.script;
    EXPECT_FALSE(hung) << what;
    EXPECT_EQ(r.status, 0) << what << r.err;
    auto prompts = transcript_lines(r.transcript, "P:");
    EXPECT_EQ(count(prompts, cant), w.said) << what << r.transcript;
    EXPECT_EQ(transcript_lines(r.transcript, "P:", "Loading (").size(), 0u) << what;
  }
  unlink((dir + "/p.lst").c_str());
}

// Decimal LST values are scaled so that the largest magnitude becomes 32767,
// however small it is; the loaded signal is saved headerless to be seen.
TEST(UntrustedFiles, TinyLstValuesKeepTheirShape)
{
  std::string dir = scratch_dir("tinylst");
  struct row { std::string text; std::vector<int> loaded; };
  const row rows[] = {
    {"1e-35.\n-2e-36.\n5e-36.\n", {32767, -6553, 16383}},
    {"1e-30.\n-2e-31.\n5e-31.\n", {32767, -6553, 16383}}, // the same shape 1e5 times larger
    {"0.\n-4e-320.\n1e-320.\n", {0, -32767, 8191}},         // denormal doubles, a zero among them
    {"1e-45.\n0\n-1e-45.\n", {32767, 0, -32767}},
  };
  for (const row &w : rows) {
    write_file(dir + "/tiny.lst", w.text);
    remove((dir + "/tiny.").c_str());
    run_result r = run_tarvo(dir, "key F A N\ntype *\nkey Enter Space\n", {"tiny.lst"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(dir + "/tiny."), std::string((const char *)s16(w.loaded).data(), 2 * w.loaded.size()))
      << w.text << r.transcript << r.err;
  }
}

// The folder named in the file box is removed while the box is open: the
// save says it can't open the file, and nothing is left.  The removal waits
// for a screenshot taken while the box is open, written into a pipe with
// room for less than the picture, so that the program waits there.
TEST(UntrustedFiles, AFolderRemovedWhileTheFileBoxIsOpen)
{
  std::string dir = scratch_dir("gonedir");
  write_file(dir + "/sig.wav", wav_text(frames(2000, 1, [](int i, int) { return (i * 97) % 20000 - 10000; }), 1, 8000));
  mkdir((dir + "/sub").c_str(), 0755);
  std::string gate = dir + "/gate.png";
  ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
  int reader = open(gate.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  fcntl(reader, F_SETPIPE_SZ, 4096);
  long drained = 0;
  bool removed = false;
  std::thread remover([&] {
    pollfd p = {reader, POLLIN, 0};
    if (poll(&p, 1, 30000) != 1)
      return;
    removed = system(("rm -rf '" + dir + "/sub'").c_str()) == 0;
    char buf[4096];
    for (;;) {
      ssize_t n = read(reader, buf, sizeof buf);
      if (n > 0)
        drained += n;
      else if (n == 0 || (errno == EAGAIN && poll(&p, 1, 30000) != 1))
        break;
    }
  });
  run_result r = run_tarvo(dir, "key F A N\ntype *\nkey Backspace Backspace Backspace Backspace Backspace Backspace\n"
                                "type sub/out.raw\nshot gate.png\nkey Enter Space\n", {"sig.wav"});
  remover.join();
  close(reader);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(removed);
  EXPECT_GT(drained, 4096); // the program waited for the pipe, the folder was gone before Enter
  auto prompts = transcript_lines(r.transcript, "P:");
  EXPECT_EQ(count(prompts, " can't open file 'sub/out.raw' "), 1) << r.transcript;
  EXPECT_EQ(transcript_lines(r.transcript, "P:", " Saved").size(), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir + "/sub"));
  unlink(gate.c_str());
}
