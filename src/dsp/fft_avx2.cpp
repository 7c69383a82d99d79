// fft_real's kernel for processors with AVX2 and FMA: a self-sorting
// (Stockham) radix-4 complex FFT and the real split step, in vectors of eight
// floats. Every function carries the AVX2 target itself, so the file builds
// with the same flags as the rest and fft_real calls it only after checking
// the processor.
//
// Complex values live in split form, real parts in one array and imaginary
// parts in another. Each radix-4 pass reads one buffer and writes the other
// with its outputs already in their final order, so no bit-reversal pass is
// needed. The pass of stride s works on blocks of n = h/s points:
//   y[q + s(4p + k)] = w^(kp) * sum over r of (-i)^(kr) x[q + s(p + r n/4)]
// with w = e^(-2 pi i / n), for p < n/4, q < s and k, r = 0..3.
//
// The first two passes have strides 1 and 4, narrower than a vector: they run
// along p and put the outputs in place with shuffles. The first one also reads
// the caller's interleaved buffer directly. The split step reads the last
// pass's output and writes the packed spectrum back into the caller's buffer.
#include "dsp/dsp.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cmath>
#include <immintrin.h>

#define KFN static inline __attribute__((always_inline, target("avx2,fma")))
#define MADD(a, b, c) ((v8sf)_mm256_fmadd_ps(a, b, c))
#define MSUB(a, b, c) ((v8sf)_mm256_fmsub_ps(a, b, c))

static const double two_pi = 6.283185307179586;

// Eight floats, and the same at any float address.
typedef float v8sf __attribute__((vector_size(32)));
typedef float v8sf_unaligned __attribute__((vector_size(32), aligned(4), may_alias));
#define LOAD8(p) ((v8sf)*(const v8sf_unaligned *)(p))
#define STORE8(p, v) (*(v8sf_unaligned *)(p) = (v))
#define REVERSE8(a) __builtin_shufflevector(a, a, 7, 6, 5, 4, 3, 2, 1, 0)

enum {
  STOCK_MIN_LOG = 5,  // shortest complex length for the self-sorting FFT: 64 real points
  STOCK_LOG = 19,     // longest: 2^20 real points
};

// The twiddles for complex length h = 2^L at offset 5 * (2^L - 2^STOCK_MIN_LOG),
// computed in double and rounded, in the order the passes read them: about
// 4.2 h floats. And the scratch arrays the passes work in.
static float stock_table[5L << (STOCK_LOG + 1)];
static bool stock_ready[STOCK_LOG + 1];
static float stock_scratch[4L << STOCK_LOG] __attribute__((aligned(64)));

// Writes the three twiddles w^(kp), k = 1..3, w = e^(-2 pi i / n), as the
// pairs (re, im) at out[0], out[step], ..., out[5 * step].
static void fill_stock_triple(float *out, long step, long p, long n)
{
  for (int k = 1; k <= 3; k++) {
    double angle = two_pi * (double)(k * p) / (double)n;
    out[(2 * k - 2) * step] = (float)cos(angle);
    out[(2 * k - 1) * step] = (float)-sin(angle);
  }
}

static const float *stockham_twiddles(int L)
{
  long h = 1L << L;
  float *start = stock_table + 5 * (h - (1L << STOCK_MIN_LOG)), *t = start;
  if (stock_ready[L])
    return start;
  for (long p = 0; p < h / 4; p++) // stride 1: per eight p, six vectors
    fill_stock_triple(t + 48 * (p / 8) + p % 8, 8, p, h);
  t += 3 * h / 2;
  for (long p = 0; p < h / 16; p++) // stride 4: per two p, six vectors of 4 + 4
    for (int copy = 0; copy < 4; copy++)
      fill_stock_triple(t + 48 * (p / 2) + 4 * (p % 2) + copy, 8, p, h / 4);
  t += 3 * h / 2;
  for (long s = 16; 4 * s <= h; s *= 4) { // wider strides: six floats per p
    for (long p = 0; p < h / s / 4; p++)
      fill_stock_triple(t + 6 * p, 1, p, h / s);
    t += 6 * (h / s / 4);
  }
  for (long k = 1; k <= h / 2; k++) { // split step: per eight k, cosines, sines
    double angle = two_pi * (double)k / (double)(2 * h);
    float *at = t + 16 * ((k - 1) / 8) + (k - 1) % 8;
    at[0] = (float)cos(angle);
    at[8] = (float)sin(angle);
  }
  stock_ready[L] = true;
  return start;
}

