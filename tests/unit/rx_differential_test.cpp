// Checks the engine against ECMAScript std::regex over generated expressions
// and texts. The generator writes each expression twice: in this engine's
// syntax and in the ECMAScript spelling of the same meaning.
// GCC warns falsely inside <regex> when the sanitizers are on.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <regex>
#include <string>

#include "rx/rx.h"

namespace {

struct Fragment {
  std::string mine;  // this engine's syntax
  std::string ecma;  // the same meaning for std::regex
  bool nullable;     // can match the empty string
  bool has_group;
};

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  Fragment Expression() {
    groups_ = 0;
    groups_comparable_ = true;
    return Alternation(0);
  }
  // False when a capture inside a repeated group is generated: ECMAScript
  // clears it at every iteration, this engine keeps the last one recorded.
  bool groups_comparable() const { return groups_comparable_; }
  int groups() const { return groups_; }

  std::string Text() {
    static const char kChars[] = "aaabbbccc.-]*(";
    std::string text;
    for (int n = Pick(11); n > 0; n--) text += kChars[Pick(sizeof kChars - 1)];
    return text;
  }

 private:
  int Pick(int n) { return static_cast<int>(rng_() % n); }

  Fragment Alternation(int depth) {
    Fragment all = Sequence(depth);
    for (int n = Pick(4) == 0 ? 1 + Pick(2) : 0; n > 0; n--) {
      Fragment next = Sequence(depth);
      all.mine += "|" + next.mine;
      all.ecma += "|" + next.ecma;
      all.nullable = all.nullable || next.nullable;
      all.has_group = all.has_group || next.has_group;
    }
    return all;
  }

  Fragment Sequence(int depth) {
    Fragment seq{"", "", true, false};
    for (int n = Pick(depth == 0 ? 5 : 4); n >= 0 && (n > 0 || Pick(8) != 0); n--) {
      Fragment piece = Piece(depth);
      seq.mine += piece.mine;
      seq.ecma += piece.ecma;
      seq.nullable = seq.nullable && piece.nullable;
      seq.has_group = seq.has_group || piece.has_group;
    }
    return seq;
  }

  Fragment Piece(int depth) {
    AtomFragment atom = Atom(depth);
    int sign = Pick(10);
    char c = sign < 2 ? '*' : sign < 4 ? '+' : sign == 4 ? '?' : '\0';
    // The engine rejects possibly-empty atoms under * and +: keep those rare.
    if (atom.nullable && (c == '*' || c == '+') && Pick(4) != 0) c = '\0';
    if (c == '\0') return atom;
    if (c == '?') {
      // ECMAScript refuses an iteration that matches empty; an alternation with
      // an empty second branch has this engine's meaning of ?.
      return {atom.mine + "?", "(?:" + atom.ecma + "|)", true, atom.has_group};
    }
    if (atom.has_inner_group) groups_comparable_ = false;
    return {atom.mine + c, atom.ecma + c, atom.nullable, atom.has_group};
  }

  struct AtomFragment : Fragment {
    bool has_inner_group = false;  // a group holding groups
  };

  AtomFragment Atom(int depth) {
    static const char kEscapable[] = ".*+?()[]|^$\\";
    int kind = Pick(20);
    if (kind < 8) {
      std::string c(1, "abc"[Pick(3)]);
      return Make(c, c, false);
    }
    if (kind < 10) return Make(".", ".", false);
    if (kind < 13) return Bracket();
    if (kind < 16 && depth < 3 && groups_ < 9) {
      groups_++;
      Fragment inner = Alternation(depth + 1);
      AtomFragment group = Make("(" + inner.mine + ")", "(" + inner.ecma + ")", inner.nullable);
      group.has_group = true;
      group.has_inner_group = inner.has_group;
      return group;
    }
    if (kind == 16) return Make("^", "^", true);
    if (kind == 17) return Make("$", "$", true);
    if (kind == 18) {
      std::string e = std::string("\\") + kEscapable[Pick(sizeof kEscapable - 1)];
      return Make(e, e, false);
    }
    return Pick(2) ? Make("-", "-", false) : Make("]", "\\]", false);
  }

  static AtomFragment Make(const std::string& mine, const std::string& ecma, bool nullable) {
    AtomFragment a;
    a.mine = mine;
    a.ecma = ecma;
    a.nullable = nullable;
    a.has_group = false;
    return a;
  }

