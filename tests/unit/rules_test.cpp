#include <gtest/gtest.h>

#include <bitset>
#include <cstdio>
#include <string>
#include <vector>

#include "base/diag.h"
#include "lex/scanner.h"
#include "rules/listing.h"
#include "rules/operands.h"
#include "rules/rule_set.h"
#include "rules/rules_file.h"
#include "rx/rx.h"
#include "test_support.h"

namespace {

// Pieces as short texts: V(letter[,re]) variable, S(text), N(number).
std::string dump_pieces(const Pieces& pieces) {
  std::string out;
  for (const Piece& p : pieces) {
    if (!out.empty()) out += ' ';
    if (const auto* v = std::get_if<VarPiece>(&p))
      out += std::string("V(") + static_cast<char>('a' + v->var) + (v->regexp ? ",re)" : ")");
    else if (const auto* t = std::get_if<TextPiece>(&p))
      out += "S(" + std::string(t->text) + ")";
    else
      out += "N(" + std::to_string(std::get<NumPiece>(p).num) + ")";
  }
  return out;
}

// "name [operand]delimiter ..." for each line, joined by " ; ".
std::string dump_lines(const std::vector<RuleLine>& lines) {
  std::string out;
  for (const RuleLine& line : lines) {
    if (!out.empty()) out += " ; ";
    out += line.name_pieces.empty() ? line.name : dump_pieces(line.name_pieces);
    for (const OperandPattern& o : line.opnds) {
      out += " [" + dump_pieces(o.pieces) + "]";
      if (o.delim) out += static_cast<char>(o.delim);
    }
  }
  return out;
}

// One line per rule: "pass: pattern lines => replacement lines".
std::string dump_rules(const RuleSet& set) {
  std::string out;
  for (size_t pass = 0; pass < set.passes.size(); pass++) {
    for (const Rule& r : set.passes[pass]) {
      out += std::to_string(pass) + ": " + dump_lines(r.pattern) + " =>";
      if (!r.replacement.empty()) out += " " + dump_lines(r.replacement);
      out += "\n";
    }
  }
  return out;
}

// Located messages about `file`, line `line`, one per text.
std::string at(const char* file, int line, const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) out += "\"" + std::string(file) + "\", line " + std::to_string(line) + ": " + t + "\n";
  return out;
}

// `lines` read whole as the rules file "t.rls".
struct Reading {
  LineTable table;
  Scanner sc;
  RuleSet set;
  std::string printed;

  explicit Reading(const std::vector<std::string>& lines, RulesOptions o = {}, bool no_opt = false)
      : table(lines) {
    sc.open_lines(table.table(), "t.rls");
    init_rules_syntax(sc, set);
    set.no_optimization = no_opt;
    printed = capture_stdout([&] { RulesReader(sc, set, o).read_rules(); });
  }
};

// ---- Pieces of one text

class RulesOperandTest : public RunRecordTest {
 protected:
  void SetUp() override {
    RunRecordTest::SetUp();
    line_.cur_file_name = "t.rls";
    line_.stmt_line = 7;
    set_message_source(&line_);
  }

  // The pieces of `text`; the messages are left in printed_.
  std::string parse(RulePart part, std::bitset<kRuleVars>& occurred, const char* text) {
    std::string buf(text);
    Pieces pieces;
    printed_ = capture_stdout(
        [&] { pieces = OperandParser(set_, part, occurred, false).parse_opnd_text(buf.data()); });
    return dump_pieces(pieces);
  }

  SourceLine line_;
  RuleSet set_;
  std::string printed_;
};

constexpr RulePart P = RulePart::Pattern;
constexpr RulePart R = RulePart::Replacement;

struct ParseCase {
  RulePart part;
  const char* met;  // variables met before in the rule
  const char* text;
  const char* dump;
  std::vector<std::string> messages = {};
};

