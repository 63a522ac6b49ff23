// Rule records written out as short texts that tests compare whole.
#pragma once

#include <string>

#include "base/storage.h"
#include "rules/operands.h"
#include "rules/rules_file.h"

// The sub-operands of a chain: V(letter[,re]) variable, S(text), N(number).
inline std::string dump_subs(const st_entry* sub) {
  std::string out;
  for (; sub; sub = sub->next_sub) {
    if (!out.empty()) out += ' ';
    switch (sub->sub_ntype) {
      case SUB_N_VAR:
        out += "V(" + std::string(1, 'a' + (sub->var - rule_vars)) + (sub->regexp ? ",re)" : ")");
        break;
      case SUB_N_SCAN:
        out += "S(" + std::string(sub->text) + ")";
        break;
      case SUB_N_NUM:
        out += "N(" + std::to_string(sub->num) + ")";
        break;
      default:
        out += "?";
        break;
    }
  }
  return out;
}

// "name [operand]delimiter [operand]..." for each line, joined by " ; ".
inline std::string dump_lines(const st_entry* line) {
  std::string out;
  for (; line; line = line->next) {
    if (!out.empty()) out += " ; ";
    out += line->name_opnds ? dump_subs(line->name_opnds) : line->name;
    for (const st_entry* o = line->opnds; o; o = o->next) {
      out += " [" + dump_subs(o->sub_opnds) + "]";
      if (o->delim) out += static_cast<char>(o->delim);
    }
  }
  return out;
}

// One line per rule: "pass: pattern lines => replacement lines".
inline std::string dump_rules() {
  std::string out;
  for (int pass = 0; pass < rules.pass_slots; pass++) {
    for (const st_entry* r = rules.pass_rules[pass]; r; r = r->next_rule) {
      out += std::to_string(pass) + ": " + dump_lines(r) + " =>";
      if (r->by) out += " " + dump_lines(r->by);
      out += "\n";
    }
  }
  return out;
}
