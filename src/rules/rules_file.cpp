#include "rules/rules_file.h"

#include <cstring>
#include <string>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "rules/listing.h"
#include "rules/operands.h"
#include "rx/rx.h"
#include "vop/scanner.h"

RulesState rules;

namespace {

constexpr int kStringRoom = 512;

bool listing_on() {
  return opts.rules_debug_level > 0;
}

// The quoted argument of a setting directive, or null (reported) when the
// argument does not start with a double quote.
const char* read_quoted_setting() {
  skip_blanks();
  if (peek_char() != '"') {
    report_error_here("Expected <string>");
    return nullptr;
  }
  next_char();
  char buf[kStringRoom + 2];
  read_string_body(buf, kStringRoom);
  // Interned, so that a setting given again loses nothing.
  return intern_string(buf);
}

void set_from_quoted(const char** field) {
  if (const char* text = read_quoted_setting()) *field = text;
}

void set_comment_char() {
  skip_blanks();
  if (peek_char() == '"') {
    set_from_quoted(&vop_syntax.comment_char);
    return;
  }
  char one[2] = {static_cast<char>(peek_char()), '\0'};
  vop_syntax.comment_char = intern_string(one);
}

// Directives recognised by their name alone, before any operand is read.
int lex_directive(const char* name) {
  if (!strcmp(name, ".replace")) return RL_REPLACE;
  if (!strcmp(name, ".by")) return RL_BY;
  if (!strcmp(name, ".comment_char")) {
    set_comment_char();
    return RL_SETTING;
  }
  if (!strcmp(name, ".delim_chars")) {
    set_from_quoted(&vop_syntax.delim_chars);
    return RL_SETTING;
  }
  if (!strcmp(name, ".comment_begin")) {
    set_from_quoted(&vop_syntax.comment_begin);
    return RL_SETTING;
  }
  if (!strcmp(name, ".comment_end")) {
    set_from_quoted(&vop_syntax.comment_end);
    return RL_SETTING;
  }
  if (!strcmp(name, ".delete_asm_dirs")) return RL_DELETE_ASM_DIRS;
  if (!strcmp(name, ".pass")) return RL_PASS;
  if (!strcmp(name, ".cstyle")) return RL_CSTYLE;
  return 0;
}

void on_replace() {
  switch (rules.state) {
    case RS_BY_LINES:
      if (listing_on()) print_rules(rules.cur_rule);
      rules.state = RS_REPLACE;
      break;
    case RS_IDLE:
    case RS_BY:
      rules.state = RS_REPLACE;
      break;
    default:
      report_error("Unexpected .replace directive - ignored");
      break;
  }
}

void on_by() {
  if (rules.state == RS_REPLACE_LINES)
    rules.state = RS_BY;
  else
    report_error("Unexpected .by directive - ignored");
}

void on_line() {
  if (rules.state == RS_IDLE) {
    report_error("Expected a .replace directive");
    return;
  }
  store_rule();
  if (rules.state == RS_REPLACE) rules.state = RS_REPLACE_LINES;
  if (rules.state == RS_BY) rules.state = RS_BY_LINES;
}

bool rule_unfinished() {
  return rules.state == RS_REPLACE || rules.state == RS_REPLACE_LINES;
}

void on_eof() {
  if (rule_unfinished()) report_error("EOF detected before rule was completed");
  // A final .pass with nothing after it keeps the rules read before it.
  if (rules.state == RS_IDLE && rules.rules_stored == 0) {
    if (listing_on()) report_warning("No rules specified");
    run.no_optimization = true;
  }
}

void on_pass() {
  if (rule_unfinished()) report_error(".pass detected before rule was completed");
  rules.pass_count++;
  make_pass_slots();
  rules.delete_asm_dirs = false;
  rules.state = RS_IDLE;
}

// The replaced expression is referenced nowhere else.
void set_label_re(rx_program* re) {
  release(rules.debug_label_re);
  rules.debug_label_re = re;
}

void on_debug_labels() {
  if (rules.debug_labels_declared) report_error(".debug_labels redeclared");
  rules.debug_labels_declared = true;
  if (lexed.lex_nopnds == 0)
    set_label_re(nullptr);
  else if (lexed.lex_nopnds == 1 && lexed.lex_opnds[0][0] == '"')
    set_label_re(rx_compile(lexed.lex_opnds[0] + 1));
  else
    report_error("usage: .debug_labels \"regexp\";");
}

}  // namespace

