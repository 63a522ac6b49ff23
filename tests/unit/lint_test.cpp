// The rules lint: which alternatives are dead, and which rules it reports
// and, as much, which it must leave alone.
#include <gtest/gtest.h>

#include "lex/scanner.h"
#include "lint/alternatives.h"
#include "lint/lint.h"
#include "rules/rules_file.h"
#include "test_support.h"

namespace {

TEST(LintAlternativesTest, DeadOnlyWhereAnEarlierFixedRunBeginsEveryMatch) {
  struct Case {
    const char* expr;
    std::vector<std::pair<std::string, std::string>> dead;  // alternative, the earlier one
  };
  const Case cases[] = {
      {"dec|dec.b", {{"dec.b", "dec"}}},
      {"(dec.b)|dec", {}},
      {"(dec|dec.b)", {{"dec.b", "dec"}}},
      {"dec|decd|inc|incd", {{"decd", "dec"}, {"incd", "inc"}}},
      {"r[0-9]|r1[0-5]", {{"r1[0-5]", "r[0-9]"}}},
      {"r1[0-5]|r[0-9]", {}},
      {"ab|a.|[ab]c", {}},
      {"[^a]|b", {{"b", "[^a]"}}},
      {"[]x]|x", {{"x", "[]x]"}}},
      {"x|\\x", {{"\\x", "x"}}},
      {"|x", {{"x", ""}}},
      {"a|(a)b", {{"(a)b", "a"}}},
      {"(a|b)c|ac", {}},    // a group of alternatives is no fixed run
      {"a?|ab", {}},        // nor an optional atom
      {"ab+|abc", {}},
      {"[ab", {}},          // not an expression: nothing to say
      {"(ab|a", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const ShadowedAlternative& s : shadowed_alternatives(c.expr)) {
      got.emplace_back(s.alternative, s.earlier);
      EXPECT_EQ(std::string_view(c.expr).substr(s.offset, s.alternative.size()), s.alternative) << c.expr;
    }
    EXPECT_EQ(got, c.dead) << c.expr;
  }
}

class LintTest : public RunRecordTest {
 protected:
  // What +lint prints for a rules text; the rules must read without errors.
  std::string lint(const std::string& text) {
    LineTable lines(split_lines(text));
    Scanner sc;
    RuleSet set;
    sc.open_lines(lines.table(), "t.rls");
    init_rules_syntax(sc, set);
    std::string out = capture_stdout([&] {
      RulesReader(sc, set, RulesOptions{0, 0, true}).read_rules();
      EXPECT_EQ(run.fatal_count, 0) << text;
      lint_rules(set, "t.rls");
    });
    return out;
  }
};

TEST_F(LintTest, SubsumedOnlyWhereDecided) {
  struct Case {
    const char* rules;
    bool reported;
  } cases[] = {
      // every pair of the same register is also a pair
      {".replace\nmov <a>,<b>\n.by\nnop\n.replace\nmov r5,r5\n.by\nnop\n", true},
      // the earlier rule wants equal operands
      {".replace\nmov <a>,<a>\n.by\nnop\n.replace\nmov r5,r6\n.by\nnop\n", false},
      {".replace\nmov <a>,<a>\n.by\nnop\n.replace\nmov <x/r[0-9]+/>,<x>\n.by\nnop\n", true},
      // a longer earlier rule needs a VOP the later one does not
      {".replace\nmov <a>,<b>\nnop\n.by\nnop\n.replace\nmov r5,r5\n.by\nnop\n", false},
      {".replace\nmov <a>,<b>\n.by\nnop\n.replace\nmov r5,r5\nnop\n.by\nnop\n", true},
      // an expression is not decided; nor a number, which has many spellings
      {".replace\nmov <a/r5|r6/>,<b>\n.by\nnop\n.replace\nmov r5,r5\n.by\nnop\n", false},
      {".replace\nmov 16,<b>\n.by\nnop\n.replace\nmov 0x10,r5\n.by\nnop\n", false},
      // each pass has its own order
      {".replace\nmov <a>,<b>\n.by\nnop\n.pass\n.replace\nmov r5,r5\n.by\nnop\n", false},
      {".replace\n<a> <b>,<c>\n.by\nnop\n.replace\nmov r5,r5\n.by\nnop\n", true},
      // a label line matches labels only
      {".replace\njmp <l>\n<l:>\n.by\n<l:>\n.replace\njmp .L1\n<:.L1>\n.by\nnop\n", true},
      {".replace\njmp <l>\n<l:>\n.by\n<l:>\n.replace\njmp .L1\njmp .L1\n.by\nnop\n", false},
      // an earlier rule with a condition matches less than its lines say
      {".replace\nmov <a>,<b>\n<a!=b>\n.by\nnop\n.replace\nmov r5,r6\n.by\nnop\n", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(lint(c.rules).find("Rule never fires") != std::string::npos, c.reported) << c.rules;
}

TEST_F(LintTest, LoopsAndUnusedVariables) {
  struct Case {
    const char* rules;
    const char* message;  // null: nothing reported
  } cases[] = {
      {".replace\nmov <a>,<b>\n.by\nmov <b>,<a>\n", "own pattern matches"},
      {".replace\nmov <a>,<b>\n.by\nmov <a>,<b>\nnop\n", "own pattern matches"},
      {".replace\nnop\nnop\n.by\nnop\n", nullptr},
      // the output matches again only after another rule changed it
      {".replace\ntst <r>\n.by\ncmp #0,<r>\n.replace\ncmp #0,<r>\n.by\ntst <r>\n", "fire in turn"},
      {".replace\ntst <r>\n.by\ncmp #0,<r>\n.replace\ncmp #1,<r>\n.by\ntst <r>\n", nullptr},
      // a store killed by the next one keeps that one whole: not a typo
      {".replace\nmov <a>,<b>\nmov <c>,<b>\n.by\nmov <c>,<b>\n", nullptr},
      {".replace\nadd <a>,<b>\n.by\nsub <b>,<b>\n", "<a> is not used"},
      {".replace\nadd <a>,<b>\n.by\nclr <b>\n", nullptr},
      // what a condition says of the marks is not decided
      {".replace\nmov <a>,<b>\n<a!=b>\n.by\nmov <b>,<a>\n", nullptr},
      // a label's name may begin with a dot; a variable used only in a
      // condition is used
      {".replace\njmp .L1\n<:.L1>\n.by\n<:.L1>\n", nullptr},
      {".replace\nmov <a>,<b>\nmov <c>,<b>\n<a!=c>\n.by\nmov <c>,<b>\n", nullptr},
  };
  for (const Case& c : cases) {
    std::string out = lint(c.rules);
    if (c.message)
      EXPECT_NE(out.find(c.message), std::string::npos) << c.rules << out;
    else
      EXPECT_EQ(out, "") << c.rules;
  }
}

TEST_F(LintTest, NeverMatchingLinesAndTheMessageForm) {
  std::string out = lint(".comment_char \"#\"\n.replace\n\t#x\t<a>\n.by\n\tnop\n");
  EXPECT_EQ(out,
            "\t#x\t<a>\n|\n\"t.rls\", line 3: Warning: Pattern line never matches a VOP: its name begins a comment\n");
  EXPECT_EQ(run.warning_count, 1);
  // the name is matched before the operand that gave <a> no expression
  EXPECT_NE(lint(".replace\n<a>.b <a>\n.by\nnop\n").find("<a> takes all the rest"), std::string::npos);
  run.warnings_off = true;
  EXPECT_EQ(lint(".replace\n..x\n.by\nnop\n"), "");
}

}  // namespace
