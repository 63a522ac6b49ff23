#include "lint/lint.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>

#include "base/diag.h"
#include "base/run.h"
#include "lint/alternatives.h"
#include "optimizer/match.h"

namespace {

// Texts that stand for what a variable or a number matched: no rules text
// holds these bytes, so no literal of a pattern can match part of one.
constexpr char kVarMark = '\x01';
constexpr char kNumMark = '\x02';

// `<x>`, built by appending: GCC 12 at -O3 takes "<" + string for an
// overlapping copy (-Wrestrict).
std::string var_text(int var) {
  std::string t = "<";
  t += static_cast<char>('a' + var);
  t += '>';
  return t;
}

std::string placeholder(int var) { return {kVarMark, static_cast<char>('a' + var), kVarMark}; }

bool holds_marks(std::string_view t) {
  return t.find(kVarMark) != std::string_view::npos || t.find(kNumMark) != std::string_view::npos;
}

struct Finding {
  const RuleLine* line;
  size_t column;  // the marker points here
  std::string message;
};

// Where `<x` stands in a line's text, or 0.
size_t var_column(std::string_view text, int var) {
  for (char form : {'>', '/'}) {
    std::string t = var_text(var);
    t.back() = form;
    if (size_t at = text.find(t); at != std::string::npos) return at;
  }
  return 0;
}

template <typename F>
void for_each_text(const RuleLine& line, F f) {
  f(line.name_pieces);
  for (const OperandPattern& op : line.opnds) f(op.pieces);
}

bool same_pieces(const Pieces& a, const Pieces& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i++) {
    if (a[i].index() != b[i].index()) return false;
    if (const auto* v = std::get_if<VarPiece>(&a[i])) {
      if (v->var != std::get<VarPiece>(b[i]).var) return false;
    } else if (const auto* t = std::get_if<TextPiece>(&a[i])) {
      if (t->text != std::get<TextPiece>(b[i]).text) return false;
    } else if (std::get<NumPiece>(a[i]).num != std::get<NumPiece>(b[i]).num) {
      return false;
    }
  }
  return true;
}

bool same_line(const RuleLine& a, const RuleLine& b) {
  if (!same_pieces(a.name_pieces, b.name_pieces) || a.opnds.size() != b.opnds.size()) return false;
  for (size_t i = 0; i < a.opnds.size(); i++)
    if (!same_pieces(a.opnds[i].pieces, b.opnds[i].pieces)) return false;
  return true;
}

// VOPs made from rule lines, linked as in a window.
class VopChain {
 public:
  // A pattern part: variables and numbers become marks. Each text starts
  // with a string-constant marker, which the matcher drops, so that it sees
  // the text exactly as rendered.
  explicit VopChain(const std::vector<RuleLine>& lines, bool pattern) {
    for (const RuleLine& line : lines) {
      Vop& v = vops_.emplace_back();
      v.is_label = line.label;
      v.name = render(line.name_pieces, pattern);
      for (const OperandPattern& op : line.opnds) v.opnds.push_back({render(op.pieces, pattern), op.delim});
    }
    for (size_t i = 0; i + 1 < vops_.size(); i++) {
      vops_[i].next = &vops_[i + 1];
      vops_[i + 1].prev = &vops_[i];
    }
  }
  size_t size() const { return vops_.size(); }
  const Vop* at(size_t i) const { return &vops_[i]; }

 private:
  std::string render(const Pieces& pieces, bool pattern) {
    std::string t = pattern ? "\"" : "";
    for (const Piece& p : pieces) {
      if (const auto* v = std::get_if<VarPiece>(&p))
        t += placeholder(v->var);
      else if (const auto* text = std::get_if<TextPiece>(&p))
        t += text->text;
      else  // a number: any of its spellings, so equal to no other text
        t += kNumMark + std::to_string(numbers_++) + kNumMark;
    }
    return t;
  }

  std::deque<Vop> vops_;
  int numbers_ = 0;
};

