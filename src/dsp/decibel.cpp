// Decibel conversions: single levels, packed spectra, and levels stored as samples.
#include "dsp/dsp.h"

#include <cmath>

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
