#include "rules/rules_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "rules/operands.h"
#include "rx/rx.h"
#include "vop/scanner.h"
#include "rules_dump.h"
#include "test_support.h"

namespace {

class RulesFileTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_all_modules(); }

  // Reads `lines` as the rules file "t.rls"; returns what was printed.
  std::string read(const std::vector<const char*>& lines) {
    table_.open(std::vector<std::string>(lines.begin(), lines.end()), "t.rls");
    init_rules_syntax();
    return capture_stdout(read_rules);
  }

  LineTable table_;
};

struct ReadCase {
  const char* title;
  std::vector<const char*> lines;
  int listing;  // +zr count
  const char* printed;
  const char* rules;
  bool no_optimization;
};

const ReadCase kReadCases[] = {
    // Parser states and their messages
    {"line before .replace",
     {"; rules", "\tmov r1,r2", ".replace", "\tnop", ".by"},
     0,
     "\"t.rls\", line 2: Expected a .replace directive\n",
     "0: S(nop) =>\n",
     false},
    {".replace after .replace",
     {".replace", ".replace", "\tnop", ".by", "\tx"},
     0,
     "\"t.rls\", line 2: Unexpected .replace directive - ignored\n",
     "0: S(nop) => S(x)\n",
     false},
    {".replace among pattern lines",
     {".replace", "\tnop", ".replace", "\tnop2", ".by"},
     0,
     "\"t.rls\", line 3: Unexpected .replace directive - ignored\n",
     "0: S(nop) ; S(nop2) =>\n",
     false},
    {".by before any rule",
     {".by", ".replace", "\ta", ".by", "\tb"},
     0,
     "\"t.rls\", line 1: Unexpected .by directive - ignored\n",
     "0: S(a) => S(b)\n",
     false},
    {".by right after .replace",
     {".replace", ".by", "\tnop", ".by", "\tx"},
     0,
     "\"t.rls\", line 2: Unexpected .by directive - ignored\n",
     "0: S(nop) => S(x)\n",
     false},
    {"second .by after replacement lines",
     {".replace", "\tnop", ".by", "\ta", ".by", "\tb"},
     0,
     "\"t.rls\", line 5: Unexpected .by directive - ignored\n",
     "0: S(nop) => S(a) ; S(b)\n",
     false},
    {"second .by in an empty .by part",
     {".replace", "\tnop", ".by", ".by", "\tb"},
     0,
     "\"t.rls\", line 4: Unexpected .by directive - ignored\n",
     "0: S(nop) => S(b)\n",
     false},
    {"end of input after .replace",
     {"; x", ".replace"},
     0,
     "\"t.rls\", line 2: EOF detected before rule was completed\n",
     "",
     false},
    {"end of input among pattern lines",
     {".replace", "\tnop", ""},
     0,
     "\"t.rls\", line 3: EOF detected before rule was completed\n",
     "0: S(nop) =>\n",
     false},
    {".pass among pattern lines",
     {".replace", "\tnop", ".pass", ".replace", "\ta", ".by"},
     0,
     "\"t.rls\", line 3: .pass detected before rule was completed\n",
     "0: S(nop) =>\n1: S(a) =>\n",
     false},
    {".pass right after .replace",
     {".replace", ".pass"},
     0,
     "\"t.rls\", line 2: .pass detected before rule was completed\n",
     "",
     true},

    // No rules
    {"comments and settings only, listing on",
     {"; only comments", "", ".comment_char \"#\""},
     1,
     "\"t.rls\", line 3: Warning: No rules specified\n",
     "",
     true},
    {"empty input, listing on",
     {},
     2,
     "\"t.rls\", line 0: Warning: No rules specified\n",
     "",
     true},
    {"no rules, listing off", {".cstyle"}, 0, "", "", true},
    {"final .pass keeps the rules before it",
     {".replace", "\tnop", ".by", "\tx", ".pass"},
     1,
     "",
     "0: S(nop) => S(x)\n",
     false},

    // Rule shapes
    {"two pattern lines and an empty .by part, not listed",
     {".replace", "\tpush r5", "\tpop r5", ".by"},
     1,
     "",
     "0: S(push) [S(r5)] ; S(pop) [S(r5)] =>\n",
     false},
    {"text after .replace and .by is ignored",
     {".replace this is ignored", "\tnop", ".by\tand this", "\tx"},
     0,
     "",
     "0: S(nop) => S(x)\n",
     false},
    {"blank and comment lines are counted",
     {"", "   ", "; c", "\t; c2", "\tnop"},
     0,
     "\"t.rls\", line 5: Expected a .replace directive\n",
     "",
     true},
    {"a name beginning with two dots",
     {".replace", "\t..x r5", ".by", "\t..y"},
     0,
     "",
     "0: .temp. [S(r5)] => .temp.\n",
     false},
    {"operands and their delimiters",
     {".replace", "\tmov\t<b> , <c> ; comment", ".by", "\tmov <c>,<b>"},
     0,
     "",
     "0: S(mov) [V(b)]  [], [V(c)]  => S(mov) [V(c)], [V(b)]\n",
     false},
    {"numbers only in the pattern part",
     {".replace", "\tmov 0x10,#0x0", ".by", "\tmov 0x10,#0x0"},
     0,
     "",
     "0: S(mov) [N(16)], [S(#0x0)] => S(mov) [S(0x10)], [S(#0x0)]\n",
     false},
    {"string operands",
     {".replace", "\t.ascii \"ab<c>\"", ".by", "\t.ascii \"x<c>\""},
     0,
     "",
     "0: S(.ascii) [S(ab) V(c)] => S(.ascii) [S(\"x) V(c)]\n",
     false},
    {"variables of the pattern part are defined in the .by part",
     {".replace", "\t<a/jeq|jne/> <b>", "\tjmp <c>", ".by", "\t<a> <c>", "\t<b>"},
     0,
     "",
     "0: V(a,re) [V(b)] ; S(jmp) [V(c)] => V(a) [V(c)] ; V(b)\n",
     false},
    {"variables are cleared for each rule",
     {".replace", "\tpush <b>", ".by", ".replace", "\tpop r5", ".by", "\tpush <b>"},
     0,
     "\"t.rls\", line 7: <b> not defined in .replace part of rule\n",
     "0: S(push) [V(b)] =>\n0: S(pop) [S(r5)] => S(push) [S(<b>)]\n",
     false},
    {"first occurrence of b followed by text",
     {".replace", "\tmov <b>+2,r5", ".by", "\tmov <b>+2,r6"},
     0,
     "\"t.rls\", line 2: Unexpected characters found after '>' in operand <b>+2\n",
     "0: S(mov) [V(b) S(+2)], [S(r5)] => S(mov) [V(b) S(+2)], [S(r6)]\n",
     false},
    {"upper-case variable",
     {".replace", "\tmov <B>,r5", ".by"},
     0,
     "\"t.rls\", line 2: Incorrect variable operand <B>\n",
     "0: S(mov) [S(<B>)], [S(r5)] =>\n",
     false},
    {"the operands of a line are parsed before its name",
     {".replace", "\t<a/mov|add/> <a>", ".by"},
     0,
     "\"t.rls\", line 2: Variable operand <a/mov|add/> cannot contain a reg expr\n",
     "0: S(<a/mov|add/>) [V(a)] =>\n",
     false},
    {"expression in the .by part",
     {".replace", "\tnop", ".by", "\t<a/x/>"},
     0,
     "\"t.rls\", line 4: Regular exprs not allowed in .by part of rule\n",
     "0: S(nop) => S(<a/x/>)\n",
     false},
};

