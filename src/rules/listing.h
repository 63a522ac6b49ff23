// The +zr listing of finished rules.
#pragma once

struct st_entry;

void print_rules(st_entry* rule);
void print_vop_opnds(st_entry* line);
void print_rule_opnds(st_entry* line);
