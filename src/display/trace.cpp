// Waveform traces: one channel of a window's displayed range, reduced to one
// vertical min/max stroke per pixel column when there are at least two
// values a column, else drawn as connected lines.
#include "core/state.h"
#include "display/display.h"
#include "screen/screen.h"
#include <algorithm>
#include <cstring>

// Vertical position of value v: larger values are higher, `zero` sits at yc.
struct trace_scale {
  long long base, height1, levels1;
  int top, bottom;
  int y(int v) const
  {
    long long y = base - ((long long)v * height1) / levels1;
    return (int)std::clamp<long long>(y, top, bottom);
  }
};

// Widens lo..hi over count values, every stride-th from p.  The plain
// case of one channel is a loop of its own: sixteen 16-bit lanes at a time,
// built for AVX2 and for any processor and chosen when the program starts,
// it runs several times faster.
__attribute__((target_clones("avx2", "default")))
static void widen_range(const int16_t *p, long long count, int stride, int *lo, int *hi)
{
  typedef int16_t lanes16 __attribute__((vector_size(32)));
  int l = *lo, h = *hi;
  long long i = 0;
  if (stride == 1 && count >= 16) {
    lanes16 vl = (lanes16){} + (int16_t)l, vh = (lanes16){} + (int16_t)h;
    for (; i + 16 <= count; i += 16) {
      lanes16 x;
      memcpy(&x, p + i, sizeof x);
      vl = x < vl ? x : vl;
      vh = x > vh ? x : vh;
    }
    for (int k = 0; k < 16; k++) {
      l = std::min(l, (int)vl[k]);
      h = std::max(h, (int)vh[k]);
    }
  }
  for (; i < count; i++) {
    l = std::min(l, (int)p[i * stride]);
    h = std::max(h, (int)p[i * stride]);
  }
  *lo = l;
  *hi = h;
}

void plot_trace(const int16_t *first, int n, int stride, int width, int height,
                int x0, int yc, int levels, int zero, int color)
{
  if (n < 1 || stride < 1 || levels < 2)
    return;
  trace_scale s;
  s.levels1 = levels - 1;
  s.height1 = height - 1;
  s.base = yc + ((long long)s.height1 * zero) / s.levels1;
  s.top = yc - height / 2;
  s.bottom = yc + height / 2;
  auto value = [&](long long i) { return (int)first[i * stride]; };

  if (n == 1) {
    int y = s.y(value(0));
    move_to(x0, y);
    line_to(x0, y, color);
    return;
  }
  if (width >= 1 && (long long)n >= 2LL * width) {
    // Column k holds the values i with i*width/n == k, from
    // b(k) = ceil(k*n/width).  The stroke drawn in column k covers the
    // first value of column k-1 through the first value of column k: each
    // stroke reaches over to its neighbour, so the trace has no gaps.
    auto b = [&](long long k) { return (k * n + width - 1) / width; };
    long long last_col = ((long long)(n - 1) * width) / n;
    for (long long k = 1; k <= last_col + 1; k++) {
      long long from = b(k - 1);
      long long to = k <= last_col ? b(k) : n - 1;
      int lo = value(from), hi = lo;
      if (to > from)
        widen_range(first + (from + 1) * stride, to - from, stride, &lo, &hi);
      int x = x0 + (int)std::min(k, last_col);
      fill_rect(x, s.y(hi), x, s.y(lo), color);
    }
    return;
  }
  move_to(x0, s.y(value(0)));
  for (long long i = 1; i < n; i++)
    line_to(x0 + (int)((i * width) / n), s.y(value(i)), color);
}