void make_pass_slots() {
  if (rules.pass_count < rules.pass_slots) return;
  int slots = rules.pass_slots ? rules.pass_slots : 4;
  while (slots <= rules.pass_count) slots *= 2;
  rules.pass_rules = static_cast<st_entry**>(
      checked_realloc(rules.pass_rules, slots * sizeof(st_entry*), "rule pass table"));
  for (int i = rules.pass_slots; i < slots; i++) rules.pass_rules[i] = nullptr;
  rules.pass_slots = slots;
}

void init_rules_syntax() {
  clear_vars();
  activate_syntax(rules_syntax);
  set_label_re(rx_compile("^DBG"));
}

int rules_lex() {
  read_line();
  src.stmt_line = scanner.line_no;
  if (scanner.at_eof) return RL_EOF;
  skip_blanks();
  int c = peek_char();
  if (c == '\n' || c == '\0' || c == ';') return RL_EMPTY;
  read_name(lexed.lex_name);
  if (int code = lex_directive(lexed.lex_name)) return code;
  skip_blanks();
  read_operands();
  return strcmp(lexed.lex_name, ".debug_labels") ? RL_LINE : RL_DEBUG_LABELS;
}

void read_rules() {
  rules.pass_count = 0;
  make_pass_slots();
  if (run.no_optimization) return;
  int code;
  do {
    code = rules_lex();
    switch (code) {
      case RL_REPLACE:
        on_replace();
        break;
      case RL_BY:
        on_by();
        break;
      case RL_LINE:
        on_line();
        break;
      case RL_EOF:
        on_eof();
        break;
      case RL_PASS:
        on_pass();
        break;
      case RL_EMPTY:
      case RL_SETTING:
        break;
      case RL_DELETE_ASM_DIRS:
        rules.delete_asm_dirs = true;
        break;
      case RL_CSTYLE:
        rules.cstyle = true;
        break;
      case RL_DEBUG_LABELS:
        on_debug_labels();
        break;
      default:
        report_internal("Invalid RULES lex code");
        break;
    }
  } while (code != RL_EOF);
  if (listing_on() && rules.state == RS_BY_LINES) print_rules(rules.cur_rule);
  // The slots marked which variables a rule had used; matching starts with
  // every variable unbound and clears only what each try bound.
  clear_vars();
}

// The operands are parsed before the name (in st_rule), so a variable's
// first occurrence on a line is in its operands.
void store_rule() {
  if (rules.state == RS_REPLACE) clear_vars();
  st_entry* opnds = nullptr;
  st_entry* last = nullptr;
  for (int i = 0; i < lexed.lex_nopnds; i++) {
    std::string text(lexed.lex_opnds[i]);  // cut in place while parsed
    last = st_opnd(parse_opnd_text(text.data()), last, lexed.lex_delims[i]);
    if (!opnds) opnds = last;
  }
  const char* name = lexed.lex_name;
  switch (rules.state) {
    case RS_REPLACE:
      rules.cur_rule = rules.last_line = st_repl1(name, opnds);
      rules.repl_lines = 1;
      rules.rules_stored++;
      break;
    case RS_REPLACE_LINES:
      if (++rules.repl_lines > rules.max_repl_lines) rules.max_repl_lines = rules.repl_lines;
      rules.last_line = st_rule(name, opnds, rules.last_line);
      break;
    case RS_BY:
      rules.cur_rule->by = rules.last_line = st_rule(name, opnds, nullptr);
      rules.by_lines = 1;
      break;
    case RS_BY_LINES:
      rules.by_lines++;
      rules.last_line = st_rule(name, opnds, rules.last_line);
      break;
    default:
      report_internal("store_rule() - unexpected rule wanted");
      break;
  }
}

void reset_rules() {
  release(rules.pass_rules);
  rules = RulesState{};
}
