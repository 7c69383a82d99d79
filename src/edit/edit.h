// Editing and navigation: the window stack, the keys that move between
// windows and along a signal, and (as they land) marks, the Edit, Modify,
// View and Window menus, the mouse handlers and scroll mode.
#pragma once

// ---- Window stack -----------------------------------------------------------
// Opens the window below the last visible one and makes it current.
void new_window();
// Closes the current window: the ones below move up, the last is emptied.
void close_window();
// Exchanges the records and views of windows v and w.
void swap_windows(int v, int w);

// ---- Main-loop window keys ----------------------------------------------------
void next_window();     // Tab: the next visible window, wrapping round
void previous_window(); // Shift-Tab: the previous visible window, wrapping round
void select_window_above(); // Up: the window above, if any
void window_down();         // Down: the window below, if any
// Moves the time cursor by delta positions, or to position p; the main
// loop then puts it on the screen.
void move_cursor(int delta);
void set_cursor(int p);
void toggle_range_box();      // F3
void toggle_split_channels(); // F6: one band per channel, or overlaid
// Left and right mouse buttons in the main loop.
void left_click();
void right_click();
// The button row at the right end of the status line (+ - < > " ~): index
// of the button under (x, y), or -1; and the click on it in the main loop.
int button_row_index(int x, int y);
void button_row_click(int x, int y);

// ---- Letter marks and the From/To prompt ------------------------------------
extern int seg_from; // slot chosen as From by the last ask_segment
extern int seg_to;   // slot chosen as To
extern int dest_win; // window that Copy, Cut and Paste write to

// The position in a slot of window w, or -1 when the slot is unset or holds
// a position off the signal (outside 0..num_samples).
int slot_position(int w, int slot);
// Lowest unset letter of the current window, or -1 when all are set.
int first_free_mark();
// Waits for one key and turns it into a mark slot, or -1 for no answer.
// selector 0, 1 or 2 chooses the selection slot a mouse answer fills.
int read_mark_key(int selector);
// Sample position under pixel column x of the current window's shown range.
long long column_sample(int x);
// Classifies the last pointer position against the current window: 1 title
// band, 2 and 3 left of the shown range, 4 and 5 right of it, 6 on the
// waveform (the cursor is then put on the clicked sample).
int click_zone();
// Display name of a slot: a letter, a bracketed reference or "????".
const char *mark_name(int slot);
// The From/To prompt under the title; 1 when both slots hold positions.
int ask_segment(const char *title);
// Puts seg_from before seg_to by their positions.
void order_segment();
void mark_menu();
void insert_mark();
void new_mark();
void delete_mark();
void goto_mark();

// ---- Edit menu and clip window ----------------------------------------------------
void edit_menu();

// ---- Modify menu ----------------------------------------------------------------
// The Modify menu ("M" in the main loop and in scroll mode).
void modify_menu();
// In-place arithmetic on the stretch between the positions of two slots of
// the current window; nothing when either slot holds no position of the
// signal.  The ones that ask for a number end on no usable answer.
void offset_segment(int from, int to);   // v + trunc(x)
void rescale_segment(int from, int to);  // about the zero level, times f
void reverse_segment(int from, int to);  // values and the slots inside
void remove_dc(int from, int to);        // minus the rounded mean distance
void compress_segment(int from, int to); // power law 0 <= e <= 1
void invert_segment(int from, int to);   // mirrored about the zero level
void center_clip(int from, int to);      // values within the threshold to zero
void zero_segment(int from, int to);     // all to the zero level
// The CHANGE BITS menu: the whole current signal to 16, 12 or 8 bits.
void change_bits();
// Adds window clip's values (less its zero level) into the current window
// from a mark the user names.
void add_clip(int clip);

// ---- View and Window menus ------------------------------------------------------
void view_menu();
void window_menu();
void zoom_in();   // "+": about half the view around the cursor
void zoom_out();  // "-": twice the view around the cursor
void pan_left();  // PgUp: half a view back, cursor in the middle
void pan_right(); // PgDn: half a view on
void duplicate_window(); // a new window below the stack with a copy of the current signal
void window_up();        // moves the current signal one place up the stack
void toggle_maximize();  // F4: the current window alone, or all of them

