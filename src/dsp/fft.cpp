// The real FFT. n real samples are read as n/2 complex values (even samples the
// real parts, odd samples the imaginary parts), transformed by a complex FFT,
// and a split step then separates the spectra of the even and the odd samples
// into the spectrum of the real signal.
//
// Two complex FFTs do the work. On processors with AVX2 and FMA, lengths from
// 64 to 2^20 go to a self-sorting radix-4 FFT in vectors of eight floats
// (fft_avx2.cpp). Other lengths and processors use the in-place radix-4
// decimation-in-frequency FFT below, in vectors of four floats (SSE2 on
// x86-64), with a bit-reversal pass.
//
// That one runs depth first: one radix-4 pass over a long block, then each
// quarter on its own, so that once a quarter fits in the cache all its
// remaining passes stay there. Short blocks finish pass by pass.
//
// Twiddle factors are computed in double, rounded to float and kept in static
// tables filled the first time a length needs them, for complex lengths up to
// 2^TABLE_LOG. Longer transforms compute theirs as they go: slow, but they need
// no storage.
#include "dsp/dsp.h"

#include <cmath>
#include <cstring>

enum {
  TABLE_LOG = 19, // longest complex length with cached twiddles: real transforms of 2^20
  BLOCK_LOG = 11, // blocks of 2^11 complex values (16 KB) are finished pass by pass
};

static const double two_pi = 6.283185307179586;

// Two complex values, real and imaginary parts interleaved as in the buffer.
typedef float v4sf __attribute__((vector_size(16)));

// The buffer is only float-aligned, so vectors go through memcpy (an unaligned move).
static inline v4sf load4(const float *p)
{
  v4sf v;
  memcpy(&v, p, sizeof v);
  return v;
}

static inline void store4(float *p, v4sf v) { memcpy(p, &v, sizeof v); }

static inline v4sf swap_re_im(v4sf a) { return __builtin_shufflevector(a, a, 1, 0, 3, 2); }
// Swaps the two complex values of a vector.
static inline v4sf swap_pairs(v4sf a) { return __builtin_shufflevector(a, a, 2, 3, 0, 1); }

// a times w for two complex values, with wr = (c0, c0, c1, c1) and
// wi = (-s0, s0, -s1, s1) for w = c + i*s.
static inline v4sf cmul(v4sf a, v4sf wr, v4sf wi) { return a * wr + swap_re_im(a) * wi; }

// a times -i: (re, im) becomes (im, -re).
static inline v4sf mul_minus_i(v4sf a) { return swap_re_im(a) * (v4sf){1, -1, 1, -1}; }

// Radix-4 twiddles of complex length L = 2^s, s = 3..TABLE_LOG, at offset
// 3 * (2^s - 4): for each pair j, j+1 < L/4, the vectors of w^j, w^2j and w^3j
// (w = e^(-2 pi i / L)) in the wr, wi form of cmul, 24 floats in all.
static float radix4_table[3 * (1L << (TABLE_LOG + 1))];
static bool radix4_ready[TABLE_LOG + 1];

// Split-step twiddles of real length n = 2^t, t = 3..TABLE_LOG+1, at offset 2^t:
// for each pair k, k+1 (k odd, k < n/4) the vectors (c_k, c_k, c_k+1, c_k+1) and
// (s_k, -s_k, s_k+1, -s_k+1), c and s the cosine and sine of 2 pi k / n.
static float split_table[1L << (TABLE_LOG + 2)];
static bool split_ready[TABLE_LOG + 2];

// Writes the 24 floats of twiddle pair j, j+1 of complex length L.
static void fill_radix4_pair(float *out, long j, long L)
{
  for (int power = 1; power <= 3; power++) {
    float *wr = out + 8 * (power - 1), *wi = wr + 4;
    for (int h = 0; h < 2; h++) {
      double angle = two_pi * (double)(power * (j + h)) / (double)L;
      float c = (float)cos(angle), s = (float)sin(angle);
      wr[2 * h] = c;
      wr[2 * h + 1] = c;
      wi[2 * h] = s;
      wi[2 * h + 1] = -s;
    }
  }
}

// The radix-4 table of complex length 2^s, or null when it is too long to keep.
static const float *radix4_twiddles(int s)
{
  if (s > TABLE_LOG)
    return nullptr;
  float *t = radix4_table + 3 * ((1L << s) - 4);
  if (!radix4_ready[s]) {
    long L = 1L << s;
    for (long j = 0; j < L / 4; j += 2)
      fill_radix4_pair(t + 12 * j, j, L);
    radix4_ready[s] = true;
  }
  return t;
}

