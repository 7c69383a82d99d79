// Linear prediction by the autocorrelation method and the adaptive lattice
// error filter.
#include "dsp/dsp.h"

#include <climits>

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
