#include "rules/listing.h"

#include <cstdio>
#include <string>

namespace {

struct PiecePrinter {
  void operator()(const VarPiece& p) const { printf("<%c>\n", 'a' + p.var); }
  void operator()(const TextPiece& p) const { printf("SUB_N_SCAN\t%s\n", std::string(p.text).c_str()); }
  void operator()(const NumPiece& p) const { printf("%ld\n", static_cast<long>(p.num)); }
};

void print_line(const char* label, const RuleLine& line) {
  fputs(label, stdout);
  print_vop_opnds(line);
  if (line.label) fputs("\t\tLABEL\n", stdout);
  print_rule_opnds(line);
}

}  // namespace

void print_rules(const Rule& rule) {
  bool first = true;
  for (const RuleLine& line : rule.pattern) {
    print_line(first ? "REPL1: \t" : "REPL: \t", line);
    first = false;
  }
  for (const Condition& c : rule.conditions) printf("COND: \t%s\n", c.text.c_str());
  for (const RuleLine& line : rule.replacement) print_line("\tBY: \t", line);
}

void print_vop_opnds(const RuleLine& line) {
  for (const Piece& p : line.name_pieces) std::visit(PiecePrinter{}, p);
}

void print_rule_opnds(const RuleLine& line) {
  for (const OperandPattern& opnd : line.opnds) {
    fputs("\t\tOPND: ", stdout);
    for (const Piece& p : opnd.pieces) std::visit(PiecePrinter{}, p);
    putchar('\n');
  }
}
