#include "driver/rules_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "lex/scanner.h"
#include "rules/rules_file.h"
#include "test_support.h"

namespace {

const char* const kNoLines[] = {nullptr};
const char* const kOwnLines[] = {".replace", "\tnop", ".by", nullptr};

class RulesSourceTest : public RunRecordTest {};

enum class Table { Embedded, Own, Empty, None };

struct ChoiceCase {
  const char* title;
  bool embedded_only;
  Table table;
  bool designated;
  std::string name;  // "present.rls" exists in the test's directory
  int debug_level;
  std::string printed;
  bool file;
  int status;
};

// Too long a name for the system: the open fails with other than "not found".
const std::string kLongName = std::string(300, 'r') + ".rls";

const ChoiceCase kChoiceCases[] = {
    {"embedded only, none compiled in", true, Table::Empty, false, "", 0,
     "this program needs embedded rules\n", false, 1},
    {"embedded only, null table", true, Table::None, true, "present.rls", 0,
     "this program needs embedded rules\n", false, 1},
    {"embedded only, rules file pointed at", true, Table::Own, true, "present.rls", 0,
     "ignored attempt to specify rules file, using embedded rules\n", false, 0},
    {"embedded only, nothing pointed at", true, Table::Embedded, false, "", 0, "", false, 0},
    {"rules file pointed at and present", false, Table::Own, true, "present.rls", 0, "", true, 0},
    {"pointed at, but no name", false, Table::Own, true, "", 0, "", false, 0},
    {"rules file present but not pointed at", false, Table::Own, false, "present.rls", 0, "", false, 0},
    {"only a rules file can serve", false, Table::Empty, false, "present.rls", 0, "", true, 0},
    {"missing file, embedded rules present", false, Table::Embedded, true, "missing.rls", 0,
     "using embedded rules instead\n", false, 0},
    {"missing file, no embedded rules", false, Table::Empty, true, "missing.rls", 0, "", false, 2},
    {"missing file, no embedded rules, +z", false, Table::None, true, "missing.rls", 1, "", false, 1},
    {"unopenable file, embedded rules present", false, Table::Own, true, kLongName, 0,
     "cannot open rules file \"" + kLongName + "\"\nusing embedded rules instead\n", false, 0},
    {"unopenable file, no embedded rules", false, Table::Empty, true, kLongName, 0,
     "cannot open rules file \"" + kLongName + "\"\n", false, 2},
    {"no name, no embedded rules", false, Table::None, false, "", 0,
     "no embedded rules and no rules file specified\n", false, 1},
};

TEST_F(RulesSourceTest, ChoosesTheSourceWithItsNotices) {
  ScopedTempDir dir;
  write_file("present.rls", ".replace\n");
  for (const ChoiceCase& c : kChoiceCases) {
    SCOPED_TRACE(c.title);
    RulesSources from;
    from.embedded_only = c.embedded_only;
    if (c.table == Table::Own) from.embedded_rules = kOwnLines;
    if (c.table == Table::Empty) from.embedded_rules = kNoLines;
    if (c.table == Table::None) from.embedded_rules = nullptr;
    Options o;
    o.rules_designated = c.designated;
    o.debug_level = c.debug_level;
    RulesChoice choice{};
    EXPECT_EQ(capture_stdout([&] { choice = select_rules_source(c.name.c_str(), o, from); }), c.printed);
    EXPECT_EQ(choice.file != nullptr, c.file);
    EXPECT_EQ(choice.status, c.status);
    if (choice.file) fclose(choice.file);
  }
}

// The compiled-in rules read cleanly: three rules of three pattern lines
// and two replacement lines, in one pass.
TEST_F(RulesSourceTest, EmbeddedRulesReadCleanly) {
  Scanner sc;
  RuleSet set;
  sc.open_lines(kEmbeddedRules, "<embedded rules file>");
  init_rules_syntax(sc, set);
  RulesOptions o;
  EXPECT_EQ(capture_stdout([&] { RulesReader(sc, set, o).read_rules(); }), "");
  EXPECT_EQ(run.fatal_count, 0);
  EXPECT_EQ(set.pass_count, 0);
  ASSERT_EQ(set.passes[0].size(), 3u);
  for (const Rule& rule : set.passes[0]) {
    EXPECT_EQ(rule.pattern.size(), 3u);
    EXPECT_EQ(rule.replacement.size(), 2u);
  }
  EXPECT_EQ(set.max_repl_lines, 3);
}

}  // namespace
