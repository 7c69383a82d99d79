// ADF files: a 516-byte header with the frame count, channels and the rate
// in kHz as a float, then 16-bit little-endian values.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "files/layouts.h"
#include "screen/screen.h"
#include <cmath>

void load_adf(const char *name)
{
  FILE *f = open_for_load(name);
  if (!f)
    return;
  if (!read_bytes(f, header_area, ADF_HEADER_SIZE)) {
    refuse_load(f, " Error reading ADF file header. ");
    return;
  }
  int32_t claimed = (int32_t)get_le32(header_area + ADF_FRAMES);
  int channels = get_le16(header_area + ADF_CHANNELS);
  double khz = get_le_float(header_area + ADF_RATE_KHZ);
  if (!check_channels(f, channels))
    return;
  signal_window *sw = &windows[cur_win];
  // NaN, infinities and tiny or negative values all end at the default rate.
  sw->adc_rate = sw->dac_rate = file_rate(std::isfinite(khz) ? std::floor(khz * 1000 + 0.5) : 0);
  char message[LINE_LEN + 256];
  snprintf(message, sizeof message, " Loading (ADF) file %s ... ", name);
  int64_t frames = frames_in_file(file_size(f), ADF_HEADER_SIZE, 2, channels, claimed);
  read_samples(f, SC_S16, ADF_HEADER_SIZE, frames, channels, 0, message);
}
