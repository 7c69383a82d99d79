// Saving a 1048576-frame 16-bit mono window as WAV through save_file (the
// name and overwrite questions answered by queued keys, a temporary file,
// checked writes, fsync and rename) against the plainest safe-enough
// write: the same bytes in one write and one fsync into the same folder.
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
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

enum { FRAMES = 1048576, ROUNDS = 11, WAV_HEADER = 44 };

static void push_char(int ch)
{
  platform_event ev = {EV_CHAR, 0, ch, 0, 0};
  headless_push_event(&ev);
}

static double tarvo_save(const char *name)
{
  for (const char *p = name; *p; p++)
    push_char((unsigned char)*p);
  push_char(13);
  push_char('y'); // over the file of the round before
  push_char(' '); // the confirmation
  double t0 = now_ms();
  save_file(0, FRAMES);
  return now_ms() - t0;
}

static double plain_save(const std::string &path)
{
  double t0 = now_ms();
  std::vector<uint8_t> bytes(WAV_HEADER + 2 * (size_t)FRAMES);
  memcpy(bytes.data(), header_area, WAV_HEADER);
  const int16_t *v = windows[1].samples;
  for (size_t i = 0; i < FRAMES; i++)
    put_le16(bytes.data() + WAV_HEADER + 2 * i, (uint16_t)v[i]);
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ssize_t n = write(fd, bytes.data(), bytes.size());
  fsync(fd);
  close(fd);
  double t = now_ms() - t0;
  if (n != (ssize_t)bytes.size()) {
    fprintf(stderr, "bench_save: short write\n");
    exit(1);
  }
  return t;
}

int main()
{
  const char *tmp = getenv("TARVO_TEST_TMP");
  std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_save";
  mkdir(dir.c_str(), 0755);
  if (chdir(dir.c_str()) != 0) {
    perror(dir.c_str());
    return 1;
  }
  bench_screen();
  signal_window *sw = bench_window(1, FRAMES, 1);
  sw->adc_rate = 16000;
  for (int i = 0; i <= FRAMES; i++)
    sw->samples[i] = (int16_t)((int64_t)i * 7919 % 60000 - 30000);
  snprintf(sw->name, NAME_LEN, "[bench]");
  cur_file_type = FT_WAV;

  double tarvo[ROUNDS], plain[ROUNDS];
  tarvo_save("t.wav"); // warm-up
  plain_save(dir + "/p.wav");
  for (int r = 0; r < ROUNDS; r++) {
    tarvo[r] = tarvo_save("t.wav");
    plain[r] = plain_save(dir + "/p.wav");
  }
  struct stat st;
  if (stat("t.wav", &st) != 0 || st.st_size != WAV_HEADER + 2 * (off_t)FRAMES) {
    fprintf(stderr, "bench_save: the file was not saved whole\n");
    return 1;
  }
  double t = median(tarvo, ROUNDS), p = median(plain, ROUNDS);
  printf("save N=%d tarvo_ms=%.3f write_ms=%.3f ratio=%.2f\n", FRAMES, t, p, t / p);
  unlink("t.wav");
  unlink("p.wav");
  free_all_samples();
  release_surface();
  return 0;
}
