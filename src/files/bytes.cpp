// Byte-order helpers shared by every reader and writer.
#include "files/bytes.h"
#include <cstring>
#include <sys/stat.h>

void swap_values(uint8_t *buf, size_t n, int size)
{
  for (size_t k = 0; k < n; k++) {
    uint8_t *v = buf + k * (size_t)size;
    for (int i = 0, j = size - 1; i < j; i++, j--) {
      uint8_t t = v[i];
      v[i] = v[j];
      v[j] = t;
    }
  }
}

void swap_bytes16(uint8_t *buf, size_t n) { swap_values(buf, n, 2); }

int read_bytes(FILE *f, void *buf, size_t n) { return fread(buf, 1, n, f) == n; }

int read_le32(FILE *f, uint32_t *v)
{
  uint8_t b[4];
  if (!read_bytes(f, b, 4))
    return 0;
  *v = get_le32(b);
  return 1;
}

int seek_to(FILE *f, int64_t pos)
{
  if (pos < 0)
    return 0;
  return fseeko(f, (off_t)pos, SEEK_SET) == 0;
}

int64_t file_size(FILE *f)
{
  struct stat st;
  if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode))
    return -1;
  return (int64_t)st.st_size;
}
