// The file selection box: a framed box in the middle of the screen with the
// current directory and a name field.  A name with "*" or "?" lists the
// matching directory entries in columns of 16; the highlight moves over
// them with the keys or the mouse, and picking a directory enters it.
#include "core/state.h"
#include "files/files.h"
#include "files/findfile.h"
#include "screen/screen.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

enum {
  LIST_MAX = 80,      // entries listed at once
  COLUMN_ROWS = 16,   // entries in one column
  SHOWN_CHARS = 15,   // characters of an entry shown in the list
  SMALL_CELLS = 66,   // box width while only the name field is shown
  // Width once a list is shown: five columns of 16 cells plus a margin
  // cell on either side, so that the fifth column lies inside the frame.
  WIDE_CELLS = 5 * COLUMN_ROWS + 2,
  LIST_TOP_ROW = 4,   // row of the box whose baseline the first entry stands on
  SMALL_ROWS = 4,     // box height in rows without a list
  LARGE_ROWS = 20,    // box height in rows with a list
  DIR_TEXT_LEN = 4096,
};

// Stages of the box: the name field has the focus, the entries are listed
// anew, the list has the focus, or the box closes.
enum { AT_FIELD, AT_LISTING, AT_LIST, AT_CLOSE };

static const char dir_label[] = "Current directory: ";
static const char open_failed[] = "Problem opening filename box 1.";

// The box while it is open.
struct box_state {
  found_file *entries; // the listed entries, LIST_MAX of them; owned
  const char *prompt;  // the caller's prompt
  int prompt_cells;    // cells of the prompt that are drawn
  int maxlen;          // bytes of the caller's name buffer
  int handle;          // the saved rectangle under the box; -1 none
  int cells;           // box width in character cells
  int left, top, width, height; // the box in pixels
  int large;           // the box has room for the list
  int k;               // highlighted entry; -1 = the name field has the focus
  int shown_k;         // entry drawn highlighted; -1 none
  int n;               // entries listed
  int s;               // directory entries skipped before the first listed one
  int more;            // more entries follow the listed ones
  int wild;            // the name holds "*" or "?"
};

static int screen_cells() { return std::max(scr_width / std::max(char_width, 1), 3); }

static void current_dir(char *out, size_t size)
{
  if (!getcwd(out, size))
    out[0] = 0;
}

// Saves the area under a box of the given rows, centred, and draws it
// empty.  0 when the area cannot be saved (another box is open).
static int open_box(box_state *b, int rows)
{
  b->width = b->cells * char_width;
  b->height = rows * row_height;
  b->left = (scr_width - b->width) / 2;
  b->top = (scr_height - b->height) / 2;
  b->large = rows == LARGE_ROWS;
  b->handle = save_rect(b->left, b->top, b->left + b->width - 1, b->top + b->height - 1);
  if (b->handle < 0) {
    show_error(open_failed);
    return 0;
  }
  fill_rect(b->left, b->top, b->left + b->width - 1, b->top + b->height - 1, box_bg);
  draw_frame(b->left + 1, b->top + 1, b->left + b->width - 2, b->top + b->height - 2, box_fg);
  return 1;
}

static void close_box(box_state *b)
{
  if (b->handle >= 0)
    restore_rect(b->handle, b->left, b->top);
  b->handle = -1;
}

// Cells of the name field: the prompt and the name, with the cell of the
// text cursor, stay inside the frame (cells 1 .. cells-2).  A longer name
// scrolls within them.
static int field_cells(const box_state *b) { return std::max(1, b->cells - 2 - b->prompt_cells); }

// The directory line and the prompt, then the name edited behind the
// prompt.  Returns the key that ended the editing.
static int edit_name(box_state *b, char *name)
{
  int y = b->top + 2 * row_height - 4;
  int x = b->left + char_width;
  fill_rect(b->left + 2, y - 1 - char_ascent, b->left + b->width - 3,
            y + row_height + 1 - char_ascent + row_height - 1, box_bg);
  set_text_colors(box_fg, box_bg);

  // A long directory shows its end, where the names the user knows are.
  char dir[DIR_TEXT_LEN], line[DIR_TEXT_LEN + 32];
  current_dir(dir, sizeof dir);
  int room = b->cells - 2 - (int)strlen(dir_label);
  int len = (int)strlen(dir);
  if (len > room && room > 3)
    snprintf(line, sizeof line, "%s...%s", dir_label, dir + len - (room - 3));
  else
    snprintf(line, sizeof line, "%s%.*s", dir_label, std::max(room, 0), dir);
  draw_text(x, y - 1, line);

  snprintf(line, sizeof line, "%.*s", b->prompt_cells, b->prompt);
  draw_text(x, y + row_height + 1, line);
  return edit_field(name, b->maxlen, field_cells(b));
}

