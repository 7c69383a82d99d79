// The keys of the main loop that work on the window stack and the current
// window's view: switching windows, moving the cursor, display toggles;
// and opening and closing windows at the end of the visible stack.
#include "edit/edit.h"
#include "core/state.h"
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
  clear_window(last_vis);
  last_vis--;
  if (cur_win > last_vis)
    select_window(last_vis);
  redraw_all();
}

void next_window() { select_window((cur_win - first_vis + 1) % num_vis + first_vis); }

void previous_window() { select_window((num_vis - first_vis + cur_win - 1) % num_vis + first_vis); }

void window_up()
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

// Right button: in the title band it blanks the marks; on the signal it
// puts the first free letter at the clicked sample.
void right_click()
{
  const window_view *v = &window_views[cur_win];
  int x, y;
  get_mouse(&x, &y);
  if (y < v->top || y > v->bottom)
    return; // outside the current window: a replay once sound is there
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
