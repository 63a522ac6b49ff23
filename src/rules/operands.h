// Cutting a rule line's name or operand text into pieces.
#pragma once

#include <bitset>

#include "rules/rule_set.h"

enum class RulePart { Pattern, Replacement };

// The letters that name rule variables, <a> to <z>.
inline bool is_var_letter(char c) { return c >= 'a' && c <= 'z'; }

class OperandParser {
 public:
  // `occurred` marks the variables met so far in the rule being read;
  // `keep_text`: the set keeps the text of each expression compiled.
  OperandParser(RuleSet& set, RulePart part, std::bitset<kRuleVars>& occurred, bool trace,
                bool keep_text = false)
      : set_(set), part_(part), occurred_(occurred), trace_(trace), keep_text_(keep_text) {}

  // The pieces of a name or operand text (cut in place while parsed).
  Pieces parse_opnd_text(char* text);
  // Adds the piece at the start of `text` to `out`; returns where the next begins.
  char* parse_sub_opnd(char* text, Pieces& out);

 private:
  void add(Pieces& out, Piece piece);
  char* scan_piece(char* text, char* end, Pieces& out);
  char* plain_var(char* text, Pieces& out);
  char* regexp_var(char* text, Pieces& out);
  bool in_pattern() const { return part_ == RulePart::Pattern; }

  RuleSet& set_;
  RulePart part_;
  std::bitset<kRuleVars>& occurred_;
  bool trace_;
  bool keep_text_;
};
