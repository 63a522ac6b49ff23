#include <gtest/gtest.h>

#include <bitset>
#include <cstdio>
#include <string>
#include <vector>

#include "base/diag.h"
#include "driver/rules_source.h"
#include "lex/scanner.h"
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

// Located messages about `file`, line `line`, one for each line of `texts`.
std::string at(const char* file, int line, const std::string& texts) {
  std::string out;
  for (const std::string& t : split_lines(texts))
    out += "\"" + std::string(file) + "\", line " + std::to_string(line) + ": " + t + "\n";
  return out;
}

// The lines of `text` read whole as the rules file "t.rls".
struct Reading {
  LineTable table;
  Scanner sc;
  RuleSet set;
  std::string printed;

  explicit Reading(const std::string& text, RulesOptions o = {}, bool no_opt = false)
      : table(split_lines(text)) {
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
  const char* messages = "";  // one a line
};

const ParseCase kParseCases[] = {
    // Literals, and numbers only as the first piece of a pattern text
    {P, "", "r5", "S(r5)"},
    {P, "", "", ""},
    {P, "", "0x10", "N(16)"},
    {R, "", "0x10", "S(0x10)"},
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
    {P, "", "<b>+2", "V(b) S(+2)", "Unexpected characters found after '>' in operand <b>+2"},
    {P, "b", "<b>+2", "V(b) S(+2)"},
    {P, "b", "<b><c>", "V(b) V(c)"},
    {P, "", "<b><c>", "V(b) V(c)", "Unexpected characters found after '>' in operand <b><c>"},
    {R, "", "<z>", "S(<z>)", "<z> not defined in .replace part of rule"},
    {R, "", "<z>x", "S(<z>) S(x)",
     "Unexpected characters found after '>' in operand <z>x\n"
     "<z>x not defined in .replace part of rule"},
    // Variables with an expression
    {P, "", "<d/jeq|jne/>", "V(d,re)"},
    {P, "", "<d/jeq/>+2", "V(d,re) S(+2)"},
    {P, "d", "<d/jeq/>", "S(<d/jeq/>)", "Variable operand <d/jeq/> cannot contain a reg expr"},
    {R, "d", "<d/jeq/>", "S(<d/jeq/>)", "Regular exprs not allowed in .by part of rule"},
    {R, "", "x<d/jeq", "S(x) S(<d/jeq)", "Regular exprs not allowed in .by part of rule"},
    {P, "", "<d/jeq", "S(<d/jeq)", "Missing trailing '/' for variable operand <d/jeq"},
    {P, "", "<d/jeq/x", "S(<d/jeq/x)", "Missing trailing '>' for variable operand <d/jeq/x"},
    {P, "", "<d/jeq/", "S(<d/jeq/)", "Missing trailing '>' for variable operand <d/jeq/"},
    // Variables written wrongly
    {P, "", "<B>", "S(<B>)", "Incorrect variable operand <B>"},
    {P, "", "x<B>,<c>", "S(x) S(<B>,<c>)", "Incorrect variable operand <B>,<c>"},
    {R, "", "<ab>", "S(<ab>)", "Incorrect variable operand <ab>"},
    {P, "", "<", "S(<)", "Incorrect variable operand <"},
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
    EXPECT_EQ(run.fatal_count, static_cast<int>(split_lines(c.messages).size()));
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
  const char* lines;
  int listing;  // +zr count
  int line;     // of the messages
  const char* messages;
  const char* rules;
  bool no_optimization = false;
};

const ReadCase kReadCases[] = {
    // Parser states and their messages
    {"line before .replace", "; rules\n\tmov r1,r2\n.replace\n\tnop\n.by", 0, 2,
     "Expected a .replace directive", "0: S(nop) =>\n"},
    {".replace after .replace", ".replace\n.replace\n\tnop\n.by\n\tx", 0, 2,
     "Unexpected .replace directive - ignored", "0: S(nop) => S(x)\n"},
    {".replace among pattern lines", ".replace\n\tnop\n.replace\n\tnop2\n.by", 0, 3,
     "Unexpected .replace directive - ignored", "0: S(nop) ; S(nop2) =>\n"},
    {".by before any rule", ".by\n.replace\n\ta\n.by\n\tb", 0, 1,
     "Unexpected .by directive - ignored", "0: S(a) => S(b)\n"},
    {".by right after .replace", ".replace\n.by\n\tnop\n.by\n\tx", 0, 2,
     "Unexpected .by directive - ignored", "0: S(nop) => S(x)\n"},
    {"second .by after replacement lines", ".replace\n\tnop\n.by\n\ta\n.by\n\tb", 0, 5,
     "Unexpected .by directive - ignored", "0: S(nop) => S(a) ; S(b)\n"},
    {"second .by in an empty .by part", ".replace\n\tnop\n.by\n.by\n\tb", 0, 4,
     "Unexpected .by directive - ignored", "0: S(nop) => S(b)\n"},
    {"end of input after .replace", "; x\n.replace", 0, 2, "EOF detected before rule was completed",
     ""},
    {"end of input among pattern lines", ".replace\n\tnop\n\n", 0, 3,
     "EOF detected before rule was completed", "0: S(nop) =>\n"},
    {".pass among pattern lines", ".replace\n\tnop\n.pass\n.replace\n\ta\n.by", 0, 3,
     ".pass detected before rule was completed", "0: S(nop) =>\n1: S(a) =>\n"},
    {".pass right after .replace", ".replace\n.pass", 0, 2,
     ".pass detected before rule was completed", "", true},
    {"errors go on to the end", ".replace\n.replace", 0, 2,
     "Unexpected .replace directive - ignored\nEOF detected before rule was completed", ""},
    // No rules: told only under +zr
    {"settings only, listing on", "; only comments\n\n.comment_char \"#\"", 1, 3,
     "Warning: No rules specified", "", true},
    {"empty input, listing on", "", 2, 0, "Warning: No rules specified", "", true},
    {"no rules, listing off", ".cstyle", 0, 0, "", "", true},
    {"final .pass keeps the rules before it", ".replace\n\tnop\n.by\n\tx\n.pass", 0, 0, "",
     "0: S(nop) => S(x)\n"},
    // Rule shapes
    {"empty .by part, not listed", ".replace\n\tpush r5\n\tpop r5\n.by", 1, 0, "",
     "0: S(push) [S(r5)] ; S(pop) [S(r5)] =>\n"},
    {"text after .replace and .by is ignored", ".replace this\n\tnop\n.by\tand this\n\tx", 0, 0, "",
     "0: S(nop) => S(x)\n"},
    {"blank and comment lines are counted", "\n   \n; c\n\t; c2\n\tnop", 0, 5,
     "Expected a .replace directive", "", true},
    {"a name beginning with two dots", ".replace\n\t..x r5\n.by\n\t..y", 0, 0, "",
     "0: ..x [S(r5)] => ..y\n"},
    {"operands and their delimiters", ".replace\n\tmov\t<b> , <c> ; comment\n.by\n\tmov <c>,<b>", 0,
     0, "", "0: S(mov) [V(b)]  [], [V(c)]  => S(mov) [V(c)], [V(b)]\n"},
    {"numbers only in the pattern part", ".replace\n\tmov 0x10,#0x0\n.by\n\tmov 0x10,#0x0", 0, 0,
     "", "0: S(mov) [N(16)], [S(#0x0)] => S(mov) [S(0x10)], [S(#0x0)]\n"},
    {"quoted operands", ".replace\n\t.ascii \"ab<c>\"\n.by\n\t.ascii \"x<c>\"", 0, 0, "",
     "0: S(.ascii) [S(ab) V(c)] => S(.ascii) [S(\"x) V(c)]\n"},
    {"pattern variables are defined in the .by part",
     ".replace\n\t<a/jeq|jne/> <b>\n\tjmp <c>\n.by\n\t<a> <c>\n\t<b>", 0, 0, "",
     "0: V(a,re) [V(b)] ; S(jmp) [V(c)] => V(a) [V(c)] ; V(b)\n"},
    {"variables are cleared for each rule",
     ".replace\n\tpush <b>\n.by\n.replace\n\tpop r5\n.by\n\tpush <b>", 0, 7,
     "<b> not defined in .replace part of rule",
     "0: S(push) [V(b)] =>\n0: S(pop) [S(r5)] => S(push) [S(<b>)]\n"},
    {"the operands of a line are parsed before its name", ".replace\n\t<a/mov|add/> <a>\n.by", 0, 2,
     "Variable operand <a/mov|add/> cannot contain a reg expr", "0: S(<a/mov|add/>) [V(a)] =>\n"},
    {"expression in the .by part", ".replace\n\tnop\n.by\n\t<a/x/>", 0, 4,
     "Regular exprs not allowed in .by part of rule", "0: S(nop) => S(<a/x/>)\n"},
};

TEST_F(RulesReaderTest, ReadsRulesAndReportsEachProblem) {
  for (const ReadCase& c : kReadCases) {
    SCOPED_TRACE(c.title);
    reset_run_record();
    Reading r(c.lines, {c.listing, 0});
    EXPECT_EQ(r.printed, at("t.rls", c.line, c.messages));
    EXPECT_EQ(dump_rules(r.set), c.rules);
    EXPECT_EQ(r.set.no_optimization, c.no_optimization);
  }
}

TEST_F(RulesReaderTest, PassesKeepFileOrderAndEmptyPassesStay) {
  Reading r(
      ".pass\n.replace\n\ta\n.by\n\tb\n.replace\n\tc\n\tc\n\tc\n.by\n.pass\n.pass\n"
      ".replace\n\td\n\td\n.by\n\te\n\te\n\te\n\te\n.pass");
  EXPECT_EQ(r.printed, "");
  EXPECT_EQ(r.set.pass_count, 4);
  ASSERT_EQ(r.set.passes.size(), 5u);
  EXPECT_EQ(
      dump_rules(r.set),
      "1: S(a) => S(b)\n1: S(c) ; S(c) ; S(c) =>\n3: S(d) ; S(d) => S(e) ; S(e) ; S(e) ; S(e)\n");
  EXPECT_EQ(r.set.rules_stored, 3);
  EXPECT_EQ(r.set.max_repl_lines, 3);
  EXPECT_FALSE(r.set.no_optimization);
}

TEST_F(RulesReaderTest, NothingIsReadWithoutOptimization) {
  Reading skipped("junk\n.replace", {}, true);
  EXPECT_EQ(skipped.printed, "");
  EXPECT_EQ(skipped.sc.line_no(), 0);
  EXPECT_EQ(dump_rules(skipped.set), "");
  EXPECT_EQ(run.fatal_count, 0);
}

struct FlagCase {
  const char* lines;
  bool delete_asm_dirs, cstyle;
};

// .delete_asm_dirs holds only for the pass it is given in; .cstyle for all.
const FlagCase kFlagCases[] = {
    {"", false, false},
    {".delete_asm_dirs", true, false},
    {".delete_asm_dirs\n.pass", false, false},
    {".pass\n.delete_asm_dirs", true, false},
    {".delete_asm_dirs\n.pass\n.replace\n\ta\n.by\n.delete_asm_dirs", true, false},
    {".cstyle\n.pass", false, true},
    {".replace\n\ta\n.cstyle\n.by", false, true},
};

TEST_F(RulesReaderTest, DeleteAsmDirsAndCstyle) {
  for (const FlagCase& c : kFlagCases) {
    SCOPED_TRACE(c.lines);
    Reading r(c.lines);
    EXPECT_EQ(r.printed, "");
    EXPECT_EQ(r.set.delete_asm_dirs, c.delete_asm_dirs);
    EXPECT_EQ(r.set.cstyle, c.cstyle);
  }
}

struct SettingCase {
  const char* lines;
  const char* syntax;  // as syntax_text gives it
  std::string printed = "";
};

const SettingCase kSettingCases[] = {
    {".comment_char \"#\"", "# - - ' \t,'"},
    {".comment_char #", "# - - ' \t,'"},
    {".comment_char   \"//\" ; x", "// - - ' \t,'"},
    {".comment_char \"a\" \"b\"", "ab - - ' \t,'"},
    {".comment_char \"\"", " - - ' \t,'"},
    {".comment_char #\n; .by\n# .by", "# - - ' \t,'",
     at("t.rls", 3, "Expected a .replace directive")},
    {".delim_chars \",\"", "; - - ','"},
    {".delim_chars \" \\t\"", "; - - ' \t'"},
    {".delim_chars \"a\"\n.delim_chars \"b\"", "; - - 'b'"},
    {".comment_begin \"/*\"\n.comment_end \"*/\"", "; /* */ ' \t,'"},
    {".delim_chars ,", "; - - ' \t,'",
     ".delim_chars ,\n            |\n" + at("t.rls", 1, "Expected <string>")},
    {".comment_begin", "; - - ' \t,'",
     ".comment_begin\n             |\n" + at("t.rls", 1, "Expected <string>")},
    {".comment_begin \"{\"\n\t.comment_end\tx", "; { - ' \t,'",
     "\t.comment_end\tx\n\t            |\n" + at("t.rls", 2, "Expected <string>")},
};

// Comment char, begin and end ("-" for none), and the quoted delimiters.
std::string syntax_text(const SyntaxSet& s) {
  auto text = [](const char* t) { return std::string(t ? t : "-"); };
  return text(s.comment_char) + " " + text(s.comment_begin) + " " + text(s.comment_end) + " '" +
         text(s.delim_chars) + "'";
}

TEST_F(RulesReaderTest, SettingsChangeOnlyTheVopSyntax) {
  for (const SettingCase& c : kSettingCases) {
    SCOPED_TRACE(c.lines);
    Reading r(c.lines);
    EXPECT_EQ(r.printed, c.printed);
    EXPECT_EQ(syntax_text(r.set.vop_syntax), c.syntax);
    EXPECT_EQ(syntax_text(r.sc.syntax()), "; - - ' \t,'");
  }
}

struct DebugLabelCase {
  const char* lines;
  int line;  // of the messages
  const char* messages;
  const char* matching;      // label names the expression finds, one a line
  const char* not_matching;  // null: no expression at all
};

const char kUsage[] = "usage: .debug_labels \"regexp\";";

const DebugLabelCase kDebugLabelCases[] = {
    {"", 0, "", "DBG\nDBG1", "xDBG\nDB"},
    {".debug_labels \"^L[0-9]\";", 0, "", "L1\nL25x", "DBG\nxL1"},
    {".debug_labels", 0, "", "", nullptr},
    {".debug_labels ;", 0, "", "", nullptr},
    {".debug_labels \"\"", 0, "", "x\nDBG\n\n", ""},
    {".debug_labels ,", 1, kUsage, "DBG1", "x"},
    {".debug_labels x", 1, kUsage, "DBG", "x"},
    {".debug_labels \"a\",\"b\"", 1, kUsage, "DBG", "a"},
    {".debug_labels \"A\"\n.debug_labels \"B\"", 2, ".debug_labels redeclared", "B\nDBG", "A\nDGG"},
    {".debug_labels \"A\"\n\n.debug_labels x", 3,
     ".debug_labels redeclared\nusage: .debug_labels \"regexp\";", "A", "DBG"},
    {".debug_labels\n.debug_labels \"B\"", 2, ".debug_labels redeclared", "B", "DGG"},
};

TEST_F(RulesReaderTest, DebugLabelsSetTheLabelExpression) {
  for (const DebugLabelCase& c : kDebugLabelCases) {
    SCOPED_TRACE(c.lines);
    Reading r(c.lines);
    EXPECT_EQ(r.printed, at("t.rls", c.line, c.messages));
    EXPECT_EQ(r.set.debug_labels_declared, c.lines[0] != '\0');
    if (!c.not_matching) {
      EXPECT_EQ(r.set.debug_label_re, nullptr);
      continue;
    }
    ASSERT_NE(r.set.debug_label_re, nullptr);
    for (const std::string& name : split_lines(c.matching))
      EXPECT_EQ(rx_search(r.set.debug_label_re, name.c_str()), 1) << name;
    for (const std::string& name : split_lines(c.not_matching))
      EXPECT_EQ(rx_search(r.set.debug_label_re, name.c_str()), 0) << name;
  }
}

TEST_F(RulesReaderTest, LexesEachStatementKind) {
  using L = RulesLine;
  LineTable table(split_lines(
      ".replace\n.by\n\n  ; x\n   \n\tmov r1, r2 ; c\n.comment_char #\n.delim_chars \",\"\n"
      ".comment_begin \"/*\"\n.comment_end \"*/\"\n.delete_asm_dirs\n.debug_labels \"x\"\n"
      ".pass\n.cstyle\n.Replace\n.replaced\n  .pass: x\n"));
  const RulesLine codes[] = {L::Replace,       L::By,          L::Empty,   L::Empty,   L::Empty,
                             L::Line,          L::Setting,     L::Setting, L::Setting, L::Setting,
                             L::DeleteAsmDirs, L::DebugLabels, L::Pass,    L::Cstyle,  L::Line,
                             L::Line,          L::Pass,        L::Eof,     L::Eof};
  Scanner sc;
  RuleSet set;
  sc.open_lines(table.table(), "t.rls");
  init_rules_syntax(sc, set);
  RulesOptions o;
  RulesReader reader(sc, set, o);
  for (int i = 0; i < static_cast<int>(std::size(codes)); i++) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(reader.rules_lex(), codes[i]);
    EXPECT_EQ(sc.source().stmt_line, std::min(i + 1, 17));
  }
  EXPECT_EQ(run.fatal_count, 0);
}

