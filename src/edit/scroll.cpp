// Scroll mode: the current window shown at one sample per pixel column,
// moved sideways by keys, by clicks near its edges, or continuously at a
// chosen speed.  A modal loop of its own that returns to the main loop on
// Esc.  Everything it knows of the signal is read from the window record
// again after every command it runs, so an edit that shortens, empties or
// reformats the signal never leaves it drawing from stale numbers.
#include "edit/edit.h"
#include "analysis/analysis.h"
#include "core/state.h"
#include "audio/audio.h"
#include "display/display.h"
#include "files/files.h"
#include "screen/screen.h"
#include <algorithm>

enum {
  SCROLL_UNIT = 8,        // columns per unit of speed: the picture moves in 8-pixel steps
  MAX_SPEED = 8,          // fastest automatic scrolling, in units per pass
  STRIP_ROWS = 20,        // rows of the mark strip at the bottom of the band
  GLYPH_EDGE = 4,         // mark glyphs stay this many columns inside the view
  FRAMES_PER_SECOND = 60, // pace of automatic scrolling on a real display
};

int scroll_samples, scroll_channels, scroll_zero, scroll_bits, scroll_full;
int scroll_width, scroll_offset, scroll_max, scroll_prev, scroll_col;
int scroll_speed, scroll_page, scroll_jump;
int margin_left, margin_right;
int scroll_top, scroll_bottom, scroll_height, mark_row;
int marks_changed, cursor_moved, cursor_shown;
int click_armed, click_x;
int full_redraw;

// ---- Reading the window ------------------------------------------------------

void leave_scroll()
{
  scroll_mode = 0;
  scroll_speed = 0;
}

int scroll_reread()
{
  signal_window *sw = &windows[cur_win];
  if (sw->num_samples < 1 || !sw->samples) {
    leave_scroll();
    return 0;
  }
  int n = sw->num_samples;
  int channels = std::clamp<int>(sw->channels, 1, MAX_CHANNELS);
  int bits = sw->adc_bits >= 1 && sw->adc_bits <= 16 ? sw->adc_bits : 16;
  if (n != scroll_samples || channels != scroll_channels || sw->zero_level != scroll_zero ||
      bits != scroll_bits)
    full_redraw = 1;
  scroll_samples = n;
  scroll_channels = channels;
  scroll_zero = sw->zero_level;
  scroll_bits = bits;
  scroll_full = 1 << bits;
  // The guard frame behind the last sample is drawn in the last column when
  // the view reaches the end: it shows the zero level.
  for (int k = 0; k < channels; k++)
    sw->samples[(long long)n * channels + k] = (int16_t)scroll_zero;
  scroll_width = n < scr_width ? n + 1 : scr_width;
  scroll_max = n + 1 - scroll_width;
  scroll_page = scroll_width / 2;
  scroll_jump = scroll_page / SCROLL_UNIT;
  // The offset comes back within range taking the cursor's sample along,
  // as far as the view lets it.
  int at = scroll_offset + scroll_col;
  scroll_offset = std::clamp(scroll_offset, 0, scroll_max);
  scroll_col = std::clamp(at - scroll_offset, 0, scroll_width - 1);
  return 1;
}

// The band of the current window and the margins of edge scrolling.
static void scroll_geometry()
{
  layout_window(cur_win);
  const window_view *v = &window_views[cur_win];
  scroll_top = v->top;
  scroll_bottom = v->bottom;
  scroll_height = std::max(scroll_bottom - scroll_top - STRIP_ROWS, 1);
  mark_row = scroll_bottom - STRIP_ROWS;
  margin_left = scr_width / 8; // an eighth of the screen at either side
  margin_right = scr_width - scr_width / 8;
}

void scroll_layout()
{
  scroll_geometry();
  scroll_col = half_span;
  marks_changed = cursor_shown = cursor_moved = 0;
  scroll_speed = 0;
}

