/* 16- and 32-bit arithmetic on the 16-bit CPU: products, quotients and
   remainders, signed and unsigned, variable shifts and a 32-bit integer
   square root, all through the runtime's helpers.  Operands come through
   volatiles, and every answer is compared with a table computed off-line
   with C semantics (division truncates toward zero). */
#include <stdint.h>

volatile uint16_t u16a[] = {1234, 65535, 40000, 7, 32768, 12345};
volatile uint16_t u16b[] = {56, 255, 3, 9, 32767, 1};
volatile int16_t s16a[] = {-1234, 1234, -32768, -7, 32767, 100};
volatile int16_t s16b[] = {56, -56, 3, -2, -1, 7};
volatile uint32_t u32a[] = {123456789ul, 4294967295ul, 2147483648ul, 98765ul, 305419896ul, 1ul};
volatile uint32_t u32b[] = {1000ul, 65537ul, 7ul, 98766ul, 4660ul, 1ul};
volatile int32_t s32a[] = {(int32_t)-123456789l, (int32_t)123456789l, (int32_t)-2147483647l, (int32_t)-5l, (int32_t)2000000000l, (int32_t)-1l};
volatile int32_t s32b[] = {(int32_t)1000l, (int32_t)-77l, (int32_t)-3l, (int32_t)7l, (int32_t)-65536l, (int32_t)1l};
volatile uint8_t shift16[] = {0, 1, 4, 7, 8, 15};
volatile uint8_t shift32[] = {0, 1, 8, 15, 16, 31};
volatile uint16_t value16 = 0xB3C5;
volatile uint32_t value32 = 0xC1A5F00Dul;
volatile uint32_t roots[] = {0ul, 1ul, 2ul, 99ul, 100ul, 65535ul, 65536ul, 1000000ul, 4294967295ul, 123456789ul};
volatile uint16_t result[8];

static const uint16_t expected[] = {
    3568, 22, 2, 65281, 257, 0, 54464, 13333, 1, 63, 0, 7, 32768, 1, 1, 12345, 12345, 0, 61968, 65514, 65534, 61968, 65514, 2, 32768, 54614, 65534, 14, 3, 65535, 32769, 32769, 0, 700, 14, 2, 6664, 48793, 57920, 1, 789, 0, 65535, 65534, 65535, 0, 0, 0, 0, 32768, 9362, 4681, 2, 0, 49142, 17771, 0, 0, 33229, 1, 96, 24758, 4, 1, 3496, 0, 1, 0, 1, 0, 0, 0, 58872, 16742, 7616, 65534, 64747, 65535, 20655, 51555, 35066, 65511, 71, 0, 65533, 32767, 43690, 10922, 65535, 65535, 65501, 65535, 0, 0, 65531, 65535, 0, 27648, 35019, 65535, 37888, 0, 65535, 65535, 65535, 65535, 0, 0, 46021, 46021, 46021, 26506, 23010, 55778, 15440, 2876, 64316, 57984, 359, 65383, 50432, 179, 65459, 32768, 1, 65535, 61453, 49573, 61453, 49573, 61453, 49573, 57370, 33611, 63494, 24786, 63494, 57554, 3328, 42480, 42480, 193, 42480, 65473, 32768, 63494, 33611, 1, 33611, 65535, 0, 61453, 49573, 0, 49573, 65535, 0, 32768, 1, 0, 65535, 65535, 0, 1, 1, 9, 10, 255, 256, 1000, 65535, 11111};
#define N_EXPECTED (sizeof expected / sizeof expected[0])

static uint16_t got[N_EXPECTED];
static uint16_t n_got;

__attribute__((noinline)) static void put16(uint16_t v) { got[n_got++] = v; }

__attribute__((noinline)) static void put32(uint32_t v) {
  put16((uint16_t)v);
  put16((uint16_t)(v >> 16));
}

__attribute__((noinline)) static uint16_t isqrt32(uint32_t x) {
  uint32_t root = 0, bit = 1ul << 30;
  while (bit > x) bit >>= 2;
  while (bit) {
    if (x >= root + bit) {
      x -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
    bit >>= 2;
  }
  return (uint16_t)root;
}

int main(void) {
  for (uint8_t i = 0; i < sizeof u16a / sizeof u16a[0]; i++) {
    uint16_t a = u16a[i], b = u16b[i];
    put16(a * b);
    put16(a / b);
    put16(a % b);
  }
  for (uint8_t i = 0; i < sizeof s16a / sizeof s16a[0]; i++) {
    int16_t a = s16a[i], b = s16b[i];
    put16((uint16_t)(int16_t)(a * b));
    put16((uint16_t)(a / b));
    put16((uint16_t)(a % b));
  }
  for (uint8_t i = 0; i < sizeof u32a / sizeof u32a[0]; i++) {
    uint32_t a = u32a[i], b = u32b[i];
    put32(a * b);
    put32(a / b);
    put32(a % b);
  }
  for (uint8_t i = 0; i < sizeof s32a / sizeof s32a[0]; i++) {
    int32_t a = s32a[i], b = s32b[i];
    put32((uint32_t)a * (uint32_t)b);
    put32((uint32_t)(a / b));
    put32((uint32_t)(a % b));
  }
  for (uint8_t i = 0; i < sizeof shift16; i++) {
    uint8_t s = shift16[i];
    put16((uint16_t)(value16 << s));
    put16(value16 >> s);
    put16((uint16_t)((int16_t)value16 >> s));
  }
  for (uint8_t i = 0; i < sizeof shift32; i++) {
    uint8_t s = shift32[i];
    put32(value32 << s);
    put32(value32 >> s);
    put32((uint32_t)((int32_t)value32 >> s));
  }
  for (uint8_t i = 0; i < sizeof roots / sizeof roots[0]; i++) put16(isqrt32(roots[i]));

  uint16_t wrong = 0, first_wrong = 0xFFFF, hash = 0;
  for (uint16_t i = 0; i < N_EXPECTED; i++) {
    if (got[i] != expected[i]) {
      if (!wrong) first_wrong = i;
      wrong++;
    }
    hash = (uint16_t)((hash << 5) | (hash >> 11)) ^ got[i];
  }
  result[0] = n_got;
  result[1] = wrong;
  result[2] = first_wrong;
  result[3] = hash;
  result[4] = got[first_wrong == 0xFFFF ? 0 : first_wrong];
  result[5] = (n_got == N_EXPECTED) | (wrong == 0) << 1;
  result[6] = got[N_EXPECTED - 1];
  result[7] = 0x600D;
  return 0;
}
