// The load dispatcher and the common reader path that every binary reader
// ends in: open, allocate, convert block by block, finish the window.
#include "core/state.h"
#include "display/display.h"
#include "edit/edit.h"
#include "files/bytes.h"
#include "files/files.h"
#include "screen/screen.h"
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <ctime>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int marks_from_file = 0;

// Stream buffer of the file being loaded (one at a time), for headers and
// text: the sample values go past it in larger reads. Kept at 16 KiB because
// each seek of a header walk refills it.
static char load_buffer[16384];

// Values on their way from the file into the window when they need
// converting, and the sizes the loads read in: large enough that a system
// call is rare, small enough that a chunk is still in the cache when it is
// converted and counted. A read at least as long as the stream buffer goes
// straight into this one.
enum { LOAD_CHUNK = 1 << 18, DIRECT_CHUNK = 1 << 18 };
static uint8_t load_chunk[LOAD_CHUNK];

// Statistics of the values read_samples stored, gathered while each block
// was still in the cache; finish_load uses them instead of another pass.
static value_stats load_stats;
static int load_stats_ready;

static void report_cant_open(const char *name)
{
  char text[320];
  snprintf(text, sizeof text, " Can't open '%s'.", name);
  show_error(text);
}

// Hands the file to the reader of its type; 0 when the type has no reader.
static int run_reader(int t, const char *name)
{
  switch (t) {
  case FT_ILS: load_ils(name); return 1;
  case FT_TRN: load_trn(name); return 1;
  case FT_LST: load_lst(name); return 1;
  case FT_SND: load_snd(name); return 1;
  case FT_NOH: load_plain(name); return 1;
  case FT_MAT: load_mat(name); return 1;
  case FT_WAV: load_wav(name); return 1;
  case FT_ADF: load_adf(name); return 1;
  }
  return 0;
}

// Keeps where the current window's signal came from, and how it was read,
// for Reload: the window's name is short and the directory may change.
static void remember_source(const char *name, int force_raw)
{
  signal_window *sw = &windows[cur_win];
  sw->path[0] = 0;
  sw->raw_load = (int8_t)force_raw;
  if (sw->num_samples == 0)
    return;
  char dir[FILE_NAME_LEN], full[2 * FILE_NAME_LEN + 2];
  if (name[0] == '/')
    snprintf(full, sizeof full, "%s", name);
  else if (getcwd(dir, sizeof dir))
    snprintf(full, sizeof full, "%s/%s", dir, name);
  else
    return;
  // A path too long to keep is not kept: Reload then goes by the name.
  if (strlen(full) < sizeof sw->path)
    memcpy(sw->path, full, strlen(full) + 1);
}

void reload_window()
{
  signal_window *sw = &windows[cur_win];
  char name[NAME_LEN], path[FILE_NAME_LEN];
  snprintf(name, sizeof name, "%s", sw->name);
  snprintf(path, sizeof path, "%s", sw->path);
  if (!path[0]) { // no file behind the window: its name is all there is
    load_file(name, 0);
    return;
  }
  load_file(path, sw->raw_load);
  // The window keeps the name it was loaded under.
  if (sw->num_samples > 0 && strcmp(sw->path, path) == 0)
    snprintf(sw->name, NAME_LEN, "%s", name);
}

// known: the type a probe of name just found, or -2 to probe here.
static void load_named(const char *name, int force_raw, int known)
{
  int given = name && name[0];
  int probed = given ? known : -2; // the type of a given name, probed once
  int prev_win = cur_win;
  int new_win = -1; // the window opened for this load, if any

  if (windows[cur_win].num_samples > 0) {
    if (given) {
      if (probed == -2)
        probed = detect_file_type(name);
      if (probed < 0) {
        report_cant_open(name);
        return;
      }
    } else if (last_vis < 5) {
      new_window();
      new_win = cur_win;
    } else {
      show_prompt(" DELETE current contents of window? (y/N) ");
      if (!ask_yes()) {
        clear_prompt();
        return;
      }
      clear_window(cur_win);
      redraw_current();
    }
  }

  char work[FILE_NAME_LEN];
  if (given) {
    snprintf(work, sizeof work, "%s", name);
    if (windows[cur_win].num_samples > 0)
      clear_window(cur_win);
  } else {
    const char *own = windows[cur_win].name;
    if (own[0] < 32 || own[0] > 126)
      work[0] = 0;
    else
      snprintf(work, NAME_LEN, "%s", own);
    file_box("Enter name of file: ", work, LINE_LEN);
  }

  // An escaped file box is a cancel, even when every file counts as headerless.
  int t = probed != -2 ? probed : work[0] ? detect_file_type(work) : -1;
  if (force_raw && t >= 0)
    t = FT_NOH;
  if (t >= 0) // a failed probe keeps the type a following Save would use
    cur_file_type = t;
  if (run_reader(t, work)) {
    remember_source(work, force_raw);
    return;
  }

  if (new_win >= 0 && cur_win == new_win) {
    close_window();
    select_window(prev_win);
  }
  if (work[0])
    report_cant_open(work);
}

