// The six signal windows and their sample storage.
#include "core/state.h"
#include "display/display.h"
#include "screen/screen.h"
#include <cstdlib>
#include <cstring>

signal_window windows[NUM_WINDOWS];
window_view window_views[NUM_WINDOWS];

int cur_win = 1;
int first_vis = 1;
int last_vis = 5;
int num_vis = 5;
int clip_win = 0;
int cursor = 0;
int shown_start = 0;
int shown_end = 0;
int maximized = 0;
int range_box_on = 0;
int info_enabled = 0;
int default_rate = 10000;
int record_len = 10000;
int header_bytes = -1;
int no_header = 0;
int num_files = 0;
char file_names[MAX_FILES][FILE_NAME_LEN];
int graphics_adaptor = -1;
int monochrome = 0;

int alloc_samples(int w, int frames, int channels)
{
  if (frames < 1 || frames > MAX_FRAMES)
    return 0;
  signal_window *sw = &windows[w];
  if (channels < 1) {
    free(sw->samples);
    sw->samples = nullptr;
    return 1;
  }
  // Room for the guard frame; 4 bytes a value so that a window can grow in
  // place for a while without another allocation by its callers.
  size_t bytes = (size_t)(frames + 1) * (size_t)channels * 4;
  int16_t *block = (int16_t *)malloc(bytes);
  if (!block) {
    show_error(" Memory allocation error. ");
    return 0;
  }
  if (sw->samples) {
    long long keep = (long long)(sw->num_samples + 1) * sw->channels;
    long long room = (long long)bytes / 2;
    if (keep > room)
      keep = room;
    if (keep > 0)
      memcpy(block, sw->samples, (size_t)keep * 2);
    free(sw->samples);
  }
  sw->samples = block;
  return 1;
}

void clear_window(int w)
{
  windows[w].num_samples = 0;
  alloc_samples(w, 0, 0);
  draw_cursor();
  reset_marks(w);
  window_views[w].view_start = 0;
  window_views[w].view_end = 0;
  redraw_current();
}

void copy_rates(int dst, int src)
{
  windows[dst].adc_rate = windows[src].adc_rate;
  windows[dst].dac_rate = windows[src].dac_rate;
}

void reset_marks(int w)
{
  for (int i = 0; i < 26; i++)
    windows[w].marks[i] = -1;
  windows[w].marks[MARK_HOME] = 0;
  windows[w].marks[MARK_END] = windows[w].num_samples;
}

void init_window(int w)
{
  window_view *v = &window_views[w];
  v->left = 0;
  v->right = (int16_t)(scr_width - 1);
  v->view_start = -1;
  v->view_end = -1;

  signal_window *sw = &windows[w];
  strcpy(sw->name, w == clip_win ? "[clip]" : "");
  sw->time_exp = sw->min_value = sw->max_value = 0;
  free(sw->samples); // only start-up and tests reset a window; never leak its block
  sw->samples = nullptr;
  sw->zero_level = sw->adc_bits = 0;
  sw->num_samples = 0;
  sw->created = 0;
  sw->adc_rate = sw->dac_rate = default_rate;
  for (int i = 0; i < 26; i++)
    sw->marks[i] = -1;
  sw->marks[MARK_HOME] = sw->marks[MARK_END] = sw->marks[MARK_CURSOR] = 0;
}

void init_windows()
{
  clip_win = 0;
  first_vis = 1;
  last_vis = 5;
  num_vis = 5;
  cur_win = 1;
  for (int w = 0; w < NUM_WINDOWS; w++)
    init_window(w);
}

void free_all_samples()
{
  for (int w = 0; w < NUM_WINDOWS; w++) {
    free(windows[w].samples);
    windows[w].samples = nullptr;
  }
}
