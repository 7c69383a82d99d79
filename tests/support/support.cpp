#include "support/support.h"
#include "core/state.h"
#include "files/files.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

void start_screen(int width, int height)
{
  headless_start(width, height);
  scr_width = width;
  scr_height = height;
  key_slot = 0;
  ctrl_down = shift_down = 0;
  quit_flag = 0;
  prompt_cache[0] = status_cache[0] = 0;
  prepare_surface();
  init_windows();
}

void stop_screen()
{
  free_all_samples();
  release_surface();
}

static void push(int type, int key, int ch, int x, int y)
{
  platform_event ev = {type, key, ch, x, y};
  headless_push_event(&ev);
}

void push_char(int ch) { push(EV_CHAR, 0, ch, 0, 0); }

void push_text(const char *text)
{
  for (const char *p = text; *p; p++)
    push_char((unsigned char)*p);
}

void push_key(int platform_key, int shift, int ctrl)
{
  if (shift) push(EV_KEYDOWN, PK_SHIFT, 0, 0, 0);
  if (ctrl) push(EV_KEYDOWN, PK_CTRL, 0, 0, 0);
  push(EV_KEYDOWN, platform_key, 0, 0, 0);
  int ch = 0;
  switch (platform_key) {
  case PK_ENTER: ch = 13; break;
  case PK_ESC: ch = 27; break;
  case PK_TAB: ch = 9; break;
  case PK_BACKSPACE: ch = 8; break;
  case PK_SPACE: ch = 32; break;
  }
  if (ch) push(EV_CHAR, 0, ch, 0, 0);
  push(EV_KEYUP, platform_key, 0, 0, 0);
  if (ctrl) push(EV_KEYUP, PK_CTRL, 0, 0, 0);
  if (shift) push(EV_KEYUP, PK_SHIFT, 0, 0, 0);
}

void push_move(int x, int y) { push(EV_MOUSEMOVE, 0, 0, x, y); }

void push_click(int x, int y, int right)
{
  push_move(x, y);
  push(right ? EV_RBUTTON : EV_LBUTTON, 0, 0, x, y);
}

std::string scratch_dir(const std::string &name)
{
  const char *base = getenv("TARVO_TEST_TMP");
  std::string root = base && *base ? base : "/tmp/tarvo-tests";
  mkdir(root.c_str(), 0755);
  std::string dir = root + "/" + name + "-" + std::to_string(getpid());
  std::string cmd = "rm -rf '" + dir + "' && mkdir -p '" + dir + "'";
  if (system(cmd.c_str()) != 0)
    abort();
  return dir;
}

std::string read_file(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void write_file(const std::string &path, const std::string &data)
{
  std::ofstream out(path, std::ios::binary);
  out << data;
}

run_result run_tarvo(const std::string &dir, const std::string &script,
                     const std::vector<std::string> &args, const std::vector<std::string> &env)
{
  write_file(dir + "/script.txt", script);
  std::string transcript = dir + "/transcript.txt";
  std::string err = dir + "/stderr.txt";
  unlink(transcript.c_str());
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0)
      _exit(127);
    setenv("TARVO_SCRIPT", (dir + "/script.txt").c_str(), 1);
    setenv("TARVO_TRANSCRIPT", transcript.c_str(), 1);
    unsetenv("TARVO_SIZE");
    for (const std::string &e : env)
      putenv(strdup(e.c_str()));
    if (!freopen(err.c_str(), "w", stderr))
      _exit(127);
    std::vector<char *> argv;
    argv.push_back((char *)TARVO_BIN);
    for (const std::string &a : args)
      argv.push_back((char *)a.c_str());
    argv.push_back(nullptr);
    execv(TARVO_BIN, argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  run_result r;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.transcript = read_file(transcript);
  r.err = read_file(err);
  return r;
}

std::vector<std::string> transcript_lines(const std::string &transcript, const std::string &tag)
{
  std::vector<std::string> out;
  std::istringstream in(transcript);
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, tag.size(), tag) == 0)
      out.push_back(line.substr(tag.size()));
  return out;
}

// ---- Signal files made by hand.

bytes operator+(bytes a, const bytes &b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

bytes packed(bool big, int n, const std::vector<uint64_t> &values)
{
  bytes b;
  for (uint64_t v : values)
    for (int i = 0; i < n; i++)
      b.push_back((v >> (8 * (big ? n - 1 - i : i))) & 0xFF);
  return b;
}

uint32_t float_bits(float v)
{
  uint32_t u;
  memcpy(&u, &v, 4);
  return u;
}

uint64_t double_bits(double v)
{
  uint64_t u;
  memcpy(&u, &v, 8);
  return u;
}

bytes make_wav(int tag, int channels, int rate, int bits, const bytes &data)
{
  return bytes_of("RIFF") + le(4, 36 + data.size()) + bytes_of("WAVEfmt ") + le(4, 16) +
         le(2, tag, channels) + le(4, rate, rate * channels * bits / 8) + le(2, channels * bits / 8, bits) +
         bytes_of("data") + le(4, data.size()) + data;
}

// The program opens its transcript once a process, at the first prompt:
// one file serves every test, each reading what was added since it began.
void FileTest::SetUp()
{
  const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir = scratch_dir(std::string(info->test_suite_name()) + "." + info->name());
  static const std::string transcript = scratch_dir("transcript") + "/prompts.txt"; // once a process
  setenv("TARVO_TRANSCRIPT", transcript.c_str(), 0);
  start_screen();
  default_rate = 10000;
  info_enabled = 0;
  header_bytes = -1;
  no_header = raw_header = raw_trailer = raw_swap = 0;
  raw_code = SC_S16;
  cur_file_type = FT_ILS;
  messages();
}

void FileTest::TearDown()
{
  stop_screen();
  std::string cmd = "rm -rf '" + dir + "'";
  if (system(cmd.c_str()) != 0)
    ADD_FAILURE() << cmd;
}

std::string FileTest::write(const std::string &name, const bytes &b) const
{
  write_file(path(name), std::string(b.begin(), b.end()));
  return path(name);
}

std::vector<std::string> FileTest::messages()
{
  std::string all = read_file(getenv("TARVO_TRANSCRIPT"));
  std::string fresh = all.substr(std::min(transcript_seen, all.size()));
  transcript_seen = all.size();
  return transcript_lines(fresh, "P:");
}

bool FileTest::showed(const std::string &text)
{
  std::vector<std::string> m = messages();
  return std::find(m.begin(), m.end(), text) != m.end();
}

void FileTest::answer(const std::string &text)
{
  push_text(text.c_str());
  push_char(13);
}

const signal_window &FileTest::win() const { return windows[cur_win]; }

std::vector<int> FileTest::values(int n) const
{
  return std::vector<int>(win().samples, win().samples + n);
}
