// The rules file: its statements, its directives, and the rules it holds.
#pragma once

#include <bitset>

#include "lex/scanner.h"
#include "rules/operands.h"
#include "rules/rule_set.h"

struct RulesOptions {
  int rules_debug_level = 0;  // +zr: list each rule as it is finished
  int debug_level = 0;        // +z +z: trace each record made
  bool keep_text = false;     // keep each rule line as read (+hits, +lint)
};

// The kind of a rules-file statement.
enum class RulesLine { Replace, By, Empty, Line, Eof, Setting, DeleteAsmDirs, DebugLabels, Pass, Cstyle };

class RulesReader {
 public:
  RulesReader(Scanner& sc, RuleSet& set, const RulesOptions& o) : sc_(sc), set_(set), o_(o) {}

  // Reads the whole rules input, already open on the scanner.
  void read_rules();
  // Lexes one statement; applies the lexical settings.
  RulesLine rules_lex();

 private:
  enum class State { Idle, ByLines, Replace, ReplaceLines, By };

  const char* read_quoted_setting();
  void set_from_quoted(const char** field);
  void set_comment_char();
  RulesLine lex_directive(const char* name);
  void on_replace();
  void on_by();
  void on_line();
  void read_conditions();
  void on_eof();
  void on_pass();
  void on_debug_labels();
  void store_rule();
  RuleLine make_line(RulePart part, bool first);
  bool rule_unfinished() const { return state_ == State::Replace || state_ == State::ReplaceLines; }
  bool listing_on() const { return o_.rules_debug_level > 0; }
  bool tracing() const { return o_.debug_level > 1; }
  Rule& cur_rule() { return set_.passes[cur_pass_].back(); }
  void list_cur_rule();

  Scanner& sc_;
  RuleSet& set_;
  const RulesOptions& o_;
  State state_ = State::Idle;
  int cur_pass_ = -1;                // pass of the rule being read
  int repl_lines_ = 0;
  int replace_line_ = 0;             // of the .replace the next rule begins with
  std::bitset<kRuleVars> occurred_;  // variables met in the rule being read
};

// Makes the rules-file syntax active and the default debug-label expression.
void init_rules_syntax(Scanner& sc, RuleSet& set);
