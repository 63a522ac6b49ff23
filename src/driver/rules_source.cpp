#include "driver/rules_source.h"

#include <cerrno>

namespace {

bool no_embedded_rules(const RulesSources& from) {
  return !from.embedded_rules || !from.embedded_rules[0];
}

}  // namespace

// Drops the compare with zero of a result just computed before a jump on
// the flags that the operation itself set.
const char* const kEmbeddedRules[] = {
    ".replace",
    "\t<x/dec|dec.b|decd|decd.b|inc|inc.b|incd|incd.b|inv|inv.b/> <b>",
    "\tcmp\t#0x0,<b>",
    "\t<d/(jeq|jne|jz|jnz|jn)/> <e>",
    ".by",
    "\t<x> <b>",
    "\t<d> <e>",
    "\t",
    ".replace",
    "\t<a/and|xor/> <b>,<c>",
    "\tcmp\t#0x0,<c>",
    "\t<d/(jeq|jne|jz|jnz|jn)/> <e>",
    ".by",
    "\t<a> <b>,<c>",
    "\t<d> <e>",
    "\t",
    ".replace",
    "\t<a/add|sub|addc/> <b>,<c>",
    "\tcmp\t#0x0,<c>",
    "\t<d/(jeq|jne|jz|jnz|jn)/> <e>",
    ".by",
    "\t<a> <b>,<c>",
    "\t<d> <e>",
    nullptr,
};

RulesChoice select_rules_source(const char* name, const Options& o, const RulesSources& from) {
  bool none_embedded = no_embedded_rules(from);
  if (from.embedded_only) {
    if (none_embedded) {
      printf("this program needs embedded rules\n");
      return {nullptr, 1};
    }
    if (o.rules_designated)
      printf("%s, %s\n", "ignored attempt to specify rules file", "using embedded rules");
    return {nullptr, 0};
  }
  if (name[0] && (o.rules_designated || none_embedded)) {
    if (FILE* f = fopen(name, "r")) return {f, 0};
    if (errno != ENOENT) printf("cannot open rules file \"%s\"\n", name);
    if (none_embedded) return {nullptr, o.debug_level != 0 ? 1 : 2};
    printf("using embedded rules instead\n");
    return {nullptr, 0};
  }
  if (none_embedded) {
    printf("%s and %s\n", "no embedded rules", "no rules file specified");
    return {nullptr, 1};
  }
  return {nullptr, 0};
}

