// Text exports: a stretch of the current window as an initialised C array,
// as an LST listing that the LST reader reads back, or as a PLT plot
// description (long stretches thinned to the peak and trough of each of
// about 500 groups).
#include "core/state.h"
#include "display/display.h"
#include "files/files.h"
#include "screen/screen.h"
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

void c_array_name(char *out, int size, const char *file_name)
{
  const char *base = file_name;
  for (const char *p = file_name; *p; p++)
    if (*p == '/' || *p == '\\')
      base = p + 1;
  int n = 0;
  if (isdigit((unsigned char)*base) && n < size - 1)
    out[n++] = '_';
  for (const char *p = base; *p && *p != '.' && n < size - 1; p++)
    out[n++] = isalnum((unsigned char)*p) || *p == '_' ? *p : '_';
  out[n] = 0;
  if (n == 0)
    snprintf(out, size, "signal");
  // A keyword is no name: "int.c" gives int_.
  static const char *const keywords[] = {
    "auto", "break", "case", "char", "const", "continue", "default", "do", "double", "else", "enum",
    "extern", "float", "for", "goto", "if", "inline", "int", "long", "register", "restrict", "return",
    "short", "signed", "sizeof", "static", "struct", "switch", "typedef", "union", "unsigned", "void",
    "volatile", "while", "bool", "true", "false",
  };
  for (const char *k : keywords)
    if (strcmp(out, k) == 0 && n + 1 < size) {
      out[n] = '_';
      out[n + 1] = 0;
    }
}

int save_c_array(const char *name, int from, int to)
{
  const signal_window *sw = &windows[cur_win];
  FILE *f = open_text_output(name);
  if (!f)
    return -1;
  char id[FILE_PATH_LEN];
  c_array_name(id, sizeof id, name);
  long n = (long)(to - from) * sw->channels;
  const int16_t *v = sw->samples + (long)from * sw->channels;
  // Unsigned bytes only when every value is one: a rescaled or edited
  // 8-bit window may hold values a byte cannot.
  bool bytes = stretch_is_bytes(from, to);
  if (bytes)
    fprintf(f, "static unsigned char %s[%ld] = {", id, n);
  else
    fprintf(f, "short %s[%ld] = {", id, n);
  for (long i = 0; i < n; i++) {
    const char *prefix = i % 10 == 0 ? "\n    " : bytes ? " " : "";
    fprintf(f, bytes ? "%s%3d%s" : "%s%6d%s", prefix, v[i], i + 1 < n ? "," : "\n");
  }
  fprintf(f, "};\n");
  return finish_text_output(f);
}

int save_lst(const char *name, int from, int to)
{
  const signal_window *sw = &windows[cur_win];
  FILE *f = open_text_output(name);
  if (!f)
    return -1;
  fprintf(f, "; rate=%ld\n", (long)sw->adc_rate);
  for (long i = from; i < to; i++) {
    for (int c = 0; c < sw->channels; c++)
      fprintf(f, "%7d ", sw->samples[i * sw->channels + c]);
    fprintf(f, "\n");
  }
  return finish_text_output(f);
}

static const char *const plt_units[] = {"sec", "msec", "^m^sec", "nsec"};
static const double plt_factors[] = {1, 1000, 1000000, 1000000000};
static const char *const plt_formats[] = {"i", "f.1", "f.2"};

enum { PLT_THIN_FROM = 1500, PLT_GROUPS = 500 };

static void plt_point(FILE *f, long x, int v, double step, bool spectrum)
{
  if (spectrum)
    fprintf(f, "%9.3f %9.2f\n", x * step, v / db_scale + db_offset);
  else
    fprintf(f, "%ld %d\n", x, v);
}