// ---- The +zr listing and the +z +z traces

TEST_F(RulesReaderTest, ListsEachRuleWhenFinished) {
  Reading r(
      ".replace\n\t<a/(and.b)|and/> <b>,<c>\n\tjne 0x10,$+4<z>\n.by\n\t<a> <b>,<c>\n\tnop\n"
      ".replace\n\tmov <b>+2,0x10\n.by\n\tmov <b>+2,0x10",
      {1, 0});
  EXPECT_EQ(r.printed,
            "REPL1: \t<a>\n\t\tOPND: <b>\n\n\t\tOPND: <c>\n\n"
            "REPL: \tSUB_N_SCAN\tjne\n\t\tOPND: 16\n\n\t\tOPND: SUB_N_SCAN\t$+4\n<z>\n\n"
            "\tBY: \t<a>\n\t\tOPND: <b>\n\n\t\tOPND: <c>\n\n"
            "\tBY: \tSUB_N_SCAN\tnop\n" +
                at("t.rls", 8, "Unexpected characters found after '>' in operand <b>+2") +
                "REPL1: \tSUB_N_SCAN\tmov\n\t\tOPND: <b>\nSUB_N_SCAN\t+2\n\n\t\tOPND: 16\n\n"
                "\tBY: \tSUB_N_SCAN\tmov\n\t\tOPND: <b>\nSUB_N_SCAN\t+2\n\n"
                "\t\tOPND: SUB_N_SCAN\t0x10\n\n");
}

