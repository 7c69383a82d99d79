// The formant picker: peaks of a power spectrum, refined by a parabola.
#include "dsp/dsp.h"

#include <cmath>

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
