// The Trans menu: the spectrum of a segment, its linear-prediction envelope
// or both, put into the clip window as a spectrum window; the prediction
// error of the current signal through an adaptive lattice; and the
// transform's own settings.
//
// A spectrum window holds one 16-bit value per bin (channel 0 the spectrum,
// channel 1 the envelope when both are kept), the level encoded as
// (dB - reference) * db_scale with the reference db_offset + G, G rising
// with the segment length so that louder-because-longer segments still sit
// on the scale.  The Nyquist bin takes the guard frame behind the last.
//
// Windows of several channels are analysed on channel 0, gathered with the
// channel stride; the error filter runs every channel through a lattice of
// its own.
#include "analysis/analysis.h"
#include "core/state.h"
#include "display/display.h"
#include "dsp/dsp.h"
#include "edit/edit.h"
#include "files/files.h"
#include "screen/screen.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

int fft_max_points = 1 << FFT_MAX_LOG;

enum {
  MAX_LPE_ORDER = 99,  // largest lattice the error filter runs
  LPE_ANSWER_LEN = 80, // characters of the coefficient-count answer
};

// The transform length for npts points: the next power of two, then fft_pad
// doublings more, all within fft_max_points.
static long fft_length(long npts)
{
  long n = 1;
  while (n < npts && n < fft_max_points)
    n *= 2;
  if (fft_pad >= 1 && fft_pad <= 15)
    for (int i = 0; i < fft_pad; i++)
      if (n < fft_max_points)
        n *= 2;
  return n;
}

static void error_number(const char *format, long value)
{
  char text[LINE_LEN];
  snprintf(text, sizeof text, format, value);
  show_error(text);
}

// The envelope from predictor coefficients a[0..p] into channel `first` of
// d: the inverse of the prediction filter's gain, shifted so that its level
// sum matches the spectrum's (sum_x).  The highest coefficient is left out,
// as the formant search does.
static void store_envelope(int d, float *frame, const float *a, long n, int p, double sum_x, double ref, int first)
{
  signal_window *dw = &windows[d];
  memcpy(frame, a, sizeof(float) * p);
  memset(frame + p, 0, sizeof(float) * (n - p));
  fft_real(frame, (int)n);
  long m = n / 2;
  double sum_a = spectrum_db(frame, (int)m);
  double offset = (sum_a + sum_x) / m - ref;
  db_to_samples(frame, dw->samples, (int)m + 1, first, dw->channels, -db_scale, offset);
}

void fft_to_window(int d, int f, int t)
{
  const signal_window *s = &windows[cur_win];
  long from = slot_position(cur_win, f), to = slot_position(cur_win, t), npts = to - from;
  if (d == cur_win || from < 0 || to < 0 || !s->samples)
    return;
  long n = fft_length(npts), m = n / 2;
  // The window holds at most MAX_FRAMES bins; fewer than two points make
  // no spectrum worth a window.
  if (n < npts || m > MAX_FRAMES) {
    error_number(" Too many points (%ld) for FFT", npts);
    return;
  }
  if (npts < 2) {
    error_number(" Too few points (%ld) for FFT", npts);
    return;
  }
  int p = predictor_order(s->adc_rate);
  if ((fft_mode & 2) && (p < 1 || p > MAX_LPC_ORDER || p > npts)) {
    show_error("Invalid number of coefficients.");
    return;
  }
  int channels = ((fft_mode & 2) != 0) + ((fft_mode & 1) != 0);
  if (channels < 1 || !alloc_samples(d, (int)m, channels))
    return;
  signal_window *dw = &windows[d];
  dw->channels = (int8_t)channels;
  float *frame = (float *)malloc(sizeof(float) * (n + 2));
  if (!frame) {
    show_error("Problem allocating memory for FFT.");
    return;
  }
  // Predictor block: k, a and r of p + 1 floats each.
  float *block = nullptr, *a = nullptr, err;
  if (fft_mode & 2) {
    block = (float *)malloc(sizeof(float) * (3 * p + 3));
    if (!block) {
      free(frame);
      show_error("Problem allocating memory for LPC.");
      return;
    }
    a = block + p + 1;
  }
  char text[LINE_LEN];
  clear_prompt();
  snprintf(text, sizeof text, " FT: npts=%ld, nfft=%ld", npts, n);
  show_prompt(text);

  // One analysis frame serves both curves: the predictor is found from it
  // before the transform overwrites it.
  int16_t *gathered;
  const int16_t *v = channel_zero(s, from, npts, &gathered);
  if (!v) {
    free(block);
    free(frame);
    show_error("Problem allocating memory for FFT.");
    return;
  }
  prepare_frame(frame, v, (int)npts, s->zero_level, lpc_emphasis, lpc_window);
  free(gathered);
  if (block && lpc_autocorr((int)npts, frame, p, a, &err, block, a + p + 1)) {
    free(block);
    free(frame);
    show_error("Singular autocorrelation matrix.");
    return;
  }
  memset(frame + npts, 0, sizeof(float) * (n - npts));
  fft_real(frame, (int)n);
  double sum_x = spectrum_db(frame, (int)m);
  double ref = db_offset + to_db((double)npts) - 35.1;
  int next = 0;
  if (fft_mode & 1)
    db_to_samples(frame, dw->samples, (int)m + 1, next++, channels, db_scale, ref);
  if (block)
    store_envelope(d, frame, a, n, p, sum_x, ref, next);
  free(block);
  free(frame);

  dw->num_samples = (int32_t)m;
  dw->created = (int32_t)time(nullptr);
  dw->adc_bits = 16;
  dw->zero_level = 0;
  dw->src_type = SC_S16;
  dw->src_flag = 0;
  dw->raw_load = 0;
  dw->path[0] = 0;
  dw->adc_rate = s->adc_rate;
  dw->dac_rate = 1;
  snprintf(dw->name, sizeof dw->name, "[FFT of w%d(%ld:%ld)]", cur_win, from, to);
  dw->kind = 1;
  reset_marks(d);
  window_views[d].view_start = 0;
  window_views[d].view_end = (int32_t)m;
}

