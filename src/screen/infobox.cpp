// Info boxes opened over the middle of the screen, and the help screen.
#include "screen/screen.h"

int box_handle = -1;
int box_left, box_top, box_right, box_bottom;

const char *const help_lines[HELP_LINES] = {
  " ",
  "                                      ",
  " [F1]     Help",
  " [F2]     Signal information",
  " [F3]     Toggle scroll-range box",
  " [F4]     Maximize window",
  " [F5]     Toggle scroll mode",
  "           (use < > to pan)",
  " [F6]     Toggle channel separation",
  " [Ins]    Insert a letter mark",
  " [Del]    Delete a letter mark",
  " [Esc]    Exit mode or program",
  " [Enter]  Replay signal to DAC",
  " [Tab]    Go to next window",
  " Ctrl-L   Redraw screen",
  "                                      ",
  "   <-     Cursor left",
  "   ->     Cursor right",
  " [Shift]  Cursor moves 10",
  " [Ctrl]   Cursor moves 50",
  "                                      ",
};

int open_info_box(int width, int height)
{
  int left = (scr_width - width) / 2;
  int top = (scr_height - height) / 2;
  int handle = save_rect(left, top, left + width - 1, top + height - 1);
  if (handle < 0) {
    // The open box keeps its place; only a box that opened moves the corners.
    show_error("Problem opening info box.");
    return handle;
  }
  box_handle = handle;
  box_left = left;
  box_top = top;
  box_right = left + width - 1;
  box_bottom = top + height - 1;
  fill_rect(box_left, box_top, box_right, box_bottom, box_bg);
  draw_frame(box_left + 1, box_top + 1, box_right - 1, box_bottom - 1, box_fg);
  return box_handle;
}

void clear_info_box()
{
  fill_rect(box_left + 2, box_top + 2, box_right - 2, box_bottom - 2, box_bg);
}

void info_text(int dx, int dy, const char *text)
{
  set_text_colors(box_fg, -1);
  draw_text(box_left + dx, box_top + dy, text);
  transcript('I', text);
}

void close_info_box()
{
  restore_rect(box_handle, box_left, box_top);
  box_handle = -1;
}

void show_help()
{
  if (open_info_box(40 * char_width, 22 * row_height) < 0)
    return;
  for (int i = 0; i < HELP_LINES; i++)
    info_text(char_width, i * row_height + 14, help_lines[i]);
  wait_key();
  close_info_box();
}

void not_implemented()
{
  show_error(" This function is not implemented.");
}
