// Choosing where the rules come from: a rules file or the rule lines
// compiled into the program.
#pragma once

#include <cstdio>

#include "driver/options.h"

// The rule lines compiled into the program, ended by a null entry.
extern const char* const kEmbeddedRules[];

struct RulesChoice {
  FILE* file;  // the rules file, or null
  int status;  // 0 use what was chosen, 1 no rules with a notice, 2 no rules silently
};

// What the rules come from, given the compiled-in lines and the build setting.
struct RulesSources {
  const char* const* embedded_rules = kEmbeddedRules;
  bool embedded_only = ::embedded_only;
};

// Decides between the rules file `name` and the embedded rules.
RulesChoice select_rules_source(const char* name, const Options& o, const RulesSources& from);
