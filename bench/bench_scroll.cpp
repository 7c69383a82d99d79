// Automatic scrolling at full speed: 1000 passes of the scroll loop (the
// band moved by 64 pixels, the 64 new columns drawn, the changed area
// copied to the screen) against moving the band's pixels the same number
// of times with a plain memmove of its rows.  The new columns, not the
// length of the signal, should set the cost.
#include "bench_support.h"
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

enum { PASSES = 1000, SPEED = 8, ROUNDS = 11, FRAMES = MAX_FRAMES };

// Runs the passes from the signal's start; 0 when they did not all scroll.
static double tarvo_passes(int *ok)
{
  scroll_offset = scroll_prev = 0;
  scroll_col = scroll_width / 2;
  redraw_scroll();
  scroll_speed = SPEED;
  double t0 = now_ms();
  for (int i = 0; i < PASSES; i++) {
    scroll_pass();
    poll_key(); // the loop's look for a key, which copies the changed area out
  }
  double t = now_ms() - t0;
  *ok = scroll_speed == SPEED && scroll_offset == PASSES * SPEED * 8;
  return t;
}

static double plain_passes()
{
  int shift = SPEED * 8;
  double t0 = now_ms();
  for (int i = 0; i < PASSES; i++)
    for (int y = scroll_top; y <= scroll_bottom; y++) {
      uint32_t *row = back_buffer + (size_t)y * scr_width;
      memmove(row, row + shift, (size_t)(scr_width - shift) * sizeof(uint32_t));
    }
  return now_ms() - t0;
}

int main()
{
  bench_screen();
  last_vis = 1;
  signal_window *sw = bench_window(1, FRAMES, 1);
  for (int i = 0; i < FRAMES; i++)
    sw->samples[i] = (int16_t)((int64_t)i * 7919 % 60000 - 30000);
  redraw_current();
  cursor = scr_width / 2;
  half_span = scr_width / 2;
  if (!scroll_setup()) {
    fprintf(stderr, "bench_scroll: no scroll mode\n");
    return 1;
  }
  double tarvo[ROUNDS], plain[ROUNDS];
  int ok = 1, round_ok;
  tarvo_passes(&round_ok); // warm-up
  plain_passes();
  for (int r = 0; r < ROUNDS; r++) {
    tarvo[r] = tarvo_passes(&round_ok);
    ok = ok && round_ok;
    plain[r] = plain_passes();
  }
  if (!ok) {
    fprintf(stderr, "bench_scroll: the passes did not all scroll at speed %d\n", SPEED);
    return 1;
  }
  double t = median(tarvo, ROUNDS), p = median(plain, ROUNDS);
  printf("scroll passes=%d speed=%d tarvo_ms=%.3f blit_ms=%.3f ratio=%.2f\n", PASSES, SPEED, t, p, t / p);
  leave_scroll();
  free_all_samples();
  release_surface();
  return 0;
}
