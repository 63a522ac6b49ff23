#include "rules/operands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "rules/rules_file.h"
#include "rx/rx.h"
#include "vop/scanner.h"
#include "rules_dump.h"
#include "test_support.h"

namespace {

class OperandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_all_modules();
    src.cur_file_name = "t.rls";
    src.stmt_line = 7;
  }

  // Parses `text` as a rule operand in parser state `state`, with the
  // variables of `occurred` already seen in the rule; returns the dump and
  // leaves the printed messages in `printed`.
  std::string parse(int state, const char* occurred, const char* text) {
    rules.state = state;
    for (const char* v = occurred; *v; v++) rule_vars[*v - 'a'].text = "";
    std::string buf(text);
    st_entry* subs = nullptr;
    printed = capture_stdout([&] { subs = parse_opnd_text(buf.data()); });
    keep_reachable(subs);
    EXPECT_EQ(buf, text) << "the text must be restored after cutting";
    return dump_subs(subs);
  }

  std::string printed;
};

struct ParseCase {
  int state;
  const char* occurred;
  const char* text;
  const char* dump;
  const char* messages;
};

const ParseCase kParseCases[] = {
    // Literal text and numbers
    {RS_REPLACE, "", "r5", "S(r5)", ""},
    {RS_REPLACE, "", "0x10", "N(16)", ""},
    {RS_BY, "", "0x10", "S(0x10)", ""},
    {RS_REPLACE, "", "#0x0", "S(#0x0)", ""},
    {RS_BY_LINES, "", "#0x0", "S(#0x0)", ""},
    {RS_REPLACE_LINES, "", "017", "N(15)", ""},
    {RS_REPLACE, "", "12", "N(12)", ""},
    {RS_REPLACE, "", "'a'x", "N(97)", ""},
    {RS_REPLACE, "", "0xffffffff", "N(-1)", ""},
    {RS_REPLACE, "", "-1", "S(-1)", ""},
    {RS_REPLACE, "", "12(r4)", "S(12(r4))", ""},
    {RS_REPLACE_LINES, "b", "<b>10", "V(b) S(10)", ""},
    {RS_REPLACE, "", "&x<b>", "S(&x) V(b)", ""},

    // Plain variables
    {RS_REPLACE, "", "<b>", "V(b)", ""},
    {RS_REPLACE_LINES, "b", "<b>", "V(b)", ""},
    {RS_BY, "b", "<b>", "V(b)", ""},
    {RS_REPLACE, "", "<b>+2", "V(b) S(+2)",
     "\"t.rls\", line 7: Unexpected characters found after '>' in operand <b>+2\n"},
    {RS_REPLACE_LINES, "b", "<b>+2", "V(b) S(+2)", ""},
    {RS_REPLACE_LINES, "b", "<b><c>", "V(b) V(c)", ""},
    {RS_REPLACE, "", "<b><c>", "V(b) V(c)",
     "\"t.rls\", line 7: Unexpected characters found after '>' in operand <b><c>\n"},
    {RS_BY_LINES, "", "<z>", "S(<z>)",
     "\"t.rls\", line 7: <z> not defined in .replace part of rule\n"},
    {RS_BY, "", "<z>x", "S(<z>) S(x)",
     "\"t.rls\", line 7: Unexpected characters found after '>' in operand <z>x\n"
     "\"t.rls\", line 7: <z>x not defined in .replace part of rule\n"},

    // Variables with an expression
    {RS_REPLACE, "", "<d/jeq|jne/>", "V(d,re)", ""},
    {RS_REPLACE, "", "<d/jeq/>+2", "V(d,re) S(+2)", ""},
    {RS_REPLACE_LINES, "d", "<d/jeq/>", "S(<d/jeq/>)",
     "\"t.rls\", line 7: Variable operand <d/jeq/> cannot contain a reg expr\n"},
    {RS_BY, "d", "<d/jeq/>", "S(<d/jeq/>)",
     "\"t.rls\", line 7: Regular exprs not allowed in .by part of rule\n"},
    {RS_BY_LINES, "", "x<d/jeq", "S(x) S(<d/jeq)",
     "\"t.rls\", line 7: Regular exprs not allowed in .by part of rule\n"},
    {RS_REPLACE, "", "<d/jeq", "S(<d/jeq)",
     "\"t.rls\", line 7: Missing trailing '/' for variable operand <d/jeq\n"},
    {RS_REPLACE, "", "<d/jeq/x", "S(<d/jeq/x)",
     "\"t.rls\", line 7: Missing trailing '>' for variable operand <d/jeq/x\n"},
    {RS_REPLACE, "", "<d/jeq/", "S(<d/jeq/)",
     "\"t.rls\", line 7: Missing trailing '>' for variable operand <d/jeq/\n"},

    // Variables written wrongly
    {RS_REPLACE, "", "<B>", "S(<B>)", "\"t.rls\", line 7: Incorrect variable operand <B>\n"},
    {RS_REPLACE, "", "x<B>,<c>", "S(x) S(<B>,<c>)",
     "\"t.rls\", line 7: Incorrect variable operand <B>,<c>\n"},
    {RS_BY, "", "<ab>", "S(<ab>)", "\"t.rls\", line 7: Incorrect variable operand <ab>\n"},
    {RS_REPLACE, "", "<", "S(<)", "\"t.rls\", line 7: Incorrect variable operand <\n"},
    {RS_REPLACE, "", "<b", "S(<b)", "\"t.rls\", line 7: Incorrect variable operand <b\n"},

    // String operands: the marker is dropped only where VOP texts are matched
    {RS_REPLACE, "", "\"ab", "S(ab)", ""},
    {RS_BY, "", "\"ab", "S(\"ab)", ""},
    {RS_REPLACE, "", "\"12", "S(12)", ""},
    {RS_REPLACE, "", "\"a<c>", "S(a) V(c)", ""},
    {RS_BY, "c", "\"a<c>", "S(\"a) V(c)", ""},
    {RS_REPLACE, "", "\"", "S()", ""},
    {RS_BY_LINES, "", "\"", "S(\")", ""},
};

