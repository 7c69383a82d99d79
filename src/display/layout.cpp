// Window bands: layout, frames, titles, waveforms, marks and the cursor of
// the current window, window selection and cursor moves.
#include "core/state.h"
#include "display/display.h"
#include "screen/screen.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

int plot_x0, plot_width, plot_span = 1;
int cursor_y, cursor_h;
int mark_x[NUM_LETTERS];
int half_span;
int time_decimals;
const char *time_unit = "ms";
float time_per_sample;

static int graph_area() { return graph_bottom - row_height; }

static int clamp_pos(long long p, int n) { return (int)std::clamp<long long>(p, 0, n); }

void layout_window(int w)
{
  window_view *v = &window_views[w];
  num_vis = last_vis - first_vis + 1;
  int area = graph_area();
  int h = area / std::max(num_vis, 1);
  int band = h < row_height ? row_height : std::min(h, area / 2);
  if (maximized) {
    v->top = 0;
    v->bottom = (int16_t)(area - 1);
  } else {
    v->top = (int16_t)((w - first_vis) * band);
    v->bottom = (int16_t)(v->top + band - 1);
  }
  int n = windows[w].num_samples;
  if (v->view_start == -1) v->view_start = 0;
  if (v->view_end == -1) v->view_end = n;
  v->view_start = clamp_pos(v->view_start, n);
  v->view_end = clamp_pos(v->view_end, n);
  if (v->view_end < v->view_start)
    v->view_start = v->view_end;
}

// Decimal order of the whole duration in microseconds.
static int duration_exp(const signal_window *sw)
{
  int rate = sw->adc_rate >= 1 ? sw->adc_rate : default_rate;
  return (int)log10((double)sw->num_samples * 1000000.0 / rate);
}

static void prepare_window(int w)
{
  signal_window *sw = &windows[w];
  window_view *v = &window_views[w];
  if (sw->num_samples <= 0)
    return;
  sw->marks[MARK_HOME] = 0;
  sw->marks[MARK_END] = sw->num_samples;
  shown_start = v->view_start;
  shown_end = v->view_end;
  if (cursor < shown_start || cursor > shown_end)
    cursor = (shown_start + shown_end) / 2;
  if (sw->adc_rate < 1)
    sw->adc_rate = default_rate;
  half_span = std::min(scr_width, sw->num_samples) / 2;
  if (sw->num_samples < scr_width)
    range_box_on = 0;
  hide_range_box();
  hide_time_cursor();
  cursor_y = v->top + 2 + row_height;
  cursor_h = v->bottom - cursor_y - 2;
  set_time_scale(w);
}

void set_time_scale(int w)
{
  signal_window *sw = &windows[w];
  if (sw->num_samples <= 0 || sw->adc_rate < 1)
    return;
  sw->time_exp = (int16_t)duration_exp(sw);
  if (sw->time_exp < 6) {
    time_decimals = 7 - sw->time_exp;
    time_unit = "ms";
    time_per_sample = 1000.0f / sw->adc_rate;
  } else {
    time_decimals = 10 - sw->time_exp;
    time_unit = "s ";
    time_per_sample = 1.0f / sw->adc_rate;
  }
}

static void draw_window_frame(int w, int color)
{
  const window_view *v = &window_views[w];
  draw_frame(v->left + 1, v->top + 1, v->right - 1, v->top + row_height + 1, color);
  draw_frame(v->left + 1, v->top + row_height + 2, v->right - 1, v->bottom - 1, color);
  draw_frame(v->left, v->top, v->right, v->bottom, color);
  // Clear what a longer layout left below the last window.
  int clear_to = graph_bottom - row_height - 1;
  if (w == last_vis && v->bottom < clear_to)
    fill_rect(v->left, v->bottom + 1, v->right, clear_to, back_color);
}

void title_right_text(int w, char *text, int size)
{
  signal_window *sw = &windows[w];
  const window_view *v = &window_views[w];
  if (sw->num_samples == 0) {
    snprintf(text, size, "No signal");
  } else if (sw->kind == 1) {
    double bw = sw->adc_rate * 0.001 / (2.0 * sw->num_samples) * (v->view_end - v->view_start);
    snprintf(text, size, "Bandwidth = %6.*f %s  ", 3, bw, "kHz");
  } else {
    sw->time_exp = (int16_t)duration_exp(sw);
    int rate = sw->adc_rate >= 1 ? sw->adc_rate : default_rate;
    int span = v->view_end - v->view_start;
    if (sw->time_exp < 6)
      snprintf(text, size, "Duration = %6.*f %s  ", 7 - sw->time_exp, span * 1000.0 / rate, "ms");
    else
      snprintf(text, size, "Duration = %6.*f %s  ", 10 - sw->time_exp, (double)span / rate, "s ");
  }
}

