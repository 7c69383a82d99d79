// Shared by the file-reader tests: an off-screen screen, a scratch
// directory, byte builders for hand-made files and the messages the
// program showed.
#pragma once
#include "core/state.h"
#include "files/files.h"
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

typedef std::vector<uint8_t> bytes;
typedef void (*reader_fn)(const char *name);

inline bytes bytes_of(const std::string &text) { return bytes(text.begin(), text.end()); }

void add_text(bytes &b, const char *text, size_t n);
void add_le16(bytes &b, uint16_t v);
void add_le32(bytes &b, uint32_t v);
void add_be16(bytes &b, uint16_t v);
void add_be32(bytes &b, uint32_t v);
void add_le_float(bytes &b, float v);
void add_le_double(bytes &b, double v);
void add_zeros(bytes &b, size_t n);

// A canonical 44-byte-header PCM WAV file.
bytes make_wav(int tag, int channels, int rate, int bits, const bytes &data);

// A scratch directory under TARVO_TEST_TMP (or /tmp), made if missing.
std::string scratch_dir();

class FileTest : public ::testing::Test {
protected:
  std::string dir;
  void SetUp() override;
  void TearDown() override;
  std::string path(const std::string &name) const { return dir + "/" + name; }
  std::string write(const std::string &name, const bytes &b) const;
  std::string write_text(const std::string &name, const std::string &text) const;
  // Prompt-line texts shown since the last call.
  std::vector<std::string> messages();
  // True when one of the texts shown since the last call is `text`.
  bool showed(const std::string &text) { return has(messages(), text); }
  static bool has(const std::vector<std::string> &m, const std::string &text);
  // Hands the characters of an answer and Enter to the next prompt.
  void answer(const std::string &text);
  const signal_window &win() const { return windows[cur_win]; }
  int16_t value(int i) const { return windows[cur_win].samples[i]; }

private:
  long transcript_seen = 0;
};
