// The signal information line shown after a load.
#include "core/state.h"
#include "files/files.h"
#include "screen/screen.h"
#include <cstdio>

void show_signal_info(int w)
{
  if (!info_enabled)
    return;
  clear_prompt();
  const signal_window *sw = &windows[w];
  if (sw->num_samples == 0) {
    show_prompt("No signal.");
    return;
  }
  int t = sw->file_type;
  const char *type = file_type_name(t);
  char text[LINE_LEN + 40];
  snprintf(text, sizeof text, " (%s) %ld samples (%d chan.) at %ld Hz, ADC = %d bits (%ssigned) ",
           type, (long)sw->num_samples, sw->channels, (long)sw->adc_rate, sw->adc_bits,
           sw->zero_level != 0 ? "un" : "");
  show_error(text);
}
