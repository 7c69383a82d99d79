// Analysis frames: offset removal or first difference, then the analysis window.
#include "dsp/dsp.h"

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
    // Hamming has no second cosine: one cos() a sample instead of two.
    double w = c[0] + c[1] * cos(theta);
    if (c[2] != 0.0)
      w += c[2] * cos(2.0 * theta);
    x[i] = (float)(x[i] * w);
  }
}
