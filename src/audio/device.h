// The sound devices: one buffer played to the default output, one block
// recorded from the default input, each call waiting until the device is
// done or a key is pressed.  Two implementations sit behind this header:
// SDL2 audio and the headless run; device.cpp chooses.
#pragma once
#include <cstdint>

enum {
  MIN_DEVICE_RATE = 1000,   // rates a device is opened at, in Hz
  MAX_DEVICE_RATE = 192000,
};

extern int dev_bits;        // sample resolution the device works in
extern int dev_zero;        // value of silence in the device's format
extern int dev_id;          // device number; negative = not set up
extern int dev_ready;       // the device number for which Play last ran init_iod
extern int recorded_frames; // frames filled by the last wave_in_record
extern int dev_failed;      // the last device call failed and said so

// Which implementation the device calls go to: the one that matches the
// screen (headless with a headless screen, SDL otherwise), or one forced.
enum { DEVICE_FOLLOW_SCREEN, DEVICE_SDL, DEVICE_HEADLESS };
extern int device_choice;

// Sets the device state up for 16-bit signed values; always 0.
int init_iod();
// Plays frames x channels interleaved values at rate; a key pending before
// or pressed during the call stops it and stays pending.  0.
int wave_out_play(const int16_t *samples, int frames, int channels, int rate);
// Records up to frames mono values at rate; recorded_frames says how many
// arrived before the end or a key.  0.
int wave_in_record(int16_t *buffer, int frames, int rate);
// While held, the input stays open between recordings at one rate (the
// live displays); releasing it closes the input.
void hold_input(int on);
// Closes whatever is open and lets the sound system go (shutdown).
void close_devices();

// "Error in 'NAME', error code = N " until a key is pending.
void report_io_error(const char *name, int code);
// " Record time = N msec" until a key is pending; nothing for rate <= 0.
void show_record_time(int frames, int rate);