int scroll_setup()
{
  scroll_mode = 1;
  click_armed = 0;
  if (!scroll_reread())
    return 0;
  scroll_layout();
  click_x = scroll_width / 2;
  // The cursor stays on its sample: only where the view cannot reach far
  // enough does its column differ from half_span.
  int at = std::clamp(cursor, 0, scroll_samples);
  scroll_offset = std::clamp(at - half_span, 0, scroll_max);
  scroll_col = std::clamp(at - scroll_offset, 0, scroll_width - 1);
  scroll_prev = scroll_offset;
  full_redraw = 1;
  return 1;
}

// ---- Drawing -----------------------------------------------------------------

static int level_of(int v, int centre, int scale)
{
  long long l = centre - ((long long)(v - scroll_zero) * scale) / (scroll_full - 1);
  return (int)std::clamp<long long>(l, 0, scroll_height);
}

// Columns first..last of the view: each a vertical stroke from the level
// of the sample before to the level of its own, per channel.
static void draw_columns(int first, int last)
{
  first = std::max(first, 0);
  last = std::min(last, scroll_width - 1);
  if (first > last)
    return;
  fill_rect(first, scroll_top, last, scroll_bottom, plot_color);
  int c = scroll_channels;
  int split = window_views[cur_win].split_channels;
  const int16_t *frame0 = windows[cur_win].samples + (long long)scroll_offset * c;
  for (int k = 0; k < c; k++) {
    int band = scroll_height / c;
    int centre = split ? band * k + band / 2 : scroll_height / 2;
    int scale = split ? band : scroll_height;
    const int16_t *v = frame0 + k;
    int prev = scroll_offset + first > 0 ? level_of(v[(long long)(first - 1) * c], centre, scale)
                                         : level_of(scroll_zero, centre, scale);
    for (int x = first; x <= last; x++) {
      int l = level_of(v[(long long)x * c], centre, scale);
      // The stroke a line from the previous level to this one draws: its
      // end point is left out unless it is its only point.
      int end = l < prev ? l + 1 : l > prev ? l - 1 : l;
      fill_rect(x, scroll_top + prev, x, scroll_top + end, wave_color - k);
      prev = l;
    }
  }
}

static void hide_scroll_cursor()
{
  hide_time_cursor();
  cursor_shown = 0;
}

static void draw_scroll_cursor()
{
  set_cursor_shape(scroll_height - 1, cursor_color);
  show_time_cursor(scroll_col, scroll_top);
  cursor_shown = 1;
  cursor_moved = 0;
  cursor = scroll_offset + scroll_col;
  show_readout();
}

// The letters under the view, drawn afresh; reference slots have no glyph.
static void draw_mark_strip()
{
  fill_rect(0, mark_row, scr_width - 1, scroll_bottom, plot_color);
  const int *marks = windows[cur_win].marks;
  for (int i = 0; i < NUM_LETTERS; i++) {
    if (marks[i] == -1)
      continue;
    long long x = (long long)marks[i] - scroll_offset;
    if (x >= GLYPH_EDGE && x < scroll_width - GLYPH_EDGE)
      draw_mark((int)x, mark_row, i);
  }
  marks_changed = 0;
}

static void draw_cursor_and_strip()
{
  draw_mark_strip();
  draw_scroll_cursor();
}

void redraw_scroll()
{
  if (!scroll_reread()) {
    // The window has become empty: scroll mode is over, and the window is
    // drawn as it now is.
    draw_window(cur_win);
    return;
  }
  scroll_geometry();
  hide_scroll_cursor();
  if (scroll_width < scr_width)
    fill_rect(scroll_width, scroll_top, scr_width - 1, scroll_top + scroll_height, plot_color);
  draw_columns(0, scroll_width - 1);
  set_time_scale(cur_win); // a rate set in scroll mode reaches the readout
  if (!maximized && first_vis == last_vis)
    fill_rect(0, scroll_bottom, scr_width - 1, graph_bottom - row_height - 1, back_color);
  draw_cursor_and_strip();
  scroll_prev = scroll_offset;
  full_redraw = 0;
  poll_key();
}

