#include "rules/listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "rules/operands.h"
#include "rules/rules_file.h"
#include "vop/scanner.h"
#include "test_support.h"

namespace {

class ListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_all_modules();
    src.cur_file_name = "t.rls";
    src.stmt_line = 4;
  }

  // A rule line in the current parser state: the name, then the operands
  // (each cut into sub-operands), chained after `prev`.
  st_entry* line(const char* name, std::vector<const char*> opnds, st_entry* prev = nullptr) {
    st_entry* first = nullptr;
    st_entry* last = nullptr;
    for (const char* o : opnds) {
      std::string text(o);
      last = st_opnd(parse_opnd_text(text.data()), last, ',');
      if (!first) first = last;
    }
    st_entry* e = st_rule(name, first, prev);
    keep_reachable(e);
    return e;
  }

  static std::string listing(st_entry* rule) {
    return capture_stdout([rule] { print_rules(rule); });
  }
};

TEST_F(ListingTest, NullRule) {
  EXPECT_EQ(listing(nullptr), "print_rules() - no repl1\n");
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(ListingTest, WholeRuleInLineOrder) {
  rules.state = RS_REPLACE;
  st_entry* first = line("<a/(and.b)|and/>", {"<b>", "<c>"});
  rules.state = RS_REPLACE_LINES;
  st_entry* second = line("cmp", {"#0x0", "<c>"}, first);
  line("jne", {"0x10", "$+4<z>"}, second);
  rules.state = RS_BY;
  first->by = line("<a>", {"<b>", "<c>"});
  rules.state = RS_BY_LINES;
  line("nop", {}, first->by);
  EXPECT_EQ(listing(first),
            "REPL1: \t<a>\n"
            "\t\tOPND: <b>\n\n"
            "\t\tOPND: <c>\n\n"
            "REPL: \tSUB_N_SCAN\tcmp\n"
            "\t\tOPND: SUB_N_SCAN\t#0x0\n\n"
            "\t\tOPND: <c>\n\n"
            "REPL: \tSUB_N_SCAN\tjne\n"
            "\t\tOPND: 16\n\n"
            "\t\tOPND: SUB_N_SCAN\t$+4\n<z>\n\n"
            "\tBY: \t<a>\n"
            "\t\tOPND: <b>\n\n"
            "\t\tOPND: <c>\n\n"
            "\tBY: \tSUB_N_SCAN\tnop\n");
}

TEST_F(ListingTest, ListingClearsTheVariables) {
  rules.state = RS_REPLACE;
  st_entry* rule = line("push", {"<d>"});
  ASSERT_NE(rule_vars[3].text, nullptr);
  EXPECT_EQ(listing(rule), "REPL1: \tSUB_N_SCAN\tpush\n\t\tOPND: <d>\n\n");
  for (const RuleVar& v : rule_vars) EXPECT_EQ(v.text, nullptr);
}

struct LineCase {
  int state;
  const char* name;
  std::vector<const char*> opnds;
  const char* listed;
};

const LineCase kLineCases[] = {
    {RS_REPLACE, "..x", {"r5"}, "REPL1: \t\t\tOPND: SUB_N_SCAN\tr5\n\n"},
    {RS_REPLACE, "..x", {}, "REPL1: \t"},
    {RS_REPLACE, "ret", {}, "REPL1: \tSUB_N_SCAN\tret\n"},
    {RS_REPLACE,
     "mov",
     {"", "r5"},
     "REPL1: \tSUB_N_SCAN\tmov\n\t\tOPND: \n\t\tOPND: SUB_N_SCAN\tr5\n\n"},
    {RS_REPLACE, "0", {"0xffffffff", "'a'"}, "REPL1: \t0\n\t\tOPND: -1\n\n\t\tOPND: 97\n\n"},
    {RS_REPLACE, "mov<y>", {"<x>"}, "REPL1: \tSUB_N_SCAN\tmov\n<y>\n\t\tOPND: <x>\n\n"},
    {RS_REPLACE, ".ascii", {"\"a b"}, "REPL1: \tSUB_N_SCAN\t.ascii\n\t\tOPND: SUB_N_SCAN\ta b\n\n"},
};

TEST_F(ListingTest, LinesOfEveryShape) {
  for (const LineCase& c : kLineCases) {
    SetUp();
    SCOPED_TRACE(c.name);
    rules.state = c.state;
    st_entry* rule = nullptr;
    EXPECT_EQ(capture_stdout([&] { rule = line(c.name, c.opnds); }), "")
        << "no message while parsing";
    EXPECT_EQ(listing(rule), c.listed);
  }
}

TEST_F(ListingTest, ByLinesOfAnUnusualRule) {
  rules.state = RS_BY;
  st_entry* rule = line("..r", {});
  rule->by = line("..b", {"x"});
  EXPECT_EQ(listing(rule), "REPL1: \t\tBY: \t\t\tOPND: SUB_N_SCAN\tx\n\n");
}

TEST_F(ListingTest, BadKindsAreInternalErrors) {
  static char text[] = "\tbad <x>\n";
  rules.state = RS_REPLACE;
  st_entry* rule = line("mov", {"<x>"});
  st_entry* bad_name = nullptr;
  st_entry* bad_opnd = nullptr;
  capture_stdout([&] {
    bad_name = st_sub_opnd(9, nullptr, nullptr, 0, nullptr, nullptr);
    bad_opnd = st_sub_opnd(3, nullptr, nullptr, 0, nullptr, nullptr);
  });
  bad_name->next_sub = rule->name_opnds;
  rule->name_opnds = bad_name;
  rule->opnds->sub_opnds->next_sub = bad_opnd;
  src.line_buf = text;
  src.line_len = 9;
  src.line_pos = 6;
  diag.fatal_count = 0;
  EXPECT_EQ(listing(rule),
            "REPL1: \t\tbad <x>\n"
            "\t    |\n"
            "\"t.rls\", line 4: Internal error - print_vop_opnds() - bad vop opnd sub_ntype\n"
            "SUB_N_SCAN\tmov\n"
            "\t\tOPND: <x>\n"
            "\tbad <x>\n"
            "\t    |\n"
            "\"t.rls\", line 4: Internal error - print_rule_opnds() - bad opnd sub_ntype\n"
            "\n");
  EXPECT_EQ(diag.fatal_count, 2);
  src = SourceLine{};
}

}  // namespace
