// The Edit menu and the clip window: copy, cut, delete, paste and replace
// stretches of a signal through window 0, insert silence, set one sample
// value, and pad a signal to whole 256-frame blocks.
//
// Every change of length moves the current window's slots, cursor and
// shown range with it, so that marks stay on the samples they marked.
// [Home] is the start of the signal and stays at 0 whatever is inserted or
// removed there; [End] is put on the new end.
//
// A slot may hold a position that is neither unset nor inside the signal
// (an ILS file restores all 32 slots as stored, and slots 28 to 31 survive
// a reset): such a position is never used as an edit point, and slots
// holding one are left alone by the edits.
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "files/files.h"
#include "screen/screen.h"
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

enum { BLOCK_FRAMES = 256 }; // eXtend pads to a whole number of these

static int channel_count(const signal_window *sw) { return std::clamp((int)sw->channels, 1, (int)MAX_CHANNELS); }

static void fill_frames(int w, int from, int frames, int16_t value)
{
  signal_window *sw = &windows[w];
  int c = channel_count(sw);
  int16_t *first = sw->samples + (size_t)from * c;
  size_t n = (size_t)frames * c;
  // Signed silence is 0, whose bytes are alike: the library's memset
  // writes that wider than a loop of 16-bit stores.
  if ((value & 0xFF) == ((value >> 8) & 0xFF))
    memset(first, value & 0xFF, n * sizeof *first);
  else
    std::fill_n(first, n, value);
}

static void fill_guard(int w) { fill_frames(w, windows[w].num_samples, 1, windows[w].zero_level); }

// ---- Length-changing operations ------------------------------------------------

int copy_segment(int d, int from, int to)
{
  if (d == cur_win || d < 0 || d >= NUM_WINDOWS)
    return 0;
  const signal_window *src = &windows[cur_win];
  int a = slot_position(cur_win, from), b = slot_position(cur_win, to);
  if (a < 0 || b < 0)
    return 0;
  int count = b - a;
  int c = channel_count(src);
  if (!alloc_samples(d, count, c))
    return 0;
  signal_window *dst = &windows[d];
  std::copy_n(src->samples + (size_t)a * c, (size_t)count * c, dst->samples);
  dst->num_samples = count;
  dst->created = (int32_t)time(nullptr);
  dst->channels = src->channels;
  dst->adc_bits = src->adc_bits;
  dst->zero_level = src->zero_level;
  dst->kind = src->kind;
  dst->adc_rate = src->adc_rate;
  dst->dac_rate = src->dac_rate;
  dst->path[0] = 0; // made here, not read from a file
  dst->raw_load = 0;
  fill_guard(d);
  snprintf(dst->name, sizeof dst->name, "[copy of w%d(%ld:%ld)]", cur_win, (long)a, (long)b);
  reset_marks(d);
  window_views[d].view_start = 0;
  window_views[d].view_end = count;
  return 1;
}

// Makes room for n frames in front of position `at` of the current window
// and moves slots, cursor and shown range behind the gap; the caller fills
// it.  The cursor moves when it lies behind `at`, or on it too when
// cursor_on_at.  0 when the storage is refused.
static int open_gap(int at, int n, int cursor_on_at)
{
  signal_window *sw = &windows[cur_win];
  window_view *v = &window_views[cur_win];
  int old = sw->num_samples, c = channel_count(sw);
  if (at < 0 || at > old || n < 1 || (long long)old + n > MAX_FRAMES || !alloc_samples(cur_win, old + n, c))
    return 0;
  std::copy_backward(sw->samples + (size_t)at * c, sw->samples + (size_t)old * c,
                     sw->samples + (size_t)(old + n) * c);
  sw->num_samples = old + n;
  for (int i = 0; i < NUM_MARKS; i++) {
    int p = sw->marks[i];
    if (i != MARK_HOME && p >= at && p <= old)
      sw->marks[i] = p + n;
  }
  sw->marks[MARK_END] = sw->num_samples;
  if (cursor > at || (cursor_on_at && cursor == at))
    cursor = (int)std::min<long long>((long long)cursor + n, sw->num_samples);
  if (v->view_start != -1 && v->view_start == at)
    v->view_start = at - n; // drawing takes a start before 0 as 0
  if (v->view_end != -1 && v->view_end >= at)
    v->view_end = (int)std::min<long long>((long long)v->view_end + n, sw->num_samples);
  fill_guard(cur_win);
  return 1;
}