const ParseCase kParseCases[] = {
    // Literals, and numbers only as the first piece of a pattern text
    {P, "", "r5", "S(r5)"},
    {P, "", "", ""},
    {P, "", "0x10", "N(16)"},
    {R, "", "0x10", "S(0x10)"},
    {P, "", "#0x0", "S(#0x0)"},
    {P, "", "017", "N(15)"},
    {P, "", "'a'", "N(97)"},
    {P, "", "0xffffffff", "N(-1)"},
    {P, "", "-1", "S(-1)"},
    {P, "", "12(r4)", "S(12(r4))"},
    {P, "b", "<b>10", "V(b) S(10)"},
    {P, "", "&x<b>", "S(&x) V(b)"},
    // Plain variables
    {P, "", "<b>", "V(b)"},
    {R, "b", "<b>", "V(b)"},
    {P, "", "<b>+2", "V(b) S(+2)", {"Unexpected characters found after '>' in operand <b>+2"}},
    {P, "b", "<b>+2", "V(b) S(+2)"},
    {P, "b", "<b><c>", "V(b) V(c)"},
    {P, "", "<b><c>", "V(b) V(c)", {"Unexpected characters found after '>' in operand <b><c>"}},
    {R, "", "<z>", "S(<z>)", {"<z> not defined in .replace part of rule"}},
    {R, "", "<z>x", "S(<z>) S(x)",
     {"Unexpected characters found after '>' in operand <z>x", "<z>x not defined in .replace part of rule"}},
    // Variables with an expression
    {P, "", "<d/jeq|jne/>", "V(d,re)"},
    {P, "", "<d/jeq/>+2", "V(d,re) S(+2)"},
    {P, "d", "<d/jeq/>", "S(<d/jeq/>)", {"Variable operand <d/jeq/> cannot contain a reg expr"}},
    {R, "d", "<d/jeq/>", "S(<d/jeq/>)", {"Regular exprs not allowed in .by part of rule"}},
    {R, "", "x<d/jeq", "S(x) S(<d/jeq)", {"Regular exprs not allowed in .by part of rule"}},
    {P, "", "<d/jeq", "S(<d/jeq)", {"Missing trailing '/' for variable operand <d/jeq"}},
    {P, "", "<d/jeq/x", "S(<d/jeq/x)", {"Missing trailing '>' for variable operand <d/jeq/x"}},
    {P, "", "<d/jeq/", "S(<d/jeq/)", {"Missing trailing '>' for variable operand <d/jeq/"}},
    // Variables written wrongly
    {P, "", "<B>", "S(<B>)", {"Incorrect variable operand <B>"}},
    {P, "", "x<B>,<c>", "S(x) S(<B>,<c>)", {"Incorrect variable operand <B>,<c>"}},
    {R, "", "<ab>", "S(<ab>)", {"Incorrect variable operand <ab>"}},
    {P, "", "<", "S(<)", {"Incorrect variable operand <"}},
    {P, "", "<b", "S(<b)", {"Incorrect variable operand <b"}},
    // Quoted texts: the quote is dropped only where texts are matched
    {P, "", "\"ab", "S(ab)"},
    {R, "", "\"ab", "S(\"ab)"},
    {P, "", "\"12", "S(12)"},
    {P, "", "\"a<c>", "S(a) V(c)"},
    {R, "c", "\"a<c>", "S(\"a) V(c)"},
    {P, "", "\"", "S()"},
    {R, "", "\"", "S(\")"},
};

TEST_F(RulesOperandTest, CutsTextsIntoPieces) {
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(std::string(c.part == P ? "pattern " : "replacement ") + c.text);
    run.fatal_count = 0;
    std::bitset<kRuleVars> occurred;
    for (const char* v = c.met; *v; v++) occurred[*v - 'a'] = true;
    EXPECT_EQ(parse(c.part, occurred, c.text), c.dump);
    EXPECT_EQ(printed_, at("t.rls", 7, c.messages));
    EXPECT_EQ(run.fatal_count, static_cast<int>(c.messages.size()));
  }
}

