// The live displays: the input level as a peak bar (Level), and beside it
// the vocal-tract areas of twelve tube sections estimated by linear
// prediction from each block (Area).  Both take blocks of 512 values into
// header_area with the input held open, draw only what changed, and end on
// a key, a failed or silent device, the window closing or Ctrl-C.
#include "audio/audio.h"
#include "audio/device.h"
#include "display/display.h"
#include "dsp/dsp.h"
#include "files/files.h"
#include "screen/screen.h"
#include <algorithm>
#include <cmath>

static_assert(LIVE_BLOCK * sizeof(int16_t) <= HEADER_AREA_SIZE, "a live block fits header_area");

static int16_t *live_block() { return reinterpret_cast<int16_t *>(header_area); }

// A 16-bit device is shown on a 12-bit scale.
int peak_full() { return dev_bits > 12 ? 1 << (dev_bits - 5) : 1 << (dev_bits - 1); }

int block_peak(const int16_t *block, int n)
{
  int peak = 0;
  for (int i = 0; i < n; i++) {
    int d = block[i] - dev_zero;
    peak = std::max(peak, d < 0 ? -d : d);
  }
  return dev_bits > 12 ? peak / 16 : peak;
}

void draw_peak_bar(int peak, int x0, int x1, int top, int bottom, int *prev)
{
  int y = bottom - peak * (bottom - top) / peak_full();
  if (y <= *prev)
    fill_rect(x0, y, x1, *prev, wave_color);
  else
    fill_rect(x0, *prev, x1, y, plot_color);
  paint_dirty();
  *prev = y;
}

int tube_areas(const float *k, float *area)
{
  double a = 1, sum = 0;
  for (int j = 0; j < TUBE_SECTIONS; j++) {
    a *= (1.0 + k[TUBE_SECTIONS - 1 - j]) / (1.0 - k[TUBE_SECTIONS - 1 - j]);
    area[j] = (float)a;
    sum += area[j];
    if (!std::isfinite(area[j]))
      return 0;
  }
  return std::isfinite(sum) && sum > 0;
}

// Readies the devices and holds the input open across the blocks; 0, with
// the windows put back, when the devices cannot be readied.
static int start_live()
{
  int code = init_iod();
  if (code) {
    report_io_error("init_iod", code);
    redraw_screen();
    return 0;
  }
  hold_input(1);
  return 1;
}

// Takes every key left, gives the input up and puts the windows back.
static void end_live()
{
  while (poll_key())
    wait_key();
  hold_input(0);
  redraw_screen();
}

// One block recorded at rate; 1 when the display can go on with it (a whole
// block), 0 on a failed device, Ctrl-C or a closed window.  A short block
// sets *short_block.
static int next_block(int rate, int *short_block)
{
  wave_in_record(live_block(), LIVE_BLOCK, rate);
  *short_block = recorded_frames != LIVE_BLOCK;
  return !dev_failed && !quit_flag;
}

void level_meter()
{
  prepare_surface();
  show_prompt(" ADC Input Level    [ESC to exit]");
  meter_top = 0;
  meter_bottom = graph_bottom - row_height - 1;
  draw_frame(meter_left, 0, meter_right, meter_bottom, frame_color);
  fill_rect(meter_left + 1, 1, meter_right - 1, meter_bottom - 1, plot_color);
  if (!start_live())
    return;
  int prev = meter_bottom - 1, cut;
  // The first block only starts the device.
  if (next_block(windows[cur_win].adc_rate, &cut) && !cut)
    while (next_block(windows[cur_win].adc_rate, &cut) && !cut)
      draw_peak_bar(block_peak(live_block(), LIVE_BLOCK), meter_left + 8, meter_right - 8, 1, meter_bottom - 1,
                    &prev);
  end_live();
}

void draw_panels(tube_panel *t)
{
  int w = scr_width, h = scr_height;
  t->yb = h / 4 + h / 2;
  draw_frame(w / 4, 0, w - 1, t->yb, frame_color);
  fill_rect(w / 4 + 1, 1, w - 2, t->yb - 1, plot_color);
  t->cw = (w - 1 - w / 4) / TUBE_SECTIONS;
  t->xs = (w - 1 - TUBE_SECTIONS * t->cw - w / 4) / 2 + w / 4 + 1;
  t->ytop = t->yb % 10 / 2 + 1;
  int y0 = t->ytop + t->yb / 10;
  fill_rect(t->xs, t->ytop, t->xs + TUBE_SECTIONS * t->cw - 1, y0, wave_color);
  for (int &d : t->last)
    d = y0;
  int gb = graph_bottom - row_height - 1;
  draw_frame(0, 0, w / 4 - 4, gb, frame_color);
  fill_rect(1, 1, w / 4 - 5, gb - 1, plot_color);
}

// Each section hangs from the top of the panel, as long as its area; a
// profile with one wide section is scaled to that section, a flat one so
// that four times the mean area fills the panel.
void draw_sections(tube_panel *t, const float *area)
{
  double sum = 0, top = 0;
  for (int j = 0; j < TUBE_SECTIONS; j++) {
    sum += area[j];
    top = std::max(top, (double)area[j]);
  }
  double scale = sum * 0.33333334 < top ? 1 / top : 12 / sum * 0.25;
  for (int j = 0; j < TUBE_SECTIONS; j++) {
    int depth = std::clamp((int)(t->yb * scale * area[j] + t->ytop), 2, t->yb - 2);
    int x0 = t->xs + j * t->cw, x1 = x0 + t->cw - 1;
    if (t->last[j] < depth)
      fill_rect(x0, t->last[j], x1, depth, wave_color);
    else if (t->last[j] > depth)
      fill_rect(x0, depth + 1, x1, t->last[j], plot_color);
    paint_dirty();
    t->last[j] = depth;
  }
}

// Areas from one block's first difference; 0 when the block gives none.
static int block_areas(const int16_t *s, float *area)
{
  float f[LIVE_BLOCK], a[TUBE_SECTIONS + 1], k[TUBE_SECTIONS], r[TUBE_SECTIONS + 1], e;
  f[0] = 0;
  for (int i = 1; i < LIVE_BLOCK; i++)
    f[i] = (float)(s[i] - s[i - 1]);
  if (lpc_autocorr(LIVE_BLOCK, f, TUBE_SECTIONS, a, &e, k, r))
    return 0;
  return tube_areas(k, area);
}

// One block of the Area display: the level bar, then the sections when the
// block is neither too quiet nor clipped.
void tract_block(tube_panel *t, int *prev)
{
  int gb = graph_bottom - row_height - 1;
  int peak = block_peak(live_block(), LIVE_BLOCK);
  draw_peak_bar(peak, 8, scr_width / 4 - 12, 1, gb - 1, prev);
  float area[TUBE_SECTIONS];
  if (peak >= (peak_full() - 2) / 16 && peak < peak_full() - 2 && block_areas(live_block(), area))
    draw_sections(t, area);
}

void tract_display()
{
  prepare_surface();
  show_prompt(" ADC Input Level    &    Area of the 'vocal tract'   [ESC to exit]");
  tube_panel t;
  draw_panels(&t);
  if (!start_live())
    return;
  int prev = graph_bottom - row_height - 2, cut;
  // This display always records at 10000 Hz; the first block only starts the device.
  if (next_block(LIVE_RATE, &cut))
    while (next_block(LIVE_RATE, &cut)) {
      if (!cut) {
        tract_block(&t, &prev);
        continue;
      }
      int key = peek_key();
      if (key == 0 || key == KEY_ESC || key == KEY_LBUTTON)
        break;
      wait_key();
    }
  end_live();
}
