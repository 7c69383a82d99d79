// Helpers shared by the tests: a headless screen with events handed in, and
// runs of the real program through its automation interface.
#pragma once
#include <string>
#include <vector>

// A fresh 800x600 (or given) headless screen with the windows initialised.
void start_screen(int width = 800, int height = 600);
void stop_screen();

// Events as a keyboard sends them, queued for the next blocking key wait.
void push_char(int ch);
void push_text(const char *text);
void push_key(int platform_key, int shift = 0, int ctrl = 0);
void push_move(int x, int y);
void push_click(int x, int y, int right = 0);

// A scratch directory for one test (under TARVO_TEST_TMP).
std::string scratch_dir(const std::string &name);
std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &data);

struct run_result {
  int status;                 // exit status, or -1 when the program died
  std::string transcript;     // TARVO_TRANSCRIPT contents
  std::string err;            // standard error
};
// Runs the program headless in dir with the script and arguments.
run_result run_tarvo(const std::string &dir, const std::string &script,
                     const std::vector<std::string> &args = {},
                     const std::vector<std::string> &env = {});
// Lines of a transcript that start with tag (e.g. "P:").
std::vector<std::string> transcript_lines(const std::string &transcript, const std::string &tag);
