// Rule records: one st_entry type for rule lines, operands and sub-operands,
// and the parser that cuts a name or operand text into sub-operands.
#pragma once

#include <cstdint>

#include "base/storage.h"

struct rx_program;

enum : uint16_t { N_RULE = 1, N_OPND = 2, N_SUB_OPND = 4 };
enum : uint16_t { SUB_N_VAR = 0, SUB_N_SCAN = 1, SUB_N_NUM = 2 };

struct st_entry {
  const char* name;      // own copy, or ".temp."
  st_entry* name_opnds;  // rule line: the name cut into sub-operands
  uint16_t ntype;
  st_entry* opnds;      // rule line: first operand
  unsigned char delim;  // operand: the character that ended it, 0 for none
  uint16_t sub_ntype;   // sub-operand kind
  st_entry* by;         // first .replace line of a rule: first .by line
  st_entry* sub_opnds;  // operand: first sub-operand
  RuleVar* var;         // SUB_N_VAR: slot in rule_vars
  const char* text;     // SUB_N_SCAN: interned text
  int text_len;         // SUB_N_SCAN: its length, measured once for matching
  int32_t num;          // SUB_N_NUM
  st_entry* next;       // rule line, operand: the next one
  rx_program* regexp;   // SUB_N_VAR: expression of its first occurrence
  st_entry* next_sub;   // sub-operand: the next one
  st_entry* next_rule;  // first line of a rule: next rule of the pass
};

// A rule's first .replace line, appended to the rules of the current pass.
st_entry* st_repl1(const char* name, st_entry* opnds);
// A rule line, its name cut into sub-operands; chained after `prev` if given.
st_entry* st_rule(const char* name, st_entry* opnds, st_entry* prev);
// An operand with its delimiter; chained after `prev` if given.
st_entry* st_opnd(st_entry* sub_opnds, st_entry* prev, unsigned char delim);
// A sub-operand of `kind` (slot, interned text or number); chained after `prev`.
st_entry* st_sub_opnd(int kind, const char* text, RuleVar* var, int32_t num, rx_program* regexp,
                      st_entry* prev);

// Cuts a name or operand text into sub-operands; null for an empty text.
st_entry* parse_opnd_text(char* text);
// Makes the sub-operand at the start of `text`; `rest` gets where the next begins.
st_entry* parse_sub_opnd(char* text, char** rest, st_entry* prev);
