// WAV files: a RIFF chunk walk to the "fmt " and "data" chunks; PCM of 8 to
// 32 bits and IEEE float of 32 or 64 bits.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "files/layouts.h"
#include "screen/screen.h"
#include <cstdio>
#include <cstring>

enum { TAG_PCM = 1, TAG_FLOAT = 3, TAG_EXTENSIBLE = 0xFFFE };

static const char wav_header_error[] = " Error reading WAV file header. ";

struct wav_format {
  int tag;      // format tag, the sub-format's for extensible files
  int channels;
  int64_t rate;
  int bits;     // bits per sample of the container
};

// Reads the fmt body (as much of it as an extensible one has).  0 with a message when
// it is too short to describe the data.
static int read_fmt(FILE *f, uint32_t size, wav_format *fmt)
{
  if (size < FMT_PLAIN_SIZE) {
    show_error(wav_header_error);
    return 0;
  }
  uint8_t body[FMT_EXTENSIBLE_SIZE];
  size_t keep = size < (uint32_t)FMT_EXTENSIBLE_SIZE ? size : (size_t)FMT_EXTENSIBLE_SIZE;
  if (!read_bytes(f, body, keep)) {
    show_error(wav_header_error);
    return 0;
  }
  fmt->tag = get_le16(body + FMT_TAG);
  fmt->channels = get_le16(body + FMT_CHANNELS);
  fmt->rate = (int32_t)get_le32(body + FMT_RATE); // past 2^31 is no rate
  fmt->bits = get_le16(body + FMT_BITS);
  if (fmt->tag == TAG_EXTENSIBLE) {
    // The sub-format GUID begins with the tag the data really have.
    if (keep < FMT_EXTENSIBLE_SIZE) {
      show_error(" WAV extensible format header too short. ");
      return 0;
    }
    fmt->tag = get_le16(body + FMT_SUB_FORMAT);
  }
  return 1;
}

// Sample code of the data, or -1 after telling the user why they cannot be loaded.
static int wav_sample_code(const wav_format *fmt)
{
  char text[LINE_LEN];
  if (fmt->tag == TAG_PCM) {
    if (fmt->bits >= 1 && fmt->bits <= 32)
      return fmt->bits <= 8 ? SC_U8 : fmt->bits <= 16 ? SC_S16 : fmt->bits <= 24 ? SC_S24 : SC_S32;
  } else if (fmt->tag == TAG_FLOAT) {
    if (fmt->bits == 32 || fmt->bits == 64)
      return fmt->bits == 32 ? SC_FLOAT : SC_DOUBLE;
  } else {
    snprintf(text, sizeof text, " Can't load WAV format tag %d (PCM and float only). ", fmt->tag);
    show_error(text);
    return -1;
  }
  snprintf(text, sizeof text, " Can't load %d-bit WAV data. ", fmt->bits);
  show_error(text);
  return -1;
}

void load_wav(const char *name)
{
  FILE *f = open_for_load(name);
  if (!f)
    return;
  int64_t bytes = file_size(f);
  uint8_t id[4];
  uint32_t size;
  if (!read_bytes(f, id, 4) || memcmp(id, "RIFF", 4) != 0 || !read_le32(f, &size) ||
      !read_bytes(f, id, 4) || memcmp(id, "WAVE", 4) != 0) {
    refuse_load(f, wav_header_error);
    return;
  }

  // Walk the chunks: the first "fmt " describes the data, "data" ends the
  // walk, everything else is skipped with its pad byte.
  wav_format fmt = {};
  int have_fmt = 0;
  int64_t pos = RIFF_FIRST_CHUNK, data_offset = -1, data_size = 0;
  while (pos + CHUNK_HEADER_SIZE <= bytes) {
    if (!seek_to(f, pos + CHUNK_ID) || !read_bytes(f, id, 4) || !read_le32(f, &size))
      break;
    int64_t body = pos + CHUNK_HEADER_SIZE;
    if (memcmp(id, "fmt ", 4) == 0 && !have_fmt) {
      if (!read_fmt(f, size, &fmt)) {
        fclose(f);
        return;
      }
      have_fmt = 1;
    } else if (memcmp(id, "data", 4) == 0) {
      data_offset = body;
      data_size = size;
      break;
    }
    pos = body + size + (size & 1);
  }
  if (!have_fmt || data_offset < 0) {
    refuse_load(f, wav_header_error);
    return;
  }
  int code = wav_sample_code(&fmt);
  if (code < 0) {
    fclose(f);
    return;
  }
  if (!check_channels(f, fmt.channels))
    return;
  int c = fmt.channels < 1 ? 1 : fmt.channels;
  windows[cur_win].adc_rate = windows[cur_win].dac_rate = file_rate((double)fmt.rate);
  char message[LINE_LEN + 256];
  snprintf(message, sizeof message, " Loading file %s ... ", name);
  // A data size past the end of the file (or unknown) loads what is there.
  int64_t frames = frames_in_file(bytes, data_offset, sample_sizes[code], c,
                                  data_size / sample_sizes[code] / c);
  read_samples(f, code, data_offset, frames, c, 0, message);
}

int save_wav(const char *name, int from, int to)
{
  const signal_window *sw = &windows[cur_win];
  int fd = create_output(name);
  if (fd < 0)
    return -1;
  // Bytes only for a window that holds 8-bit unsigned values; anything else
  // would lose its high bytes.
  int b = stretch_is_bytes(from, to) ? 1 : 2;
  uint32_t data = (uint32_t)((int64_t)(to - from) * b * sw->channels);
  uint32_t pad = data & 1;
  uint8_t *h = header_area;
  memset(h, 0, WAV_HEADER_SIZE);
  memcpy(h + RIFF_ID, "RIFF", 4);
  put_le32(h + RIFF_SIZE, 36 + data + pad);
  memcpy(h + RIFF_FORM, "WAVE", 4);
  memcpy(h + RIFF_FIRST_CHUNK + CHUNK_ID, "fmt ", 4);
  put_le32(h + RIFF_FIRST_CHUNK + CHUNK_SIZE, FMT_PLAIN_SIZE);
  uint8_t *fmt = h + WAV_FMT_BODY;
  put_le16(fmt + FMT_TAG, 1);
  put_le16(fmt + FMT_CHANNELS, (uint16_t)sw->channels);
  put_le32(fmt + FMT_RATE, (uint32_t)sw->adc_rate);
  put_le32(fmt + FMT_BYTE_RATE, (uint32_t)sw->adc_rate * b * sw->channels);
  put_le16(fmt + FMT_BLOCK_ALIGN, (uint16_t)(b * sw->channels));
  put_le16(fmt + FMT_BITS, (uint16_t)(8 * b));
  memcpy(h + WAV_DATA_ID, "data", 4);
  put_le32(h + WAV_DATA_SIZE, data);
  output_write(fd, 0, h, WAV_HEADER_SIZE);
  int64_t end = write_values(fd, b == 1 ? SC_U8 : SC_S16, 0, WAV_HEADER_SIZE, from, to, sw->channels);
  if (pad) {
    static const uint8_t zero = 0;
    output_write(fd, end, &zero, 1);
  }
  return finish_output(fd);
}
