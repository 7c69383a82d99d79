#include "file_fixture.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

void add_text(bytes &b, const char *text, size_t n) { b.insert(b.end(), text, text + n); }
void add_le16(bytes &b, uint16_t v) { b.push_back(v & 0xFF); b.push_back(v >> 8); }
void add_be16(bytes &b, uint16_t v) { b.push_back(v >> 8); b.push_back(v & 0xFF); }
void add_le32(bytes &b, uint32_t v) { for (int i = 0; i < 4; i++) b.push_back((v >> (8 * i)) & 0xFF); }
void add_be32(bytes &b, uint32_t v) { for (int i = 3; i >= 0; i--) b.push_back((v >> (8 * i)) & 0xFF); }
void add_zeros(bytes &b, size_t n) { b.insert(b.end(), n, 0); }

void add_le_float(bytes &b, float v)
{
  uint32_t u;
  memcpy(&u, &v, 4);
  add_le32(b, u);
}

void add_le_double(bytes &b, double v)
{
  uint64_t u;
  memcpy(&u, &v, 8);
  add_le32(b, (uint32_t)u);
  add_le32(b, (uint32_t)(u >> 32));
}

bytes make_wav(int tag, int channels, int rate, int bits, const bytes &data)
{
  bytes b;
  add_text(b, "RIFF", 4);
  add_le32(b, (uint32_t)(36 + data.size()));
  add_text(b, "WAVEfmt ", 8);
  add_le32(b, 16);
  add_le16(b, (uint16_t)tag);
  add_le16(b, (uint16_t)channels);
  add_le32(b, (uint32_t)rate);
  add_le32(b, (uint32_t)(rate * channels * bits / 8));
  add_le16(b, (uint16_t)(channels * bits / 8));
  add_le16(b, (uint16_t)bits);
  add_text(b, "data", 4);
  add_le32(b, (uint32_t)data.size());
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

std::string scratch_dir()
{
  const char *base = getenv("TARVO_TEST_TMP");
  std::string dir = base && *base ? base : "/tmp/tarvo-test";
  mkdir(dir.c_str(), 0755);
  return dir;
}

// Every prompt text goes to a transcript of this process; the tests read
// what was appended since they last looked.
static std::string transcript_path()
{
  static std::string path;
  if (path.empty()) {
    const char *set = getenv("TARVO_TRANSCRIPT");
    if (set && *set) {
      path = set;
    } else {
      path = scratch_dir() + "/transcript-" + std::to_string(getpid()) + ".txt";
      setenv("TARVO_TRANSCRIPT", path.c_str(), 1);
    }
  }
  return path;
}

static void remove_tree(const std::string &dir)
{
  std::string cmd = "rm -rf '" + dir + "'";
  if (system(cmd.c_str()) != 0)
    fprintf(stderr, "could not remove %s\n", dir.c_str());
}

void FileTest::SetUp()
{
  transcript_path();
  const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir = scratch_dir() + "/" + info->test_suite_name() + "." + info->name() + "." +
        std::to_string(getpid());
  remove_tree(dir);
  mkdir(dir.c_str(), 0755);

  scr_width = 800;
  scr_height = 600;
  headless_start(scr_width, scr_height);
  prepare_surface();
  default_rate = 10000;
  init_windows();
  quit_flag = 0;
  info_enabled = 0;
  header_bytes = -1;
  no_header = 0;
  raw_header = raw_trailer = 0;
  raw_code = SC_S16;
  raw_swap = 0;
  cur_file_type = FT_ILS;
  messages();
}

void FileTest::TearDown()
{
  free_all_samples();
  release_surface();
  remove_tree(dir);
}

std::string FileTest::write(const std::string &name, const bytes &b) const
{
  std::string p = path(name);
  FILE *f = fopen(p.c_str(), "wb");
  EXPECT_TRUE(f != nullptr) << p;
  if (f) {
    if (!b.empty())
      fwrite(b.data(), 1, b.size(), f);
    fclose(f);
  }
  return p;
}

std::string FileTest::write_text(const std::string &name, const std::string &text) const
{
  return write(name, bytes(text.begin(), text.end()));
}

std::vector<std::string> FileTest::messages()
{
  std::vector<std::string> out;
  FILE *f = fopen(transcript_path().c_str(), "r");
  if (!f)
    return out;
  fseek(f, transcript_seen, SEEK_SET);
  char line[512];
  while (fgets(line, sizeof line, f)) {
    size_t n = strlen(line);
    if (n && line[n - 1] == '\n')
      line[--n] = 0;
    if (line[0] == 'P' && line[1] == ':')
      out.push_back(line + 2);
  }
  transcript_seen = ftell(f);
  fclose(f);
  return out;
}

bool FileTest::has(const std::vector<std::string> &m, const std::string &text)
{
  for (const std::string &s : m)
    if (s == text)
      return true;
  return false;
}

void FileTest::answer(const std::string &text)
{
  for (unsigned char c : text) {
    platform_event ev = {EV_CHAR, 0, c, 0, 0};
    headless_push_event(&ev);
  }
  platform_event enter = {EV_CHAR, 0, 13, 0, 0};
  headless_push_event(&enter);
}
