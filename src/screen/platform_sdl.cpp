// The SDL2 window: one window over the usable desktop, our back buffer
// copied into it (scaled by TARVO_SCALE), and SDL's events turned into the
// keyboard events a PC keyboard driver would send.
#include "screen/platform_impl.h"
#include <SDL.h>
#include <SDL_image.h>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static SDL_Window *window;
static int win_scale = 1;
static int win_closed;
static int swallow_text; // the text a key typed with Alt or Super held is dropped
static SDL_Keycode swallow_sym; // with Right Alt only: just the key's own letter is dropped

// The window icon: the 48x48 PNG of the installed icon, built into the program.
extern const unsigned char window_icon_png[];
extern const unsigned int window_icon_png_size;

// SDL events can make more than one of ours (a key and the character it
// types): a small queue holds them.
enum { QUEUE_SIZE = 64 };
static platform_event pending[QUEUE_SIZE];
static int pending_head, pending_count;

static void enqueue(int type, int key, int ch, int x, int y)
{
  if (pending_count == QUEUE_SIZE)
    return;
  pending[(pending_head + pending_count++) % QUEUE_SIZE] = {type, key, ch, x, y};
}

static void set_icon()
{
  SDL_RWops *rw = SDL_RWFromConstMem(window_icon_png, (int)window_icon_png_size);
  SDL_Surface *icon = rw ? IMG_Load_RW(rw, 1) : nullptr;
  if (icon) {
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
  }
}

int sdl_open(const char *title, int *width, int *height)
{
  const char *display = getenv("DISPLAY");
  const char *wayland = getenv("WAYLAND_DISPLAY");
  const char *driver = getenv("SDL_VIDEODRIVER");
  if ((!display || !*display) && (!wayland || !*wayland) && (!driver || !*driver)) {
    fprintf(stderr, "tarvo: no display: DISPLAY is not set; run it on a desktop, "
                    "or headless with TARVO_SCRIPT=FILE\n");
    return 0;
  }
  // The window's class, which desktops match to the installed desktop entry.
  setenv("SDL_VIDEO_X11_WMCLASS", "Tarvo", 0);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", "Tarvo", 0);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    fprintf(stderr, "tarvo: cannot open the display: %s\n", SDL_GetError());
    return 0;
  }
  const char *scale = getenv("TARVO_SCALE");
  win_scale = scale && atoi(scale) >= 1 && atoi(scale) <= 8 ? atoi(scale) : 1;

  SDL_Rect r = {0, 0, 800, 600};
  if (SDL_GetDisplayUsableBounds(0, &r) != 0)
    SDL_GetDisplayBounds(0, &r);
  int w = r.w / win_scale, h = r.h / win_scale;
  const char *size = getenv("TARVO_SIZE");
  int fixed = size && *size;
  if (fixed && !parse_size(size, &w, &h)) {
    fprintf(stderr, "tarvo: TARVO_SIZE must be WIDTHxHEIGHT, at least 320x200\n");
    SDL_Quit();
    return 0;
  }
  window = SDL_CreateWindow(title, r.x, r.y, w * win_scale, h * win_scale, SDL_WINDOW_SHOWN);
  if (!window) {
    fprintf(stderr, "tarvo: cannot create the window: %s\n", SDL_GetError());
    SDL_Quit();
    return 0;
  }
  set_icon();
  // The window manager's frame comes on top of the window: the frame and
  // all must fit the usable desktop, or the status line falls below its
  // edge.  The frame is known only once the window is shown.
  int top = 0, left = 0, bottom = 0, right = 0;
  for (int tries = 0; !fixed && tries < 20 && !(top | left | bottom | right); tries++) {
    SDL_PumpEvents();
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0)
      break;
    if (!(top | left | bottom | right))
      SDL_Delay(10);
  }
  if (top | left | bottom | right) {
    w = (r.w - left - right) / win_scale;
    h = (r.h - top - bottom) / win_scale;
    w = w < 320 ? 320 : w;
    h = h < 200 ? 200 : h;
    SDL_SetWindowSize(window, w * win_scale, h * win_scale);
    // Where the window manager put the frame is known once the window has
    // settled (SDL reports the frame's corner); a frame that still runs
    // past the desktop's right or bottom edge makes the window smaller.
    int x = r.x, y = r.y;
    for (int tries = 0; tries < 25 && x == r.x && y == r.y; tries++) {
      SDL_Delay(10);
      SDL_PumpEvents();
      SDL_GetWindowPosition(window, &x, &y);
    }
    int over_x = x + left + w * win_scale + right - (r.x + r.w);
    int over_y = y + top + h * win_scale + bottom - (r.y + r.h);
    if (over_x > 0 || over_y > 0) {
      w -= over_x > 0 ? (over_x + win_scale - 1) / win_scale : 0;
      h -= over_y > 0 ? (over_y + win_scale - 1) / win_scale : 0;
      w = w < 320 ? 320 : w;
      h = h < 200 ? 200 : h;
      SDL_SetWindowSize(window, w * win_scale, h * win_scale);
    }
  }
  SDL_StartTextInput();
  swallow_text = 0;
  *width = w;
  *height = h;
  return 1;
}

