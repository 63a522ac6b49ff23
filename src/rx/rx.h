// The program's own backtracking regular-expression engine.
#pragma once

constexpr int kRxGroups = 10;  // entry 0 is the whole match, 1 to 9 the groups

struct rx_program {
  const char* group_start[kRxGroups];
  const char* group_end[kRxGroups];
  char start_char;          // first character of any match, or NUL
  unsigned char anchored;   // non-zero: matches only at the start
  const char* must_text;    // literal run every match contains, or null
  int must_len;
  char program[1];          // node program, starting with the check byte
};

// Compiles `exp`; reports "FATAL error in regexp: ..." and ends the run on error.
rx_program* rx_compile(const char* exp);
// 1 when `prog` matches somewhere in `text`, the extents filled; else 0.
int rx_search(rx_program* prog, const char* text);
