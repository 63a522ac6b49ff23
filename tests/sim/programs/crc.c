/* CRC-16/CCITT bit by bit and by table, CRC-32 bit by bit, over a message
   read through a volatile buffer.  The table-driven CRC must agree with the
   bitwise one, and both must give the catalogue check values. */
#include <stdint.h>

volatile uint8_t message[] = "123456789";
volatile uint8_t frame[40];
volatile uint16_t result[8];

static uint16_t crc16_table[256];

__attribute__((noinline)) static uint16_t crc16_bitwise(const volatile uint8_t *p, uint16_t n) {
  uint16_t crc = 0xFFFF;
  while (n--) {
    crc ^= (uint16_t)*p++ << 8;
    for (uint8_t i = 0; i < 8; i++)
      crc = (crc & 0x8000) ? (uint16_t)(crc << 1) ^ 0x1021 : (uint16_t)(crc << 1);
  }
  return crc;
}

__attribute__((noinline)) static void crc16_make_table(void) {
  for (uint16_t b = 0; b < 256; b++) {
    uint16_t crc = b << 8;
    for (uint8_t i = 0; i < 8; i++)
      crc = (crc & 0x8000) ? (uint16_t)(crc << 1) ^ 0x1021 : (uint16_t)(crc << 1);
    crc16_table[b] = crc;
  }
}

__attribute__((noinline)) static uint16_t crc16_table_driven(const volatile uint8_t *p, uint16_t n) {
  uint16_t crc = 0xFFFF;
  while (n--) crc = (uint16_t)(crc << 8) ^ crc16_table[(uint8_t)((crc >> 8) ^ *p++)];
  return crc;
}

__attribute__((noinline)) static uint32_t crc32_bitwise(const volatile uint8_t *p, uint16_t n) {
  uint32_t crc = 0xFFFFFFFFul;
  while (n--) {
    crc ^= *p++;
    for (uint8_t i = 0; i < 8; i++) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320ul : crc >> 1;
  }
  return ~crc;
}

int main(void) {
  uint16_t len = sizeof message - 1;
  uint16_t a = crc16_bitwise(message, len);
  crc16_make_table();
  uint16_t b = crc16_table_driven(message, len);
  uint32_t c = crc32_bitwise(message, len);

  /* A frame that carries its own CRC, big-endian, checks to zero. */
  for (uint16_t i = 0; i < 38; i++) frame[i] = (uint8_t)(i * 7 + message[i % len]);
  uint16_t fc = crc16_table_driven(frame, 38);
  frame[38] = fc >> 8;
  frame[39] = (uint8_t)fc;
  uint16_t residue = crc16_bitwise(frame, 40);

  result[0] = a;
  result[1] = b;
  result[2] = (uint16_t)c;
  result[3] = (uint16_t)(c >> 16);
  result[4] = fc;
  result[5] = residue;
  result[6] = (a == 0x29B1) | (b == a) << 1 | (c == 0xCBF43926ul) << 2 | (residue == 0) << 3;
  result[7] = 0x600D;
  return 0;
}
