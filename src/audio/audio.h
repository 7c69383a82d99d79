// Sound commands: Play and its replay, and the Input menu (Record, the
// live level meter and the live vocal-tract display).
#pragma once
#include "core/state.h"

// ---- Play (play.cpp) ----
extern int play_from[NUM_WINDOWS]; // mark slot of the segment last played in each window; -1 none
extern int play_to[NUM_WINDOWS];

// P: asks for From and To (ask set) or replays the last segment (the whole
// signal when there is none) of the current window.
void play_signal(int ask);
// Enter, the double quote, a right click outside the window.
void replay();
// Plays frames from..to-1 of the current window, all its channels.
void play_range(int from, int to);

// ---- Input menu (record.cpp, live.cpp) ----
void input_menu();
void record_signal();
void level_meter();
void tract_display();

// What the live displays draw, for each block of 512 values.
enum { LIVE_BLOCK = 512, TUBE_SECTIONS = 12, LIVE_RATE = 10000 };
// Full scale of the peak bar and a block's peak on that scale.
int peak_full();
int block_peak(const int16_t *block, int n);
// Moves the peak bar in x0..x1, rows top..bottom, from row *prev to the
// level of peak.
void draw_peak_bar(int peak, int x0, int x1, int top, int bottom, int *prev);
// Twelve tube areas, in the order of the Calc menu's Area list, from the
// reflection coefficients of an order-12 predictor; 0 when they are
// unusable (not finite, sum not positive).
int tube_areas(const float *k, float *area);
// The Area display's panels, drawn on a cleared screen: the level bar at
// the left, the twelve sections at their start depth in the tract panel.
struct tube_panel {
  int yb, ytop, xs, cw;    // panel bottom row, top margin, first section's x, section width
  int last[TUBE_SECTIONS]; // each section's depth as drawn
};
void draw_panels(tube_panel *t);
// The sections moved to twelve areas; a section whose depth stays is not drawn.
void draw_sections(tube_panel *t, const float *area);
// One whole block in header_area drawn: the bar from row *prev, and the
// sections when the block is neither too quiet nor clipped.
void tract_block(tube_panel *t, int *prev);