TEST_F(RulesOperandTest, OnlyStoredVariablesCountAsMet) {
  std::bitset<kRuleVars> occurred;
  for (const char* text : {"<B>", "<d/jeq", "<f/x/y"}) parse(P, occurred, text);
  parse(R, occurred, "<e>");
  EXPECT_TRUE(occurred.none()) << occurred;
  parse(P, occurred, "<b>x");
  parse(P, occurred, "y<d/jeq/>");
  EXPECT_EQ(occurred, std::bitset<kRuleVars>(0b1010));
}

// An expression has no anchors: '$' and '^' stand for themselves, except a
// '^' opening a negated class, and what is escaped already.
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

TEST_F(RulesOperandTest, ExpressionsAreEscapedBeforeCompiling) {
  for (const EscapeCase& c : kEscapeCases) {
    SCOPED_TRACE(std::string(c.opnd) + " on " + c.subject);
    std::bitset<kRuleVars> occurred;
    std::string buf(c.opnd);
    Pieces pieces = OperandParser(set_, P, occurred, false).parse_opnd_text(buf.data());
    ASSERT_EQ(pieces.size(), 1u);
    rx_program* re = std::get<VarPiece>(pieces[0]).regexp;
    ASSERT_NE(re, nullptr);
    int found = rx_search(re, c.subject);
    EXPECT_EQ(found, c.start >= 0 ? 1 : 0);
    if (found && c.start >= 0) {
      EXPECT_EQ(re->group_start[0] - c.subject, c.start);
      EXPECT_EQ(re->group_end[0] - c.subject, c.end);
    }
  }
}

TEST_F(RulesOperandTest, EqualTextsShareOneCopy) {
  std::bitset<kRuleVars> occurred;
  std::string a("r5"), b("r5");
  Pieces x = OperandParser(set_, P, occurred, false).parse_opnd_text(a.data());
  Pieces y = OperandParser(set_, R, occurred, false).parse_opnd_text(b.data());
  a = b = "xx";
  EXPECT_EQ(std::get<TextPiece>(x[0]).text.data(), std::get<TextPiece>(y[0]).text.data());
  EXPECT_EQ(std::get<TextPiece>(x[0]).text, "r5");
}

TEST_F(RulesOperandTest, BadExpressionEndsTheRun) {
  std::bitset<kRuleVars> occurred;
  EXPECT_EXIT_PRINTS(
      {
        std::string buf("<a/(x/>");
        OperandParser(set_, P, occurred, false).parse_opnd_text(buf.data());
      },
      255, "\n|\n\"t.rls\", line 7: FATAL error in regexp: unmatched ()\n");
}

// ---- Reading a rules file

class RulesReaderTest : public RunRecordTest {};

struct ReadCase {
  const char* title;
  std::vector<std::string> lines;
  int listing;  // +zr count
  std::string printed;
  const char* rules;
  bool no_optimization = false;
};