// One pattern line each, and a replacement line that lists as nothing.
TEST_F(RulesReaderTest, ListsLinesOfEveryShape) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\t..x r5", "REPL1: \t\t\tOPND: SUB_N_SCAN\tr5\n\n"},
      {"\t..x", "REPL1: \t"},
      {"\t0 0xffffffff,'a'", "REPL1: \t0\n\t\tOPND: -1\n\n\t\tOPND: 97\n\n"},
      {"\tmov<y> <x>", "REPL1: \tSUB_N_SCAN\tmov\n<y>\n\t\tOPND: <x>\n\n"},
      {"\t.ascii \"a b\"", "REPL1: \tSUB_N_SCAN\t.ascii\n\t\tOPND: SUB_N_SCAN\ta b\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    EXPECT_EQ(Reading(".replace\n" + c.first + "\n.by\n\t..b", {1, 0}).printed,
              c.second + "\tBY: \t");
  }
  EXPECT_EQ(Reading(".replace\n\t..r\n.by\n\t..b x", {1, 0}).printed,
            "REPL1: \t\tBY: \t\t\tOPND: SUB_N_SCAN\tx\n\n");
}

TEST_F(RulesReaderTest, TracesEachRecordAtSecondDebugLevel) {
  const char* lines = ".replace\n\tmov <b>,r5\n.by\n\tnop\n\t..x";
  EXPECT_EQ(Reading(lines, {0, 1}).printed, "");
  EXPECT_EQ(Reading(lines, {0, 2}).printed,
            "st_sub_opnd of type 0\nst_opnd\nst_sub_opnd of type 1\nst_opnd\n"
            "st_repl1, name = mov\nst_rule, name = mov\nst_sub_opnd of type 1\n"
            "st_rule, name = nop\nst_sub_opnd of type 1\nst_rule, name = ..x\n");
}