// Writes the 8 floats of split-step twiddle pair k, k+1 of real length n.
static void fill_split_pair(float *out, long k, long n)
{
  for (int h = 0; h < 2; h++) {
    double angle = two_pi * (double)(k + h) / (double)n;
    float c = (float)cos(angle), s = (float)sin(angle);
    out[2 * h] = c;
    out[2 * h + 1] = c;
    out[4 + 2 * h] = s;
    out[4 + 2 * h + 1] = -s;
  }
}

// The split-step table of real length 2^t, or null when it is too long to keep.
static const float *split_twiddles(int t)
{
  if (t > TABLE_LOG + 1)
    return nullptr;
  float *tab = split_table + (1L << t);
  if (!split_ready[t]) {
    long n = 1L << t;
    for (long k = 1; k < n / 4; k += 2)
      fill_split_pair(tab + 4 * (k - 1), k, n);
    split_ready[t] = true;
  }
  return tab;
}

// One radix-4 pass over a block of L >= 8 complex values with q = L/4: the four
// quarters are combined and the results multiplied by their twiddles. Outputs
// go to the quarters in the order 0, 2, 1, 3 of their frequency residue, so that
// the passes together leave the spectrum in bit-reversed order.
static void radix4_pass(float *z, long L, const float *table)
{
  long q = L / 4;
  float *z1 = z + 2 * q, *z2 = z + 4 * q, *z3 = z + 6 * q;
  float computed[24];
  for (long j = 0; j < q; j += 2) {
    const float *w = table ? table + 12 * j : computed;
    if (!table)
      fill_radix4_pair(computed, j, L);
    v4sf a0 = load4(z + 2 * j), a1 = load4(z1 + 2 * j);
    v4sf a2 = load4(z2 + 2 * j), a3 = load4(z3 + 2 * j);
    v4sf t0 = a0 + a2, t1 = a0 - a2;
    v4sf t2 = a1 + a3, t3 = mul_minus_i(a1 - a3);
    store4(z + 2 * j, t0 + t2);
    store4(z1 + 2 * j, cmul(t0 - t2, load4(w + 8), load4(w + 12)));
    store4(z2 + 2 * j, cmul(t1 + t3, load4(w), load4(w + 4)));
    store4(z3 + 2 * j, cmul(t1 - t3, load4(w + 16), load4(w + 20)));
  }
}

// The last pass when blocks have 4 complex values: a twiddle-free radix-4
// butterfly per block, outputs again in the order 0, 2, 1, 3.
static void last_radix4(float *z, long L)
{
  const v4sf sign = {1, 1, -1, -1};
  for (long b = 0; b < 2 * L; b += 8) {
    v4sf lo = load4(z + b), hi = load4(z + b + 4);
    v4sf sum = lo + hi, diff = lo - hi; // (t0, t2) and (t1, a1 - a3)
    v4sf t0 = __builtin_shufflevector(sum, sum, 0, 1, 0, 1);
    v4sf t2 = __builtin_shufflevector(sum, sum, 2, 3, 2, 3);
    v4sf t1 = __builtin_shufflevector(diff, diff, 0, 1, 0, 1);
    v4sf t3 = mul_minus_i(__builtin_shufflevector(diff, diff, 2, 3, 2, 3));
    store4(z + b, t0 + t2 * sign);
    store4(z + b + 4, t1 + t3 * sign);
  }
}

// The last pass when blocks have 2 complex values: sum and difference.
static void last_radix2(float *z, long L)
{
  const v4sf sign = {1, 1, -1, -1};
  for (long b = 0; b < 2 * L; b += 4) {
    v4sf v = load4(z + b);
    v4sf first = __builtin_shufflevector(v, v, 0, 1, 0, 1);
    v4sf second = __builtin_shufflevector(v, v, 2, 3, 2, 3);
    store4(z + b, first + second * sign);
  }
}

// All passes over a block of L = 2^s complex values, one pass at a time.
static void fft_block(float *z, long L, int s)
{
  for (; s >= 3; s -= 2) {
    long len = 1L << s;
    const float *table = radix4_twiddles(s);
    for (long b = 0; b < L; b += len)
      radix4_pass(z + 2 * b, len, table);
  }
  if (s == 2)
    last_radix4(z, L);
  else if (s == 1)
    last_radix2(z, L);
}

// Complex FFT of L = 2^s values in place, result in bit-reversed order.
static void fft_complex(float *z, long L, int s)
{
  if (s <= BLOCK_LOG) {
    fft_block(z, L, s);
    return;
  }
  radix4_pass(z, L, radix4_twiddles(s));
  for (int quarter = 0; quarter < 4; quarter++)
    fft_complex(z + quarter * (L / 2), L / 4, s - 2);
}

