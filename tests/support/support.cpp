#include "support/support.h"
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

void start_screen(int width, int height)
{
  headless_start(width, height);
  scr_width = width;
  scr_height = height;
  key_slot = ctrl_down = shift_down = quit_flag = 0;
  prompt_cache[0] = status_cache[0] = 0;
  prepare_surface();
  init_windows();
}

void stop_screen() { free_all_samples(), release_surface(); }

uint32_t px(int x, int y) { return back_buffer[y * scr_width + x]; }

void expect_pixels(std::initializer_list<std::array<int, 3>> points)
{
  for (auto [x, y, c] : points)
    EXPECT_EQ(px(x, y), palette[c]) << x << "," << y;
}

static void push(int type, int key, int ch = 0, int x = 0, int y = 0)
{
  platform_event ev = {type, key, ch, x, y};
  headless_push_event(&ev);
}

void push_char(int ch) { push(EV_CHAR, 0, ch); }

void push_text(const char *text) { for (; *text; text++) push_char((unsigned char)*text); }

// A key goes down, gives its character if it has one, and comes up, inside
// the modifiers asked for.
void push_key(int platform_key, int shift, int ctrl)
{
  static const std::pair<int, int> chars[] = {{PK_ENTER, 13}, {PK_ESC, 27}, {PK_TAB, 9}, {PK_BACKSPACE, 8}, {PK_SPACE, 32}};
  if (shift) push(EV_KEYDOWN, PK_SHIFT);
  if (ctrl) push(EV_KEYDOWN, PK_CTRL);
  push(EV_KEYDOWN, platform_key);
  for (auto [key, ch] : chars)
    if (key == platform_key) push(EV_CHAR, 0, ch);
  push(EV_KEYUP, platform_key);
  if (ctrl) push(EV_KEYUP, PK_CTRL);
  if (shift) push(EV_KEYUP, PK_SHIFT);
}

void push_move(int x, int y) { push(EV_MOUSEMOVE, 0, 0, x, y); }

void push_click(int x, int y, int right) { push_move(x, y), push(right ? EV_RBUTTON : EV_LBUTTON, 0, 0, x, y); }

void fill_window(int w, const std::vector<int> &v, int channels, int rate, int bits, int zero)
{
  int n = (int)v.size() / channels;
  ASSERT_EQ(alloc_samples(w, n, channels), 1);
  signal_window *sw = &windows[w];
  sw->num_samples = n;
  sw->channels = (int8_t)channels;
  std::copy(v.begin(), v.end(), sw->samples);
  std::fill(sw->samples + v.size(), sw->samples + v.size() + channels, 0);
  sw->adc_rate = sw->dac_rate = rate;
  sw->adc_bits = (int16_t)bits;
  sw->zero_level = (int16_t)zero;
  window_views[w].view_start = 0;
  window_views[w].view_end = n;
}

// A test binary run by hand, outside ctest, keeps the program's font cache
// out of the user's home as well.
static const int cache_kept_here = [] {
  const char *base = getenv("TARVO_TEST_TMP");
  std::string root = base && *base ? base : "/tmp/tarvo-tests";
  if (!getenv("XDG_CACHE_HOME"))
    setenv("XDG_CACHE_HOME", (root + "/cache").c_str(), 1);
  return 1;
}();

std::string scratch_dir(const std::string &name)
{
  const char *base = getenv("TARVO_TEST_TMP");
  std::string root = base && *base ? base : "/tmp/tarvo-tests";
  mkdir(root.c_str(), 0755);
  std::string dir = root + "/" + name + "-" + std::to_string(getpid());
  if (system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str()) != 0)
    abort();
  return dir;
}

std::string read_file(const std::string &path)
{
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

void write_file(const std::string &path, const std::string &data) { std::ofstream(path, std::ios::binary) << data; }

run_result run_tarvo(const std::string &dir, const std::string &script,
                     const std::vector<std::string> &args, const std::vector<std::string> &env)
{
  write_file(dir + "/script.txt", script);
  std::string transcript = dir + "/transcript.txt", err = dir + "/stderr.txt";
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
    std::vector<char *> argv = {(char *)TARVO_BIN};
    for (const std::string &a : args)
      argv.push_back((char *)a.c_str());
    argv.push_back(nullptr);
    execv(TARVO_BIN, argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(transcript), read_file(err)};
}

std::vector<std::string> transcript_lines(const std::string &transcript, const std::string &tag,
                                          const std::string &part)
{
  std::vector<std::string> out;
  std::istringstream in(transcript);
  for (std::string line; std::getline(in, line);)
    if (line.compare(0, tag.size(), tag) == 0 && line.find(part) != std::string::npos)
      out.push_back(line.substr(tag.size()));
  return out;
}

int count(const std::vector<std::string> &lines, const std::string &line) { return (int)std::count(lines.begin(), lines.end(), line); }

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

bytes make_wav(int tag, int channels, int rate, int bits, const bytes &data)
{
  size_t pad = data.size() & 1;
  return bytes_of("RIFF") + le(4, 36 + data.size() + pad) + bytes_of("WAVEfmt ") + le(4, 16) +
         le(2, tag, channels) + le(4, rate, rate * channels * bits / 8) + le(2, channels * bits / 8, bits) +
         bytes_of("data") + le(4, data.size()) + data + bytes(pad);
}

std::string wav_text(const std::vector<int> &v, int channels, int rate)
{
  bytes b = make_wav(1, channels, rate, 16, s16(v));
  return {b.begin(), b.end()};
}

// The program opens its transcript once a process, at its first prompt: one
// file, named before any test runs, serves every test, each reading what was
// added since it began.
static const bool transcript_named = [] {
  return setenv("TARVO_TRANSCRIPT", (scratch_dir("transcript") + "/prompts.txt").c_str(), 0) == 0;
}();

void FileTest::SetUp()
{
  const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir = scratch_dir(std::string(info->test_suite_name()) + "." + info->name());
  old_dir = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  ASSERT_TRUE(transcript_named);
  start_screen();
  default_rate = 10000;
  info_enabled = no_header = raw_header = raw_trailer = raw_swap = 0;
  header_bytes = -1;
  raw_code = SC_S16;
  cur_file_type = FT_ILS;
  messages();
}

void FileTest::TearDown()
{
  std::filesystem::current_path(old_dir);
  stop_screen();
  if (system(("rm -rf '" + dir + "'").c_str()) != 0)
    ADD_FAILURE() << "rm -rf " << dir;
}

std::vector<std::string> FileTest::messages()
{
  std::string all = read_file(getenv("TARVO_TRANSCRIPT"));
  std::string fresh = all.substr(std::min(transcript_seen, all.size()));
  transcript_seen = all.size();
  return transcript_lines(fresh, "P:");
}

bool FileTest::showed(const std::string &text) { return count(messages(), text) > 0; }
