// The type probe on any bytes: it reads at most the header area and must
// never read past what the file holds.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
  fuzz_start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  fuzz_reset();
  fuzz_file("probe.in", data, size);
  int t = detect_file_type("probe.in");
  if (t < -1 || t >= NUM_FILE_TYPES)
    abort();
  return 0;
}
