// Helpers shared by the tests: a headless screen with events handed in,
// windows and signal files made by hand, and runs of the real program
// through its automation interface.  The program's headers come with them.
#pragma once
#include "core/core.h"
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "files/bytes.h"
#include "files/files.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// A fresh 800x600 (or given) headless screen with the windows initialised.
void start_screen(int width = 800, int height = 600);
void stop_screen();
struct ScreenTest : ::testing::Test {
  void SetUp() override { start_screen(); }
  void TearDown() override { stop_screen(); }
};
// A pixel of the back buffer, and each {x, y, colour index} expected there.
uint32_t px(int x, int y);
void expect_pixels(std::initializer_list<std::array<int, 3>> points);

// Events as a keyboard sends them, queued for the next blocking key wait.
void push_char(int ch);
void push_text(const char *text);
void push_key(int platform_key, int shift = 0, int ctrl = 0);
void push_move(int x, int y);
void push_click(int x, int y, int right = 0);

// Values f(frame, channel) of n frames, interleaved.
template <class F> std::vector<int> frames(int n, int channels, F f)
{
  std::vector<int> v;
  for (int i = 0; i < n; i++)
    for (int c = 0; c < channels; c++)
      v.push_back(f(i, c));
  return v;
}
// Window w holding the interleaved values (and a zero guard frame), shown
// whole, as a load leaves it.
void fill_window(int w, const std::vector<int> &v, int channels = 1, int rate = 10000, int bits = 16, int zero = 0);

// A scratch directory for one test (under TARVO_TEST_TMP), and whole files.
std::string scratch_dir(const std::string &name);
std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &data);

struct run_result {
  int status;             // exit status, or -1 when the program died
  std::string transcript; // TARVO_TRANSCRIPT contents
  std::string err;        // standard error
};
// Runs the program headless in dir with the script, arguments and environment.
run_result run_tarvo(const std::string &dir, const std::string &script, const std::vector<std::string> &args = {},
                     const std::vector<std::string> &env = {});
// Lines of a transcript that start with tag (e.g. "P:"), those holding
// `part` only when it is given.
std::vector<std::string> transcript_lines(const std::string &transcript, const std::string &tag,
                                          const std::string &part = "");
int count(const std::vector<std::string> &lines, const std::string &line);

// ---- Signal files made by hand.
typedef std::vector<uint8_t> bytes;
bytes operator+(bytes a, const bytes &b);
inline bytes bytes_of(const std::string &text) { return bytes(text.begin(), text.end()); }
// Values of n bytes each, most significant byte first when big.
bytes packed(bool big, int n, const std::vector<uint64_t> &values);
template <class... T> bytes le(int n, T... v) { return packed(false, n, {(uint64_t)v...}); }
template <class... T> bytes be(int n, T... v) { return packed(true, n, {(uint64_t)v...}); }
inline bytes s16(const std::vector<int> &v, bool big = false) { return packed(big, 2, {v.begin(), v.end()}); }
inline uint32_t float_bits(float v) { return std::bit_cast<uint32_t>(v); }
inline uint64_t double_bits(double v) { return std::bit_cast<uint64_t>(v); }
// A canonical 44-byte-header WAV file, an odd data chunk padded; as text
// for a 16-bit one.
bytes make_wav(int tag, int channels, int rate, int bits, const bytes &data);
std::string wav_text(const std::vector<int> &v, int channels, int rate);

// A headless screen, default options, and a scratch directory made the
// working one; the prompt texts the program showed.
class FileTest : public ::testing::Test {
protected:
  std::string dir;
  void SetUp() override;
  void TearDown() override;
  std::string path(const std::string &name) const { return dir + "/" + name; }
  std::string write(const std::string &name, const bytes &b) const // a file of the test's folder
  {
    return write_file(path(name), std::string(b.begin(), b.end())), path(name);
  }
  std::vector<std::string> messages(); // prompt texts since the last call
  bool showed(const std::string &text);
  void answer(const std::string &text) { push_text(text.c_str()), push_char(13); } // typed with Enter at the next prompt
  const signal_window &win() const { return windows[cur_win]; }
  std::vector<int> values(int n) const { return std::vector<int>(win().samples, win().samples + n); } // of the current window

private:
  size_t transcript_seen = 0;
  std::string old_dir;
};
