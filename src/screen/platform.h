// The platform: a window (or an off-screen image), its events, one timer
// and the font's glyphs.  Two implementations share this header: the SDL2
// window and the headless run driven by a key script; plat_open chooses.
#pragma once
#include <cstdint>

// Keys the program maps itself; every other key is PK_OTHER.
enum {
  PK_OTHER = 0, PK_CTRL, PK_SHIFT,
  PK_F1, PK_F2, PK_F3, PK_F4, PK_F5, PK_F6, PK_F7, PK_F8, PK_F9, PK_F10, PK_F11, PK_F12,
  PK_LEFT, PK_RIGHT, PK_UP, PK_DOWN, PK_HOME, PK_END, PK_PGUP, PK_PGDN, PK_INSERT, PK_DELETE,
  PK_ENTER, PK_ESC, PK_TAB, PK_BACKSPACE, PK_SPACE,
};

enum {
  EV_NONE = 0,
  EV_KEYDOWN,   // key: one of PK_*
  EV_KEYUP,
  EV_CHAR,      // ch: the character code, as a keyboard types it (1..255)
  EV_MOUSEMOVE, // x, y
  EV_LBUTTON,
  EV_RBUTTON,
  EV_CLOSE,     // the window was closed
  EV_EXPOSE,    // the screen must be repainted whole
};

struct platform_event {
  int type;
  int key;
  int ch;
  int x, y;
};

// Opens the window (or the off-screen image): size from TARVO_SIZE or the
// usable desktop.  Prints a message and returns 0 on failure.
int plat_open(const char *title, int *width, int *height);
void plat_close();
// Copies a rectangle of the back buffer (both corners included) to the screen.
void plat_present(const uint32_t *pixels, int width, int x0, int y0, int x1, int y1);
// Takes the next event; with wait set, blocks until there is one.  1 when an
// event was taken.
int plat_next_event(platform_event *ev, int wait);
// Waits up to ms milliseconds or until an event is pending.
void plat_wait(int ms);

// The fixed-pitch font: metrics, and a one-byte-per-pixel ink mask of
// advance x height for a character (1 = ink).  plat_font_open prints a
// message and returns 0 when the font cannot be loaded.
int plat_font_open(int *advance, int *height, int *ascent);
// The font file: TARVO_FONT, else fontconfig's fixed-pitch match for
// "DejaVu Sans Mono", else the path Debian installs it at.
const char *plat_font_path();
const uint8_t *plat_glyph(unsigned char c);
void plat_font_close();
// The font found and its glyphs are kept in $XDG_CACHE_HOME/tarvo/font-cache
// for the next start; these count the times fontconfig was asked and a
// font file opened, which a start that finds the cache current skips.
extern int font_lookups, font_opens;

// Writes pixels (0xRRGGBB) as a PNG file.  1 on success.
int plat_save_png(const char *path, const uint32_t *pixels, int width, int height);

// The folder the program was started in, noted before anything changes the
// working directory ("" until then, or when it cannot be known).  The key
// script, the transcript, the script's shots and the command-line files
// are named relative to it.
enum { PLAT_PATH_LEN = 8192 };
void plat_note_start_dir();
const char *plat_start_dir();
// path taken relative to the start folder (an absolute path stays as it is)
// into out, which holds PLAT_PATH_LEN bytes; 0 when it does not fit.
int plat_start_path(char *out, const char *path);

// Headless runs: the script is read by plat_open.  Tests can instead start
// a headless screen of a given size and hand events in directly.
int headless_start(int width, int height);
void headless_push_event(const platform_event *ev);
// The off-screen screen of a headless run (what a user would see).
const uint32_t *headless_screen();
