// Opening and closing windows at the end of the visible stack.
#include "core/state.h"
#include "display/display.h"
#include <utility>

void swap_windows(int v, int w)
{
  std::swap(windows[v], windows[w]);
  std::swap(window_views[v], window_views[w]);
}

void new_window()
{
  if (last_vis >= 5)
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