TEST_F(OperandsTest, CutsTextsIntoSubOperands) {
  for (const ParseCase& c : kParseCases) {
    SetUp();
    SCOPED_TRACE(std::string("state ") + std::to_string(c.state) + " text " + c.text);
    EXPECT_EQ(parse(c.state, c.occurred, c.text), c.dump);
    EXPECT_EQ(printed, c.messages);
    EXPECT_EQ(diag.fatal_count, std::count(printed.begin(), printed.end(), '\n'));
  }
}

TEST_F(OperandsTest, EmptyTextHasNoSubOperands) {
  EXPECT_EQ(parse(RS_REPLACE, "", ""), "");
  EXPECT_EQ(printed, "");
}

TEST_F(OperandsTest, OnlyStoredVariablesCountAsOccurred) {
  parse(RS_REPLACE, "", "<B>");
  parse(RS_REPLACE, "", "<d/jeq");
  parse(RS_REPLACE, "", "<f/x/y");
  parse(RS_BY, "", "<e>");
  for (const RuleVar& v : rule_vars) EXPECT_EQ(v.text, nullptr);
  parse(RS_REPLACE, "", "<b>x");
  parse(RS_REPLACE, "", "y<d/jeq/>");
  EXPECT_NE(rule_vars[1].text, nullptr);
  EXPECT_NE(rule_vars[3].text, nullptr);
  EXPECT_EQ(rule_vars[2].text, nullptr);
}

// An operand expression has no anchors: '$' and '^' stand for themselves,
// except '^' opening a negated class, and what is escaped already.
struct EscapeCase {
  const char* opnd;
  const char* subject;
  int start, end;  // match extent, or -1 for no match
};

const EscapeCase kEscapeCases[] = {
    {"<d/a$/>", "xa$y", 1, 3},       {"<d/a$/>", "xa", -1, -1},     {"<d/^x/>", "a^x", 1, 3},
    {"<d/^x/>", "xy", -1, -1},       {"<d/[^a]b/>", "abcb", 2, 4},  {"<d/[^a]b/>", "ab", -1, -1},
    {"<d/a\\$/>", "a$", 0, 2},       {"<d/a\\\\$/>", "a\\$", 0, 3}, {"<d/a\\\\$/>", "a\\", -1, -1},
    {"<d/(jeq|jne)/>", "jne", 0, 3}, {"<d/a[$^]/>", "a^", 0, 2},
};

TEST_F(OperandsTest, ExpressionsAreEscapedBeforeCompiling) {
  for (const EscapeCase& c : kEscapeCases) {
    SetUp();
    SCOPED_TRACE(std::string(c.opnd) + " on " + c.subject);
    std::string buf(c.opnd);
    st_entry* sub = parse_opnd_text(buf.data());
    keep_reachable(sub);
    ASSERT_NE(sub, nullptr);
    ASSERT_NE(sub->regexp, nullptr);
    int found = rx_search(sub->regexp, c.subject);
    EXPECT_EQ(found, c.start >= 0 ? 1 : 0);
    if (found && c.start >= 0) {
      EXPECT_EQ(sub->regexp->group_start[0] - c.subject, c.start);
      EXPECT_EQ(sub->regexp->group_end[0] - c.subject, c.end);
    }
  }
}

