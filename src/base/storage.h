// Checked allocation, string storage and the variable storage of rule
// variables.
#pragma once

#include <cstddef>

// Allocation that ends the run with a message naming `label` on failure.
void* checked_alloc(size_t size, const char* label);
void* checked_realloc(void* block, size_t size, const char* label);
// A copy of `text` that lives until the run ends.
char* save_string(const char* text);
// Frees a block; null is ignored.
void release(void* block);

// One rule variable: while a rule is matched, the text bound to it (null while
// unbound) and that text's length; while rules are read, a non-null `text`
// only marks that the variable has occurred in the rule.
struct RuleVar {
  const char* text;
  int len;
};
extern RuleVar rule_vars[26];

// A zero-terminated copy of `len` characters, valid until the next
// clear_vars even when the storage grows in between.
char* store_var_text(const char* start, int len);
// Unbinds all 26 variables and empties the variable storage.
void clear_vars();
// Capacity of the variable storage (for tests).
size_t var_storage_capacity();

void reset_storage();
