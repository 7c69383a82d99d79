// File types, the type probe, sample encodings, the format guess and the
// reformat conversion shared by the loaders and writers.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "files/layouts.h"
#include "screen/screen.h"
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

const char *const file_type_names[NUM_FILE_TYPES] = {
  "ILS", "C", "TRN", "LST", "PLT", "SND", "NOH", "MAT", "WAV", "TOK", "ADF",
};
const char *const file_extensions[NUM_FILE_TYPES] = {
  ".ils", ".c", ".trn", ".lst", ".plt", ".snd", ".", ".mat", ".wav", ".tok", ".adf",
};
const int sample_sizes[NUM_SAMPLE_CODES] = {1, 1, 1, 2, 3, 4, 4, 8, 2};

int cur_file_type = FT_ILS;
alignas(8) uint8_t header_area[HEADER_AREA_SIZE]; // aligned: the live displays read it as 16-bit values
int raw_header = 0;
int raw_trailer = 0;
int raw_code = SC_S16;
int raw_swap = 0;

// ---- Type probe -------------------------------------------------------------

int snd_byte_order(const uint8_t *magic)
{
  // ".snd" and the older ".sd\0" are big-endian; reversed, little-endian.
  if (memcmp(magic, ".snd", 4) == 0 || memcmp(magic, ".sd\0", 4) == 0)
    return 1;
  if (memcmp(magic, "dns.", 4) == 0 || memcmp(magic, "\0ds.", 4) == 0)
    return 0;
  return -1;
}

static int is_mat_header(const uint8_t *a)
{
  int32_t v = (int32_t)get_le32(a + MAT_TYPE);
  int tens = v / 10 % 10, hundreds = v / 100 % 10, thousands = v / 1000 % 10;
  // Precision digits 0..5: double, float, int32, int16, uint16, uint8.
  if (v % 10 != 0 || tens < 0 || tens > 5 || (hundreds != 0 && hundreds != 1) ||
      (thousands != 0 && thousands != 1))
    return 0;
  if (get_le32(a + MAT_IMAGINARY) != 0)
    return 0;
  if (get_le32(a + MAT_ROWS) != 1 && get_le32(a + MAT_COLS) != 1)
    return 0;
  return (int32_t)get_le32(a + MAT_NAME_LEN) > 0;
}

int detect_file_type(const char *name)
{
  if (header_bytes >= 0) {
    raw_header = header_bytes;
    return FT_NOH;
  }
  if (no_header)
    return FT_NOH;
  FILE *f = open_regular(name);
  if (!f)
    return -1;
  size_t got = fread(header_area, 1, HEADER_AREA_SIZE, f);
  fclose(f);
  if (got == 0)
    return -1;
  // A short file is judged on its own bytes: what lies beyond reads as zero.
  memset(header_area + got, 0, HEADER_AREA_SIZE - got);
  const uint8_t *a = header_area;

  if ((int16_t)get_le16(a + ILS_MARKER) == ILS_MARKER_VALUE && (int16_t)get_le16(a + ILS_DATA_BLOCKS) >= 1 &&
      (int16_t)get_le16(a + ILS_RATE_MANTISSA) >= 1)
    return FT_ILS;
  if (memcmp(a + RIFF_ID, "RIFF", 4) == 0 && memcmp(a + RIFF_FORM, "WAVE", 4) == 0)
    return FT_WAV;
  if (memcmp(a + ADF_SIGNATURE, "KOBU40", 7) == 0)
    return FT_ADF;
  if (memcmp(a + TRN_MAGIC, "TRN", 4) == 0 || memcmp(a + TRN_MAGIC, "VMF", 4) == 0)
    return FT_TRN;
  if (snd_byte_order(a + SND_MAGIC) >= 0)
    return FT_SND;
  if (is_mat_header(a))
    return FT_MAT;
  for (size_t i = 0; i < got; i++)
    if (a[i] < 1 || a[i] > 127)
      return FT_NOH;
  return FT_LST;
}

// ---- Sample codes -----------------------------------------------------------

