// Waveform traces: one channel of a window's displayed range, reduced to one
// vertical min/max stroke per pixel column when there are at least two
// values a column, else drawn as connected lines.
#include "core/state.h"
#include "display/display.h"
#include "screen/screen.h"
#include <algorithm>
#include <cstring>
#include <vector>

// Vertical position of value v: larger values are higher, `zero` sits at yc.
struct trace_scale {
  long long base, height1, levels1;
  int top, bottom;
  // The quotient is taken in double: |v * height1| < 2^31 and levels1 <
  // 2^16, so the correctly rounded quotient lies within 2^-21 of the true
  // one, never across a whole number it does not reach, and truncating it
  // gives the integer division's result without a 64-bit division.
  int y(int v) const
  {
    long long y = base - (long long)((double)((long long)v * height1) / (double)levels1);
    return (int)std::clamp<long long>(y, top, bottom);
  }
};

// Widens lo..hi over count values, every stride-th from p.  The plain
// case of one channel is a loop of its own: sixteen 16-bit lanes at a time
// in two independent pairs of running extremes, built for AVX2 and for any
// processor and chosen when the program starts; it runs several times faster.
__attribute__((target_clones("avx2", "default")))
static void widen_range(const int16_t *p, long long count, int stride, int *lo, int *hi)
{
  typedef int16_t lanes16 __attribute__((vector_size(32)));
  enum { LANES = 16 };
  int l = *lo, h = *hi;
  long long i = 0;
  if (stride == 1 && count >= 2 * LANES) {
    lanes16 vl = (lanes16){} + (int16_t)l, vh = (lanes16){} + (int16_t)h, wl = vl, wh = vh;
    for (; i + 2 * LANES <= count; i += 2 * LANES) {
      lanes16 x, y;
      memcpy(&x, p + i, sizeof x);
      memcpy(&y, p + i + LANES, sizeof y);
      vl = x < vl ? x : vl;
      vh = x > vh ? x : vh;
      wl = y < wl ? y : wl;
      wh = y > wh ? y : wh;
    }
    vl = wl < vl ? wl : vl;
    vh = wh > vh ? wh : vh;
    for (int k = 0; k < LANES; k++) {
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

// The same for one channel on processors with AVX-512: 64 bytes at a time.
__attribute__((target("avx512bw,avx512f")))
static void widen_range_512(const int16_t *p, long long count, int *lo, int *hi)
{
  typedef int16_t lanes16 __attribute__((vector_size(64)));
  enum { LANES = 32 };
  int l = *lo, h = *hi;
  long long i = 0;
  if (count >= LANES) {
    lanes16 vl = (lanes16){} + (int16_t)l, vh = (lanes16){} + (int16_t)h;
    for (; i + LANES <= count; i += LANES) {
      lanes16 x;
      memcpy(&x, p + i, sizeof x);
      vl = x < vl ? x : vl;
      vh = x > vh ? x : vh;
    }
    for (int k = 0; k < LANES; k++) {
      l = std::min(l, (int)vl[k]);
      h = std::max(h, (int)vh[k]);
    }
  }
  for (; i < count; i++) {
    l = std::min(l, (int)p[i]);
    h = std::max(h, (int)p[i]);
  }
  *lo = l;
  *hi = h;
}

static void column_range(const int16_t *p, long long count, int stride, int *lo, int *hi)
{
  static const int wide = (__builtin_cpu_init(), __builtin_cpu_supports("avx512bw"));
  if (stride == 1 && wide)
    widen_range_512(p, count, lo, hi);
  else
    widen_range(p, count, stride, lo, hi);
}

// Column k of a trace of n values over width columns starts at value
// ceil(k*n/width); the last column that holds values is (n-1)*width/n.
static long long column_start(long long k, long long n, int width) { return (k * n + width - 1) / width; }
static long long last_column(long long n, int width) { return (n - 1) * width / n; }

// The first trace of a freshly read mono signal: the extremes of each
// column's values are gathered while the loader stores them, still in the
// processor's cache, rather than in a second pass over the whole signal when
// the window is drawn.  One record per window, so that the start-up can load
// all its files before drawing any; plot_trace takes a record once, for
// exactly those values at that width.
struct gathered_trace {
  int active;
  const int16_t *first;
  long long n, seen; // values expected and stored so far
  int width;
  long long col;     // the column being gathered
  std::vector<int> lo, hi, head; // each column's extremes and first value
};
static gathered_trace gathered[NUM_WINDOWS];

void begin_trace_gather(int w, const int16_t *first, long long n, int width)
{
  if (w < 0 || w >= NUM_WINDOWS)
    return;
  gathered_trace &g = gathered[w];
  g.active = 0;
  if (width < 1 || n < 2LL * width)
    return; // drawn as lines, value by value
  long long columns = last_column(n, width) + 1;
  g.lo.assign(columns, 0);
  g.hi.assign(columns, 0);
  g.head.assign(columns, 0);
  g.first = first;
  g.n = n;
  g.width = width;
  g.seen = 0;
  g.col = 0;
  g.active = 1;
}

void gather_trace_values(int w, const int16_t *v, long long count)
{
  if (w < 0 || w >= NUM_WINDOWS || !gathered[w].active)
    return;
  gathered_trace &g = gathered[w];
  if (v != g.first + g.seen || count > g.n - g.seen) {
    g.active = 0;
    return;
  }
  long long last = last_column(g.n, g.width);
  while (count > 0) {
    long long start = column_start(g.col, g.n, g.width);
    long long end = g.col < last ? column_start(g.col + 1, g.n, g.width) : g.n;
    long long take = std::min(count, end - g.seen);
    if (g.seen == start)
      g.head[g.col] = v[0];
    int lo = g.seen == start ? v[0] : g.lo[g.col];
    int hi = g.seen == start ? v[0] : g.hi[g.col];
    column_range(v, take, 1, &lo, &hi);
    g.lo[g.col] = lo;
    g.hi[g.col] = hi;
    g.seen += take;
    v += take;
    count -= take;
    if (g.seen == end && g.col < last)
      g.col++;
  }
}

void end_trace_gather(int w)
{
  for (int i = 0; i < NUM_WINDOWS; i++)
    if (w < 0 || i == w)
      gathered[i].active = 0;
}

// The record gathered for exactly these values at this width, if any.
static gathered_trace *gathered_for(const int16_t *first, long long n, int stride, int width)
{
  for (gathered_trace &g : gathered)
    if (g.active && g.first == first && g.n == n && g.seen == n && g.width == width && stride == 1)
      return &g;
  return nullptr;
}

void plot_trace(const int16_t *first, int n, int stride, int width, int height,
                int x0, int yc, int levels, int zero, int color, int bg)
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
    // b(k) stepped from b(k-1) without a division: ceil(k*n/width) grows by
    // n/width, and by one more each time the remainder passes width.
    long long step = n / width, extra = n % width, b_next = 0, rem = width - 1;
    long long last_col = last_column(n, width);
    std::vector<int> top(last_col + 1, 0), bottom(last_col + 1, -1);
    gathered_trace *use = gathered_for(first, n, stride, width);
    for (long long k = 1; k <= last_col + 1; k++) {
      long long from = b_next;
      b_next += step;
      rem += extra;
      if (rem >= width) {
        b_next++;
        rem -= width;
      }
      long long to = k <= last_col ? b_next : n - 1;
      int lo, hi;
      if (use) {
        // Column k-1's values, and the first of column k: the signal itself
        // is not read again, so drawing it later finds nothing out of cache.
        lo = use->lo[k - 1];
        hi = use->hi[k - 1];
        if (k <= last_col) {
          lo = std::min(lo, use->head[k]);
          hi = std::max(hi, use->head[k]);
        }
      } else {
        lo = hi = value(from);
        if (to > from)
          column_range(first + (from + 1) * stride, to - from, stride, &lo, &hi);
      }
      // The last two strokes share a column; they share a value, so together
      // they are one stroke.
      long long x = std::min(k, last_col);
      int y_top = s.y(hi), y_bottom = s.y(lo);
      if (top[x] > bottom[x]) {
        top[x] = y_top;
        bottom[x] = y_bottom;
      } else {
        top[x] = std::min(top[x], y_top);
        bottom[x] = std::max(bottom[x], y_bottom);
      }
    }
    if (use)
      use->active = 0;
    fill_columns(x0, (int)last_col + 1, top.data(), bottom.data(), color, bg, s.top, s.bottom);
    return;
  }
  move_to(x0, s.y(value(0)));
  for (long long i = 1; i < n; i++)
    line_to(x0 + (int)((i * width) / n), s.y(value(i)), color);
}
