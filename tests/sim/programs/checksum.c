/* Fletcher-16, Adler-32 and the one's-complement Internet checksum over a
   packet read through volatile storage, each checked against a known value
   or against its own verification rule. */
#include <stdint.h>

volatile uint8_t text[] = "Wikipedia";
volatile uint8_t packet[] = {0x45, 0x00, 0x00, 0x73, 0x00, 0x00, 0x40, 0x00, 0x40, 0x11,
                             0x00, 0x00, 0xc0, 0xa8, 0x00, 0x01, 0xc0, 0xa8, 0x00, 0xc7};
volatile uint16_t result[10];

__attribute__((noinline)) static uint16_t fletcher16(const volatile uint8_t *p, uint16_t n) {
  uint16_t s1 = 0, s2 = 0;
  for (uint16_t i = 0; i < n; i++) {
    s1 = (s1 + p[i]) % 255;
    s2 = (s2 + s1) % 255;
  }
  return s2 << 8 | s1;
}

__attribute__((noinline)) static uint32_t adler32(const volatile uint8_t *p, uint16_t n) {
  uint32_t a = 1, b = 0;
  while (n--) {
    a = (a + *p++) % 65521ul;
    b = (b + a) % 65521ul;
  }
  return b << 16 | a;
}

__attribute__((noinline)) static uint16_t inet_checksum(const volatile uint8_t *p, uint16_t n) {
  uint32_t sum = 0;
  for (uint16_t i = 0; i + 1 < n; i += 2) sum += (uint16_t)(p[i] << 8 | p[i + 1]);
  if (n & 1) sum += (uint16_t)(p[n - 1] << 8);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return (uint16_t)~sum;
}

int main(void) {
  uint16_t f = fletcher16(text, sizeof text - 1);
  uint32_t a = adler32(text, sizeof text - 1);
  uint16_t c = inet_checksum(packet, sizeof packet);
  packet[10] = c >> 8;
  packet[11] = (uint8_t)c;
  uint16_t verify = inet_checksum(packet, sizeof packet);
  uint16_t odd = inet_checksum(packet, sizeof packet - 1);

  result[0] = f;
  result[1] = (uint16_t)a;
  result[2] = (uint16_t)(a >> 16);
  result[3] = c;
  result[4] = verify;
  result[5] = odd;
  result[6] = (a == 0x11E60398ul) | (c == 0xB861) << 1 | (verify == 0) << 2;
  result[7] = fletcher16(packet, sizeof packet);
  result[8] = (uint16_t)adler32(packet, 0);
  result[9] = 0x600D;
  return 0;
}
