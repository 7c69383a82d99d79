// The whole load of any bytes: the probe picks the reader, as when a user
// names a file.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
  fuzz_start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  fuzz_reset();
  fuzz_file("load.in", data, size);
  load_file("load.in", 0);
  const signal_window &sw = windows[cur_win];
  if (sw.num_samples < 0 || sw.num_samples > MAX_FRAMES || sw.channels < 0 || sw.channels > MAX_CHANNELS)
    abort();
  return 0;
}
