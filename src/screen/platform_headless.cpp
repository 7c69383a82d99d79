// The headless platform.  The screen is an off-screen image; events come
// from a key script, one at a time as the program pumps messages.  Events
// flow only while the program blocks for a key or waits on its timer, as
// if the user typed slower than the program draws: runs are deterministic.
#include "screen/platform_impl.h"
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

enum { ENTRY_EVENT, ENTRY_SHOT };

struct script_entry {
  int kind;
  platform_event ev;
  std::string path; // for shots
};

static std::vector<script_entry> queue;
static size_t next_entry;
static uint32_t *screen;
static int screen_w, screen_h;
static int released;    // a timer wait lets one event through

static void push(int type, int key, int ch, int x, int y)
{
  script_entry e;
  e.kind = ENTRY_EVENT;
  e.ev = {type, key, ch, x, y};
  queue.push_back(e);
}

struct named_key {
  const char *name;
  int key;
};

static const named_key key_names[] = {
  {"Enter", PK_ENTER}, {"Esc", PK_ESC}, {"Tab", PK_TAB}, {"Backspace", PK_BACKSPACE}, {"Space", PK_SPACE},
  {"Up", PK_UP}, {"Down", PK_DOWN}, {"Left", PK_LEFT}, {"Right", PK_RIGHT},
  {"Home", PK_HOME}, {"End", PK_END}, {"PgUp", PK_PGUP}, {"PgDn", PK_PGDN},
  {"Ins", PK_INSERT}, {"Del", PK_DELETE},
  {"F1", PK_F1}, {"F2", PK_F2}, {"F3", PK_F3}, {"F4", PK_F4},
  {"F5", PK_F5}, {"F6", PK_F6}, {"F7", PK_F7}, {"F8", PK_F8},
  {"F9", PK_F9}, {"F10", PK_F10}, {"F11", PK_F11}, {"F12", PK_F12},
};

// One key press as a keyboard sends it: modifiers down, key down, the
// character it types (as the window would), key up, modifiers up.
static int push_key(const char *name)
{
  int shift = 0, ctrl = 0;
  for (;;) {
    if (strncmp(name, "S-", 2) == 0 && name[2]) { shift = 1; name += 2; }
    else if (strncmp(name, "C-", 2) == 0 && name[2]) { ctrl = 1; name += 2; }
    else break;
  }
  int key = -1, ch = 0;
  for (const named_key &k : key_names)
    if (strcmp(name, k.name) == 0) {
      key = k.key;
      ch = key == PK_SPACE ? ' ' : key_char(key, ctrl);
    }
  if (key < 0) {
    if (strlen(name) != 1 || !isprint((unsigned char)name[0]))
      return 0;
    key = PK_OTHER;
    ch = (unsigned char)name[0];
    if (shift)
      ch = toupper(ch);
    if (ctrl && isalpha(ch))
      ch = toupper(ch) - 'A' + 1;
  }
  if (shift) push(EV_KEYDOWN, PK_SHIFT, 0, 0, 0);
  if (ctrl) push(EV_KEYDOWN, PK_CTRL, 0, 0, 0);
  push(EV_KEYDOWN, key, 0, 0, 0);
  if (ch) push(EV_CHAR, 0, ch, 0, 0);
  push(EV_KEYUP, key, 0, 0, 0);
  if (ctrl) push(EV_KEYUP, PK_CTRL, 0, 0, 0);
  if (shift) push(EV_KEYUP, PK_SHIFT, 0, 0, 0);
  return 1;
}

static int parse_line(const std::string &line)
{
  size_t sp = line.find(' ');
  std::string cmd = line.substr(0, sp);
  std::string rest = sp == std::string::npos ? "" : line.substr(sp + 1);
  if (cmd == "type" && sp != std::string::npos) {
    for (unsigned char c : rest)
      push(EV_CHAR, 0, c, 0, 0);
    return 1;
  }
  if (cmd == "key") {
    char buf[64];
    int used, any = 0;
    const char *p = rest.c_str();
    while (sscanf(p, "%63s%n", buf, &used) == 1) {
      if (!push_key(buf))
        return 0;
      any = 1;
      p += used;
    }
    return any;
  }
  if (cmd == "move" || cmd == "click" || cmd == "rclick") {
    int x, y;
    char tail;
    if (sscanf(rest.c_str(), "%d %d %c", &x, &y, &tail) != 2)
      return 0;
    push(EV_MOUSEMOVE, 0, 0, x, y);
    if (cmd == "click") push(EV_LBUTTON, 0, 0, x, y);
    if (cmd == "rclick") push(EV_RBUTTON, 0, 0, x, y);
    return 1;
  }
  if (cmd == "shot" && !rest.empty()) {
    // A shot lands in the folder the program was started in, wherever the
    // working directory is when it is taken.
    char path[PLAT_PATH_LEN];
    plat_start_path(path, rest.c_str());
    script_entry e;
    e.kind = ENTRY_SHOT;
    e.ev = {};
    e.path = path;
    queue.push_back(e);
    return 1;
  }
  if (cmd == "close" && rest.empty()) {
    push(EV_CLOSE, 0, 0, 0, 0);
    return 1;
  }
  return 0;
}

