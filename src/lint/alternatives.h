// Alternatives of an expression that the engine can never choose: the
// alternatives at a position are tried in order and the first that matches
// is taken, so an alternative whose every match begins with a match of an
// earlier one is never reached.
#pragma once

#include <string_view>
#include <vector>

struct ShadowedAlternative {
  std::string_view alternative;  // the one never chosen
  std::string_view earlier;      // the one chosen instead
  size_t offset;                 // of `alternative` in the expression
};

// Decided only where the earlier alternative is a fixed run of single
// characters (literals, classes, dots, groups of such); said nothing of
// otherwise. An expression that is one group is looked into.
std::vector<ShadowedAlternative> shadowed_alternatives(std::string_view expr);