// ---- One pass of the loop ----------------------------------------------------

int edge_speed(int x)
{
  if (x < margin_left && scroll_offset > 0)
    return std::max<int>((x - margin_left) / SCROLL_UNIT, -MAX_SPEED);
  if (x > margin_right && scroll_offset < scroll_max)
    return std::min<int>((x - margin_right) / SCROLL_UNIT, MAX_SPEED);
  return 0;
}

// The view ran past an end of the signal: it stops there.  An edge scroll
// that took it there leaves the cursor on the clicked column.
static void stop_at_end(int col)
{
  scroll_col = col;
  scroll_speed = 0;
  if (click_armed)
    scroll_col = click_x;
  click_armed = 0;
}

void scroll_pass()
{
  if (scroll_max > 0 && scroll_speed != 0)
    scroll_offset += SCROLL_UNIT * scroll_speed;
  else if (scroll_max <= 0)
    scroll_speed = 0;
  if (scroll_offset < 0) {
    int overrun = scroll_offset;
    scroll_offset = 0;
    stop_at_end(std::max(scroll_col + overrun, 0));
  }
  if (scroll_offset > scroll_max) {
    int overrun = scroll_offset - scroll_max;
    scroll_offset = scroll_max;
    stop_at_end(std::min(scroll_col + overrun, scroll_width - 1));
  }
  // The offset drops to a multiple of 8, the cursor staying on its sample,
  // or near the end goes to scroll_max: the picture then moves in whole
  // steps of scroll_band.
  int r = scroll_offset % SCROLL_UNIT;
  if (r != 0) {
    if (scroll_max - scroll_offset > margin_left || scroll_col <= margin_left) {
      scroll_col += r;
      scroll_offset -= r;
    } else if (scroll_offset < scroll_max) {
      scroll_col -= scroll_max - scroll_offset;
      scroll_offset = scroll_max;
    }
  }
  int d = scroll_prev - scroll_offset;
  int q = d / SCROLL_UNIT;
  if (d % SCROLL_UNIT != 0 || q > scroll_jump || q < -scroll_jump)
    full_redraw = 1;
  scroll_prev = scroll_offset;
  if (full_redraw) {
    redraw_scroll();
  } else if (q != 0) {
    // Only the columns that came into view are drawn.
    hide_scroll_cursor();
    scroll_band(scroll_top, scroll_bottom, q);
    if (q > 0)
      draw_columns(0, SCROLL_UNIT * q - 1);
    else
      draw_columns(scroll_width + SCROLL_UNIT * q, scroll_width - 1);
    // Running on its own, the view keeps the cursor in its middle; moved
    // by a key, the cursor stays on its sample.
    if (scroll_speed != 0)
      scroll_col = scroll_width / 2;
  }
  if (click_armed && scroll_speed == 0)
    scroll_speed = edge_speed(click_x);
  if (scroll_col < 0 || scroll_col > scroll_width - 1) {
    scroll_col = std::clamp(scroll_col, 0, scroll_width - 1);
    scroll_speed = 0;
    click_armed = 0;
    draw_cursor_and_strip();
  }
}

// ---- Keys ----------------------------------------------------------------------

void scroll_page_back()
{
  if (scroll_offset > 0)
    cursor_moved = 1;
  scroll_offset = std::max(scroll_offset - scroll_page, 0);
}

void scroll_page_forward()
{
  if (scroll_offset < scroll_max)
    cursor_moved = 1;
  scroll_offset = std::min(scroll_offset + scroll_page, scroll_max);
}

void scroll_button_click(int x, int y)
{
  switch (button_row_index(x, y)) { // the row's scroll-mode form while scroll_mode is on
  case 0: scroll_page_back(); break;
  case 1: scroll_page_forward(); break;
  case 2: replay(); break;
  case 3: leave_scroll(); break;
  }
}

