// Saving: the dispatcher that proposes a name and asks before overwriting,
// and the output files every writer and export goes through.  An output is
// a temporary file beside its target; only when every byte was written,
// flushed and synced does it replace the target, so a failed save leaves
// the old file exactly as it was.
#include "core/state.h"
#include "files/files.h"
#include "screen/screen.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

enum { OUT_BUF = 1 << 18, MAX_LINKS = 16 };

// The one output open at a time.
static struct {
  int fd;                       // the temporary file; -1 none
  FILE *text;                   // its stream for text exports
  int failed;                   // a write, flush, sync or close failed
  char temp[FILE_PATH_LEN + 32];
  char target[FILE_PATH_LEN + 32];
  int64_t buf_offset;           // file offset of buf[0]
  int buf_len;
  uint8_t buf[OUT_BUF];
} out = {-1, nullptr, 0, "", "", 0, 0, {}};

output_fault_record output_fault = {FAULT_NONE, 0, 0, 0};

// 1 when the armed fault is at this point: the caller fails as if the
// system call had.
static int fault_at(int point)
{
  if (output_fault.point != point)
    return 0;
  errno = EIO;
  return 1;
}

static void show_name_error(const char *format, const char *name)
{
  char text[LINE_LEN];
  fit_name(text, format, name);
  show_error(text);
}

// Follows symbolic links to the file they name, so that a save replaces
// the file and keeps the link.  0 when the chain is too long.
static int resolve_target(const char *name, char *path, size_t size)
{
  snprintf(path, size, "%s", name);
  for (int i = 0; i < MAX_LINKS; i++) {
    struct stat st;
    if (lstat(path, &st) != 0 || !S_ISLNK(st.st_mode))
      return 1;
    char link[FILE_PATH_LEN];
    ssize_t n = readlink(path, link, sizeof link - 1);
    if (n < 0 || n >= (ssize_t)sizeof link - 1)
      return 0;
    link[n] = 0;
    char *slash = strrchr(path, '/');
    if (link[0] == '/' || !slash) {
      snprintf(path, size, "%s", link);
    } else {
      slash[1] = 0;
      if (strlen(path) + strlen(link) >= size)
        return 0;
      strcat(path, link);
    }
  }
  return 0;
}

static int make_temp(const char *name)
{
  if (!resolve_target(name, out.target, sizeof out.target))
    return -1;
  struct stat st;
  int exists = stat(out.target, &st) == 0;
  if (exists && !S_ISREG(st.st_mode))
    return -1; // devices and pipes are never replaced
  const char *slash = strrchr(out.target, '/');
  int dir_len = slash ? (int)(slash - out.target) + 1 : 0;
  snprintf(out.temp, sizeof out.temp, "%.*s.tarvo-save-XXXXXX", dir_len, out.target);
  int fd = mkstemp(out.temp);
  if (fd < 0)
    return -1;
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
    // The old owner where we may; otherwise the file becomes ours, with its permissions.
    [[maybe_unused]] int kept_owner = fchown(fd, st.st_uid, st.st_gid);
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  fchmod(fd, mode);
  return fd;
}

int create_output(const char *name)
{
  if (out.fd >= 0) { // an output left open is never put in place
    out.failed = 1;
    finish_output(out.fd);
  }
  out.failed = 0;
  output_fault.writes = 0;
  out.buf_offset = 0;
  out.buf_len = 0;
  out.text = nullptr;
  out.fd = make_temp(name);
  if (out.fd < 0) {
    show_name_error(" can't open file '%s' ", name);
    return -1;
  }
  char text[LINE_LEN], format[LINE_LEN];
  snprintf(format, sizeof format, " writing (%s) output to file '%%s' ", file_type_name(cur_file_type));
  fit_name(text, format, name);
  show_prompt(text);
  return out.fd;
}

// Text streams write through output_write, so that every byte of every
// output takes the one checked path.
static ssize_t text_write(void *, const char *data, size_t n)
{
  output_write(out.fd, out.buf_offset + out.buf_len, data, (int)n);
  return out.failed ? -1 : (ssize_t)n;
}

static int text_close(void *) { return 0; } // the descriptor is finish_output's to close

