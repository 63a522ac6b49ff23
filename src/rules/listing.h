// The +zr listing of finished rules.
#pragma once

struct st_entry;

// Lists a whole rule, pattern lines then replacement lines; clears rule_vars.
void print_rules(st_entry* rule);
// Lists the sub-operands of a line's name pattern.
void print_vop_opnds(st_entry* line);
// Lists a line's operands, one block per operand.
void print_rule_opnds(st_entry* line);