const ReadCase kReadCases[] = {
    // Parser states and their messages
    {"line before .replace", {"; rules", "\tmov r1,r2", ".replace", "\tnop", ".by"}, 0,
     at("t.rls", 2, {"Expected a .replace directive"}), "0: S(nop) =>\n"},
    {".replace after .replace", {".replace", ".replace", "\tnop", ".by", "\tx"}, 0,
     at("t.rls", 2, {"Unexpected .replace directive - ignored"}), "0: S(nop) => S(x)\n"},
    {".replace among pattern lines", {".replace", "\tnop", ".replace", "\tnop2", ".by"}, 0,
     at("t.rls", 3, {"Unexpected .replace directive - ignored"}), "0: S(nop) ; S(nop2) =>\n"},
    {".by before any rule", {".by", ".replace", "\ta", ".by", "\tb"}, 0,
     at("t.rls", 1, {"Unexpected .by directive - ignored"}), "0: S(a) => S(b)\n"},
    {".by right after .replace", {".replace", ".by", "\tnop", ".by", "\tx"}, 0,
     at("t.rls", 2, {"Unexpected .by directive - ignored"}), "0: S(nop) => S(x)\n"},
    {"second .by after replacement lines", {".replace", "\tnop", ".by", "\ta", ".by", "\tb"}, 0,
     at("t.rls", 5, {"Unexpected .by directive - ignored"}), "0: S(nop) => S(a) ; S(b)\n"},
    {"second .by in an empty .by part", {".replace", "\tnop", ".by", ".by", "\tb"}, 0,
     at("t.rls", 4, {"Unexpected .by directive - ignored"}), "0: S(nop) => S(b)\n"},
    {"end of input after .replace", {"; x", ".replace"}, 0,
     at("t.rls", 2, {"EOF detected before rule was completed"}), ""},
    {"end of input among pattern lines", {".replace", "\tnop", ""}, 0,
     at("t.rls", 3, {"EOF detected before rule was completed"}), "0: S(nop) =>\n"},
    {".pass among pattern lines", {".replace", "\tnop", ".pass", ".replace", "\ta", ".by"}, 0,
     at("t.rls", 3, {".pass detected before rule was completed"}), "0: S(nop) =>\n1: S(a) =>\n"},
    {".pass right after .replace", {".replace", ".pass"}, 0,
     at("t.rls", 2, {".pass detected before rule was completed"}), "", true},
    // No rules: told only under +zr
    {"settings only, listing on", {"; only comments", "", ".comment_char \"#\""}, 1,
     at("t.rls", 3, {"Warning: No rules specified"}), "", true},
    {"empty input, listing on", {}, 2, at("t.rls", 0, {"Warning: No rules specified"}), "", true},
    {"no rules, listing off", {".cstyle"}, 0, "", "", true},
    {"final .pass keeps the rules before it", {".replace", "\tnop", ".by", "\tx", ".pass"}, 0, "",
     "0: S(nop) => S(x)\n"},
    // Rule shapes
    {"empty .by part, not listed", {".replace", "\tpush r5", "\tpop r5", ".by"}, 1, "",
     "0: S(push) [S(r5)] ; S(pop) [S(r5)] =>\n"},
    {"text after .replace and .by is ignored", {".replace this", "\tnop", ".by\tand this", "\tx"},
     0, "", "0: S(nop) => S(x)\n"},
    {"blank and comment lines are counted", {"", "   ", "; c", "\t; c2", "\tnop"}, 0,
     at("t.rls", 5, {"Expected a .replace directive"}), "", true},
    {"a name beginning with two dots", {".replace", "\t..x r5", ".by", "\t..y"}, 0, "",
     "0: ..x [S(r5)] => ..y\n"},
    {"operands and their delimiters", {".replace", "\tmov\t<b> , <c> ; comment", ".by", "\tmov <c>,<b>"},
     0, "", "0: S(mov) [V(b)]  [], [V(c)]  => S(mov) [V(c)], [V(b)]\n"},
    {"numbers only in the pattern part", {".replace", "\tmov 0x10,#0x0", ".by", "\tmov 0x10,#0x0"}, 0,
     "", "0: S(mov) [N(16)], [S(#0x0)] => S(mov) [S(0x10)], [S(#0x0)]\n"},
    {"quoted operands", {".replace", "\t.ascii \"ab<c>\"", ".by", "\t.ascii \"x<c>\""}, 0, "",
     "0: S(.ascii) [S(ab) V(c)] => S(.ascii) [S(\"x) V(c)]\n"},
    {"pattern variables are defined in the .by part",
     {".replace", "\t<a/jeq|jne/> <b>", "\tjmp <c>", ".by", "\t<a> <c>", "\t<b>"}, 0, "",
     "0: V(a,re) [V(b)] ; S(jmp) [V(c)] => V(a) [V(c)] ; V(b)\n"},
    {"variables are cleared for each rule",
     {".replace", "\tpush <b>", ".by", ".replace", "\tpop r5", ".by", "\tpush <b>"}, 0,
     at("t.rls", 7, {"<b> not defined in .replace part of rule"}),
     "0: S(push) [V(b)] =>\n0: S(pop) [S(r5)] => S(push) [S(<b>)]\n"},
    {"the operands of a line are parsed before its name", {".replace", "\t<a/mov|add/> <a>", ".by"}, 0,
     at("t.rls", 2, {"Variable operand <a/mov|add/> cannot contain a reg expr"}),
     "0: S(<a/mov|add/>) [V(a)] =>\n"},
    {"expression in the .by part", {".replace", "\tnop", ".by", "\t<a/x/>"}, 0,
     at("t.rls", 4, {"Regular exprs not allowed in .by part of rule"}), "0: S(nop) => S(<a/x/>)\n"},
};