static void draw_title(int w)
{
  signal_window *sw = &windows[w];
  const window_view *v = &window_views[w];
  fill_rect(v->left + 2, v->top + 2, v->right - 2, v->top + row_height, title_bg);
  char text[2 * LINE_LEN];
  snprintf(text, sizeof text, "%c %d : %.*s ", w == cur_win ? '>' : ' ', w, NAME_LEN, sw->name);
  int baseline = v->top + 2 + char_ascent;
  set_text_colors(title_fg, title_bg);
  draw_text(v->left + 2, baseline, text);

  title_right_text(w, text, sizeof text);
  set_text_colors(title_hi_fg, title_hi_bg);
  draw_text(v->right - ((int)strlen(text) + 1) * char_width, baseline, text);
}

static void draw_waveform(int w)
{
  signal_window *sw = &windows[w];
  const window_view *v = &window_views[w];
  int left = v->left + 2, top = v->top + row_height + 2, right = v->right - 2, bottom = v->bottom - 2;
  int c = std::clamp<int>(sw->channels, 1, MAX_CHANNELS);
  int n = v->view_end - v->view_start;
  int levels = sw->adc_bits >= 1 && sw->adc_bits <= 16 ? 1 << sw->adc_bits : 0;
  int inner = (v->bottom - 1) - (v->top + row_height + 1) - 4;
  int h = window_views[w].split_channels ? inner / c : inner;
  int step = window_views[w].split_channels ? h : 0;
  int yc = h / 2 + v->top + row_height + 3;
  int x0 = v->left + 3, width = v->right - v->left - 6;
  if (sw->num_samples == 0 || !sw->samples || n <= 0) {
    fill_rect(left, top, right, bottom, plot_color);
    return;
  }
  sw->marks[MARK_HOME] = 0;
  sw->marks[MARK_END] = sw->num_samples;
  if (c == 1 && levels >= 2 && width >= 1 && h >= 2 && (long long)n >= 2LL * width) {
    // One trace of strokes paints its own rectangle, background included:
    // only the band around it is filled first.
    int y0 = yc - h / 2, y1 = yc + h / 2;
    fill_rect(left, top, right, y0 - 1, plot_color);
    fill_rect(left, y1 + 1, right, bottom, plot_color);
    fill_rect(left, y0, x0 - 1, y1, plot_color);
    fill_rect(x0 + width, y0, right, y1, plot_color);
    plot_trace(sw->samples + v->view_start, n, 1, width, h, x0, yc, levels, sw->zero_level, wave_color, plot_color);
    return;
  }
  fill_rect(left, top, right, bottom, plot_color);
  for (int k = 0; k < c; k++) {
    plot_trace(sw->samples + (long long)v->view_start * c + k, n, c, width, h, x0, yc, levels, sw->zero_level,
               wave_color - k);
    yc += step;
  }
}

int sample_x(int p)
{
  return (int)((long long)(p - shown_start) * plot_width / plot_span) + plot_x0;
}

static int mark_y(int w) { return window_views[w].bottom - row_height - 4; }

static void draw_marks_and_cursor(int w)
{
  signal_window *sw = &windows[w];
  const window_view *v = &window_views[w];
  if (sw->num_samples == 0) {
    clear_status();
    return;
  }
  plot_x0 = v->left + 3;
  plot_width = v->right - v->left - 6;
  plot_span = shown_end - shown_start > 0 ? shown_end - shown_start : 1;
  draw_range_box(w);
  for (int i = 0; i < NUM_LETTERS; i++) {
    int &m = sw->marks[i];
    if (m < 0 || m > sw->num_samples)
      m = -1;
    if (m == -1)
      continue;
    mark_x[i] = sample_x(m);
    draw_mark(mark_x[i], mark_y(w), i);
  }
  window_views[w].saved_cursor = cursor;
  set_cursor_shape(cursor_h, cursor_color);
  show_time_cursor(sample_x(cursor), cursor_y);
  show_readout();
}