// Radix-4 butterfly on eight values at a time: inputs a, b, c, d (re, im),
// outputs y0..y3 with y1..y3 multiplied by twiddles w1..w3 (re, im).
KFN void butterfly(v8sf *y, const v8sf *x, const v8sf *w)
{
  v8sf ar = x[0], ai = x[1], br = x[2], bi = x[3], cr = x[4], ci = x[5], dr = x[6], di = x[7];
  v8sf apc_r = ar + cr, apc_i = ai + ci, amc_r = ar - cr, amc_i = ai - ci;
  v8sf bpd_r = br + dr, bpd_i = bi + di, bmd_r = br - dr, bmd_i = bi - di;
  y[0] = apc_r + bpd_r;
  y[1] = apc_i + bpd_i;
  v8sf t2r = apc_r - bpd_r, t2i = apc_i - bpd_i;
  v8sf t1r = amc_r + bmd_i, t1i = amc_i - bmd_r; // (a - c) - i(b - d)
  v8sf t3r = amc_r - bmd_i, t3i = amc_i + bmd_r; // (a - c) + i(b - d)
  y[2] = MSUB(t1r, w[0], t1i * w[1]);
  y[3] = MADD(t1r, w[1], t1i * w[0]);
  y[4] = MSUB(t2r, w[2], t2i * w[3]);
  y[5] = MADD(t2r, w[3], t2i * w[2]);
  y[6] = MSUB(t3r, w[4], t3i * w[5]);
  y[7] = MADD(t3r, w[5], t3i * w[4]);
}

// Stores out[4p + k] for p = 0..7 from y[2k] (p in the lanes): a 4 x 8 transpose.
KFN void store_transposed(float *out, const v8sf *y)
{
  v8sf y0 = y[0], y1 = y[2], y2 = y[4], y3 = y[6];
  v8sf u0 = __builtin_shufflevector(y0, y1, 0, 8, 1, 9, 4, 12, 5, 13);
  v8sf u1 = __builtin_shufflevector(y0, y1, 2, 10, 3, 11, 6, 14, 7, 15);
  v8sf u2 = __builtin_shufflevector(y2, y3, 0, 8, 1, 9, 4, 12, 5, 13);
  v8sf u3 = __builtin_shufflevector(y2, y3, 2, 10, 3, 11, 6, 14, 7, 15);
  v8sf v0 = __builtin_shufflevector(u0, u2, 0, 1, 8, 9, 4, 5, 12, 13); // p 0 | 4
  v8sf v1 = __builtin_shufflevector(u0, u2, 2, 3, 10, 11, 6, 7, 14, 15); // p 1 | 5
  v8sf v2 = __builtin_shufflevector(u1, u3, 0, 1, 8, 9, 4, 5, 12, 13); // p 2 | 6
  v8sf v3 = __builtin_shufflevector(u1, u3, 2, 3, 10, 11, 6, 7, 14, 15); // p 3 | 7
  STORE8(out, __builtin_shufflevector(v0, v1, 0, 1, 2, 3, 8, 9, 10, 11));
  STORE8(out + 8, __builtin_shufflevector(v2, v3, 0, 1, 2, 3, 8, 9, 10, 11));
  STORE8(out + 16, __builtin_shufflevector(v0, v1, 4, 5, 6, 7, 12, 13, 14, 15));
  STORE8(out + 24, __builtin_shufflevector(v2, v3, 4, 5, 6, 7, 12, 13, 14, 15));
}

