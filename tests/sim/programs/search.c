/* Binary search over a sorted calibration table, linear search with a
   sentinel, and a keyword lookup by string compare, as a command shell
   would do it.  Every probe is checked against a brute-force scan. */
#include <stdint.h>

volatile uint16_t probes[] = {0, 3, 17, 100, 101, 999, 1000, 4095, 65535, 512, 2, 77};
volatile char command[] = "status";
volatile uint16_t result[12];

static const uint16_t table[] = {3, 9, 17, 40, 77, 100, 250, 512, 999, 1000, 2047, 4095};
#define TABLE_LEN (sizeof table / sizeof table[0])
static const char *const keywords[] = {"help", "reset", "set", "status", "stop", "version"};

__attribute__((noinline)) static int16_t bsearch_u16(const uint16_t *a, uint16_t n, uint16_t key) {
  uint16_t lo = 0, hi = n;
  while (lo < hi) {
    uint16_t mid = lo + (hi - lo) / 2;
    if (a[mid] < key) lo = mid + 1;
    else if (a[mid] > key) hi = mid;
    else return (int16_t)mid;
  }
  return -1;
}

/* Index of the first entry not below key: where an insertion would go. */
__attribute__((noinline)) static uint16_t lower_bound(const uint16_t *a, uint16_t n, uint16_t key) {
  uint16_t lo = 0;
  while (n > 0) {
    uint16_t half = n >> 1;
    if (a[lo + half] < key) {
      lo += half + 1;
      n -= half + 1;
    } else {
      n = half;
    }
  }
  return lo;
}

static uint8_t buffer[20];

__attribute__((noinline)) static uint16_t find_sentinel(uint8_t *a, uint16_t n, uint8_t key) {
  uint8_t saved = a[n];
  a[n] = key;
  uint16_t i = 0;
  while (a[i] != key) i++;
  a[n] = saved;
  return i;
}

__attribute__((noinline)) static int8_t str_compare(const char *a, const volatile char *b) {
  while (*a && *a == *b) {
    a++;
    b++;
  }
  return (int8_t)((uint8_t)*a - (uint8_t)*b);
}

__attribute__((noinline)) static int16_t lookup_keyword(const volatile char *word) {
  int16_t lo = 0, hi = sizeof keywords / sizeof keywords[0] - 1;
  while (lo <= hi) {
    int16_t mid = (lo + hi) >> 1;
    int8_t c = str_compare(keywords[mid], word);
    if (c == 0) return mid;
    if (c < 0) lo = mid + 1;
    else hi = mid - 1;
  }
  return -1;
}

int main(void) {
  uint16_t found = 0, agree = 1, bounds = 0;
  for (uint16_t p = 0; p < sizeof probes / sizeof probes[0]; p++) {
    uint16_t key = probes[p];
    int16_t at = bsearch_u16(table, TABLE_LEN, key);
    int16_t scan = -1;
    uint16_t first = TABLE_LEN;
    for (uint16_t i = TABLE_LEN; i-- > 0;) {
      if (table[i] == key) scan = (int16_t)i;
      if (table[i] >= key) first = i;
    }
    agree &= at == scan && lower_bound(table, TABLE_LEN, key) == first;
    if (at >= 0) found |= 1u << p;
    bounds = bounds * 13 + lower_bound(table, TABLE_LEN, key);
  }
  for (uint16_t i = 0; i < sizeof buffer - 1; i++) buffer[i] = (uint8_t)(probes[i % 12] * 3 + i);
  uint16_t pos_hit = find_sentinel(buffer, sizeof buffer - 1, buffer[11]);
  uint16_t pos_miss = find_sentinel(buffer, sizeof buffer - 1, 0xEE);

  int16_t kw = lookup_keyword(command);
  command[3] = 'r';  /* "star": not a keyword */
  int16_t none = lookup_keyword(command);
  command[0] = 'h';
  command[1] = 'e';
  command[2] = 'l';
  command[3] = 'p';
  command[4] = 0;
  int16_t first_kw = lookup_keyword(command);

  result[0] = found;
  result[1] = agree;
  result[2] = bounds;
  result[3] = pos_hit;
  result[4] = pos_miss;
  result[5] = (uint16_t)kw;
  result[6] = (uint16_t)none;
  result[7] = (uint16_t)first_kw;
  result[8] = (kw == 3) | (none == -1) << 1 | (first_kw == 0) << 2 | (pos_miss == 19) << 3
              | (pos_hit <= 11) << 4;
  result[9] = buffer[11];
  result[10] = buffer[19];
  result[11] = 0x600D;
  return 0;
}