FILE *open_text_output(const char *name)
{
  int fd = create_output(name);
  if (fd < 0)
    return nullptr;
  cookie_io_functions_t io = {nullptr, text_write, nullptr, text_close};
  out.text = fopencookie(&out, "w", io);
  if (!out.text) {
    out.failed = 1;
    finish_output(fd);
    show_name_error(" can't open file '%s' ", name);
  }
  return out.text;
}

static void flush_buffer()
{
  const uint8_t *p = out.buf;
  int left = out.buf_len;
  int64_t at = out.buf_offset;
  while (left > 0 && !out.failed) {
    int size = output_fault.write_size > 0 && output_fault.write_size < left ? output_fault.write_size : left;
    output_fault.writes++;
    ssize_t n = output_fault.writes == output_fault.nth && fault_at(FAULT_WRITE) ? -1 : pwrite(out.fd, p, size, at);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      out.failed = 1;
      break;
    }
    p += n;
    left -= (int)n;
    at += n;
  }
  out.buf_offset = at;
  out.buf_len = 0;
}

void output_write(int fd, int64_t offset, const void *data, int n)
{
  if (fd != out.fd || fd < 0 || n < 0)
    return;
  if (offset != out.buf_offset + out.buf_len) {
    flush_buffer();
    out.buf_offset = offset;
  }
  const uint8_t *p = (const uint8_t *)data;
  while (n > 0) {
    int room = OUT_BUF - out.buf_len;
    int take = n < room ? n : room;
    memcpy(out.buf + out.buf_len, p, take);
    out.buf_len += take;
    p += take;
    n -= take;
    if (out.buf_len == OUT_BUF)
      flush_buffer();
  }
}

