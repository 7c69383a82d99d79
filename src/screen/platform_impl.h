// The two platforms behind platform.h: the SDL2 window and the headless
// run.  platform.cpp chooses one when the screen opens and forwards every
// plat_* call to it.  Only the platform files include this header.
#pragma once
#include "screen/platform.h"

int sdl_open(const char *title, int *width, int *height);
void sdl_close();
void sdl_present(const uint32_t *pixels, int width, int x0, int y0, int x1, int y1);
int sdl_next_event(platform_event *ev, int wait);
void sdl_wait(int ms);

// script is the key script's path; its shots are written as it names them.
int headless_open(const char *script, int *width, int *height);
// An empty off-screen screen with no script, for tests.
int headless_begin(int width, int height);
void headless_close();
void headless_present(const uint32_t *pixels, int width, int x0, int y0, int x1, int y1);
int headless_next_event(platform_event *ev, int wait);
void headless_wait(int ms);

// The character a key types by itself, 0 for none: Ctrl turns Enter into
// a line feed and Backspace into a delete.
int key_char(int key, int ctrl);

// Window size from a "WxH" text, or 0 when it is not one.
int parse_size(const char *text, int *width, int *height);
