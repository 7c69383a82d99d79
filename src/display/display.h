// Signal display: window bands, waveform traces, titles, letter-mark ticks,
// the time cursor and the status-line readouts.
#pragma once
#include "core/state.h"
#include <cstdint>

// Drawing state of the current window, set when it is prepared for drawing.
extern int plot_x0;          // x of the first sample column
extern int plot_width;       // trace width in pixels
extern int plot_span;        // samples across that width (at least 1)
extern int cursor_y, cursor_h; // top and height of the time cursor
extern int mark_x[NUM_LETTERS];     // x at which each letter mark was last drawn
extern int half_span;        // cursor column of a one-sample-per-pixel view
extern int time_decimals;    // decimals of the time readout
extern const char *time_unit; // "ms" or "s "
extern float time_per_sample; // milliseconds or seconds per sample

// Spectrum level scale: level in dB = value / db_scale + db_offset.
extern double db_scale;
extern double db_offset;

void layout_window(int w);
void draw_window(int w);
void redraw_current();
// The scroll-mode picture of the current window (scroll mode, in the
// editing subsystem): what redraw_current draws while scroll_mode is on.
void redraw_scroll();
void redraw_all();
void redraw_screen();
void select_window(int w);
// Makes w the current window, drawing nothing (the old window's cursor
// position is kept as select_window keeps it): for a caller that redraws
// every window afterwards.
void make_current(int w);
void goto_position(int p);
void draw_range_box(int w);
void move_mark(int letter, int p);
// One channel's trace, width columns from x0, height rows centred on yc.
// With bg >= 0 a trace of strokes (at least two values a column) paints its
// whole rectangle, bg between the strokes, so that no fill need come first.
void plot_trace(const int16_t *first, int n, int stride, int width, int height,
                int x0, int yc, int levels, int zero, int color, int bg = -1);
// A loader storing n mono values from first into window w can hand them,
// in order and as they are stored, to the trace that will first draw them,
// width columns wide (0: none will): the trace then needs no second pass
// over them, the values being gathered while they are still in the
// processor's cache.  The values must not change before the window is
// drawn; end_trace_gather drops what was gathered for w (all when w < 0)
// and not used.
void begin_trace_gather(int w, const int16_t *first, long long n, int width);
void gather_trace_values(int w, const int16_t *v, long long count);
void end_trace_gather(int w);
// The width of the trace redraw_current would draw for window w, the
// current window, now; 0 when it would draw none (hidden, scroll mode).
int load_trace_width(int w);
// The time readout's unit, decimals and time per sample for window w, from
// its length and rate (kept when it has neither).
void set_time_scale(int w);
// The right-hand title text: duration, bandwidth or "No signal".
void title_right_text(int w, char *text, int size);
// Column of sample position p in the current window.
int sample_x(int p);

void draw_cursor();
void show_readout();
