// Loading 1048576-frame files through load_file, against the plainest
// possible load: one read of the whole file and a plain loop converting its
// values to 16 bits.
//   load N=...                16-bit WAV
//   load code=24bit N=...     24-bit WAV (the upper two bytes kept)
//   load code=float N=...     32-bit float WAV (scaled to the largest magnitude)
//   load code=mulaw N=...     8-bit mu-law SND
//   startup files=5 N=...     the program's start with five 16-bit WAV files,
//                             up to its first drawn screen, against the same
//                             five files loaded into the five windows undrawn
//
// Drawing is left out of the loads: the signal goes into window 5 while only
// window 1 is visible, so the layout finds no band for it and draws nothing.
// What is measured is the probe, the header walk, the allocation, the
// conversion and the format guess.
//
// Fresh memory costs a page fault per 4 KiB on first touch, which on some
// machines outweighs the work itself.  Every load runs with the allocator
// told to keep freed memory, and after a warm-up round, so that neither
// pays for page faults the other is spared: the numbers compare the work.
// Rounds alternate between Tarvo and the reference and are timed in processor
// time (cpu_ms), since on a shared machine a few-millisecond round often
// loses a whole scheduler slice to other programs; each line gives the
// medians and, in brackets, Tarvo's fastest and slowest round.
#include "bench_support.h"
#include "core/core.h"
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <algorithm>
#include <bit>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

enum { FRAMES = 1048576, ROUNDS = 31, WAV_HEADER = 44, SND_HEADER = 24, START_FILES = 5 };

// The files each line loads; kind 0 is 16-bit WAV.
enum { KIND_S16, KIND_S24, KIND_FLOAT, KIND_MULAW, NUM_KINDS };
static const char *const kind_names[NUM_KINDS] = {"16bit", "24bit", "float", "mulaw"};
static const int kind_sizes[NUM_KINDS] = {2, 3, 4, 1};

static std::string bench_path(const char *name)
{
  const char *tmp = getenv("TARVO_TEST_TMP");
  std::string dir = tmp && *tmp ? tmp : "/tmp";
  mkdir(dir.c_str(), 0755);
  return dir + "/" + name;
}

// A 1048576-frame mono file of the kind, a sawtooth of 16-bit values
// written in the kind's encoding.
static std::string make_file(int kind, const char *name)
{
  std::string path = bench_path(name);
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) {
    perror(path.c_str());
    exit(1);
  }
  int size = kind_sizes[kind];
  uint8_t h[WAV_HEADER] = {};
  if (kind == KIND_MULAW) {
    memcpy(h, ".snd", 4);
    put_be32(h + 4, SND_HEADER);
    put_be32(h + 8, FRAMES);
    put_be32(h + 12, 1); // mu-law
    put_be32(h + 16, 8000);
    put_be32(h + 20, 1);
    fwrite(h, 1, SND_HEADER, f);
  } else {
    memcpy(h, "RIFF", 4);
    put_le32(h + 4, 36 + FRAMES * size);
    memcpy(h + 8, "WAVEfmt ", 8);
    put_le32(h + 16, 16);
    put_le16(h + 20, kind == KIND_FLOAT ? 3 : 1);
    put_le16(h + 22, 1);
    put_le32(h + 24, 16000);
    put_le32(h + 28, 16000 * size);
    put_le16(h + 32, (uint16_t)size);
    put_le16(h + 34, (uint16_t)(8 * size));
    memcpy(h + 36, "data", 4);
    put_le32(h + 40, FRAMES * size);
    fwrite(h, 1, WAV_HEADER, f);
  }
  std::vector<uint8_t> data((size_t)FRAMES * size);
  for (int i = 0; i < FRAMES; i++) {
    int v = (int)((int64_t)i * 7919 % 60000 - 30000);
    uint8_t *p = data.data() + (size_t)i * size;
    if (kind == KIND_S16)
      put_le16(p, (uint16_t)v);
    else if (kind == KIND_S24)
      p[0] = (uint8_t)i, put_le16(p + 1, (uint16_t)v);
    else if (kind == KIND_FLOAT)
      put_le32(p, std::bit_cast<uint32_t>(v / 32768.0f));
    else
      p[0] = (uint8_t)(i * 7);
  }
  fwrite(data.data(), 1, data.size(), f);
  fclose(f);
  return path;
}

// The reference: one read, one plain conversion loop (for floats a pass for
// the largest magnitude first), fresh buffers each time.
static double plain_load(const std::string &path, int kind, long long *check)
{
  double t0 = cpu_ms();
  int fd = open(path.c_str(), O_RDONLY);
  struct stat st;
  fstat(fd, &st);
  uint8_t *raw = (uint8_t *)malloc(st.st_size);
  ssize_t got = read(fd, raw, st.st_size);
  close(fd);
  int header = kind == KIND_MULAW ? SND_HEADER : WAV_HEADER, size = kind_sizes[kind];
  size_t n = got > header ? (size_t)(got - header) / size : 0;
  const uint8_t *src = raw + header;
  int16_t *out = (int16_t *)malloc((n + 1) * 2);
  switch (kind) {
  case KIND_S16:
    for (size_t i = 0; i < n; i++)
      out[i] = (int16_t)get_le16(src + 2 * i);
    break;
  case KIND_S24:
    for (size_t i = 0; i < n; i++)
      out[i] = (int16_t)get_le16(src + 3 * i + 1);
    break;
  case KIND_FLOAT: {
    double peak = 0;
    for (size_t i = 0; i < n; i++) {
      double v = get_le_float(src + 4 * i);
      if (std::isfinite(v) && std::fabs(v) > peak)
        peak = std::fabs(v);
    }
    double scale = peak > 0 ? 32767.0 / peak : 1.0;
    for (size_t i = 0; i < n; i++)
      out[i] = scale_to_16(get_le_float(src + 4 * i), scale);
    break;
  }
  case KIND_MULAW:
    for (size_t i = 0; i < n; i++)
      out[i] = (int16_t)mulaw_to_linear(src[i]);
    break;
  }
  double t1 = cpu_ms();
  *check += out[n / 2];
  free(raw);
  free(out);
  return t1 - t0;
}

