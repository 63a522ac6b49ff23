/* A command interpreter: a dense switch that clang turns into a jump table,
   a sparse switch that it turns into compares, a table of handler
   pointers, and a character classifier, driven by a script of commands
   read through a volatile.  The script ends with an underflow and an
   unknown opcode on purpose: both must be counted as errors. */
#include <stdint.h>

enum { OP_NOP, OP_PUSH, OP_ADD, OP_SUB, OP_MUL, OP_DUP, OP_SWAP, OP_DROP, OP_NEG, OP_SHL, OP_HALT };

volatile uint8_t script[] = {OP_PUSH, 7,       OP_PUSH, 5,      OP_ADD, OP_DUP, OP_MUL,  OP_PUSH,
                             100,     OP_SWAP, OP_SUB,  OP_NEG, OP_DUP, OP_SHL, OP_DROP, OP_NOP,
                             OP_PUSH, 3,       OP_SHL,  OP_PUSH, 200,   13,     OP_HALT, OP_PUSH};
volatile char line[] = "Set V=42, rate 9600; go!";
volatile uint16_t codes[] = {1, 3, 7, 20, 42, 100, 255, 1000, 4, 0};
volatile uint16_t result[12];

static int16_t stack[8];
static uint8_t sp;
static uint16_t errors;

__attribute__((noinline)) static void push(int16_t v) {
  if (sp < 8) stack[sp++] = v;
  else errors++;
}

__attribute__((noinline)) static int16_t pop(void) {
  if (sp) return stack[--sp];
  errors++;
  return 0;
}

__attribute__((noinline)) static uint16_t run(const volatile uint8_t *pc, uint16_t n) {
  uint16_t steps = 0;
  for (uint16_t i = 0; i < n; steps++) {
    uint8_t op = pc[i++];
    int16_t a, b;
    switch (op) {
      case OP_NOP: break;
      case OP_PUSH: push((int16_t)pc[i++]); break;
      case OP_ADD: b = pop(); a = pop(); push(a + b); break;
      case OP_SUB: b = pop(); a = pop(); push(a - b); break;
      case OP_MUL: b = pop(); a = pop(); push(a * b); break;
      case OP_DUP: a = pop(); push(a); push(a); break;
      case OP_SWAP: b = pop(); a = pop(); push(b); push(a); break;
      case OP_DROP: pop(); break;
      case OP_NEG: push(-pop()); break;
      case OP_SHL: b = pop(); a = pop(); push((int16_t)(a << (b & 15))); break;
      case OP_HALT: return steps;
      default: errors++; break;
    }
  }
  return steps;
}

/* Sparse codes: a compare chain, not a table. */
__attribute__((noinline)) static uint8_t classify_code(uint16_t c) {
  switch (c) {
    case 1: return 'a';
    case 3: return 'b';
    case 20: return 'c';
    case 42: return 'd';
    case 255: return 'e';
    case 1000: return 'f';
    default: return '?';
  }
}

typedef uint16_t (*handler)(uint16_t);
__attribute__((noinline)) static uint16_t h_double(uint16_t v) { return v * 2; }
__attribute__((noinline)) static uint16_t h_square(uint16_t v) { return v * v; }
__attribute__((noinline)) static uint16_t h_invert(uint16_t v) { return (uint16_t)~v; }
__attribute__((noinline)) static uint16_t h_half(uint16_t v) { return v >> 1; }
static handler const handlers[4] = {h_double, h_square, h_invert, h_half};

enum { C_SPACE, C_DIGIT, C_UPPER, C_LOWER, C_PUNCT };

__attribute__((noinline)) static uint8_t char_class(char c) {
  if (c == ' ' || c == '\t') return C_SPACE;
  if (c >= '0' && c <= '9') return C_DIGIT;
  if (c >= 'A' && c <= 'Z') return C_UPPER;
  if (c >= 'a' && c <= 'z') return C_LOWER;
  return C_PUNCT;
}

int main(void) {
  uint16_t steps = run(script, sizeof script);
  int16_t top = sp ? stack[sp - 1] : 0;
  uint16_t depth = sp;

  uint16_t sparse = 0;
  for (uint8_t i = 0; i < sizeof codes / sizeof codes[0]; i++) sparse = sparse * 3 + classify_code(codes[i]);

  uint16_t through_table = 0;
  for (uint8_t i = 0; i < 12; i++) through_table += handlers[i & 3](codes[i % 10] + i);

  uint8_t counts[5] = {0, 0, 0, 0, 0};
  uint16_t number = 0, numbers = 0;
  for (uint8_t i = 0; line[i]; i++) {
    uint8_t k = char_class(line[i]);
    counts[k]++;
    if (k == C_DIGIT) {
      number = number * 10 + (line[i] - '0');
    } else if (number) {
      numbers += number;
      number = 0;
    }
  }

  result[0] = steps;
  result[1] = (uint16_t)top;
  result[2] = depth;
  result[3] = errors;
  result[4] = sparse;
  result[5] = through_table;
  result[6] = counts[C_SPACE] | counts[C_DIGIT] << 8;
  result[7] = counts[C_UPPER] | counts[C_LOWER] << 8;
  result[8] = counts[C_PUNCT];
  result[9] = numbers;
  result[10] = (numbers == 9642) | (errors == 2) << 1 | (depth == 2) << 2 | (top == 200) << 3;
  result[11] = 0x600D;
  return 0;
}
