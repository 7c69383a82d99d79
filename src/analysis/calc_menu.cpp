// The Calc menu: measurements of a segment of the current window (duration,
// RMS, predictor coefficients, tube areas, formants, spectral moments).
// Nothing is written to any window; short results go to the prompt line,
// lists to an info box.
//
// A window of several channels is measured on channel 0 alone: its values
// are gathered with the channel stride before anything is computed.
#include "analysis/analysis.h"
#include "core/state.h"
#include "dsp/dsp.h"
#include "edit/edit.h"
#include "screen/screen.h"
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

enum {
  MAX_LPC_POINTS = 32767,    // longest segment LPC, Area and Formant take
  MAX_MOMENT_POINTS = 16384, // longest segment Moments takes
  MAX_FORMANTS = 25,         // room in the formant result arrays
};

// The segment of the current window chosen at the From/To prompt: frames
// from up to, not including, to.
struct segment {
  int from, to, n;
};

// Asks for the segment and puts its ends in order; 0 when the user gave no
// pair of marks or a mark holds no position of the signal.
static int get_segment(const char *title, segment *s)
{
  if (!ask_segment(title))
    return 0;
  order_segment();
  s->from = slot_position(cur_win, seg_from);
  s->to = slot_position(cur_win, seg_to);
  s->n = s->to - s->from;
  return s->from >= 0 && s->to >= 0;
}

const int16_t *channel_zero(const signal_window *s, long from, long n, int16_t **gathered)
{
  int c = s->channels > 1 ? s->channels : 1;
  const int16_t *first = s->samples + from * c;
  *gathered = nullptr;
  if (c == 1)
    return first;
  int16_t *v = (int16_t *)malloc((size_t)n * sizeof *v);
  if (!v)
    return nullptr;
  for (long i = 0; i < n; i++)
    v[i] = first[i * c];
  return *gathered = v;
}

static void message(const char *format, ...) __attribute__((format(printf, 1, 2)));
static void message(const char *format, ...)
{
  char line[LINE_LEN];
  va_list ap;
  va_start(ap, format);
  vsnprintf(line, sizeof line, format, ap);
  va_end(ap);
  show_error(line);
}

static void duration()
{
  int rate = windows[cur_win].adc_rate;
  if (rate <= 0) {
    show_error(" Undefined signal ADC rate.");
    return;
  }
  segment s;
  if (!get_segment(" DURATION:", &s))
    return;
  // mark_name may hand back the same buffer twice: copy the first name.
  char from_name[16];
  snprintf(from_name, sizeof from_name, "%s", mark_name(seg_from));
  long count = labs((long)s.n);
  double d = count * 1000.0 / rate;
  const char *unit = "msec";
  if (d >= 10000.0) {
    d *= 0.001;
    unit = "sec";
  }
  message(" Duration from %s to %s = %9.3f %s, (%ld samples).", from_name, mark_name(seg_to), d, unit,
          count);
}

static void rms()
{
  segment s;
  if (!get_segment(" RMS:", &s))
    return;
  const signal_window *sw = &windows[cur_win];
  if (s.n <= 0 || !sw->samples) {
    show_error("No points in segment.");
    return;
  }
  clear_prompt();
  show_prompt("Computing signal RMS value ...");
  int stride = sw->channels > 1 ? sw->channels : 1, z = sw->zero_level;
  const int16_t *v = sw->samples + (long)s.from * stride;
  double sum = 0;
  int lo = v[0], hi = v[0];
  for (long i = 0; i < s.n; i++) {
    int x = v[i * stride];
    sum += x - z;
    lo = x < lo ? x : lo;
    hi = x > hi ? x : hi;
  }
  double dc = sum / s.n, sq = 0;
  for (long i = 0; i < s.n; i++) {
    double d = v[i * stride] - z - dc;
    sq += d * d;
  }
  message(" RMS = %.1f,  DC = %.1f,  MIN = %d,  MAX = %d,  NSAMP = %ld.", std::sqrt(sq / s.n), dc, lo, hi,
          (long)s.n);
}

// The checks LPC, Area and Formant make before computing, in their order;
// the predictor order in *p when the segment can be used.
static int lpc_checks(const segment &s, int *p)
{
  const signal_window *sw = &windows[cur_win];
  int order = predictor_order(sw->adc_rate);
  if (s.n <= 0 || !sw->samples)
    show_error("No points in segment.");
  else if (s.n > MAX_LPC_POINTS)
    show_error("Too many points in segment.");
  else if (order <= 0 || order > MAX_LPC_ORDER || order > s.n)
    show_error("Invalid number of coefficients.");
  else {
    *p = order;
    return 1;
  }
  return 0;
}