// Eight interleaved complex values at z as real and imaginary parts.
KFN void load_interleaved(const float *z, v8sf *re, v8sf *im)
{
  v8sf lo = LOAD8(z), hi = LOAD8(z + 8);
  *re = __builtin_shufflevector(lo, hi, 0, 2, 4, 6, 8, 10, 12, 14);
  *im = __builtin_shufflevector(lo, hi, 1, 3, 5, 7, 9, 11, 13, 15);
}

// Pass of stride 1 over the h complex values interleaved in b, into yr, yi.
// Twiddles: per eight p, the vectors w1 re, w1 im, w2 re, ..., w3 im.
KFN void pass_first(const float *b, float *yr, float *yi, long h, const float *tw)
{
  long m = h / 4;
  for (long p = 0; p < m; p += 8, tw += 48) {
    v8sf x[8], w[6], y[8];
    for (int r = 0; r < 4; r++)
      load_interleaved(b + 2 * (p + r * m), x + 2 * r, x + 2 * r + 1);
    for (int k = 0; k < 6; k++)
      w[k] = LOAD8(tw + 8 * k);
    butterfly(y, x, w);
    store_transposed(yr + 4 * p, y);
    store_transposed(yi + 4 * p, y + 1);
  }
}

// out[16p + 4k + q] for q < 4 and p, p+1 from y[2k] = (p: q 0..3 | p+1: q 0..3).
KFN void store_quads(float *out, const v8sf *y)
{
  v8sf y0 = y[0], y1 = y[2], y2 = y[4], y3 = y[6];
  STORE8(out, __builtin_shufflevector(y0, y1, 0, 1, 2, 3, 8, 9, 10, 11));
  STORE8(out + 8, __builtin_shufflevector(y2, y3, 0, 1, 2, 3, 8, 9, 10, 11));
  STORE8(out + 16, __builtin_shufflevector(y0, y1, 4, 5, 6, 7, 12, 13, 14, 15));
  STORE8(out + 24, __builtin_shufflevector(y2, y3, 4, 5, 6, 7, 12, 13, 14, 15));
}

// Pass of stride 4 (blocks of n = h/4). Twiddles: per two p, six vectors whose
// lanes hold four copies of the value for p, then four for p + 1.
KFN void pass_second(const float *xr, const float *xi, float *yr, float *yi, long h,
                            const float *tw)
{
  long m = h / 16;
  for (long p = 0; p < m; p += 2, tw += 48) {
    v8sf x[8], w[6], y[8];
    for (int k = 0; k < 6; k++)
      w[k] = LOAD8(tw + 8 * k);
    for (int r = 0; r < 4; r++) {
      x[2 * r] = LOAD8(xr + 4 * p + r * 4 * m);
      x[2 * r + 1] = LOAD8(xi + 4 * p + r * 4 * m);
    }
    butterfly(y, x, w);
    store_quads(yr + 16 * p, y);
    store_quads(yi + 16 * p, y + 1);
  }
}

// Pass of stride s >= 8 (blocks of n = h/s), vectors along q. Twiddles: six
// floats per p.
KFN void pass_wide(const float *xr, const float *xi, float *yr, float *yi, long h, long s,
                          const float *tw)
{
  long m = h / s / 4, quarter = s * m;
  for (long p = 0; p < m; p++, tw += 6) {
    v8sf x[8], w[6], y[8];
    for (int k = 0; k < 6; k++)
      w[k] = (v8sf){} + tw[k];
    const float *ar = xr + s * p, *ai = xi + s * p;
    float *outr = yr + 4 * s * p, *outi = yi + 4 * s * p;
    for (long q = 0; q < s; q += 8) {
      for (int r = 0; r < 4; r++) {
        x[2 * r] = LOAD8(ar + q + r * quarter);
        x[2 * r + 1] = LOAD8(ai + q + r * quarter);
      }
      butterfly(y, x, w);
      for (int k = 0; k < 4; k++) {
        STORE8(outr + k * s + q, y[2 * k]);
        STORE8(outi + k * s + q, y[2 * k + 1]);
      }
    }
  }
}