TEST_F(RulesReaderTest, ReadsRulesAndReportsEachProblem) {
  for (const ReadCase& c : kReadCases) {
    SCOPED_TRACE(c.title);
    reset_run_record();
    Reading r(c.lines, {c.listing, 0});
    EXPECT_EQ(r.printed, c.printed);
    EXPECT_EQ(dump_rules(r.set), c.rules);
    EXPECT_EQ(r.set.no_optimization, c.no_optimization);
  }
}

TEST_F(RulesReaderTest, PassesKeepFileOrderAndEmptyPassesStay) {
  Reading r({".pass", ".replace", "\ta", ".by", "\tb", ".replace", "\tc", ".by", ".pass", ".pass",
             ".replace", "\td", ".by", "\te", ".pass"});
  EXPECT_EQ(r.printed, "");
  EXPECT_EQ(r.set.pass_count, 4);
  ASSERT_EQ(r.set.passes.size(), 5u);
  EXPECT_EQ(dump_rules(r.set), "1: S(a) => S(b)\n1: S(c) =>\n3: S(d) => S(e)\n");
  EXPECT_EQ(r.set.rules_stored, 3);
  EXPECT_FALSE(r.set.no_optimization);
}

TEST_F(RulesReaderTest, MaxReplLinesIsTheLongestPatternPart) {
  EXPECT_EQ(Reading({".replace", "\ta", ".by"}).set.max_repl_lines, 1);
  EXPECT_EQ(Reading({".replace", "\ta", "\tb", "\tc", ".by", ".pass", ".replace", "\ta", "\tb", ".by",
                     "\tx", "\ty", "\tz", "\tw"})
                .set.max_repl_lines,
            3);
}

TEST_F(RulesReaderTest, NoOptimizationReadsNothingAndErrorsAreCounted) {
  Reading skipped({"junk", ".replace"}, {}, true);
  EXPECT_EQ(skipped.printed, "");
  EXPECT_EQ(skipped.sc.line_no(), 0);
  EXPECT_EQ(dump_rules(skipped.set), "");
  EXPECT_EQ(run.fatal_count, 0);
  Reading bad({".by", "x", ".replace", ".replace"});
  EXPECT_EQ(run.fatal_count, 4);
  EXPECT_EQ(run.warning_count, 0);
}

struct FlagCase {
  std::vector<std::string> lines;
  bool delete_asm_dirs, cstyle;
};

// .delete_asm_dirs holds only for the pass it is given in; .cstyle for all.
const FlagCase kFlagCases[] = {
    {{}, false, false},
    {{".delete_asm_dirs"}, true, false},
    {{".delete_asm_dirs", ".pass"}, false, false},
    {{".pass", ".delete_asm_dirs"}, true, false},
    {{".delete_asm_dirs", ".pass", ".replace", "\ta", ".by", ".delete_asm_dirs"}, true, false},
    {{".cstyle", ".pass"}, false, true},
    {{".replace", "\ta", ".cstyle", ".by"}, false, true},
};

