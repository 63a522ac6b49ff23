#include "rules/operands.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/diag.h"

namespace {

char* next_var_start(char* p) {
  char* lt = strchr(p, '<');
  return lt ? lt : p + strlen(p);
}

// Operand expressions have no anchors: an unescaped '$', and an unescaped
// '^' not opening a negated class, are made to stand for themselves.
std::string escape_anchors(const char* exp, const char* end) {
  std::string out;
  int backslashes = 0;
  for (const char* p = exp; p < end; p++) {
    bool anchor = *p == '$' || (*p == '^' && !(p > exp && p[-1] == '['));
    if (anchor && backslashes % 2 == 0) out += '\\';
    out += *p;
    backslashes = *p == '\\' ? backslashes + 1 : 0;
  }
  return out;
}

}  // namespace

void OperandParser::add(Pieces& out, Piece piece) {
  if (trace_) printf("st_sub_opnd of type %d\n", static_cast<int>(piece.index()));
  out.push_back(piece);
}

// A literal piece of text[0..end).
char* OperandParser::scan_piece(char* text, char* end, Pieces& out) {
  add(out, TextPiece{set_.intern(std::string_view(text, end - text))});
  return end;
}

// `<x>` at the start of text.
char* OperandParser::plain_var(char* text, Pieces& out) {
  int var = text[1] - 'a';
  if (!occurred_[var] && text[3] != '\0')
    report_error("Unexpected characters found after '>' in operand %s", text);
  if (!in_pattern() && !occurred_[var]) {
    report_error("%s not defined in .replace part of rule", text);
    return scan_piece(text, text + 3, out);
  }
  occurred_[var] = true;
  add(out, VarPiece{var});
  return text + 3;
}

// `<x/expression/>` at the start of text.
char* OperandParser::regexp_var(char* text, Pieces& out) {
  int var = text[1] - 'a';
  char* exp = text + 3;
  char* close = strchr(exp, '/');
  std::string escaped = escape_anchors(exp, close ? close : exp + strlen(exp));
  char* end = text + strlen(text);
  if (in_pattern() && occurred_[var]) {
    report_error("Variable operand %s cannot contain a reg expr", text);
  } else if (!in_pattern()) {
    report_error("Regular exprs not allowed in .by part of rule");
  } else if (!close) {
    report_error("Missing trailing '/' for variable operand %s", text);
  } else if (close[1] != '>' && !(close[1] == 'i' && close[2] == '>')) {
    report_error("Missing trailing '>' for variable operand %s", text);
  } else {
    // `/i>`: the expression ignores case.
    bool fold = close[1] == 'i';
    if (fold) escaped = rx_fold_case(escaped);
    rx_program* re = set_.keep(rx_compile(escaped.c_str()));
    occurred_[var] = true;
    if (keep_text_) set_.expr_texts.emplace(re, set_.intern(escaped));
    add(out, VarPiece{var, re});
    return close + (fold ? 3 : 2);
  }
  return scan_piece(text, end, out);
}

Pieces OperandParser::parse_opnd_text(char* text) {
  Pieces pieces;
  for (char* p = text; *p;) p = parse_sub_opnd(p, pieces);
  return pieces;
}

char* OperandParser::parse_sub_opnd(char* text, Pieces& out) {
  if (text[0] == '<' && is_var_letter(text[1]) && text[2] == '>') return plain_var(text, out);
  if (text[0] == '<' && is_var_letter(text[1]) && text[2] == '/') return regexp_var(text, out);
  if (text[0] == '<') {
    report_error("Incorrect variable operand %s", text);
    return scan_piece(text, text + strlen(text), out);
  }
  if (text[0] == '"') {
    char* rest = next_var_start(text + 1);
    return scan_piece(in_pattern() ? text + 1 : text, rest, out);
  }
  int32_t value = 0;
  if (in_pattern() && out.empty() && parse_value(text, &value)) {
    add(out, NumPiece{value});
    return text + strlen(text);
  }
  return scan_piece(text, next_var_start(text), out);
}