void load_file(const char *name, int force_raw) { load_named(name, force_raw, -2); }

void load_probed_file(const char *name, int type) { load_named(name, 0, type); }

FILE *open_regular(const char *name)
{
  // Pipes, devices and directories are never read: a pipe without a writer
  // would block the open, and one with a writer may never end.  The open
  // does not wait, and the descriptor is checked again in case another
  // file took the name in between.
  struct stat st;
  if (stat(name, &st) != 0 || !S_ISREG(st.st_mode))
    return nullptr;
  int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return nullptr;
  FILE *f = nullptr;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && fcntl(fd, F_SETFL, 0) == 0)
    f = fdopen(fd, "rb");
  if (!f)
    close(fd);
  return f;
}

FILE *open_for_load(const char *name)
{
  FILE *f = open_regular(name);
  if (!f)
    report_cant_open(name);
  else
    setvbuf(f, load_buffer, _IOFBF, sizeof load_buffer);

  signal_window *sw = &windows[cur_win];
  sw->adc_rate = sw->dac_rate = default_rate;
  sw->created = (int32_t)time(nullptr);
  sw->kind = 0;
  snprintf(sw->name, NAME_LEN, "%.*s", NAME_LEN - 1, name);
  reset_marks(cur_win);
  marks_from_file = 0;
  return f;
}

void refuse_load(FILE *f, const char *text)
{
  fclose(f);
  show_error(text);
}

int check_channels(FILE *f, int64_t channels)
{
  if (channels >= 0 && channels <= MAX_CHANNELS)
    return 1;
  char text[LINE_LEN];
  snprintf(text, sizeof text, " Can't load %lld channels (%d at most). ", (long long)channels, MAX_CHANNELS);
  refuse_load(f, text);
  return 0;
}

int file_rate(double rate)
{
  if (!(rate >= 1)) // zero, negative, NaN: the file gives no usable rate
    return default_rate;
  if (rate > 2147483647.0)
    return 2147483647;
  return (int)rate;
}

int alloc_for_load(int w, int64_t frames, int channels)
{
  if (frames < 1) {
    show_prompt(" No signal.");
    return 0;
  }
  if (frames > MAX_FRAMES) {
    char text[LINE_LEN + 40];
    snprintf(text, sizeof text, " Truncating signal from %lld to %ld samples.", (long long)frames,
             (long)MAX_FRAMES);
    show_error(text);
    frames = MAX_FRAMES;
  }
  if (!alloc_samples(w, (int)frames, channels))
    return 0;
  return (int)frames;
}

int64_t frames_in_file(int64_t file_bytes, int64_t offset, int size, int channels, int64_t claimed)
{
  if (channels < 1)
    channels = 1;
  int64_t room = file_bytes - offset;
  int64_t have = room > 0 && size > 0 ? room / size / channels : 0;
  if (claimed < 0)
    return 0;
  return claimed < have ? claimed : have;
}

// Walks the first `values` stored values from `offset` and keeps the largest
// finite magnitude (floats) or the smallest and largest value (integers).
static void scan_values(FILE *f, int code, int64_t offset, int swapped, int64_t values,
                        double *peak, int64_t *lo, int64_t *hi)
{
  int size = sample_sizes[code];
  size_t per_chunk = LOAD_CHUNK / size;
  *peak = 0;
  *lo = *hi = 0;
  if (!seek_to(f, offset))
    return;
  while (values > 0) {
    size_t want = (size_t)std::min<int64_t>((int64_t)per_chunk, values) * size;
    size_t got = fread(load_chunk, 1, want, f);
    int n = (int)(got / size);
    if (swapped)
      swap_values(load_chunk, n, size);
    for (int i = 0; i < n; i++) {
      const uint8_t *p = load_chunk + i * size;
      switch (code) {
      case SC_FLOAT:
      case SC_DOUBLE: {
        double v = code == SC_FLOAT ? get_le_float(p) : get_le_double(p);
        if (std::isfinite(v) && std::fabs(v) > *peak)
          *peak = std::fabs(v);
        break;
      }
      default: {
        int64_t v = code == SC_S32 ? (int64_t)(int32_t)get_le32(p) : (int64_t)get_le16(p);
        if (v < *lo)
          *lo = v;
        if (v > *hi)
          *hi = v;
      }
      }
    }
    values -= n;
    if (got < want)
      break;
  }
}

double float_scale(FILE *f, int code, int64_t offset, int swapped, int64_t values)
{
  double peak;
  int64_t lo, hi;
  scan_values(f, code, offset, swapped, values, &peak, &lo, &hi);
  return peak > 0 ? 32767.0 / peak : 1.0;
}