// The entry under the mouse pointer, or -1 when the pointer is not over a
// cell of the list.  Entry rows are drawn from the list's first baseline
// (see draw_entry), each reaching from ascent above its baseline one row down.
static int entry_under_mouse(const box_state *b)
{
  int mx, my;
  get_mouse(&mx, &my);
  int dx = mx - b->left, dy = my - (b->top + LIST_TOP_ROW * row_height - char_ascent);
  if (dx < char_width || dy < 0 || mx >= b->left + b->width || my >= b->top + b->height)
    return -1;
  int column = (dx / char_width - 1) / COLUMN_ROWS;
  int row = dy / row_height;
  if (column >= LIST_MAX / COLUMN_ROWS || row >= COLUMN_ROWS)
    return -1;
  return COLUMN_ROWS * column + row;
}

static int listed(const box_state *b, int k) { return k >= 0 && k < b->n; }

static int has_wildcard(const char *name) { return strpbrk(name, "*?") != nullptr; }

static void strip_leading_blanks(char *text)
{
  size_t skip = strspn(text, " ");
  if (skip)
    memmove(text, text + skip, strlen(text + skip) + 1);
}

// Entry i of the list, normal or highlighted.  An entry stands for more
// entries (" ... ") in the first place when the list was scrolled and in
// the last place when more follow.
static void draw_entry(const box_state *b, int i, int highlight)
{
  int column = i / COLUMN_ROWS;
  int cells = std::min((int)SHOWN_CHARS, b->cells - 2 - COLUMN_ROWS * column);
  if (cells <= 0)
    return;
  const char *text = b->entries[i].name;
  if ((i == 0 && b->s > 0) || (i == LIST_MAX - 1 && b->more))
    text = " ... ";
  char cell_text[SHOWN_CHARS + 1];
  snprintf(cell_text, sizeof cell_text, "%-*.*s", cells, cells, text);
  // Normal entries are drawn on the box colour rather than transparent, so
  // that they also cover a highlight drawn there before.
  if (highlight)
    set_text_colors(box_bg, box_fg);
  else
    set_text_colors(box_fg, box_bg);
  draw_text(b->left + (COLUMN_ROWS * column + 1) * char_width,
            b->top + (LIST_TOP_ROW + i % COLUMN_ROWS) * row_height, cell_text);
}

// Searches the directory with the name as pattern and fills the list from
// entry s on.
static void fill_list(box_state *b, const char *name)
{
  char pattern[FILE_PATH_LEN];
  snprintf(pattern, sizeof pattern, "%s", name + strspn(name, " "));
  trim_trailing_spaces(pattern);
  // The entries before s, the 80 listed and one more that tells whether
  // more follow.
  int want = b->s + LIST_MAX + 1;
  found_file *found = (found_file *)malloc((size_t)want * sizeof(found_file));
  if (!found) {
    b->n = 0;
    b->more = 0;
    return;
  }
  int count = find_files(pattern, found, want);
  int first = std::min(b->s, count);
  b->n = std::min(count - first, (int)LIST_MAX);
  b->more = count - first > LIST_MAX;
  if (b->n > 0)
    memcpy(b->entries, found + first, (size_t)b->n * sizeof(found_file));
  free(found);
}

// Lists the entries matching the name, opening the large box first when
// needed.  Goes on in the list when k is a listed entry.
static int list_entries(box_state *b, char *name)
{
  while (poll_key())
    wait_key();
  if (!b->large) {
    close_box(b);
    b->cells = std::min(std::max(b->cells, (int)WIDE_CELLS), screen_cells());
    if (!open_box(b, LARGE_ROWS)) {
      name[0] = 0; // the list was asked for, not a name: the caller does nothing
      return AT_CLOSE;
    }
  } else {
    fill_rect(b->left + 2, b->top + LIST_TOP_ROW * row_height - char_ascent, b->left + b->width - 3,
              b->top + b->height - 3, box_bg);
  }
  fill_list(b, name);
  for (int i = 0; i < b->n; i++)
    draw_entry(b, i, 0);
  b->shown_k = -1;
  return listed(b, b->k) ? AT_LIST : AT_FIELD;
}

// The name field has the focus until a key leaves it.
static int name_field(box_state *b, char *name)
{
  int key;
  for (;;) {
    strip_leading_blanks(name);
    key = edit_name(b, name);
    if (quit_flag)
      key = KEY_ESC;
    if (key == KEY_ESC)
      break;
    b->k = (key == KEY_TAB || key == KEY_LBUTTON || (key >= 256 && key <= 511)) ? 0 : -1;
    if (key == KEY_LBUTTON)
      b->k = entry_under_mouse(b);
    b->wild = has_wildcard(name);
    if (b->wild)
      break;
    char before[DIR_TEXT_LEN], after[DIR_TEXT_LEN];
    current_dir(before, sizeof before);
    if (change_dir(name) != 0)
      break;
    current_dir(after, sizeof after);
    if (strcmp(before, after) == 0) {
      if (listed(b, b->k))
        break;
      continue;
    }
    // A new directory: its name is used up, and the old list is gone.
    name[0] = 0;
    fill_rect(b->left, b->top, b->left + b->width - 1, b->top + b->height - 1, box_bg);
    draw_frame(b->left + 1, b->top + 1, b->left + b->width - 2, b->top + b->height - 2, box_fg);
    b->n = 0;
  }
  if (key == KEY_ESC) {
    name[0] = 0;
    return AT_CLOSE;
  }
  if (key == KEY_ENTER && !b->wild)
    return AT_CLOSE;
  return listed(b, b->k) ? AT_LIST : AT_LISTING;
}

