#include "rules/rules_file.h"

#include <cstring>
#include <string>

#include "base/diag.h"
#include "rules/listing.h"
#include "rules/operands.h"
#include "rx/rx.h"

namespace {

constexpr int kStringRoom = 512;

// `<x:>`, `<x:/expression/>` and `<:name>` stand for a label line. The
// scanner reads them as the name "<x" or "<" and one operand from the colon
// on; `text` becomes the name pattern they hold.
bool label_form(const LexLine& lx, std::string& text) {
  const char* name = lx.lex_name;
  if (name[0] != '<' || lx.lex_nopnds != 1) return false;
  std::string_view op = lx.opnd(0);
  if (op.size() < 2 || op.front() != ':' || op.back() != '>') return false;
  if (name[1] == '\0') {
    if (op.size() < 3) return false;
    text = op.substr(1, op.size() - 2);
    return true;
  }
  if (!is_var_letter(name[1]) || name[2] != '\0') return false;
  if (op == ":>") {
    text = {'<', name[1], '>'};
    return true;
  }
  if (op.size() < 4 || op[1] != '/' || !op.ends_with("/>")) return false;
  text = std::string("<") + name[1] + std::string(op.substr(1));
  return true;
}

// `<a!=b>` and the like; false when `t` is not one.
bool parse_condition(std::string_view t, Condition& c) {
  if (t.size() < 5 || t.front() != '<' || t.back() != '>' || !is_var_letter(t[1]) ||
      !is_var_letter(t[t.size() - 2]))
    return false;
  std::string_view op = t.substr(2, t.size() - 4);
  if (op == "!=") c.op = CondOp::Differ;
  else if (op == "=") c.op = CondOp::Equal;
  else if (op == "<") c.op = CondOp::Less;
  else if (op == "<=") c.op = CondOp::LessEqual;
  else return false;
  c.a = t[1] - 'a';
  c.b = t[t.size() - 2] - 'a';
  c.text = t;
  return true;
}

}  // namespace

void init_rules_syntax(Scanner& sc, RuleSet& set) {
  sc.activate_syntax(SyntaxSet{});
  set.debug_label_re = set.keep(rx_compile("^DBG"));
}

// The quoted argument of a setting directive, or null (reported) when the
// argument does not start with a double quote.
const char* RulesReader::read_quoted_setting() {
  sc_.skip_blanks();
  if (sc_.peek_char() != '"') {
    report_error_here("Expected <string>");
    return nullptr;
  }
  sc_.next_char();
  char buf[kStringRoom + 2];
  sc_.read_string_body(buf, kStringRoom);
  // Interned, so that a setting given again loses nothing.
  return set_.intern(buf).c_str();
}

void RulesReader::set_from_quoted(const char** field) {
  if (const char* text = read_quoted_setting()) *field = text;
}

void RulesReader::set_comment_char() {
  sc_.skip_blanks();
  if (sc_.peek_char() == '"') {
    set_from_quoted(&set_.vop_syntax.comment_char);
    return;
  }
  char one[2] = {static_cast<char>(sc_.peek_char()), '\0'};
  set_.vop_syntax.comment_char = set_.intern(one).c_str();
}

// Directives recognised by their name alone, before any operand is read.
RulesLine RulesReader::lex_directive(const char* name) {
  if (!strcmp(name, ".replace")) return RulesLine::Replace;
  if (!strcmp(name, ".by")) return RulesLine::By;
  if (!strcmp(name, ".comment_char")) {
    set_comment_char();
    return RulesLine::Setting;
  }
  if (!strcmp(name, ".delim_chars")) {
    set_from_quoted(&set_.vop_syntax.delim_chars);
    return RulesLine::Setting;
  }
  if (!strcmp(name, ".comment_begin")) {
    set_from_quoted(&set_.vop_syntax.comment_begin);
    return RulesLine::Setting;
  }
  if (!strcmp(name, ".comment_end")) {
    set_from_quoted(&set_.vop_syntax.comment_end);
    return RulesLine::Setting;
  }
  if (!strcmp(name, ".delete_asm_dirs")) return RulesLine::DeleteAsmDirs;
  if (!strcmp(name, ".pass")) return RulesLine::Pass;
  if (!strcmp(name, ".cstyle")) return RulesLine::Cstyle;
  return RulesLine::Line;
}

