// The time cursor of the current window and its status-line readout.
#include "core/state.h"
#include "display/display.h"
#include "screen/screen.h"
#include <cstdio>
#include <cstring>

double db_scale = 32767.0 / 60.0;
double db_offset = 60.0;

void draw_cursor()
{
  if (windows[cur_win].num_samples == 0) {
    hide_time_cursor();
    hide_range_box();
    clear_status();
    return;
  }
  show_time_cursor(sample_x(cursor), cursor_y);
  show_readout();
}

void show_readout()
{
  const signal_window *sw = &windows[cur_win];
  if (!sw->samples || sw->num_samples <= 0)
    return;
  char text[LINE_LEN * 2];
  int len = 0;
  auto append = [&](const char *fmt, auto... args) {
    len += snprintf(text + len, sizeof text - len, fmt, args...);
  };
  long long at = (long long)cursor * sw->channels;
  if (sw->kind == 1) {
    double step = sw->adc_rate * 0.001 / (2.0 * sw->num_samples);
    append("%s", " FFT Cursor ");
    append("at %6.3f kHz, ", cursor * step);
    double level0 = sw->samples[at] / db_scale + db_offset;
    if (sw->channels < 2)
      append("Value = %5.1f dB  ", level0);
    else
      append("Value = %5.1f,%5.1f dB  ", level0, sw->samples[at + 1] / db_scale + db_offset);
  } else {
    append("%s", " Cursor at  ");
    float t = cursor * time_per_sample, total = sw->num_samples * time_per_sample;
    append("%6.*f/%6.*f %s, ", time_decimals, (double)t, time_decimals, (double)total, time_unit);
    append("(%6ld/%6ld).  ", (long)cursor, (long)sw->num_samples);
    append("Value = %6d  ", (int)sw->samples[at]);
  }
  show_status(text);
}