// ---- Where the rules come from

const char* const kNoLines[] = {nullptr};
const char* const kOwnLines[] = {".replace", "\tnop", ".by", nullptr};

class RulesSourceTest : public RunRecordTest {};

struct ChoiceCase {
  const char* title;
  bool embedded_only;
  const char* const* table;  // the compiled-in lines
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
    {"embedded only, none compiled in", true, kNoLines, false, "", 0,
     "this program needs embedded rules\n", false, 1},
    {"embedded only, rules file pointed at", true, kOwnLines, true, "present.rls", 0,
     "ignored attempt to specify rules file, using embedded rules\n", false, 0},
    {"embedded only, nothing pointed at", true, kEmbeddedRules, false, "", 0, "", false, 0},
    {"rules file pointed at and present", false, kOwnLines, true, "present.rls", 0, "", true, 0},
    {"pointed at, but no name", false, kOwnLines, true, "", 0, "", false, 0},
    {"rules file present but not pointed at", false, kOwnLines, false, "present.rls", 0, "", false,
     0},
    {"only a rules file can serve", false, kNoLines, false, "present.rls", 0, "", true, 0},
    {"missing file, embedded rules present", false, kEmbeddedRules, true, "missing.rls", 0,
     "using embedded rules instead\n", false, 0},
    {"missing file, no embedded rules", false, kNoLines, true, "missing.rls", 0, "", false, 2},
    {"missing file, no embedded rules, +z", false, nullptr, true, "missing.rls", 1, "", false, 1},
    {"unopenable file, embedded rules present", false, kOwnLines, true, kLongName, 0,
     "cannot open rules file \"" + kLongName + "\"\nusing embedded rules instead\n", false, 0},
    {"unopenable file, no embedded rules", false, kNoLines, true, kLongName, 0,
     "cannot open rules file \"" + kLongName + "\"\n", false, 2},
    {"no name, no embedded rules", false, nullptr, false, "", 0,
     "no embedded rules and no rules file specified\n", false, 1},
};