// Where a paste in front of slot `before` goes in the current window, or -1
// when it cannot: an empty window takes the clip at 0.
static int paste_point(int s, int before)
{
  const signal_window *sw = &windows[cur_win];
  const signal_window *clip = &windows[s];
  if (s == cur_win || s < 0 || s >= NUM_WINDOWS || before < 0 || before >= NUM_MARKS)
    return -1;
  if (sw->channels != clip->channels || clip->num_samples < 1 || !clip->samples)
    return -1;
  if ((long long)sw->num_samples + clip->num_samples > MAX_FRAMES)
    return -1;
  return sw->num_samples == 0 ? 0 : slot_position(cur_win, before);
}

int paste_segment(int s, int letter, int before)
{
  int at = paste_point(s, before);
  if (at < 0)
    return 0;
  const signal_window *clip = &windows[s];
  int n = clip->num_samples, c = channel_count(&windows[cur_win]);
  if (!open_gap(at, n, 0))
    return 0;
  std::copy_n(clip->samples, (size_t)n * c, windows[cur_win].samples + (size_t)at * c);
  if (letter >= 0 && letter < NUM_MARKS)
    windows[cur_win].marks[letter] = at;
  return 1;
}

void delete_segment(int w, int from, int to)
{
  signal_window *sw = &windows[w];
  window_view *v = &window_views[w];
  int a = slot_position(w, from), b = slot_position(w, to);
  if (a < 0 || b <= a)
    return;
  int old = sw->num_samples, c = channel_count(sw), gone = b - a;
  std::copy(sw->samples + (size_t)b * c, sw->samples + (size_t)old * c, sw->samples + (size_t)a * c);
  for (int i = 0; i < NUM_MARKS; i++) {
    int p = sw->marks[i];
    if (i == MARK_HOME || p < a || p > old)
      continue;
    sw->marks[i] = p < b ? -1 : p - gone;
  }
  sw->num_samples = old - gone;
  sw->marks[MARK_END] = sw->num_samples;
  if (w == cur_win && cursor > a)
    cursor = cursor > b ? std::min(cursor - gone, sw->num_samples) : a;
  fill_guard(w);
  alloc_samples(w, sw->num_samples, c); // shrinks in place; 0 frames keeps the block
  int32_t *ends[2] = {&v->view_start, &v->view_end};
  for (int32_t *e : ends)
    if (*e != -1 && *e >= a)
      *e = *e < b ? -1 : *e - gone;
}

int insert_zero_frames(int at, int n)
{
  if (!open_gap(at, n, 1))
    return 0;
  fill_frames(cur_win, at, n, windows[cur_win].zero_level);
  return 1;
}

int pad_to_blocks()
{
  signal_window *sw = &windows[cur_win];
  int r = sw->num_samples % BLOCK_FRAMES;
  if (r == 0)
    return 0;
  int pad = BLOCK_FRAMES - r;
  if (!alloc_samples(cur_win, sw->num_samples + pad, channel_count(sw)))
    return -1;
  fill_frames(cur_win, sw->num_samples, pad, sw->zero_level);
  sw->num_samples += pad;
  sw->marks[MARK_END] = sw->num_samples;
  fill_guard(cur_win);
  if (window_views[cur_win].view_end != -1)
    window_views[cur_win].view_end += pad;
  return pad;
}

// ---- Answers typed at the prompt -------------------------------------------------

enum { ANSWER_EMPTY = -1, ANSWER_BAD = 0, ANSWER_NUMBER = 1 };

