/* Receive state machine of a framed serial protocol: SOF, address, length,
   payload, XOR checksum, with byte stuffing (ESC xor 0x20).  Frames for
   another address, bad checksums, over-long frames and stray bytes are
   counted and dropped; good payloads are summed. */
#include <stdint.h>

#define SOF 0x7E
#define ESC 0x7D
#define MY_ADDR 0x12
#define MAX_PAYLOAD 8

enum rx_state { WAIT_SOF, GET_ADDR, GET_LEN, GET_DATA, GET_CHECK };

volatile uint8_t stream[] = {
    0x00, 0x55,                                         /* noise */
    SOF, MY_ADDR, 3, 0x01, 0x02, 0x03, 0x12 ^ 3 ^ 0x01 ^ 0x02 ^ 0x03,
    SOF, 0x34, 2, 0xAA, 0xBB, 0x34 ^ 2 ^ 0xAA ^ 0xBB,  /* other address */
    SOF, MY_ADDR, 2, 0x10, 0x20, 0x00,                  /* bad checksum */
    SOF, MY_ADDR, 2, ESC, SOF ^ 0x20, ESC, ESC ^ 0x20, 0x12 ^ 2 ^ SOF ^ ESC,
    SOF, MY_ADDR, 9,                                    /* too long */
    SOF, MY_ADDR, 1, 0xFF, 0x12 ^ 1 ^ 0xFF,
    SOF, MY_ADDR, 0, 0x12,
};
volatile uint16_t result[10];

struct receiver {
  enum rx_state state;
  uint8_t escaped;
  uint8_t addr, len, got, check;
  uint8_t data[MAX_PAYLOAD];
  uint16_t good, foreign, bad_check, too_long, payload_sum;
};

static struct receiver rx;

__attribute__((noinline)) static void deliver(struct receiver *r) {
  for (uint8_t i = 0; i < r->len; i++) r->payload_sum = (uint16_t)(r->payload_sum * 3 + r->data[i]);
  r->good++;
}

__attribute__((noinline)) static void rx_byte(struct receiver *r, uint8_t b) {
  if (b == SOF) {
    r->state = GET_ADDR;
    r->escaped = 0;
    return;
  }
  if (r->state == WAIT_SOF) return;
  if (b == ESC) {
    r->escaped = 1;
    return;
  }
  if (r->escaped) {
    b ^= 0x20;
    r->escaped = 0;
  }
  switch (r->state) {
    case GET_ADDR:
      r->addr = b;
      r->check = b;
      r->state = GET_LEN;
      break;
    case GET_LEN:
      if (b > MAX_PAYLOAD) {
        r->too_long++;
        r->state = WAIT_SOF;
        break;
      }
      r->len = b;
      r->got = 0;
      r->check ^= b;
      r->state = b ? GET_DATA : GET_CHECK;
      break;
    case GET_DATA:
      r->data[r->got++] = b;
      r->check ^= b;
      if (r->got == r->len) r->state = GET_CHECK;
      break;
    case GET_CHECK:
      if (b != r->check) r->bad_check++;
      else if (r->addr != MY_ADDR) r->foreign++;
      else deliver(r);
      r->state = WAIT_SOF;
      break;
    default:
      r->state = WAIT_SOF;
  }
}

int main(void) {
  for (uint16_t i = 0; i < sizeof stream; i++) rx_byte(&rx, stream[i]);
  result[0] = rx.good;
  result[1] = rx.foreign;
  result[2] = rx.bad_check;
  result[3] = rx.too_long;
  result[4] = rx.payload_sum;
  result[5] = rx.state;
  result[6] = rx.data[0] | rx.data[1] << 8;
  result[7] = (rx.good == 4) | (rx.foreign == 1) << 1 | (rx.bad_check == 1) << 2 | (rx.too_long == 1) << 3;
  result[8] = rx.check;
  result[9] = 0x600D;
  return 0;
}