// One channel's points: all of them, or per group the extreme that came
// first at the group's end and the other half a group later.
static void plt_channel(FILE *f, const int16_t *v, int channels, long n, double step, bool spectrum)
{
  if (n < PLT_THIN_FROM) {
    for (long i = 0; i < n; i++)
      plt_point(f, i, v[i * channels], step, spectrum);
    return;
  }
  long g = n / PLT_GROUPS, h = g / 2;
  int hi = v[0], lo = v[0];
  long hi_at = 0, lo_at = 0;
  for (long i = 0; i < n; i++) {
    int x = v[i * channels];
    if (x > hi) { hi = x; hi_at = i; }
    if (x < lo) { lo = x; lo_at = i; }
    if (i % g != 0 && i != n - 1)
      continue;
    if (hi_at <= lo_at) {
      plt_point(f, i, hi, step, spectrum);
      if (hi_at != lo_at)
        plt_point(f, i + h, lo, step, spectrum);
    } else {
      plt_point(f, i, lo, step, spectrum);
      plt_point(f, i + h, hi, step, spectrum);
    }
    hi = lo = x;
    hi_at = lo_at = i;
  }
}

int save_plt(const char *name, int from, int to)
{
  signal_window *sw = &windows[cur_win];
  double rate = sw->adc_rate;
  if (rate <= 0) {
    char text[LINE_LEN];
    snprintf(text, sizeof text, " Sample rate %ld Hz: no plot written. ", (long)sw->adc_rate);
    show_error(text);
    return -1;
  }
  FILE *f = open_text_output(name);
  if (!f)
    return -1;
  guess_format(cur_win);
  long n = to - from;
  double duration = n / rate;
  int t = (int)(3 - log10(duration));
  t = t < 0 ? 0 : t > 9 ? 9 : t;
  int unit = t / 3;
  char title[FILE_PATH_LEN];
  snprintf(title, sizeof title, "%s", name);
  title[strcspn(title, ".")] = 0;
  fprintf(f, "; %s - PLT file created by TARVO from '%s'\n", title, sw->name);
  fprintf(f, ";\n");
  bool spectrum = sw->kind != 0;
  double step = 0;
  if (spectrum) {
    step = rate * 0.0005 / sw->num_samples;
    double span = n * step;
    fprintf(f, ";    Spectra ...\n");
    fprintf(f, ";    sample rate = %.1f Hz\n", rate);
    fprintf(f, ";\n");
    fprintf(f, "xlab=frequency (kHz)\n");
    fprintf(f, "ylab=magnitude (dB)\n");
    fprintf(f, "xper=90 : xint=%.0f.2 : xllc=1.5 : xlen=8\n", span);
    fprintf(f, "xmin=0 : xmax=%.3f : ymin=0 : ymax=120 : yhor=y : clip=y\n", span);
  } else {
    fprintf(f, ";    Waveform has %ld, %d-bit, %ssigned values.\n", n, sw->adc_bits,
            sw->zero_level > 0 ? "un" : "");
    fprintf(f, ";    sample rate = %.1f Hz\n", rate);
    fprintf(f, ";    min = %d    max = %d\n", sw->min_value, sw->max_value);
    fprintf(f, ";\n");
    fprintf(f, "xlab=(%s)\n", plt_units[unit]);
    fprintf(f, "xfmt=%s : xgain=%.0f/%.0f\n", plt_formats[t % 3], plt_factors[unit], rate);
    fprintf(f, "xper=90 : xint=5.2 : xllc=1 : xlen=8.5 : xans=0\n");
    fprintf(f, "yper=90 : yint=2.2 : yllc=3 : ylen=3   : yans=-1\n");
    fprintf(f, "xmin=0 : xmax=%.3f\n", duration * plt_factors[unit]);
    fprintf(f, "ymin=%d : ymax=%d\n", sw->min_value, sw->max_value);
  }
  fprintf(f, "plty=line\n");
  fprintf(f, "tlab=%s\n", title);
  for (int c = 0; c < sw->channels; c++) {
    fprintf(f, "data ; for channel %d\n", c + 1);
    plt_channel(f, sw->samples + (long)from * sw->channels + c, sw->channels, n, step, spectrum);
    fprintf(f, "plot\n");
  }
  return finish_text_output(f);
}
