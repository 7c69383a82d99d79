// Headerless files: values of one sample code between a header and a
// trailer of given sizes, always one channel.
#include "core/state.h"
#include "files/bytes.h"
#include "files/files.h"
#include "screen/screen.h"
#include <cstdio>
#include <cstring>

void load_plain(const char *name)
{
  FILE *f = open_for_load(name);
  if (!f)
    return;
  int code = raw_code >= 0 && raw_code < NUM_SAMPLE_CODES ? raw_code : SC_S16;
  int64_t head = raw_header > 0 ? raw_header : 0;
  int64_t trail = raw_trailer > 0 ? raw_trailer : 0;
  int64_t frames = (file_size(f) - trail - head) / sample_sizes[code];
  char message[LINE_LEN + 256];
  snprintf(message, sizeof message, " Loading file %s ... ", name);
  read_samples(f, code, head, frames, 1, raw_swap, message);
}

// All channels of the stretch, interleaved, as stored.
int save_noh(const char *name, int from, int to)
{
  int fd = create_output(name);
  if (fd < 0)
    return -1;
  return write_samples(fd, SC_S16, 0, 0, from, to, windows[cur_win].channels);
}