// Reads a script; prints the offending line and returns 0 when one is not
// a command.
static int load_script(const char *path)
{
  FILE *f = fopen(path, "r");
  if (!f) {
    fprintf(stderr, "tarvo: cannot read the script '%s'\n", path);
    return 0;
  }
  char buf[4096];
  int number = 0;
  while (fgets(buf, sizeof buf, f)) {
    number++;
    std::string line(buf);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
      line.pop_back();
    if (line.empty() || line[0] == '#')
      continue;
    if (!parse_line(line)) {
      fprintf(stderr, "tarvo: %s:%d: not a script command: %s\n", path, number, line.c_str());
      fclose(f);
      return 0;
    }
  }
  fclose(f);
  return 1;
}

static int open_screen(int width, int height)
{
  free(screen);
  screen = (uint32_t *)calloc((size_t)width * height, sizeof(uint32_t));
  if (!screen) {
    fprintf(stderr, "tarvo: no memory for a %dx%d screen\n", width, height);
    return 0;
  }
  screen_w = width;
  screen_h = height;
  return 1;
}

int headless_open(const char *script, int *width, int *height)
{
  int w = 800, h = 600;
  const char *size = getenv("TARVO_SIZE");
  if (size && *size && !parse_size(size, &w, &h)) {
    fprintf(stderr, "tarvo: TARVO_SIZE must be WIDTHxHEIGHT, at least 320x200\n");
    return 0;
  }
  if (!open_screen(w, h))
    return 0;
  if (!load_script(script))
    exit(2);
  *width = w;
  *height = h;
  return 1;
}

int headless_begin(int width, int height)
{
  queue.clear();
  next_entry = 0;
  released = 0;
  return open_screen(width, height);
}

void headless_push_event(const platform_event *ev)
{
  script_entry e;
  e.kind = ENTRY_EVENT;
  e.ev = *ev;
  queue.push_back(e);
}

void headless_close()
{
  free(screen);
  screen = nullptr;
  queue.clear();
  queue.shrink_to_fit();
  next_entry = 0;
}

const uint32_t *headless_screen() { return screen; }

void headless_present(const uint32_t *pixels, int width, int x0, int y0, int x1, int y1)
{
  if (!screen)
    return;
  if (x0 == 0 && x1 == screen_w - 1 && width == screen_w && y0 <= y1 && y0 < screen_h) {
    // Whole rows are one block.
    int rows = std::min(y1, screen_h - 1) - y0 + 1;
    memcpy(screen + (size_t)y0 * screen_w, pixels + (size_t)y0 * width, (size_t)rows * width * sizeof(uint32_t));
    return;
  }
  for (int y = y0; y <= y1 && y < screen_h; y++)
    memcpy(screen + (size_t)y * screen_w + x0, pixels + (size_t)y * width + x0,
           (size_t)(x1 - x0 + 1) * sizeof(uint32_t));
}

int headless_next_event(platform_event *ev, int wait)
{
  if (!wait && !released)
    return 0;
  released = 0;
  while (next_entry < queue.size()) {
    const script_entry &e = queue[next_entry++];
    if (e.kind == ENTRY_SHOT) {
      if (!plat_save_png(e.path.c_str(), screen, screen_w, screen_h))
        fprintf(stderr, "tarvo: cannot write the screenshot '%s'\n", e.path.c_str());
      continue;
    }
    *ev = e.ev;
    return 1;
  }
  // The script is used up: the window is closed, and stays closed.
  *ev = {EV_CLOSE, 0, 0, 0, 0};
  return 1;
}

void headless_wait(int ms) { released = 1; }
