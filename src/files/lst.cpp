// LST text files: one value a line, an optional "; rate=" line; decimal
// values are scaled so that the largest magnitude becomes 32767.
#include "core/state.h"
#include "files/files.h"
#include "screen/screen.h"
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

enum { LST_PIECE = 80 }; // lines are read in pieces of at most 79 characters

static const char *skip_blanks(const char *p)
{
  while (*p == ' ' || *p == '\t')
    p++;
  return p;
}

static int starts_number(char ch) { return ch >= '+' && ch <= '9'; }

int parse_lst_line(const char *line, double *value, int *decimal)
{
  const char *p = skip_blanks(line);
  if (!starts_number(*p))
    return 0;
  const char *comma = strchr(p, ',');
  if (comma) {
    p = skip_blanks(comma + 1);
    if (!starts_number(*p))
      return 0;
  }
  if (strchr(p, '.')) {
    double d = strtod(p, nullptr);
    if (std::isnan(d))
      return 0;
    // Infinities are clipped to the float range, so that the scale stays finite.
    if (d > FLT_MAX)
      d = FLT_MAX;
    if (d < -FLT_MAX)
      d = -FLT_MAX;
    *value = d;
    *decimal = *value != 0;
  } else {
    *value = (double)strtoll(p, nullptr, 10);
    *decimal = 0;
  }
  return 1;
}

// A value as a fraction of the peak times 32767 (when the file has decimal
// values), truncated toward zero and clipped to 16 bits.  Dividing first
// keeps the fraction finite for any peak, so that even the tiniest signal
// keeps its shape.
static int16_t lst_value(double value, double peak, int decimal)
{
  double v = decimal && peak > 0 ? value / peak * 32767.0 : value;
  if (v >= 32767.0)
    return 32767;
  if (v <= -32768.0)
    return -32768;
  return (int16_t)v;
}

void load_lst(const char *name)
{
  FILE *f = open_for_load(name);
  if (!f)
    return;
  signal_window *sw = &windows[cur_win];
  int rate = default_rate;

  // First pass: count the values and find the largest magnitude.
  char line[LST_PIECE];
  int64_t count = 0;
  double peak = 0, value;
  int decimal, any_decimal = 0;
  while (fgets(line, sizeof line, f)) {
    if (!parse_lst_line(line, &value, &decimal))
      continue;
    count++;
    if (std::fabs(value) > peak)
      peak = std::fabs(value);
    any_decimal |= decimal;
  }
  if (count == 0) {
    fclose(f);
    show_error(" No signal in file. ");
    return;
  }
  int n = alloc_for_load(cur_win, count, 1);
  if (n == 0) {
    fclose(f);
    return;
  }
  char message[LINE_LEN + 256];
  snprintf(message, sizeof message, " Loading (LST) file %s ... ", name);
  show_prompt(message);

  // Second pass: store the values; a rate line counts where it stands.
  rewind(f);
  int stored = 0;
  while (stored < n && fgets(line, sizeof line, f)) {
    if (parse_lst_line(line, &value, &decimal)) {
      sw->samples[stored++] = lst_value(value, peak, any_decimal);
    } else if (strncmp(line, "; rate=", 7) == 0) {
      long long r = strtoll(line + 7, nullptr, 10);
      if (r > 0) // a zero or negative rate line gives no rate
        rate = r > 2147483647LL ? 2147483647 : (int)r;
    }
  }
  sw->num_samples = stored;
  sw->channels = 1;
  sw->adc_rate = sw->dac_rate = rate;
  sw->file_type = (int8_t)cur_file_type;
  sw->src_type = 0;
  sw->src_flag = 0;
  finish_load();
  fclose(f);
}