// Reads a typed number.  A usable answer starts with a finite number whose
// magnitude fits a 32-bit count: "inf", "nan", "1e30" or words are no
// answer, and nothing converts them further.
static int read_number(const char *text, double *value)
{
  while (isspace((unsigned char)*text))
    text++;
  if (!*text)
    return ANSWER_EMPTY;
  // The leading number counts ("10ms" is 10), as in the Modify menu.
  char *end;
  double v = strtod(text, &end);
  if (end == text || !std::isfinite(v) || std::fabs(v) > 2147483647.0)
    return ANSWER_BAD;
  *value = v;
  return ANSWER_NUMBER;
}

static int ask_number(const char *question, double *value)
{
  char answer[LINE_LEN + 1];
  prompt_input(question, answer, sizeof answer);
  return read_number(answer, value);
}

// ---- The commands ------------------------------------------------------------------

// Copy and Cut: the chosen stretch into the clip window.  An empty or
// unusable stretch leaves the clip window as it was.  1 when copied.
static int copy_to_clip(const char *title)
{
  if (!ask_segment(title)) {
    clear_prompt();
    return 0;
  }
  dest_win = clip_win;
  if (dest_win == cur_win) {
    clear_prompt();
    return 0;
  }
  order_segment();
  int a = slot_position(cur_win, seg_from), b = slot_position(cur_win, seg_to);
  if (a < 0 || b <= a) {
    clear_prompt();
    return 0;
  }
  clear_window(dest_win);
  copy_rates(dest_win, cur_win);
  return copy_segment(dest_win, seg_from, seg_to);
}

static void copy_command()
{
  if (copy_to_clip(" COPY:"))
    draw_window(dest_win);
  clear_prompt();
}

static void cut_command()
{
  if (windows[cur_win].num_samples < 1)
    return;
  if (copy_to_clip(" CUT:")) {
    delete_segment(cur_win, seg_from, seg_to);
    redraw_current();
    draw_window(dest_win);
  }
  clear_prompt();
}

static void delete_command()
{
  if (windows[cur_win].num_samples < 1)
    return;
  if (ask_segment(" DELETE:")) {
    order_segment();
    if (seg_from == MARK_HOME && seg_to == MARK_END)
      clear_window(cur_win);
    else
      delete_segment(cur_win, seg_from, seg_to);
    redraw_current();
  }
  clear_prompt();
}

static void paste_command()
{
  signal_window *sw = &windows[cur_win];
  signal_window *clip = &windows[clip_win];
  if (sw->num_samples > 0) {
    show_prompt(" PASTE: in front of mark");
    seg_from = first_free_mark();
    seg_to = read_mark_key(0);
  } else {
    seg_from = MARK_HOME;
    seg_to = MARK_END;
    if (cur_win != clip_win) {
      // The old block was laid out for the old channel count: let it go
      // before the clip's count is taken, so nothing reads it as the new.
      alloc_samples(cur_win, 1, 0);
      sw->adc_bits = clip->adc_bits;
      sw->zero_level = clip->zero_level;
      sw->channels = clip->channels;
    }
  }
  dest_win = clip_win;
  // Everything that would refuse the paste is checked before the format
  // question, so the clip is never converted for nothing.
  if (seg_to != -1 && paste_point(clip_win, seg_to) >= 0) {
    if (sw->adc_bits <= 0) {
      sw->adc_bits = clip->adc_bits;
      sw->zero_level = clip->zero_level;
    } else if (sw->adc_bits != clip->adc_bits || sw->zero_level != clip->zero_level) {
      if (reformat_signal(clip_win, sw->adc_bits, sw->zero_level, 1))
        draw_window(clip_win);
    }
    paste_segment(clip_win, seg_from, seg_to);
    redraw_current();
  }
  clear_prompt();
}