void RulesReader::list_cur_rule() {
  if (listing_on()) print_rules(cur_rule());
}

void RulesReader::on_replace() {
  if (state_ != State::Replace && state_ != State::ReplaceLines) replace_line_ = sc_.source().stmt_line;
  switch (state_) {
    case State::ByLines:
      list_cur_rule();
      state_ = State::Replace;
      break;
    case State::Idle:
    case State::By:
      state_ = State::Replace;
      break;
    default:
      report_error("Unexpected .replace directive - ignored");
      break;
  }
}

void RulesReader::on_by() {
  if (state_ == State::ReplaceLines)
    state_ = State::By;
  else
    report_error("Unexpected .by directive - ignored");
}

void RulesReader::on_line() {
  if (state_ == State::Idle) {
    report_error("Expected a .replace directive");
    return;
  }
  Condition c;
  if (rule_unfinished() && parse_condition(sc_.lexed.lex_name, c)) {
    read_conditions();
    return;
  }
  store_rule();
  if (state_ == State::Replace) state_ = State::ReplaceLines;
  if (state_ == State::By) state_ = State::ByLines;
}

// A line of conditions: the name and every operand one condition on
// variables the pattern binds.
void RulesReader::read_conditions() {
  const LexLine& lx = sc_.lexed;
  if (state_ == State::Replace) {
    report_error("Conditions must follow the pattern lines of a rule");
    return;
  }
  for (int i = -1; i < lx.lex_nopnds; i++) {
    std::string_view text = i < 0 ? std::string_view(lx.lex_name) : lx.opnd(i);
    Condition c;
    if (!parse_condition(text, c)) {
      report_error("Incorrect condition %s", std::string(text).c_str());
      continue;
    }
    bool defined = true;
    for (int var : {c.a, c.b})
      if (!occurred_[var]) {
        report_error("<%c> not defined in .replace part of rule", 'a' + var);
        defined = false;
      }
    if (defined) cur_rule().conditions.push_back(std::move(c));
  }
}

void RulesReader::on_eof() {
  if (rule_unfinished()) report_error("EOF detected before rule was completed");
  // A final .pass with nothing after it keeps the rules read before it.
  if (state_ == State::Idle && set_.rules_stored == 0) {
    if (listing_on()) report_warning("No rules specified");
    set_.no_optimization = true;
  }
}

void RulesReader::on_pass() {
  if (rule_unfinished()) report_error(".pass detected before rule was completed");
  set_.pass_count++;
  set_.passes.resize(set_.pass_count + 1);
  set_.delete_asm_dirs = false;
  state_ = State::Idle;
}

void RulesReader::on_debug_labels() {
  const LexLine& lx = sc_.lexed;
  if (set_.debug_labels_declared) report_error(".debug_labels redeclared");
  set_.debug_labels_declared = true;
  if (lx.lex_nopnds == 0)
    set_.debug_label_re = nullptr;
  else if (lx.lex_nopnds == 1 && lx.opnd_c_str(0)[0] == '"')
    set_.debug_label_re = set_.keep(rx_compile(lx.opnd_c_str(0) + 1));
  else
    report_error("usage: .debug_labels \"regexp\";");
}