// Enter on entry k: a directory is entered and listed; a file closes the
// box with the pattern's directory part and the entry's name.
static int pick(box_state *b, char *name)
{
  if (!b->wild)
    return AT_CLOSE;
  const char *slash = strrchr(name, '/'), *back = strrchr(name, '\\');
  const char *cut = std::max(slash ? slash + 1 : name, back ? back + 1 : name);
  int dir_len = (int)(cut - name);
  char full[2 * FILE_PATH_LEN];
  snprintf(full, sizeof full, "%.*s%s", dir_len, name, b->entries[b->k].name);
  trim_trailing_spaces(full);
  if (change_dir(full) == 0) {
    snprintf(name, b->maxlen, "*");
    b->k = -1;
    return AT_LISTING;
  }
  if ((int)strlen(full) < b->maxlen) {
    strcpy(name, full);
    return AT_CLOSE;
  }
  // Too long with its directory: enter the directory and give the bare
  // name; a name that does not fit even so cannot be picked.
  const char *bare = full + dir_len;
  if ((int)strlen(bare) >= b->maxlen || dir_len == 0)
    return AT_LIST;
  char dir[FILE_PATH_LEN];
  snprintf(dir, sizeof dir, "%.*s", dir_len, name);
  if (change_dir(dir) != 0)
    return AT_LIST;
  memmove(name, bare, strlen(bare) + 1);
  return AT_CLOSE;
}

// The list has the focus: move the highlight, scroll by columns, pick.
static int list_keys(box_state *b, char *name)
{
  for (;;) {
    if (b->k == 0 && b->s > 0) {
      b->s = 0;
      return AT_LISTING;
    }
    if (b->k != b->shown_k) {
      if (listed(b, b->shown_k))
        draw_entry(b, b->shown_k, 0);
      draw_entry(b, b->k, 1);
      b->shown_k = b->k;
    }
    int key = wait_key();
    if (quit_flag)
      key = KEY_ESC;
    switch (key) {
    case KEY_LBUTTON:
      b->k = entry_under_mouse(b);
      if (b->k < 0)
        return AT_LISTING; // a click beside the list gives the name field the focus
      break;
    case KEY_TAB: case KEY_DOWN: b->k += 1; break;
    case KEY_SHIFT_TAB: case KEY_UP: b->k -= 1; break;
    case KEY_LEFT: b->k -= COLUMN_ROWS; break;
    case KEY_RIGHT: b->k += COLUMN_ROWS; break;
    case KEY_ENTER: case KEY_RBUTTON: {
      int next = pick(b, name);
      if (next != AT_LIST)
        return next;
      break;
    }
    case KEY_ESC:
      name[0] = 0;
      return AT_CLOSE;
    default:
      break;
    }
    if (b->k < 1 && b->s >= COLUMN_ROWS) {
      b->k += COLUMN_ROWS;
      b->s -= COLUMN_ROWS;
      return AT_LISTING;
    }
    if (b->k >= b->n - 1 && b->more) {
      b->k -= COLUMN_ROWS;
      b->s += COLUMN_ROWS;
      return AT_LISTING;
    }
    if (!listed(b, b->k))
      return AT_LISTING;
  }
}

void file_box(const char *prompt, char *name, int maxlen)
{
  if (!name || maxlen < 1)
    return;
  if (!prompt)
    prompt = "";
  clear_prompt();
  box_state b = {};
  b.entries = (found_file *)malloc(LIST_MAX * sizeof(found_file));
  if (!b.entries)
    return;
  name[strnlen(name, maxlen - 1)] = 0;
  b.prompt = prompt;
  b.maxlen = maxlen;
  b.handle = -1;
  // Wide enough for the prompt and the whole proposal, where the screen
  // allows: the name field never cuts what the caller offers.
  int cells = screen_cells();
  b.prompt_cells = std::min((int)strlen(prompt), cells - 3);
  int proposal = name[0] == '[' ? 0 : (int)strlen(name);
  b.cells = std::min(std::max((int)SMALL_CELLS, b.prompt_cells + proposal + 2), cells);
  if (!open_box(&b, SMALL_ROWS)) {
    free(b.entries);
    return;
  }
  if (name[0] == '[') // a window's own label such as [clip] is no file name
    name[0] = 0;
  b.k = -1;
  b.shown_k = -1;
  int stage = AT_FIELD;
  while (stage != AT_CLOSE) {
    switch (stage) {
    case AT_FIELD: stage = name_field(&b, name); break;
    case AT_LISTING: stage = list_entries(&b, name); break;
    case AT_LIST: stage = list_keys(&b, name); break;
    }
  }
  close_box(&b);
  free(b.entries);
  strip_leading_blanks(name);
  trim_trailing_spaces(name);
}
