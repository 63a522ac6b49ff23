#include "driver/rules_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "rules/operands.h"
#include "rules/rules_file.h"
#include "test_support.h"
#include "vop/scanner.h"

namespace {

const char* const kNoLines[] = {nullptr};
const char* const kBadLines[] = {".replace", "\tnop", ".by", ".by", nullptr};

class RulesSourceTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_all_modules(); }
  void TearDown() override { reset_rules_source(); }
};

struct ChoiceCase {
  const char* title;
  bool embedded_only;
  bool no_embedded;
  bool designated;
  std::string name;  // "present.rls" exists in the test's directory
  int debug_level;
  std::string printed;
  bool file;
  int status;
};

const std::string kLongName = std::string(300, 'r') + ".rls";

const ChoiceCase kChoiceCases[] = {
    {"embedded only, none compiled in", true, true, false, "", 0,
     "this program needs embedded rules\n", false, 1},
    {"embedded only, rules file pointed at", true, false, true, "", 0,
     "ignored attempt to specify rules file, using embedded rules\n", false, 0},
    {"embedded only, nothing pointed at", true, false, false, "", 0, "", false, 0},
    {"rules file pointed at and present", false, false, true, "present.rls", 0, "", true, 0},
    {"rules file present but not pointed at", false, false, false, "present.rls", 0, "", false, 0},
    {"only a rules file can serve", false, true, false, "present.rls", 0, "", true, 0},
    {"missing file, embedded rules present", false, false, true, "missing.rls", 0,
     "using embedded rules instead\n", false, 0},
    {"missing file, no embedded rules", false, true, true, "missing.rls", 0, "", false, 2},
    {"missing file, no embedded rules, +z", false, true, true, "missing.rls", 1, "", false, 1},
    {"unopenable file, embedded rules present", false, false, true, kLongName, 0,
     "cannot open rules file \"" + kLongName + "\"\nusing embedded rules instead\n", false, 0},
    {"unopenable file, no embedded rules", false, true, true, kLongName, 0,
     "cannot open rules file \"" + kLongName + "\"\n", false, 2},
    {"no name, no embedded rules", false, true, false, "", 0,
     "no embedded rules and no rules file specified\n", false, 1},
};

TEST_F(RulesSourceTest, ChoosesTheSourceWithItsNotices) {
  ScopedTempDir dir;
  write_file("present.rls", ".replace\n");
  for (const ChoiceCase& c : kChoiceCases) {
    SCOPED_TRACE(c.title);
    rules_source.embedded_only = c.embedded_only;
    if (c.no_embedded) rules_source.embedded_rules = kNoLines;
    opts.rules_designated = c.designated;
    opts.debug_level = c.debug_level;
    RulesChoice choice{};
    std::string printed = capture_stdout([&] { choice = select_rules_source(c.name.c_str()); });
    EXPECT_EQ(printed, c.printed);
    EXPECT_EQ(choice.file != nullptr, c.file);
    EXPECT_EQ(choice.status, c.status);
    if (choice.file) fclose(choice.file);
    reset_rules_source();
    reset_options();
  }
}

TEST_F(RulesSourceTest, NoRulesWithANoticeStopsOptimizing) {
  rules_source.embedded_rules = kNoLines;
  opts.rules_name = "";
  EXPECT_EQ(capture_stdout(open_rules_source),
            "no embedded rules and no rules file specified\nno optimization will be done\n");
  EXPECT_TRUE(run.no_optimization);
}

TEST_F(RulesSourceTest, NoRulesSilently) {
  ScopedTempDir dir;
  rules_source.embedded_rules = kNoLines;
  opts.rules_name = "missing.rls";
  opts.rules_designated = true;
  EXPECT_EQ(capture_stdout(open_rules_source), "");
  EXPECT_TRUE(run.no_optimization);
}

TEST_F(RulesSourceTest, MessagesWhileReadingEmbeddedRulesNameThem) {
  rules_source.embedded_rules = kBadLines;
  EXPECT_EQ(capture_stdout(open_rules_source), "");
  EXPECT_EQ(opts.rules_name, "<embedded rules file>");
  init_rules_syntax();
  EXPECT_EQ(capture_stdout(read_rules),
            "\"<embedded rules file>\", line 4: Unexpected .by directive - ignored\n");
  EXPECT_FALSE(run.no_optimization);
}

// The compiled-in table may use only these texts, and must read as valid
// rules: three of them, each with three pattern lines and two replacements.
TEST_F(RulesSourceTest, EmbeddedTableIsValidRulesFromTheAllowedTexts) {
  const std::set<std::string> allowed = {
      ".replace",
      ".by",
      "\t<x/dec|dec.b|decd|decd.b|inc|inc.b|incd|incd.b|inv|inv.b/> <b>",
      "\t<d/(jeq|jne|jz|jnz|jn)/> <e>",
      "\t<a/and|xor/> <b>,<c>",
      "\t<a/add|sub|addc/> <b>,<c>",
      "\tcmp\t#0x0,<b>",
      "\tcmp\t#0x0,<c>",
      "\t<x> <b>",
      "\t<d> <e>",
      "\t<a> <b>,<c>",
      "\t",
  };
  for (const char* const* line = rules_source.embedded_rules; *line; line++)
    EXPECT_TRUE(allowed.count(*line)) << *line;
  capture_stdout(open_rules_source);
  init_rules_syntax();
  EXPECT_EQ(capture_stdout(read_rules), "");
  EXPECT_EQ(diag.fatal_count, 0);
  int count = 0;
  for (const st_entry* rule = rules.pass_rules[0]; rule; rule = rule->next_rule, count++) {
    int pattern = 0, replacement = 0;
    for (const st_entry* line = rule; line; line = line->next) pattern++;
    for (const st_entry* line = rule->by; line; line = line->next) replacement++;
    EXPECT_EQ(pattern, 3);
    EXPECT_EQ(replacement, 2);
  }
  EXPECT_EQ(count, 3);
  EXPECT_EQ(rules.pass_count, 0);
}

}  // namespace