static void stop_scrolling()
{
  scroll_speed = 0;
  click_armed = 0;
}

// After the Edit menu: the signal may have a new length; the view is put
// round the cursor again, which stays on its sample where it still exists.
static void after_edit()
{
  full_redraw = 1;
  if (!scroll_reread())
    return;
  int at = std::clamp(cursor, 0, scroll_samples);
  scroll_offset = std::clamp(at - half_span, 0, scroll_max);
  scroll_col = std::clamp(at - scroll_offset, 0, scroll_width - 1);
}

// Mouse buttons: a click in the window arms edge scrolling from its column
// (taken now, not wherever the pointer goes later).
static void scroll_click(int key)
{
  int x, y;
  get_mouse(&x, &y);
  click_x = x;
  stop_scrolling();
  int inside = y >= scroll_top && y <= scroll_bottom;
  if (key == KEY_LBUTTON) {
    if (inside) {
      click_armed = 1;
      maximized = !maximized;
      scroll_layout();
      redraw_all();
    }
    scroll_button_click(x, y);
  } else if (inside) {
    click_armed = 1;
    new_mark();
  } else {
    replay();
  }
}

int scroll_key(int key)
{
  // Keys other than the mouse buttons and the speed keys end edge scrolling.
  switch (key) {
  case KEY_LBUTTON: case KEY_RBUTTON: case ',': case '<': case '.': case '>': break;
  default: click_armed = 0;
  }
  switch (key) {
  case KEY_CTRL_C: quit_flag = 1; return 0;
  case 12: redraw_screen(); stop_scrolling(); break;
  case KEY_ESC: case '~': case KEY_F5: leave_scroll(); break;
  case ',': case '<': if (scroll_speed > -MAX_SPEED) scroll_speed--; break;
  case '.': case '>': if (scroll_speed < MAX_SPEED) scroll_speed++; break;
  case '0': new_mark(); break;
  case KEY_SHIFT_LEFT: scroll_col -= 10; cursor_moved = 1; break;
  case KEY_SHIFT_RIGHT: scroll_col += 10; cursor_moved = 1; break;
  case 'E': edit_menu(); after_edit(); cursor_moved = 1; break;
  case 'G': goto_mark(); break;
  case 'H': case KEY_F1: show_help(); stop_scrolling(); break;
  case 'M':
    // Its commands can reformat the signal; the re-read after every key
    // catches that.
    modify_menu();
    full_redraw = 1;
    cursor_moved = 1;
    break;
  case 'C': calc_menu(); cursor_moved = 1; break;
  case 'S': set_menu(); break;
  case 'P': play_signal(1); break;
  case KEY_ENTER: case '"': replay(); break;
  case KEY_F2: show_signal_info(cur_win); stop_scrolling(); break;
  case KEY_F4:
    maximized = !maximized;
    scroll_layout();
    redraw_all();
    stop_scrolling();
    break;
  case KEY_F6:
    window_views[cur_win].split_channels = !window_views[cur_win].split_channels;
    full_redraw = 1;
    break;
  case KEY_HOME: case KEY_CTRL_HOME: scroll_offset = 0; scroll_col = 0; cursor_moved = 1; break;
  case KEY_PGUP: scroll_page_back(); break;
  case KEY_LEFT: scroll_col -= 1; cursor_moved = 1; break;
  case KEY_RIGHT: scroll_col += 1; cursor_moved = 1; break;
  case KEY_END: case KEY_CTRL_END:
    scroll_offset = scroll_max;
    scroll_col = scroll_width - 1;
    cursor_moved = 1;
    break;
  case KEY_PGDN: scroll_page_forward(); break;
  case KEY_INS: insert_mark(); break;
  case KEY_DEL: delete_mark(); break;
  case KEY_CTRL_LEFT: scroll_col -= 50; cursor_moved = 1; break;
  case KEY_CTRL_RIGHT: scroll_col += 50; cursor_moved = 1; break;
  case KEY_LBUTTON: case KEY_RBUTTON: scroll_click(key); break;
  default: stop_scrolling(); break;
  }
  return 1;
}