  // Sets without backslashes; no dash right after a range (this engine takes
  // it as a range from the range's end, ECMAScript as a literal dash).
  AtomFragment Bracket() {
    std::string mine = "[", ecma = "[";
    if (Pick(3) == 0) mine += "^", ecma += "^";
    int first = Pick(6);
    if (first == 0) mine += "]", ecma += "\\]";
    if (first == 1) mine += "-", ecma += "-";
    bool any = first <= 1;
    bool after_range = false;
    for (int n = Pick(3) + (any ? 0 : 1); n > 0; n--) {
      char from = "abc*."[Pick(5)];
      if (Pick(3) == 0 && from >= 'a') {
        char to = static_cast<char>(from + Pick('c' - from + 1));
        mine += std::string{from, '-', to};
        ecma += std::string{from, '-', to};
        after_range = true;
      } else {
        mine += from;
        ecma += from;
        after_range = false;
      }
    }
    if (!after_range && Pick(4) == 0) mine += "-", ecma += "-";
    mine += "]";
    ecma += "]";
    return Make(mine, ecma, false);
  }

  std::mt19937 rng_;
  int groups_ = 0;
  bool groups_comparable_ = true;
};

std::string Extent(long start, long end) {
  return "[" + std::to_string(start) + "," + std::to_string(end) + ")";
}

// Whole match and groups as this engine reports them.
std::string MineResult(rx_program* prog, const std::string& text, int groups, bool with_groups) {
  const char* error = nullptr;
  int found = rx_try_search(prog, text.c_str(), &error);
  if (error) return std::string("error ") + error;
  if (!found) return "no match";
  const char* base = text.c_str();
  std::string out = Extent(prog->group_start[0] - base, prog->group_end[0] - base);
  for (int i = 1; with_groups && i <= groups; i++) {
    out += " " + std::to_string(i) + "=";
    out += prog->group_start[i] ? Extent(prog->group_start[i] - base, prog->group_end[i] - base)
                                : "none";
  }
  return out;
}

std::string EcmaResult(const std::regex& re, const std::string& text, int groups,
                       bool with_groups) {
  std::smatch m;
  if (!std::regex_search(text, m, re)) return "no match";
  std::string out = Extent(m.position(0), m.position(0) + m.length(0));
  for (int i = 1; with_groups && i <= groups; i++) {
    out += " " + std::to_string(i) + "=";
    out += m[i].matched ? Extent(m.position(i), m.position(i) + m.length(i)) : "none";
  }
  return out;
}

TEST(RxDifferential, AgreesWithEcmaScript) {
  constexpr int kExpressions = 4000;
  constexpr int kTexts = 12;
  Generator gen(20261208);
  int rejected_mine = 0, rejected_ecma = 0, compared = 0, matched = 0, with_groups = 0;
  int failures = 0;
  for (int e = 0; e < kExpressions; e++) {
    Fragment exp = gen.Expression();
    const char* error = nullptr;
    rx_program* prog = rx_try_compile(exp.mine.c_str(), &error);
    if (!prog) {
      rejected_mine++;
      continue;
    }
    std::regex re;
    try {
      re.assign(exp.ecma, std::regex::ECMAScript);
    } catch (const std::regex_error&) {
      rejected_ecma++;
      ADD_FAILURE() << "std::regex rejects " << exp.ecma << " (from " << exp.mine << ")";
      rx_free(prog);
      continue;
    }
    bool groups = gen.groups_comparable();
    with_groups += groups;
    for (int t = 0; t < kTexts; t++) {
      std::string text = gen.Text();
      std::string mine = MineResult(prog, text, gen.groups(), groups);
      std::string ecma = EcmaResult(re, text, gen.groups(), groups);
      compared++;
      matched += ecma != "no match";
      if (mine != ecma && ++failures <= 20) {
        ADD_FAILURE() << "expression " << exp.mine << " (ECMAScript " << exp.ecma << ") text \""
                      << text << "\": engine " << mine << ", std::regex " << ecma;
      }
    }
    rx_free(prog);
  }
  printf(
      "%d expressions: %d rejected by the engine, %d by std::regex, %d with groups compared;"
      " %d searches compared, %d matched, %d differ\n",
      kExpressions, rejected_mine, rejected_ecma, with_groups, compared, matched, failures);
  EXPECT_EQ(failures, 0);
  // The generator must keep producing mostly usable expressions.
  EXPECT_GT(compared, kExpressions * kTexts * 3 / 4);
  EXPECT_GT(matched, compared / 4);
  EXPECT_LT(matched, compared * 3 / 4);
}

}  // namespace
