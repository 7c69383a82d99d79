// The two implementations behind device.h.  device.cpp runs the waits and
// the messages and calls these for the device itself; only the device files
// include this header.  Opens return 1 on success; frames are counted in
// whole frames of the open format.
#pragma once
#include <cstdint>

int sdl_out_open(int channels, int rate);
int sdl_out_queue(const int16_t *samples, int frames);
int sdl_out_left();                 // frames queued and not yet played
void sdl_out_close(int stopped);    // stopped: drop the rest; otherwise let the device's buffer run out
int sdl_in_open(int rate);
int sdl_in_take(int16_t *dst, int frames); // frames arrived since the last take, at most `frames`
void sdl_in_done(int frames, int rate);    // one recording call has ended with `frames`
void sdl_in_close();
void sdl_device_wait(int ms);       // one step of the wait loop
void sdl_devices_end();

int headless_out_open(int channels, int rate);
int headless_out_queue(const int16_t *samples, int frames);
int headless_out_left();
void headless_out_close(int stopped);
int headless_in_open(int rate);
int headless_in_take(int16_t *dst, int frames);
void headless_in_done(int frames, int rate);
void headless_in_close();
void headless_device_wait(int ms);
void headless_devices_end();
