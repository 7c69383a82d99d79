// The one place that chooses the sound device, and what both devices share:
// the rate check, the wait loop that a key ends, and the device messages.
// The wait never spins: it sleeps on the timer for about the whole sound,
// then in steps of at most 10 ms until the device is done, a key arrives or
// the deadline (twice the sound's length and a second) has passed.
#include "audio/device.h"
#include "audio/device_impl.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <chrono>
#include <cstdio>

int dev_bits = 8;
int dev_zero = 128;
int dev_id = -1;
int dev_ready = -1;
int recorded_frames;
int dev_failed;
int device_choice = DEVICE_FOLLOW_SCREEN;

enum { WAIT_STEP_MS = 10 };

static int input_open;  // the input is open (only between calls while held)
static int input_rate;
static int input_held;

static bool headless()
{
  if (device_choice != DEVICE_FOLLOW_SCREEN)
    return device_choice == DEVICE_HEADLESS;
  return headless_screen() != nullptr;
}

// ---- Forwarding to the device chosen.
static int out_open(int channels, int rate)
{
  return headless() ? headless_out_open(channels, rate) : sdl_out_open(channels, rate);
}
static int out_queue(const int16_t *v, int frames)
{
  return headless() ? headless_out_queue(v, frames) : sdl_out_queue(v, frames);
}
static int out_left() { return headless() ? headless_out_left() : sdl_out_left(); }
static void out_close(int stopped) { headless() ? headless_out_close(stopped) : sdl_out_close(stopped); }
static int in_open(int rate) { return headless() ? headless_in_open(rate) : sdl_in_open(rate); }
static int in_take(int16_t *dst, int frames)
{
  return headless() ? headless_in_take(dst, frames) : sdl_in_take(dst, frames);
}
static void in_done(int frames, int rate) { headless() ? headless_in_done(frames, rate) : sdl_in_done(frames, rate); }
static void in_close() { headless() ? headless_in_close() : sdl_in_close(); }
static void device_wait(int ms) { headless() ? headless_device_wait(ms) : sdl_device_wait(ms); }

// ---- The shared parts.
static bool rate_usable(int rate) { return rate >= MIN_DEVICE_RATE && rate <= MAX_DEVICE_RATE; }

static double now_s()
{
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

static double deadline(int frames, int rate) { return now_s() + 2.0 * frames / rate + 1.0; }

int init_iod()
{
  dev_bits = 16;
  dev_zero = 0;
  dev_id = 0;
  return 0;
}

int wave_out_play(const int16_t *samples, int frames, int channels, int rate)
{
  dev_failed = 0;
  if (poll_key() || frames <= 0)
    return 0;
  if (!rate_usable(rate) || !out_open(channels, rate)) {
    dev_failed = 1;
    show_error("Failed to open waveform output device.");
    return 0;
  }
  if (!out_queue(samples, frames)) {
    out_close(1);
    dev_failed = 1;
    show_error("Failed to write buffer to device");
    return 0;
  }
  double end = deadline(frames, rate);
  wait_timer(frames, rate);
  int stopped = 0;
  while (out_left() > 0 && now_s() < end) {
    if (poll_key()) {
      stopped = 1;
      break;
    }
    device_wait(WAIT_STEP_MS);
  }
  out_close(stopped);
  stop_timer();
  return 0;
}

static void close_input()
{
  if (input_open)
    in_close();
  input_open = 0;
}

// Opens the input at rate unless it is held open at that rate already.
static int open_input(int rate)
{
  if (input_open && input_rate == rate)
    return 1;
  close_input();
  if (!rate_usable(rate) || !in_open(rate))
    return 0;
  input_open = 1;
  input_rate = rate;
  return 1;
}

int wave_in_record(int16_t *buffer, int frames, int rate)
{
  dev_failed = 0;
  recorded_frames = 0;
  if (poll_key() || frames <= 0)
    return 0;
  if (!open_input(rate)) {
    dev_failed = 1;
    show_error("Failed to open waveform input device.");
    return 0;
  }
  double end = deadline(frames, rate);
  wait_timer(frames, rate);
  int got = 0;
  for (;;) {
    got += in_take(buffer + got, frames - got);
    if (got >= frames || poll_key() || now_s() >= end)
      break;
    device_wait(WAIT_STEP_MS);
  }
  in_done(got, rate);
  if (!input_held)
    close_input();
  stop_timer();
  recorded_frames = got;
  return 0;
}

void hold_input(int on)
{
  input_held = on;
  if (!on)
    close_input();
}

void close_devices()
{
  hold_input(0);
  headless() ? headless_devices_end() : sdl_devices_end();
}

void report_io_error(const char *name, int code)
{
  char text[LINE_LEN];
  snprintf(text, sizeof text, "Error in '%s', error code = %d ", name, code);
  clear_prompt();
  show_prompt(text);
  wait_key_pending();
  clear_prompt();
}

void show_record_time(int frames, int rate)
{
  clear_prompt();
  if (rate <= 0)
    return;
  char text[LINE_LEN];
  snprintf(text, sizeof text, " Record time = %ld msec", (long)((long long)frames * 1000 / rate));
  show_prompt(text);
  wait_key_pending();
  clear_prompt();
}
