// +lint: finds rules that cannot work as their author meant, and reports
// each as a warning at the rules line it concerns.
#pragma once

#include "rules/rule_set.h"

// `rules_name` is what the messages call the rules file.
void lint_rules(const RuleSet& rules, const char* rules_name);