void draw_window(int w)
{
  layout_window(w);
  const window_view *v = &window_views[w];
  if (v->top < 0 || v->bottom >= graph_area())
    return;
  if (w == cur_win) {
    prepare_window(w);
    draw_window_frame(w, active_frame_color);
    draw_title(w);
    draw_waveform(w);
    draw_marks_and_cursor(w);
  } else if (!maximized) {
    draw_window_frame(w, frame_color);
    draw_title(w);
    draw_waveform(w);
  }
  poll_key();
}

int load_trace_width(int w)
{
  if (scroll_mode)
    return 0;
  layout_window(w);
  const window_view *v = &window_views[w];
  if (v->top < 0 || v->bottom >= graph_area())
    return 0;
  return v->right - v->left - 6;
}

void redraw_current()
{
  if (scroll_mode)
    redraw_scroll();
  else
    draw_window(cur_win);
}

void redraw_all()
{
  redraw_current();
  for (int w = first_vis; w <= last_vis; w++)
    if (w != cur_win)
      draw_window(w);
}

void redraw_screen()
{
  prepare_surface();
  prompt_cache[0] = 0;
  status_cache[0] = 0;
  redraw_all();
}

void make_current(int w)
{
  if (w < 0 || w >= NUM_WINDOWS || w == cur_win)
    return;
  window_views[cur_win].saved_cursor = cursor;
  cur_win = w;
  cursor = window_views[w].saved_cursor;
}

void select_window(int w)
{
  if (w < 0 || w >= NUM_WINDOWS || w == cur_win)
    return;
  int old = cur_win;
  hide_range_box();
  hide_time_cursor();
  for (int i = 0; i < NUM_LETTERS; i++)
    if (windows[old].marks[i] != -1)
      draw_mark(mark_x[i], mark_y(old), i);
  make_current(w);
  if (!maximized) {
    layout_window(old);
    const window_view *ov = &window_views[old];
    if (ov->top >= 0 && ov->bottom < graph_area()) {
      // The title loses its ">", an empty window's too: two windows must
      // never both look current.
      draw_window_frame(old, frame_color);
      draw_title(old);
    }
  }
  layout_window(w);
  prepare_window(w);
  draw_window_frame(w, active_frame_color);
  draw_title(w);
  if (maximized || windows[w].num_samples == 0)
    draw_waveform(w);
  draw_marks_and_cursor(w);
}

void goto_position(int p)
{
  int n = windows[cur_win].num_samples;
  window_view *v = &window_views[cur_win];
  cursor = clamp_pos(p, n);
  int span = v->view_end - v->view_start;
  int start = v->view_start, end = v->view_end;
  if (p < start) {
    start = clamp_pos((long long)p - span / 2, n);
    end = clamp_pos((long long)start + span, n);
  }
  if (p > end) {
    end = clamp_pos((long long)p + span / 2, n);
    start = clamp_pos((long long)end - span, n);
  }
  if (start == v->view_start && end == v->view_end) {
    draw_cursor();
  } else {
    v->view_start = start;
    v->view_end = end;
    redraw_current();
  }
  shown_start = start;
  shown_end = end;
}

void draw_range_box(int w)
{
  if (!range_box_on) {
    hide_range_box();
    return;
  }
  int n = windows[w].num_samples;
  if (n < scr_width)
    return;
  const window_view *v = &window_views[w];
  int s = std::clamp(cursor - half_span, 0, n - scr_width);
  int x1 = sample_x(s) - 1;
  int x2 = sample_x(s + scr_width - 1) + 1;
  if (x2 > v->left && x1 < v->right) {
    x1 = std::max<int>(x1, v->left);
    x2 = std::min<int>(x2, v->right);
    show_range_box(x1, v->top + row_height + 1, x2, v->bottom - 2, range_box_color);
  }
}

void move_mark(int letter, int p)
{
  signal_window *sw = &windows[cur_win];
  int y = mark_y(cur_win);
  if (sw->marks[letter] != -1)
    draw_mark(mark_x[letter], y, letter);
  sw->marks[letter] = p;
  if (p != -1) {
    mark_x[letter] = sample_x(p);
    draw_mark(mark_x[letter], y, letter);
  }
}