void sdl_close()
{
  if (window) {
    SDL_StopTextInput();
    SDL_DestroyWindow(window);
    window = nullptr;
    SDL_Quit();
  }
}

void sdl_present(const uint32_t *pixels, int width, int x0, int y0, int x1, int y1)
{
  SDL_Surface *target = window ? SDL_GetWindowSurface(window) : nullptr;
  if (!target)
    return;
  SDL_Surface *src = SDL_CreateRGBSurfaceWithFormatFrom((void *)pixels, width, target->h / win_scale + 1,
                                                        32, width * 4, SDL_PIXELFORMAT_RGB888);
  if (!src)
    return;
  SDL_Rect from = {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
  SDL_Rect to = {x0 * win_scale, y0 * win_scale, from.w * win_scale, from.h * win_scale};
  if (win_scale == 1)
    SDL_BlitSurface(src, &from, target, &to);
  else
    SDL_BlitScaled(src, &from, target, &to);
  SDL_FreeSurface(src);
  SDL_UpdateWindowSurfaceRects(window, &to, 1);
}

// The keypad gives the main block's keys with NumLock off; with it on, its
// digits arrive as text.
static int map_key(SDL_Keycode sym, int mod)
{
  int numlock = (mod & KMOD_NUM) != 0;
  switch (sym) {
  case SDLK_LCTRL: case SDLK_RCTRL: return PK_CTRL;
  case SDLK_LSHIFT: case SDLK_RSHIFT: return PK_SHIFT;
  case SDLK_F1: return PK_F1; case SDLK_F2: return PK_F2; case SDLK_F3: return PK_F3;
  case SDLK_F4: return PK_F4; case SDLK_F5: return PK_F5; case SDLK_F6: return PK_F6;
  case SDLK_F7: return PK_F7; case SDLK_F8: return PK_F8; case SDLK_F9: return PK_F9;
  case SDLK_F10: return PK_F10; case SDLK_F11: return PK_F11; case SDLK_F12: return PK_F12;
  case SDLK_LEFT: return PK_LEFT; case SDLK_RIGHT: return PK_RIGHT;
  case SDLK_UP: return PK_UP; case SDLK_DOWN: return PK_DOWN;
  case SDLK_HOME: return PK_HOME; case SDLK_END: return PK_END;
  case SDLK_PAGEUP: return PK_PGUP; case SDLK_PAGEDOWN: return PK_PGDN;
  case SDLK_INSERT: return PK_INSERT; case SDLK_DELETE: return PK_DELETE;
  case SDLK_RETURN: case SDLK_KP_ENTER: return PK_ENTER;
  case SDLK_ESCAPE: return PK_ESC; case SDLK_TAB: return PK_TAB;
  case SDLK_BACKSPACE: return PK_BACKSPACE; case SDLK_SPACE: return PK_SPACE;
  case SDLK_KP_4: return numlock ? PK_OTHER : PK_LEFT;
  case SDLK_KP_6: return numlock ? PK_OTHER : PK_RIGHT;
  case SDLK_KP_8: return numlock ? PK_OTHER : PK_UP;
  case SDLK_KP_2: return numlock ? PK_OTHER : PK_DOWN;
  case SDLK_KP_7: return numlock ? PK_OTHER : PK_HOME;
  case SDLK_KP_1: return numlock ? PK_OTHER : PK_END;
  case SDLK_KP_9: return numlock ? PK_OTHER : PK_PGUP;
  case SDLK_KP_3: return numlock ? PK_OTHER : PK_PGDN;
  case SDLK_KP_0: return numlock ? PK_OTHER : PK_INSERT;
  case SDLK_KP_PERIOD: return numlock ? PK_OTHER : PK_DELETE;
  default: return PK_OTHER;
  }
}

// Control characters are typed by key presses that SDL reports only as key
// events; printable text arrives separately as text input.
static int control_char(const SDL_Keysym &k, int key)
{
  int ctrl = (k.mod & KMOD_CTRL) != 0;
  if (ctrl && k.sym >= SDLK_a && k.sym <= SDLK_z)
    return (int)(k.sym - SDLK_a) + 1;
  return key_char(key, ctrl);
}

static void translate(const SDL_Event &e)
{
  switch (e.type) {
  case SDL_KEYDOWN: {
    // Alt and Super combinations belong to the desktop.  AltGr types
    // characters: some systems report it as mode, X11 as Right Alt, so a
    // Right Alt key is dropped, but a character other than its own letter
    // that it types is kept.
    const SDL_Keysym &k = e.key.keysym;
    int key = map_key(k.sym, k.mod);
    swallow_text = (k.mod & (KMOD_ALT | KMOD_GUI)) && !(k.mod & KMOD_MODE);
    swallow_sym = swallow_text && !(k.mod & (KMOD_LALT | KMOD_GUI)) ? k.sym : 0;
    if (swallow_text && key != PK_CTRL && key != PK_SHIFT)
      break;
    enqueue(EV_KEYDOWN, key, 0, 0, 0);
    int ch = control_char(k, key);
    if (ch)
      enqueue(EV_CHAR, 0, ch, 0, 0);
    break;
  }
  case SDL_KEYUP:
    enqueue(EV_KEYUP, map_key(e.key.keysym.sym, e.key.keysym.mod), 0, 0, 0);
    break;
  case SDL_TEXTINPUT: {
    const char *typed = e.text.text;
    if (swallow_text && (!swallow_sym || (typed[0] && !typed[1] && tolower((unsigned char)typed[0]) == (int)swallow_sym)))
      break;
    // UTF-8 text: ASCII and Latin-1 characters become character codes.
    const unsigned char *t = (const unsigned char *)e.text.text;
    for (int i = 0; t[i]; i++) {
      if (t[i] < 0x80)
        enqueue(EV_CHAR, 0, t[i], 0, 0);
      else if ((t[i] == 0xC2 || t[i] == 0xC3) && t[i + 1]) {
        enqueue(EV_CHAR, 0, ((t[i] & 0x03) << 6) | (t[i + 1] & 0x3F), 0, 0);
        i++;
      }
    }
    break;
  }
  case SDL_MOUSEMOTION:
    enqueue(EV_MOUSEMOVE, 0, 0, e.motion.x / win_scale, e.motion.y / win_scale);
    break;
  case SDL_MOUSEBUTTONDOWN:
    enqueue(EV_MOUSEMOVE, 0, 0, e.button.x / win_scale, e.button.y / win_scale);
    if (e.button.button == SDL_BUTTON_LEFT) enqueue(EV_LBUTTON, 0, 0, 0, 0);
    if (e.button.button == SDL_BUTTON_RIGHT) enqueue(EV_RBUTTON, 0, 0, 0, 0);
    break;
  case SDL_QUIT:
    win_closed = 1;
    break;
  case SDL_WINDOWEVENT:
    if (e.window.event == SDL_WINDOWEVENT_CLOSE)
      win_closed = 1;
    else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
      enqueue(EV_EXPOSE, 0, 0, 0, 0);
    break;
  }
}

int sdl_next_event(platform_event *ev, int wait)
{
  for (;;) {
    if (pending_count) {
      *ev = pending[pending_head];
      pending_head = (pending_head + 1) % QUEUE_SIZE;
      pending_count--;
      return 1;
    }
    if (win_closed) {
      *ev = {EV_CLOSE, 0, 0, 0, 0};
      return 1;
    }
    SDL_Event e;
    if (wait ? !SDL_WaitEvent(&e) : !SDL_PollEvent(&e))
      return 0;
    translate(e);
    // An SDL event that makes none of ours counts as one message pumped.
    if (!wait && !pending_count && !win_closed)
      return 0;
  }
}

void sdl_wait(int ms)
{
  if (!pending_count && !win_closed)
    SDL_WaitEventTimeout(nullptr, ms);
}
