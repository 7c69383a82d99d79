// ADF files: a 516-byte header with the frame count, channels and the rate
// in kHz as a float, then 16-bit little-endian values.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "files/layouts.h"
#include "screen/screen.h"
#include <cstdio>
#include <cstring>
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

int save_adf(const char *name, int from, int to)
{
  const signal_window *sw = &windows[cur_win];
  int fd = create_output(name);
  if (fd < 0)
    return -1;
  uint8_t *h = header_area;
  memset(h, 0, ADF_HEADER_SIZE);
  memcpy(h + ADF_SIGNATURE, "KOBU40", 6);
  put_le32(h + ADF_FRAMES, (uint32_t)(to - from));
  put_le16(h + ADF_CHANNELS, (uint16_t)sw->channels);
  put_le16(h + ADF_BITS, 16);
  float khz = (float)(sw->adc_rate * 0.001);
  uint32_t bits;
  memcpy(&bits, &khz, 4);
  put_le32(h + ADF_RATE_KHZ, bits);
  output_write(fd, 0, h, ADF_HEADER_SIZE);
  return write_samples(fd, SC_S16, 0, ADF_HEADER_SIZE, from, to, sw->channels);
}
