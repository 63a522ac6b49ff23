#include "optimizer/match.h"

#include <cstdio>
#include <cstring>

namespace {

struct PieceMatcher {
  std::string_view text;
  size_t& p;
  Bindings& b;

  bool operator()(const VarPiece& piece) const {
    if (b.is_bound(piece.var)) {
      std::string_view bound = b.text(piece.var);
      if (text.substr(p, bound.size()) != bound) return false;
      p += bound.size();
    } else if (piece.regexp) {
      const char* start = text.data() + p;
      if (!rx_search_at_start(piece.regexp, start)) return false;
      size_t end = static_cast<size_t>(piece.regexp->group_end[0] - text.data());
      b.bind(piece.var, text.substr(p, end - p));
      p = end;
    } else {
      b.bind(piece.var, text.substr(p));
      p = text.size();
    }
    return true;
  }
  bool operator()(const TextPiece& piece) const {
    if (text.substr(p, piece.text.size()) != piece.text) return false;
    p += piece.text.size();
    return true;
  }
  bool operator()(const NumPiece& piece) const {
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
};

}  // namespace

bool sub_opnds_match(std::string_view text, const Pieces& pieces, Bindings& b) {
  size_t p = !text.empty() && text[0] == '"' ? 1 : 0;  // a string constant is matched without its marker
  PieceMatcher m{text, p, b};
  for (const Piece& piece : pieces)
    if (!std::visit(m, piece)) return false;
  return p == text.size();
}

bool match_opnds(const Vop& v, const std::vector<OperandPattern>& opnds, Bindings& b) {
  if (opnds.size() > v.opnds.size()) return false;
  for (size_t i = 0; i < opnds.size(); i++)
    if (!sub_opnds_match(v.opnds[i].text, opnds[i].pieces, b)) return false;
  return v.opnds.size() == opnds.size();
}

int match_rule(const Vop* v, const Rule& rule, Bindings& b, bool trace) {
  b.clear();
  if (trace) printf("trying to match %s\n", v->name.c_str());
  int n = 0;
  for (const RuleLine& line : rule.pattern) {
    if (!v || line.name_pieces.empty() || !sub_opnds_match(v->name, line.name_pieces, b) ||
        !match_opnds(*v, line.opnds, b))
      return 0;
    v = v->next;
    n++;
  }
  if (trace) printf("MATCHED IT!\n");
  return n;
}
