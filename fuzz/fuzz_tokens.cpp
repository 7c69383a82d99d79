// The token-file question answered with fuzzed text: the first byte is the
// answer's length (up to 31), then the answer, then the token file.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
  fuzz_start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  if (size < 1)
    return 0;
  size_t n = data[0] % 32;
  if (size < 1 + n)
    return 0;
  fuzz_reset();
  cur_file_type = FT_ILS;
  fuzz_type(data + 1, n);
  fuzz_file("token.in", data + 1 + n, size - 1 - n);
  load_ils("token.in");
  if (windows[cur_win].num_samples < 0 || windows[cur_win].num_samples > MAX_FRAMES)
    abort();
  return 0;
}
