// TRN files: a 128-byte little-endian header, then one unsigned byte a value.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "files/layouts.h"
#include "screen/screen.h"

void load_trn(const char *name)
{
  FILE *f = open_for_load(name);
  if (!f)
    return;
  if (!read_bytes(f, header_area, TRN_HEADER_SIZE)) {
    refuse_load(f, " Error reading TRN file header. ");
    return;
  }
  signal_window *sw = &windows[cur_win];
  int32_t claimed = (int32_t)get_le32(header_area + TRN_FRAMES);
  sw->adc_rate = file_rate((int32_t)get_le32(header_area + TRN_ADC_RATE));
  sw->dac_rate = file_rate((int32_t)get_le32(header_area + TRN_DAC_RATE));
  sw->created = (int32_t)get_le32(header_area + TRN_CREATED);
  sw->min_value = (int16_t)get_le16(header_area + TRN_MIN);
  sw->max_value = (int16_t)get_le16(header_area + TRN_MAX);
  sw->adc_bits = 8;
  sw->zero_level = 128;
  char message[LINE_LEN + 256];
  snprintf(message, sizeof message, " Loading (TRN) file %s ... ", name);
  int64_t frames = frames_in_file(file_size(f), TRN_HEADER_SIZE, 1, 1, claimed);
  read_samples(f, SC_U8, TRN_HEADER_SIZE, frames, 1, 0, message);
}
