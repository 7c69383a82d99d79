// Little- and big-endian fields read and written one by one, byte-order
// reversal of value blocks, and the few stream helpers the readers share.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

// Fields are small enough to inline: the sample conversions call them per value.
inline uint16_t get_le16(const uint8_t *p) { return (uint16_t)(p[0] | p[1] << 8); }

inline uint32_t get_le32(const uint8_t *p)
{
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

inline uint32_t get_be32(const uint8_t *p)
{
  return (uint32_t)p[3] | (uint32_t)p[2] << 8 | (uint32_t)p[1] << 16 | (uint32_t)p[0] << 24;
}

// A 32-bit field in the byte order a header announced.
inline uint32_t get_32(const uint8_t *p, int big) { return big ? get_be32(p) : get_le32(p); }

inline uint64_t get_le64(const uint8_t *p) { return (uint64_t)get_le32(p) | (uint64_t)get_le32(p + 4) << 32; }

inline float get_le_float(const uint8_t *p)
{
  uint32_t bits = get_le32(p);
  float v;
  memcpy(&v, &bits, 4);
  return v;
}

inline double get_le_double(const uint8_t *p)
{
  uint64_t bits = get_le64(p);
  double v;
  memcpy(&v, &bits, 8);
  return v;
}

inline void put_le16(uint8_t *p, uint16_t v)
{
  p[0] = (uint8_t)v;
  p[1] = (uint8_t)(v >> 8);
}

inline void put_be16(uint8_t *p, uint16_t v)
{
  p[1] = (uint8_t)v;
  p[0] = (uint8_t)(v >> 8);
}

inline void put_le32(uint8_t *p, uint32_t v)
{
  for (int i = 0; i < 4; i++)
    p[i] = (uint8_t)(v >> (8 * i));
}

inline void put_be32(uint8_t *p, uint32_t v)
{
  for (int i = 0; i < 4; i++)
    p[3 - i] = (uint8_t)(v >> (8 * i));
}

// Exchanges the two bytes of each of n 16-bit values in place.
void swap_bytes16(uint8_t *buf, size_t n);
// Reverses each value of `size` bytes (1 leaves the block as it is).
void swap_values(uint8_t *buf, size_t n, int size);

// Stream helpers: 1 when all bytes came, 0 otherwise.
int read_bytes(FILE *f, void *buf, size_t n);
int read_le32(FILE *f, uint32_t *v);
// Moves to an absolute byte position; 1 on success.
int seek_to(FILE *f, int64_t pos);
// Length of an open file in bytes (its position is left alone); -1 when unknown.
int64_t file_size(FILE *f);
