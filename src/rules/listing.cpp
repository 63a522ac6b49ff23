#include "rules/listing.h"

#include <cstdio>

#include "base/diag.h"
#include "base/storage.h"
#include "rules/operands.h"

namespace {

// One output line per sub-operand; false for a kind that cannot be printed.
bool print_sub_opnd(const st_entry* sub) {
  switch (sub->sub_ntype) {
    case SUB_N_VAR: {
      char form[4] = {'<', static_cast<char>('a' + (sub->var - rule_vars)), '>', '\0'};
      printf("%s\n", form);
      return true;
    }
    case SUB_N_SCAN:
      printf("SUB_N_SCAN\t%s\n", sub->text);
      return true;
    case SUB_N_NUM:
      printf("%ld\n", static_cast<long>(sub->num));
      return true;
    default:
      return false;
  }
}

void print_line(const char* label, st_entry* line) {
  fputs(label, stdout);
  print_vop_opnds(line);
  print_rule_opnds(line);
}

}  // namespace

void print_rules(st_entry* rule) {
  if (!rule) {
    fputs("print_rules() - no repl1\n", stdout);
    return;
  }
  clear_vars();
  print_line("REPL1: \t", rule);
  for (st_entry* line = rule->next; line; line = line->next) print_line("REPL: \t", line);
  for (st_entry* line = rule->by; line; line = line->next) print_line("\tBY: \t", line);
}

void print_vop_opnds(st_entry* line) {
  for (st_entry* sub = line->name_opnds; sub; sub = sub->next_sub)
    if (!print_sub_opnd(sub)) report_internal("print_vop_opnds() - bad vop opnd sub_ntype");
}

void print_rule_opnds(st_entry* line) {
  for (st_entry* opnd = line->opnds; opnd; opnd = opnd->next) {
    fputs("\t\tOPND: ", stdout);
    for (st_entry* sub = opnd->sub_opnds; sub; sub = sub->next_sub)
      if (!print_sub_opnd(sub)) report_internal("print_rule_opnds() - bad opnd sub_ntype");
    putchar('\n');
  }
}
