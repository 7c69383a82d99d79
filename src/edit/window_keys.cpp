// The keys of the main loop that work on the window stack and the current
// window's view: switching windows, moving the cursor, display toggles;
// and opening and closing windows at the end of the visible stack.
#include "edit/edit.h"
#include "core/state.h"
#include "audio/audio.h"
#include "display/display.h"
#include "screen/screen.h"
#include <utility>

void swap_windows(int v, int w)
{
  std::swap(windows[v], windows[w]);
  std::swap(window_views[v], window_views[w]);
}

void new_window()
{
  if (last_vis >= MAX_FILES)
    return;
  last_vis++;
  init_window(last_vis);
  redraw_all();
  select_window(last_vis);
}

void close_window()
{
  if (last_vis <= 1 || cur_win == clip_win)
    return;
  for (int w = cur_win; w < last_vis; w++)
    swap_windows(w, w + 1);
  // The signal that moved into this place brings back its own cursor.
  if (cur_win < last_vis)
    cursor = window_views[cur_win].saved_cursor;
  clear_window(last_vis);
  last_vis--;
  if (cur_win > last_vis)
    select_window(last_vis);
  redraw_all();
}

void next_window() { select_window((cur_win - first_vis + 1) % num_vis + first_vis); }

void previous_window() { select_window((num_vis - first_vis + cur_win - 1) % num_vis + first_vis); }

void select_window_above()
{
  if (cur_win > first_vis)
    select_window(cur_win - 1);
}

void window_down()
{
  if (cur_win - first_vis < num_vis - 1)
    select_window(cur_win + 1);
}

void move_cursor(int delta) { cursor += delta; }

void set_cursor(int p) { cursor = p; }

void toggle_range_box()
{
  range_box_on = !range_box_on;
  draw_range_box(cur_win);
}

void toggle_split_channels()
{
  window_views[cur_win].split_channels = !window_views[cur_win].split_channels;
  draw_window(cur_win);
}

// Goes to the position in a reference slot, when it holds one.
static void goto_slot(int slot)
{
  int p = slot_position(cur_win, slot);
  if (p >= 0)
    goto_position(p);
}

// Left button: on the current window's title band it maximizes, left and
// right of the shown range it goes to the signal's end or pans, on the
// waveform it moves the cursor; on another window it makes that current.
void left_click()
{
  int x, y;
  get_mouse(&x, &y);
  for (int w = first_vis; w <= last_vis; w++) {
    const window_view *v = &window_views[w];
    if (y < v->top || y > v->bottom)
      continue;
    if (w != cur_win) {
      if (!maximized)
        select_window(w);
      continue;
    }
    switch (click_zone()) {
    case 1: toggle_maximize(); break;
    case 2: goto_slot(MARK_HOME); break;
    case 3: pan_left(); break;
    case 4: goto_slot(MARK_END); break;
    case 5: pan_right(); break;
    }
  }
  button_row_click(x, y);
}

// The buttons stand two characters apart from the second character of the
// row; scroll mode blanks the first four and shows the rest.
int button_row_index(int x, int y)
{
  int row = scr_width - 13 * char_width;
  int top = text_bottom - char_ascent;
  if (x < row || y < top || y > top + row_height)
    return -1;
  int start = scroll_mode ? row + 4 * char_width : row;
  int buttons = scroll_mode ? 4 : 6;
  for (int i = 0; i < buttons; i++) {
    int r = x - 2 * char_width * i - start;
    if (r >= 3 * char_width / 4 && r < 9 * char_width / 4)
      return i;
  }
  return -1;
}

void button_row_click(int x, int y)
{
  switch (button_row_index(x, y)) {
  case 0: zoom_in(); break;
  case 1: zoom_out(); break;
  case 2: pan_left(); break;
  case 3: pan_right(); break;
  case 4: replay(); break;
  case 5: enter_scroll(); break;
  }
}

// Right button: in the title band it blanks the marks; on the signal it
// puts the first free letter at the clicked sample.
void right_click()
{
  const window_view *v = &window_views[cur_win];
  int x, y;
  get_mouse(&x, &y);
  if (y < v->top || y > v->bottom) {
    replay();
    return;
  }
  if (click_zone() == 1) {
    reset_marks(cur_win);
    redraw_current();
    return;
  }
  long long s = column_sample(x);
  if (s >= v->view_start && s <= v->view_end) {
    cursor = (int)s;
    new_mark();
  }
}
