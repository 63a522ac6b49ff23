// Steps of the run whose modules are not merged yet; each is replaced by the
// call named beside its definition in pending.cpp.
#pragma once

void pending_init_char_class();
void pending_clear_interned();
void pending_init_rules_syntax();
void pending_read_rules();
void pending_select_rules_source();
int pending_pass_count();
void pending_pass_begin(int pass);
void pending_read_vops(int pass);
void pending_pass_end(int pass);
