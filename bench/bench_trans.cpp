// The FFT-and-envelope transform of a 1048576-point segment (pad 1, so a
// transform of 2^21 points) against the routine calls it makes, timed one by
// one in the same run on the same frame; and LPE with 12 coefficients over
// 1048576 frames against the bare lattice calls.
#include "analysis/analysis.h"
#include "bench_support.h"
#include "core/state.h"
#include "display/display.h"
#include "dsp/dsp.h"
#include <cmath>
#include <cstring>
#include <vector>

enum { FRAMES = 1048576, ROUNDS = 9, ORDER = 12 };

// A voiced sound of 125 Hz with some noise, at 10000 Hz.
static void fill(int16_t *v)
{
  for (int i = 0; i < FRAMES; i++)
    v[i] = (int16_t)(3000 * sin(i * 0.0785398) + 1500 * sin(i * 0.471239) + 700 * sin(i * 0.785398) + (int)(i * 7919LL % 201) - 100);
}

// The calls fft_to_window makes on a prepared frame, each timed alone.
static double routines_run(const float *prepared, float *frame, int16_t *out)
{
  long n = 2L * FRAMES, m = FRAMES;
  float block[3 * ORDER + 3], err;
  memcpy(frame, prepared, sizeof(float) * n);
  double t0 = now_ms();
  lpc_autocorr(FRAMES, frame, ORDER, block + ORDER + 1, &err, block, block + 2 * (ORDER + 1));
  fft_real(frame, (int)n);
  double sum = spectrum_db(frame, (int)m);
  db_to_samples(frame, out, (int)m + 1, 0, 2, db_scale, 19.0);
  double t = now_ms() - t0;
  memcpy(frame, block + ORDER + 1, sizeof(float) * ORDER);
  memset(frame + ORDER, 0, sizeof(float) * (n - ORDER));
  t0 = now_ms();
  fft_real(frame, (int)n);
  sum += spectrum_db(frame, (int)m);
  db_to_samples(frame, out, (int)m + 1, 1, 2, -db_scale, sum / m);
  return t + now_ms() - t0;
}

int main()
{
  bench_screen();
  signal_window *sw = bench_window(1, FRAMES, 1);
  sw->adc_rate = 10000;
  fill(sw->samples);
  reset_marks(1);
  cur_win = 1;
  fft_mode = 3, fft_pad = 1, lpc_order = ORDER;
  std::vector<float> prepared(2L * FRAMES + 2, 0.0f), frame(2L * FRAMES + 2);
  std::vector<int16_t> out(2L * FRAMES + 2);
  prepare_frame(prepared.data(), sw->samples, FRAMES, 0, lpc_emphasis, lpc_window);

  double tarvo[ROUNDS], routines[ROUNDS];
  for (int r = 0; r < ROUNDS; r++) {
    double t0 = now_ms();
    fft_to_window(clip_win, MARK_HOME, MARK_END);
    tarvo[r] = now_ms() - t0;
    routines[r] = routines_run(prepared.data(), frame.data(), out.data());
  }
  if (windows[clip_win].num_samples != FRAMES || windows[clip_win].channels != 2) {
    fprintf(stderr, "bench_trans: the transform stored %d frames of %d channels\n", windows[clip_win].num_samples,
            windows[clip_win].channels);
    return 1;
  }
  double t = median(tarvo, ROUNDS), p = median(routines, ROUNDS);
  printf("trans N=%d tarvo_ms=%.1f routines_ms=%.1f ratio=%.2f\n", FRAMES, t, p, t / p);

  // LPE: the answer queued, the window filtered in place each round.
  double lpe[ROUNDS], lattice[ROUNDS];
  std::vector<float> state(ORDER + 1);
  std::vector<int16_t> plain(FRAMES);
  for (int r = 0; r < ROUNDS; r++) {
    fill(sw->samples);
    for (const char *k = "12\r"; *k; k++) {
      platform_event ev = {EV_CHAR, 0, (unsigned char)*k, 0, 0};
      headless_push_event(&ev);
    }
    double t0 = now_ms();
    lpe_filter(1, MARK_HOME, MARK_END);
    lpe[r] = now_ms() - t0;
    fill(plain.data());
    std::fill(state.begin(), state.end(), 0.0f);
    t0 = now_ms();
    for (int i = 0; i < FRAMES; i++)
      plain[i] = (int16_t)lattice_error(plain[i], ORDER, state.data());
    lattice[r] = now_ms() - t0;
  }
  if (memcmp(plain.data(), sw->samples, sizeof(int16_t) * FRAMES) != 0) {
    fprintf(stderr, "bench_trans: LPE gave other values than the bare lattice\n");
    return 1;
  }
  t = median(lpe, ROUNDS), p = median(lattice, ROUNDS);
  printf("lpe p=%d N=%d tarvo_ms=%.1f lattice_ms=%.1f ratio=%.2f\n", ORDER, FRAMES, t, p, t / p);
  return 0;
}
