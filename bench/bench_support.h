// What the program's benchmarks share: a clock, a headless screen with the
// windows initialised, a window of a given size, and the median of a run.
#pragma once
#include "core/state.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

inline double now_ms()
{
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Processor time of the calling thread: on a machine shared with other work
// it leaves out the time the thread waited for a processor, which wall time
// counts in whole scheduler slices of other programs.
inline double cpu_ms()
{
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return (double)t.tv_sec * 1e3 + (double)t.tv_nsec * 1e-6;
}

// An 800 x 600 headless screen, prepared, with the six windows initialised.
inline void bench_screen()
{
  scr_width = 800;
  scr_height = 600;
  if (!headless_start(scr_width, scr_height)) {
    fprintf(stderr, "bench: no headless screen\n");
    exit(1);
  }
  prepare_surface();
  init_windows();
}

// Window w with room for `frames` frames of `channels` channels, 16-bit
// signed; the values are left to the caller.
inline signal_window *bench_window(int w, int frames, int channels)
{
  signal_window *sw = &windows[w];
  if (!alloc_samples(w, frames, channels)) {
    fprintf(stderr, "bench: no storage for %d frames\n", frames);
    exit(1);
  }
  sw->num_samples = frames;
  sw->channels = (int8_t)channels;
  sw->adc_bits = 16;
  sw->zero_level = 0;
  return sw;
}

// The median of n timings (they are sorted).
inline double median(double *t, int n)
{
  std::sort(t, t + n);
  return t[n / 2];
}