// The last pass when blocks have two values: sum and difference, stride h/2.
KFN void pass_radix2(const float *xr, const float *xi, float *yr, float *yi, long h)
{
  long s = h / 2;
  for (long q = 0; q < s; q += 8) {
    v8sf ar = LOAD8(xr + q), ai = LOAD8(xi + q), br = LOAD8(xr + q + s), bi = LOAD8(xi + q + s);
    STORE8(yr + q, ar + br);
    STORE8(yi + q, ai + bi);
    STORE8(yr + q + s, ar - br);
    STORE8(yi + q + s, ai - bi);
  }
}

// Interleaves re and im into 16 floats at out.
KFN void store_interleaved(float *out, const v8sf &re, const v8sf &im)
{
  STORE8(out, __builtin_shufflevector(re, im, 0, 8, 1, 9, 2, 10, 3, 11));
  STORE8(out + 8, __builtin_shufflevector(re, im, 4, 12, 5, 13, 6, 14, 7, 15));
}

// The split step of split_real (fft.cpp) from Z in split form into the packed
// spectrum in b, for bins k = 1..h/2 eight at a time, each with its mirror h-k.
// Bin h/2 is its own mirror and is written twice, the same up to rounding.
// Twiddles: per eight k, cos(2 pi k / n) then sin(2 pi k / n).
KFN void split_out(const float *zr, const float *zi, float *b, long h, const float *tw)
{
  const v8sf half = (v8sf){} + 0.5f;
  for (long k = 1; k <= h / 2; k += 8, tw += 16) {
    long m = h - k - 7;
    v8sf kr = LOAD8(zr + k), ki = LOAD8(zi + k), mr = LOAD8(zr + m), mi = LOAD8(zi + m);
    mr = REVERSE8(mr);
    mi = REVERSE8(mi);
    v8sf er = half * (kr + mr), ei = half * (ki - mi);
    v8sf or_ = half * (ki + mi), oi = half * (mr - kr);
    v8sf c = LOAD8(tw), s = LOAD8(tw + 8);
    v8sf tr = MADD(or_, c, oi * s), ti = MSUB(oi, c, or_ * s);
    store_interleaved(b + 2 * k, er + tr, ei + ti);
    v8sf xr = er - tr, xi = ti - ei;
    store_interleaved(b + 2 * m, REVERSE8(xr), REVERSE8(xi));
  }
}

// The packed spectrum of the n = 2h real values in b, h = 2^log >= 32, with
// the twiddles of table (laid out by stockham_twiddles) and four scratch
// arrays of h floats.
__attribute__((target("avx2,fma"))) static void fft_stockham(float *b, long h, const float *table, float *scratch)
{
  float *xr = scratch, *xi = scratch + h, *yr = scratch + 2 * h, *yi = scratch + 3 * h;
  pass_first(b, xr, xi, h, table);
  table += 3 * h / 2;
  pass_second(xr, xi, yr, yi, h, table);
  table += 3 * h / 2;
  long s = 16;
  for (; 4 * s <= h; s *= 4) {
    float *t;
    pass_wide(yr, yi, xr, xi, h, s, table);
    table += 6 * (h / s / 4);
    t = xr, xr = yr, yr = t;
    t = xi, xi = yi, yi = t;
  }
  if (2 * s == h) {
    pass_radix2(yr, yi, xr, xi, h);
    float *t;
    t = xr, xr = yr, yr = t;
    t = xi, xi = yi, yi = t;
  }
  b[0] = yr[0] + yi[0]; // DC
  b[1] = yr[0] - yi[0]; // Nyquist
  split_out(yr, yi, b, h, table);
}

int fft_real_avx2(float *b, int log)
{
  if (log - 1 < STOCK_MIN_LOG || log - 1 > STOCK_LOG)
    return 1;
  fft_stockham(b, 1L << (log - 1), stockham_twiddles(log - 1), stock_scratch);
  return 0;
}
#endif
