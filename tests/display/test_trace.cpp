// Waveform strokes pinned pixel by pixel against a reference computed here
// straight from the drawing rules: one stroke a column, each covering the
// values of the column before it and the first value of its own.
#include "display/display.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

enum { BG = 1, INK = 15 };

struct trace_case {
  int n, stride, width, height, levels, zero;
};

// Vertical place of a value: `zero` at yc, larger values higher, limited to
// the band.
int ref_y(int v, const trace_case &t, int yc)
{
  long long L = t.levels - 1, H = t.height - 1;
  long long y = yc + (H * t.zero) / L - (v * H) / L;
  return (int)std::clamp<long long>(y, yc - t.height / 2, yc + t.height / 2);
}

// The picture of the band: the walk over the values, a stroke drawn in the
// column of the value that ends it.
std::vector<int> reference(const std::vector<int16_t> &v, const trace_case &t, int x0, int yc,
                           int left, int top, int w, int h)
{
  std::vector<int> img((size_t)w * h, BG);
  auto column = [&](long long i) { return (int)(i * t.width / t.n); };
  auto stroke = [&](int col, int lo, int hi) {
    for (int y = ref_y(hi, t, yc); y <= ref_y(lo, t, yc); y++)
      img[(size_t)(y - top) * w + (x0 + col - left)] = INK;
  };
  int lo = v[0], hi = v[0], began = column(0);
  for (int i = 1; i < t.n; i++) {
    int x = v[(size_t)i * t.stride];
    lo = std::min(lo, x);
    hi = std::max(hi, x);
    if (column(i) != began) {
      stroke(column(i), lo, hi);
      lo = hi = x;
      began = column(i);
    }
  }
  stroke(column(t.n - 1), lo, hi);
  return img;
}

class TracePixels : public ::testing::Test {
protected:
  void SetUp() override
  {
    scr_width = 800;
    scr_height = 600;
    ASSERT_TRUE(headless_start(scr_width, scr_height));
    prepare_surface();
  }

  // Draws the values with plot_trace and compares the band and a pixel
  // around it with the reference.
  void check(const std::vector<int16_t> &v, const trace_case &t)
  {
    int x0 = 3, yc = 200;
    int left = x0 - 1, top = yc - t.height / 2 - 1, w = t.width + 2, h = t.height + 2;
    fill_rect(left, top, left + w - 1, top + h - 1, BG);
    plot_trace(v.data(), t.n, t.stride, t.width, t.height, x0, yc, t.levels, t.zero, INK);
    std::vector<int> want = reference(v, t, x0, yc, left, top, w, h);
    int wrong = 0;
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++)
        wrong += back_buffer[(size_t)(top + y) * scr_width + left + x] != palette[want[(size_t)y * w + x]];
    EXPECT_EQ(wrong, 0) << "pixels differing from the reference";
  }
};

std::vector<int16_t> noise(size_t count, int amplitude, int offset)
{
  std::vector<int16_t> v(count);
  uint32_t s = 2024;
  for (auto &x : v) {
    s = s * 1664525u + 1013904223u;
    x = (int16_t)((int)(s >> 16) % (2 * amplitude + 1) - amplitude + offset);
  }
  return v;
}

TEST_F(TracePixels, ReferenceScaleMatchesTheSixteenBitBand)
{
  trace_case t = {1, 1, 1, 101, 65536, 0};
  EXPECT_EQ(ref_y(0, t, 200), 200);
  EXPECT_EQ(ref_y(32767, t, 200), 151);
  EXPECT_EQ(ref_y(-32768, t, 200), 250);
}

TEST_F(TracePixels, TenValuesAColumn)
{
  check(noise(1000, 32767, 0), {1000, 1, 100, 101, 65536, 0});
}

TEST_F(TracePixels, UnevenValuesPerColumnAndALongTrace)
{
  check(noise(1049, 20000, 0), {1049, 1, 97, 81, 65536, 0});
  check(noise(1048576, 32767, 0), {1048576, 1, 794, 90, 65536, 0});
}

TEST_F(TracePixels, SecondOfTwoInterleavedChannels)
{
  std::vector<int16_t> v = noise(2 * 3001, 30000, 0);
  check(std::vector<int16_t>(v.begin() + 1, v.end()), {3000, 2, 150, 61, 65536, 0});
}

TEST_F(TracePixels, EightBitValuesAroundTheirZeroAndBeyondTheBand)
{
  check(noise(640, 200, 128), {640, 1, 64, 41, 256, 128});
}

} // namespace
