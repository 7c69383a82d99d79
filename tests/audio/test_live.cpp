// The live displays' drawing: the peak bar and the twelve tube sections,
// pixel by pixel where their rules pin them down (800 x 600 screen).
#include "audio/audio.h"
#include "audio/device.h"
#include "support/support.h"
#include <cmath>

namespace {

typedef ScreenTest Live;

// A full-scale block fills the bar to within a row of its top (rows 1..449);
// the bar grows in the wave colour and shrinks back in the plot colour.
TEST_F(Live, PeakBarFollowsTheBlocksPeak)
{
  struct { int value, peak, y; } rows[] = {
    {32767, 2047, 2}, {-32768, 2048, 1}, {1600, 100, 428}, {-15, 0, 449}, {0, 0, 449},
  };
  init_iod(); // a 16-bit device
  int prev = 449;
  fill_rect(8, 1, 188, 449, plot_color);
  for (auto r : rows) {
    std::vector<int16_t> block(LIVE_BLOCK, 0);
    block[300] = (int16_t)r.value;
    int peak = block_peak(block.data(), LIVE_BLOCK);
    EXPECT_EQ(peak, r.peak) << r.value;
    draw_peak_bar(peak, 8, 188, 1, 449, &prev);
    EXPECT_EQ(prev, r.y);
    // The bar shows from below row y when it shrank, from row y when it grew.
    if (r.y > 1)
      expect_pixels({{8, r.y - 1, plot_color}, {188, r.y - 1, plot_color}});
    if (r.y < 449)
      expect_pixels({{8, r.y + 1, wave_color}, {188, r.y + 1, wave_color}});
  }
}

TEST_F(Live, TubeAreasFromReflectionCoefficients)
{
  struct { int at; float k, first, last; int usable; } rows[] = {
    {0, 0, 1, 1, 1}, {11, 0.5f, 3, 3, 1}, {0, -0.5f, 1, 1 / 3.0f, 1}, {0, 1, 1, INFINITY, 0}, {11, -1, 0, 0, 0},
  };
  for (auto r : rows) {
    float k[TUBE_SECTIONS] = {}, area[TUBE_SECTIONS] = {};
    k[r.at] = r.k;
    EXPECT_EQ(tube_areas(k, area), r.usable) << r.at << " " << r.k;
    EXPECT_EQ(std::vector<float>({area[0], area[11]}), std::vector<float>({r.first, r.last})) << r.k;
  }
}

// Sections 49 pixels wide from x 206 hang from row 1 of a 450-row panel,
// starting 46 deep; a flat profile reaches a quarter of the panel, a
// profile with one wide section takes that section to the bottom.
TEST_F(Live, SectionsHangAsDeepAsTheirAreas)
{
  tube_panel t;
  draw_panels(&t);
  EXPECT_EQ(std::vector<int>({t.yb, t.ytop, t.xs, t.cw}), std::vector<int>({450, 1, 206, 49}));
  expect_pixels({{206, 46, wave_color}, {206, 47, plot_color}, {793, 46, wave_color}, {794, 46, plot_color}});
  float flat[TUBE_SECTIONS], wide[TUBE_SECTIONS];
  std::fill(flat, flat + TUBE_SECTIONS, 1.0f);
  std::fill(wide, wide + TUBE_SECTIONS, 1.0f);
  wide[3] = 100;
  struct { const float *area; int x, depth; } rows[] = {
    {flat, 206, 113}, {flat, 745, 113}, {wide, 206 + 3 * 49, 448}, {wide, 206, 5}, {wide, 206, 5},
  };
  for (auto r : rows) {
    draw_sections(&t, r.area);
    expect_pixels({{r.x, r.depth, wave_color}, {r.x + 48, r.depth, wave_color}, {r.x, r.depth + 1, plot_color}});
  }
}

} // namespace
