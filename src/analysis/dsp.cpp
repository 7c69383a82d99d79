// Analysis frames, decibel conversions, linear prediction, the lattice error
// filter and the formant picker. The FFT lives in dsp_fft.cpp.
#include "analysis/dsp.h"

#include <climits>
#include <cmath>

void prepare_frame(float *out, const int16_t *s, int n, int zero_level, int emphasis,
                   int window_type)
{
  if (n < 1)
    return;
  if (emphasis) {
    // A first difference lifts the spectrum 6 dB per octave; the zero level cancels.
    out[0] = 0.0f;
    for (int i = 1; i < n; i++)
      out[i] = (float)(s[i] - s[i - 1]);
  } else {
    for (int i = 0; i < n; i++)
      out[i] = (float)(s[i] - zero_level);
  }
  if (window_type > 0)
    apply_window(out, n, window_type);
}

void apply_window(float *x, int n, int window_type)
{
  static const double coef[3][3] = {
      {1.0, 0.0, 0.0},
      {0.53836, 0.46164, 0.0},
      {0.42, 0.5, 0.08},
  };
  if (window_type < 1 || window_type > 2 || n < 1)
    return;
  // A one-sample frame sits at the centre of its window, where every window is 1.0;
  // the phase step below would divide by zero.
  if (n == 1)
    return;
  const double *c = coef[window_type];
  double d = 6.2831853 / (n - 1);
  double centre = (n - 1) * 0.5;
  for (int i = 0; i < n; i++) {
    double theta = (i - centre) * d;
    double w = c[0] + c[1] * cos(theta) + c[2] * cos(2.0 * theta);
    x[i] = (float)(x[i] * w);
  }
}

double to_db(double x)
{
  // Written so that NaN falls to the floor as well.
  if (!(x > 0.0001))
    return -80.0;
  return 20.0 * log10(x);
}

double spectrum_db(float *b, int m)
{
  if (m < 1)
    return 0.0;
  // Bins are written below the positions still to be read, so one pass in place works.
  double nyquist = to_db(b[1]);
  b[0] = (float)to_db(b[0]);
  double sum = (double)b[0] + nyquist;
  for (int k = 1; k < m; k++) {
    b[k] = (float)to_db(hypot((double)b[2 * k], (double)b[2 * k + 1]));
    sum += b[k];
  }
  b[m] = (float)nyquist;
  return sum;
}

void db_to_samples(const float *x, int16_t *out, int count, int first, int stride, double scale,
                   double offset)
{
  for (int i = 0; i < count; i++) {
    double v = floor((x[i] - offset) * scale + 0.5);
    // The negated test sends NaN to the bottom, like to_db's floor.
    if (!(v >= -32768.0))
      v = -32768.0;
    else if (v > 32767.0)
      v = 32767.0;
    out[first + (long)i * stride] = (int16_t)v;
  }
}

// r[L] = sum over j of x[j+L]*x[j] for L = 0..p, each sum accumulated in float in
// increasing j. All lags advance together, so every lag keeps that order of
// additions while the inner loop runs over independent sums and vectorises.
static void autocorrelate(int n, const float *__restrict x, int p, float *__restrict r)
{
  for (int lag = 0; lag <= p; lag++)
    r[lag] = 0.0f;
  for (int j = 0; j < n; j++) {
    int last = p < n - 1 - j ? p : n - 1 - j;
    float xj = x[j];
    const float *xs = x + j;
    for (int lag = 0; lag <= last; lag++)
      r[lag] = r[lag] + xs[lag] * xj;
  }
}

int lpc_autocorr(int n, const float *x, int p, float *a, float *E, float *k, float *r)
{
  if (p < 0)
    p = 0;
  autocorrelate(n, x, p, r);
  a[0] = 1.0f;
  if (!(r[0] > 0.0f))
    return 1;
  if (p == 0) {
    *E = r[0];
    return 0;
  }
  k[0] = -r[1] / r[0];
  a[1] = k[0];
  double err = (double)r[1] * k[0] + r[0];
  *E = (float)err;
  if (p == 1)
    return 0;
  for (int i = 2; i <= p; i++) {
    double s = 0.0;
    for (int j = 0; j < i; j++)
      s += (double)a[j] * r[i - j];
    float ki = (float)(-s / err);
    k[i - 1] = ki;
    // Update the coefficients in symmetric pairs, both taken before either changes.
    for (int j = 1; j <= i / 2; j++) {
      double lo = a[j], hi = a[i - j];
      a[i - j] = (float)(hi + ki * lo);
      a[j] = (float)(lo + ki * hi);
    }
    a[i] = ki;
    err += s * ki;
    *E = (float)err;
    if (!(err > 0.0))
      return 1;
  }
  return 0;
}

int lattice_error(int x, int p, float *state)
{
  if (p < 1)
    return x;
  double f = x;
  float b = state[0];
  state[0] = (float)x;
  for (int j = 1; j <= p; j++) {
    double den = (double)b * b + f * f;
    if (den == 0.0)
      den = 1.0;
    float k = (float)(-2.0 * b * f / den);
    float next = state[j];
    state[j] = (float)(b + k * f);
    f = f + (double)k * b;
    b = next;
  }
  // Each stage keeps f^2 + b^2 from growing, but an int argument near the limits
  // can still leave the range of int by a little.
  if (f >= (double)INT_MAX)
    return INT_MAX;
  if (f <= (double)INT_MIN)
    return INT_MIN;
  return (int)f;
}

int find_formants(const float *S, int m, double rate, float *freq, float *bw, int max_count)
{
  float df = (float)(rate / (2.0 * m));
  float df2 = (float)((double)df * df);
  if (m - 1 <= 3 || max_count < 1)
    return 0;
  int count = 0;
  bool rising = !(S[2] < S[1]);
  for (int i = 3; i <= m - 2; i++) {
    if (!rising) {
      if (S[i] > S[i - 1])
        rising = true;
      continue;
    }
    if (!(S[i] < S[i - 1]))
      continue;
    // Bin i-1 is a peak: fit a parabola through it and its neighbours, then take
    // its vertex and the width where it falls to half the peak level.
    rising = false;
    float c2 = (float)((S[i] - 2.0 * S[i - 1] + S[i - 2]) / (2.0 * df2));
    float c1 = (float)((S[i] - (double)S[i - 2]) / (2.0 * df));
    if (!(c2 < 0.0f))
      continue;
    double peak = S[i - 1] - (double)c1 * c1 / (4.0 * c2);
    double disc = (double)c1 * c1 - 4.0 * c2 * (S[i - 1] - 0.5 * peak);
    if (!(disc >= 0.0))
      continue;
    freq[count] = (float)((i - 1) * (double)df - c1 / (2.0 * c2));
    bw[count] = (float)(-sqrt(disc) / c2);
    if (++count == max_count)
      break;
  }
  return count;
}