static double tarvo_load(const std::string &path, long long *check)
{
  double t0 = cpu_ms();
  load_file(path.c_str(), 0);
  double t1 = cpu_ms();
  if (windows[cur_win].num_samples != FRAMES) {
    fprintf(stderr, "bench_load: loaded %d frames, not %d\n", windows[cur_win].num_samples, FRAMES);
    exit(1);
  }
  *check += windows[cur_win].samples[FRAMES / 2];
  return t1 - t0;
}

// One load line: alternating rounds of the two loads after a warm-up.
static void time_loads(int kind, long long *check)
{
  char name[64];
  snprintf(name, sizeof name, "bench_load_%s.%s", kind_names[kind], kind == KIND_MULAW ? "snd" : "wav");
  std::string path = make_file(kind, name);
  double tarvo[ROUNDS], plain[ROUNDS];
  plain_load(path, kind, check); // warm-up: page cache and allocator
  tarvo_load(path, check);
  for (int r = 0; r < ROUNDS; r++) {
    plain[r] = plain_load(path, kind, check);
    tarvo[r] = tarvo_load(path, check);
  }
  double t = median(tarvo, ROUNDS), p = median(plain, ROUNDS);
  if (kind == KIND_S16)
    printf("load N=%d", FRAMES);
  else
    printf("load code=%s N=%d", kind_names[kind], FRAMES);
  printf(" tarvo_ms=%.3f read_ms=%.3f ratio=%.2f [%.3f..%.3f]\n", t, p, t / p, tarvo[0],
         tarvo[ROUNDS - 1]);
  unlink(path.c_str());
}

// The program's start as program_main runs it, from the command line to the
// first drawn screen: options, the file check, the font and back buffer, the
// windows, and the five files loaded into five visible windows and drawn.
// Only opening the platform (the headless screen, opened once) is left out.
static double start_program(char **args, int count)
{
  free_all_samples();
  release_surface();
  double t0 = cpu_ms();
  parse_options(count, args);
  check_file_names();
  prepare_surface();
  init_windows();
  load_start_files();
  double t1 = cpu_ms();
  for (int w = 1; w <= START_FILES; w++)
    if (windows[w].num_samples != FRAMES) {
      fprintf(stderr, "bench_load: start-up loaded %d frames into window %d\n",
              windows[w].num_samples, w);
      exit(1);
    }
  return t1 - t0;
}

// The same five files loaded one after another into the five windows, as
// the start loads them, but undrawn: the screen is given no room for a
// window band while they load, and no signal information is shown.  Each
// file has a buffer of its own, so the loads touch as much memory as the
// start does.
static double five_loads(std::string *paths, long long *check)
{
  int saved_bottom = graph_bottom;
  graph_bottom = row_height;
  info_enabled = 0;
  double sum = 0;
  for (int i = 0; i < START_FILES; i++) {
    cur_win = i + 1;
    sum += tarvo_load(paths[i], check);
  }
  graph_bottom = saved_bottom;
  return sum;
}

static void time_startup(long long *check)
{
  std::string paths[START_FILES];
  static char *args[START_FILES + 1];
  args[0] = (char *)"Tarvo";
  for (int i = 0; i < START_FILES; i++) {
    char name[64];
    snprintf(name, sizeof name, "bench_start_%d.wav", i + 1);
    paths[i] = make_file(KIND_S16, name);
    args[i + 1] = strdup(paths[i].c_str());
  }
  double tarvo[ROUNDS], loads[ROUNDS];
  start_program(args, START_FILES + 1); // warm-up
  for (int r = 0; r < ROUNDS; r++) {
    tarvo[r] = start_program(args, START_FILES + 1);
    loads[r] = five_loads(paths, check);
  }
  double t = median(tarvo, ROUNDS), l = median(loads, ROUNDS);
  printf("startup files=%d N=%d tarvo_ms=%.3f load_ms=%.3f ratio=%.2f [%.3f..%.3f]\n", START_FILES,
         FRAMES, t, l, t / l, tarvo[0], tarvo[ROUNDS - 1]);
  for (int i = 0; i < START_FILES; i++) {
    unlink(paths[i].c_str());
    free(args[i + 1]);
  }
}

int main()
{
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  bench_screen();
  long long check = 0;
  for (int kind = 0; kind < NUM_KINDS; kind++) {
    info_enabled = 0;
    last_vis = 1;  // only window 1 is shown ...
    cur_win = 5;   // ... and the signals go to window 5
    time_loads(kind, &check);
  }
  time_startup(&check);
  if (check == 42)
    printf("\n");
  free_all_samples();
  release_surface();
  return 0;
}