TEST_F(RulesReaderTest, DeleteAsmDirsAndCstyle) {
  for (const FlagCase& c : kFlagCases) {
    SCOPED_TRACE(c.lines.empty() ? "empty" : c.lines[0]);
    Reading r(c.lines);
    EXPECT_EQ(r.printed, "");
    EXPECT_EQ(r.set.delete_asm_dirs, c.delete_asm_dirs);
    EXPECT_EQ(r.set.cstyle, c.cstyle);
  }
}

struct SettingCase {
  std::vector<std::string> lines;
  const char* comment_char;
  const char* comment_begin;  // null: none
  const char* comment_end;
  const char* delim_chars;
  std::string printed = "";
};

const SettingCase kSettingCases[] = {
    {{".comment_char \"#\""}, "#", nullptr, nullptr, " \t,"},
    {{".comment_char #"}, "#", nullptr, nullptr, " \t,"},
    {{".comment_char   \"//\" ; x"}, "//", nullptr, nullptr, " \t,"},
    {{".comment_char \"a\" \"b\""}, "ab", nullptr, nullptr, " \t,"},
    {{".comment_char \"\""}, "", nullptr, nullptr, " \t,"},
    {{".comment_char #", "; .by", "# .by"}, "#", nullptr, nullptr, " \t,",
     at("t.rls", 3, {"Expected a .replace directive"})},
    {{".delim_chars \",\""}, ";", nullptr, nullptr, ","},
    {{".delim_chars \" \\t\""}, ";", nullptr, nullptr, " \t"},
    {{".delim_chars \"a\"", ".delim_chars \"b\""}, ";", nullptr, nullptr, "b"},
    {{".comment_begin \"/*\"", ".comment_end \"*/\""}, ";", "/*", "*/", " \t,"},
    {{".delim_chars ,"}, ";", nullptr, nullptr, " \t,",
     ".delim_chars ,\n            |\n" + at("t.rls", 1, {"Expected <string>"})},
    {{".comment_begin"}, ";", nullptr, nullptr, " \t,",
     ".comment_begin\n             |\n" + at("t.rls", 1, {"Expected <string>"})},
    {{".comment_begin \"{\"", "\t.comment_end\tx"}, ";", "{", nullptr, " \t,",
     "\t.comment_end\tx\n\t            |\n" + at("t.rls", 2, {"Expected <string>"})},
};

std::string text_or_none(const char* t) { return t ? std::string("\"") + t + "\"" : "none"; }

TEST_F(RulesReaderTest, SettingsChangeOnlyTheVopSyntax) {
  for (const SettingCase& c : kSettingCases) {
    SCOPED_TRACE(c.lines[0]);
    Reading r(c.lines);
    EXPECT_EQ(r.printed, c.printed);
    const SyntaxSet& vop = r.set.vop_syntax;
    EXPECT_EQ(text_or_none(vop.comment_char), text_or_none(c.comment_char));
    EXPECT_EQ(text_or_none(vop.comment_begin), text_or_none(c.comment_begin));
    EXPECT_EQ(text_or_none(vop.comment_end), text_or_none(c.comment_end));
    EXPECT_EQ(text_or_none(vop.delim_chars), text_or_none(c.delim_chars));
    EXPECT_STREQ(r.sc.syntax().comment_char, ";");
    EXPECT_STREQ(r.sc.syntax().delim_chars, " \t,");
    EXPECT_EQ(r.sc.syntax().comment_begin, nullptr);
  }
}

struct DebugLabelCase {
  std::vector<std::string> lines;
  std::string printed;
  std::vector<const char*> matching;  // label names the expression finds
  std::vector<const char*> not_matching;
  bool none = false;  // no expression at all
};

const std::string kUsage = "usage: .debug_labels \"regexp\";";

