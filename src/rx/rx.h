// The program's own backtracking regular-expression engine.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

constexpr int kRxGroups = 10;  // entry 0 is the whole match, 1 to 9 the groups

struct rx_program {
  const char* group_start[kRxGroups];
  const char* group_end[kRxGroups];
  char start_char;         // first character of any match, or NUL
  unsigned char anchored;  // non-zero: matches only at the start
  const char* must_text;   // literal run every match contains, or null
  int must_len;
  int size;         // bytes of the node program
  char program[1];  // node program, starting with the check byte
};

// Node opcodes. A node is the opcode and a 16-bit big-endian offset to the
// next node (0: none), counted backward for RX_LOOP_BACK only.
enum RxOp : unsigned char {
  RX_END = 0,
  RX_AT_START = 1,
  RX_AT_END = 2,
  RX_ANY_CHAR = 3,
  RX_IN_SET = 4,      // NUL-terminated set follows
  RX_NOT_IN_SET = 5,  // NUL-terminated set follows
  RX_ALT = 6,         // node sequence follows
  RX_LOOP_BACK = 7,
  RX_LITERAL = 8,  // NUL-terminated run follows
  RX_EMPTY = 9,
  RX_REPEAT0 = 10,      // single-character node follows
  RX_REPEAT1 = 11,      // single-character node follows
  RX_GROUP_OPEN = 20,   // + group number 1 to 9
  RX_GROUP_CLOSE = 30,  // + group number 1 to 9
};

constexpr unsigned char kRxCheckByte = 0x9C;
constexpr int kRxMaxProgram = 32767;  // programs must stay below this size

// Bounds one search and reports its cost (tests and fuzzing).
struct RxSteps {
  long limit = 0;  // matcher steps allowed; 0: no limit
  long taken = 0;  // matcher steps of the search
};

// Compiles `exp`; reports "FATAL error in regexp: ..." and ends the run on error.
rx_program* rx_compile(const char* exp);
// 1 when `prog` matches somewhere in `text`, the extents filled; else 0.
// Reports and ends the run on a damaged program.
int rx_search(rx_program* prog, const char* text);
// Like rx_search for a caller that only takes a match beginning at the first
// character: tries that position alone, so the answer and the extents are
// those of rx_search whenever its leftmost match begins there.
int rx_search_at_start(rx_program* prog, const char* text);

// The engine itself: like rx_compile, but returns null and the error text.
rx_program* rx_try_compile(const char* exp, const char** error);
// Like rx_search, but returns 0 and sets `*error` on failure (else null);
// "step limit reached" once the search takes more than `steps->limit` steps.
int rx_try_search(rx_program* prog, const char* text, const char** error, RxSteps* steps = nullptr);

// A bracket expression of an expression text, as the engine reads it: the
// characters named (before any negation) and whether it is negated.
struct RxBracket {
  std::bitset<256> set;
  bool negated = false;
};
// Reads the bracket expression opening at `p`; returns the index past its
// `]`, or npos when it is not closed.
size_t rx_read_bracket(std::string_view exp, size_t p, RxBracket& out);

// The same expression matching either case of every letter it names
// (literals and bracket sets); an unclosed bracket is left for rx_compile.
std::string rx_fold_case(std::string_view exp);

// Node program as text, one "offset:NAME(operand)>next" per node (tests).
std::string rx_dump(const rx_program* prog);
// Gives back a compiled expression (tests and fuzzing; the run keeps them).
void rx_free(rx_program* prog);
