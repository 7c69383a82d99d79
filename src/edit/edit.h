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

// ---- Edit menu and clip window ----------------------------------------------------
void edit_menu();
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
