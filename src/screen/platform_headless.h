// The headless platform: an off-screen screen and events from a key script
// (or handed in by tests).  Only the platform files use this header.
#pragma once
#include "screen/platform.h"

int headless_open(int *width, int *height);
void headless_close();
void headless_present(const uint32_t *pixels, int width, int x0, int y0, int x1, int y1);
int headless_next_event(platform_event *ev, int wait);
void headless_wait(int ms);
// Reads a script; prints the offending line and returns 0 when one is not
// a command.
int headless_load_script(const char *path);
// Window size from a "WxH" text, or 0 when it is not one.
int parse_size(const char *text, int *width, int *height);