TEST_F(RulesSourceTest, ChoosesTheSourceWithItsNotices) {
  ScopedTempDir dir;
  write_file("present.rls", ".replace\n");
  for (const ChoiceCase& c : kChoiceCases) {
    SCOPED_TRACE(c.title);
    RulesSources from{c.table, c.embedded_only};
    Options o;
    o.rules_designated = c.designated;
    o.debug_level = c.debug_level;
    RulesChoice choice{};
    EXPECT_EQ(capture_stdout([&] { choice = select_rules_source(c.name.c_str(), o, from); }),
              c.printed);
    EXPECT_EQ(choice.file != nullptr, c.file);
    EXPECT_EQ(choice.status, c.status);
    if (choice.file) fclose(choice.file);
  }
}

// The compiled-in rules read cleanly: three rules of three pattern lines
// and two replacement lines, in one pass.
TEST_F(RulesSourceTest, EmbeddedRulesReadCleanly) {
  std::string text;
  for (const char* const* line = kEmbeddedRules; *line; line++) text += *line + std::string("\n");
  Reading r(text);
  EXPECT_EQ(r.printed, "");
  EXPECT_EQ(run.fatal_count, 0);
  EXPECT_EQ(r.set.pass_count, 0);
  ASSERT_EQ(r.set.passes[0].size(), 3u);
  for (const Rule& rule : r.set.passes[0]) {
    EXPECT_EQ(rule.pattern.size(), 3u);
    EXPECT_EQ(rule.replacement.size(), 2u);
  }
  EXPECT_EQ(r.set.max_repl_lines, 3);
}

}  // namespace
