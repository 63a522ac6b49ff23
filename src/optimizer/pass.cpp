#include "optimizer/pass.h"

#include <cstdio>

#include "base/diag.h"
#include "optimizer/replace.h"
#include "optimizer/trace.h"
#include "rx/rx.h"

namespace {

constexpr int kLoopGuard = 100;  // replacements after one VOP before the reach shrinks
constexpr int kWindowBase = 8;   // VOPs held back at least

const std::vector<Rule> kNoRules;

}  // namespace

PassCounts& PassCounts::operator+=(const PassCounts& c) {
  vops_read += c.vops_read;
  vops_written += c.vops_written;
  opt_fewer += c.opt_fewer;
  opt_same += c.opt_same;
  opt_more += c.opt_more;
  return *this;
}

Pass::Pass(const RuleSet& rules, int pass, VopReader& reader, Scanner& sc, VopWriter& out,
           const PassOptions& o, bool& loop_warned)
    : rules_(rules),
      pass_rules_(pass < static_cast<int>(rules.passes.size()) ? rules.passes[pass] : kNoRules),
      reader_(reader),
      sc_(sc),
      out_(out),
      o_(o),
      loop_warned_(loop_warned),
      window_(std::max(kWindowBase, rules.max_repl_lines), out),
      hits_(pass_rules_.size()) {
  for (const Rule& rule : pass_rules_)
    for (const RuleLine& line : rule.pattern) labels_in_window_ = labels_in_window_ || line.label;
}

// A label that does not stop matching travels with the newest VOP; a label
// held in the window is none.
bool Pass::is_debug_label(const char* name) const {
  return o_.debug_labels_on && window_.tail() && !window_.tail()->is_label && rules_.debug_label_re &&
         rx_search(rules_.debug_label_re, name);
}

void Pass::read_label() {
  if (is_debug_label(sc_.lexed.lex_name)) {
    window_.tail()->add_debug_label(sc_.lexed.lex_name);
    return;
  }
  if (labels_in_window_) {
    std::string_view text = sc_.statement_text();
    hold_label(std::string(text.substr(0, text.find(':'))) + ":\n");
    return;
  }
  window_.flush_vops(true);
  out_.write_comments(sc_.pending_comments());
  out_.vop_outlabel(sc_);
}

// Where a rule of the pass names a label, labels enter the window as
// records that only such a rule's label lines match.
// `line`: as it is written (a label of a name that begins with a dot is a
// directive line, copied as it stands).
void Pass::hold_label(std::string_view line) {
  window_.make_room();
  Vop* v = window_.new_vop();
  v->is_label = true;
  v->name.assign(sc_.lexed.lex_name);
  v->label_text.assign(line);
  move_append(v->comments, sc_.pending_comments());
  window_.append(v);
  optimizing_loop();
}

// A directive line that is only a label, `.L3:`, maybe with a comment:
// compilers name their local labels so.
bool Pass::is_dot_label() const {
  std::string_view text = sc_.statement_text();
  size_t at = text.find_first_not_of(" \t");
  std::string_view name = sc_.lexed.lex_name;
  if (at == std::string_view::npos || text.substr(at, name.size()) != name) return false;
  std::string_view rest = text.substr(at + name.size());
  rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
  if (!rest.starts_with(':')) return false;
  size_t more = rest.find_first_not_of(" \t\r\n", 1);
  const char* comment = sc_.syntax().comment_char;
  return more == std::string_view::npos || (comment && *comment && rest.substr(more).starts_with(comment));
}

void Pass::read_vop_line() {
  if (o_.opt_debug_level > 0) display_opargs("opargs", sc_.lexed);
  counts_.vops_read++;
  optimize_vop();
}

void Pass::read_vops() {
  std::vector<std::string>& pending = sc_.pending_comments();
  for (;;) {
    switch (reader_.vop_lex()) {
      case VopLine::Asm:
        window_.flush_vops(true);
        out_.write_comments(pending);
        if (!rules_.delete_asm_dirs) out_.copy_line(sc_);
        break;
      case VopLine::EndAsm:
        out_.write_comments(pending);
        if (!rules_.delete_asm_dirs) out_.copy_line(sc_);
        break;
      case VopLine::Directive:
        if (labels_in_window_ && is_dot_label()) {
          hold_label(sc_.statement_text());
          break;
        }
        window_.flush_vops(true);
        out_.write_comments(pending);
        out_.copy_line(sc_);
        break;
      case VopLine::Comment:
        sc_.save_comment(false);
        break;
      case VopLine::AsmLine:
        out_.write_comments(pending);
        out_.copy_line(sc_);
        break;
      case VopLine::Empty:
        out_.copy_line(sc_);
        break;
      case VopLine::Label:
        read_label();
        break;
      case VopLine::Operation:
        read_vop_line();
        break;
      case VopLine::CommentBegin:
        sc_.skip_block_comment();
        break;
      case VopLine::Eof:
        window_.flush_vops(true);
        out_.write_comments(pending);
        counts_.vops_written = window_.written();
        return;
    }
  }
}

void Pass::optimize_vop() {
  window_.make_room();
  Vop* v = window_.new_vop();
  reader_.make_vop(*v);
  window_.append(v);
  optimizing_loop();
}

