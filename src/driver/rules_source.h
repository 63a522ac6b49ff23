// Choosing where the rules come from: a rules file or the rule lines
// compiled into the program.
#pragma once

#include <cstdio>

struct RulesSourceState {
  // Rule lines compiled into the program, ended by a null entry.
  const char* const* embedded_rules;
  // Use only what is compiled in (a build setting).
  bool embedded_only;
};
extern RulesSourceState rules_source;

struct RulesChoice {
  FILE* file;  // the rules file, or null
  int status;  // 0 use what was chosen, 1 no rules with a notice, 2 no rules silently
};

// Decides between the rules file `name` and the embedded rules.
RulesChoice select_rules_source(const char* name);
// Opens the chosen source for the rules reader, or marks that there is
// nothing to optimize with.
void open_rules_source();

void reset_rules_source();
