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
void window_up();       // Up: the window above, if any
void window_down();     // Down: the window below, if any
// Moves the time cursor by delta positions, or to position p; the main
// loop then puts it on the screen.
void move_cursor(int delta);
void set_cursor(int p);
void toggle_range_box();      // F3
void toggle_split_channels(); // F6: one band per channel, or overlaid
// Right mouse button in the main loop.
void right_click();

// ---- Letter marks and the From/To prompt ------------------------------------
extern int seg_from; // slot chosen as From by the last ask_segment
extern int seg_to;   // slot chosen as To
extern int dest_win; // window that Copy, Cut and Paste write to

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

// ---- Menus ---------------------------------------------------------------------
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
