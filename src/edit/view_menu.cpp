// The View and Window menus: which stretch of the current signal its window
// shows (all, a segment, zoomed or panned around the cursor), whether the
// clip window is on screen, and the stack of signal windows (new, duplicate,
// close, move up, maximize).
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "screen/screen.h"
#include <algorithm>

// Panning and zooming out never leave a view shorter than this, so that a
// view that has shrunk to nothing can still be widened.
enum { MIN_WIDENED = 4 };

// Shows start..end of the current window, each clamped onto the signal;
// 1 when that changed the view (and it was redrawn).
static int show_range(long long start, long long end)
{
  int n = windows[cur_win].num_samples;
  window_view *v = &window_views[cur_win];
  int s = (int)std::clamp<long long>(start, 0, n);
  int e = (int)std::clamp<long long>(end, 0, n);
  if (s == v->view_start && e == v->view_end)
    return 0;
  v->view_start = s;
  v->view_end = e;
  draw_window(cur_win);
  return 1;
}

// The current view with its unset ends resolved and clamped, and its length.
static int view_length()
{
  layout_window(cur_win);
  return window_views[cur_win].view_end - window_views[cur_win].view_start;
}

void zoom_in()
{
  int len = view_length();
  if (len <= 2)
    return;
  int n = windows[cur_win].num_samples;
  int l = len / 2 + 2; // about half, never below 3
  int s = cursor - l / 2;
  if (s < 0)
    s = 0;
  else if (s > n - l)
    s = n - l;
  show_range(s, (long long)s + l);
}

void zoom_out()
{
  int len = view_length();
  int n = windows[cur_win].num_samples;
  if (len >= n)
    return;
  int l = len > 0 ? 2 * len : (int)MIN_WIDENED; // a zero-length view opens to a few samples
  int s = cursor - l / 2;
  s = s < 0 ? 0 : std::min(s, n - l);
  show_range(s, (long long)s + l);
}

// Moves the view by half its length (direction -1 or 1), keeping the length,
// and puts the cursor in its middle.
static void pan(int direction)
{
  int len = view_length() > 0 ? view_length() : (int)MIN_WIDENED;
  int n = windows[cur_win].num_samples;
  int s = window_views[cur_win].view_start + direction * (len / 2);
  s = s < 0 ? 0 : std::min(s, n - len);
  if (show_range(s, (long long)s + len)) {
    const window_view *v = &window_views[cur_win];
    cursor = v->view_start + (v->view_end - v->view_start) / 2;
  }
}

void pan_left() { pan(-1); }

void pan_right() { pan(1); }

// Shows the stretch between two slots, when both hold positions on the signal.
static void view_slots(int from, int to)
{
  int a = slot_position(cur_win, from), b = slot_position(cur_win, to);
  if (a < 0 || b < 0)
    return;
  show_range(a, b);
}

static void view_segment()
{
  if (!ask_segment(" VIEW SEGMENT:")) {
    clear_prompt();
    return;
  }
  order_segment();
  view_slots(seg_from, seg_to);
}

// Shows or hides the clip window at the top of the stack.
static void toggle_clip()
{
  first_vis = first_vis == 0 ? 1 : 0;
  if (cur_win < first_vis)
    select_window(first_vis);
  redraw_all();
}

void view_menu()
{
  static const char *const items[] = {"All", "Clip", "Segment", "Pan", "Zoom", ""};
  static const char *const pans[] = {"Left", "Right", ""};
  static const char *const zooms[] = {"In", "Out", ""};
  switch (menu_select("VIEW", items)) {
  case 'A': view_slots(MARK_HOME, MARK_END); break;
  case 'C': toggle_clip(); break;
  case 'S': view_segment(); break;
  case 'P':
    switch (menu_select("PAN", pans)) {
    case 'L': pan_left(); break;
    case 'R': pan_right(); break;
    }
    break;
  case 'Z':
    switch (menu_select("ZOOM", zooms)) {
    case 'I': zoom_in(); break;
    case 'O': zoom_out(); break;
    }
    break;
  }
}

void duplicate_window()
{
  if (last_vis >= MAX_FILES)
    return;
  int d = ++last_vis;
  init_window(d);
  // The copy shows its own whole signal from its start, whatever the
  // window that stood here before had set.
  window_views[d].split_channels = 0;
  window_views[d].saved_cursor = 0;
  copy_segment(d, MARK_HOME, MARK_END);
  redraw_all();
  select_window(d);
}

void window_up()
{
  if (cur_win < 2)
    return;
  // The cursor travels with its signal: keep it in the view that moves, and
  // let select_window store the other signal's own cursor back where it was.
  window_views[cur_win].saved_cursor = cursor;
  swap_windows(cur_win, cur_win - 1);
  cursor = window_views[cur_win].saved_cursor;
  select_window(cur_win - 1);
  redraw_all();
}

void toggle_maximize()
{
  maximized = !maximized;
  redraw_all();
}

void window_menu()
{
  static const char *const items[] = {"New", "Close", "Scroll", "Maximize", "Duplicate", "Up", ""};
  switch (menu_select("WINDOW", items)) {
  case 'N': new_window(); break;
  case 'C': close_window(); break;
  case 'S': enter_scroll(); break;
  case 'M': toggle_maximize(); break;
  case 'D': duplicate_window(); break;
  case 'U': window_up(); break;
  }
}
