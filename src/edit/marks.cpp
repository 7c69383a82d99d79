// Letter marks and mark references: reading a mark answer from a key or a
// click, the MARK menu commands, and the From/To prompt that every command
// working on a stretch of signal asks through.
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "screen/screen.h"
#include <cctype>
#include <cstdio>
#include <cstring>

int seg_from = -1;
int seg_to = -1;
int dest_win = 0;

enum { MARK_SELECTION = MARK_SELECT }; // selector 0, 1, 2 -> slots 29, 30, 31

static const char *const reference_names[NUM_MARKS - NUM_LETTERS] = {
  "[Home]", "[End]", "[cursor]", "[select]", "[select1]", "[select2]",
};

const char *mark_name(int slot)
{
  static char letter[2];
  if (slot >= 0 && slot < NUM_LETTERS) {
    letter[0] = (char)('A' + slot);
    letter[1] = 0;
    return letter;
  }
  if (slot >= NUM_LETTERS && slot < NUM_MARKS)
    return reference_names[slot - NUM_LETTERS];
  return "????";
}

int slot_position(int w, int slot)
{
  if (slot < 0 || slot >= NUM_MARKS)
    return -1;
  int p = windows[w].marks[slot];
  // Slots 28 to 31 outlive a reset and a file can store anything in any
  // slot: a position off the signal is no position.
  return p >= 0 && p <= windows[w].num_samples ? p : -1;
}

int first_free_mark()
{
  for (int i = 0; i < NUM_LETTERS; i++)
    if (windows[cur_win].marks[i] == -1)
      return i;
  return -1;
}

long long column_sample(int x)
{
  const window_view *v = &window_views[cur_win];
  // 64 bits: a full view of a million frames times a wide screen's columns
  // does not fit in 32.
  long long d = v->right - v->left - 4;
  if (d < 1)
    d = 1;
  return ((long long)(v->view_end - v->view_start) * (x - 2) + d / 2) / d + v->view_start;
}

int click_zone()
{
  const window_view *v = &window_views[cur_win];
  int x, y;
  get_mouse(&x, &y);
  if (y < v->top + 15 || scroll_mode)
    return 1;
  long long s = column_sample(x);
  if (s < 1)
    return 2;
  if (s < v->view_start)
    return 3;
  if (s >= windows[cur_win].num_samples)
    return 4;
  if (s > v->view_end)
    return 5;
  cursor = (int)s;
  return 6;
}

// A left click as a mark answer: fills the selection slot from where the
// pointer is; -1 when the click is outside the current window.
static int click_answer(int selection)
{
  signal_window *sw = &windows[cur_win];
  const window_view *v = &window_views[cur_win];
  int x, y;
  get_mouse(&x, &y);
  if (y < v->top || y > v->bottom)
    return -1;
  switch (click_zone()) {
  case 1:
    sw->marks[MARK_SELECT] = cursor;
    sw->marks[MARK_SELECT1] = 0;
    sw->marks[MARK_SELECT2] = sw->num_samples;
    break;
  case 2: case 3:
    sw->marks[selection] = v->view_start;
    break;
  case 4: case 5:
    sw->marks[selection] = v->view_end;
    break;
  default:
    sw->marks[selection] = cursor;
    break;
  }
  return selection;
}

int read_mark_key(int selector)
{
  signal_window *sw = &windows[cur_win];
  int selection = MARK_SELECTION + selector;
  int key = wait_key();
  if (key < 256 && isalpha(key))
    return toupper(key) - 'A';
  switch (key) {
  case '.':
    sw->marks[MARK_CURSOR] = cursor;
    return MARK_CURSOR;
  case KEY_HOME:
    return MARK_HOME;
  case KEY_END:
    return MARK_END;
  case '*':
    sw->marks[MARK_SELECT1] = 0;
    sw->marks[MARK_SELECT2] = sw->num_samples;
    return selection;
  case 1:
    return MARK_SELECT1;
  case 2:
    return MARK_SELECT2;
  case KEY_LBUTTON:
    return click_answer(selection);
  default:
    return -1;
  }
}