TEST_F(RulesFileTest, ReadsRulesAndReportsEachProblem) {
  for (const ReadCase& c : kReadCases) {
    SetUp();
    SCOPED_TRACE(c.title);
    opts.rules_debug_level = c.listing;
    EXPECT_EQ(read(c.lines), c.printed);
    EXPECT_EQ(dump_rules(), c.rules);
    EXPECT_EQ(run.no_optimization, c.no_optimization);
  }
}

TEST_F(RulesFileTest, PassGroupsKeepFileOrder) {
  EXPECT_EQ(read({".replace", "\ta", ".by", "\tb", ".replace", "\tc", ".by", ".pass", ".replace",
                  "\td", ".by", "\te", ".replace", "\tf", ".by", "\tg"}),
            "");
  EXPECT_EQ(rules.pass_count, 1);
  EXPECT_EQ(dump_rules(), "0: S(a) => S(b)\n0: S(c) =>\n1: S(d) => S(e)\n1: S(f) => S(g)\n");
}

TEST_F(RulesFileTest, EmptyPassesStayInTheTable) {
  EXPECT_EQ(read({".pass", ".pass", ".replace", "\ta", ".by", ".pass"}), "");
  EXPECT_EQ(rules.pass_count, 3);
  ASSERT_GE(rules.pass_slots, 4);
  EXPECT_EQ(rules.pass_rules[0], nullptr);
  EXPECT_EQ(rules.pass_rules[1], nullptr);
  EXPECT_EQ(rules.pass_rules[3], nullptr);
  EXPECT_EQ(dump_rules(), "2: S(a) =>\n");
  EXPECT_FALSE(run.no_optimization);
}