// The predictor of order p for the segment, into a block of 3p + 3 floats
// laid out k, a, r (p + 1 each); the frame (room for s.n floats) is left
// holding the analysis frame.  0 after a message.
static int predict(const segment &s, int p, float *frame, float *block, float *E)
{
  int16_t *gathered;
  const int16_t *v = channel_zero(&windows[cur_win], s.from, s.n, &gathered);
  if (!v) {
    show_error("Problem allocating memory for FFT.");
    return 0;
  }
  prepare_frame(frame, v, s.n, windows[cur_win].zero_level, lpc_emphasis, lpc_window);
  free(gathered);
  int failed = lpc_autocorr(s.n, frame, p, block + p + 1, E, block, block + 2 * (p + 1));
  clear_prompt();
  if (failed)
    show_error("Singular autocorrelation matrix.");
  return !failed;
}

// The info box line i (from 1) of a list ten lines to a column.
static void list_line(int i, int column_chars, const char *text)
{
  info_text(15 + column_chars * ((i - 1) / 10) * char_width, 25 + ((i - 1) % 10 + 2) * row_height, text);
}

// The predictor coefficients a[1..p] of the block, or the tube section
// areas they imply, as lines of the open info box.
static void list_predictor(int areas, int p, const float *block)
{
  const float *k = block, *a = block + p + 1;
  char line[32];
  info_text(15, 25, areas ? "Acoustic Tube Section Areas:" : "Linear Prediction Coefficients:");
  double area = 1.0;
  for (int i = 1; i <= p; i++) {
    // Each area follows from the one before through one reflection
    // coefficient, the last coefficient first.
    area *= (1.0 + k[p - i]) / (1.0 - k[p - i]);
    if (areas)
      snprintf(line, sizeof line, "%4d%8.2f", i, area);
    else
      snprintf(line, sizeof line, "%4d%8.3f", i, a[i]);
    list_line(i, 15, line);
  }
}

// LPC (areas 0) or Area (areas 1).
static void lpc_list(int areas)
{
  segment s;
  int p;
  float E;
  if (!get_segment(" LPC:", &s))
    return;
  clear_prompt();
  if (!lpc_checks(s, &p))
    return;
  show_prompt("computing linear prediction coefficients ...");
  float *frame = (float *)malloc((size_t)s.n * sizeof(float));
  float *block = frame ? (float *)calloc(3 * (size_t)p + 3, sizeof(float)) : nullptr;
  if (!frame)
    show_error("Problem allocating memory for FFT.");
  else if (!block)
    show_error("Problem allocating memory for LPC.");
  int columns = p <= 30 ? 3 : (p + 9) / 10;
  int shown = block && predict(s, p, frame, block, &E) &&
              open_info_box((15 * columns + 2) * char_width, 16 * row_height) >= 0;
  if (shown)
    list_predictor(areas, p, block);
  free(block);
  free(frame);
  if (shown) {
    wait_key();
    close_info_box();
  }
}

static void formant()
{
  segment s;
  int p;
  if (!get_segment(" FORMANT:", &s))
    return;
  clear_prompt();
  if (!lpc_checks(s, &p))
    return;
  show_prompt("computing linear prediction coefficients ...");
  float *block = (float *)calloc(3 * (size_t)p + 3, sizeof(float));
  if (!block) {
    show_error("Problem allocating memory for LPC.");
    return;
  }
  int N = 2;
  while (N < s.n)
    N *= 2;
  float *frame = (float *)calloc((size_t)N + 2, sizeof(float));
  float E;
  if (!frame)
    show_error("Problem allocating memory for FFT.");
  if (!frame || !predict(s, p, frame, block, &E)) {
    free(frame);
    free(block);
    return;
  }
  // The inverse filter's spectrum, its highest coefficient left out, turned
  // into the predictor's power spectrum.
  memcpy(frame, block + p + 1, (size_t)p * sizeof(float));
  memset(frame + p, 0, (size_t)(N - p) * sizeof(float));
  fft_real(frame, N);
  for (int k = 0; k < N / 2; k++) {
    double P = (double)frame[2 * k] * frame[2 * k] + (double)frame[2 * k + 1] * frame[2 * k + 1];
    frame[k] = (float)(P > 0 ? E / P : E);
  }
  float freq[MAX_FORMANTS], bw[MAX_FORMANTS];
  int count = find_formants(frame, N / 2, windows[cur_win].adc_rate, freq, bw, MAX_FORMANTS);
  free(frame);
  free(block);
  clear_prompt();
  int columns = count < 20 ? 2 : (count + 9) / 10;
  if (open_info_box((20 * columns + 2) * char_width, 16 * row_height) < 0)
    return;
  info_text(15, 25, "Formant: frequency / bandwidth (Hz)");
  char line[48];
  for (int i = 1; i <= count; i++) {
    snprintf(line, sizeof line, "%4d%6.0f / %.0f", i, freq[i - 1], bw[i - 1]);
    list_line(i, 20, line);
  }
  wait_key();
  close_info_box();
}

