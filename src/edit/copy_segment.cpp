// Making a window a copy of a stretch of the current one (Duplicate, and the
// clip window's Copy).
#include "core/state.h"
#include "edit/edit.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

void copy_segment(int d, int from, int to)
{
  if (d == cur_win)
    return;
  const signal_window *src = &windows[cur_win];
  int a = mark_position(from), b = mark_position(to);
  if (a < 0 || b < 0)
    return;
  int count = b - a;
  int c = std::clamp<int>(src->channels, 1, MAX_CHANNELS);
  if (!alloc_samples(d, count, c)) // an empty stretch leaves d as it was
    return;
  signal_window *dst = &windows[d];
  memcpy(dst->samples, src->samples + (size_t)a * c, (size_t)count * c * sizeof *src->samples);
  dst->num_samples = count;
  dst->created = (int32_t)time(nullptr);
  dst->channels = (int8_t)c;
  dst->adc_bits = src->adc_bits;
  dst->zero_level = src->zero_level;
  dst->kind = src->kind;
  copy_rates(d, cur_win);
  std::fill_n(dst->samples + (size_t)count * c, c, dst->zero_level);
  snprintf(dst->name, sizeof dst->name, "[copy of w%d(%d:%d)]", cur_win, a, b);
  reset_marks(d);
  window_views[d].view_start = 0;
  window_views[d].view_end = count;
}
