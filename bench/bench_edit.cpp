// Editing a 1048576-frame window of 8 channels: cut, paste, silence and
// eXtend, each against one memmove of as many bytes as the edit has to
// write (the frames it moves behind the edit point, plus what it copies in
// or fills), on a buffer of the same size, timed in the same run.
//
// The edits are the procedures the Edit menu calls once its questions are
// answered: copy_segment and delete_segment (Cut), paste_segment,
// insert_zero_frames (Silence) and pad_to_blocks (eXtend).  Drawing is left
// out: the window edited is window 5 while only window 1 is visible.
//
// A quarter of the signal is cut from a quarter of the way in and pasted
// back, deleted again and filled with silence, so each round starts from
// the same signal.  eXtend pads 255 frames (4080 bytes), too little to time
// once: it is timed over a batch, as is its reference.
#include "bench_support.h"
#include "core/state.h"
#include "edit/edit.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

enum { N = MAX_FRAMES, C = 8, ROUNDS = 21, BATCH = 2000, W = 5, AT = N / 4, LEN = N / 4, PAD = 255 };
enum { MARK_A = 0, MARK_B = 1 };

static int16_t value(long long i) { return (int16_t)(i * 7919 % 60000 - 30000); }

static void fail(const char *what)
{
  fprintf(stderr, "bench_edit: %s\n", what);
  exit(1);
}

static void set_marks(int a, int b)
{
  windows[W].marks[MARK_A] = a;
  windows[W].marks[MARK_B] = b;
}

// The reference: one memmove of `bytes` inside a buffer as large as the window.
static int16_t *plain;
static double plain_move(long long bytes)
{
  double t0 = now_ms();
  memmove(plain + (size_t)AT * C, plain + (size_t)(AT + LEN) * C, (size_t)bytes);
  return now_ms() - t0;
}

struct timing {
  const char *op;
  double tarvo[ROUNDS], plain[ROUNDS];
};

static void one_round(int r, timing *cut, timing *paste, timing *silence, timing *extend)
{
  const long long frame = C * 2, tail = (long long)(N - AT - LEN) * frame;
  signal_window *sw = &windows[W];

  windows[clip_win].num_samples = 0; // what clear_window leaves
  set_marks(AT, AT + LEN);
  double t0 = now_ms();
  if (!copy_segment(clip_win, MARK_A, MARK_B))
    fail("cut: copy refused");
  delete_segment(W, MARK_A, MARK_B);
  cut->tarvo[r] = now_ms() - t0;
  cut->plain[r] = plain_move(LEN * frame + tail);

  set_marks(AT, -1); // the cut unset A, which marked its first frame
  t0 = now_ms();
  if (!paste_segment(clip_win, -1, MARK_A))
    fail("paste refused");
  paste->tarvo[r] = now_ms() - t0;
  paste->plain[r] = plain_move(tail + LEN * frame);
  if (sw->num_samples != N || sw->samples[(size_t)(AT + LEN / 2) * C] != value((long long)(AT + LEN / 2) * C))
    fail("paste did not restore the signal");

  set_marks(AT, AT + LEN);
  delete_segment(W, MARK_A, MARK_B);
  t0 = now_ms();
  if (!insert_zero_frames(AT, LEN))
    fail("silence refused");
  silence->tarvo[r] = now_ms() - t0;
  silence->plain[r] = plain_move(tail + LEN * frame);
  if (sw->num_samples != N || sw->samples[(size_t)(AT + LEN) * C] != value((long long)(AT + LEN) * C) ||
      sw->samples[(size_t)AT * C] != 0)
    fail("silence moved the wrong frames");
  for (long long i = (long long)AT * C; i < (long long)(AT + LEN) * C; i++)
    sw->samples[i] = value(i); // the signal as it was, for the next round

  t0 = now_ms();
  for (int k = 0; k < BATCH; k++) {
    sw->num_samples = N - PAD;
    if (pad_to_blocks() != PAD)
      fail("extend padded the wrong count");
  }
  extend->tarvo[r] = (now_ms() - t0) / (double)BATCH;
  t0 = now_ms();
  for (int k = 0; k < BATCH; k++) {
    plain[k & 7] = (int16_t)k; // the same bookkeeping store as above
    memmove(plain + (size_t)(N - PAD) * C, plain + (size_t)AT * C, (size_t)PAD * frame);
  }
  extend->plain[r] = (now_ms() - t0) / (double)BATCH;
  // Put back the values the padding overwrote.
  for (long long i = (long long)(N - PAD) * C; i < (long long)N * C; i++)
    sw->samples[i] = value(i);
}

static void report(timing *t)
{
  double a = median(t->tarvo, ROUNDS), b = median(t->plain, ROUNDS);
  printf("edit op=%s N=%d C=%d tarvo_ms=%.6f memmove_ms=%.6f ratio=%.2f\n", t->op, (int)N, (int)C, a, b, a / b);
}

int main()
{
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  bench_screen();
  last_vis = 1; // only window 1 is shown ...
  cur_win = W;  // ... and the edits go to window 5
  signal_window *sw = bench_window(W, N, C);
  for (long long i = 0; i < (long long)(N + 1) * C; i++)
    sw->samples[i] = value(i);
  sw->adc_rate = sw->dac_rate = 16000;
  reset_marks(W);
  plain = (int16_t *)malloc((size_t)(N + 1) * C * 2);
  memcpy(plain, sw->samples, (size_t)(N + 1) * C * 2);

  timing cut = {"cut", {}, {}}, paste = {"paste", {}, {}}, silence = {"silence", {}, {}},
         extend = {"extend", {}, {}};
  one_round(0, &cut, &paste, &silence, &extend); // warm-up: the clip window's block, caches
  for (int r = 0; r < ROUNDS; r++)
    one_round(r, &cut, &paste, &silence, &extend);
  report(&cut);
  report(&paste);
  report(&silence);
  report(&extend);
  free(plain);
  free_all_samples();
  release_surface();
  return 0;
}
