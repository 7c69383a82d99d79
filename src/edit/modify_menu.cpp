// The Modify menu: arithmetic on the values of a stretch of the current
// window, in place and without changing its length; the conversion of the
// whole signal to another stored format; and adding the clip window in.
//
// Results are stored as the low 16 bits of their integer, as a 16-bit
// adder would leave them: nothing is clipped, and a result beyond
// -32768..32767 wraps round.  Compress alone stays within full scale.
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "files/files.h"
#include "screen/screen.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

// The stretch a command works on: frames a to b - 1, all their channels.
struct stretch {
  int a, b;       // first frame, and the frame behind the last
  int16_t *first; // value 0 of frame a
  int64_t n;      // (b - a) x channels values
};

static int16_t low16(int64_t v) { return (int16_t)(uint16_t)v; }

// The stretch between the positions of slots from and to, whichever comes
// first; 0 when either is not a position of the signal.
static int get_stretch(int from, int to, stretch *s)
{
  signal_window *sw = &windows[cur_win];
  int a = slot_position(cur_win, from), b = slot_position(cur_win, to);
  if (a < 0 || b < 0 || !sw->samples || sw->channels < 1)
    return 0;
  s->a = std::min(a, b);
  s->b = std::max(a, b);
  s->first = sw->samples + (int64_t)s->a * sw->channels;
  s->n = (int64_t)(s->b - s->a) * sw->channels;
  return 1;
}

// Largest answer a question takes: its truncation, and a value's distance
// times it, fit a 64-bit integer, so every result has well-defined low bits.
static const double ANSWER_LIMIT = 2147483648.0;

// Asks the question on a clear prompt line and reads the answer as a
// decimal number.  0 (the command ends) for no answer (an empty line, Esc,
// a left click), for text that starts with no number, and for a number
// that is not finite or beyond the 32-bit range.
static int ask_number(const char *question, double *x)
{
  char answer[LINE_LEN + 1];
  clear_prompt();
  prompt_input(question, answer, sizeof answer);
  char *end;
  double v = strtod(answer, &end);
  if (end == answer || !std::isfinite(v) || std::fabs(v) >= ANSWER_LIMIT)
    return 0;
  *x = v;
  return 1;
}

void offset_segment(int from, int to)
{
  stretch s;
  double x;
  if (!get_stretch(from, to, &s) || !ask_number("OFFSET: Enter the offset amount: ", &x) || x == 0)
    return;
  int64_t k = (int64_t)x; // toward zero: 2.9 adds 2, -2.9 adds -2
  for (int64_t i = 0; i < s.n; i++)
    s.first[i] = low16(s.first[i] + k);
}

void rescale_segment(int from, int to)
{
  stretch s;
  double f;
  if (!get_stretch(from, to, &s) || !ask_number("RESCALE: Enter the scale factor: ", &f) || f == 0)
    return;
  int z = windows[cur_win].zero_level;
  // Below 32767 times any distance plus the zero level, the result fits an
  // int, whose conversion the compiler turns into whole vectors of values.
  if (std::fabs(f) < 32767)
    for (int64_t i = 0; i < s.n; i++)
      s.first[i] = (int16_t)(int)((s.first[i] - z) * f + z);
  else
    for (int64_t i = 0; i < s.n; i++)
      s.first[i] = low16((int64_t)((s.first[i] - z) * f + z));
}

void reverse_segment(int from, int to)
{
  stretch s;
  if (!get_stretch(from, to, &s))
    return;
  // The values in storage order: with several channels, the order of the
  // channels inside each frame turns round too.
  std::reverse(s.first, s.first + s.n);
  // Slots are boundaries between samples: one inside the stretch mirrors
  // across it.  [Home] and [End] name the signal's ends, which stay.
  signal_window *sw = &windows[cur_win];
  for (int i = 0; i < NUM_MARKS; i++) {
    int p = sw->marks[i];
    if (i != MARK_HOME && i != MARK_END && p >= s.a && p < s.b)
      sw->marks[i] = s.a + s.b - p;
  }
  window_view *v = &window_views[cur_win];
  if (v->view_start != -1 && v->view_start > s.a)
    v->view_start = -1;
  if (v->view_end != -1 && v->view_end <= s.b)
    v->view_end = -1;
}