static void replace_command()
{
  if (windows[clip_win].num_samples == 0) {
    show_error(" No signal in clip window. ");
    return;
  }
  if (clip_win == cur_win)
    return;
  if (windows[cur_win].num_samples > 0) {
    clear_window(cur_win);
    copy_rates(cur_win, clip_win);
  }
  paste_command();
}

// An empty window becomes a fresh 16-bit mono signal for its silence.
static void start_fresh_signal()
{
  signal_window *sw = &windows[cur_win];
  if (sw->adc_rate <= 0)
    sw->adc_rate = default_rate;
  sw->channels = 1;
  sw->adc_bits = 16;
  sw->zero_level = 0;
  sw->created = (int32_t)time(nullptr);
  sw->dac_rate = sw->adc_rate;
  cursor = 0;
  sw->marks[MARK_CURSOR] = 0;
  reset_marks(cur_win);
}

void insert_silence()
{
  signal_window *sw = &windows[cur_win];
  int slot = MARK_END, at = 0;
  char question[LINE_LEN];
  if (sw->num_samples > 0) {
    show_prompt(" INSERT SILENCE: in front of mark");
    slot = read_mark_key(0);
    clear_prompt();
    at = slot_position(cur_win, slot);
    if (at < 0)
      return;
    snprintf(question, sizeof question, "DURATION of silence at mark %s (ms) = ", mark_name(slot));
  } else {
    start_fresh_signal();
    snprintf(question, sizeof question, "DURATION of silence (ms) = ");
  }
  double ms;
  if (ask_number(question, &ms) != ANSWER_NUMBER || ms <= 0)
    return;
  // The frame count is weighed against the room as a real number, so that
  // no duration is too large to convert.
  double frames = sw->adc_rate * ms * 0.001 + 0.5;
  double room = MAX_FRAMES - sw->num_samples;
  if (frames >= room + 1 || frames <= -1) {
    show_error(" Not enough room in signal buffer. ");
    return;
  }
  int n = (int)frames;
  if (n == 0)
    return;
  if (!insert_zero_frames(at, n)) {
    show_error(" Can't expand the signal buffer. ");
    return;
  }
  redraw_current();
}

void extend_signal()
{
  int pad = pad_to_blocks();
  if (pad < 0)
    show_error(" Can't expand the signal buffer. ");
  if (pad <= 0)
    return;
  redraw_current();
  show_signal_info(cur_win);
}

void edit_value()
{
  signal_window *sw = &windows[cur_win];
  if (sw->num_samples < 1)
    return;
  char question[LINE_LEN];
  double v;
  int frame = cursor;
  snprintf(question, sizeof question, " Sample number [%ld] ?  ", (long)cursor);
  switch (ask_number(question, &v)) {
  case ANSWER_BAD: return;
  case ANSWER_NUMBER: frame = (int)v; break;
  }
  // A frame outside the signal is refused before anything is read or set.
  if (frame < 0 || frame >= sw->num_samples)
    return;
  int16_t *first = sw->samples + (size_t)frame * channel_count(sw);
  snprintf(question, sizeof question, " Sample value [%d] ?  ", *first);
  int answer = ask_number(question, &v);
  if (answer == ANSWER_BAD)
    return;
  if (answer == ANSWER_NUMBER)
    *first = (int16_t)(uint16_t)((long long)v & 0xFFFF); // the low 16 bits, as typed
  goto_position(frame);
  redraw_current();
  clear_prompt();
}

void edit_menu()
{
  static const char *const items[] = {
    "cuT", "Copy", "Delete", "Paste", "Replace", "Silence", "Mark", "Value", "eXtend", "",
  };
  switch (menu_select("EDIT", items)) {
  case 'B':
    reset_marks(cur_win);
    redraw_current();
    break;
  case 'C': copy_command(); break;
  case 'D': delete_command(); break;
  case 'M': mark_menu(); break;
  case 'P': paste_command(); break;
  case 'R': replace_command(); break;
  case 'S': insert_silence(); break;
  case 'T': cut_command(); break;
  case 'V': edit_value(); break;
  case 'X': extend_signal(); break;
  }
}
