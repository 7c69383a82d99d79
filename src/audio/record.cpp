// The Input menu and Record: a new signal from the input device into the
// current window, record_len frames long at the window's sampling rate.
#include "audio/audio.h"
#include "audio/device.h"
#include "core/state.h"
#include "display/display.h"
#include "files/files.h"
#include "screen/screen.h"
#include <algorithm>
#include <ctime>

void input_menu()
{
  static const char *const items[] = {"Area", "Level", "Record", ""};
  switch (menu_select("INPUT", items)) {
  case 'A': tract_display(); break;
  case 'L': level_meter(); break;
  case 'R': record_signal(); break;
  }
}

// The window as a fresh recording of n frames leaves it.
static void take_recording(int n)
{
  signal_window *sw = &windows[cur_win];
  sw->num_samples = n;
  sw->adc_bits = (int16_t)dev_bits;
  sw->zero_level = (int16_t)dev_zero;
  sw->created = (int32_t)time(nullptr);
  sw->dac_rate = sw->adc_rate;
  sw->samples[n] = sw->zero_level; // the guard frame
  sw->kind = 0;
  cursor = std::min(n, scr_width) / 2;
  window_views[cur_win].view_start = 0;
  window_views[cur_win].view_end = n;
  reset_marks(cur_win);
  redraw_current();
}

void record_signal()
{
  signal_window *sw = &windows[cur_win];
  if (sw->num_samples > 0) {
    show_prompt(" DELETE current contents of window? (y/N) ");
    if (!ask_yes()) {
      clear_prompt();
      return;
    }
    clear_prompt();
    clear_window(cur_win);
    draw_window(cur_win);
  }
  // One channel of 16-bit values, whatever the window held before, so that
  // what it claims is what the storage holds.
  if (!alloc_samples(cur_win, record_len, 1)) {
    report_io_error("sigsize", 0);
    return;
  }
  sw->channels = 1;
  sw->src_type = SC_S16;
  int code = init_iod();
  if (code) {
    report_io_error("init_iod", code);
    return;
  }
  show_prompt(" Press any key to begin recording ... ");
  int key = wait_key();
  clear_prompt();
  if (key == KEY_ESC || key == KEY_LBUTTON || quit_flag)
    return;
  show_prompt(" Recording from ADC ... ");
  code = wave_in_record(sw->samples, record_len, sw->adc_rate);
  if (code) {
    report_io_error("input_adc", code);
    sw->num_samples = 0;
    return;
  }
  take_recording(recorded_frames);
  // After a failed open its message stands alone.
  if (!dev_failed)
    show_record_time(recorded_frames, sw->adc_rate);
  else
    clear_prompt();
}
