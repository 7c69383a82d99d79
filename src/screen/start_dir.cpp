// The folder the program was started in.  The working directory moves as
// files are loaded and picked, but the names a user gives when starting
// the program (the key script, the transcript, the script's shots, the
// files on the command line) stay relative to where it was started.
#include "screen/platform.h"
#include <cstdio>
#include <unistd.h>

static char start_dir[PLAT_PATH_LEN / 2]; // empty until noted, or when unknown

void plat_note_start_dir()
{
  if (!getcwd(start_dir, sizeof start_dir))
    start_dir[0] = 0;
}

const char *plat_start_dir() { return start_dir; }

int plat_start_path(char *out, const char *path)
{
  int n = path[0] == '/' || !start_dir[0] ? snprintf(out, PLAT_PATH_LEN, "%s", path)
                                          : snprintf(out, PLAT_PATH_LEN, "%s/%s", start_dir, path);
  if (n < 0 || n >= PLAT_PATH_LEN) {
    out[0] = 0;
    return 0;
  }
  return 1;
}