void remove_dc(int from, int to)
{
  stretch s;
  if (!get_stretch(from, to, &s) || s.n == 0)
    return;
  int z = windows[cur_win].zero_level;
  int64_t sum = 0; // one mean over every channel's values
  for (int64_t i = 0; i < s.n; i++)
    sum += s.first[i] - z;
  double mean = (double)sum / (double)s.n;
  int64_t m = (int64_t)(mean >= 0 ? mean + 0.5 : mean - 0.5);
  for (int64_t i = 0; i < s.n; i++)
    s.first[i] = low16(s.first[i] - m);
}

// The power law of Compress for one window's format.
struct compress_law {
  double e;        // exponent, 0 to 1
  double full;     // full scale, 2^(bits-1)
  int zero;        // zero level
  int top, bottom; // the format's full scale on either side of it
};

// The compressed distance of a value |d| from the zero level: |d| to the
// power e, scaled so that full scale maps onto itself.  Written as full x
// (|d| / full)^e, the same law as |d|^e x full^(1-e), so that full scale
// and the other exact results come out exact instead of one below.
static double compress_power(int distance, const compress_law *law)
{
  return law->full * std::pow(distance / law->full, law->e);
}

// Value v compressed, given the compressed distance p of its own distance.
// The result stays within the format's full scale, which an exponent of 0
// would pass by one and wrap round to the other sign; a value already
// beyond full scale moves no further out.
static int16_t compress_value(int v, double p, const compress_law *law)
{
  int d = v - law->zero;
  if (d == 0)
    return (int16_t)v;
  double r = d > 0 ? law->zero + p : law->zero - p;
  r = std::clamp(r, (double)std::min(law->bottom, v), (double)std::max(law->top, v));
  return (int16_t)r; // toward zero
}

void compress_segment(int from, int to)
{
  stretch s;
  double e;
  if (!get_stretch(from, to, &s) || !ask_number("COMPRESS: Enter the exponent: ", &e) || e < 0 || e > 1)
    return;
  const signal_window *sw = &windows[cur_win];
  // A window whose format was never set counts as 16-bit.
  int bits = sw->adc_bits >= 1 && sw->adc_bits <= 16 ? sw->adc_bits : 16;
  int half = 1 << (bits - 1), z = sw->zero_level;
  compress_law law = {e, (double)half, z, std::min(z + half - 1, 32767), std::max(z - half, -32768)};
  if (s.n < 65536) {
    for (int64_t i = 0; i < s.n; i++)
      s.first[i] = compress_value(s.first[i], compress_power(std::abs(s.first[i] - z), &law), &law);
    return;
  }
  // More values than there are 16-bit values: each distance from the zero
  // level is raised to the power once, for the values on either side of it,
  // and the stretch then takes one pass through the table.
  static int16_t table[65536]; // by value + 32768
  for (int m = 0, far = std::max(32767 - z, z + 32768); m <= far; m++) {
    double p = compress_power(m, &law);
    if (z + m <= 32767)
      table[z + m + 32768] = compress_value(z + m, p, &law);
    if (z - m >= -32768)
      table[z - m + 32768] = compress_value(z - m, p, &law);
  }
  for (int64_t i = 0; i < s.n; i++)
    s.first[i] = table[s.first[i] + 32768];
}

void invert_segment(int from, int to)
{
  stretch s;
  if (!get_stretch(from, to, &s))
    return;
  int z2 = 2 * windows[cur_win].zero_level;
  for (int64_t i = 0; i < s.n; i++)
    s.first[i] = low16(z2 - s.first[i]);
}

