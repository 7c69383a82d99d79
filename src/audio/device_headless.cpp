// The headless sound device.  Nothing waits for real time: every time the
// wait loop asks, the device has moved on by 10 ms of sound, so a key that
// the timer lets through stops a call after its first 10 ms, and a call
// with no key runs to its end at once.  What is played is appended to
// TARVO_PLAYBACK as raw 16-bit little-endian interleaved values; what is
// recorded comes from TARVO_CAPTURE, raw 16-bit little-endian mono, read as
// one stream across calls (silence when unset or used up).  Each call that
// moves sound notes it in the transcript as "A:play FRAMES CHANNELS RATE"
// or "A:record FRAMES RATE".
#include "audio/device_impl.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <cstdio>
#include <cstdlib>

enum { STEP_PER_SECOND = 100 }; // the device moves on by 1/100 s per question

static FILE *playback;          // TARVO_PLAYBACK while the output is open
static const int16_t *out_values;
static int out_frames, out_played, out_channels, out_rate;

static FILE *capture;           // TARVO_CAPTURE, open from its first use to the end
static int in_rate;

static int step_frames(int rate) { return rate / STEP_PER_SECOND > 0 ? rate / STEP_PER_SECOND : 1; }

// The file an environment variable names, opened relative to the start
// folder: 1 when the variable is unset (nothing to open) or it opened.
static int open_named(const char *variable, const char *mode, FILE **f)
{
  const char *name = getenv(variable);
  if (!name || !*name)
    return 1;
  char path[PLAT_PATH_LEN];
  if (!plat_start_path(path, name))
    return 0;
  *f = fopen(path, mode);
  return *f != nullptr;
}

int headless_out_open(int channels, int rate)
{
  playback = nullptr;
  out_frames = out_played = 0;
  out_channels = channels;
  out_rate = rate;
  return open_named("TARVO_PLAYBACK", "ab", &playback);
}

int headless_out_queue(const int16_t *samples, int frames)
{
  out_values = samples;
  out_frames = frames;
  return 1;
}

int headless_out_left()
{
  out_played += step_frames(out_rate);
  if (out_played > out_frames)
    out_played = out_frames;
  return out_frames - out_played;
}

static void put_le16(const int16_t *v, size_t n, FILE *f)
{
  for (size_t i = 0; i < n; i++) {
    unsigned char b[2] = {(unsigned char)(v[i] & 0xFF), (unsigned char)((uint16_t)v[i] >> 8)};
    fwrite(b, 1, 2, f);
  }
}

void headless_out_close(int stopped)
{
  if (playback) {
    put_le16(out_values, (size_t)out_played * out_channels, playback);
    fclose(playback);
    playback = nullptr;
  }
  if (out_played > 0) {
    char text[LINE_LEN];
    snprintf(text, sizeof text, "play %d %d %d", out_played, out_channels, out_rate);
    transcript('A', text);
  }
}

int headless_in_open(int rate)
{
  in_rate = rate;
  return capture || open_named("TARVO_CAPTURE", "rb", &capture);
}

int headless_in_take(int16_t *dst, int frames)
{
  int n = step_frames(in_rate) < frames ? step_frames(in_rate) : frames;
  for (int i = 0; i < n; i++) {
    int lo = capture ? getc(capture) : EOF;
    int hi = lo == EOF ? EOF : getc(capture);
    dst[i] = hi == EOF ? 0 : (int16_t)(uint16_t)(lo | hi << 8);
  }
  return n;
}

void headless_in_done(int frames, int rate)
{
  if (frames <= 0)
    return;
  char text[LINE_LEN];
  snprintf(text, sizeof text, "record %d %d", frames, rate);
  transcript('A', text);
}

void headless_in_close() {}

void headless_device_wait(int ms) {}

void headless_devices_end()
{
  if (capture)
    fclose(capture);
  capture = nullptr;
}
