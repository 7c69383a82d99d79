// ILS files and token files: a 512-byte header of 16-bit words, then
// 16-bit little-endian values; token files add a token table after the data.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "files/layouts.h"
#include "screen/screen.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Takes back what the saved-window block holds, or the rate of the header
// words when the block is missing.
static void read_ils_settings(const uint8_t *h)
{
  signal_window *sw = &windows[cur_win];
  if (memcmp(h + ILS_SAVED_TAG, "BTNI_", ILS_SAVED_TAG_LEN) == 0) {
    sw->created = (int32_t)get_le32(h + ILS_SAVED_CREATED);
    sw->adc_rate = file_rate((int32_t)get_le32(h + ILS_SAVED_ADC_RATE));
    sw->dac_rate = file_rate((int32_t)get_le32(h + ILS_SAVED_DAC_RATE));
    for (int i = 0; i < NUM_MARKS; i++)
      sw->marks[i] = (int32_t)get_le32(h + ILS_SAVED_MARKS + 4 * i);
    sw->kind = h[ILS_SAVED_KIND] == 1 ? 1 : 0;
    marks_from_file = 1;
    return;
  }
  int exponent = (int16_t)get_le16(h + ILS_RATE_EXPONENT);
  int mantissa = (int16_t)get_le16(h + ILS_RATE_MANTISSA);
  if (mantissa > 0) {
    int64_t rate = mantissa;
    if (exponent >= 1 && exponent <= ILS_MAX_EXPONENT)
      for (int i = 0; i < exponent; i++)
        rate *= 10;
    sw->adc_rate = sw->dac_rate = file_rate((double)rate);
  }
}

// Asks which token to load.  Sets the data offset, the values to load, the
// message and the window name; 0 after an invalid answer.
static int choose_token(const char *name, int tokens, int length, int64_t *offset,
                        int64_t *values, char *message, int message_len)
{
  signal_window *sw = &windows[cur_win];
  *offset = ILS_HEADER_SIZE;
  *values = length;
  if (tokens == 1) {
    snprintf(message, message_len, " Loading token 1 from file: %s ... ", name);
    snprintf(sw->name, NAME_LEN, "[token 1]");
    return 1;
  }
  char question[LINE_LEN], answer[32] = "";
  snprintf(question, sizeof question, " Enter token number (1-%d) or ALL: ", tokens);
  prompt_input(question, answer, 20);
  if (answer[0] == 'a' || answer[0] == 'A') {
    snprintf(message, message_len, " Loading token file %s ... ", name);
    *values = (int64_t)length * tokens;
    snprintf(sw->name, NAME_LEN, "%d tokens", tokens);
    return 1;
  }
  long k = strtol(answer, nullptr, 10);
  if (k < 1 || k > tokens)
    return 0;
  snprintf(message, message_len, " Loading token %ld from file: %s ... ", k, name);
  *offset = ILS_HEADER_SIZE + 2 * (k - 1) * (int64_t)length;
  snprintf(sw->name, NAME_LEN, "token %ld", k);
  return 1;
}

void load_ils(const char *name)
{
  FILE *f = open_for_load(name);
  if (!f)
    return;
  int64_t bytes = file_size(f);
  if (!read_bytes(f, header_area, ILS_HEADER_SIZE)) {
    refuse_load(f, " Error reading ILS file header. ");
    return;
  }
  int channels = (int16_t)get_le16(header_area + ILS_CHANNELS);
  int blocks = (int16_t)get_le16(header_area + ILS_DATA_BLOCKS);
  int token_file = (int16_t)get_le16(header_area + ILS_FILE_KIND) == ILS_TOKEN_KIND;
  read_ils_settings(header_area);
  // Files written without the channel word hold 0 there: one channel.
  if (channels < 1)
    channels = 1;
  if (!check_channels(f, channels))
    return;

  char message[LINE_LEN + 256];
  int64_t offset = ILS_HEADER_SIZE;
  int64_t values = (bytes - ILS_HEADER_SIZE) / 2;
  int tokens = 0, length = 0;
  if (token_file && blocks >= 0 && seek_to(f, ((int64_t)blocks + 1) * ILS_HEADER_SIZE) &&
      read_bytes(f, header_area, ILS_HEADER_SIZE)) {
    tokens = (int16_t)get_le16(header_area + ILS_TOKEN_COUNT);
    length = (int16_t)get_le16(header_area + ILS_TOKEN_LENGTH);
  }
  // A token table that counts no tokens of positive length is no token table.
  if (tokens > 0 && length > 0) {
    if (!choose_token(name, tokens, length, &offset, &values, message, sizeof message)) {
      refuse_load(f, " Invalid token number.");
      return;
    }
  } else {
    snprintf(message, sizeof message, " Loading (ILS) file %s ... ", name);
  }
  // Token lengths and file sizes count values; the reader wants frames.
  int64_t frames = frames_in_file(bytes, offset, 2, channels, values / channels);
  read_samples(f, SC_S16, offset, frames, channels, 0, message);
}