void center_clip(int from, int to)
{
  stretch s;
  double t;
  if (!get_stretch(from, to, &s) || !ask_number("CENTER-CLIP: Enter the clip threshold: ", &t) || t == 0)
    return;
  int z = windows[cur_win].zero_level;
  for (int64_t i = 0; i < s.n; i++) {
    int d = s.first[i] - z;
    if (-t < d && d < t)
      s.first[i] = (int16_t)z;
  }
}

void zero_segment(int from, int to)
{
  stretch s;
  if (!get_stretch(from, to, &s))
    return;
  std::fill(s.first, s.first + s.n, windows[cur_win].zero_level);
}

void change_bits()
{
  static const char *const items[] = {"A[16-bit,signed]", "B[12-bit,unsigned]", "C[8-bit,unsigned]", ""};
  int bits, zero;
  switch (menu_select("CHANGE BITS", items)) {
  case 'A': bits = 16; zero = 0; break;
  case 'B': bits = 12; zero = 2048; break;
  case 'C': bits = 8; zero = 128; break;
  default: clear_prompt(); return;
  }
  if (reformat_signal(cur_win, bits, zero, 0) && !scroll_mode)
    redraw_current();
  clear_prompt();
}

void add_clip(int clip)
{
  if (clip < 0 || clip >= NUM_WINDOWS || clip == cur_win)
    return;
  const signal_window *cw = &windows[clip];
  int64_t clip_n = (int64_t)cw->num_samples * cw->channels;
  if (clip_n <= 0 || !cw->samples)
    return;
  show_prompt(" ADD clip: at mark?");
  int slot = read_mark_key(0);
  clear_prompt();
  signal_window *sw = &windows[cur_win];
  int p = slot_position(cur_win, slot);
  if (p < 0 || !sw->samples || sw->channels < 1)
    return;
  // Value by value in storage order, whatever either window's channels.
  int64_t count = std::min(clip_n, (int64_t)(sw->num_samples - p) * sw->channels);
  int16_t *at = sw->samples + (int64_t)p * sw->channels;
  for (int64_t i = 0; i < count; i++)
    at[i] = low16(at[i] + (cw->samples[i] - cw->zero_level));
}

// Runs the stretch command of menu key `key` on the answered segment.
static void modify_stretch(int key)
{
  switch (key) {
  case 'C': compress_segment(seg_from, seg_to); break;
  case 'D': remove_dc(seg_from, seg_to); break;
  case 'I': invert_segment(seg_from, seg_to); break;
  case 'O': offset_segment(seg_from, seg_to); break;
  case 'R': reverse_segment(seg_from, seg_to); break;
  case 'S': rescale_segment(seg_from, seg_to); break;
  case 'T': center_clip(seg_from, seg_to); break;
  case 'Z': zero_segment(seg_from, seg_to); break;
  }
}

static const char *stretch_title(int key)
{
  switch (key) {
  case 'C': return " COMPRESS:";
  case 'D': return " REMOVE DC COMPONENT:";
  case 'I': return " INVERT:";
  case 'O': return " OFFSET:";
  case 'R': return " REVERSE:";
  case 'S': return " RESCALE:";
  case 'T': return " CENTER-CLIP:";
  case 'Z': return " ZERO:";
  default: return nullptr;
  }
}

void modify_menu()
{
  static const char *const items[] = {
    "Bits", "Compr", "Invert", "Ofst", "rmDC", "Scale", "cnTrclp", "Zero", "Reverse", "Add", "",
  };
  int key = menu_select("MODIFY", items);
  if (key == 'A') {
    add_clip(clip_win);
    redraw_current();
    clear_prompt();
    return;
  }
  if (key == 'B') {
    change_bits();
    return;
  }
  const char *title = stretch_title(key);
  if (!title)
    return;
  if (ask_segment(title)) {
    order_segment();
    bool go = true;
    if (key == 'Z' && seg_from == MARK_HOME && seg_to == MARK_END) {
      show_prompt(" ZERO entire signal.  Are you sure? (Y/N) ");
      go = ask_yes();
      clear_prompt();
    }
    if (go) {
      modify_stretch(key);
      redraw_current();
    }
  }
  clear_prompt();
}
