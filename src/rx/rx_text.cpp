// Expression texts read and rewritten before they are compiled. Case
// folding is a rewrite: the engine has none, so each letter becomes a set
// of its two cases.
#include "rx/rx.h"

namespace {

bool is_letter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
char other_case(unsigned char c) { return static_cast<char>(c ^ 0x20); }

std::string both_cases(char c) { return {'[', c, other_case(c), ']'}; }

// A bracket set as the engine reads it back: ']' first, '-' last, '^' not
// first; a set of '^' alone is written as an escaped character.
std::string write_set(const std::bitset<256>& set, bool negated) {
  if (!negated && set.count() == 1 && set.test('^')) return "\\^";
  std::string out = negated ? "[^" : "[";
  if (set.test(']')) out += ']';
  for (int c = 1; c < 256; c++)
    if (set.test(c) && c != ']' && c != '-' && c != '^') out += static_cast<char>(c);
  if (set.test('^')) out += '^';
  if (set.test('-')) out += '-';
  return out + ']';
}

}  // namespace

size_t rx_read_bracket(std::string_view e, size_t p, RxBracket& out) {
  size_t q = p + 1;
  out.negated = q < e.size() && e[q] == '^';
  if (out.negated) q++;
  out.set.reset();
  // A ']' first is literal; a '-' between two characters is a range.
  for (size_t first = q; q < e.size() && (e[q] != ']' || q == first); q++) {
    auto lo = static_cast<unsigned char>(e[q]);
    if (e[q] != '-' && q + 2 < e.size() && e[q + 1] == '-' && e[q + 2] != ']') {
      for (int x = lo; x <= static_cast<unsigned char>(e[q + 2]); x++) out.set.set(x);
      q += 2;
    } else {
      out.set.set(lo);
    }
  }
  return q < e.size() ? q + 1 : std::string_view::npos;
}

std::string rx_fold_case(std::string_view e) {
  std::string out;
  for (size_t p = 0; p < e.size(); p++) {
    auto c = static_cast<unsigned char>(e[p]);
    if (c == '\\' && p + 1 < e.size()) {
      auto n = static_cast<unsigned char>(e[++p]);
      out += is_letter(n) ? both_cases(static_cast<char>(n)) : std::string{'\\', static_cast<char>(n)};
    } else if (c == '[') {
      RxBracket b;
      size_t end = rx_read_bracket(e, p, b);
      if (end == std::string_view::npos) {  // not closed: the compiler says so
        out.append(e.substr(p));
        break;
      }
      for (int x = 'A'; x <= 'z'; x++)
        if (is_letter(static_cast<unsigned char>(x)) && b.set.test(x))
          b.set.set(static_cast<unsigned char>(other_case(x)));
      out += write_set(b.set, b.negated);
      p = end - 1;
    } else {
      out += is_letter(c) ? both_cases(static_cast<char>(c)) : std::string(1, static_cast<char>(c));
    }
  }
  return out;
}
