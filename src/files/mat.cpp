// MAT-file level 4: a walk over the matrices in file order; "rate" and
// "fmax" scalars give the rate, the first real full matrix of more than
// one frame is the signal.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "files/layouts.h"
#include "screen/screen.h"
#include <cstdio>
#include <cmath>
#include <cstring>

enum { MAT_NAME_KEPT = 80 };

static const char mat_header_error[] = " Error reading MAT file header. ";

// Element size and sample code of each precision digit: double, float,
// int32, int16, uint16, uint8.
static const int mat_sizes[6] = {8, 4, 4, 2, 2, 1};
static const int mat_codes[6] = {SC_DOUBLE, SC_FLOAT, SC_S32, SC_S16, SC_U16, SC_U8};

struct mat_header {
  int machine;   // thousands digit: 0 little-endian, 1 big-endian
  int precision; // tens digit
  int text;      // ones digit: 0 full, 1 text, 2 sparse
  int64_t rows, cols, imaginary, name_len;
};

// Decodes the matrix header in header_area, reversing them when the type field
// makes no sense in little-endian order or the last matrix was big-endian.
// 0 when the type makes sense in neither order or a count is negative.
static int decode_mat_header(int prev_machine, mat_header *m)
{
  const uint8_t *h = header_area;
  int32_t v = (int32_t)get_le32(h + MAT_TYPE);
  int reverse = v < 0 || v > 9999 || v / 1000 % 10 != 0 || prev_machine != 0;
  v = (int32_t)get_32(h + MAT_TYPE, reverse);
  if (v < 0 || v > 9999)
    return 0;
  m->machine = v / 1000;
  m->precision = v / 10 % 10;
  m->text = v % 10;
  if (m->machine > 1 || v / 100 % 10 != 0 || m->precision > 5 || m->text > 2)
    return 0;
  m->rows = (int32_t)get_32(h + MAT_ROWS, reverse);
  m->cols = (int32_t)get_32(h + MAT_COLS, reverse);
  m->imaginary = (int32_t)get_32(h + MAT_IMAGINARY, reverse);
  m->name_len = (int32_t)get_32(h + MAT_NAME_LEN, reverse);
  return m->rows >= 0 && m->cols >= 0 && m->name_len >= 0;
}

double read_mat_scalar(FILE *f, int precision, int reverse)
{
  if (precision < 0 || precision > 5)
    return 0;
  int size = mat_sizes[precision];
  uint8_t b[8];
  if (!read_bytes(f, b, size))
    return 0;
  if (reverse)
    swap_values(b, 1, size);
  switch (precision) {
  case 0: return get_le_double(b);
  case 1: return get_le_float(b);
  case 2: return (int32_t)get_le32(b);
  case 3: return (int16_t)get_le16(b);
  case 4: return get_le16(b);
  default: return b[0];
  }
}

// A rate from a scalar element, truncated; 0 for NaN and infinities.
static int64_t scalar_rate(double v)
{
  if (!std::isfinite(v))
    return 0;
  if (v > 4e9)
    return 4000000000LL;
  if (v < -4e9)
    return -4000000000LL;
  return (int64_t)v;
}

void load_mat(const char *name)
{
  FILE *f = open_for_load(name);
  if (!f)
    return;
  int64_t bytes = file_size(f);
  int64_t rate = 0, pos = 0, data_pos = 0;
  int64_t frames = 0, channels = 1;
  int prev_machine = 0;
  mat_header m;
  char mname[MAT_NAME_KEPT];
  for (;;) {
    if (!seek_to(f, pos) || !read_bytes(f, header_area, MAT_HEADER_SIZE) ||
        !decode_mat_header(prev_machine, &m) || m.name_len > bytes - pos - MAT_HEADER_SIZE) {
      refuse_load(f, mat_header_error);
      return;
    }
    prev_machine = m.machine;
    // Keep the start of the name; the rest is read past.
    size_t keep = m.name_len < MAT_NAME_KEPT - 1 ? (size_t)m.name_len : MAT_NAME_KEPT - 1;
    if (!read_bytes(f, mname, keep)) {
      refuse_load(f, mat_header_error);
      return;
    }
    mname[keep] = 0;
    data_pos = pos + MAT_HEADER_SIZE + m.name_len;
    int64_t count = m.rows * m.cols; // both below 2^31: no overflow
    int reverse = m.machine != 0;
    if (count >= 1 && (strcmp(mname, "fmax") == 0 || strcmp(mname, "rate") == 0)) {
      seek_to(f, data_pos);
      int64_t r = scalar_rate(read_mat_scalar(f, m.precision, reverse));
      rate = mname[0] == 'f' ? 2 * r : r;
    }
    if (m.rows > 1 && m.rows <= MAX_CHANNELS) {
      channels = m.rows;
      frames = m.cols;
    } else {
      channels = 1;
      frames = count;
    }
    if (frames > 1 && m.text == 0 && m.imaginary == 0)
      break;
    // Skip the elements (twice as many for complex data).
    int64_t room = bytes - data_pos;
    if (count > room) {
      refuse_load(f, mat_header_error);
      return;
    }
    pos = data_pos + count * mat_sizes[m.precision] * (m.imaginary ? 2 : 1);
  }

  windows[cur_win].adc_rate = windows[cur_win].dac_rate = file_rate((double)rate);
  char message[LINE_LEN + 256];
  snprintf(message, sizeof message, " Loading %s from file %s ... ", mname, name);
  int code = mat_codes[m.precision];
  frames = frames_in_file(bytes, data_pos, sample_sizes[code], (int)channels, frames);
  read_samples(f, code, data_pos, frames, (int)channels, m.machine != 0, message);
}

int write_mat_header(int fd, int64_t offset, int machine, int precision, const char *name, int columns,
                     int rows)
{
  uint8_t h[MAT_HEADER_SIZE + 64] = {};
  int name_len = (int)strnlen(name, 63) + 1;
  put_le32(h + MAT_TYPE, (uint32_t)(1000 * machine + 10 * precision));
  put_le32(h + MAT_ROWS, (uint32_t)rows);
  put_le32(h + MAT_COLS, (uint32_t)columns);
  put_le32(h + MAT_IMAGINARY, 0);
  put_le32(h + MAT_NAME_LEN, (uint32_t)name_len);
  memcpy(h + MAT_HEADER_SIZE, name, name_len - 1);
  output_write(fd, offset, h, MAT_HEADER_SIZE + name_len);
  return MAT_HEADER_SIZE + name_len;
}

int save_mat(const char *name, int from, int to)
{
  const signal_window *sw = &windows[cur_win];
  int fd = create_output(name);
  if (fd < 0)
    return -1;
  int64_t at = write_mat_header(fd, 0, 0, 0, "rate", 1, 1);
  uint8_t rate[8];
  double r = sw->adc_rate;
  uint64_t bits;
  memcpy(&bits, &r, 8);
  put_le32(rate, (uint32_t)bits);
  put_le32(rate + 4, (uint32_t)(bits >> 32));
  output_write(fd, at, rate, 8);
  at += 8;
  char matrix[8];
  snprintf(matrix, sizeof matrix, "W%d", cur_win);
  at += write_mat_header(fd, at, 0, 3, matrix, to - from, sw->channels);
  return write_samples(fd, SC_S16, 0, at, from, to, sw->channels);
}
