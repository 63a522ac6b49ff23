// The +zr listing of finished rules.
#pragma once

#include "rules/rule_set.h"

// Lists a whole rule, pattern lines then replacement lines.
void print_rules(const Rule& rule);
// Lists the pieces of a line's name.
void print_vop_opnds(const RuleLine& line);
// Lists a line's operands, one block per operand.
void print_rule_opnds(const RuleLine& line);
