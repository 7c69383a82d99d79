// The screen and keyboard: the display surface drawn into our own back
// buffer, the key queue fed by the platform's events, the prompt and status
// lines, the one-line menus and the info boxes.
#pragma once
#include <cstdint>

// ---- Display surface ------------------------------------------------------
enum { NUM_COLORS = 16 };

extern int scr_width, scr_height;   // screen size in pixels
extern int char_width;              // advance of one character cell
extern int char_ascent;             // font ascent; a baseline y puts the cell top at y - char_ascent
extern int row_height;              // pitch of text rows: font height + 2
extern int graph_bottom;            // baseline of the prompt line
extern int text_bottom;             // baseline of the status line
extern int prompt_x, status_x;      // left x of the prompt and status lines
extern int text_x, text_y;          // current position after the last line or text
extern int text_bg, text_fg;        // text colours last set; text_bg -1 = transparent
extern int xor_mode;                // lines are drawn in exclusive-or mode
extern int no_direct;               // lines go only into the back buffer
extern uint32_t *back_buffer;       // scr_width x scr_height pixels, 0xRRGGBB
extern const uint32_t palette[NUM_COLORS];

// Colour roles.
extern int back_color, plot_color, wave_color, mark_color, cursor_color;
extern int active_frame_color, frame_color, range_box_color;
extern int title_fg, title_bg, title_hi_fg, title_hi_bg;
extern int prompt_fg, prompt_bg, status_fg, hint_fg, box_fg, box_bg;
extern int meter_left, meter_right, meter_top, meter_bottom;

void prepare_surface();
void release_surface();
void fill_rect(int x0, int y0, int x1, int y1, int color);
// Vertical strokes in count columns from x0: column x0 + i gets rows
// top[i]..bottom[i] (none when top[i] > bottom[i]).  Drawn row by row; with
// bg >= 0 every row from y_from to y_to is painted, bg where no stroke is.
void fill_columns(int x0, int count, const int *top, const int *bottom, int color, int bg = -1, int y_from = 0,
                  int y_to = -1);
void draw_line(int x0, int y0, int x1, int y1, int color);
void move_to(int x, int y);
void line_to(int x, int y, int color);
void draw_frame(int x0, int y0, int x1, int y1, int color);
void set_xor(int on);
void set_text_colors(int fg, int bg);
void draw_text(int x, int y, const char *text);
void get_text_pos(int *x, int *y);
void update_text(int x, int y, const char *new_text, const char *old_text);
void erase_cells(int x, int y, int n);
void draw_text_cursor(int x, int y);
int save_rect(int x0, int y0, int x1, int y1);
void restore_rect(int handle, int x, int y);
void scroll_band(int y0, int y1, int n);
void paint_dirty();                 // copy the rectangles marked for repaint to the screen
// Holds presents (on = 1) while a burst of drawing builds one screen: the
// screen is then brought up to date only now and then, and at once when
// the hold ends.  paint_when_due is the repaint of a poll for keys:
// paint_dirty unless presents are held and one was made lately.
void hold_presents(int on);
void paint_when_due();
// Copies a rectangle to the screen at once while presents are held (a
// message must be seen while the start loads); otherwise the next poll
// copies it with everything else.
void present_held_rect(int x0, int y0, int x1, int y1);
void invalidate_rect(int x0, int y0, int x1, int y1);

// Exclusive-or overlays.
void set_cursor_shape(int height, int color);
void show_time_cursor(int x, int y);
void hide_time_cursor();
void show_range_box(int x0, int y0, int x1, int y1, int color);
void hide_range_box();
void draw_mark(int x, int y, int letter);

// ---- Window events and key queue -----------------------------------------
enum {
  KEY_CTRL_C = 3, KEY_TAB = 9, KEY_ENTER = 13, KEY_ESC = 27,
  KEY_SHIFT_TAB = 271,
  KEY_F1 = 315, KEY_F2, KEY_F3, KEY_F4, KEY_F5, KEY_F6, KEY_F7, KEY_F8,
  KEY_HOME = 327, KEY_UP = 328, KEY_PGUP = 329, KEY_LEFT = 331,
  KEY_RIGHT = 333, KEY_END = 335, KEY_DOWN = 336, KEY_PGDN = 337,
  KEY_INS = 338, KEY_DEL = 339,
  KEY_CTRL_LEFT = 371, KEY_CTRL_RIGHT = 372, KEY_CTRL_END = 373, KEY_CTRL_HOME = 375,
  KEY_SHIFT_LEFT = 52, KEY_SHIFT_RIGHT = 54,
  KEY_MOUSE_MOVE = 512, KEY_LBUTTON = 513, KEY_RBUTTON = 514,
};

extern int key_slot;          // the pending key code; 0 = none
extern int ctrl_down;         // a Ctrl key is held
extern int shift_down;        // a Shift key is held
extern int mouse_x, mouse_y;  // last pointer position
extern int quit_flag;         // nonzero ends the main loop: Ctrl-C or the window closed

struct platform_event;
void window_proc(const platform_event *ev);
int wait_key();
int poll_key();
int peek_key();
int wait_key_pending();
void get_mouse(int *x, int *y);
void wait_timer(int count, int rate);
void stop_timer();

// ---- Prompt line, messages and input fields --------------------------------
enum { LINE_LEN = 80 };
extern char prompt_cache[LINE_LEN];  // text now on the prompt line
extern char status_cache[LINE_LEN];  // text now on the status line

void show_prompt(const char *text);
void clear_prompt();
void show_error(const char *text);
void show_status(const char *text);
void clear_status();
void prompt_input(const char *prompt, char *buffer, int maxlen);
int edit_line(char *buffer, int maxlen);
// edit_line in a field of `cells` character cells that scrolls sideways to
// keep the cursor shown.
int edit_field(char *buffer, int maxlen, int cells);
bool ask_yes();
// Fills text (LINE_LEN bytes) from a format with one %s and a name, the name
// shortened in its middle with "..." so that the whole line fits the screen.
void fit_name(char *text, const char *format, const char *name);
// Appends one line to the automation transcript when TARVO_TRANSCRIPT is
// set (a path relative to the folder the program was started in).
void transcript(char tag, const char *text);

// ---- Menu line --------------------------------------------------------------
extern int scroll_mode; // scroll mode is on: the key hints offer < > only
// items end with an empty string.
int menu_select(const char *title, const char *const *items);
void draw_key_hints();

// ---- Info boxes and help screen ---------------------------------------------
extern int box_handle;
extern int box_left, box_top, box_right, box_bottom;
enum { HELP_LINES = 21 };
extern const char *const help_lines[HELP_LINES];

int open_info_box(int width, int height);
void clear_info_box();
void info_text(int dx, int dy, const char *text);
void close_info_box();
void show_help();
void not_implemented();