int mulaw_to_linear(uint8_t byte)
{
  static const int bias[8] = {0, 132, 396, 924, 1980, 4092, 8316, 16764};
  int u = ~byte & 0xFF;
  int e = (u >> 4) & 7;
  int m = u & 15;
  int magnitude = (m << (e + 3)) + bias[e];
  return (u & 0x80) ? -magnitude : magnitude;
}

int16_t scale_to_16(double v, double scale)
{
  double x = v * scale;
  if (std::isnan(x))
    return 0;
  if (x >= 32767.0)
    return 32767;
  if (x <= -32768.0)
    return -32768;
  return (int16_t)x; // truncates toward zero
}

int shift_to_16(int64_t lo, int64_t hi)
{
  int s = 0;
  while (s < 32 && ((hi >> s) > 32767 || (lo >> s) < -32768))
    s++;
  return s;
}

void convert_values(int code, const uint8_t *src, int n, int16_t *dst, double scale, int shift)
{
  switch (code) {
  case SC_U8:
    for (int i = 0; i < n; i++)
      dst[i] = src[i];
    break;
  case SC_MULAW: {
    static int16_t linear[256]; // mulaw_to_linear of every byte, made on first use
    static bool linear_ready = false;
    if (!linear_ready)
      for (int b = 0; b < 256; b++)
        linear[b] = (int16_t)mulaw_to_linear((uint8_t)b);
    linear_ready = true;
    for (int i = 0; i < n; i++)
      dst[i] = linear[src[i]];
    break;
  }
  case SC_S8:
    for (int i = 0; i < n; i++)
      dst[i] = (int8_t)src[i];
    break;
  case SC_S16:
    if constexpr (std::endian::native == std::endian::little)
      memcpy(dst, src, (size_t)n * 2); // the stored bytes already are the values
    else
      for (int i = 0; i < n; i++)
        dst[i] = (int16_t)get_le16(src + 2 * i);
    break;
  case SC_S24: // the upper two of three bytes
    for (int i = 0; i < n; i++)
      dst[i] = (int16_t)get_le16(src + 3 * i + 1);
    break;
  case SC_S32:
    for (int i = 0; i < n; i++)
      dst[i] = (int16_t)((int32_t)get_le32(src + 4 * i) >> shift);
    break;
  case SC_FLOAT:
    for (int i = 0; i < n; i++)
      dst[i] = scale_to_16(get_le_float(src + 4 * i), scale);
    break;
  case SC_DOUBLE:
    for (int i = 0; i < n; i++)
      dst[i] = scale_to_16(get_le_double(src + 8 * i), scale);
    break;
  case SC_U16:
    for (int i = 0; i < n; i++)
      dst[i] = (int16_t)(get_le16(src + 2 * i) >> shift);
    break;
  }
}

// ---- Format guess -----------------------------------------------------------

// Sixteen independent lanes keep the vector units busy instead of waiting on
// one running minimum and maximum, and eight on one sum; a run of RUN values
// cannot overflow a lane's 32-bit sum. Built twice, for AVX2 and for any processor, and chosen
// when the program starts.
__attribute__((target_clones("avx2", "default")))
static void add_value_stats_lanes(value_stats *s, const int16_t *v, int64_t n)
{
  enum { LANES = 16, RUN = 32768 };
  typedef int16_t lanes16 __attribute__((vector_size(2 * LANES)));
  typedef int32_t lanes32 __attribute__((vector_size(2 * LANES)));
  if (n <= 0)
    return;
  if (s->count == 0)
    s->lo = s->hi = v[0];
  for (int64_t start = 0; start < n; start += RUN) {
    const int16_t *run = v + start;
    int len = (int)std::min<int64_t>(RUN, n - start);
    lanes16 lo = (lanes16){} + (int16_t)s->lo, hi = (lanes16){} + (int16_t)s->hi;
    lanes32 part = {};
    int i = 0;
    for (; i + LANES <= len; i += LANES) {
      lanes16 x;
      memcpy(&x, run + i, sizeof x);
      lo = x < lo ? x : lo;
      hi = x > hi ? x : hi;
      // Each 32-bit lane holds two values: the upper one by an arithmetic
      // shift, the lower one by shifting it up first.
      lanes32 pairs = (lanes32)x;
      part += (pairs >> 16) + ((pairs << 16) >> 16);
    }
    for (; i < len; i++) {
      lo[0] = std::min(lo[0], run[i]);
      hi[0] = std::max(hi[0], run[i]);
      part[0] += run[i];
    }
    for (int k = 0; k < LANES; k++) {
      s->lo = std::min<int>(s->lo, lo[k]);
      s->hi = std::max<int>(s->hi, hi[k]);
    }
    for (int k = 0; k < LANES / 2; k++)
      s->sum += part[k];
  }
  s->count += n;
}

