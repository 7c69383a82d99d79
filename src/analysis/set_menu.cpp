// The Set menu: the rates of the current window and the program's default
// rate, the length of a recording, and the window and emphasis of the
// frequency moments and of linear prediction.
#include "analysis/analysis.h"
#include "core/state.h"
#include "display/display.h"
#include "dsp/dsp.h"
#include "screen/screen.h"
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

static const char *const window_names[] = {"Rectangular", "Hamming", "Blackman"};
static const char *const window_items[] = {"Rectangular", "Hamming", "Blackman", ""};
static const char *const yes_no_items[] = {"Yes", "No", ""};

static const char *window_name(int type)
{
  return type >= 0 && type <= 2 ? window_names[type] : "????";
}

static const char *emphasis_name(int on) { return on ? "6 dB/oct" : "no"; }

// Answers typed at the prompt line: a finite decimal number (leading blanks
// and trailing text allowed), or its whole part when that lies from lo to
// hi.  1 when *value was set; an empty answer sets nothing.
static int read_decimal(const char *text, double *value)
{
  char *end;
  double v = strtod(text, &end);
  if (end == text || !std::isfinite(v))
    return 0;
  *value = v;
  return 1;
}

static int read_whole(const char *text, int lo, int hi, int *value)
{
  double v;
  if (!read_decimal(text, &v) || !(std::trunc(v) >= lo && std::trunc(v) <= hi))
    return 0;
  *value = (int)std::trunc(v);
  return 1;
}

// Length of a recording in seconds at the current window's rate, or at the
// default rate when the window has none.
static double record_seconds()
{
  int r = windows[cur_win].adc_rate;
  if (r > 0)
    return (double)record_len / r;
  return default_rate > 0 ? (double)record_len / default_rate : 0.0;
}

// Frames for x seconds at rate r: the product is formed in double and
// brought within 0..MAX_FRAMES before it becomes an integer.
static int record_frames(double x, int r)
{
  double f = std::trunc(x * r);
  if (!(f > 0))
    return 0;
  return f > (double)MAX_FRAMES ? MAX_FRAMES : (int)f;
}

// Asks with one number shown in the prompt; 1 with a whole number from lo
// to hi in *value, 0 (the value kept) for anything else.
static int ask_whole(const char *format, long shown, int lo, int *value)
{
  char prompt[LINE_LEN], answer[LINE_LEN + 1];
  snprintf(prompt, sizeof prompt, format, shown);
  prompt_input(prompt, answer, sizeof answer);
  return read_whole(answer, lo, INT_MAX, value);
}

static void set_rate()
{
  static const char *const items[] = {"ADC", "DAC", "deFault", ""};
  signal_window *sw = &windows[cur_win];
  int old_rate = sw->adc_rate;
  double t = record_seconds();
  int v;
  switch (menu_select("SET RATE", items)) {
  case 'A':
    if (ask_whole("SET: ADC sample rate = (%ld/s)  ", sw->adc_rate, 1, &v))
      sw->adc_rate = v;
    break;
  case 'D':
    if (ask_whole("SET: DAC sample rate = (%ld/s)  ", sw->dac_rate, 1, &v))
      sw->dac_rate = v;
    break;
  case 'F':
    if (ask_whole("SET: default sample rate = (%ld/s)  ", default_rate, 1, &v))
      default_rate = sw->adc_rate = sw->dac_rate = v;
    break;
  }
  if (sw->adc_rate == old_rate)
    return;
  // The recording keeps its length in seconds, and the title and readouts
  // of the window change with its rate.
  record_len = record_frames(t, sw->adc_rate);
  redraw_current();
}

static void set_time()
{
  char prompt[LINE_LEN], answer[LINE_LEN + 1];
  double t = record_seconds(), v;
  snprintf(prompt, sizeof prompt, "SET RECORD TIME = (%.3f s)  ", t);
  prompt_input(prompt, answer, sizeof answer);
  if (!read_decimal(answer, &v) || v <= 0 || v == t)
    return;
  record_len = record_frames(v, windows[cur_win].adc_rate);
}

// A window type from the menu, or the one given when the answer is none.
static int ask_window(const char *title, int type)
{
  switch (menu_select(title, window_items)) {
  case 'R': return WINDOW_RECTANGULAR;
  case 'H': return WINDOW_HAMMING;
  case 'B': return WINDOW_BLACKMAN;
  default: return type;
  }
}

static int ask_emphasis(int on)
{
  switch (menu_select("HIGH-FREQUENCY EMPHASIS", yes_no_items)) {
  case 'Y': return 1;
  case 'N': return 0;
  default: return on;
  }
}

static void set_moment()
{
  char line[LINE_LEN];
  moment_window = ask_window("FREQUENCY MOMENT WINDOW TYPE", moment_window);
  moment_emphasis = ask_emphasis(moment_emphasis);
  snprintf(line, sizeof line, " Frequency moments have %s window & %s high-freq. emphasis.",
           window_name(moment_window), emphasis_name(moment_emphasis));
  show_error(line);
}

int predictor_order(int rate) { return lpc_order > 0 ? lpc_order : rate / 1000 + 2; }

static void set_lpc()
{
  char line[LINE_LEN], answer[LINE_LEN + 1];
  lpc_order = predictor_order(windows[cur_win].adc_rate);
  snprintf(line, sizeof line, "LINEAR PREDICTION:  Number of coefficients? (1-%d) [%d] ", MAX_LPC_ORDER,
           lpc_order);
  prompt_input(line, answer, sizeof answer);
  // No upper bound here: the commands refuse an order they cannot use.
  read_whole(answer, 1, INT_MAX, &lpc_order);
  lpc_window = ask_window("WINDOW TYPE", lpc_window);
  lpc_emphasis = ask_emphasis(lpc_emphasis);
  snprintf(line, sizeof line, " Lin. pred. has %d coef., %s window, & %s h.f.emph.", lpc_order,
           window_name(lpc_window), emphasis_name(lpc_emphasis));
  show_error(line);
}

void set_menu()
{
  static const char *const items[] = {"Device", "Rate", "Time", "Moment", "LPC", ""};
  switch (menu_select("SET", items)) {
  case 'D': not_implemented(); break;
  case 'R': set_rate(); break;
  case 'T': set_time(); break;
  case 'M': set_moment(); break;
  case 'L': set_lpc(); break;
  }
}
