/* Byte ring buffers between an "interrupt" producer and a main-loop
   consumer: power-of-two masking, a full flag instead of a wasted slot,
   overflow counting and bulk reads.  Everything consumed must be what was
   produced, in order. */
#include <stdint.h>

#define SIZE 16

volatile uint8_t burst[] = {5, 20, 1, 16, 0, 7, 3, 31, 9, 2};
volatile uint16_t result[10];

struct ring {
  uint8_t buf[SIZE];
  uint8_t head, tail;
  uint8_t full;
  uint16_t dropped;
};

static struct ring rx;

__attribute__((noinline)) static uint8_t ring_put(struct ring *r, uint8_t b) {
  if (r->full) {
    r->dropped++;
    return 0;
  }
  r->buf[r->head] = b;
  r->head = (r->head + 1) & (SIZE - 1);
  r->full = r->head == r->tail;
  return 1;
}

__attribute__((noinline)) static int16_t ring_get(struct ring *r) {
  if (!r->full && r->head == r->tail) return -1;
  uint8_t b = r->buf[r->tail];
  r->tail = (r->tail + 1) & (SIZE - 1);
  r->full = 0;
  return b;
}

__attribute__((noinline)) static uint8_t ring_count(const struct ring *r) {
  if (r->full) return SIZE;
  return (uint8_t)(r->head - r->tail) & (SIZE - 1);
}

__attribute__((noinline)) static uint8_t ring_read(struct ring *r, uint8_t *dst, uint8_t max) {
  uint8_t n = 0;
  int16_t c;
  while (n < max && (c = ring_get(r)) >= 0) dst[n++] = (uint8_t)c;
  return n;
}

int main(void) {
  uint8_t produced = 0, expected = 0, chunk[6];
  uint16_t in_order = 1, consumed = 0, max_count = 0, sum = 0;
  for (uint16_t round = 0; round < sizeof burst; round++) {
    for (uint8_t i = burst[round]; i > 0; i--)
      if (ring_put(&rx, produced)) produced++;
    uint8_t count = ring_count(&rx);
    if (count > max_count) max_count = count;
    uint8_t n = ring_read(&rx, chunk, (uint8_t)(round & 3) + 3);
    for (uint8_t i = 0; i < n; i++) {
      in_order &= chunk[i] == expected;
      expected++;
      sum += chunk[i];
    }
    consumed += n;
  }
  int16_t c;
  while ((c = ring_get(&rx)) >= 0) {
    in_order &= (uint8_t)c == expected;
    expected++;
    consumed++;
  }
  result[0] = produced;
  result[1] = consumed;
  result[2] = rx.dropped;
  result[3] = max_count;
  result[4] = sum;
  result[5] = rx.head | rx.tail << 8;
  result[6] = in_order;
  result[7] = (consumed == produced) | (ring_count(&rx) == 0) << 1 | (ring_get(&rx) == -1) << 2;
  result[8] = (uint16_t)(produced + rx.dropped);
  result[9] = 0x600D;
  return 0;
}