void Pass::optimizing_loop() {
  if (tracing()) {
    printf("before optimizing\n");
    show_window(window_, out_.cstyle());
  }
  int i = 1;
  int reach = rules_.max_repl_lines - 1;
  bool fresh = settled_ && !tracing();
  settled_ = false;
  for (;;) {
    if (!try_rules(reach, fresh)) {
      settled_ = true;
      return;
    }
    fresh = false;
    if (!window_.cursor()) return;
    if (tracing()) {
      printf("after optimization %d\n", i);
      show_window(window_, out_.cstyle());
    }
    if (++i <= kLoopGuard) continue;
    if (!loop_warned_) {
      report_warning_here("Possible infinite loop detected while optimizing");
      report_warning("Bad replacement rules may be causing this loop");
      loop_warned_ = true;
    }
    if (--reach < 0) return;
    if (tracing()) printf("Reducing window to size %d\n", reach);
    i = 1;
    if (window_.cursor()->next) window_.set_cursor(window_.cursor()->next);
  }
}

// With no variable bound at the start of a try, whether a rule's first
// pattern line matches a VOP's name depends on the name alone, and a line
// matches only a VOP with as many operands; so the rules that fail on either
// need not be tried at all. An entry is made when its key is first seen.
const Pass::RuleList& Pass::rules_for(const Vop& v) {
  // A VOP is tried at several window positions: its list is looked up once.
  if (v.user) return *static_cast<const RuleList*>(v.user);
  key_.assign(v.name);
  key_ += '\0';  // never in a name
  key_ += static_cast<char>(v.opnds.size());  // at most 32
  if (v.is_label) key_ += ':';
  auto found = by_name_.find(key_);
  if (found == by_name_.end()) {
    RuleList can_match;
    for (const Rule& rule : pass_rules_) {
      const RuleLine& first = rule.pattern.front();
      bindings_.clear();
      if (first.label == v.is_label && first.opnds.size() == v.opnds.size() && !first.name_pieces.empty() &&
          sub_opnds_match(v.name, first.name_pieces, bindings_))
        can_match.push_back(&rule);
    }
    found = by_name_.emplace(key_, std::move(can_match)).first;
  }
  v.user = &found->second;
  return found->second;
}

bool Pass::try_rule(const Rule& rule, bool name_known) {
  int n = match_rule(window_.cursor(), rule, bindings_, tracing(), name_known);
  if (n == 0) return false;
  int made = replace_vops(window_, rule, n, bindings_, rules_.max_repl_lines);
  RuleHits& h = hits_[&rule - pass_rules_.data()];
  h.fired++;
  h.removed += n;
  h.added += made;
  if (made < n)
    counts_.opt_fewer++;
  else if (made == n)
    counts_.opt_same++;
  else
    counts_.opt_more++;
  return true;
}

// Tries the rules from `reach` VOPs before the cursor onward; true when one
// matched and was replaced. `fresh`: the newest VOP was just added to a
// window in which every rule failed everywhere; a try that ends before the
// newest VOP sees what failed then and would fail again, so it is skipped.
bool Pass::try_rules(int reach, bool fresh) {
  for (int i = 0; i < reach && window_.cursor() != window_.head(); i++)
    window_.set_cursor(window_.cursor()->prev);
  size_t ahead = 0;  // VOPs after the cursor
  for (const Vop* v = window_.cursor(); v && v->next; v = v->next) ahead++;
  for (; window_.cursor(); window_.set_cursor(window_.cursor()->next), ahead--) {
    if (tracing()) {
      // This trace shows every try, so every rule is tried.
      for (const Rule& rule : pass_rules_)
        if (try_rule(rule, false)) return true;
      continue;
    }
    for (const Rule* rule : rules_for(*window_.cursor())) {
      if (fresh && rule->pattern.size() <= ahead) continue;
      if (try_rule(*rule, true)) return true;
    }
  }
  return false;
}

namespace {

const char* plural(long n) { return n == 1 ? "" : "s"; }

}  // namespace

void print_counts(const PassCounts& c) {
  printf("%ld VOP%s read in\n", c.vops_read, plural(c.vops_read));
  printf("%ld VOP%s written out ", c.vops_written, plural(c.vops_written));
  if (c.vops_read == c.vops_written) {
    putchar('\n');
  } else {
    double change =
        c.vops_read ? static_cast<double>(100 * (c.vops_written - c.vops_read)) / c.vops_read : 0;
    if (change < 0)
      printf("(a %.1f%% decrease)\n", -change);
    else
      printf("(a %.1f%% increase)\n", change);
  }
  long made = c.opt_fewer + c.opt_same + c.opt_more;
  printf("%ld optimization%s made\n", made, plural(made));
  const struct {
    long count;
    const char* what;
  } kinds[] = {{c.opt_fewer, "the number of VOPs decreased\n"},
               {c.opt_same, "the number of VOPs remained the same\n"},
               {c.opt_more, "the number of VOPs increased\n"}};
  for (const auto& k : kinds)
    if (k.count > 0) printf(" - in %ld optimization%s, %s", k.count, plural(k.count), k.what);
}

namespace {

// A line as one field: its blanks made single spaces, no newline.
std::string as_field(std::string_view text) {
  std::string field;
  for (char c : text) {
    bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    if (!blank)
      field += c;
    else if (!field.empty() && field.back() != ' ')
      field += ' ';
  }
  if (!field.empty() && field.back() == ' ') field.pop_back();
  return field;
}

}  // namespace

void print_hits(int pass, const RuleSet& set, const std::vector<RuleHits>& hits, const char* rules_name) {
  const std::vector<Rule>& rules = set.passes[pass];
  printf("Rule hits, pass %d\n", pass + 1);
  printf("place\tfired\tremoved\tadded\tmark\tfirst pattern line\n");
  for (size_t i = 0; i < rules.size(); i++) {
    const RuleHits& h = hits[i];
    printf("%s:%d\t%ld\t%ld\t%ld\t%s\t%s\n", rules_name, rules[i].replace_line, h.fired, h.removed,
           h.added, h.fired ? "" : "never fired", as_field(set.line_text(rules[i].pattern.front().line_no)).c_str());
  }
}