// The cloned function stays inside this file: a clone set with external
// linkage is resolved differently by GCC and clang.
void add_value_stats(value_stats *s, const int16_t *v, int64_t n) { add_value_stats_lanes(s, v, n); }

void apply_format_guess(int w, const value_stats *s)
{
  signal_window *sw = &windows[w];
  int64_t mean = s->count > 0 ? s->sum / s->count : 0;
  int lo = s->count > 0 ? s->lo : 0, hi = s->count > 0 ? s->hi : 0;
  int range = hi - lo;
  if (range > 4096 || (mean < 1024 && hi >= 2048)) {
    sw->adc_bits = 16;
    sw->zero_level = 0;
  } else if (range > 256 || mean > 256) {
    sw->adc_bits = 12;
    sw->zero_level = mean >= 1024 ? 2048 : 0;
  } else {
    sw->adc_bits = 8;
    sw->zero_level = mean >= 64 ? 128 : 0;
  }
  sw->min_value = (int16_t)lo;
  sw->max_value = (int16_t)hi;
}

void guess_format(int w)
{
  const signal_window *sw = &windows[w];
  int c = sw->channels < 1 ? 1 : sw->channels;
  value_stats s = {};
  if (sw->num_samples > 0 && sw->samples)
    add_value_stats(&s, sw->samples, (int64_t)sw->num_samples * c);
  apply_format_guess(w, &s);
}

// ---- Reformat ---------------------------------------------------------------

int reformat_signal(int w, int bits, int zero, int ask)
{
  signal_window *sw = &windows[w];
  if (sw->num_samples <= 0 || bits <= 0 || !sw->samples)
    return 0;
  if (zero == sw->zero_level && bits == sw->adc_bits)
    return 0;
  if (ask) {
    clear_prompt();
    show_prompt("Data format does not match.  Reformat data? (Y/N) ");
    if (!ask_yes()) {
      clear_prompt();
      return 0;
    }
  }
  clear_prompt();
  show_prompt("Rescaling the signal ...");
  int c = sw->channels < 1 ? 1 : sw->channels;
  int64_t n = (int64_t)sw->num_samples * c;
  int b0 = sw->adc_bits, z0 = sw->zero_level;
  // Shifts beyond 31 bits leave nothing of a 16-bit value either way.
  int down = b0 - bits > 31 ? 31 : b0 - bits;
  int up = bits - b0 > 31 ? 31 : bits - b0;
  // A value beyond the new format's range (a window edited or guessed
  // wrongly) saturates instead of wrapping round.
  int half = bits > 16 ? 32768 : 1 << (bits - 1);
  int64_t lo = std::max<int64_t>(zero - half, -32768), hi = std::min<int64_t>(zero + half - 1, 32767);
  for (int64_t i = 0; i < n; i++) {
    int64_t v = (int64_t)sw->samples[i] - z0;
    if (bits < b0)
      v = v / ((int64_t)1 << down) + zero;
    else
      v = v * ((int64_t)1 << (bits > b0 ? up : 0)) + zero;
    sw->samples[i] = (int16_t)std::clamp(v, lo, hi);
  }
  for (int i = 0; i < c; i++)
    sw->samples[n + i] = (int16_t)zero;
  sw->adc_bits = (int16_t)bits;
  sw->zero_level = (int16_t)zero;
  clear_prompt();
  return 1;
}