// ---- Scroll mode --------------------------------------------------------------
// The current window at one sample per pixel column, scrolled sideways.  The
// state below is valid while scroll_mode is on; every command the loop runs
// is followed by scroll_reread, so none of it outlives a change of signal.
extern int scroll_samples;  // frames of the window, as last read
extern int scroll_channels; // channels drawn, 1..8
extern int scroll_zero;     // zero level drawn at mid-height
extern int scroll_bits;     // bits of the values drawn (1..16)
extern int scroll_full;     // 1 << scroll_bits
extern int scroll_width;    // columns in the view: frames + 1 when they fit the screen
extern int scroll_offset;   // sample in column 0
extern int scroll_max;      // largest offset
extern int scroll_prev;     // offset of the picture now on the screen
extern int scroll_col;      // cursor column, 0..scroll_width - 1
extern int scroll_speed;    // automatic scrolling in units of 8 columns a pass, -8..8
extern int scroll_page;     // PgUp/PgDn step
extern int scroll_jump;     // largest shift of the picture, in units of 8 columns
extern int margin_left, margin_right; // a click beyond these starts edge scrolling
extern int scroll_top, scroll_bottom; // rows of the window's band
extern int scroll_height;   // waveform rows above the mark strip
extern int mark_row;        // top row of the mark strip
extern int marks_changed;   // the mark strip must be drawn again
extern int cursor_moved;    // a key moved the cursor: the view follows it
extern int cursor_shown;    // the scroll cursor is on the screen
extern int click_armed;     // a click in the window arms edge scrolling ...
extern int click_x;         // ... from the column it was made at
extern int full_redraw;     // the next pass redraws the whole view

// F5, "~", the Window menu's Scroll: runs scroll mode on a non-empty current
// window, then puts the cursor on the screen in normal form.
void enter_scroll();
// The modal loop for window w; returns when scroll mode ends or quit_flag is set.
void scroll_loop(int w);
// Takes the scroll state from the current window on entry; 0 when it is empty.
int scroll_setup();
// Reads the current window's length, channels, zero level and bits again,
// recomputes the view's width, limits and steps and brings the offset and
// cursor column back within them.  0, with scroll mode ended, when the
// window has become empty.
int scroll_reread();
// The band's rows and the margins from the window layout; the cursor column
// from half_span; automatic scrolling stopped.
void scroll_layout();
// One pass of the loop before it looks for a key: automatic scrolling, the
// stops at either end, and the picture moved or redrawn.
void scroll_pass();
// Runs one key or click of the scroll-mode table; 0 after Ctrl-C.
int scroll_key(int key);
// Speed of edge scrolling for a click at column x, within -8..8.
int edge_speed(int x);
void leave_scroll();
void scroll_page_back();
void scroll_page_forward();
// A click on the scroll-mode button row (<, >, the double quote and ~).
void scroll_button_click(int x, int y);
// The mark commands while scroll mode is on: they work at the scroll cursor.
void scroll_insert_mark();
void scroll_new_mark();
void scroll_delete_mark();
void scroll_goto_mark();

// Makes window d a copy of the current window's frames from the position in
// slot `from` up to that in slot `to` (ordered); 1 when copied, 0 when d is
// the current window, a position is unusable or the storage is refused.
int copy_segment(int d, int from, int to);
// Inserts all of window s in front of the position in slot `before` of the
// current window (at 0 when it is empty) and puts slot `letter` (or none,
// -1) on the start of the pasted frames.  1 when pasted.
int paste_segment(int s, int letter, int before);
// Removes the frames between the positions in two ordered slots of window w.
void delete_segment(int w, int from, int to);
// Inserts n frames of silence in front of position `at` of the current
// window; 0 when the storage is refused.
int insert_zero_frames(int at, int n);
// Pads the current window with silence to a whole number of 256-frame
// blocks: the frames added, 0 when there was nothing to pad, -1 when the
// storage is refused.
int pad_to_blocks();
void insert_silence(); // Silence
void extend_signal();  // eXtend
void edit_value();     // Value

// ---- Menus ---------------------------------------------------------------------
