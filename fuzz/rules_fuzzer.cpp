// Reads the input as a rules file, under the listing and the record traces
// when its first byte asks for them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "lex/scanner.h"
#include "rules/rules_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start();
  std::string text(reinterpret_cast<const char*>(data), size);
  write_text("in.rls", text);
  RulesOptions o{size > 0 && (data[0] & 1), size > 0 && (data[0] & 2) ? 2 : 0};
  FILE* f = fopen("in.rls", "r");
  check(f != nullptr);
  try {
    Scanner sc;
    RuleSet rules;
    sc.open_file(f, "in.rls");
    init_rules_syntax(sc, rules);
    RulesReader(sc, rules, o).read_rules();
    for (const auto& pass : rules.passes)
      for (const Rule& rule : pass) check(!rule.pattern.empty());
    check(static_cast<int>(rules.passes.size()) == rules.pass_count + 1);
  } catch (const RunEnded&) {
  }
  fclose(f);
  return 0;
}
