// SND files: six 32-bit header fields, big-endian (".snd") or
// little-endian ("dns."), then the values in the same byte order.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "screen/screen.h"

enum { SND_HEADER = 28, SND_MIN_OFFSET = 24 };

static const char snd_header_error[] = " Error reading SND file header. ";

void load_snd(const char *name)
{
  FILE *f = open_for_load(name);
  if (!f)
    return;
  if (!read_bytes(f, header_area, SND_HEADER)) {
    refuse_load(f, snd_header_error);
    return;
  }
  int swapped = snd_byte_order(header_area);
  if (swapped < 0) {
    refuse_load(f, snd_header_error);
    return;
  }
  uint32_t field[6];
  for (int i = 0; i < 6; i++)
    field[i] = swapped ? get_be32(header_area + 4 * i) : get_le32(header_area + 4 * i);
  uint32_t offset = field[1], size = field[2], encoding = field[3];
  int32_t rate = (int32_t)field[4], channels = (int32_t)field[5];
  if (encoding > 7 || offset < SND_MIN_OFFSET) {
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