// The analysis window of Moments at point i of n.
static double moment_weight(int i, int n)
{
  double theta = (i - (n - 1) / 2.0) * 6.2831853071796 / (n - 1);
  switch (moment_window) {
  case WINDOW_RECTANGULAR: return 1.0;
  case WINDOW_HAMMING: return 0.53836 + 0.46164 * std::cos(theta);
  default: return 0.42 + 0.5 * std::cos(theta) + 0.08 * std::cos(2 * theta);
  }
}

// A moment as printed, or "n/a" where it is undefined.
static const char *shown(char *buf, double v, int defined)
{
  if (defined && std::isfinite(v))
    snprintf(buf, 16, "%.3f", v);
  else
    snprintf(buf, 16, "n/a");
  return buf;
}

static void moments()
{
  segment s;
  if (!get_segment(" MOMENTS:", &s))
    return;
  clear_prompt();
  if (s.n <= 0 || !windows[cur_win].samples) {
    show_error("No points in segment.");
    return;
  }
  if (s.n > MAX_MOMENT_POINTS) {
    show_error("Too many points in segment.");
    return;
  }
  if (s.n < 2) {
    show_error("Too few points in segment.");
    return;
  }
  show_prompt("computing moments ...");
  int N = 2;
  while (N < s.n)
    N *= 2;
  float *frame = (float *)calloc((size_t)N, sizeof(float));
  int16_t *gathered = nullptr;
  const int16_t *v = frame ? channel_zero(&windows[cur_win], s.from, s.n, &gathered) : nullptr;
  if (!frame || !v) {
    free(frame);
    show_error("Problem allocating memory!");
    return;
  }
  // Stored values with the zero level in, or their first difference.
  for (int i = 0; i < s.n; i++) {
    int x = moment_emphasis ? (i ? v[i] - v[i - 1] : 0) : v[i];
    frame[i] = (float)(x * moment_weight(i, s.n));
  }
  free(gathered);
  fft_real(frame, N);
  double df = windows[cur_win].adc_rate * 0.001 / N, S0 = 0, mean = 0;
  for (int k = 0; k < N / 2; k++) {
    frame[k] = (float)((double)frame[2 * k] * frame[2 * k] + (double)frame[2 * k + 1] * frame[2 * k + 1]);
    S0 += frame[k];
    mean += frame[k] * (k * df);
  }
  mean /= S0;
  double var = 0, m3 = 0, m4 = 0;
  for (int k = 0; k < N / 2; k++) {
    double d = k * df - mean, d2 = d * d;
    var += frame[k] * d2;
    m3 += frame[k] * d2 * d;
    m4 += frame[k] * d2 * d2;
  }
  free(frame);
  var /= S0;
  double sd = std::sqrt(var);
  // Without energy nothing is defined; without spread, only the mean and sd.
  int energy = S0 > 0, spread = energy && var > 0;
  char a[16], b[16], c[16], d[16];
  message(" Moments:  mean=%s(kHz) sd=%s(kHz) n3m=%s n4m=%s", shown(a, mean, energy), shown(b, sd, energy),
          shown(c, m3 / S0 / (sd * var), spread), shown(d, m4 / S0 / (var * var) - 3, spread));
}

void calc_menu()
{
  static const char *const items[] = {"Area", "Duration", "Formant", "LPC", "Moments", "RMS", ""};
  switch (menu_select("CALCULATE", items)) {
  case 'A': lpc_list(1); break;
  case 'D': duration(); break;
  case 'F': formant(); break;
  case 'L': lpc_list(0); break;
  case 'M': moments(); break;
  case 'R': rms(); break;
  }
}