// The rate as a mantissa of at most 32000 and a power of ten.
static void ils_rate(int32_t rate, int *mantissa, int *exponent)
{
  *exponent = 0;
  while (rate > 32000) {
    rate /= 10;
    ++*exponent;
  }
  *mantissa = rate;
}

int save_ils(const char *name, int from, int to)
{
  const signal_window *sw = &windows[cur_win];
  int fd = create_output(name);
  if (fd < 0)
    return -1;
  uint8_t *h = header_area;
  memset(h, 0, ILS_HEADER_SIZE);
  int64_t values = (int64_t)(to - from) * sw->channels;
  // The block count is a 16-bit word: very long windows cap it, and the
  // reader then takes the length from the file size.
  int64_t blocks = (values - 1) / 256 + 1;
  put_le16(h + ILS_DATA_BLOCKS, (uint16_t)(blocks > 32767 ? 32767 : blocks));
  put_le16(h + ILS_CHANNELS, (uint16_t)sw->channels);
  int mantissa, exponent;
  ils_rate(sw->adc_rate >= 1 ? sw->adc_rate : default_rate, &mantissa, &exponent); // a rate below 1 is none
  put_le16(h + ILS_RATE_EXPONENT, (uint16_t)exponent);
  put_le16(h + ILS_RATE_MANTISSA, (uint16_t)mantissa);
  put_le16(h + ILS_MARKER, (uint16_t)(int16_t)ILS_MARKER_VALUE);
  put_le16(h + ILS_FILE_KIND, (uint16_t)ILS_WRITTEN_KIND);
  // The saved-window block: the window as it stands, marks unshifted.
  memcpy(h + ILS_SAVED_TAG, "BTNI_", ILS_SAVED_TAG_LEN);
  memcpy(h + ILS_SAVED_NAME, sw->name, strnlen(sw->name, 40));
  put_le16(h + ILS_SAVED_TIME_EXP, (uint16_t)sw->time_exp);
  put_le16(h + ILS_SAVED_MIN, (uint16_t)sw->min_value);
  put_le16(h + ILS_SAVED_MAX, (uint16_t)sw->max_value);
  put_le32(h + ILS_SAVED_VALUES, (uint32_t)values);
  put_le32(h + ILS_SAVED_CREATED, (uint32_t)sw->created);
  put_le32(h + ILS_SAVED_ADC_RATE, (uint32_t)(sw->adc_rate >= 1 ? sw->adc_rate : default_rate));
  put_le32(h + ILS_SAVED_DAC_RATE, (uint32_t)(sw->dac_rate >= 1 ? sw->dac_rate : default_rate));
  for (int i = 0; i < NUM_MARKS; i++)
    put_le32(h + ILS_SAVED_MARKS + 4 * i, (uint32_t)sw->marks[i]);
  h[ILS_SAVED_FILE_TYPE] = (uint8_t)sw->file_type;
  h[ILS_SAVED_SRC_TYPE] = sw->src_type;
  h[ILS_SAVED_SRC_FLAG] = sw->src_flag;
  h[ILS_SAVED_KIND] = sw->kind;
  h[ILS_SAVED_CHANNELS] = (uint8_t)sw->channels;
  output_write(fd, 0, h, ILS_HEADER_SIZE);
  return write_samples(fd, SC_S16, 0, ILS_HEADER_SIZE, from, to, sw->channels);
}
