/* Fixed-point signal chain of a sensor front end: a Q15 FIR low-pass with a
   32-bit accumulator and saturation, a first-order IIR (exponential average)
   and a moving average over a window, on a synthetic input read through a
   volatile.  The filters of a constant input must settle on that constant. */
#include <stdint.h>

volatile int16_t amplitude = 6000;
volatile int16_t offset = -1500;
volatile int16_t constant = 1234;
volatile uint16_t result[14];

static const int16_t taps[8] = {1024, 2560, 4608, 6144, 6144, 4608, 2560, 1024};  /* sum 28672 */
static int16_t history[8];
static int16_t window[16];

static const int16_t sine_q15[16] = {0,      12539,  23170,  30273,  32767,  30273,
                                     23170,  12539,  0,      -12539, -23170, -30273,
                                     -32767, -30273, -23170, -12539};

__attribute__((noinline)) static int16_t q15_mul(int16_t a, int16_t b) {
  return (int16_t)(((int32_t)a * b) >> 15);
}

__attribute__((noinline)) static int16_t saturate(int32_t v) {
  if (v > 32767) return 32767;
  if (v < -32768) return -32768;
  return (int16_t)v;
}

__attribute__((noinline)) static int16_t fir_step(int16_t x) {
  for (uint8_t i = 7; i > 0; i--) history[i] = history[i - 1];
  history[0] = x;
  int32_t acc = 0;
  for (uint8_t i = 0; i < 8; i++) acc += (int32_t)taps[i] * history[i];
  /* The taps have a gain of 7/8; 1 + 1/8 + 1/64 brings it back near 1
     with shifts only. */
  return saturate((acc >> 15) + (acc >> 18) + (acc >> 21));
}

static int16_t ema;

__attribute__((noinline)) static int16_t iir_step(int16_t x) {
  ema += (int16_t)((x - ema) >> 3);
  return ema;
}

static int32_t window_sum;
static uint8_t window_pos;

__attribute__((noinline)) static int16_t average_step(int16_t x) {
  window_sum += x - window[window_pos];
  window[window_pos] = x;
  window_pos = (window_pos + 1) & 15;
  return (int16_t)(window_sum / 16);
}

int main(void) {
  int16_t fir_min = 32767, fir_max = -32768, iir_last = 0, avg_last = 0;
  uint16_t mix = 0;
  for (uint16_t n = 0; n < 64; n++) {
    int16_t x = q15_mul(sine_q15[n & 15], amplitude) + offset + (int16_t)((n * 37) & 63);
    int16_t y = fir_step(x);
    if (n >= 8) {
      if (y < fir_min) fir_min = y;
      if (y > fir_max) fir_max = y;
    }
    iir_last = iir_step(x);
    avg_last = average_step(x);
    mix = (uint16_t)(mix * 31) ^ (uint16_t)y ^ (uint16_t)avg_last;
  }

  int16_t c = constant;
  int16_t settled_fir = 0, settled_avg = 0;
  for (uint16_t n = 0; n < 16; n++) settled_fir = fir_step(c);
  for (uint16_t n = 0; n < 16; n++) settled_avg = average_step(c);
  ema = 0;
  int16_t settled_iir = 0;
  for (uint16_t n = 0; n < 80; n++) settled_iir = iir_step(c);

  int16_t d = settled_fir - c;
  result[0] = (uint16_t)fir_min;
  result[1] = (uint16_t)fir_max;
  result[2] = (uint16_t)iir_last;
  result[3] = (uint16_t)avg_last;
  result[4] = mix;
  result[5] = (uint16_t)settled_fir;
  result[6] = (uint16_t)settled_avg;
  result[7] = (uint16_t)settled_iir;
  result[8] = (d >= -8 && d <= 8) | (settled_avg == c) << 1 | (settled_iir > c - 8 && settled_iir <= c) << 2
              | (fir_min < offset && fir_max > offset) << 3;
  result[9] = (uint16_t)saturate(100000);
  result[10] = (uint16_t)saturate(-100000);
  result[11] = (uint16_t)q15_mul(-32768, -32768);
  result[12] = (uint16_t)q15_mul(amplitude, -16384);
  result[13] = 0x600D;
  return 0;
}
