/* Byte and word mixing as in drivers and protocol code: big-endian packing
   and unpacking, byte swaps, nibble and bit reversal, population counts,
   sign extension of bytes, and flag bytes tested by their top bit, next to
   word tests of the same values (a byte's bit 7 is not the word's bit 15). */
#include <stdint.h>

volatile uint8_t raw[] = {0x80, 0x7F, 0x00, 0xFF, 0x12, 0xA5, 0x01, 0xC3, 0x3C, 0x81};
volatile uint16_t words[] = {0x0080, 0x8000, 0x00FF, 0xFF00, 0x1234, 0x7F80, 0x0001, 0xFFFF};
volatile uint16_t result[16];

__attribute__((noinline)) static uint16_t get_be16(const volatile uint8_t *p) { return (uint16_t)(p[0] << 8 | p[1]); }

__attribute__((noinline)) static uint32_t get_be32(const volatile uint8_t *p) {
  return (uint32_t)get_be16(p) << 16 | get_be16(p + 2);
}

__attribute__((noinline)) static void put_be16(uint8_t *p, uint16_t v) {
  p[0] = (uint8_t)(v >> 8);
  p[1] = (uint8_t)v;
}

__attribute__((noinline)) static uint16_t swap16(uint16_t v) { return (uint16_t)(v << 8 | v >> 8); }

__attribute__((noinline)) static uint8_t reverse8(uint8_t b) {
  b = (uint8_t)((b & 0xF0) >> 4 | (b & 0x0F) << 4);
  b = (uint8_t)((b & 0xCC) >> 2 | (b & 0x33) << 2);
  return (uint8_t)((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

__attribute__((noinline)) static uint8_t popcount16(uint16_t v) {
  uint8_t n = 0;
  while (v) {
    v &= v - 1;
    n++;
  }
  return n;
}

/* Bit 7 of a byte, as a flag register would be tested. */
__attribute__((noinline)) static uint8_t top_bit_set(uint8_t flags) { return (int8_t)flags < 0; }

__attribute__((noinline)) static uint8_t word_negative(uint16_t w) { return (int16_t)w < 0; }

__attribute__((noinline)) static uint8_t low_byte_zero(uint16_t w) { return (uint8_t)w == 0; }

int main(void) {
  uint8_t out[8];
  uint16_t be = get_be16(raw + 4);
  uint32_t be32 = get_be32(raw + 6);
  put_be16(out, be);
  put_be16(out + 2, swap16(be));
  put_be16(out + 4, (uint16_t)(be32 >> 8));
  put_be16(out + 6, (uint16_t)be32);

  uint16_t rev = 0, pop = 0, sext = 0, byte_flags = 0, word_flags = 0, low_zero = 0;
  for (uint8_t i = 0; i < sizeof raw; i++) {
    uint8_t b = raw[i];
    rev = (uint16_t)(rev * 7) + reverse8(b);
    pop += popcount16(b);
    sext += (uint16_t)(int16_t)(int8_t)b;
    byte_flags |= (uint16_t)top_bit_set(b) << i;
  }
  for (uint8_t i = 0; i < sizeof words / sizeof words[0]; i++) {
    uint16_t w = words[i];
    word_flags |= (uint16_t)word_negative(w) << i;
    word_flags |= (uint16_t)top_bit_set((uint8_t)w) << (i + 8);
    low_zero |= (uint16_t)low_byte_zero(w) << i;
    pop += popcount16(w);
  }

  result[0] = be;
  result[1] = (uint16_t)be32;
  result[2] = (uint16_t)(be32 >> 16);
  result[3] = out[0] | out[1] << 8;
  result[4] = out[2] | out[3] << 8;
  result[5] = out[4] | out[5] << 8;
  result[6] = out[6] | out[7] << 8;
  result[7] = rev;
  result[8] = pop;
  result[9] = sext;
  result[10] = byte_flags;
  result[11] = word_flags;
  result[12] = low_zero;
  result[13] = (be == 0x12A5) | (be32 == 0x01C33C81ul) << 1 | (reverse8(0x01) == 0x80) << 2
               | (byte_flags == 0x2A9) << 3 | (word_flags == 0xA58A) << 4 | (low_zero == 0x0A) << 5;
  result[14] = swap16(words[4]);
  result[15] = 0x600D;
  return 0;
}
