// What every fuzz target shares: the program's state set up once with a
// headless screen, and each input written to a file in a private folder,
// since the readers take file names.
#pragma once
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "files/files.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

static std::string fuzz_dir;

static void fuzz_remove_dir() { std::system(("rm -rf '" + fuzz_dir + "'").c_str()); }

// A headless screen, the windows, and a private working folder.
static void fuzz_start()
{
  const char *tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarvo-fuzz-XXXXXX";
  char *dir = pattern.data();
  if (!mkdtemp(dir) || chdir(dir) != 0)
    abort();
  fuzz_dir = dir;
  atexit(fuzz_remove_dir);
  headless_start(320, 240);
  scr_width = 320;
  scr_height = 240;
  prepare_surface();
  init_windows();
}

// The window emptied and every load setting back to its default, so that
// each input starts from the same state.
static void fuzz_reset()
{
  headless_start(320, 240); // also drops the keys an earlier input left unread
  for (int w = 0; w < NUM_WINDOWS; w++) { // as clear_window, without its redraws
    windows[w].num_samples = 0;
    alloc_samples(w, 0, 0);
    reset_marks(w);
    window_views[w].view_start = window_views[w].view_end = 0;
  }
  cur_win = first_vis;
  default_rate = 10000;
  info_enabled = no_header = raw_header = raw_trailer = raw_swap = 0;
  header_bytes = -1;
  raw_code = SC_S16;
  cur_file_type = FT_ILS;
  quit_flag = 0;
}

// The bytes as the file `name` in the working folder.
static void fuzz_file(const char *name, const uint8_t *data, size_t size)
{
  FILE *f = fopen(name, "wb");
  if (!f || (size && fwrite(data, 1, size, f) != size) || fclose(f) != 0)
    abort();
}

// Text typed at the next prompts, each character as its own key event.
[[maybe_unused]] static void fuzz_type(const uint8_t *text, size_t n)
{
  for (size_t i = 0; i < n; i++) {
    platform_event ev = {EV_CHAR, 0, text[i], 0, 0};
    headless_push_event(&ev);
  }
  platform_event enter = {EV_CHAR, 0, 13, 0, 0};
  headless_push_event(&enter);
}
