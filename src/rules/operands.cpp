#include "rules/operands.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/diag.h"
#include "base/options.h"
#include "rules/rules_file.h"
#include "rx/rx.h"
#include "vop/scanner.h"

namespace {

// Shared name of operand and sub-operand entries and of "..name" lines.
const char kTempName[] = ".temp.";

// While a rule is read, a slot holding this marks its variable as occurred.
const char kOccurred[] = "";

bool tracing() {
  return opts.debug_level > 1;
}

bool in_replace_part() {
  return rules.state == RS_REPLACE || rules.state == RS_REPLACE_LINES;
}

bool in_by_part() {
  return rules.state == RS_BY || rules.state == RS_BY_LINES;
}

st_entry* new_entry(uint16_t ntype) {
  auto* e = static_cast<st_entry*>(checked_alloc(sizeof(st_entry), "symbol table entry"));
  memset(e, 0, sizeof *e);
  e->name = kTempName;
  e->ntype = ntype;
  return e;
}

bool is_lower(char c) {
  return c >= 'a' && c <= 'z';
}

RuleVar* var_slot(char letter) {
  return &rule_vars[letter - 'a'];
}

bool occurred(char letter) {
  return var_slot(letter)->text != nullptr;
}

void mark_occurred(char letter) {
  var_slot(letter)->text = kOccurred;
}

// A SUB_N_SCAN of text[0..end), cutting the text there for the call.
st_entry* scan_piece(char* text, char* end, st_entry* prev) {
  char saved = *end;
  *end = '\0';
  st_entry* e = st_sub_opnd(SUB_N_SCAN, text, nullptr, 0, nullptr, prev);
  *end = saved;
  return e;
}

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

// `<x>` at the start of text.
st_entry* plain_var(char* text, char** rest, st_entry* prev) {
  char letter = text[1];
  *rest = text + 3;
  if (!occurred(letter) && text[3] != '\0')
    report_error("Unexpected characters found after '>' in operand %s", text);
  if (in_by_part() && !occurred(letter)) {
    report_error("%s not defined in .replace part of rule", text);
    return scan_piece(text, text + 3, prev);
  }
  mark_occurred(letter);
  return st_sub_opnd(SUB_N_VAR, nullptr, var_slot(letter), 0, nullptr, prev);
}

// `<x/expression/>` at the start of text.
st_entry* regexp_var(char* text, char** rest, st_entry* prev) {
  char letter = text[1];
  char* exp = text + 3;
  char* close = strchr(exp, '/');
  std::string escaped = escape_anchors(exp, close ? close : exp + strlen(exp));
  char* end = text + strlen(text);
  *rest = end;
  if (in_replace_part() && occurred(letter)) {
    report_error("Variable operand %s cannot contain a reg expr", text);
  } else if (in_by_part()) {
    report_error("Regular exprs not allowed in .by part of rule");
  } else if (!close) {
    report_error("Missing trailing '/' for variable operand %s", text);
  } else if (close[1] != '>') {
    report_error("Missing trailing '>' for variable operand %s", text);
  } else {
    rx_program* re = rx_compile(escaped.c_str());
    mark_occurred(letter);
    *rest = close + 2;
    return st_sub_opnd(SUB_N_VAR, nullptr, var_slot(letter), 0, re, prev);
  }
  return scan_piece(text, end, prev);
}

}  // namespace

st_entry* st_repl1(const char* name, st_entry* opnds) {
  if (tracing()) printf("st_repl1, name = %s\n", name);
  st_entry* e = st_rule(name, opnds, nullptr);
  make_pass_slots();
  st_entry** link = &rules.pass_rules[rules.pass_count];
  if (rules.last_rule_pass == rules.pass_count && rules.last_rule && *link)
    link = &rules.last_rule->next_rule;
  else
    while (*link) link = &(*link)->next_rule;
  *link = e;
  rules.last_rule = e;
  rules.last_rule_pass = rules.pass_count;
  return e;
}

st_entry* st_rule(const char* name, st_entry* opnds, st_entry* prev) {
  if (tracing()) printf("st_rule, name = %s\n", name);
  st_entry* e = new_entry(N_RULE);
  if (name[0] == '.' && name[1] == '.') {
    e->name = kTempName;
  } else {
    e->name = save_string(name);
    std::string cut(name);
    e->name_opnds = parse_opnd_text(cut.data());
  }
  e->opnds = opnds;
  if (prev) prev->next = e;
  return e;
}

st_entry* st_opnd(st_entry* sub_opnds, st_entry* prev, unsigned char delim) {
  if (tracing()) printf("st_opnd\n");
  st_entry* e = new_entry(N_OPND);
  e->delim = delim;
  e->sub_opnds = sub_opnds;
  if (prev) prev->next = e;
  return e;
}

st_entry* st_sub_opnd(int kind, const char* text, RuleVar* var, int32_t num, rx_program* regexp,
                      st_entry* prev) {
  if (tracing()) printf("st_sub_opnd of type %d\n", kind);
  st_entry* e = new_entry(N_SUB_OPND);
  e->sub_ntype = static_cast<uint16_t>(kind);
  switch (kind) {
    case SUB_N_VAR:
      e->var = var;
      break;
    case SUB_N_SCAN:
      e->text = intern_string(text);
      e->text_len = static_cast<int>(strlen(e->text));
      break;
    case SUB_N_NUM:
      e->num = num;
      break;
    default:
      report_internal("st_sub_opnd() - invalid sub_ntype");
      break;
  }
  e->regexp = regexp;
  if (prev) prev->next_sub = e;
  return e;
}

st_entry* parse_opnd_text(char* text) {
  st_entry* first = nullptr;
  st_entry* last = nullptr;
  char* p = text;
  while (*p) {
    last = parse_sub_opnd(p, &p, last);
    if (!first) first = last;
  }
  return first;
}

st_entry* parse_sub_opnd(char* text, char** rest, st_entry* prev) {
  if (text[0] == '<' && is_lower(text[1]) && text[2] == '>') return plain_var(text, rest, prev);
  if (text[0] == '<' && is_lower(text[1]) && text[2] == '/') return regexp_var(text, rest, prev);
  if (text[0] == '<') {
    report_error("Incorrect variable operand %s", text);
    *rest = text + strlen(text);
    return scan_piece(text, *rest, prev);
  }
  if (text[0] == '"') {
    *rest = next_var_start(text + 1);
    char* start = in_replace_part() ? text + 1 : text;
    return scan_piece(start, *rest, prev);
  }
  int32_t value = 0;
  if (in_replace_part() && !prev && parse_value(text, &value)) {
    *rest = text + strlen(text);
    return st_sub_opnd(SUB_N_NUM, nullptr, nullptr, value, nullptr, prev);
  }
  *rest = next_var_start(text);
  return scan_piece(text, *rest, prev);
}