TEST_F(OperandsTest, EqualTextsShareOneCopy) {
  std::string a("r5"), b("r5");
  st_entry* x = parse_opnd_text(a.data());
  st_entry* y = parse_opnd_text(b.data());
  keep_reachable(x);
  keep_reachable(y);
  EXPECT_EQ(x->text, y->text);
}

TEST_F(OperandsTest, ConstructorsFillTheirRecords) {
  rules.state = RS_BY;
  st_entry* s1 = st_sub_opnd(SUB_N_SCAN, "r4", nullptr, 0, nullptr, nullptr);
  st_entry* s2 = st_sub_opnd(SUB_N_VAR, nullptr, &rule_vars[2], 0, nullptr, s1);
  st_entry* o1 = st_opnd(s1, nullptr, ',');
  st_entry* o2 = st_opnd(nullptr, o1, 0);
  st_entry* line = st_rule("mov", o1, nullptr);
  st_entry* line2 = st_rule("..skip", nullptr, line);
  keep_reachable(line);
  EXPECT_EQ(s1->next_sub, s2);
  EXPECT_EQ(s2->var, &rule_vars[2]);
  EXPECT_EQ(s1->ntype, N_SUB_OPND);
  EXPECT_STREQ(s1->name, ".temp.");
  EXPECT_EQ(o1->ntype, N_OPND);
  EXPECT_STREQ(o1->name, ".temp.");
  EXPECT_EQ(o1->delim, ',');
  EXPECT_EQ(o1->next, o2);
  EXPECT_EQ(o1->sub_opnds, s1);
  EXPECT_EQ(line->ntype, N_RULE);
  EXPECT_STREQ(line->name, "mov");
  EXPECT_EQ(dump_subs(line->name_opnds), "S(mov)");
  EXPECT_EQ(line->opnds, o1);
  EXPECT_EQ(line->next, line2);
  EXPECT_EQ(line->by, nullptr);
  EXPECT_STREQ(line2->name, ".temp.");
  EXPECT_EQ(line2->name_opnds, nullptr);
  EXPECT_EQ(line2->next_rule, nullptr);
}

TEST_F(OperandsTest, FirstLinesAreAppendedToTheCurrentPass) {
  rules.state = RS_REPLACE;
  st_entry* r1 = st_repl1("a", nullptr);
  st_entry* r2 = st_repl1("b", nullptr);
  rules.pass_count = 2;
  st_entry* r3 = st_repl1("c", nullptr);
  ASSERT_GE(rules.pass_slots, 3);
  EXPECT_EQ(rules.pass_rules[0], r1);
  EXPECT_EQ(r1->next_rule, r2);
  EXPECT_EQ(r2->next_rule, nullptr);
  EXPECT_EQ(rules.pass_rules[1], nullptr);
  EXPECT_EQ(rules.pass_rules[2], r3);
}

TEST_F(OperandsTest, InvalidKindIsAnInternalError) {
  static char line[] = "\tbad\n";
  src.line_buf = line;
  src.line_len = 5;
  src.line_pos = 2;
  EXPECT_EQ(capture_stdout(
                [] { keep_reachable(st_sub_opnd(7, nullptr, nullptr, 0, nullptr, nullptr)); }),
            "\tbad\n"
            "\t|\n"
            "\"t.rls\", line 7: Internal error - st_sub_opnd() - invalid sub_ntype\n");
  EXPECT_EQ(diag.fatal_count, 1);
  src = SourceLine{};
}

TEST_F(OperandsTest, ConstructorsTraceAtSecondDebugLevel) {
  rules.state = RS_REPLACE;
  opts.debug_level = 1;
  EXPECT_EQ(capture_stdout([] { keep_reachable(st_repl1("nop", st_opnd(nullptr, nullptr, 0))); }),
            "");

  opts.debug_level = 2;
  EXPECT_EQ(capture_stdout([] {
              std::string text("<b>x");
              st_entry* opnd = st_opnd(parse_opnd_text(text.data()), nullptr, ',');
              keep_reachable(st_repl1("mov", opnd));
              keep_reachable(st_rule("..x", nullptr, nullptr));
            }),
            "\"t.rls\", line 7: Unexpected characters found after '>' in operand <b>x\n"
            "st_sub_opnd of type 0\n"
            "st_sub_opnd of type 1\n"
            "st_opnd\n"
            "st_repl1, name = mov\n"
            "st_rule, name = mov\n"
            "st_sub_opnd of type 1\n"
            "st_rule, name = ..x\n");
}

}  // namespace
