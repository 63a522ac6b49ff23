// Matching a rule's pattern against the VOPs of a window. Matching changes
// nothing but the bindings it returns.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "rules/rule_set.h"
#include "vop/vop.h"

// The texts the variables of one try are bound to: views into the VOPs
// being matched, which outlive the replacement.
class Bindings {
 public:
  bool is_bound(int var) const { return bound_ >> var & 1; }
  std::string_view text(int var) const { return text_[var]; }
  void bind(int var, std::string_view text) {
    text_[var] = text;
    bound_ |= 1u << var;
  }
  // Unbinds what was bound: one store, however many a try bound.
  void clear() { bound_ = 0; }

 private:
  std::array<std::string_view, kRuleVars> text_{};
  uint32_t bound_ = 0;
};

// Matches `text` against pieces, binding variables on the way. `text` must
// be followed by a zero byte (an expression reads up to it).
bool sub_opnds_match(std::string_view text, const Pieces& pieces, Bindings& b);
bool match_opnds(const Vop& v, const std::vector<OperandPattern>& opnds, Bindings& b);
// The number of VOPs `rule` matches from `v` on, or 0; starts from no
// bindings. `trace` prints the try and a match. `name_known`: v's name is
// known to match the first pattern line's name, which then is matched again
// only where what it binds is not evident.
int match_rule(const Vop* v, const Rule& rule, Bindings& b, bool trace, bool name_known = false);
// Whether a rule's condition holds for what its pattern bound.
bool condition_holds(const Condition& c, const Bindings& b);