// A rule whose pattern has only literal texts, numbers and variables
// without expressions matches exactly what it matches on the marked text
// of a later rule's pattern; where it matches that, it matches every run
// the later rule does, and is tried first.
bool plain_pattern(const Rule& rule) {
  bool plain = !rule.pattern.empty() && rule.conditions.empty();
  for (const RuleLine& line : rule.pattern) {
    plain = plain && !line.name_pieces.empty();
    for_each_text(line, [&](const Pieces& pieces) {
      for (const Piece& p : pieces) {
        if (const auto* v = std::get_if<VarPiece>(&p); v && v->regexp) plain = false;
        if (const auto* t = std::get_if<TextPiece>(&p); t && holds_marks(t->text)) plain = false;
      }
    });
  }
  return plain;
}

// Which rules of a pass may match a VOP, by its name.
class RuleIndex {
 public:
  explicit RuleIndex(const std::vector<Rule>& pass) : pass_(pass) {
    for (size_t i = 0; i < pass.size(); i++) {
      if (!plain_pattern(pass[i])) continue;
      std::string_view name = literal_name(pass[i]);
      (name.empty() ? plain_any_ : plain_by_name_[name]).push_back(i);
    }
  }
  // The rules whose first pattern name matches `name`, found once per name
  // as the optimizer finds them.
  const std::vector<size_t>& matching(const std::string& name) {
    auto [it, fresh] = matching_.try_emplace(name);
    for (size_t i = 0; fresh && i < pass_.size(); i++) {
      Bindings b;
      if (!pass_[i].pattern.empty() && !pass_[i].pattern[0].name_pieces.empty() &&
          sub_opnds_match(it->first, pass_[i].pattern[0].name_pieces, b))
        it->second.push_back(i);
    }
    return it->second;
  }
  // Calls f with every plain rule that may match a VOP of that name.
  template <typename F>
  void for_plain(std::string_view name, F f) const {
    if (name.starts_with('"')) name.remove_prefix(1);  // the matcher skips a string marker
    if (auto it = plain_by_name_.find(name); it != plain_by_name_.end())
      for (size_t i : it->second) f(i);
    for (size_t i : plain_any_) f(i);
  }

 private:
  static std::string_view literal_name(const Rule& rule) {
    if (rule.pattern[0].name_pieces.size() != 1) return {};
    const auto* t = std::get_if<TextPiece>(&rule.pattern[0].name_pieces[0]);
    return t ? t->text : std::string_view{};
  }

  const std::vector<Rule>& pass_;
  std::unordered_map<std::string_view, std::vector<size_t>> plain_by_name_;
  std::vector<size_t> plain_any_;
  std::unordered_map<std::string, std::vector<size_t>> matching_;
};

class Linter {
 public:
  explicit Linter(const RuleSet& rules) : rules_(rules) {}

  std::vector<Finding> run() {
    for (const std::vector<Rule>& pass : rules_.passes) {
      for (const Rule& rule : pass) {
        check_lines(rule);
        check_unused(rule);
      }
      RuleIndex index(pass);
      check_loops(pass, index);
      check_subsumed(pass, index);
    }
    std::stable_sort(found_.begin(), found_.end(),
                     [](const Finding& a, const Finding& b) { return a.line->line_no < b.line->line_no; });
    return std::move(found_);
  }

 private:
  void add(const RuleLine& line, size_t column, std::string message) {
    found_.push_back({&line, column, std::move(message)});
  }

  void check_lines(const Rule& rule) {
    std::vector<bool> bound(kRuleVars);
    for (const RuleLine& line : rule.pattern) {
      check_expressions(line);
      if (std::string why = never_matches(line, bound); !why.empty())
        add(line, 0, "Pattern line never matches a VOP: " + why);
      for_each_text(line, [&](const Pieces& pieces) {
        for (const Piece& p : pieces)
          if (const auto* v = std::get_if<VarPiece>(&p)) bound[v->var] = true;
      });
    }
  }