// A key moved the cursor: the view follows it one sample at a time until
// it is back within the margins.  The next pass draws it where it settles.
static void follow_cursor()
{
  stop_scrolling();
  while (scroll_col < margin_left && scroll_offset >= 1) {
    scroll_offset--;
    scroll_col++;
  }
  while (scroll_col > margin_right && scroll_offset < scroll_max) {
    scroll_offset++;
    scroll_col--;
  }
  hide_scroll_cursor();
}

void scroll_loop(int w)
{
  static const char *const items[] = {"Edit", "Modify", "Calc", "Play", "Set", "Help", ""};
  if (w != cur_win)
    select_window(w);
  if (!scroll_setup())
    return;
  while (scroll_mode) {
    scroll_pass();
    if (!scroll_mode)
      break;
    if (poll_key() == 0 && scroll_speed != 0) {
      // Running on its own: one pass a display frame, or at once when a
      // key arrives.
      wait_timer(1, FRAMES_PER_SECOND);
      continue;
    }
    if (!cursor_shown || marks_changed)
      draw_cursor_and_strip();
    int key = menu_select("SCROLL MODE", items);
    half_span = scroll_col;
    cursor = scroll_offset + scroll_col;
    if (!scroll_key(key) || quit_flag)
      return;
    // Whatever the key ran, the window is read again before anything is
    // drawn; an emptied window ends scroll mode.
    if (!scroll_mode || !scroll_reread())
      break;
    if (cursor_moved)
      follow_cursor();
  }
}

void enter_scroll()
{
  const signal_window *sw = &windows[cur_win];
  if (sw->num_samples > 0 && sw->samples) {
    hide_time_cursor();
    hide_range_box();
    scroll_loop(cur_win);
    if (quit_flag)
      return;
    // The normal picture, with the cursor on the sample it had; half_span
    // keeps the cursor's column for the next time.
    int at = cursor, column = half_span;
    draw_window(cur_win);
    goto_position(at);
    half_span = column;
    return;
  }
  goto_position(cursor);
}

// ---- Mark commands in scroll mode ------------------------------------------------
// The slots are written directly; the loop draws the strip of glyphs afresh.

static void mark_done()
{
  clear_prompt();
  marks_changed = 1;
  scroll_speed = 0;
}

void scroll_insert_mark()
{
  show_prompt(" INSERT MARK:  Enter letter for mark  ");
  int i = read_mark_key(0);
  if (i >= 0 && i < NUM_LETTERS)
    windows[cur_win].marks[i] = scroll_offset + scroll_col;
  mark_done();
}

void scroll_new_mark()
{
  int i = first_free_mark();
  if (i >= 0)
    windows[cur_win].marks[i] = scroll_offset + scroll_col;
  marks_changed = 1;
  scroll_speed = 0;
}

void scroll_delete_mark()
{
  show_prompt(" DELETE MARK: Enter letter for mark  ");
  int i = read_mark_key(0);
  if (i >= 0 && i < NUM_LETTERS)
    windows[cur_win].marks[i] = -1;
  mark_done();
}

void scroll_goto_mark()
{
  show_prompt(" GOTO MARK: enter letter for mark");
  int i = read_mark_key(0);
  int p = slot_position(cur_win, i); // an unset slot or one off the signal: nothing
  if (p >= 0) {
    // The next pass clamps the offset and moves the cursor by what it
    // clamped, so the cursor lands on the mark's sample.
    int half = scroll_width / 2;
    half_span = half;
    scroll_col = half;
    scroll_offset = p - half;
    cursor = p; // where the Edit menu's Go_to leaves it too
  }
  mark_done();
}
