// Headerless loading with fuzzed settings: the first 13 bytes are the
// header and trailer sizes (32 bits each, any sign), the sample code and
// the byte order; the rest is the file.
#include "fuzz_common.h"
#include <cstring>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
  fuzz_start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  if (size < 13)
    return 0;
  fuzz_reset();
  int32_t header, trailer, code;
  memcpy(&header, data, 4);
  memcpy(&trailer, data + 4, 4);
  memcpy(&code, data + 8, 4);
  raw_header = header;
  raw_trailer = trailer;
  raw_code = code;
  raw_swap = data[12] & 1;
  no_header = data[12] >> 1 & 1; // through the whole load, or the reader alone
  cur_file_type = FT_NOH;
  fuzz_file("plain.in", data + 13, size - 13);
  if (no_header)
    load_file("plain.in", 0);
  else
    load_plain("plain.in");
  if (windows[cur_win].num_samples < 0 || windows[cur_win].num_samples > MAX_FRAMES)
    abort();
  return 0;
}