RulesLine RulesReader::rules_lex() {
  sc_.read_line();
  sc_.mark_statement_line();
  if (sc_.at_eof()) return RulesLine::Eof;
  sc_.skip_blanks();
  int c = sc_.peek_char();
  if (c == '\n' || c == '\0' || c == ';') return RulesLine::Empty;
  char* name = sc_.lexed.lex_name;
  sc_.read_name(name);
  RulesLine code = lex_directive(name);
  if (code != RulesLine::Line) return code;
  sc_.skip_blanks();
  sc_.read_operands();
  return strcmp(name, ".debug_labels") ? RulesLine::Line : RulesLine::DebugLabels;
}

void RulesReader::read_rules() {
  if (set_.no_optimization) return;
  RulesLine code;
  do {
    code = rules_lex();
    switch (code) {
      case RulesLine::Replace: on_replace(); break;
      case RulesLine::By: on_by(); break;
      case RulesLine::Line: on_line(); break;
      case RulesLine::Eof: on_eof(); break;
      case RulesLine::Pass: on_pass(); break;
      case RulesLine::Empty:
      case RulesLine::Setting: break;
      case RulesLine::DeleteAsmDirs: set_.delete_asm_dirs = true; break;
      case RulesLine::Cstyle: set_.cstyle = true; break;
      case RulesLine::DebugLabels: on_debug_labels(); break;
    }
  } while (code != RulesLine::Eof);
  if (state_ == State::ByLines) list_cur_rule();
  // Comments of the rules file go nowhere.
  sc_.pending_comments().clear();
}

// The operands are parsed before the name, so a variable's first occurrence
// on a line is in its operands.
RuleLine RulesReader::make_line(RulePart part, bool first) {
  const LexLine& lx = sc_.lexed;
  OperandParser parser(set_, part, occurred_, tracing(), o_.keep_text);
  RuleLine line;
  const SourceLine& src = sc_.source();
  if (std::string text; label_form(lx, text)) {
    if (tracing()) printf("st_label, name = %s\n", text.c_str());
    line.label = true;
    line.name = text;
    line.line_no = src.stmt_line;
    if (o_.keep_text) set_.line_texts.try_emplace(line.line_no, src.line_buf, src.line_len);
    line.name_pieces = parser.parse_opnd_text(text.data());
    return line;
  }
  for (int i = 0; i < lx.lex_nopnds; i++) {
    std::string text(lx.opnd_c_str(i));  // cut in place while parsed
    Pieces pieces = parser.parse_opnd_text(text.data());
    if (tracing()) printf("st_opnd\n");
    line.opnds.push_back({std::move(pieces), lx.lex_delims[i]});
  }
  const char* name = lx.lex_name;
  if (tracing()) {
    if (first) printf("st_repl1, name = %s\n", name);
    printf("st_rule, name = %s\n", name);
  }
  line.name = name;
  line.line_no = src.stmt_line;
  if (o_.keep_text) set_.line_texts.try_emplace(line.line_no, src.line_buf, src.line_len);
  if (!(name[0] == '.' && name[1] == '.')) {
    std::string cut(name);
    line.name_pieces = parser.parse_opnd_text(cut.data());
  }
  return line;
}

void RulesReader::store_rule() {
  switch (state_) {
    case State::Replace:
      occurred_.reset();
      cur_pass_ = set_.pass_count;
      set_.passes[cur_pass_].emplace_back().replace_line = replace_line_;
      set_.rules_stored++;
      repl_lines_ = 1;
      cur_rule().pattern.push_back(make_line(RulePart::Pattern, true));
      break;
    case State::ReplaceLines:
      if (!cur_rule().conditions.empty()) report_error("Conditions must follow the pattern lines of a rule");
      if (++repl_lines_ > set_.max_repl_lines) set_.max_repl_lines = repl_lines_;
      cur_rule().pattern.push_back(make_line(RulePart::Pattern, false));
      break;
    case State::By:
    case State::ByLines:
      cur_rule().replacement.push_back(make_line(RulePart::Replacement, false));
      break;
    default:
      report_internal("store_rule() - unexpected rule wanted");
      break;
  }
}
