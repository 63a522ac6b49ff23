// Checked allocation, string storage and the bindings of rule variables.
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

// Unbinds all 26 variables.
void clear_vars();
// Binds `var` to `len` characters at `start`, which are not copied: a match
// binds into the VOPs it matches, and those outlive the replacement.
void bind_var(RuleVar* var, const char* start, int len);
// Unbinds only the variables bound by bind_var since the last clearing, so a
// try that bound two variables clears two.
void clear_bound_vars();

void reset_storage();
