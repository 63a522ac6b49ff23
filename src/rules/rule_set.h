// The rules of a run: per pass, rules of pattern lines and replacement lines
// made of pieces, and the settings the rules file makes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

#include "lex/scanner.h"
#include "rx/rx.h"

constexpr int kRuleVars = 26;  // <a> to <z>

// The pieces a name or operand text is cut into.
struct VarPiece {
  int var;                        // 0 for <a> to 25 for <z>
  rx_program* regexp = nullptr;   // the expression of the variable's first occurrence
};
struct TextPiece {
  std::string_view text;  // interned in the rule set
};
struct NumPiece {
  int32_t num;  // matches any text of this value
};
using Piece = std::variant<VarPiece, TextPiece, NumPiece>;
using Pieces = std::vector<Piece>;

struct OperandPattern {
  Pieces pieces;
  unsigned char delim = 0;
};

// A condition on the texts of two variables, checked once every pattern
// line matched: `<a!=b>`, `<a=b>`, `<a<b>`, `<a<=b>`.
enum class CondOp { Differ, Equal, Less, LessEqual };
struct Condition {
  int a, b;  // variables
  CondOp op;
  std::string text;  // as written
};

struct RuleLine {
  bool label = false;  // stands for a label line: `<l:>`, `<l:/expression/>`, `<:name>`
  std::string name;  // as written
  Pieces name_pieces;  // empty for a line whose name begins with ".."
  std::vector<OperandPattern> opnds;
  int line_no = 0;  // where it stands in the rules file
};

struct Rule {
  std::vector<RuleLine> pattern;      // the .replace lines
  std::vector<RuleLine> replacement;  // the .by lines
  std::vector<Condition> conditions;  // after the .replace lines
  int replace_line = 0;               // the line of its .replace
};

struct RxDeleter {
  void operator()(rx_program* p) const { rx_free(p); }
};

struct RuleSet {
  std::vector<std::vector<Rule>> passes = std::vector<std::vector<Rule>>(1);  // passes 0..pass_count
  int pass_count = 0;      // .pass directives read
  int rules_stored = 0;    // rules begun, over all passes
  int max_repl_lines = 1;  // most .replace lines of any rule
  bool delete_asm_dirs = false;
  bool cstyle = false;
  bool debug_labels_declared = false;
  bool no_optimization = false;  // nothing to optimize with
  SyntaxSet vop_syntax;
  rx_program* debug_label_re = nullptr;
  // Kept only when asked for (+hits, +lint): each rules line as read, by its
  // number, and the text of each compiled expression of a rule.
  std::unordered_map<int, std::string> line_texts;
  std::unordered_map<const rx_program*, std::string_view> expr_texts;

  std::string_view line_text(int line_no) const {
    auto it = line_texts.find(line_no);
    return it == line_texts.end() ? std::string_view{} : it->second;
  }
  std::string_view expr_text(const rx_program* re) const {
    auto it = expr_texts.find(re);
    return it == expr_texts.end() ? std::string_view{} : it->second;
  }

  // A text shared by every piece and setting that has it; it lives as long
  // as the set.
  const std::string& intern(std::string_view text) { return *interned.emplace(text).first; }
  // Keeps a compiled expression for the life of the set.
  rx_program* keep(rx_program* re) {
    if (re) programs.emplace_back(re);
    return re;
  }

 private:
  std::unordered_set<std::string> interned;
  std::vector<std::unique_ptr<rx_program, RxDeleter>> programs;
};
