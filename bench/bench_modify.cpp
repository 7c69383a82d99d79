// Compress and Rescale over a 1048576-frame 16-bit mono window (the
// question answered by queued keys) against one plain pass over the same
// values: for Compress, each value looked up in a table made beforehand;
// for Rescale, the same double-precision arithmetic inline.
#include "bench_support.h"
#include "core/state.h"
#include "edit/edit.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

enum { FRAMES = 1048576, ROUNDS = 11 };

static void answer(const char *text)
{
  for (const char *p = text; *p; p++) {
    platform_event ev = {EV_CHAR, 0, (unsigned char)*p, 0, 0};
    headless_push_event(&ev);
  }
}

// Nearly every 16-bit value, in an order no cache line predicts.
static void fill(int16_t *v)
{
  for (int i = 0; i < FRAMES; i++)
    v[i] = (int16_t)((int64_t)i * 7919 % 60000 - 30000);
}

static double tarvo_run(int compress)
{
  fill(windows[1].samples);
  answer(compress ? "0.5\r" : "0.75\r");
  double t0 = now_ms();
  if (compress)
    compress_segment(MARK_HOME, MARK_END);
  else
    rescale_segment(MARK_HOME, MARK_END);
  return now_ms() - t0;
}

static double plain_pass(int compress, int16_t *v, const int16_t *table)
{
  fill(v);
  double t0 = now_ms();
  if (compress)
    for (int i = 0; i < FRAMES; i++)
      v[i] = table[v[i] + 32768];
  else
    for (int i = 0; i < FRAMES; i++)
      v[i] = (int16_t)(int)(v[i] * 0.75);
  return now_ms() - t0;
}

int main()
{
  bench_screen();
  signal_window *sw = bench_window(1, FRAMES, 1);
  reset_marks(1);
  std::vector<int16_t> plain(FRAMES), table(65536);
  for (int v = -32768; v < 32768; v++)
    table[v + 32768] = (int16_t)(v < 0 ? -32768 * std::pow(-v / 32768.0, 0.5) : 32768 * std::pow(v / 32768.0, 0.5));

  for (int compress = 1; compress >= 0; compress--) {
    double tarvo[ROUNDS], pass[ROUNDS];
    tarvo_run(compress); // warm-up
    plain_pass(compress, plain.data(), table.data());
    for (int r = 0; r < ROUNDS; r++) {
      tarvo[r] = tarvo_run(compress);
      pass[r] = plain_pass(compress, plain.data(), table.data());
    }
    if (memcmp(plain.data(), sw->samples, sizeof(int16_t) * FRAMES) != 0) {
      fprintf(stderr, "bench_modify: %s gave other values than the plain pass\n", compress ? "compress" : "rescale");
      return 1;
    }
    double t = median(tarvo, ROUNDS), p = median(pass, ROUNDS);
    printf("modify op=%s N=%d tarvo_ms=%.3f pass_ms=%.3f ratio=%.2f\n", compress ? "compress" : "rescale", FRAMES,
           t, p, t / p);
  }
  free_all_samples();
  release_surface();
  return 0;
}
