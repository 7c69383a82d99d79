// Saving through the dialogue, the safe output files, and the text exports.
#include "support/support.h"
#include <signal.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

using namespace std::string_literals;
namespace fs = std::filesystem;

// Names are typed relative to the test's folder: the name field takes 79
// characters.
struct Save : FileTest {
  // Window 1 with the values, named so that the save dialogue proposes nothing.
  void fill(const std::vector<int> &v, int channels = 1, int bits = 16, int zero = 0)
  {
    fill_window(1, v, channels, 10000, bits, zero);
    snprintf(windows[1].name, NAME_LEN, "[test]");
  }
  // Saves frames from..to-1 as `type` to path, typing the name, then the
  // given answers; every message is acknowledged with a space.
  void save(int type, const std::string &path, int from, int to, const std::string &answers = "")
  {
    cur_file_type = type;
    char proposal[LINE_LEN + 1];
    propose_save_name(proposal, sizeof proposal);
    for (size_t i = 0; i < strlen(proposal); i++)
      push_key(PK_BACKSPACE);
    answer(path);
    push_text(answers.empty() && access(path.c_str(), F_OK) == 0 ? "y" : answers.c_str());
    push_text(" ");
    save_file(from, to);
    headless_start(scr_width, scr_height); // drops the keys the dialogue did not take
  }
  bytes saved(const std::string &name) { return bytes_of(read_file(name)); }
  // Saves the whole window as NOH in a child process under a file-size
  // limit, or as an unprivileged user; the parent checks what is left.
  int save_in_child(const std::string &target, long size_limit, bool unprivileged)
  {
    pid_t pid = fork();
    if (pid == 0) {
      rlimit r = {(rlim_t)size_limit, (rlim_t)size_limit};
      if (size_limit > 0 && (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &r) != 0))
        _exit(3);
      if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        _exit(3);
      save(FT_NOH, target, 0, windows[1].num_samples, "y");
      _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Entries of the test's folder: a temporary file left behind adds one.
  long entries() { return std::distance(fs::directory_iterator(dir), fs::directory_iterator()); }
};

TEST_F(Save, ProposalsOverwriteQuestionAndFailuresThatLeaveTheOldFileAndNoTemporaryFile)
{
  struct { const char *name; int loaded, saving; const char *proposal; } cases[] = {
    {"speech.wav", FT_WAV, FT_WAV, "speech.wav"}, {"speech.wav", FT_WAV, FT_SND, "speech.snd"}, {"a.b.ils", FT_ILS, FT_SND, "a.b"},
    {"take1.ils", FT_ILS, FT_NOH, "take1."}, {"x,y.wav", FT_WAV, FT_WAV, "x,y.wav"}, {"[clip]", FT_ILS, FT_ILS, ""},
    {" blank", FT_ILS, FT_ILS, ""}, {"\x01odd", FT_ILS, FT_ILS, ""}, {"\x7fodd", FT_ILS, FT_ILS, ""},
    {"./take1", FT_ILS, FT_SND, "./take1.snd"}, // the folder's dot is no extension
  };
  char proposal[LINE_LEN + 1];
  for (auto c : cases) {
    snprintf(windows[cur_win].name, NAME_LEN, "%s", c.name);
    windows[cur_win].file_type = (int8_t)c.loaded;
    cur_file_type = c.saving;
    propose_save_name(proposal, sizeof proposal);
    EXPECT_STREQ(proposal, c.proposal) << c.name;
  }
  // The question is asked for an existing file, shortened in its middle when
  // the name is long, and only "y" replaces the file; a new file gets the
  // usual permissions.
  fill({1, 2, 3, 4});
  write("old.noh", bytes_of("keep me"));
  save(FT_NOH, "old.noh", 0, 4, "n");
  EXPECT_TRUE(showed(" Overwrite existing file 'old.noh' (y/N) ? "));
  EXPECT_EQ(read_file("old.noh"), "keep me");
  save(FT_NOH, "old.noh", 1, 3, "y");
  EXPECT_EQ(saved("old.noh"), s16({2, 3}));
  std::vector<std::string> m = messages();
  EXPECT_EQ(count(m, " writing (NOH) output to file 'old.noh' ") + count(m, " Saved file 'old.noh'."), 2);
  std::string deep = std::string(60, 'd') + "/signal.noh";
  fs::create_directory(std::string(60, 'd'));
  write_file(deep, "old");
  save(FT_NOH, deep, 0, 2, "n");
  EXPECT_EQ(count(messages(), " Overwrite existing file '" + std::string(20, 'd') + "..." + std::string(9, 'd') + "/signal.noh' (y/N) ? "), 1);
  EXPECT_EQ(read_file(deep), "old");
  mode_t mask = umask(0); // so that every permission bit given shows
  save(FT_NOH, "new.noh", -5, 99); // positions off the signal: the whole of it
  umask(mask);
  EXPECT_EQ(saved("new.noh"), s16({1, 2, 3, 4}));
  EXPECT_EQ((unsigned)fs::status("new.noh").permissions() & 0777, 0666u);
  EXPECT_EQ(entries(), 3); // old.noh, new.noh and the folder
  // Nothing is written for an empty stretch or a type without a writer, and a
  // failure leaves the old file and no temporary file.
  fill(std::vector<int>(200000, 7));
  save(FT_NOH, "x.noh", 2, 2);
  EXPECT_TRUE(showed("No signal."));
  for (int type : {(int)FT_TRN, (int)FT_TOK, -1}) {
    cur_file_type = type;
    push_text(" ");
    save_file(0, 3);
  }
  m = messages();
  EXPECT_EQ(count(m, " Can't write (TRN) files: choose another type with save_As. "), 1);
  EXPECT_EQ(count(m, " Can't write (?) files: choose another type with save_As. "), 1);
  EXPECT_EQ(entries(), 3); // only the three above
  write("kept.noh", bytes_of("old contents"));
  ASSERT_EQ(symlink("kept.noh", "link.noh"), 0);
  ASSERT_EQ(symlink("loop.noh", "loop.noh"), 0);
  // Devices and pipes are never replaced: a full device (made here, so that
  // a fault cannot replace the machine's own) and a named pipe.
  ASSERT_TRUE(mknod("full", S_IFCHR | 0666, makedev(1, 7)) == 0 || mkfifo("full", 0666) == 0);
  ASSERT_EQ(mkfifo("pipe", 0666), 0);
  for (std::string target : {"full", "pipe", "no/such/dir.noh", "loop.noh"}) {
    save(FT_NOH, target, 0, 5000, "y");
    m = messages();
    EXPECT_EQ(count(m, " can't open file '" + target + "' ") * 10 + count(m, " Saved file '" + target + "'."), 10) << target;
  }
  // A file-size limit, or a read-only folder.
  messages();
  // The limit leaves room for the transcript's lines, not for the signal.
  long limit = (long)fs::file_size(getenv("TARVO_TRANSCRIPT")) + 65536;
  fill(std::vector<int>(std::min<long>(limit / 2 + 65536, MAX_FRAMES), 7));
  ASSERT_EQ(save_in_child("kept.noh", limit, false), 0);
  EXPECT_TRUE(showed(" can't write file 'kept.noh' "));
  ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
  ASSERT_EQ(save_in_child("kept.noh", 0, true), 0);
  ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
  EXPECT_EQ(read_file("kept.noh"), "old contents");
  EXPECT_EQ(entries(), 8); // and kept.noh, link.noh, loop.noh, full and pipe
  // A link is followed: the file it names is replaced, the link stays.
  save(FT_NOH, "link.noh", 0, 2, "y");
  EXPECT_EQ(saved("kept.noh"), s16({7, 7}));
  EXPECT_TRUE(fs::is_symlink("link.noh"));
  EXPECT_FALSE(fs::is_regular_file(fs::symlink_status("full")));
  EXPECT_EQ(entries(), 8);
}

// Lines of a text from the one starting with `from` on, `n` of them.
static std::string lines(const std::string &text, const std::string &from, int n)
{
  size_t at = text.find("\n" + from), end = at + 1;
  if (at == std::string::npos)
    return "(no line " + from + ")";
  for (int i = 0; i < n && end != std::string::npos; i++)
    end = text.find('\n', end + 1);
  return text.substr(at + 1, end - at);
}

TEST_F(Save, CArraysListingsAndPlotFilesKeepEveryValueChooseUnitsAndThinLongStretches)
{
  struct { const char *file, *id; } names[] = {
    {"D:\\sig\\vowel.a.c", "vowel"}, {"noext", "noext"}, {"/tmp/x.c", "x"}, {"1take.c", "_1take"},
    {"my-sig nal.c", "my_sig_nal"}, {".c", "signal"}, {"dir/", "signal"}, {"int.c", "int_"},
  };
  char id[FILE_PATH_LEN];
  for (auto n : names) {
    c_array_name(id, sizeof id, n.file);
    EXPECT_STREQ(id, n.id) << n.file;
  }
  struct { std::vector<int> values; int channels, bits, zero, type; const char *text; } cases[] = {
    {{1234, -12, 5}, 1, 16, 0, FT_C, "short x[3] = {\n      1234,   -12,     5\n};\n"},
    {{0, 128, 255}, 1, 8, 128, FT_C, "static unsigned char x[3] = {\n      0, 128, 255\n};\n"},
    {{0, 300, 255}, 1, 8, 128, FT_C, "short x[3] = {\n         0,   300,   255\n};\n"}, // beyond a byte
    {{4095, 0}, 1, 12, 2048, FT_C, "short x[2] = {\n      4095,     0\n};\n"},
    {{1, 2, 3, 4, 5, 6}, 2, 16, 0, FT_C, "short x[6] = {\n         1,     2,     3,     4,     5,     6\n};\n"},
    {{1, -2, 300, -32768, 32767, 0}, 2, 16, 0, FT_LST, "; rate=10000\n      1      -2 \n    300  -32768 \n  32767       0 \n"},
  };
  for (const auto &c : cases) {
    fill(c.values, c.channels, c.bits, c.zero);
    save(c.type, "x.c", 0, (int)c.values.size() / c.channels);
    EXPECT_EQ(read_file("x.c"), c.text);
  }
  fill(frames(25, 1, [](int i, int) { return i; }));
  save(FT_C, "x.c", 0, 25);
  std::string text = read_file("x.c");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5); // the opening, three lines of values, the closing
  EXPECT_NE(text.find("    24\n};"), std::string::npos);
  struct { int frames; const char *xlab, *xfmt, *xmax; } units[] = {
    {2000, "xlab=(msec)\n", "xfmt=i : xgain=1000/10000\n", "xmin=0 : xmax=200.000\n"},
    {15000, "xlab=(sec)\n", "xfmt=f.2 : xgain=1/10000\n", "xmin=0 : xmax=1.500\n"},
    {1000, "xlab=(msec)\n", "xfmt=f.1 : xgain=1000/10000\n", "xmin=0 : xmax=100.000\n"},
    {5, "xlab=(^m^sec)\n", "xfmt=i : xgain=1000000/10000\n", "xmin=0 : xmax=500.000\n"},
  };
  for (auto c : units) {
    fill(frames(c.frames, 1, [](int i, int) { return i % 4 == 1 ? 100 : i % 4 == 2 ? -100 : 0; }));
    snprintf(windows[1].name, NAME_LEN, "w.wav");
    save(FT_PLT, "p.plt", 0, c.frames);
    std::string text = read_file("p.plt");
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "; p - PLT file created by TARVO from 'w.wav'\n");
    EXPECT_EQ(lines(text, "xlab", 1) + lines(text, "xfmt", 1) + lines(text, "xmin", 1), std::string(c.xlab) + c.xfmt + c.xmax);
    EXPECT_EQ(lines(text, ";    min", 1), ";    min = -100    max = 100\n");
    size_t points = std::count(text.begin(), text.end(), '\n') - 16;
    if (c.frames < 1500)
      EXPECT_EQ(points, (size_t)c.frames);
    else
      EXPECT_LE(points, 2u * (c.frames / (c.frames / 500) + 1));
  }
  // Groups of 4 from 2000 values: the peak and the trough of each group in
  // their order, the first half a group later.
  fill(frames(2000, 1, [](int i, int) { return i == 5 ? 9 : i == 6 ? -9 : i == 10 ? -4 : i == 11 ? 4 : 0; }));
  save(FT_PLT, "p.plt", 0, 2000);
  EXPECT_EQ(lines(read_file("p.plt"), "data", 6), "data ; for channel 1\n0 0\n4 0\n8 9\n10 -9\n12 -4\n");
  windows[1].adc_rate = 0;
  save(FT_PLT, "zero.plt", 0, 2000);
  EXPECT_TRUE(showed(" Sample rate 0 Hz: no plot written. "));
  EXPECT_FALSE(fs::exists("zero.plt"));
  // A spectrum's levels in decibels.
  fill(frames(256, 1, [](int i, int) { return i == 1 ? 32767 : i == 2 ? -32767 : 0; }));
  windows[1].kind = 1;
  save(FT_PLT, "s.plt", 0, 256);
  std::string spectrum = read_file("s.plt");
  EXPECT_EQ(lines(spectrum, "xper", 2),
            "xper=90 : xint=5.2 : xllc=1.5 : xlen=8\nxmin=0 : xmax=5.000 : ymin=0 : ymax=120 : yhor=y : clip=y\n");
  EXPECT_EQ(lines(spectrum, "data", 4), "data ; for channel 1\n    0.000     60.00\n    0.020    120.00\n    0.039      0.00\n");
}

