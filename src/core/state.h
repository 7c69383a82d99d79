// Program state: the six signal windows, their view records and the
// program-wide variables every command reads and writes (defined in
// state.cpp).
#pragma once
#include <cstdint>

enum {
  NUM_WINDOWS = 6,      // window 0 is the clip window, 1..5 hold signals
  NUM_LETTERS = 26,     // letter marks A..Z
  NUM_MARKS = 32,       // the letter marks, then the reference slots
  MAX_CHANNELS = 8,     // interleaved channels one window can hold
  MAX_FRAMES = 1048576, // frames one window can hold
  NAME_LEN = 41,        // bytes of a window name: 40 characters and the terminator
  MAX_FILES = 5,        // file names taken from the command line
  FILE_NAME_LEN = 256,  // bytes of one command-line file name
};

// Reference slots that follow the letter marks.
enum { MARK_HOME = NUM_LETTERS, MARK_END, MARK_CURSOR, MARK_SELECT, MARK_SELECT1, MARK_SELECT2 };

struct signal_window {
  char name[NAME_LEN];    // title text: file name, "[clip]" or a generated name
  int16_t time_exp;       // log10 of the whole duration in microseconds
  int16_t min_value;      // smallest value, set by guess_format
  int16_t max_value;      // largest value, set by guess_format
  int16_t *samples;       // interleaved frames plus one guard frame; owned
  int32_t capacity;       // 16-bit values the samples block has room for
  int16_t zero_level;     // the value that means silence (0, 128, 2048)
  int16_t adc_bits;       // resolution: 8, 12 or 16
  int32_t num_samples;    // frames; 0 = empty window
  int32_t created;        // creation time, seconds since 1970
  int32_t adc_rate;       // sampling rate in Hz
  int32_t dac_rate;       // playback rate in Hz
  int32_t marks[NUM_MARKS]; // letter marks A..Z, then [Home] [End] [cursor] [select] [select1] [select2]; -1 unset
  int8_t file_type;       // type of the file the signal came from (0..10)
  uint8_t src_type;       // sample code of that file's data
  uint8_t src_flag;       // 1 when that file was in reverse byte order
  uint8_t kind;           // 0 time signal, 1 spectrum
  int8_t channels;        // interleaved channels, 1..8
  int8_t raw_load;        // 1 when the file was loaded as headerless data (Custom_load)
  char path[FILE_NAME_LEN]; // full path of the file the signal came from; empty for none
};

struct window_view {
  int16_t left, top, right, bottom; // the window's band in pixels
  uint16_t split_channels;          // 1 = one band per channel
  int32_t view_start;               // first displayed position; -1 not yet set
  int32_t view_end;                 // last displayed position; -1 not yet set
  int32_t saved_cursor;             // cursor kept while another window is current
};

extern signal_window windows[NUM_WINDOWS]; // the six signal windows
extern window_view window_views[NUM_WINDOWS]; // their view records

extern int cur_win;      // the current window
extern int first_vis;    // first visible window
extern int last_vis;     // last visible window
extern int num_vis;      // visible windows, recomputed by every layout
extern int clip_win;     // number of the clip window (0)
extern int cursor;       // time cursor position in the current window
extern int shown_start;  // displayed range of the current window as last drawn
extern int shown_end;
extern int maximized;    // the current window alone fills the graphics area
extern int range_box_on; // the scroll-range box is shown
extern int info_enabled; // show the information line after a load
extern int default_rate; // rate for new windows and files without one
extern int record_len;   // frames of one recording
// Analysis settings (Set menu and the transform settings).
extern int lpc_order;       // predictor coefficients; < 1: adc_rate / 1000 + 2
extern int lpc_window;      // window type of LPC, Area, Formant and FFT frames
extern int lpc_emphasis;    // first-difference emphasis for those frames
extern int moment_window;   // window type for Moments
extern int moment_emphasis; // emphasis for Moments
extern int fft_mode;        // bit 1: store the spectrum, bit 2: the LPC envelope
extern int fft_pad;         // extra doublings of the transform length
extern int header_bytes; // header size forced by -h; -1 none
extern int no_header;    // -nh: every input file is headerless
extern int num_files;    // names taken from the command line
extern char file_names[MAX_FILES][FILE_NAME_LEN]; // those names
extern int graphics_adaptor; // -g: recorded only
extern int monochrome;       // -m: recorded only

// Sets the window stack to its start: window 1 current, windows 1..5 visible.
void reset_window_stack();
// Gives window w room for frames+1 frames of `channels` values, keeping the
// old contents; channels < 1 releases the block.  1 on success.  A request
// that fits the block the window has is met in place.
int alloc_samples(int w, int frames, int channels);
void clear_window(int w);
void copy_rates(int dst, int src);
void reset_marks(int w);
void init_window(int w);
void init_windows();
// Releases every sample block (shutdown).
void free_all_samples();
