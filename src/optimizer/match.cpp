#include "optimizer/match.h"

#include <cstdio>
#include <cctype>
#include <cstring>
#include <string>

namespace {

// Each kind of piece consumes text from `p` on, or fails.
bool match_var(const VarPiece& piece, std::string_view text, size_t& p, Bindings& b) {
  if (b.is_bound(piece.var)) {
    std::string_view bound = b.text(piece.var);
    if (bound.size() > text.size() - p || memcmp(text.data() + p, bound.data(), bound.size()) != 0)
      return false;
    p += bound.size();
  } else if (piece.regexp) {
    if (!rx_search_at_start(piece.regexp, text.data() + p)) return false;
    size_t end = static_cast<size_t>(piece.regexp->group_end[0] - text.data());
    b.bind(piece.var, text.substr(p, end - p));
    p = end;
  } else {
    b.bind(piece.var, text.substr(p));
    p = text.size();
  }
  return true;
}

bool match_num(const NumPiece& piece, std::string_view text, size_t& p) {
  // The whole rest must be the constant: a zero byte kept in a string
  // constant would end parse_value's reading early.
  std::string_view rest = text.substr(p);
  int32_t value;
  if (rest.find('\0') != std::string_view::npos || !parse_value(rest.data(), &value) ||
      value != piece.num)
    return false;
  p = text.size();
  return true;
}

}  // namespace

bool sub_opnds_match(std::string_view text, const Pieces& pieces, Bindings& b) {
  size_t p = !text.empty() && text[0] == '"' ? 1 : 0;  // a string constant is matched without its marker
  for (const Piece& piece : pieces) {
    if (const auto* literal = std::get_if<TextPiece>(&piece)) {
      size_t n = literal->text.size();
      // The first character settles most tries without a call.
      if (n > text.size() - p || (n && text[p] != literal->text[0]) ||
          memcmp(text.data() + p, literal->text.data(), n) != 0)
        return false;
      p += n;
    } else if (const auto* var = std::get_if<VarPiece>(&piece)) {
      if (!match_var(*var, text, p, b)) return false;
    } else if (!match_num(std::get<NumPiece>(piece), text, p)) {
      return false;
    }
  }
  return p == text.size();
}

bool match_opnds(const Vop& v, const std::vector<OperandPattern>& opnds, Bindings& b) {
  if (opnds.size() > v.opnds.size()) return false;
  for (size_t i = 0; i < opnds.size(); i++)
    if (!sub_opnds_match(v.opnds[i].text, opnds[i].pieces, b)) return false;
  return v.opnds.size() == opnds.size();
}

namespace {

// The name of a VOP known to match the first pattern line's name: what
// matching it again would bind, without matching. Only a name of fixed texts
// (nothing to bind) or of one variable (bound to the whole name) is known;
// false when the name must be matched.
bool bind_known_name(const Pieces& pieces, std::string_view name, Bindings& b) {
  if (pieces.size() == 1) {
    if (const auto* var = std::get_if<VarPiece>(&pieces[0])) {
      b.bind(var->var, name.substr(name.starts_with('"') ? 1 : 0));
      return true;
    }
  }
  for (const Piece& p : pieces)
    if (std::holds_alternative<VarPiece>(p)) return false;
  return true;
}

// A bound text as a number, when it is one.
bool as_number(std::string_view t, int32_t& value) {
  if (t.find('\0') != std::string_view::npos) return false;
  std::string text(t);
  return parse_value(text.c_str(), &value);
}

bool same_ignoring_case(std::string_view x, std::string_view y) {
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); i++)
    if (tolower(static_cast<unsigned char>(x[i])) != tolower(static_cast<unsigned char>(y[i]))) return false;
  return true;
}

}  // namespace

// Numbers are compared by value. Texts differ only where they differ in more
// than case (R12 is r12); they are equal only where they are the same text.
bool condition_holds(const Condition& c, const Bindings& b) {
  std::string_view x = b.text(c.a), y = b.text(c.b);
  int32_t vx = 0, vy = 0;
  bool numbers = as_number(x, vx) && as_number(y, vy);
  switch (c.op) {
    case CondOp::Differ:
      return numbers ? vx != vy : !same_ignoring_case(x, y);
    case CondOp::Equal:
      return numbers ? vx == vy : x == y;
    case CondOp::Less:
      return numbers && vx < vy;
    case CondOp::LessEqual:
      return numbers && vx <= vy;
  }
  return false;
}

int match_rule(const Vop* v, const Rule& rule, Bindings& b, bool trace, bool name_known) {
  b.clear();
  if (trace) printf("trying to match %s\n", v->name.c_str());
  int n = 0;
  for (const RuleLine& line : rule.pattern) {
    if (!v || line.name_pieces.empty() || line.label != v->is_label) return 0;
    bool known = n == 0 && name_known && bind_known_name(line.name_pieces, v->name, b);
    if ((!known && !sub_opnds_match(v->name, line.name_pieces, b)) || !match_opnds(*v, line.opnds, b))
      return 0;
    v = v->next;
    n++;
  }
  for (const Condition& c : rule.conditions)
    if (!condition_holds(c, b)) return 0;
  if (trace) printf("MATCHED IT!\n");
  return n;
}