  void check_expressions(const RuleLine& line) {
    for_each_text(line, [&](const Pieces& pieces) {
      for (const Piece& p : pieces) {
        const auto* v = std::get_if<VarPiece>(&p);
        if (!v || !v->regexp) continue;
        std::string_view text = rules_.line_text(line.line_no);
        size_t start = var_column(text, v->var) + 3;
        for (const ShadowedAlternative& s : shadowed_alternatives(rules_.expr_text(v->regexp))) {
          size_t at = text.find(s.alternative, start);
          add(line, at == std::string::npos ? start : at,
              "Expression alternative ``" + std::string(s.alternative) + "'' is never chosen: ``" +
                  std::string(s.earlier) + "'' before it matches its beginning");
        }
      }
    });
  }

  // Why no VOP line can match `line`, or empty. `bound`: the variables
  // bound by the lines before it.
  std::string never_matches(const RuleLine& line, std::vector<bool> bound) const {
    if (line.name_pieces.empty()) return "its name begins with ``..''";
    const auto* t = std::get_if<TextPiece>(&line.name_pieces.front());
    if (t && !line.label) {
      const SyntaxSet& syn = rules_.vop_syntax;
      if (t->text.starts_with('.')) return "a line whose name begins with ``.'' is a directive";
      for (const char* marker : {syn.comment_char, syn.comment_begin})
        if (marker && *marker && t->text.starts_with(marker)) return "its name begins a comment";
    }
    std::string why;
    for_each_text(line, [&](const Pieces& pieces) {
      for (size_t i = 0; i < pieces.size(); i++) {
        const auto* v = std::get_if<VarPiece>(&pieces[i]);
        if (!v) continue;
        if (!bound[v->var] && !v->regexp && i + 1 < pieces.size() && why.empty())
          why = var_text(v->var).append(" takes all the rest of its text and leaves none for what follows it");
        bound[v->var] = true;
      }
    });
    return why;
  }

  // A variable met once in the whole rule, in an operand of a pattern line
  // whose other operands a replacement line keeps: likely meant to be used.
  void check_unused(const Rule& rule) {
    std::vector<int> uses(kRuleVars);
    for (const auto* part : {&rule.pattern, &rule.replacement})
      for (const RuleLine& line : *part)
        for_each_text(line, [&](const Pieces& pieces) {
          for (const Piece& p : pieces)
            if (const auto* v = std::get_if<VarPiece>(&p)) uses[v->var]++;
        });
    for (const Condition& c : rule.conditions) uses[c.a] = uses[c.b] = 2;
    for (const RuleLine& line : rule.pattern)
      for (size_t j = 0; j < line.opnds.size(); j++)
        for (const Piece& p : line.opnds[j].pieces) {
          const auto* v = std::get_if<VarPiece>(&p);
          if (v && uses[v->var] == 1 && keeps_others(rule, line, j))
            add(line, var_column(rules_.line_text(line.line_no), v->var),
                var_text(v->var).append(" is not used in the replacement, which keeps the other operands of this line"));
        }
  }

  bool keeps_others(const Rule& rule, const RuleLine& line, size_t j) {
    if (line.opnds.size() < 2) return false;
    for (const RuleLine& r : rule.replacement) {
      if (r.opnds.size() != line.opnds.size()) continue;
      bool copy_of_pattern = std::any_of(rule.pattern.begin(), rule.pattern.end(),
                                         [&](const RuleLine& l) { return same_line(l, r); });
      bool keeps = true;
      for (size_t i = 0; i < r.opnds.size() && keeps; i++)
        keeps = i == j || same_pieces(r.opnds[i].pieces, line.opnds[i].pieces);
      if (keeps && !copy_of_pattern) return true;
    }
    return false;
  }

