/* A heater controller as it might run on a small MSP430 board: ADC counts
   to tenths of a degree, a debounced push button that steps the set point,
   a fixed-point PI loop with anti-windup driving a PWM duty, a digit encoder
   for a 7-segment display, and a CRC over the log it keeps.  The ADC and
   button come from volatile tables, as they would from registers; the
   results land in `result`, with a word of self-checks.

   Build it for the simulator and compare it before and after qvpeep:
       python3 tests/sim/sim_test.py --binary build-demo/qvpeep --program examples/firmware.c */
#include <stdint.h>

#define TICKS 48
#define PWM_MAX 1000

/* 12-bit ADC samples of a thermistor divider, warming up. */
volatile uint16_t adc_samples[TICKS] = {
    1200, 1204, 1210, 1219, 1231, 1245, 1262, 1280, 1301, 1322, 1344, 1367,
    1390, 1411, 1433, 1452, 1470, 1487, 1502, 1516, 1527, 1538, 1546, 1553,
    1559, 1563, 1566, 1568, 1570, 1570, 1571, 1570, 1569, 1568, 1568, 1567,
    1567, 1566, 1566, 1566, 1565, 1565, 1565, 1566, 1566, 1566, 1567, 1567};
/* Raw button line, 0 = pressed, with contact bounce. */
volatile uint8_t button_line[TICKS] = {
    1, 1, 0, 1, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 0, 0, 0,
    0, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
volatile uint16_t result[12];

struct pi_state {
  int16_t kp_q8, ki_q8;
  int32_t integral;
  int32_t integral_limit;
};

struct log_entry {
  int16_t temp;
  uint16_t duty;
  uint8_t setpoint_step;
  uint8_t segments;
};

static struct log_entry log_book[TICKS];

/* Linear fit of the divider around room temperature:
   tenths of a degree = (counts * 5 / 8) - 560. */
__attribute__((noinline)) static int16_t adc_to_decidegrees(uint16_t counts) {
  return (int16_t)(((uint32_t)counts * 5u) >> 3) - 560;
}

static uint8_t debounce_count;
static uint8_t button_state; /* 1 = released */

/* Returns 1 on a press that stayed down for three ticks. */
__attribute__((noinline)) static uint8_t button_pressed(uint8_t raw) {
  if (raw == button_state) {
    debounce_count = 0;
    return 0;
  }
  if (++debounce_count < 3) return 0;
  debounce_count = 0;
  button_state = raw;
  return raw == 0;
}

__attribute__((noinline)) static uint16_t pi_step(struct pi_state *pi, int16_t setpoint, int16_t measured) {
  int16_t error = setpoint - measured;
  pi->integral += error;
  if (pi->integral > pi->integral_limit) pi->integral = pi->integral_limit;
  if (pi->integral < -pi->integral_limit) pi->integral = -pi->integral_limit;
  int32_t out = ((int32_t)pi->kp_q8 * error + (int32_t)pi->ki_q8 * pi->integral) >> 8;
  if (out < 0) return 0;
  if (out > PWM_MAX) return PWM_MAX;
  return (uint16_t)out;
}

static const uint8_t seven_segment[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

/* The segments of the digit shown at position `pos` (0 = tenths). */
__attribute__((noinline)) static uint8_t display_digit(int16_t decidegrees, uint8_t pos) {
  uint16_t v = decidegrees < 0 ? (uint16_t)-decidegrees : (uint16_t)decidegrees;
  while (pos--) v /= 10;
  return seven_segment[v % 10];
}

__attribute__((noinline)) static uint16_t crc16(const uint8_t *p, uint16_t n) {
  uint16_t crc = 0xFFFF;
  while (n--) {
    crc ^= *p++;
    for (uint8_t i = 0; i < 8; i++) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  return crc;
}

int main(void) {
  struct pi_state pi = {2560, 32, 0, 6000};
  int16_t setpoint = 300; /* 30.0 degrees */
  uint8_t steps = 0;
  uint16_t max_duty = 0, min_duty = PWM_MAX, saturated = 0;
  button_state = 1;

  for (uint8_t t = 0; t < TICKS; t++) {
    int16_t temp = adc_to_decidegrees(adc_samples[t]);
    if (button_pressed(button_line[t])) {
      setpoint += 50;
      steps++;
    }
    uint16_t duty = pi_step(&pi, setpoint, temp);
    if (duty > max_duty) max_duty = duty;
    if (duty < min_duty) min_duty = duty;
    saturated += duty == PWM_MAX;
    log_book[t].temp = temp;
    log_book[t].duty = duty;
    log_book[t].setpoint_step = steps;
    log_book[t].segments = display_digit(temp, (uint8_t)(t & 3));
  }

  int16_t last = log_book[TICKS - 1].temp;
  uint16_t crc = crc16((const uint8_t *)log_book, sizeof log_book);

  result[0] = (uint16_t)last;
  result[1] = (uint16_t)setpoint;
  result[2] = steps;
  result[3] = max_duty;
  result[4] = min_duty;
  result[5] = saturated;
  result[6] = log_book[TICKS - 1].duty;
  result[7] = (uint16_t)pi.integral;
  result[8] = crc;
  result[9] = display_digit(last, 0) | display_digit(last, 1) << 8;
  result[10] = (uint16_t)log_book[TICKS / 2].temp;
  /* Two presses, the warm-up ends near 42.0, the heater was driven hard and
     then backed off, and the display shows the right tenths digit. */
  result[11] = (steps == 2) | (setpoint == 400) << 1 | (last > 400 && last < 430) << 2
               | (max_duty == PWM_MAX) << 3 | (log_book[TICKS - 1].duty < PWM_MAX) << 4
               | (display_digit(last, 0) == seven_segment[last % 10]) << 5;
  return 0;
}