const DebugLabelCase kDebugLabelCases[] = {
    {{}, "", {"DBG", "DBG1"}, {"xDBG", "DB"}},
    {{".debug_labels \"^L[0-9]\";"}, "", {"L1", "L25x"}, {"DBG", "xL1"}},
    {{".debug_labels"}, "", {}, {}, true},
    {{".debug_labels ;"}, "", {}, {}, true},
    {{".debug_labels \"\""}, "", {"x", "DBG", ""}, {}},
    {{".debug_labels ,"}, at("t.rls", 1, {kUsage}), {"DBG1"}, {"x"}},
    {{".debug_labels x"}, at("t.rls", 1, {kUsage}), {"DBG"}, {"x"}},
    {{".debug_labels \"a\",\"b\""}, at("t.rls", 1, {kUsage}), {"DBG"}, {"a"}},
    {{".debug_labels \"A\"", ".debug_labels \"B\""}, at("t.rls", 2, {".debug_labels redeclared"}),
     {"B", "DBG"}, {"A", "DGG"}},
    {{".debug_labels \"A\"", "", ".debug_labels x"},
     at("t.rls", 3, {".debug_labels redeclared", kUsage}), {"A"}, {"DBG"}},
    {{".debug_labels", ".debug_labels \"B\""}, at("t.rls", 2, {".debug_labels redeclared"}), {"B"},
     {"DGG"}},
};

TEST_F(RulesReaderTest, DebugLabelsSetTheLabelExpression) {
  for (const DebugLabelCase& c : kDebugLabelCases) {
    SCOPED_TRACE(c.lines.empty() ? "default" : c.lines.back());
    Reading r(c.lines);
    EXPECT_EQ(r.printed, c.printed);
    EXPECT_EQ(r.set.debug_labels_declared, !c.lines.empty());
    if (c.none) {
      EXPECT_EQ(r.set.debug_label_re, nullptr);
      continue;
    }
    ASSERT_NE(r.set.debug_label_re, nullptr);
    for (const char* name : c.matching) EXPECT_EQ(rx_search(r.set.debug_label_re, name), 1) << name;
    for (const char* name : c.not_matching) EXPECT_EQ(rx_search(r.set.debug_label_re, name), 0) << name;
  }
}

TEST_F(RulesReaderTest, LexesEachStatementKind) {
  using L = RulesLine;
  const std::vector<std::pair<std::string, RulesLine>> cases = {
      {".replace", L::Replace},        {".by", L::By},
      {"", L::Empty},                  {"  ; x", L::Empty},
      {"   ", L::Empty},               {"\tmov r1, r2 ; c", L::Line},
      {".comment_char #", L::Setting}, {".delim_chars \",\"", L::Setting},
      {".comment_begin \"/*\"", L::Setting}, {".comment_end \"*/\"", L::Setting},
      {".delete_asm_dirs", L::DeleteAsmDirs}, {".debug_labels \"x\"", L::DebugLabels},
      {".pass", L::Pass},              {".cstyle", L::Cstyle},
      {".Replace", L::Line},           {".replaced", L::Line},
      {"  .pass: x", L::Pass},
  };
  std::vector<std::string> lines;
  for (const auto& c : cases) lines.push_back(c.first);
  LineTable table(lines);
  Scanner sc;
  RuleSet set;
  sc.open_lines(table.table(), "t.rls");
  init_rules_syntax(sc, set);
  RulesOptions o;
  RulesReader reader(sc, set, o);
  for (size_t i = 0; i <= cases.size(); i++) {
    SCOPED_TRACE(i < cases.size() ? cases[i].first : "end");
    EXPECT_EQ(reader.rules_lex(), i < cases.size() ? cases[i].second : L::Eof);
    EXPECT_EQ(sc.source().stmt_line, static_cast<int>(std::min(i + 1, cases.size())));
    if (i == 5) {
      EXPECT_STREQ(sc.lexed.lex_name, "mov");
      ASSERT_EQ(sc.lexed.lex_nopnds, 2);
      EXPECT_STREQ(sc.lexed.opnd_c_str(0), "r1");
      EXPECT_EQ(sc.lexed.lex_delims[0], ',');
      EXPECT_STREQ(sc.lexed.opnd_c_str(1), "r2");
    }
  }
  EXPECT_EQ(reader.rules_lex(), L::Eof);
  EXPECT_EQ(run.fatal_count, 0);
}