// Puts L = 2^s complex values from bit-reversed into natural order. An index is
// read as (high, middle, low) with b bits at each end; its reverse is
// (rev low, rev middle, rev high). All the values with one middle part form a
// tile of 2^b short rows, and a tile swaps as a whole with the tile of the
// reversed middle part, so every cache line fetched is used in full instead of
// for one value.
static void bit_reverse(float *z, long L, int s)
{
  int b = s / 2 < 3 ? s / 2 : 3;
  int mid_bits = s - 2 * b;
  long rows = 1L << b, mids = 1L << mid_bits;
  int rev_small[8];
  for (int i = 0; i < rows; i++) {
    rev_small[i] = 0;
    for (int bit = 0; bit < b; bit++)
      if (i & (1 << bit))
        rev_small[i] |= 1 << (b - 1 - bit);
  }
  for (long mid = 0; mid < mids; mid++) {
    long mid_rev = 0;
    for (int bit = 0; bit < mid_bits; bit++)
      if (mid & (1L << bit))
        mid_rev |= 1L << (mid_bits - 1 - bit);
    if (mid_rev < mid)
      continue;
    for (long hi = 0; hi < rows; hi++) {
      for (long lo = 0; lo < rows; lo++) {
        long i = (hi << (s - b)) | (mid << b) | lo;
        long j = ((long)rev_small[lo] << (s - b)) | (mid_rev << b) | rev_small[hi];
        if (mid == mid_rev && i >= j)
          continue;
        float re = z[2 * i], im = z[2 * i + 1];
        z[2 * i] = z[2 * j];
        z[2 * i + 1] = z[2 * j + 1];
        z[2 * j] = re;
        z[2 * j + 1] = im;
      }
    }
  }
}

// Turns Z, the transform of z[j] = x[2j] + i x[2j+1] over h = n/2 points, into
// the packed spectrum of x. With E and O the transforms of the even and the odd
// samples, Z[k] = E[k] + i O[k], so E[k] = (Z[k] + conj Z[h-k]) / 2 and
// O[k] = (Z[k] - conj Z[h-k]) / 2i; then X[k] = E[k] + w^k O[k] and
// X[h-k] = conj(E[k] - w^k O[k]) with w = e^(-2 pi i / n). Bins k and k+1 go
// together with h-k and h-k-1; for k+1 = h/2 both ends meet in one value,
// which is then written twice, the same both times.
static void split_real(float *b, long n, const float *table)
{
  const v4sf conj = {1, -1, 1, -1}, half = {0.5f, 0.5f, 0.5f, 0.5f};
  long h = n / 2;
  float z0_re = b[0], z0_im = b[1];
  b[0] = z0_re + z0_im; // DC
  b[1] = z0_re - z0_im; // Nyquist
  if (h == 2) {         // n = 4: X[1] = conj Z[1]
    b[3] = -b[3];
    return;
  }
  float computed[8];
  for (long k = 1; k < h / 2; k += 2) {
    long m = h - k;
    const float *w = table ? table + 4 * (k - 1) : computed;
    if (!table)
      fill_split_pair(computed, k, n);
    v4sf zk = load4(b + 2 * k);
    v4sf zm = swap_pairs(load4(b + 2 * (m - 1)));
    v4sf e = half * (zk + zm * conj);
    v4sf o = half * mul_minus_i(zk - zm * conj);
    v4sf t = cmul(o, load4(w), load4(w + 4));
    store4(b + 2 * k, e + t);
    store4(b + 2 * (m - 1), swap_pairs((e - t) * conj));
  }
}

#if defined(__x86_64__) || defined(__i386__)
static bool has_avx2(void)
{
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}
#else
static bool has_avx2(void) { return false; }
int fft_real_avx2(float *, int) { return 1; }
#endif

// The kernel fft_real uses; -1 until the first transform picks one.
static int fft_kernel = -1;

int fft_select_kernel(int kernel)
{
  if (kernel < 0 || kernel >= FFT_KERNEL_COUNT || (kernel == FFT_KERNEL_AVX2 && !has_avx2()))
    return 1;
  fft_kernel = kernel;
  return 0;
}

int fft_real(float *b, int n)
{
  int m = 0;
  for (int e = 1; e <= FFT_MAX_LOG; e++)
    if (n == (1 << e))
      m = e;
  if (m == 0)
    return 1;
  long h = n / 2;
  if (fft_kernel < 0)
    fft_kernel = has_avx2() ? FFT_KERNEL_AVX2 : FFT_KERNEL_SSE2;
  if (fft_kernel == FFT_KERNEL_AVX2 && fft_real_avx2(b, m) == 0)
    return 0;
  fft_complex(b, h, m - 1);
  bit_reverse(b, h, m - 1);
  split_real(b, n, split_twiddles(m));
  return 0;
}
