// The six signal windows and their sample storage.
#include "core/state.h"
#include "display/display.h"
#include "screen/screen.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>

int alloc_samples(int w, int frames, int channels)
{
  if (frames < 1 || frames > MAX_FRAMES)
    return 0;
  signal_window *sw = &windows[w];
  if (channels < 1) {
    free(sw->samples);
    sw->samples = nullptr;
    sw->capacity = 0;
    return 1;
  }
  // Frames, guard frame and contents stay where they are while the block
  // has room: edits that add or remove a few frames cost no copy of the rest.
  long long need = (long long)(frames + 1) * channels;
  if (sw->samples && need <= sw->capacity)
    return 1;
  // A new block gets 4 bytes a value, twice what is asked for, so that the
  // window can grow in place for a while before the next one.
  long long room = need * 2;
  int16_t *block = (int16_t *)malloc((size_t)room * 2);
  if (!block) {
    show_error(" Memory allocation error. ");
    return 0;
  }
  if (sw->samples) {
    long long keep = (long long)(sw->num_samples + 1) * sw->channels;
    keep = std::min({keep, (long long)sw->capacity, room});
    if (keep > 0)
      memcpy(block, sw->samples, (size_t)keep * 2);
    free(sw->samples);
  }
  sw->samples = block;
  sw->capacity = (int32_t)room;
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
  for (int i = 0; i < NUM_LETTERS; i++)
    windows[w].marks[i] = -1;
  windows[w].marks[MARK_HOME] = 0;
  windows[w].marks[MARK_END] = windows[w].num_samples;
}

void init_window(int w)
{
  // Every field starts from zero, so a new or duplicated window inherits
  // nothing (kind, channels, file type, saved cursor) from a closed one.
  free(windows[w].samples);
  memset(&windows[w], 0, sizeof windows[w]);
  memset(&window_views[w], 0, sizeof window_views[w]);

  window_view *v = &window_views[w];
  v->right = (int16_t)(scr_width - 1);
  v->view_start = -1;
  v->view_end = -1;

  signal_window *sw = &windows[w];
  strcpy(sw->name, w == clip_win ? "[clip]" : "");
  sw->adc_rate = sw->dac_rate = default_rate;
  for (int i = 0; i < NUM_LETTERS; i++)
    sw->marks[i] = -1;
  sw->marks[MARK_HOME] = sw->marks[MARK_END] = sw->marks[MARK_CURSOR] = 0;
}

void init_windows()
{
  reset_window_stack();
  for (int w = 0; w < NUM_WINDOWS; w++)
    init_window(w);
}

void free_all_samples()
{
  for (int w = 0; w < NUM_WINDOWS; w++) {
    free(windows[w].samples);
    windows[w].samples = nullptr;
    windows[w].capacity = 0;
  }
}