int finish_output(int fd)
{
  if (fd != out.fd || fd < 0)
    return 0;
  if (out.text && (fflush(out.text) != 0 || ferror(out.text)))
    out.failed = 1;
  flush_buffer();
  if (fault_at(FAULT_FLUSH))
    out.failed = 1;
  if (!out.failed && (fsync(out.fd) != 0 || fault_at(FAULT_FSYNC)))
    out.failed = 1;
  if (out.text && fclose(out.text) != 0)
    out.failed = 1;
  if (close(out.fd) != 0 || fault_at(FAULT_CLOSE))
    out.failed = 1;
  out.fd = -1;
  out.text = nullptr;
  if (!out.failed && (fault_at(FAULT_RENAME) || rename(out.temp, out.target) != 0))
    out.failed = 1;
  if (out.failed) {
    unlink(out.temp);
    return 0;
  }
  // The new name is on disk only once its directory is.
  char dir[sizeof out.target];
  snprintf(dir, sizeof dir, "%s", out.target);
  char *slash = strrchr(dir, '/');
  if (slash)
    slash[1] = 0;
  int dfd = open(slash ? dir : ".", O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return 1;
}

int finish_text_output(FILE *f)
{
  if (!f || f != out.text)
    return 0;
  return finish_output(out.fd);
}

int64_t write_values(int fd, int code, int swap, int64_t offset, int from, int to, int channels)
{
  const signal_window *sw = &windows[cur_win];
  int c = channels < 1 ? 1 : channels > MAX_CHANNELS ? MAX_CHANNELS : channels;
  int64_t values = (int64_t)(to - from) * c;
  const int16_t *v = sw->samples ? sw->samples + (int64_t)from * c : nullptr;
  int64_t at = offset;
  // Staged through the header area 512 values at a time.
  for (int64_t done = 0; v && done < values && (code == SC_U8 || code == SC_S16);) {
    int n = values - done < 512 ? (int)(values - done) : 512;
    int bytes = 0;
    for (int i = 0; i < n; i++) {
      uint16_t x = (uint16_t)v[done + i];
      if (code == SC_U8) {
        header_area[bytes++] = (uint8_t)x;
      } else if (swap) {
        header_area[bytes++] = (uint8_t)(x >> 8);
        header_area[bytes++] = (uint8_t)x;
      } else {
        header_area[bytes++] = (uint8_t)x;
        header_area[bytes++] = (uint8_t)(x >> 8);
      }
    }
    output_write(fd, at, header_area, bytes);
    at += bytes;
    done += n;
  }
  return at;
}

int write_samples(int fd, int code, int swap, int64_t offset, int from, int to, int channels)
{
  write_values(fd, code, swap, offset, from, to, channels);
  return finish_output(fd);
}

int stretch_is_bytes(int from, int to)
{
  const signal_window *sw = &windows[cur_win];
  if (sw->adc_bits != 8 || sw->zero_level != 128 || !sw->samples)
    return 0;
  for (int64_t i = (int64_t)from * sw->channels; i < (int64_t)to * sw->channels; i++)
    if (sw->samples[i] < 0 || sw->samples[i] > 255)
      return 0;
  return 1;
}

void strip_extension(char *name)
{
  char *slash = strrchr(name, '/');
  char *dot = strrchr(slash ? slash + 1 : name, '.');
  if (dot)
    *dot = 0;
}

void add_extension(char *name, int size)
{
  const char *slash = strrchr(name, '/');
  if (strchr(slash ? slash + 1 : name, '.') || cur_file_type < 0 || cur_file_type >= NUM_FILE_TYPES)
    return;
  size_t len = strlen(name);
  snprintf(name + len, size - len, "%s", file_extensions[cur_file_type]);
}

void propose_save_name(char *name, int size)
{
  const signal_window *sw = &windows[cur_win];
  unsigned char first = (unsigned char)sw->name[0];
  if (first <= ' ' || first >= 127 || first == '[') {
    name[0] = 0;
    return;
  }
  snprintf(name, size, "%s", sw->name);
  if (sw->file_type != cur_file_type || strchr(name, ',')) {
    strip_extension(name);
    add_extension(name, size);
  }
}

// The writer of the current save type: 1 when it wrote the file, 0 when
// writing failed, -1 when the file could not be created.
static int run_writer(const char *name, int from, int to)
{
  switch (cur_file_type) {
  case FT_ILS: return save_ils(name, from, to);
  case FT_C: return save_c_array(name, from, to);
  case FT_LST: return save_lst(name, from, to);
  case FT_PLT: return save_plt(name, from, to);
  case FT_SND: return save_snd(name, from, to);
  case FT_NOH: return save_noh(name, from, to);
  case FT_MAT: return save_mat(name, from, to);
  case FT_WAV: return save_wav(name, from, to);
  case FT_ADF: return save_adf(name, from, to);
  default: return -1;
  }
}

int has_writer(int type)
{
  return type >= 0 && type < NUM_FILE_TYPES && type != FT_TRN && type != FT_TOK;
}

void save_file(int from, int to)
{
  // Positions come from mark slots, which a file may have filled with
  // anything: the stretch never leaves the signal.
  int n = windows[cur_win].num_samples;
  from = from < 0 ? 0 : from > n ? n : from;
  to = to < 0 ? 0 : to > n ? n : to;
  if (to <= from) {
    show_error("No signal.");
    return;
  }
  if (!has_writer(cur_file_type)) {
    char text[LINE_LEN];
    snprintf(text, sizeof text, " Can't write (%s) files: choose another type with save_As. ",
             file_type_name(cur_file_type));
    show_error(text);
    return;
  }
  char name[LINE_LEN + 1], prompt[LINE_LEN];
  propose_save_name(name, sizeof name);
  snprintf(prompt, sizeof prompt, "Enter name of (%s) output file:  ", file_type_names[cur_file_type]);
  file_box(prompt, name, LINE_LEN);
  if (!name[0])
    return;
  if (access(name, F_OK) == 0) {
    char question[LINE_LEN];
    fit_name(question, " Overwrite existing file '%s' (y/N) ? ", name);
    show_prompt(question);
    if (!ask_yes()) {
      clear_prompt();
      return;
    }
  }
  // A writer whose file could not be created has said so already.
  int written = run_writer(name, from, to);
  if (written == 1)
    show_name_error(" Saved file '%s'.", name);
  else if (written == 0)
    show_name_error(" can't write file '%s' ", name);
}

const char *file_type_name(int t)
{
  return t >= 0 && t < NUM_FILE_TYPES ? file_type_names[t] : "?";
}
