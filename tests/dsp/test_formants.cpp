// The formant picker on small spectra worked by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/dsp.h"

// Bins 2..m-3 are scanned; a peak is the vertex of the parabola through it and
// its neighbours, its width where that falls to half the peak level. The place
// after the caller's capacity stays untouched. Peaks of all-pole spectra are
// checked through Calc's formants of synthetic vowels.
TEST(DspFormants, PeaksOfSmallSpectraWithinRangeAndCapacity)
{
  const float w1 = 2 * sqrtf(12812.5f), w2 = 1000 * sqrtf(0.625f), w3 = 200 * sqrtf(0.75f);
  struct { std::vector<float> S; double rate; int capacity; std::vector<float> freq, bw; } small[] = {
    {{0, 1, 4, 5, 2, 0, 0}, 1400, 4, {275}, {w1}}, {{0, 1, 4, 5, 2, 0, 0}, 1400, 0, {}, {}}, {{0, 5}, 10000, 4, {}, {}},
    {{0, 1, 5, 1, 0}, 5000, 4, {1000}, {w2}}, {{0, 9, 1, 1, 1, 1, 9, 0}, 10000, 4, {}, {}},
    {{0, 1, 5, 1, 1, 1, 5, 1, 0}, 9000, 4, {1000, 3000}, {w2, w2}},
    {{1, 1, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1}, 3200, 2, {400, 800}, {w3, w3}}};
  for (auto &row : small) {
    SCOPED_TRACE("m=" + std::to_string(row.S.size()));
    std::vector<float> freq(row.capacity + 1, -1.0f), bw(row.capacity + 1, -1.0f);
    int count = find_formants(row.S.data(), (int)row.S.size(), row.rate, freq.data(), bw.data(), row.capacity);
    ASSERT_EQ(count, (int)row.freq.size());
    for (int i = 0; i < count; i++) {
      EXPECT_FLOAT_EQ(freq[i], row.freq[i]) << "peak " << i;
      EXPECT_NEAR(bw[i], row.bw[i], 1e-3) << "peak " << i;
    }
    EXPECT_EQ(std::pair(freq[row.capacity], bw[row.capacity]), std::pair(-1.0f, -1.0f));
  }
}