  // Which rules match a rule's replacement, variables standing for what
  // they were bound to: a rule that matches its own replacement, or two that
  // match each other's, fire again on what they wrote until the loop guard
  // stops them.
  void check_loops(const std::vector<Rule>& pass, RuleIndex& index) {
    struct Edge {
      size_t to;
      size_t line;  // of the replacement where the match begins
    };
    std::vector<std::vector<Edge>> next(pass.size());
    for (size_t i = 0; i < pass.size(); i++) {
      VopChain chain(pass[i].replacement, false);
      for (size_t k = 0; k < chain.size(); k++)
        for (size_t j : index.matching(chain.at(k)->name)) {
          // What a condition says of marks is not what it says of texts.
          if (!pass[j].conditions.empty()) continue;
          Bindings b;
          if (k + pass[j].pattern.size() <= chain.size() && match_rule(chain.at(k), pass[j], b, false) > 0 &&
              decided(b, expressions(pass[j]), expressions(pass[i])))
            next[i].push_back({j, k});
        }
    }
    for (size_t i = 0; i < pass.size(); i++)
      for (const Edge& e : next[i]) {
        if (e.to == i) {
          add(pass[i].replacement[e.line], 0,
              "The rule's own pattern matches this replacement: it fires again on what it wrote");
          break;
        }
        bool back = std::any_of(next[e.to].begin(), next[e.to].end(), [&](const Edge& f) { return f.to == i; });
        if (e.to > i && back) {
          add(pass[i].replacement[e.line], 0,
              "The rule of line " + std::to_string(pass[e.to].replace_line) +
                  " matches this replacement, and this rule matches its replacement: the two fire in turn");
          break;
        }
      }
  }

  std::vector<std::string_view> expressions(const Rule& rule) const {
    std::vector<std::string_view> expr_of(kRuleVars);
    for (const RuleLine& line : rule.pattern)
      for_each_text(line, [&](const Pieces& pieces) {
        for (const Piece& p : pieces)
          if (const auto* v = std::get_if<VarPiece>(&p); v && v->regexp) expr_of[v->var] = rules_.expr_text(v->regexp);
      });
    return expr_of;
  }

  // A variable with an expression that took a mark stands for a text the
  // expression was not run on, unless that text was bound by the same
  // expression (`marked`: the expressions of the marked variables).
  static bool decided(const Bindings& b, const std::vector<std::string_view>& expr_of,
                      const std::vector<std::string_view>& marked) {
    for (int var = 0; var < kRuleVars; var++) {
      if (expr_of[var].empty() || !b.is_bound(var) || !holds_marks(b.text(var))) continue;
      std::string_view t = b.text(var);
      bool one_mark = t.size() == 3 && t[0] == kVarMark && t[2] == kVarMark && t[1] >= 'a' && t[1] <= 'z';
      if (!one_mark || marked[t[1] - 'a'] != expr_of[var]) return false;
    }
    return true;
  }

  void check_subsumed(const std::vector<Rule>& pass, const RuleIndex& index) {
    for (size_t j = 0; j < pass.size(); j++) {
      const Rule& later = pass[j];
      std::vector<bool> bound(kRuleVars);
      bool matchable = !later.pattern.empty();
      for (const RuleLine& line : later.pattern) matchable = matchable && never_matches(line, bound).empty();
      if (!matchable) continue;
      VopChain chain(later.pattern, true);
      size_t first = SIZE_MAX;
      index.for_plain(chain.at(0)->name, [&](size_t i) {
        Bindings b;
        if (i < std::min(j, first) && pass[i].pattern.size() <= chain.size() &&
            match_rule(chain.at(0), pass[i], b, false) > 0)
          first = i;
      });
      if (first != SIZE_MAX)
        add(later.pattern[0], 0,
            "Rule never fires: the rule of line " + std::to_string(pass[first].replace_line) +
                " before it matches whatever this one matches");
    }
  }

  const RuleSet& rules_;
  std::vector<Finding> found_;
};

}  // namespace

void lint_rules(const RuleSet& rules, const char* rules_name) {
  const SourceLine* was = run.source.load();
  for (const Finding& f : Linter(rules).run()) {
    SourceLine at;
    at.cur_file_name = rules_name;
    at.stmt_line = f.line->line_no;
    std::string_view text = rules.line_text(f.line->line_no);
    at.line_buf = text.data();
    at.line_len = static_cast<int>(text.size());
    at.line_pos = static_cast<int>(f.column) + 1;
    set_message_source(&at);
    report_warning_here("%s", f.message.c_str());
  }
  set_message_source(was);
}
