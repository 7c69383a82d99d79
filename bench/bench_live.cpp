// One block of the Area display's work (peak bar, first difference, linear
// prediction, tube areas and the sections drawn) against the lpc_autocorr
// call it makes, on consecutive blocks of a synthetic vowel, in the same
// run.  Each block is timed both ways side by side and the fastest of the
// rounds kept for each, so that a busy machine spoils neither side alone.
#include "audio/audio.h"
#include "audio/device.h"
#include "bench_support.h"
#include "dsp/dsp.h"
#include "files/files.h"
#include <cmath>
#include <cstring>

enum { BLOCKS = 1000, ROUNDS = 7, PERIOD = 91 };

// Block `start` of a steady vowel-like signal with a little noise; the
// pitch period does not divide the block, so each block begins at another
// point of it and the sections move a little from block to block.
static void vowel_block(int start, int16_t *block)
{
  for (int i = 0; i < LIVE_BLOCK; i++) {
    double t = (start + i) % PERIOD;
    double v = std::exp(-t / 25.0) * (3000 * std::sin(t * 0.46) + 2000 * std::sin(t * 0.69) + 800 * std::sin(t * 1.5));
    block[i] = (int16_t)(v + (i * 7919 % 61) - 30);
  }
}

int main()
{
  bench_screen();
  init_iod();
  static int16_t blocks[BLOCKS][LIVE_BLOCK];
  for (int b = 0; b < BLOCKS; b++)
    vowel_block(b * LIVE_BLOCK, blocks[b]);
  tube_panel t;
  draw_panels(&t);
  int prev = graph_bottom - row_height - 2;
  static double tarvo[BLOCKS], lpc[BLOCKS];
  float f[LIVE_BLOCK], a[TUBE_SECTIONS + 1], k[TUBE_SECTIONS], r[TUBE_SECTIONS + 1], e;
  double sink = 0;
  for (int round = 0; round < ROUNDS; round++)
    for (int b = 0; b < BLOCKS; b++) {
      double t0 = now_ms();
      memcpy(header_area, blocks[b], sizeof blocks[b]);
      tract_block(&t, &prev);
      double t1 = now_ms();
      for (int i = 0; i < LIVE_BLOCK; i++)
        f[i] = blocks[b][i];
      lpc_autocorr(LIVE_BLOCK, f, TUBE_SECTIONS, a, &e, k, r);
      sink += k[0];
      double t2 = now_ms();
      tarvo[b] = round ? std::min(tarvo[b], t1 - t0) : t1 - t0;
      lpc[b] = round ? std::min(lpc[b], t2 - t1) : t2 - t1;
    }
  double tu = 0, lu = 0;
  for (int b = 0; b < BLOCKS; b++)
    tu += tarvo[b] * 1000, lu += lpc[b] * 1000;
  printf("tract blocks=%d tarvo_us=%.0f lpc_us=%.0f ratio=%.2f%s\n", BLOCKS, tu, lu, tu / lu, sink == 12345 ? " " : "");
  return 0;
}