TEST_F(RulesReaderTest, ReadsFromAFile) {
  FILE* f = tmpfile();
  ASSERT_NE(f, nullptr);
  fputs("junk\n.replace\n\tnop\n.by\n\tx r5", f);
  rewind(f);
  Scanner sc;
  RuleSet set;
  sc.open_file(f, "f.rls");
  init_rules_syntax(sc, set);
  RulesOptions o;
  EXPECT_EQ(capture_stdout([&] { RulesReader(sc, set, o).read_rules(); }),
            at("f.rls", 1, {"Expected a .replace directive"}));
  EXPECT_EQ(dump_rules(set), "0: S(nop) => S(x) [S(r5)]\n");
  fclose(f);
}

// ---- The +zr listing and the +z +z traces

TEST_F(RulesReaderTest, ListsEachRuleWhenFinished) {
  Reading r({".replace", "\t<a/(and.b)|and/> <b>,<c>", "\tcmp\t#0x0,<c>", "\tjne 0x10,$+4<z>", ".by",
             "\t<a> <b>,<c>", "\tnop", ".replace", "\tmov <b>+2,0x10", ".by", "\tmov <b>+2,0x10",
             ".replace", "\t<a/mov|add/> <a>", ".by", "\t<a> <a>"},
            {1, 0});
  EXPECT_EQ(r.printed,
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
            "\tBY: \tSUB_N_SCAN\tnop\n" +
                at("t.rls", 9, {"Unexpected characters found after '>' in operand <b>+2"}) +
                "REPL1: \tSUB_N_SCAN\tmov\n"
                "\t\tOPND: <b>\nSUB_N_SCAN\t+2\n\n"
                "\t\tOPND: 16\n\n"
                "\tBY: \tSUB_N_SCAN\tmov\n"
                "\t\tOPND: <b>\nSUB_N_SCAN\t+2\n\n"
                "\t\tOPND: SUB_N_SCAN\t0x10\n\n" +
                at("t.rls", 13, {"Variable operand <a/mov|add/> cannot contain a reg expr"}) +
                "REPL1: \tSUB_N_SCAN\t<a/mov|add/>\n"
                "\t\tOPND: <a>\n\n"
                "\tBY: \t<a>\n"
                "\t\tOPND: <a>\n\n");
}

// One pattern line each, and a replacement line that lists as nothing.
TEST_F(RulesReaderTest, ListsLinesOfEveryShape) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\t..x r5", "REPL1: \t\t\tOPND: SUB_N_SCAN\tr5\n\n"},
      {"\t..x", "REPL1: \t"},
      {"\tret", "REPL1: \tSUB_N_SCAN\tret\n"},
      {"\t0 0xffffffff,'a'", "REPL1: \t0\n\t\tOPND: -1\n\n\t\tOPND: 97\n\n"},
      {"\tmov<y> <x>", "REPL1: \tSUB_N_SCAN\tmov\n<y>\n\t\tOPND: <x>\n\n"},
      {"\t.ascii \"a b\"", "REPL1: \tSUB_N_SCAN\t.ascii\n\t\tOPND: SUB_N_SCAN\ta b\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    EXPECT_EQ(Reading({".replace", c.first, ".by", "\t..b"}, {1, 0}).printed, c.second + "\tBY: \t");
  }
  EXPECT_EQ(Reading({".replace", "\t..r", ".by", "\t..b x"}, {1, 0}).printed,
            "REPL1: \t\tBY: \t\t\tOPND: SUB_N_SCAN\tx\n\n");
}

TEST_F(RulesReaderTest, TracesEachRecordAtSecondDebugLevel) {
  const std::vector<std::string> lines = {".replace", "\tmov <b>,r5", ".by", "\tnop", "\t..x"};
  EXPECT_EQ(Reading(lines, {0, 1}).printed, "");
  EXPECT_EQ(Reading(lines, {0, 2}).printed,
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

}  // namespace
