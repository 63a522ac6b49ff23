/* Insertion sort of signed words, Shell sort of bytes and a bubble sort with
   early exit, on data from a pseudo-random generator seeded through a
   volatile.  Each result carries a sorted flag and an order-independent sum
   that must survive the sort. */
#include <stdint.h>

volatile uint16_t seed = 0xACE1;
volatile uint16_t result[12];

static int16_t words[48];
static uint8_t bytes[64];
static uint16_t small[16];

static uint16_t lfsr;

__attribute__((noinline)) static uint16_t next_random(void) {
  uint16_t bit = ((lfsr >> 0) ^ (lfsr >> 2) ^ (lfsr >> 3) ^ (lfsr >> 5)) & 1;
  lfsr = (lfsr >> 1) | (bit << 15);
  return lfsr;
}

__attribute__((noinline)) static void insertion_sort(int16_t *a, uint16_t n) {
  for (uint16_t i = 1; i < n; i++) {
    int16_t v = a[i];
    uint16_t j = i;
    while (j > 0 && a[j - 1] > v) {
      a[j] = a[j - 1];
      j--;
    }
    a[j] = v;
  }
}

__attribute__((noinline)) static void shell_sort(uint8_t *a, uint16_t n) {
  for (uint16_t gap = n / 2; gap > 0; gap /= 2)
    for (uint16_t i = gap; i < n; i++) {
      uint8_t v = a[i];
      uint16_t j = i;
      for (; j >= gap && a[j - gap] > v; j -= gap) a[j] = a[j - gap];
      a[j] = v;
    }
}

__attribute__((noinline)) static uint16_t bubble_sort(uint16_t *a, uint16_t n) {
  uint16_t passes = 0;
  for (uint8_t swapped = 1; swapped && n > 1; n--) {
    swapped = 0;
    passes++;
    for (uint16_t i = 0; i + 1 < n; i++)
      if (a[i] > a[i + 1]) {
        uint16_t t = a[i];
        a[i] = a[i + 1];
        a[i + 1] = t;
        swapped = 1;
      }
  }
  return passes;
}

int main(void) {
  lfsr = seed;
  uint16_t sum_w = 0, sum_b = 0, sum_s = 0;
  for (uint16_t i = 0; i < 48; i++) sum_w += (uint16_t)(words[i] = (int16_t)next_random());
  for (uint16_t i = 0; i < 64; i++) sum_b += bytes[i] = (uint8_t)next_random();
  for (uint16_t i = 0; i < 16; i++) sum_s += small[i] = next_random() & 0x3FF;

  insertion_sort(words, 48);
  shell_sort(bytes, 64);
  uint16_t passes = bubble_sort(small, 16);

  uint16_t ok_w = 1, ok_b = 1, ok_s = 1, after_w = words[0], after_b = bytes[0], after_s = small[0];
  for (uint16_t i = 1; i < 48; i++) {
    ok_w &= words[i - 1] <= words[i];
    after_w += words[i];
  }
  for (uint16_t i = 1; i < 64; i++) {
    ok_b &= bytes[i - 1] <= bytes[i];
    after_b += bytes[i];
  }
  for (uint16_t i = 1; i < 16; i++) {
    ok_s &= small[i - 1] <= small[i];
    after_s += small[i];
  }
  result[0] = ok_w | ok_b << 1 | ok_s << 2;
  result[1] = (sum_w == after_w) | (sum_b == after_b) << 1 | (sum_s == after_s) << 2;
  result[2] = words[0];
  result[3] = words[47];
  result[4] = words[24];
  result[5] = bytes[0] | bytes[63] << 8;
  result[6] = small[0];
  result[7] = small[15];
  result[8] = passes;
  result[9] = sum_w;
  result[10] = sum_b;
  result[11] = lfsr;
  return 0;
}