TEST_F(RulesFileTest, MaxReplLinesIsTheLongestPatternPart) {
  read({".replace", "\ta", ".by"});
  EXPECT_EQ(rules.max_repl_lines, 1);
  SetUp();
  read({".replace", "\ta", "\tb", "\tc", ".by", ".pass", ".replace", "\ta", "\tb", ".by", "\tx",
        "\ty", "\tz", "\tw"});
  EXPECT_EQ(rules.max_repl_lines, 3);
}

TEST_F(RulesFileTest, PresetNoOptimizationReadsNothing) {
  run.no_optimization = true;
  EXPECT_EQ(read({"junk", ".replace"}), "");
  EXPECT_EQ(scanner.line_no, 0);
  EXPECT_EQ(rules.pass_count, 0);
  ASSERT_GE(rules.pass_slots, 1);
  EXPECT_EQ(rules.pass_rules[0], nullptr);
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(RulesFileTest, ErrorsAreCounted) {
  read({".by", "x", ".replace", ".replace"});
  EXPECT_EQ(diag.fatal_count, 4);
  EXPECT_EQ(diag.warning_count, 0);
}

struct FlagCase {
  std::vector<const char*> lines;
  bool delete_asm_dirs, cstyle;
};

const FlagCase kFlagCases[] = {
    {{}, false, false},
    {{".delete_asm_dirs"}, true, false},
    {{".delete_asm_dirs", ".pass"}, false, false},
    {{".pass", ".delete_asm_dirs"}, true, false},
    {{".delete_asm_dirs", ".pass", ".replace", "\ta", ".by", ".delete_asm_dirs"}, true, false},
    {{".cstyle", ".pass"}, false, true},
    {{".replace", "\ta", ".cstyle", ".by"}, false, true},
};

TEST_F(RulesFileTest, DeleteAsmDirsHoldsOnlyAfterTheLastPass) {
  for (const FlagCase& c : kFlagCases) {
    SetUp();
    SCOPED_TRACE(c.lines.empty() ? "empty" : c.lines[0]);
    EXPECT_EQ(read(c.lines), "");
    EXPECT_EQ(rules.delete_asm_dirs, c.delete_asm_dirs);
    EXPECT_EQ(rules.cstyle, c.cstyle);
  }
}

struct SettingCase {
  std::vector<const char*> lines;
  const char* comment_char;
  const char* comment_begin;  // null: none
  const char* comment_end;
  const char* delim_chars;
  const char* printed;
};

const SettingCase kSettingCases[] = {
    {{".comment_char \"#\""}, "#", nullptr, nullptr, " \t,", ""},
    {{".comment_char #"}, "#", nullptr, nullptr, " \t,", ""},
    {{".comment_char   \"//\" ; x"}, "//", nullptr, nullptr, " \t,", ""},
    {{".comment_char \"a\" \"b\""}, "ab", nullptr, nullptr, " \t,", ""},
    {{".comment_char \"\""}, "", nullptr, nullptr, " \t,", ""},
    {{".comment_char #", "; .by", "# .by"},
     "#",
     nullptr,
     nullptr,
     " \t,",
     "\"t.rls\", line 3: Expected a .replace directive\n"},
    {{".delim_chars \",\""}, ";", nullptr, nullptr, ",", ""},
    {{".delim_chars \" \\t\""}, ";", nullptr, nullptr, " \t", ""},
    {{".delim_chars \"a\"", ".delim_chars \"b\""}, ";", nullptr, nullptr, "b", ""},
    {{".comment_begin \"/*\"", ".comment_end \"*/\""}, ";", "/*", "*/", " \t,", ""},
    {{".delim_chars ,"},
     ";",
     nullptr,
     nullptr,
     " \t,",
     ".delim_chars ,\n"
     "            |\n"
     "\"t.rls\", line 1: Expected <string>\n"},
    {{".comment_begin"},
     ";",
     nullptr,
     nullptr,
     " \t,",
     ".comment_begin\n"
     "             |\n"
     "\"t.rls\", line 1: Expected <string>\n"},
    {{".comment_begin \"{\"", "\t.comment_end\tx"},
     ";",
     "{",
     nullptr,
     " \t,",
     "\t.comment_end\tx\n"
     "\t            |\n"
     "\"t.rls\", line 2: Expected <string>\n"},
};

std::string text_or_none(const char* t) {
  return t ? std::string("\"") + t + "\"" : "none";
}

TEST_F(RulesFileTest, SettingsChangeOnlyTheVopSyntax) {
  for (const SettingCase& c : kSettingCases) {
    SetUp();
    SCOPED_TRACE(c.lines[0]);
    EXPECT_EQ(read(c.lines), c.printed);
    EXPECT_EQ(text_or_none(vop_syntax.comment_char), text_or_none(c.comment_char));
    EXPECT_EQ(text_or_none(vop_syntax.comment_begin), text_or_none(c.comment_begin));
    EXPECT_EQ(text_or_none(vop_syntax.comment_end), text_or_none(c.comment_end));
    EXPECT_EQ(text_or_none(vop_syntax.delim_chars), text_or_none(c.delim_chars));
    EXPECT_STREQ(rules_syntax.comment_char, ";");
    EXPECT_STREQ(rules_syntax.delim_chars, " \t,");
    EXPECT_EQ(rules_syntax.comment_begin, nullptr);
    EXPECT_STREQ(active_syntax.comment_char, ";");
    EXPECT_STREQ(active_syntax.delim_chars, " \t,");
  }
}

struct DebugLabelCase {
  std::vector<const char*> lines;
  const char* printed;
  const char* matching;      // label names the expression finds, "|"-separated
  const char* not_matching;  // null: no expression at all
};

const DebugLabelCase kDebugLabelCases[] = {
    {{}, "", "DBG|DBG1", "xDBG|DB"},
    {{".debug_labels \"^L[0-9]\";"}, "", "L1|L25x", "DBG|xL1"},
    {{".debug_labels"}, "", "", nullptr},
    {{".debug_labels ;"}, "", "", nullptr},
    {{".debug_labels \"\""}, "", "x|DBG|", ""},
    {{".debug_labels ,"}, "\"t.rls\", line 1: usage: .debug_labels \"regexp\";\n", "DBG1", "x"},
    {{".debug_labels x"}, "\"t.rls\", line 1: usage: .debug_labels \"regexp\";\n", "DBG", "x"},
    {{".debug_labels \"a\",\"b\""},
     "\"t.rls\", line 1: usage: .debug_labels \"regexp\";\n",
     "DBG",
     "a"},
    {{".debug_labels \"A\"", ".debug_labels \"B\""},
     "\"t.rls\", line 2: .debug_labels redeclared\n",
     "B|DBG",
     "A|DGG"},
    {{".debug_labels \"A\"", "", ".debug_labels x"},
     "\"t.rls\", line 3: .debug_labels redeclared\n"
     "\"t.rls\", line 3: usage: .debug_labels \"regexp\";\n",
     "A",
     "DBG"},
    {{".debug_labels", ".debug_labels \"B\""},
     "\"t.rls\", line 2: .debug_labels redeclared\n",
     "B",
     "DGG"},
};

std::vector<std::string> split(const char* list) {
  std::vector<std::string> out;
  std::string text(list);
  if (text.empty()) return out;
  size_t start = 0;
  for (size_t bar; (bar = text.find('|', start)) != std::string::npos; start = bar + 1)
    out.push_back(text.substr(start, bar - start));
  out.push_back(text.substr(start));
  return out;
}

TEST_F(RulesFileTest, DebugLabelsSetTheLabelExpression) {
  for (const DebugLabelCase& c : kDebugLabelCases) {
    SetUp();
    SCOPED_TRACE(c.lines.empty() ? "default" : c.lines.back());
    EXPECT_EQ(read(c.lines), c.printed);
    if (!c.not_matching) {
      EXPECT_EQ(rules.debug_label_re, nullptr);
      continue;
    }
    ASSERT_NE(rules.debug_label_re, nullptr);
    for (const std::string& name : split(c.matching))
      EXPECT_EQ(rx_search(rules.debug_label_re, name.c_str()), 1) << name;
    for (const std::string& name : split(c.not_matching))
      EXPECT_EQ(rx_search(rules.debug_label_re, name.c_str()), 0) << name;
  }
}

TEST_F(RulesFileTest, LexerCodesAndStatementLines) {
  std::vector<const char*> lines = {".replace",
                                    ".by",
                                    "",
                                    "  ; x",
                                    "   ",
                                    "\tmov r1, r2 ; c",
                                    ".comment_char #",
                                    ".delim_chars \",\"",
                                    ".comment_begin \"/*\"",
                                    ".comment_end \"*/\"",
                                    ".delete_asm_dirs",
                                    ".debug_labels \"x\"",
                                    ".pass",
                                    ".cstyle",
                                    ".Replace",
                                    ".replaced",
                                    "  .pass: x",
                                    nullptr};
  const int codes[] = {RL_REPLACE,
                       RL_BY,
                       RL_EMPTY,
                       RL_EMPTY,
                       RL_EMPTY,
                       RL_LINE,
                       RL_SETTING,
                       RL_SETTING,
                       RL_SETTING,
                       RL_SETTING,
                       RL_DELETE_ASM_DIRS,
                       RL_DEBUG_LABELS,
                       RL_PASS,
                       RL_CSTYLE,
                       RL_LINE,
                       RL_LINE,
                       RL_PASS,
                       RL_EOF,
                       RL_EOF};
  open_scanner_lines(lines.data(), "t.rls");
  init_rules_syntax();
  for (size_t i = 0; i < std::size(codes); i++) {
    SCOPED_TRACE(i < lines.size() - 1 ? lines[i] : "end");
    EXPECT_EQ(rules_lex(), codes[i]);
    EXPECT_EQ(src.stmt_line, static_cast<int>(std::min(i + 1, lines.size() - 1)));
    if (i == 5) {
      EXPECT_STREQ(lexed.lex_name, "mov");
      ASSERT_EQ(lexed.lex_nopnds, 2);
      EXPECT_STREQ(lexed.lex_opnds[0], "r1");
      EXPECT_EQ(lexed.lex_delims[0], ',');
      EXPECT_STREQ(lexed.lex_opnds[1], "r2");
    }
    if (i == 11) {
      EXPECT_STREQ(lexed.lex_name, ".debug_labels");
      ASSERT_EQ(lexed.lex_nopnds, 1);
      EXPECT_STREQ(lexed.lex_opnds[0], "\"x");
    }
  }
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(RulesFileTest, StoringOutsideARuleIsAnInternalError) {
  std::vector<const char*> lines = {"\tnop", nullptr};
  open_scanner_lines(lines.data(), "t.rls");
  init_rules_syntax();
  ASSERT_EQ(rules_lex(), RL_LINE);
  EXPECT_EQ(capture_stdout(store_rule),
            "\tnop\n"
            "\t  |\n"
            "\"t.rls\", line 1: Internal error - store_rule() - unexpected rule wanted\n");
  EXPECT_EQ(diag.fatal_count, 1);
  EXPECT_EQ(dump_rules(), "");
}

TEST_F(RulesFileTest, ListsEachFinishedRule) {
  opts.rules_debug_level = 1;
  EXPECT_EQ(read({".replace", "\t<a/(and.b)|and/> <b>,<c>", "\tcmp\t#0x0,<c>",
                  "\t<d/(jeq|jne)/> <e>", ".by", "\t<a> <b>,<c>", "\t<d> <e>", ".replace",
                  "\tmov <b>+2,0x10", ".by", "\tmov <b>+2,0x10", ".replace", "\tpush <B>", ".by"}),
            "REPL1: \t<a>\n"
            "\t\tOPND: <b>\n\n"
            "\t\tOPND: <c>\n\n"
            "REPL: \tSUB_N_SCAN\tcmp\n"
            "\t\tOPND: SUB_N_SCAN\t#0x0\n\n"
            "\t\tOPND: <c>\n\n"
            "REPL: \t<d>\n"
            "\t\tOPND: <e>\n\n"
            "\tBY: \t<a>\n"
            "\t\tOPND: <b>\n\n"
            "\t\tOPND: <c>\n\n"
            "\tBY: \t<d>\n"
            "\t\tOPND: <e>\n\n"
            "\"t.rls\", line 9: Unexpected characters found after '>' in operand <b>+2\n"
            "REPL1: \tSUB_N_SCAN\tmov\n"
            "\t\tOPND: <b>\nSUB_N_SCAN\t+2\n\n"
            "\t\tOPND: 16\n\n"
            "\tBY: \tSUB_N_SCAN\tmov\n"
            "\t\tOPND: <b>\nSUB_N_SCAN\t+2\n\n"
            "\t\tOPND: SUB_N_SCAN\t0x10\n\n"
            "\"t.rls\", line 13: Incorrect variable operand <B>\n");
}

TEST_F(RulesFileTest, CompareDroppingRulesReadCleanly) {
  opts.rules_debug_level = 1;
  EXPECT_EQ(
      read({".replace", "\t<x/dec|dec.b|decd|decd.b|inc|inc.b|incd|incd.b|inv|inv.b/> <b>",
            "\tcmp\t#0x0,<b>", "\t<d/(jeq|jne|jz|jnz|jn)/> <e>", ".by", "\t<x> <b>", "\t<d> <e>",
            "\t", ".replace", "\t<a/(and.b)|and|(xor.b)|xor/> <b>,<c>", "\tcmp\t#0x0,<c>",
            "\t<d/(jeq|jne|jz|jnz|jn)/> <e>", ".by", "\t<a> <b>,<c>", "\t<d> <e>"}),
      "REPL1: \t<x>\n"
      "\t\tOPND: <b>\n\n"
      "REPL: \tSUB_N_SCAN\tcmp\n"
      "\t\tOPND: SUB_N_SCAN\t#0x0\n\n"
      "\t\tOPND: <b>\n\n"
      "REPL: \t<d>\n"
      "\t\tOPND: <e>\n\n"
      "\tBY: \t<x>\n"
      "\t\tOPND: <b>\n\n"
      "\tBY: \t<d>\n"
      "\t\tOPND: <e>\n\n"
      "REPL1: \t<a>\n"
      "\t\tOPND: <b>\n\n"
      "\t\tOPND: <c>\n\n"
      "REPL: \tSUB_N_SCAN\tcmp\n"
      "\t\tOPND: SUB_N_SCAN\t#0x0\n\n"
      "\t\tOPND: <c>\n\n"
      "REPL: \t<d>\n"
      "\t\tOPND: <e>\n\n"
      "\tBY: \t<a>\n"
      "\t\tOPND: <b>\n\n"
      "\t\tOPND: <c>\n\n"
      "\tBY: \t<d>\n"
      "\t\tOPND: <e>\n\n");
  EXPECT_EQ(diag.fatal_count, 0);
  EXPECT_EQ(rules.max_repl_lines, 3);
  const st_entry* name = rules.pass_rules[0]->name_opnds;
  ASSERT_NE(name->regexp, nullptr);
  const char subject[] = "xor.b";
  EXPECT_EQ(rx_search(name->regexp, "inv.b"), 1);
  EXPECT_EQ(rx_search(name->regexp, subject), 0);
  const st_entry* second = rules.pass_rules[0]->next_rule->name_opnds;
  ASSERT_NE(second->regexp, nullptr);
  EXPECT_EQ(rx_search(second->regexp, subject), 1);
  EXPECT_EQ(second->regexp->group_start[0], subject);
}

TEST_F(RulesFileTest, ListsTheLastRuleAtEndOfInput) {
  opts.rules_debug_level = 1;
  EXPECT_EQ(read({".replace", "\t<a/mov|add/> <a>", ".by", "\t<a> <a>"}),
            "\"t.rls\", line 2: Variable operand <a/mov|add/> cannot contain a reg expr\n"
            "REPL1: \tSUB_N_SCAN\t<a/mov|add/>\n"
            "\t\tOPND: <a>\n\n"
            "\tBY: \t<a>\n"
            "\t\tOPND: <a>\n\n");
}

TEST_F(RulesFileTest, TracesEachRecordAtSecondDebugLevel) {
  opts.debug_level = 2;
  EXPECT_EQ(read({".replace", "\tmov <b>,r5", ".by", "\tnop", "\t..x"}),
            "st_sub_opnd of type 0\n"
            "st_opnd\n"
            "st_sub_opnd of type 1\n"
            "st_opnd\n"
            "st_repl1, name = mov\n"
            "st_rule, name = mov\n"
            "st_sub_opnd of type 1\n"
            "st_rule, name = nop\n"
            "st_sub_opnd of type 1\n"
            "st_rule, name = ..x\n");
}

TEST_F(RulesFileTest, ReadsFromAFile) {
  FILE* f = tmpfile();
  ASSERT_NE(f, nullptr);
  fputs("junk\n.replace\n\tnop\n.by\n\tx r5", f);
  rewind(f);
  open_scanner_file(f, "f.rls");
  init_rules_syntax();
  EXPECT_EQ(capture_stdout(read_rules),
            "\"f.rls\", line 1: Expected a .replace directive\n");
  EXPECT_EQ(dump_rules(), "0: S(nop) => S(x) [S(r5)]\n");
  fclose(f);
  scanner.src_file = nullptr;
}

}  // namespace