int int_shift(FILE *f, int code, int64_t offset, int swapped, int64_t values)
{
  double peak;
  int64_t lo, hi;
  scan_values(f, code, offset, swapped, values, &peak, &lo, &hi);
  return shift_to_16(lo, hi);
}

// Reads `total` values a chunk at a time, converting each whole value; a
// partial value at the end of the file is dropped.
static int64_t read_staged(FILE *f, int code, int swapped, int64_t total, int16_t *dst,
                           double scale, int shift)
{
  int size = sample_sizes[code];
  int64_t per_chunk = LOAD_CHUNK / size;
  int64_t stored = 0;
  while (stored < total) {
    size_t want = (size_t)std::min(per_chunk, total - stored) * size;
    size_t got = fread(load_chunk, 1, want, f);
    int64_t whole = (int64_t)(got / size);
    if (swapped)
      swap_values(load_chunk, (size_t)whole, size);
    convert_values(code, load_chunk, (int)whole, dst + stored, scale, shift);
    add_value_stats(&load_stats, dst + stored, whole);
    gather_trace_values(cur_win, dst + stored, whole);
    stored += whole;
    if (got < want)
      break;
  }
  return stored;
}

// 16-bit little-endian values are already what the storage holds: they go
// straight from the file into it, a chunk at a time, past the stream buffer.
static int64_t read_direct16(FILE *f, int64_t offset, int swapped, int64_t total, int16_t *dst)
{
  int fd = fileno(f);
  if (lseek(fd, (off_t)offset, SEEK_SET) != (off_t)offset)
    return 0;
  int64_t have = 0; // bytes stored, whole values or not
  while (have < total * 2) {
    size_t want = (size_t)std::min<int64_t>(total * 2 - have, DIRECT_CHUNK);
    ssize_t got = read(fd, (char *)dst + have, want);
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      break;
    int64_t from = have / 2;
    have += got;
    if (swapped)
      swap_bytes16((uint8_t *)(dst + from), (size_t)(have / 2 - from));
    add_value_stats(&load_stats, dst + from, have / 2 - from);
    gather_trace_values(cur_win, dst + from, have / 2 - from);
  }
  return have / 2; // a trailing odd byte is no value
}

void read_samples(FILE *f, int code, int64_t offset, int64_t frames, int channels, int swapped,
                  const char *message)
{
  int w = cur_win;
  signal_window *sw = &windows[w];
  int c = std::clamp(channels, 1, (int)MAX_CHANNELS);
  int n = code >= 0 && code < NUM_SAMPLE_CODES ? alloc_for_load(w, frames, c) : 0;
  int64_t total = (int64_t)n * c;
  if (total == 0) {
    sw->num_samples = 0;
    sw->channels = 0;
    fclose(f);
    return;
  }
  show_prompt(message);

  double scale = 1;
  int shift = 0;
  if (code == SC_FLOAT || code == SC_DOUBLE)
    scale = float_scale(f, code, offset, swapped, total);
  else if (code == SC_S32 || code == SC_U16)
    shift = int_shift(f, code, offset, swapped, total);

  int64_t stored = 0;
  load_stats = {};
  if (c == 1)
    begin_trace_gather(w, sw->samples, total, load_trace_width(w));
  else
    end_trace_gather(w);
  if (seek_to(f, offset)) {
    if (code == SC_S16 && std::endian::native == std::endian::little)
      stored = read_direct16(f, offset, swapped, total, sw->samples);
    else
      stored = read_staged(f, code, swapped, total, sw->samples, scale, shift);
  }

  sw->num_samples = (int32_t)(stored / c);
  sw->channels = (int8_t)c;
  sw->file_type = (int8_t)cur_file_type;
  sw->src_type = (uint8_t)code;
  sw->src_flag = (uint8_t)(swapped != 0);
  // Values of a partial frame at the end were counted but are not kept.
  load_stats_ready = stored % c == 0;
  finish_load();
  fclose(f);
}

int loads_drawn_later;

void finish_load()
{
  int w = cur_win;
  signal_window *sw = &windows[w];
  int n = sw->num_samples;
  int c = std::clamp((int)sw->channels, 1, (int)MAX_CHANNELS);
  if (load_stats_ready)
    apply_format_guess(w, &load_stats);
  else
    guess_format(w);
  load_stats_ready = 0;
  if (sw->samples)
    for (int i = 0; i < c; i++)
      sw->samples[(int64_t)n * c + i] = sw->zero_level;
  // The marks were reset while the window was still empty: [End] now
  // belongs at the end of the new signal, unless the file gave the marks.
  if (!marks_from_file)
    sw->marks[MARK_END] = n;
  marks_from_file = 0;
  cursor = (n < scr_width ? n : scr_width) / 2;
  window_views[w].view_start = 0;
  window_views[w].view_end = n;
  if (!loads_drawn_later) {
    redraw_current();
    end_trace_gather(w);
  }
  show_signal_info(w);
}
