#include "driver/pending.h"

// Until their modules are merged these steps do nothing: no rules are read,
// the rules source sets nothing, and the single pass does no work.
// clang-format off
void pending_init_char_class() {}                 // -> init_char_class() (vop/scanner.h)
void pending_clear_interned() {}                  // -> clear_interned() (vop/scanner.h)
void pending_init_rules_syntax() {}               // -> init_rules_syntax() (rules/rules_file.h)
void pending_read_rules() {}                      // -> read_rules() (rules/rules_file.h)
void pending_select_rules_source() {}             // -> the rules-source step of finish_options
int pending_pass_count() { return 0; }            // -> rules.pass_count (rules/rules_file.h)
void pending_pass_begin(int) {}                   // -> pass_begin(pass) (optimizer)
void pending_read_vops(int) {}                    // -> read_vops(pass) (optimizer)
void pending_pass_end(int) {}                     // -> pass_end(pass) (optimizer)
// clang-format on