int ask_segment(const char *title)
{
  signal_window *sw = &windows[cur_win];
  char line[LINE_LEN];
  clear_prompt();
  dest_win = clip_win;
  sw->marks[MARK_SELECT1] = sw->marks[MARK_SELECT2] = -1;
  // The whole line is drawn afresh at every step, so a shorter name never
  // leaves the end of a longer one behind.
  snprintf(line, sizeof line, "%s  From mark ", title);
  show_prompt(line);
  int f = read_mark_key(1);
  seg_from = f;
  if (f < 0 || f >= NUM_MARKS)
    return 0;
  int at_from = snprintf(line, sizeof line, "%s  From mark ", title);
  if (f == MARK_SELECT1 && sw->marks[MARK_SELECT2] != -1) {
    seg_from = MARK_HOME;
    seg_to = MARK_END;
    snprintf(line + at_from, sizeof line - at_from, "%s", mark_name(MARK_END));
    show_prompt(line);
  } else {
    snprintf(line + at_from, sizeof line - at_from, "%s  To mark ", mark_name(f));
    show_prompt(line);
    int t = read_mark_key(2);
    seg_to = t;
    if (t < 0 || t >= NUM_MARKS)
      return 0;
    int at_to = (int)strnlen(line, sizeof line);
    snprintf(line + at_to, sizeof line - at_to, "%s", mark_name(t));
    show_prompt(line);
  }
  return sw->marks[seg_from] != -1 && sw->marks[seg_to] != -1;
}

void order_segment()
{
  if (seg_from == -1 || seg_to == -1)
    return;
  const int *m = windows[cur_win].marks;
  if (m[seg_from] > m[seg_to]) {
    int t = seg_from;
    seg_from = seg_to;
    seg_to = t;
  }
}

void insert_mark()
{
  if (scroll_mode) {
    scroll_insert_mark();
    return;
  }
  if (windows[cur_win].num_samples < 1)
    return;
  show_prompt(" INSERT MARK:  Enter letter for mark  ");
  int i = read_mark_key(0);
  if (i >= 0 && i < NUM_LETTERS)
    move_mark(i, cursor);
  clear_prompt();
}

void new_mark()
{
  if (scroll_mode) {
    scroll_new_mark();
    return;
  }
  if (windows[cur_win].num_samples < 1)
    return;
  int i = first_free_mark();
  if (i >= 0)
    move_mark(i, cursor);
}

void delete_mark()
{
  if (scroll_mode) {
    scroll_delete_mark();
    return;
  }
  if (windows[cur_win].num_samples < 1)
    return;
  show_prompt(" DELETE MARK:  Enter letter for mark  ");
  int i = read_mark_key(0);
  if (i >= 0 && i < NUM_LETTERS)
    move_mark(i, -1);
  clear_prompt();
}

void goto_mark()
{
  if (scroll_mode) {
    scroll_goto_mark();
    return;
  }
  show_prompt(" GOTO MARK: enter letter for mark");
  int i = read_mark_key(0);
  // An unset slot (-1) goes to the first sample; a position a file or an
  // old edit left outside the signal is not followed.
  if (i >= 0 && i < NUM_MARKS) {
    int p = windows[cur_win].marks[i];
    if (p >= -1 && p <= windows[cur_win].num_samples)
      goto_position(p);
  }
  clear_prompt();
}

void mark_menu()
{
  static const char *const items[] = {"New", "Insert", "Delete", "Go_to", "Blank", ""};
  switch (menu_select("MARK", items)) {
  case 'B':
    reset_marks(cur_win);
    redraw_current();
    break;
  case 'D': delete_mark(); break;
  case 'G': goto_mark(); break;
  case 'I': insert_mark(); break;
  case 'N': new_mark(); break;
  }
}
