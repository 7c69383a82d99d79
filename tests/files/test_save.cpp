// Saving through the dialogue, the safe output files, and the text exports.
#include "core/state.h"
#include "files/files.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include "support/support.h"
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Names are typed relative to the test's folder: the name field takes 79
// characters.
struct Save : FileTest {
  char old_dir[FILE_PATH_LEN];
  void SetUp() override
  {
    FileTest::SetUp();
    ASSERT_TRUE(getcwd(old_dir, sizeof old_dir));
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override
  {
    EXPECT_EQ(chdir(old_dir), 0);
    FileTest::TearDown();
  }
  // Window 1 with the given values in `channels` channels, named so that
  // the save dialogue proposes nothing.
  void fill(const std::vector<int> &v, int channels = 1, int bits = 16, int zero = 0)
  {
    signal_window *sw = &windows[1];
    int frames = (int)v.size() / channels;
    ASSERT_EQ(alloc_samples(1, frames, channels), 1);
    sw->num_samples = frames;
    sw->channels = (int8_t)channels;
    for (size_t i = 0; i < v.size(); i++)
      sw->samples[i] = (int16_t)v[i];
    sw->adc_rate = sw->dac_rate = 10000;
    sw->adc_bits = (int16_t)bits;
    sw->zero_level = (int16_t)zero;
    snprintf(sw->name, NAME_LEN, "[test]");
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
  // Runs a save in a child process under a file-size limit, or as an
  // unprivileged user; the parent checks what is left.
  int save_in_child(const std::string &target, long size_limit, bool unprivileged)
  {
    pid_t pid = fork();
    if (pid == 0) {
      if (size_limit > 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit r = {(rlim_t)size_limit, (rlim_t)size_limit};
        setrlimit(RLIMIT_FSIZE, &r);
      }
      if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        _exit(3);
      cur_file_type = FT_NOH;
      answer(target);
      push_text("y ");
      save_file(0, windows[1].num_samples);
      _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Entries of dir other than those named.
  std::vector<std::string> leftovers(const std::string &d, std::vector<std::string> keep)
  {
    std::vector<std::string> found;
    DIR *dp = opendir(d.c_str());
    for (dirent *e; dp && (e = readdir(dp));) {
      std::string n = e->d_name;
      if (n != "." && n != ".." && std::find(keep.begin(), keep.end(), n) == keep.end())
        found.push_back(n);
    }
    if (dp)
      closedir(dp);
    return found;
  }
};

TEST_F(Save, ProposalsTakeTheWindowNameAndTheSaveTypesExtension)
{
  struct { const char *name; int loaded, saving; const char *proposal; } cases[] = {
    {"speech.wav", FT_WAV, FT_WAV, "speech.wav"},
    {"speech.wav", FT_WAV, FT_SND, "speech.snd"},
    {"a.b.ils", FT_ILS, FT_SND, "a.b"},
    {"take1.ils", FT_ILS, FT_NOH, "take1."},
    {"x,y.wav", FT_WAV, FT_WAV, "x,y.wav"},
    {"[clip]", FT_ILS, FT_ILS, ""},
    {" blank", FT_ILS, FT_ILS, ""},
    {"\x01odd", FT_ILS, FT_ILS, ""},
  };
  for (auto c : cases) {
    snprintf(windows[cur_win].name, NAME_LEN, "%s", c.name);
    windows[cur_win].file_type = (int8_t)c.loaded;
    cur_file_type = c.saving;
    char proposal[LINE_LEN + 1];
    propose_save_name(proposal, sizeof proposal);
    EXPECT_STREQ(proposal, c.proposal) << c.name;
  }
  char path[LINE_LEN] = "./take1";
  cur_file_type = FT_SND;
  strip_extension(path);
  add_extension(path, sizeof path);
  EXPECT_STREQ(path, "./take1.snd");
}

TEST_F(Save, AnExistingFileIsReplacedOnlyWhenTheUserSaysYes)
{
  fill({1, 2, 3, 4});
  std::string target = "old.noh";
  write(target, bytes_of("keep me"));
  save(FT_NOH, target, 0, 4, "n");
  EXPECT_TRUE(showed(" Overwrite existing file '" + target + "' (y/N) ? "));
  EXPECT_EQ(read_file(target), "keep me");
  save(FT_NOH, target, 1, 3, "y");
  EXPECT_EQ(read_file(target), std::string("\x02\x00\x03\x00", 4));
  std::vector<std::string> m = messages();
  EXPECT_NE(std::find(m.begin(), m.end(), " writing (NOH) output to file '" + target + "' "), m.end());
  EXPECT_NE(std::find(m.begin(), m.end(), " Saved file '" + target + "'."), m.end());
  struct stat st;
  ASSERT_EQ(stat(path("new.noh").c_str(), &st), -1);
  save(FT_NOH, "new.noh", 0, 1);
  ASSERT_EQ(stat(path("new.noh").c_str(), &st), 0);
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
  EXPECT_EQ(leftovers(dir, {"old.noh", "new.noh"}), std::vector<std::string>{});
}

TEST_F(Save, NothingIsWrittenForAnEmptyStretchOrATypeWithoutWriter)
{
  fill({1, 2, 3});
  save(FT_NOH, "x.noh", 2, 2);
  EXPECT_TRUE(showed("No signal."));
  for (int type : {(int)FT_TRN, (int)FT_TOK, -1}) {
    cur_file_type = type;
    push_text(" ");
    save_file(0, 3);
  }
  std::vector<std::string> m = messages();
  EXPECT_EQ(std::count(m.begin(), m.end(), " Can't write (TRN) files: choose another type with save_As. "), 1);
  EXPECT_EQ(std::count(m.begin(), m.end(), " Can't write (?) files: choose another type with save_As. "), 1);
  EXPECT_EQ(leftovers(dir, {}), std::vector<std::string>{});
}

TEST_F(Save, ALongNameIsShortenedInItsMiddleSoTheQuestionStaysWhole)
{
  fill({1, 2});
  std::string deep = std::string(60, 'd');
  ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
  std::string target = deep + "/signal.noh";
  write_file(target, "old");
  save(FT_NOH, target, 0, 2, "n");
  std::vector<std::string> m = messages();
  auto q = std::find_if(m.begin(), m.end(), [](const std::string &s) { return s.find("Overwrite") != s.npos; });
  ASSERT_NE(q, m.end());
  EXPECT_EQ(q->size(), (size_t)(LINE_LEN - 1));
  EXPECT_EQ(q->substr(q->size() - 8), "(y/N) ? ");
  EXPECT_NE(q->find("..."), std::string::npos);
  EXPECT_NE(q->find("signal.noh'"), std::string::npos);
  EXPECT_EQ(read_file(target), "old");
}

TEST_F(Save, FailuresLeaveTheOldFileAndNoTemporaryFile)
{
  fill(std::vector<int>(5000, 7));
  std::string kept = write("kept.noh", bytes_of("old contents"));
  ASSERT_EQ(symlink("kept.noh", path("link.noh").c_str()), 0);
  // Devices and pipes are never replaced: a full device (made here, so that
  // a fault cannot replace the machine's own) and a named pipe.
  if (mknod(path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
    ASSERT_EQ(mkfifo(path("full").c_str(), 0666), 0);
  ASSERT_EQ(mkfifo(path("pipe").c_str(), 0666), 0);
  struct { std::string target, message; } cases[] = {
    {"full", " can't open file 'full' "},
    {"pipe", " can't open file 'pipe' "},
    {"no/such/dir.noh", " can't open file 'no/such/dir.noh' "},
    {"loop.noh", " can't open file 'loop.noh' "},
  };
  ASSERT_EQ(symlink("loop.noh", path("loop.noh").c_str()), 0);
  for (const auto &c : cases) {
    save(FT_NOH, c.target, 0, 5000, "y");
    std::vector<std::string> m = messages();
    EXPECT_NE(std::find(m.begin(), m.end(), c.message), m.end()) << c.target;
    for (const std::string &s : m)
      EXPECT_EQ(s.find(" Saved"), std::string::npos) << c.target;
  }
  // A link is followed: the file it names is replaced, the link stays.
  save(FT_NOH, "link.noh", 0, 2, "y");
  EXPECT_EQ(read_file(kept), std::string("\x07\x00\x07\x00", 4));
  struct stat st;
  ASSERT_EQ(lstat(path("link.noh").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(leftovers(dir, {"kept.noh", "link.noh", "loop.noh", "full", "pipe"}), std::vector<std::string>{});
  ASSERT_EQ(lstat(path("full").c_str(), &st), 0);
  EXPECT_FALSE(S_ISREG(st.st_mode));
}

TEST_F(Save, AFileSizeLimitOrAReadOnlyFolderLeavesTheOldFile)
{
  fill(std::vector<int>(200000, 3));
  std::string target = "kept.noh";
  write(target, bytes_of("old contents"));
  ASSERT_EQ(save_in_child(target, 65536, false), 0);
  EXPECT_EQ(read_file(target), "old contents");
  EXPECT_EQ(leftovers(dir, {"kept.noh"}), std::vector<std::string>{});
  ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
  ASSERT_EQ(save_in_child(target, 0, true), 0);
  ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
  EXPECT_EQ(read_file(target), "old contents");
  EXPECT_EQ(leftovers(dir, {"kept.noh"}), std::vector<std::string>{});
}

TEST_F(Save, CArraysAreValidCAndKeepEveryValue)
{
  struct { const char *file, *id; } names[] = {
    {"D:\\sig\\vowel.a.c", "vowel"}, {"noext", "noext"}, {"/tmp/x.c", "x"}, {"1take.c", "_1take"},
    {"my-sig nal.c", "my_sig_nal"}, {".c", "signal"}, {"dir/", "signal"},
  };
  for (auto n : names) {
    char id[FILE_PATH_LEN];
    c_array_name(id, sizeof id, n.file);
    EXPECT_STREQ(id, n.id) << n.file;
  }
  struct { std::vector<int> values; int channels, bits, zero; const char *text; } cases[] = {
    {{1234, -12, 5}, 1, 16, 0, "short x[3] = {\n      1234,   -12,     5\n};\n"},
    {{0, 128, 255}, 1, 8, 128, "static unsigned char x[3] = {\n      0, 128, 255\n};\n"},
    {{0, 300, 255}, 1, 8, 128, "short x[3] = {\n         0,   300,   255\n};\n"}, // beyond a byte
    {{4095, 0}, 1, 12, 2048, "short x[2] = {\n      4095,     0\n};\n"},
    {{1, 2, 3, 4, 5, 6}, 2, 16, 0, "short x[6] = {\n         1,     2,     3,     4,     5,     6\n};\n"},
  };
  for (const auto &c : cases) {
    fill(c.values, c.channels, c.bits, c.zero);
    save(FT_C, "x.c", 0, (int)c.values.size() / c.channels);
    EXPECT_EQ(read_file(path("x.c")), c.text);
  }
  std::vector<int> many(25);
  for (int i = 0; i < 25; i++)
    many[i] = i;
  fill(many);
  save(FT_C, "x.c", 0, 25);
  std::string text = read_file(path("x.c"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5); // the opening, three lines of values, the closing
  EXPECT_NE(text.find("    24\n};"), std::string::npos);
}

TEST_F(Save, ListingsReadBack)
{
  fill({1, -2, 300, -32768, 32767, 0}, 2);
  save(FT_LST, "x.lst", 0, 3);
  EXPECT_EQ(read_file(path("x.lst")),
            "; rate=10000\n      1      -2 \n    300  -32768 \n  32767       0 \n");
  fill({5, 6, 7});
  save(FT_LST, "one.lst", 1, 3);
  load_file("one.lst", 0);
  EXPECT_EQ(windows[cur_win].num_samples, 2);
  EXPECT_EQ(values(2), (std::vector<int>{6, 7}));
}

// Lines of a text from the one starting with `from` on, `n` of them.
std::string lines(const std::string &text, const std::string &from, int n)
{
  size_t at = text.find("\n" + from);
  if (at == std::string::npos)
    return "(no line " + from + ")";
  size_t end = at + 1;
  for (int i = 0; i < n && end != std::string::npos; i++)
    end = text.find('\n', end + 1);
  return text.substr(at + 1, end - at);
}

TEST_F(Save, PlotFilesChooseUnitsAndThinLongStretches)
{
  struct { int frames; const char *xlab, *xfmt, *xmax; } cases[] = {
    {2000, "xlab=(msec)\n", "xfmt=i : xgain=1000/10000\n", "xmin=0 : xmax=200.000\n"},
    {15000, "xlab=(sec)\n", "xfmt=f.2 : xgain=1/10000\n", "xmin=0 : xmax=1.500\n"},
    {1000, "xlab=(msec)\n", "xfmt=f.1 : xgain=1000/10000\n", "xmin=0 : xmax=100.000\n"},
    {5, "xlab=(^m^sec)\n", "xfmt=i : xgain=1000000/10000\n", "xmin=0 : xmax=500.000\n"},
  };
  for (auto c : cases) {
    std::vector<int> v(c.frames);
    for (int i = 0; i < c.frames; i++)
      v[i] = i % 4 == 1 ? 100 : i % 4 == 2 ? -100 : 0;
    fill(v);
    snprintf(windows[1].name, NAME_LEN, "w.wav");
    save(FT_PLT, "p.plt", 0, c.frames);
    std::string text = read_file(path("p.plt"));
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "; p - PLT file created by TARVO from 'w.wav'\n");
    EXPECT_EQ(lines(text, "xlab", 1), c.xlab);
    EXPECT_EQ(lines(text, "xfmt", 1), c.xfmt);
    EXPECT_EQ(lines(text, "xmin", 1), c.xmax);
    EXPECT_EQ(lines(text, ";    min", 1), ";    min = -100    max = 100\n");
    size_t points = std::count(text.begin(), text.end(), '\n') - 16;
    if (c.frames < 1500)
      EXPECT_EQ(points, (size_t)c.frames);
    else
      EXPECT_LE(points, 2u * (c.frames / (c.frames / 500) + 1));
  }
  // Groups of 4 from 2000 values: the peak and the trough of each group in
  // their order, the first half a group later.
  std::vector<int> v(2000, 0);
  v[5] = 9;
  v[6] = -9;
  v[10] = -4;
  v[11] = 4;
  fill(v);
  save(FT_PLT, "p.plt", 0, 2000);
  EXPECT_EQ(lines(read_file(path("p.plt")), "data", 6),
            "data ; for channel 1\n0 0\n4 0\n8 9\n10 -9\n12 -4\n");
  windows[1].adc_rate = 0;
  save(FT_PLT, "zero.plt", 0, 2000);
  EXPECT_TRUE(showed(" Sample rate 0 Hz: no plot written. "));
  EXPECT_EQ(access(path("zero.plt").c_str(), F_OK), -1);
}

TEST_F(Save, SpectrumPlotsGiveLevelsInDecibels)
{
  std::vector<int> v(256, 0);
  v[1] = 32767;
  v[2] = -32767;
  fill(v);
  windows[1].kind = 1;
  save(FT_PLT, "s.plt", 0, 256);
  std::string text = read_file(path("s.plt"));
  EXPECT_EQ(lines(text, "xper", 2),
            "xper=90 : xint=5.2 : xllc=1.5 : xlen=8\nxmin=0 : xmax=5.000 : ymin=0 : ymax=120 : yhor=y : clip=y\n");
  EXPECT_EQ(lines(text, "data", 4), "data ; for channel 1\n    0.000     60.00\n    0.020    120.00\n    0.039      0.00\n");
}


// ---- The binary writers: layouts byte for byte, read back by Tarvo and by peers.

std::string le_bytes(std::initializer_list<std::pair<long long, int>> fields)
{
  std::string s;
  for (auto [v, n] : fields)
    for (int i = 0; i < n; i++)
      s += (char)((unsigned long long)v >> (8 * i) & 255);
  return s;
}

TEST_F(Save, WavHeadersCountDataAndPadOddLengths)
{
  struct { std::vector<int> v; int channels, bits, zero; std::string data; } cases[] = {
    {{128, 0, 255}, 1, 8, 128, std::string("\x80\x00\xff\x00", 4)},           // odd: a pad byte
    {{1, -2, 3}, 1, 16, 0, le_bytes({{1, 2}, {-2, 2}, {3, 2}})},
    {{1, -2, 300, 4}, 2, 16, 0, le_bytes({{1, 2}, {-2, 2}, {300, 2}, {4, 2}})},
    {{100, 300, 7}, 1, 8, 128, le_bytes({{100, 2}, {300, 2}, {7, 2}})},      // a value beyond a byte: 16 bits
    {{10, 20, 30}, 1, 12, 2048, le_bytes({{10, 2}, {20, 2}, {30, 2}})},
  };
  for (const auto &c : cases) {
    fill(c.v, c.channels, c.bits, c.zero);
    windows[1].adc_rate = 8000;
    save(FT_WAV, "w.wav", 0, (int)c.v.size() / c.channels);
    int b = c.data.size() / c.v.size() >= 2 ? 2 : 1;
    uint32_t size = (uint32_t)(c.v.size() * b);
    std::string want = "RIFF" + le_bytes({{36 + size + (size & 1), 4}}) + "WAVEfmt " +
                       le_bytes({{16, 4}, {1, 2}, {c.channels, 2}, {8000, 4}, {8000 * b * c.channels, 4},
                                 {b * c.channels, 2}, {8 * b, 2}}) +
                       "data" + le_bytes({{size, 4}}) + c.data.substr(0, size) + (size & 1 ? std::string(1, 0) : "");
    EXPECT_EQ(read_file(path("w.wav")), want) << c.v.size() << " values of " << c.bits << " bits";
  }
}

TEST_F(Save, IlsFilesKeepTheWindowAndItsMarks)
{
  struct { int rate, frames, channels, mantissa, exponent, blocks; } cases[] = {
    {44100, 300, 1, 4410, 1, 2}, {8000, 256, 1, 8000, 0, 1}, {192000, 257, 2, 19200, 1, 3},
    {0, 10, 1, 10000, 0, 1}, // no rate: the default
    {32000, 5, 1, 32000, 0, 1}, {32001, 5, 1, 3200, 1, 1},
    {16000, MAX_FRAMES, 8, 16000, 0, 32767}, // the block count's word is full
  };
  for (auto c : cases) {
    fill(std::vector<int>(c.frames * c.channels, 5), c.channels);
    windows[1].adc_rate = windows[1].dac_rate = c.rate;
    save(FT_ILS, "x.ils", 0, c.frames);
    std::string f = read_file(path("x.ils"));
    ASSERT_EQ(f.size(), 512u + 2 * c.frames * c.channels);
    auto word = [&](int at) { return (int)(int16_t)((uint8_t)f[at] | (uint8_t)f[at + 1] << 8); };
    EXPECT_EQ(word(10), c.blocks) << c.rate;
    EXPECT_EQ(word(116), c.channels);
    EXPECT_EQ(word(120), c.exponent) << c.rate;
    EXPECT_EQ(word(122), c.mantissa) << c.rate;
    EXPECT_EQ(word(124), -32000);
    EXPECT_EQ(word(126), 32149);
  }
  load_file("x.ils", 0); // the longest of them reads back whole
  EXPECT_EQ(windows[cur_win].num_samples, MAX_FRAMES);
  EXPECT_EQ(windows[cur_win].channels, 8);
  // The block keeps the marks where they stand, not shifted by the stretch's start.
  fill({1, 2, 3, 4, 5, 6, 7, 8});
  snprintf(windows[1].name, NAME_LEN, "%s", std::string(40, 'n').c_str());
  windows[1].marks[0] = 3;
  windows[1].marks[25] = 4;
  windows[1].marks[MARK_SELECT2] = 6;
  windows[1].created = 1234567;
  save(FT_ILS, "m.ils", 2, 6);
  std::string f = read_file(path("m.ils"));
  EXPECT_EQ(f.substr(128, 46), "BTNI_" + std::string(1, 0) + std::string(40, 'n'));
  EXPECT_EQ(f.substr(188, 16), le_bytes({{4, 4}, {1234567, 4}, {10000, 4}, {10000, 4}}));
  EXPECT_EQ(f.substr(204, 4), le_bytes({{3, 4}}));
  EXPECT_EQ(f.substr(512), le_bytes({{3, 2}, {4, 2}, {5, 2}, {6, 2}}));
  load_file("m.ils", 0);
  EXPECT_EQ(values(4), (std::vector<int>{3, 4, 5, 6}));
  EXPECT_EQ(windows[cur_win].marks[0], 3);
  EXPECT_EQ(windows[cur_win].marks[25], 4);
  EXPECT_EQ(windows[cur_win].marks[MARK_SELECT2], 6);
}

TEST_F(Save, SndMatAdfAndHeaderlessLayouts)
{
  fill({1, -2, 3, -4}, 2);
  windows[1].adc_rate = 16000;
  cur_win = 1;
  save(FT_SND, "x.snd", 0, 2);
  std::string be(".snd\0\0\0\x1c\0\0\0\x08\0\0\0\x03\0\0\x3e\x80\0\0\0\x02W1\0\0", 28);
  EXPECT_EQ(read_file(path("x.snd")), be + std::string("\0\x01\xff\xfe\0\x03\xff\xfc", 8));
  save(FT_MAT, "x.mat", 0, 2);
  double r = 16000;
  uint64_t rb;
  memcpy(&rb, &r, 8);
  EXPECT_EQ(read_file(path("x.mat")),
            le_bytes({{0, 4}, {1, 4}, {1, 4}, {0, 4}, {5, 4}}) + std::string("rate\0", 5) + le_bytes({{(long long)rb, 8}}) +
            le_bytes({{30, 4}, {2, 4}, {2, 4}, {0, 4}, {3, 4}}) + std::string("W1\0", 3) +
            le_bytes({{1, 2}, {-2, 2}, {3, 2}, {-4, 2}}));
  save(FT_ADF, "x.adf", 0, 2);
  std::string adf = read_file(path("x.adf"));
  float khz = 16.0f;
  uint32_t kb;
  memcpy(&kb, &khz, 4);
  EXPECT_EQ(adf.size(), 516u + 8);
  EXPECT_EQ(adf.substr(0, 28), std::string("KOBU40\0\0", 8) + le_bytes({{2, 4}, {0, 4}, {2, 2}, {16, 2}, {0, 4}, {kb, 4}}));
  EXPECT_EQ(adf.substr(28, 488), std::string(488, 0));
  save(FT_NOH, "x.noh", 1, 2); // every channel of the stretch
  EXPECT_EQ(read_file(path("x.noh")), le_bytes({{3, 2}, {-4, 2}}));
}

TEST_F(Save, SndConvertsAnUnsignedWindowAndSaturates)
{
  fill({128, 0, 255, 129}, 1, 8, 128);
  save(FT_SND, "u.snd", 0, 4);
  EXPECT_EQ(values(4), (std::vector<int>{0, -32768, 32512, 256}));
  EXPECT_EQ(windows[1].adc_bits * 1000 + windows[1].zero_level, 16000);
  EXPECT_EQ(read_file(path("u.snd")).substr(28), std::string("\x00\x00\x80\x00\x7f\x00\x01\x00", 8));
}

TEST_F(Save, EverythingWrittenReadsBack)
{
  std::vector<int> v;
  for (int i = 0; i < 2 * 999; i++)
    v.push_back((i * 7919) % 60001 - 30000);
  for (int type : {FT_ILS, FT_SND, FT_WAV, FT_MAT, FT_ADF}) {
    fill(v, 2);
    windows[1].adc_rate = 22050;
    std::string name = std::string("r") + file_extensions[type];
    save(type, name, 0, 999);
    cur_win = 2;
    load_file(name.c_str(), 0);
    EXPECT_EQ(windows[2].num_samples, 999) << name;
    EXPECT_EQ(windows[2].channels, 2) << name;
    EXPECT_EQ(windows[2].adc_rate, 22050) << name;
    EXPECT_EQ(values(2 * 999), v) << name;
    cur_win = 1;
  }
}

// Peers read what Tarvo writes: SoX the WAV and SND files, SciPy the MAT
// files, NumPy the headerless ones, the C compiler the arrays.
TEST_F(Save, PeersReadWhatTarvoWrites)
{
  if (system("sox --version >/dev/null 2>&1 && /usr/bin/python3 -c 'import scipy' 2>/dev/null") != 0)
    GTEST_SKIP() << "sox or scipy is missing";
  auto run = [&](const std::string &cmd) {
    std::string out = path("out.txt");
    EXPECT_EQ(system(("cd '" + dir + "' && (" + cmd + ") > out.txt 2>&1").c_str()), 0) << cmd << read_file(out);
    return read_file(out);
  };
  fill({128, 0, 255}, 1, 8, 128);
  save(FT_WAV, "u8.wav", 0, 3);
  EXPECT_EQ(run("sox u8.wav -t raw -e signed -b 16 -L - | od -An -td2 -v | xargs"), "0 -32768 32512\n");
  EXPECT_EQ(run("sox --i -r u8.wav; sox --i -c u8.wav"), "10000\n1\n");
  fill({1, -2, 300, -32768}, 2);
  save(FT_WAV, "s16.wav", 0, 2);
  save(FT_SND, "s16.snd", 0, 2);
  for (std::string f : {"s16.wav", "s16.snd"}) {
    EXPECT_EQ(run("sox " + f + " -t raw -e signed -b 16 -L - | od -An -td2 -v | xargs"), "1 -2 300 -32768\n") << f;
    EXPECT_EQ(run("sox --i -r " + f + "; sox --i -c " + f), "10000\n2\n") << f;
  }
  std::vector<int> eight;
  for (int i = 0; i < 24; i++)
    eight.push_back(i * 100 - 1000);
  fill(eight, 8);
  save(FT_MAT, "c8.mat", 0, 3);
  save(FT_NOH, "c8.noh", 0, 3);
  std::string py = "/usr/bin/python3 -c \"import scipy.io as s, numpy as n; m = s.loadmat('c8.mat'); "
                   "print(float(m['rate'][0][0]), m['W1'].shape, m['W1'].dtype, ' '.join(map(str, m['W1'].T.ravel()))); "
                   "print(' '.join(map(str, n.fromfile('c8.noh', '<i2'))))\"";
  std::string values_text;
  for (int x : eight)
    values_text += (values_text.empty() ? "" : " ") + std::to_string(x);
  EXPECT_EQ(run(py), "10000.0 (8, 3) int16 " + values_text + "\n" + values_text + "\n");
  cur_win = 2;
  load_file("c8.mat", 0);
  EXPECT_EQ(windows[2].channels, 8);
  EXPECT_EQ(values(24), eight);
  cur_win = 1;
  for (auto [v, bits, zero] : {std::tuple{std::vector<int>{1, -2, 32767}, 16, 0}, {{0, 128, 255}, 8, 128}}) {
    fill(v, 1, bits, zero);
    save(FT_C, "9 sig-1.c", 0, 3);
    write_file(path("main.c"), "#include <stdio.h>\n#include \"9 sig-1.c\"\nint main(void) {\n"
                               "  for (unsigned i = 0; i < sizeof _9_sig_1 / sizeof _9_sig_1[0]; i++) printf(\"%d \", _9_sig_1[i]);\n"
                               "  return 0;\n}\n");
    EXPECT_EQ(run("cc -Wall -Werror -o main main.c && ./main"),
              std::to_string(v[0]) + " " + std::to_string(v[1]) + " " + std::to_string(v[2]) + " ");
  }
}

} // namespace
