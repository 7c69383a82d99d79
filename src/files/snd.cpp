// SND files: six 32-bit header fields, big-endian (".snd") or
// little-endian ("dns."), then the values in the same byte order.
#include "core/state.h"
#include "display/display.h"
#include "files/bytes.h"
#include "files/files.h"
#include "files/layouts.h"
#include "screen/screen.h"
#include <cstdio>
#include <cstring>

static const char snd_header_error[] = " Error reading SND file header. ";

void load_snd(const char *name)
{
  FILE *f = open_for_load(name);
  if (!f)
    return;
  if (!read_bytes(f, header_area, SND_HEADER_SIZE)) {
    refuse_load(f, snd_header_error);
    return;
  }
  int swapped = snd_byte_order(header_area + SND_MAGIC);
  if (swapped < 0) {
    refuse_load(f, snd_header_error);
    return;
  }
  const uint8_t *h = header_area;
  uint32_t offset = get_32(h + SND_DATA_OFFSET, swapped), size = get_32(h + SND_DATA_SIZE, swapped);
  uint32_t encoding = get_32(h + SND_ENCODING, swapped);
  int32_t rate = (int32_t)get_32(h + SND_RATE, swapped), channels = (int32_t)get_32(h + SND_CHANNELS, swapped);
  if (encoding > SC_DOUBLE || offset < SND_FIELDS_SIZE) {
    refuse_load(f, snd_header_error);
    return;
  }
  if (!check_channels(f, channels))
    return;
  int c = channels < 1 ? 1 : channels;
  // A size of all ones means "unknown": the data run to the end of the file.
  int64_t bytes = file_size(f);
  int64_t data = size == 0xFFFFFFFFu ? bytes - offset : (int64_t)size;
  int64_t claimed = data / sample_sizes[encoding] / c;
  windows[cur_win].adc_rate = windows[cur_win].dac_rate = file_rate(rate);
  char message[LINE_LEN + 256];
  snprintf(message, sizeof message, " Loading (SND) file %s ... ", name);
  int64_t frames = frames_in_file(bytes, offset, sample_sizes[encoding], c, claimed);
  read_samples(f, (int)encoding, offset, frames, c, swapped, message);
}

int save_snd(const char *name, int from, int to)
{
  signal_window *sw = &windows[cur_win];
  int fd = create_output(name);
  if (fd < 0)
    return -1;
  if (sw->adc_bits != 16 || sw->zero_level != 0) {
    if (reformat_signal(cur_win, 16, 0, 0) && !scroll_mode)
      redraw_current();
  }
  uint8_t *h = header_area;
  memset(h, 0, SND_HEADER_SIZE);
  memcpy(h + SND_MAGIC, ".snd", 4);
  put_be32(h + SND_DATA_OFFSET, SND_HEADER_SIZE);
  put_be32(h + SND_DATA_SIZE, (uint32_t)((int64_t)(to - from) * sw->channels * 2));
  put_be32(h + SND_ENCODING, SC_S16);
  put_be32(h + SND_RATE, (uint32_t)sw->adc_rate);
  put_be32(h + SND_CHANNELS, (uint32_t)sw->channels);
  snprintf((char *)h + SND_INFO, 4, "W%d", cur_win);
  output_write(fd, 0, h, SND_HEADER_SIZE);
  return write_samples(fd, SC_S16, 1, SND_HEADER_SIZE, from, to, sw->channels);
}
