#include "lint/alternatives.h"

#include <bitset>

#include "rx/rx.h"

namespace {

using CharSet = std::bitset<256>;

// Past the bracket expression opening at `p`, or npos when it is not closed;
// `set`: the characters it matches.
size_t bracket_end(std::string_view e, size_t p, CharSet* set) {
  RxBracket b;
  size_t end = rx_read_bracket(e, p, b);
  if (set) {
    *set = b.negated ? ~b.set : b.set;
    set->reset(0);
  }
  return end;
}

// Past the group opening at `p` (its ')'), or npos.
size_t group_end(std::string_view e, size_t p) {
  int depth = 0;
  for (size_t q = p; q < e.size(); q++) {
    if (e[q] == '\\') {
      q++;
    } else if (e[q] == '[') {
      q = bracket_end(e, q, nullptr);
      if (q == std::string_view::npos) return q;
      q--;
    } else if (e[q] == '(') {
      depth++;
    } else if (e[q] == ')' && --depth == 0) {
      return q + 1;
    }
  }
  return std::string_view::npos;
}

// The alternatives of `e` at its own level: offsets and lengths.
std::vector<std::string_view> split_alternatives(std::string_view e) {
  std::vector<std::string_view> alts;
  size_t start = 0;
  for (size_t q = 0; q < e.size(); q++) {
    if (e[q] == '\\') {
      q++;
    } else if (e[q] == '[' || e[q] == '(') {
      size_t end = e[q] == '[' ? bracket_end(e, q, nullptr) : group_end(e, q);
      if (end == std::string_view::npos) return {};
      q = end - 1;
    } else if (e[q] == '|') {
      alts.push_back(e.substr(start, q - start));
      start = q + 1;
    }
  }
  alts.push_back(e.substr(start));
  return alts;
}

// Appends the characters every match of `s` begins with, one set each;
// true when `s` is exactly that run (matches nothing longer or shorter).
bool fixed_prefix(std::string_view s, std::vector<CharSet>& out) {
  size_t p = 0;
  while (p < s.size()) {
    CharSet set;
    std::string_view group;
    char c = s[p];
    if (c == '\\') {
      if (p + 1 >= s.size()) return false;
      set.set(static_cast<unsigned char>(s[p + 1]));
      p += 2;
    } else if (c == '.') {
      set.set();
      set.reset(0);
      p++;
    } else if (c == '[') {
      p = bracket_end(s, p, &set);
      if (p == std::string_view::npos) return false;
    } else if (c == '(') {
      size_t end = group_end(s, p);
      if (end == std::string_view::npos) return false;
      group = s.substr(p + 1, end - p - 2);
      p = end;
    } else if (c == '^' || c == '$' || c == '*' || c == '+' || c == '?' || c == ')' || c == '|') {
      return false;
    } else {
      set.set(static_cast<unsigned char>(c));
      p++;
    }
    char repeat = p < s.size() && (s[p] == '*' || s[p] == '+' || s[p] == '?') ? s[p] : 0;
    if (group.data()) {
      if (repeat || split_alternatives(group).size() != 1) return false;
      if (!fixed_prefix(group, out)) return false;
      continue;
    }
    if (repeat == '*' || repeat == '?') return false;
    out.push_back(set);
    if (repeat == '+') return false;  // taken once for sure, maybe more
  }
  return true;
}

// Every match of `later` begins with a match of `earlier`, itself a fixed run.
bool covers(const std::vector<CharSet>& earlier, const std::vector<CharSet>& later) {
  if (later.size() < earlier.size()) return false;
  for (size_t k = 0; k < earlier.size(); k++)
    if ((later[k] & ~earlier[k]).any()) return false;
  return true;
}

}  // namespace

std::vector<ShadowedAlternative> shadowed_alternatives(std::string_view expr) {
  std::string_view e = expr;
  while (e.size() >= 2 && e[0] == '(' && group_end(e, 0) == e.size()) e = e.substr(1, e.size() - 2);
  std::vector<std::string_view> alts = split_alternatives(e);
  struct Shape {
    std::vector<CharSet> prefix;
    bool exact;
  };
  std::vector<Shape> shapes;
  for (std::string_view alt : alts) {
    Shape s;
    s.exact = fixed_prefix(alt, s.prefix);
    shapes.push_back(std::move(s));
  }
  std::vector<ShadowedAlternative> found;
  for (size_t j = 1; j < alts.size(); j++)
    for (size_t i = 0; i < j; i++)
      if (shapes[i].exact && covers(shapes[i].prefix, shapes[j].prefix)) {
        found.push_back({alts[j], alts[i], static_cast<size_t>(alts[j].data() - expr.data())});
        break;
      }
  return found;
}
