// Byte-order helpers shared by every reader and writer.
#include "files/bytes.h"
#include <cstring>
#include <sys/stat.h>

uint16_t get_le16(const uint8_t *p) { return (uint16_t)(p[0] | p[1] << 8); }
uint16_t get_be16(const uint8_t *p) { return (uint16_t)(p[1] | p[0] << 8); }

uint32_t get_le32(const uint8_t *p)
{
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

uint32_t get_be32(const uint8_t *p)
{
  return (uint32_t)p[3] | (uint32_t)p[2] << 8 | (uint32_t)p[1] << 16 | (uint32_t)p[0] << 24;
}

uint64_t get_le64(const uint8_t *p) { return (uint64_t)get_le32(p) | (uint64_t)get_le32(p + 4) << 32; }

float get_le_float(const uint8_t *p)
{
  uint32_t bits = get_le32(p);
  float v;
  memcpy(&v, &bits, 4);
  return v;
}

double get_le_double(const uint8_t *p)
{
  uint64_t bits = get_le64(p);
  double v;
  memcpy(&v, &bits, 8);
  return v;
}

void put_le16(uint8_t *p, uint16_t v)
{
  p[0] = (uint8_t)v;
  p[1] = (uint8_t)(v >> 8);
}

void put_be16(uint8_t *p, uint16_t v)
{
  p[1] = (uint8_t)v;
  p[0] = (uint8_t)(v >> 8);
}

void put_le32(uint8_t *p, uint32_t v)
{
  for (int i = 0; i < 4; i++)
    p[i] = (uint8_t)(v >> (8 * i));
}

void put_be32(uint8_t *p, uint32_t v)
{
  for (int i = 0; i < 4; i++)
    p[3 - i] = (uint8_t)(v >> (8 * i));
}

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
void swap_bytes24(uint8_t *buf, size_t n) { swap_values(buf, n, 3); }
void swap_bytes32(uint8_t *buf, size_t n) { swap_values(buf, n, 4); }
void swap_bytes64(uint8_t *buf, size_t n) { swap_values(buf, n, 8); }

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
