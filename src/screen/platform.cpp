// The one place that chooses the platform.  plat_open picks the headless
// run when TARVO_SCRIPT is set and the SDL window otherwise; a test picks
// the headless one by calling headless_start.  Every plat_* call then goes
// to the platform chosen; before one is open, or after plat_close, there
// is none: nothing is shown and the window counts as closed.
#include "screen/platform_impl.h"
#include <cstdio>
#include <cstdlib>

enum { PLATFORM_NONE, PLATFORM_SDL, PLATFORM_HEADLESS };
static int platform = PLATFORM_NONE;

int plat_open(const char *title, int *width, int *height)
{
  const char *script = getenv("TARVO_SCRIPT");
  if (!script || !*script) {
    platform = PLATFORM_SDL;
    return sdl_open(title, width, height);
  }
  // The script is named relative to the folder the program was started in.
  char path[PLAT_PATH_LEN];
  if (!plat_start_path(path, script)) {
    fprintf(stderr, "tarvo: cannot read the script '%s'\n", script);
    exit(2);
  }
  platform = PLATFORM_HEADLESS;
  return headless_open(path, width, height);
}

int headless_start(int width, int height)
{
  platform = PLATFORM_HEADLESS;
  return headless_begin(width, height);
}

void plat_close()
{
  if (platform == PLATFORM_SDL)
    sdl_close();
  if (platform == PLATFORM_HEADLESS)
    headless_close();
  platform = PLATFORM_NONE;
}

void plat_present(const uint32_t *pixels, int width, int x0, int y0, int x1, int y1)
{
  if (platform == PLATFORM_SDL)
    sdl_present(pixels, width, x0, y0, x1, y1);
  if (platform == PLATFORM_HEADLESS)
    headless_present(pixels, width, x0, y0, x1, y1);
}

int plat_next_event(platform_event *ev, int wait)
{
  if (platform == PLATFORM_SDL)
    return sdl_next_event(ev, wait);
  if (platform == PLATFORM_HEADLESS)
    return headless_next_event(ev, wait);
  *ev = {EV_CLOSE, 0, 0, 0, 0};
  return 1;
}

void plat_wait(int ms)
{
  if (platform == PLATFORM_SDL)
    sdl_wait(ms);
  if (platform == PLATFORM_HEADLESS)
    headless_wait(ms);
}

int parse_size(const char *text, int *width, int *height)
{
  int w, h;
  char tail;
  if (!text || sscanf(text, "%dx%d%c", &w, &h, &tail) != 2)
    return 0;
  if (w < 320 || h < 200 || w > 8192 || h > 8192)
    return 0;
  *width = w;
  *height = h;
  return 1;
}

int key_char(int key, int ctrl)
{
  switch (key) {
  case PK_ENTER: return ctrl ? 10 : 13;
  case PK_ESC: return 27;
  case PK_TAB: return 9;
  case PK_BACKSPACE: return ctrl ? 127 : 8;
  default: return 0;
  }
}
