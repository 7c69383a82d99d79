// Interim: loading arrives with the file readers.  Until then a readable
// file is recognised and kept, and nothing is loaded.
#include "core/state.h"
#include "display/display.h"
#include "files/files.h"
#include "screen/screen.h"
#include <cstdio>

int detect_file_type(const char *name)
{
  FILE *f = fopen(name, "rb");
  if (!f)
    return -1;
  int c = fgetc(f);
  fclose(f);
  return c == EOF ? -1 : FT_NOH;
}

void load_file(const char *name, int force_raw) { redraw_current(); }

void show_signal_info(int w)
{
  if (!info_enabled)
    return;
  clear_prompt();
  if (windows[w].num_samples == 0)
    show_prompt("No signal.");
}

