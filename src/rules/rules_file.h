// The rules file: statement lexer, parser and the per-pass rule lists.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct st_entry;
struct rx_program;

struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Of one pass, per operation name seen, the rules whose first pattern line
// can match a VOP of that name, in file order; filled by the optimizer.
struct RuleIndex {
  int rules_stored = -1;  // the rule count it was built for
  std::unordered_map<std::string, std::vector<st_entry*>, NameHash, std::equal_to<>> by_name;
};

enum {
  RL_REPLACE = 1,
  RL_BY = 2,
  RL_EMPTY = 3,
  RL_LINE = 4,
  RL_EOF = 5,
  RL_SETTING = 6,
  RL_DELETE_ASM_DIRS = 7,
  RL_DEBUG_LABELS = 8,
  RL_PASS = 9,
  RL_CSTYLE = 10,
};

enum { RS_IDLE = 0, RS_BY_LINES = 1, RS_REPLACE = 2, RS_REPLACE_LINES = 3, RS_BY = 4 };

struct RulesState {
  st_entry** pass_rules = nullptr;   // per pass 0..pass_count: first rule, chained by next_rule
  int pass_slots = 0;                // entries allocated in pass_rules
  int pass_count = 0;                // .pass directives read
  int max_repl_lines = 1;            // most .replace lines of any rule
  int state = RS_IDLE;               // parser state
  st_entry* cur_rule = nullptr;      // first line of the rule being read
  st_entry* last_line = nullptr;     // line the next one is chained after
  int repl_lines = 0, by_lines = 0;  // lines of the current rule's parts
  int rules_stored = 0;              // rules begun, over all passes
  st_entry* last_rule = nullptr;     // newest rule, so appending needs no walk
  int last_rule_pass = -1;           // the pass it was appended to
  bool delete_asm_dirs = false;
  bool cstyle = false;
  bool debug_labels_declared = false;
  rx_program* debug_label_re = nullptr;
  std::vector<RuleIndex> index;      // per pass
};
extern RulesState rules;

// Makes the rules-file syntax active, clears the variables, compiles "^DBG".
void init_rules_syntax();
// Reads the whole rules input into the pass lists and the directive flags.
void read_rules();
// Lexes one statement of the rules input; applies the lexical settings.
int rules_lex();
// Grows pass_rules to hold passes 0..pass_count, new ones empty.
void make_pass_slots();
// Stores the rule line just lexed in the rule being read.
void store_rule();

// Back to the start values (tests).
void reset_rules();
