// Loading a 1048576-frame 16-bit mono WAV file through load_file, against
// the plainest possible load: one read of the whole file and a conversion
// of its values to 16 bits.
//
// Drawing is left out: the signal goes into window 5 while only window 1
// is visible, so the layout finds no band for it and draws nothing.  What
// is measured is the probe, the header walk, the allocation, the block
// conversion through the 1 KiB header area and the format guess.
//
// Fresh memory costs a page fault per 4 KiB on first touch, which on some
// machines outweighs the work itself.  Both loads run with the allocator
// told to keep freed memory, and after a warm-up round, so that neither
// pays for page faults the other is spared: the numbers compare the work.
#include "bench_support.h"
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "screen/platform.h"
#include "screen/screen.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

enum { FRAMES = 1048576, ROUNDS = 21, WAV_HEADER = 44 };

static std::string make_wav_file()
{
  const char *tmp = getenv("TARVO_TEST_TMP");
  std::string dir = tmp && *tmp ? tmp : "/tmp";
  mkdir(dir.c_str(), 0755);
  std::string path = dir + "/bench_load.wav";
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) {
    perror(path.c_str());
    exit(1);
  }
  uint8_t h[WAV_HEADER];
  memcpy(h, "RIFF", 4);
  put_le32(h + 4, 36 + FRAMES * 2);
  memcpy(h + 8, "WAVEfmt ", 8);
  put_le32(h + 16, 16);
  put_le16(h + 20, 1);
  put_le16(h + 22, 1);
  put_le32(h + 24, 16000);
  put_le32(h + 28, 32000);
  put_le16(h + 32, 2);
  put_le16(h + 34, 16);
  memcpy(h + 36, "data", 4);
  put_le32(h + 40, FRAMES * 2);
  fwrite(h, 1, WAV_HEADER, f);
  for (int i = 0; i < FRAMES; i++) {
    uint8_t v[2];
    put_le16(v, (uint16_t)((int64_t)i * 7919 % 60000 - 30000));
    fwrite(v, 1, 2, f);
  }
  fclose(f);
  return path;
}

// The reference: one read, one conversion loop, fresh buffers each time.
static double plain_load(const std::string &path, long long *check)
{
  double t0 = now_ms();
  int fd = open(path.c_str(), O_RDONLY);
  struct stat st;
  fstat(fd, &st);
  uint8_t *raw = (uint8_t *)malloc(st.st_size);
  ssize_t got = read(fd, raw, st.st_size);
  close(fd);
  size_t n = got > WAV_HEADER ? (size_t)(got - WAV_HEADER) / 2 : 0;
  int16_t *out = (int16_t *)malloc((n + 1) * 2);
  for (size_t i = 0; i < n; i++)
    out[i] = (int16_t)get_le16(raw + WAV_HEADER + 2 * i);
  double t1 = now_ms();
  *check += out[n / 2];
  free(raw);
  free(out);
  return t1 - t0;
}

static double tarvo_load(const std::string &path, long long *check)
{
  double t0 = now_ms();
  load_file(path.c_str(), 0);
  double t1 = now_ms();
  if (windows[cur_win].num_samples != FRAMES) {
    fprintf(stderr, "bench_load: loaded %d frames, not %d\n", windows[cur_win].num_samples, FRAMES);
    exit(1);
  }
  *check += windows[cur_win].samples[FRAMES / 2];
  return t1 - t0;
}

int main()
{
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  std::string path = make_wav_file();
  bench_screen();
  info_enabled = 0;
  last_vis = 1;  // only window 1 is shown ...
  cur_win = 5;   // ... and the signals go to window 5

  double tarvo[ROUNDS], plain[ROUNDS];
  long long check = 0;
  plain_load(path, &check); // warm-up: page cache and allocator
  tarvo_load(path, &check);
  for (int r = 0; r < ROUNDS; r++) {
    plain[r] = plain_load(path, &check);
    tarvo[r] = tarvo_load(path, &check);
  }
  double t = median(tarvo, ROUNDS), p = median(plain, ROUNDS);
  printf("load N=%d tarvo_ms=%.3f read_ms=%.3f ratio=%.2f\n", FRAMES, t, p, t / p);
  if (check == 42)
    printf("\n");
  free_all_samples();
  release_surface();
  unlink(path.c_str());
  return 0;
}