void fft_command()
{
  dest_win = clip_win;
  if (!ask_segment(" FOURIER TRANSFORM:"))
    return;
  if (cur_win == clip_win)
    return;
  order_segment();
  clear_window(clip_win);
  fft_to_window(clip_win, seg_from, seg_to);
  if (first_vis != 0) {
    first_vis = 0;
    redraw_all();
  } else {
    draw_window(clip_win);
  }
}

// The answer to the coefficient-count question: 1..99, else 0.
static int read_lpe_order()
{
  char answer[LPE_ANSWER_LEN + 1];
  prompt_input("LP ERROR: Number of coefficients? ", answer, sizeof answer);
  char *end;
  errno = 0;
  long p = strtol(answer, &end, 10);
  if (end == answer || errno || p < 1 || p > MAX_LPE_ORDER)
    return 0;
  return (int)p;
}

void lpe_filter(int d, int f, int t)
{
  clear_prompt();
  signal_window *dw = &windows[d];
  long from = dw->marks[f], to = dw->marks[t];
  if (from < 0 || to < 0)
    return;
  int p = read_lpe_order();
  if (!p)
    return;
  int c = dw->channels > 1 ? dw->channels : 1;
  to = to < dw->num_samples ? to : dw->num_samples;
  std::vector<float> state((size_t)(p + 1) * c, 0.0f);
  int zero = dw->zero_level;
  for (int ch = 0; ch < c; ch++) {
    int16_t *v = dw->samples + ch;
    float *st = state.data() + (size_t)ch * (p + 1);
    for (long i = from; i < to; i++)
      v[i * c] = (int16_t)(lattice_error(v[i * c] - zero, p, st) + zero);
  }
  snprintf(dw->name, sizeof dw->name, "[LPE of w%d(%ld:%ld)]", cur_win, from, to);
}

void lpe_command()
{
  // The clip window is both the copy and, when current, its source: cleared
  // first, it would have nothing left to filter.
  if (cur_win == clip_win) {
    show_error(" LPE filters a signal into the clip window, not the clip window itself. ");
    return;
  }
  if (windows[cur_win].num_samples < 1 || !windows[cur_win].samples) {
    show_error("No signal.");
    return;
  }
  dest_win = clip_win;
  order_segment();
  clear_window(clip_win);
  copy_rates(clip_win, cur_win);
  if (copy_segment(clip_win, MARK_HOME, MARK_END))
    lpe_filter(clip_win, MARK_HOME, MARK_END);
  draw_window(clip_win);
}

// The transform settings: what FFT stores, the padding and the emphasis.
static void trans_settings()
{
  static const char *const modes[] = {"FFT-only", "LPC-only", "Both", ""};
  switch (menu_select("FFT TRANSFORM", modes)) {
  case 'F': fft_mode = 1; break;
  case 'L': fft_mode = 2; break;
  case 'B': fft_mode = 3; break;
  default: break;
  }
  char text[LINE_LEN];
  snprintf(text, sizeof text, " Pad with NFFT zeros, power-of-2  = (%d) ", fft_pad);
  show_prompt(text);
  int key = wait_key();
  if (key >= '0' && key <= '9')
    fft_pad = key - '0';
  show_prompt(" High-frequency emphasis? (y/N) ");
  lpc_emphasis = ask_yes();
}

void trans_menu()
{
  static const char *const items[] = {"FFT", "LPE", "Set", ""};
  switch (menu_select("TRANSFORM", items)) {
  case 'F': fft_command(); break;
  case 'L': lpe_command(); break;
  case 'S': trans_settings(); break;
  default: break;
  }
  clear_prompt();
}
