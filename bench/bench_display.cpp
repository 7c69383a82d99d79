// Drawing five full windows against one plain min/max pass over the same
// values: reducing a million frames to one stroke a column should cost
// little more than reading them once.
#include "bench_support.h"
#include "core/state.h"
#include "display/display.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>

enum { BENCH_WINDOWS = 5, BENCH_FRAMES = 1048576, RUNS = 7 };

static volatile int sink; // keeps the min/max pass from being optimised away

// A vowel-like signal: a few harmonics with a slow swell and some noise,
// different in each window.
static int fill_window(int w)
{
  if (!alloc_samples(w, BENCH_FRAMES, 1))
    return 0;
  signal_window *sw = &windows[w];
  sw->num_samples = BENCH_FRAMES;
  sw->channels = 1;
  sw->adc_bits = 16;
  sw->zero_level = 0;
  sw->adc_rate = 16000;
  uint32_t noise = 12345u * w;
  for (int i = 0; i <= BENCH_FRAMES; i++) {
    double t = i / 16000.0;
    double env = 0.5 + 0.5 * sin(2 * M_PI * 0.7 * t);
    double v = env * (9000 * sin(2 * M_PI * 120 * w * t) + 5000 * sin(2 * M_PI * 730 * t) +
                      2500 * sin(2 * M_PI * 1090 * t));
    noise = noise * 1664525u + 1013904223u;
    v += (int)(noise >> 22) - 512;
    sw->samples[i] = (int16_t)std::clamp(v, -32768.0, 32767.0);
  }
  window_views[w].view_start = 0;
  window_views[w].view_end = BENCH_FRAMES;
  return 1;
}

static void minmax_pass()
{
  int lo = 32767, hi = -32768;
  for (int w = 1; w <= BENCH_WINDOWS; w++) {
    const int16_t *p = windows[w].samples;
    for (int i = 0; i < BENCH_FRAMES; i++) {
      lo = std::min(lo, (int)p[i]);
      hi = std::max(hi, (int)p[i]);
    }
  }
  sink = lo + hi;
}

template <typename F> static double best_of(F f)
{
  double best = 1e30;
  for (int r = 0; r < RUNS; r++) {
    double t0 = now_ms();
    f();
    best = std::min(best, now_ms() - t0);
  }
  return best;
}

int main()
{
  scr_width = 800;
  scr_height = 600;
  if (!headless_start(scr_width, scr_height))
    return 1;
  prepare_surface();
  init_windows();
  for (int w = 1; w <= BENCH_WINDOWS; w++)
    if (!fill_window(w))
      return 1;
  double draw_ms = best_of(redraw_all);
  double minmax_ms = best_of(minmax_pass);
  printf("draw windows=%d N=%d tarvo_ms=%.3f minmax_ms=%.3f ratio=%.2f\n", BENCH_WINDOWS, BENCH_FRAMES,
         draw_ms, minmax_ms, draw_ms / minmax_ms);
  free_all_samples();
  release_surface();
  return 0;
}
