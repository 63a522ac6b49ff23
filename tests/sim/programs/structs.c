/* Records as firmware keeps them: a configuration block copied by struct
   assignment (memcpy at some levels), an event log of structs shifted down
   when full, a struct returned by value, nested structs with byte and
   word members, and a copy compared field by field with the original. */
#include <stdint.h>

struct calibration {
  int16_t offset;
  uint16_t gain;
  uint8_t channel;
  uint8_t flags;
};

struct config {
  uint16_t magic;
  struct calibration cal[3];
  uint8_t name[7];
  uint8_t version;
  uint32_t serial;
};

struct event {
  uint8_t kind;
  uint8_t source;
  uint16_t value;
  uint32_t time;
};

struct span {
  uint16_t min, max;
};

volatile uint16_t seed = 0x1D2C;
volatile uint16_t result[14];

static struct config defaults;
static struct config active;
static struct config backup;
static struct event log[6];
static uint8_t log_len;

__attribute__((noinline)) static void make_defaults(struct config *c, uint16_t s) {
  c->magic = 0xC0DE;
  for (uint8_t i = 0; i < 3; i++) {
    c->cal[i].offset = (int16_t)(s - 4000 * i);
    c->cal[i].gain = (uint16_t)(s ^ (0x1111u << i));
    c->cal[i].channel = i;
    c->cal[i].flags = (uint8_t)(0x80 >> i);
  }
  for (uint8_t i = 0; i < sizeof c->name; i++) c->name[i] = (uint8_t)('A' + ((s >> i) & 15));
  c->version = 3;
  c->serial = (uint32_t)s * 40503ul;
}

__attribute__((noinline)) static uint8_t same_config(const struct config *a, const struct config *b) {
  if (a->magic != b->magic || a->version != b->version || a->serial != b->serial) return 0;
  for (uint8_t i = 0; i < 3; i++)
    if (a->cal[i].offset != b->cal[i].offset || a->cal[i].gain != b->cal[i].gain ||
        a->cal[i].channel != b->cal[i].channel || a->cal[i].flags != b->cal[i].flags)
      return 0;
  for (uint8_t i = 0; i < sizeof a->name; i++)
    if (a->name[i] != b->name[i]) return 0;
  return 1;
}

__attribute__((noinline)) static void log_event(struct event e) {
  if (log_len == 6) {
    for (uint8_t i = 1; i < 6; i++) log[i - 1] = log[i];
    log_len--;
  }
  log[log_len++] = e;
}

__attribute__((noinline)) static struct span value_span(const struct event *e, uint8_t n) {
  struct span s = {0xFFFF, 0};
  for (uint8_t i = 0; i < n; i++) {
    if (e[i].value < s.min) s.min = e[i].value;
    if (e[i].value > s.max) s.max = e[i].value;
  }
  return s;
}

int main(void) {
  make_defaults(&defaults, seed);
  active = defaults;
  uint8_t copied = same_config(&active, &defaults);
  active.cal[1].gain += 5;
  active.name[6] = 'z';
  uint8_t changed = !same_config(&active, &defaults);
  backup = active;
  uint8_t backed = same_config(&backup, &active);

  uint16_t s = seed;
  for (uint8_t i = 0; i < 10; i++) {
    struct event e = {(uint8_t)(i & 3), (uint8_t)(i * 5), (uint16_t)(s * (i + 1)), (uint32_t)s << i};
    log_event(e);
  }
  struct span sp = value_span(log, log_len);
  uint16_t order = 1;
  for (uint8_t i = 1; i < log_len; i++) order &= log[i].source == log[i - 1].source + 5;

  result[0] = defaults.magic;
  result[1] = (uint16_t)defaults.serial;
  result[2] = (uint16_t)(defaults.serial >> 16);
  result[3] = (uint16_t)active.cal[2].offset;
  result[4] = backup.cal[1].gain;
  result[5] = backup.name[0] | backup.name[6] << 8;
  result[6] = log_len;
  result[7] = log[0].source | log[5].source << 8;
  result[8] = sp.min;
  result[9] = sp.max;
  result[10] = (uint16_t)log[5].time;
  result[11] = (uint16_t)(log[5].time >> 16);
  result[12] = copied | changed << 1 | backed << 2 | order << 3 | (log[0].source == 20) << 4;
  result[13] = 0x600D;
  return 0;
}