// ---- The binary writers: layouts byte for byte, read back by Tarvo (and by
// peers: see the peer tests).

TEST_F(Save, LayoutsByteForByteEverythingReadsBackAndIlsFilesKeepTheWindowAndItsMarks)
{
  struct { std::vector<int> v; int channels, bits, zero; bytes data; } wavs[] = {
    {{128, 0, 255}, 1, 8, 128, {0x80, 0x00, 0xff}}, // odd: a pad byte
    {{1, -2, 3}, 1, 16, 0, s16({1, -2, 3})}, {{1, -2, 300, 4}, 2, 16, 0, s16({1, -2, 300, 4})},
    {{100, 300, 7}, 1, 8, 128, s16({100, 300, 7})}, // a value beyond a byte: 16 bits
    {{10, 20, 30}, 1, 12, 2048, s16({10, 20, 30})},
  };
  for (const auto &c : wavs) {
    fill(c.v, c.channels, c.bits, c.zero);
    windows[1].adc_rate = 8000;
    save(FT_WAV, "w.wav", 0, (int)c.v.size() / c.channels);
    EXPECT_EQ(saved("w.wav"), make_wav(1, c.channels, 8000, c.data.size() > c.v.size() ? 16 : 8, c.data)) << c.bits;
  }
  // SND, MAT, ADF and headerless layouts.
  const std::vector<int> v = {1, -2, 3, -4, 5, -6};
  fill(v, 2);
  windows[1].adc_rate = 16000;
  struct { int type; const char *name; bytes file; int from = 0; } cases[] = {
    {FT_SND, "x.snd", bytes_of(".snd") + be(4, 28, 12, 3, 16000, 2) + bytes_of("W1\0\0"s) + s16(v, true)},
    {FT_MAT, "x.mat", le(4, 0, 1, 1, 0, 5) + bytes_of("rate\0"s) + le(8, double_bits(16000)) + le(4, 30, 2, 3, 0, 3) +
                          bytes_of("W1\0"s) + s16(v)},
    {FT_ADF, "x.adf", bytes_of("KOBU40\0\0"s) + le(4, 3, 0) + le(2, 2, 16) + le(4, 0, float_bits(16)) + bytes(488) + s16(v)},
    {FT_NOH, "x.noh", s16({3, -4, 5, -6}), 1}, // every channel of the stretch
  };
  for (auto &c : cases) {
    save(c.type, c.name, c.from, 3);
    EXPECT_EQ(saved(c.name), c.file) << c.name;
  }
  // SND converts an unsigned window, and saturates.
  fill({128, 0, 255, 129}, 1, 8, 128);
  save(FT_SND, "u.snd", 0, 4);
  EXPECT_EQ(values(4), (std::vector<int>{0, -32768, 32512, 256}));
  EXPECT_EQ(windows[1].adc_bits * 1000 + windows[1].zero_level, 16000);
  EXPECT_EQ(saved("u.snd"), bytes_of(".snd") + be(4, 28, 8, 3, 10000, 1) + bytes_of("W1\0\0"s) + s16({0, -32768, 32512, 256}, true));
  // Everything written reads back.
  std::vector<int> r = frames(2 * 999, 1, [](int i, int) { return (i * 7919) % 60001 - 30000; });
  for (int type : {FT_ILS, FT_SND, FT_WAV, FT_MAT, FT_ADF}) {
    fill(r, 2);
    windows[1].adc_rate = 22050;
    std::string name = std::string("r") + file_extensions[type];
    save(type, name, 0, 999);
    cur_win = 2;
    load_file(name.c_str(), 0);
    EXPECT_EQ(std::vector<int>({windows[2].num_samples, windows[2].channels, windows[2].adc_rate}), std::vector({999, 2, 22050})) << name;
    EXPECT_EQ(values(2 * 999), r) << name;
    cur_win = 1;
  }
  struct { int rate, frames, channels, mantissa, exponent, blocks; } rates[] = {
    {44100, 300, 1, 4410, 1, 2}, {8000, 256, 1, 8000, 0, 1}, {192000, 257, 2, 19200, 1, 3},
    {0, 10, 1, 10000, 0, 1}, // no rate: the default
    {32000, 5, 1, 32000, 0, 1}, {32001, 5, 1, 3200, 1, 1},
    {16000, MAX_FRAMES, 8, 16000, 0, 32767}, // the block count's word is full
  };
  for (auto c : rates) {
    fill(std::vector<int>(c.frames * c.channels, 5), c.channels);
    windows[1].adc_rate = windows[1].dac_rate = c.rate;
    save(FT_ILS, "x.ils", 0, c.frames);
    bytes f = saved("x.ils");
    ASSERT_EQ(f.size(), 512u + 2 * c.frames * c.channels);
    EXPECT_EQ(bytes(f.begin() + 10, f.begin() + 12), le(2, c.blocks)) << c.rate;
    EXPECT_EQ(bytes(f.begin() + 116, f.begin() + 128), le(2, c.channels, 0, c.exponent, c.mantissa, -32000, 32149)) << c.rate;
  }
  load_file("x.ils", 0); // the longest of them reads back whole
  EXPECT_EQ(windows[cur_win].num_samples * 10 + windows[cur_win].channels, MAX_FRAMES * 10 + 8);
  // The block keeps the marks where they stand, not shifted by the stretch's start.
  fill({1, 2, 3, 4, 5, 6, 7, 8});
  snprintf(windows[1].name, NAME_LEN, "%s", std::string(40, 'n').c_str());
  windows[1].marks[0] = 3;
  windows[1].marks[25] = 4;
  windows[1].marks[MARK_SELECT2] = 6;
  windows[1].created = 1234567;
  save(FT_ILS, "m.ils", 2, 6);
  bytes block = saved("m.ils");
  EXPECT_EQ(bytes(block.begin() + 128, block.begin() + 174), bytes_of("BTNI_\0"s + std::string(40, 'n')));
  EXPECT_EQ(bytes(block.begin() + 188, block.begin() + 208), le(4, 4, 1234567, 10000, 10000, 3));
  EXPECT_EQ(bytes(block.begin() + 512, block.end()), s16({3, 4, 5, 6}));
  load_file("m.ils", 0);
  EXPECT_EQ(values(4), (std::vector<int>{3, 4, 5, 6}));
  const int32_t *marks = windows[cur_win].marks;
  EXPECT_EQ(std::vector({marks[0], marks[25], marks[MARK_SELECT2]}), std::vector({3, 4, 6}));
}
