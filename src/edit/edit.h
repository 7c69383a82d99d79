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
