// The program-wide variables of state.h, with their start values.  The
// window stack's start values are set by reset_window_stack, which
// init_windows runs at start-up; everything else starts as written here.
#include "core/state.h"

signal_window windows[NUM_WINDOWS];
window_view window_views[NUM_WINDOWS];

int cur_win;
int first_vis;
int last_vis;
int num_vis;
int clip_win;

void reset_window_stack()
{
  clip_win = 0;
  first_vis = 1;
  last_vis = MAX_FILES;
  num_vis = MAX_FILES;
  cur_win = 1;
}

int cursor = 0;
int shown_start = 0;
int shown_end = 0;
int maximized = 0;
int range_box_on = 0;
int info_enabled = 0;
int default_rate = 10000;
int record_len = 10000;
int lpc_order = 0;
int lpc_window = 1; // Hamming
int lpc_emphasis = 1;
int moment_window = 1;
int moment_emphasis = 1;
int fft_mode = 1;
int fft_pad = 1;
int header_bytes = -1;
int no_header = 0;
int num_files = 0;
char file_names[MAX_FILES][FILE_NAME_LEN];
int graphics_adaptor = -1;
int monochrome = 0;
