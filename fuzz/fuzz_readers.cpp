// Each reader called directly, whatever the probe would say: the first
// byte picks the reader, the rest is the file.  A token question, if one
// comes, is answered with "2".
#include "fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
  fuzz_start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  static void (*const readers[])(const char *) = {load_ils, load_trn, load_lst, load_snd,
                                                  load_plain, load_mat, load_wav, load_adf};
  static const int types[] = {FT_ILS, FT_TRN, FT_LST, FT_SND, FT_NOH, FT_MAT, FT_WAV, FT_ADF};
  if (size < 1)
    return 0;
  int which = data[0] % 8;
  fuzz_reset();
  cur_file_type = types[which];
  fuzz_file("reader.in", data + 1, size - 1);
  fuzz_type((const uint8_t *)"2", 1);
  readers[which]("reader.in");
  const signal_window &sw = windows[cur_win];
  if (sw.num_samples < 0 || sw.num_samples > MAX_FRAMES || sw.channels < 0 || sw.channels > MAX_CHANNELS)
    abort();
  return 0;
}
