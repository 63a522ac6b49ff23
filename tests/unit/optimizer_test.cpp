#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "optimizer/passes.h"
#include "optimizer/replace.h"
#include "optimizer/window.h"
#include "rules/operands.h"
#include "rules/rules_file.h"
#include "rx/rx.h"
#include "vop/scanner.h"
#include "vop/vop_reader.h"
#include "vop/vop_writer.h"
#include "test_support.h"

namespace {

// Runs one pass of `rules` over `input` in memory and returns what it wrote.
class OptimizerTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_all_modules(); }
  void TearDown() override {
    reset_window();
    if (run.out_file) fclose(run.out_file.exchange(nullptr));
  }

  void load_rules(const std::string& text) {
    init_rules_syntax();
    rule_lines_.open(split_lines(text), "test.rls");
    read_rules();
    ASSERT_EQ(diag.fatal_count, 0);
  }

  void start_pass() {
    run.out_file = tmpfile();
    if (rules.max_repl_lines > window.window_base) window.window_base = rules.max_repl_lines;
    window.window_limit = window.window_base;
    activate_syntax(vop_syntax);
    diag.optimizing_phase = true;
  }

  std::string finish_pass() {
    flush_vops(true);
    write_comments(nullptr);
    FILE* f = run.out_file.exchange(nullptr);
    std::string out;
    rewind(f);
    for (int c; (c = getc(f)) != EOF;) out += static_cast<char>(c);
    fclose(f);
    return out;
  }

  std::string optimize(const std::string& input) {
    start_pass();
    input_lines_.open(split_lines(input), "test.asm");
    read_vops(0);
    return finish_pass();
  }

  LineTable rule_lines_, input_lines_;
};

// The window's links agree in both directions, its count is right, and the
// cursor (when set) stands in it.
void expect_window_sound() {
  int count = 0;
  bool cursor_seen = window.window_cursor == nullptr;
  const vop* prev = nullptr;
  for (const vop* v = window.window_head; v; v = v->next) {
    EXPECT_EQ(v->prev, prev);
    cursor_seen |= v == window.window_cursor;
    prev = v;
    count++;
  }
  EXPECT_EQ(window.window_tail, prev);
  EXPECT_EQ(window.window_count, count);
  EXPECT_TRUE(cursor_seen);
}

const char kCmpRules[] =
    ".replace\n"
    "\t<a/(and.b)|and|(xor.b)|xor/> <b>,<c>\n"
    "\tcmp\t#0x0,<c>\n"
    "\t<d/(jeq|jne|jz|jnz|jn)/> <e>\n"
    ".by\n"
    "\t<a> <b>,<c>\n"
    "\t<d> <e>\n";

struct Case {
  const char* what;
  const char* rules;
  const char* input;
  const char* output;
};

const Case kCases[] = {
    // Matching
    {"three-line rule drops the compare", kCmpRules, "\tand\t#1,r5\n\tcmp\t#0x0,r5\n\tjne\tL1\n",
     "\tand\t#1,r5\n\tjne\tL1\n"},
    {"first alternative binds and.b whole", kCmpRules, "\tand.b\t#1,r5\n\tcmp\t#0x0,r5\n\tjz\tL1\n",
     "\tand.b\t#1,r5\n\tjz\tL1\n"},
    {"bound variable compared on the next line", kCmpRules,
     "\tand\t#1,r5\n\tcmp\t#0x0,r6\n\tjne\tL1\n", "\tand\t#1,r5\n\tcmp\t#0x0,r6\n\tjne\tL1\n"},
    {"too few VOPs left for the rule", kCmpRules, "\tand\t#1,r5\n\tcmp\t#0x0,r5\n",
     "\tand\t#1,r5\n\tcmp\t#0x0,r5\n"},
    {"one operand too many never matches", ".replace\n\tpush\t<a>\n.by\n\tpush2\t<a>\n",
     "\tpush\tr5,r6\n\tpush\tr7\n", "\tpush\tr5,r6\n\tpush2\tr7\n"},
    {"numbers compare by value", ".replace\n\tmov\t16,<a>\n.by\n\tmov16\t<a>\n",
     "\tmov\t16,r1\n\tmov\t0x10,r2\n\tmov\t020,r3\n\tmov\t17,r4\n\tmov\t0x10 ,r5\n",
     "\tmov16\tr1\n\tmov16\tr2\n\tmov16\tr3\n\tmov\t17,r4\n\tmov\t0x10 ,r5\n"},
    {"string operand matched and bound without its marker",
     ".replace\n\tasciz\t<a>\n\tasciz\tab\n.by\n\tbyte\t<a>\n", "\tasciz \"cd\"\n\tasciz\t\"ab\"\n",
     "\tbyte\tcd\n"},
    {"pattern 0 matches an empty operand", ".replace\n\tmov\t0,<a>\n.by\n\tclr\t<a>\n",
     "\tmov\t,r5\n\tmov\t0x0,r6\n\tmov\t'\\0',r7\n", "\tclr\tr5\n\tclr\tr6\n\tclr\tr7\n"},
    // Replacement
    {"two to one keeps comments before and debug labels after",
     ".replace\n\tpush\t<a>\n\tpop\t<b>\n.by\n\tmov\t<a>,<b>\n",
     "; one\n\tpush\tr5\nDBG1:\n; two\n\tpop\tr6\nDBG2:\n",
     "; one\n; two\n\tmov\tr5,r6\nDBG2:\nDBG1:\n"},
    {"debug labels of several matched VOPs keep the order of their VOPs",
     ".replace\n\ta\n\tb\n\tc\n.by\n\tabc\n", "\ta\nDBG1:\nDBG2:\n\tb\nDBG3:\n\tc\n",
     "\tabc\nDBG2:\nDBG1:\nDBG3:\n"},
    {"one to three", ".replace\n\tswap3\t<a>\n.by\n\tx\t<a>\n\ty\t<a>\n\tz\t<a>+2\n",
     "\tswap3\tr5\n", "\tx\tr5\n\ty\tr5\n\tz\tr5+2\n"},
    {"deletion hands comments to the VOP in front, writes debug labels at once",
     ".replace\n\tnop\n\tnop\n.by\n", "\tmov\tr1,r2\n; gone\n\tnop\nDBG3:\n\tnop\n\tret\n",
     "DBG3:\n; gone\n\tmov\tr1,r2\n\tret\n"},
    {"deletion at the oldest VOP writes comments at once", ".replace\n\tnop\n.by\n",
     "; lead\n\tnop\n\tret\n", "; lead\n\tret\n"},
    {"the rule's own delimiters", ".replace\n\tmov\t<a>,<b>\n.by\n\tmove\t<a> <b>\n",
     "\tmov\tr1,r2\n", "\tmove\tr1 r2\n"},
    {"earlier rule wins at one position",
     ".replace\n\tinc\t<a>\n.by\n\tfirst\t<a>\n.replace\n\tinc\t<a>\n.by\n\tsecond\t<a>\n",
     "\tinc\tr4\n", "\tfirst\tr4\n"},
    // Line kinds
    {"ordinary label is a barrier", ".replace\n\tpush\t<a>\n\tpop\t<b>\n.by\n\tmov\t<a>,<b>\n",
     "\tpush\tr5\nL1:\n\tpop\tr6\n", "\tpush\tr5\nL1:\n\tpop\tr6\n"},
    {"blank line comes out before the VOPs held",
     ".replace\n\tpush\t<a>\n\tpop\t<b>\n.by\n\tmov\t<a>,<b>\n", "\tpush\tr5\n\n\tpop\tr6\n",
     "\n\tmov\tr5,r6\n"},
    {"zero byte in a string constant", ".replace\n\tnone\n.by\n", "\t.byte\t\"a\\000b\\n\\\"\"\n",
     "\t.byte\t\"a\\000b\\n\\\"\"\n"},
};

TEST_F(OptimizerTest, CasesProduceTheirOutput) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    SetUp();
    load_rules(c.rules);
    EXPECT_EQ(optimize(c.input), c.output);
    EXPECT_EQ(diag.fatal_count, 0);
    TearDown();
  }
}

TEST_F(OptimizerTest, WindowStaysSoundThroughReplacements) {
  // A rule that grows one VOP into three and one that folds pairs, run over
  // a window that must be trimmed.
  load_rules(
      ".replace\n\tgrow\t<a>\n.by\n\tp\t<a>\n\tq\t<a>\n\tr\t<a>\n"
      ".replace\n\tq\t<a>\n\tr\t<a>\n.by\n\tqr\t<a>\n"
      ".replace\n\tkill\n.by\n");
  start_pass();
  const char* lines[] = {"\tgrow\tr1", "\tkill", "\tgrow\tr2", "\tnop",  "\tgrow\tr3",
                         "\tkill",     "\tnop",  "\tgrow\tr4", "\tkill", "\tkill"};
  for (int round = 0; round < 3; round++) {
    for (const char* line : lines) {
      const char* table[] = {line, nullptr};
      open_scanner_lines(table, "test.asm");
      ASSERT_EQ(vop_lex(), VL_VOP);
      optimize_vop(0);
      expect_window_sound();
      EXPECT_LE(window.window_count, window.window_limit);
    }
  }
  std::string out = finish_pass();
  EXPECT_EQ(passes.counts.opt_more, 12);
  EXPECT_EQ(passes.counts.opt_fewer, 12 + 12);
  EXPECT_EQ(out.find("grow"), std::string::npos);
  EXPECT_EQ(out.find("kill"), std::string::npos);
}

TEST_F(OptimizerTest, GrowingReplacementWritesOutTheOldestBeyondTheReach) {
  load_rules(".replace\n\tgrow\t<a>\n.by\n\tp\t<a>\n\tq\t<a>\n\tr\t<a>\n");
  start_pass();
  std::string input;
  for (int i = 0; i < 8; i++) input += "\tnop\n";
  input += "\tgrow\tr1\n";
  input_lines_.open(split_lines(input), "test.asm");
  read_vops(0);
  // Eight nops and the new three: the oldest beyond the one VOP in front of
  // the replacement are written out, the rest stays.
  EXPECT_EQ(window.window_limit, 8);
  EXPECT_EQ(window.window_count, 8);
  EXPECT_EQ(passes.counts.vops_written, 3);
  expect_window_sound();
  finish_pass();
}

TEST_F(OptimizerTest, LoopGuardWarnsOnceAndGivesUp) {
  load_rules(".replace\n\tspin\t<a>\n.by\n\tspin\t<a>\n");
  start_pass();
  std::string out;
  std::string printed = capture_stdout([&] { out = optimize("\tspin\tr1\n\tspin\tr2\n"); });
  EXPECT_EQ(out, "\tspin\tr1\n\tspin\tr2\n");
  EXPECT_EQ(printed,
            "\tspin\tr1\n"
            "\t    \t |\n"
            "\"test.asm\", line 1: Warning: Possible infinite loop detected while optimizing\n"
            "\"test.asm\", line 1: Warning: Bad replacement rules may be causing this loop\n");
  EXPECT_EQ(diag.warning_count, 2);
  EXPECT_TRUE(passes.loop_warned);
  EXPECT_EQ(passes.counts.opt_same, 200);
}

// One sub-operand of a hand-made chain: 'S' literal, 'V' variable (letter in
// text[0], expression in rx or none), 'N' number, anything else a bad kind.
struct Piece {
  char kind;
  const char* text;
  int32_t num;
  const char* rx;
};

st_entry* make_chain(std::initializer_list<Piece> pieces) {
  st_entry* first = nullptr;
  st_entry* last = nullptr;
  for (const Piece& p : pieces) {
    int kind = p.kind == 'S'   ? SUB_N_SCAN
               : p.kind == 'V' ? SUB_N_VAR
               : p.kind == 'N' ? SUB_N_NUM
                               : 0;
    last = st_sub_opnd(kind, p.text, p.kind == 'V' ? &rule_vars[p.text[0] - 'a'] : nullptr, p.num,
                       p.rx ? rx_compile(p.rx) : nullptr, last);
    if (p.kind == 'X') last->sub_ntype = 7;
    if (!first) first = last;
  }
  return first;
}

struct SubCase {
  const char* what;
  std::string text;
  const char* bound_a;  // text bound to a before the match, or null
  std::initializer_list<Piece> pieces;
  bool matches;
  const char* a_after;  // expected binding of a after a match (null: unbound)
  const char* b_after;
};

TEST_F(OptimizerTest, SubOperandKinds) {
  const SubCase cases[] = {
      {"literal whole", "r5", nullptr, {{'S', "r5", 0, nullptr}}, true, nullptr, nullptr},
      {"literal leaves a rest",
       "r5+2",
       nullptr,
       {{'S', "r5", 0, nullptr}},
       false,
       nullptr,
       nullptr},
      {"literal longer than the text",
       "r",
       nullptr,
       {{'S', "r5", 0, nullptr}},
       false,
       nullptr,
       nullptr},
      {"string marker skipped by a literal",
       "\"ab",
       nullptr,
       {{'S', "ab", 0, nullptr}},
       true,
       nullptr,
       nullptr},
      {"string marker not bound", "\"ab", nullptr, {{'V', "a", 0, nullptr}}, true, "ab", nullptr},
      {"unbound variable takes the rest",
       "r5+2",
       nullptr,
       {{'V', "a", 0, nullptr}, {'S', "+2", 0, nullptr}},
       false,
       nullptr,
       nullptr},
      {"unbound variable may take nothing",
       "r5",
       nullptr,
       {{'S', "r5", 0, nullptr}, {'V', "a", 0, nullptr}},
       true,
       "",
       nullptr},
      {"bound text stands at p",
       "r5+2",
       "r5",
       {{'V', "a", 0, nullptr}, {'S', "+2", 0, nullptr}},
       true,
       "r5",
       nullptr},
      {"bound text differs",
       "r6+2",
       "r5",
       {{'V', "a", 0, nullptr}, {'S', "+2", 0, nullptr}},
       false,
       nullptr,
       nullptr},
      {"bound text longer than the rest",
       "r5",
       "r5+",
       {{'V', "a", 0, nullptr}},
       false,
       nullptr,
       nullptr},
      {"expression match must begin at p",
       "xr5",
       nullptr,
       {{'V', "a", 0, "r[0-9]"}},
       false,
       nullptr,
       nullptr},
      {"expression after a literal",
       "xr5",
       nullptr,
       {{'S', "x", 0, nullptr}, {'V', "a", 0, "r[0-9]"}},
       true,
       "r5",
       nullptr},
      {"caret anchors at p",
       "xr5",
       nullptr,
       {{'S', "x", 0, nullptr}, {'V', "a", 0, "^r"}, {'V', "b", 0, nullptr}},
       true,
       "r",
       "5"},
      {"no backtracking into the expression",
       "r55",
       nullptr,
       {{'V', "a", 0, "r[0-9]*"}, {'S', "5", 0, nullptr}},
       false,
       nullptr,
       nullptr},
      {"expression finds nothing", "r5", nullptr, {{'V', "a", 0, "q"}}, false, nullptr, nullptr},
      {"number by value, hexadecimal",
       "0x10",
       nullptr,
       {{'N', nullptr, 16, nullptr}},
       true,
       nullptr,
       nullptr},
      {"number by value, octal",
       "020",
       nullptr,
       {{'N', nullptr, 16, nullptr}},
       true,
       nullptr,
       nullptr},
      {"number by value, character",
       "'\\020'",
       nullptr,
       {{'N', nullptr, 16, nullptr}},
       true,
       nullptr,
       nullptr},
      {"number of another value",
       "17",
       nullptr,
       {{'N', nullptr, 16, nullptr}},
       false,
       nullptr,
       nullptr},
      {"number after leading blanks",
       " 16",
       nullptr,
       {{'N', nullptr, 16, nullptr}},
       true,
       nullptr,
       nullptr},
      {"number must be the whole rest",
       "16+",
       nullptr,
       {{'N', nullptr, 16, nullptr}},
       false,
       nullptr,
       nullptr},
      {"number read from p",
       "#16",
       nullptr,
       {{'S', "#", 0, nullptr}, {'N', nullptr, 16, nullptr}},
       true,
       nullptr,
       nullptr},
      {"empty rest reads as 0",
       "#",
       nullptr,
       {{'S', "#", 0, nullptr}, {'N', nullptr, 0, nullptr}},
       true,
       nullptr,
       nullptr},
      {"number inside a string constant",
       "\"16",
       nullptr,
       {{'N', nullptr, 16, nullptr}},
       true,
       nullptr,
       nullptr},
  };
  for (const SubCase& c : cases) {
    SCOPED_TRACE(c.what);
    clear_vars();
    if (c.bound_a) bind_var(&rule_vars[0], c.bound_a, static_cast<int>(strlen(c.bound_a)));
    st_entry* chain = make_chain(c.pieces);
    bool got = sub_opnds_match(c.text.data(), static_cast<int>(c.text.size()), chain);
    EXPECT_EQ(got, c.matches);
    if (!got) continue;
    for (auto [slot, want] : {std::pair{0, c.a_after}, std::pair{1, c.b_after}}) {
      if (!want) {
        EXPECT_EQ(rule_vars[slot].text, nullptr);
        continue;
      }
      ASSERT_NE(rule_vars[slot].text, nullptr);
      EXPECT_EQ(std::string(rule_vars[slot].text, rule_vars[slot].len), want);
    }
  }
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(OptimizerTest, BadSubOperandKindIsReportedAndSkipped) {
  const char* lines[] = {"\tmov\tr5", nullptr};
  open_scanner_lines(lines, "test.asm");
  ASSERT_EQ(vop_lex(), VL_VOP);
  st_entry* chain =
      make_chain({{'S', "r", 0, nullptr}, {'X', "", 0, nullptr}, {'S', "5", 0, nullptr}});
  bool got = true;
  std::string printed = capture_stdout([&] { got = sub_opnds_match("r5", 2, chain); });
  EXPECT_TRUE(got);
  EXPECT_EQ(printed,
            "\tmov\tr5\n"
            "\t   \t |\n"
            "\"test.asm\", line 1: Internal error - sub_opnds_match() - bad opnd sub_ntype\n");
  EXPECT_EQ(diag.fatal_count, 1);
}

// A rule's .by part spoiled by hand, as the rules reader never leaves it.
struct SpoiledBy {
  const char* what;
  void (*spoil)(st_entry* by);
  const char* output;
  std::vector<const char*> messages;
};

TEST_F(OptimizerTest, BadByPiecesAreReportedAndGiveNoText) {
  const SpoiledBy cases[] = {
      {"operand piece of a bad kind",
       [](st_entry* by) { by->opnds->sub_opnds->sub_ntype = SUB_N_NUM; },
       "\tadd\t,r5\n",
       {"replace_vops() - bad opnd sub_ntype"}},
      {"variable left unbound",
       [](st_entry* by) { by->opnds->next->sub_opnds->var = &rule_vars['z' - 'a']; },
       "\tadd\t#1,\n",
       {"replace_vops() - unassigned variable operand"}},
      {"name piece of a bad kind",
       [](st_entry* by) { by->name_opnds->sub_ntype = SUB_N_NUM; },
       "\t\t#1,r5\n",
       {"replace_vops() - bad vop opnd sub_ntype"}},
      {"operands are built before the name",
       [](st_entry* by) {
         by->name_opnds->sub_ntype = 9;
         by->opnds->next->sub_opnds->var = &rule_vars['z' - 'a'];
       },
       "\t\t#1,\n",
       {"replace_vops() - unassigned variable operand", "replace_vops() - bad vop opnd sub_ntype"}},
  };
  for (const SpoiledBy& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    load_rules(".replace\n\tinc\t<a>\n.by\n\tadd\t#1,<a>\n");
    c.spoil(rules.pass_rules[0]->by);
    std::string out;
    std::string printed = capture_stdout([&] { out = optimize("\tinc\tr5\n"); });
    EXPECT_EQ(out, c.output);
    std::string want;
    for (const char* m : c.messages)
      want +=
          std::string("\tinc\tr5\n\t   \t |\n\"test.asm\", line 1: Internal error - ") + m + "\n";
    EXPECT_EQ(printed, want);
    EXPECT_EQ(diag.fatal_count, static_cast<int>(c.messages.size()));
    EXPECT_EQ(passes.counts.opt_same, 1);
    TearDown();
  }
}

TEST_F(OptimizerTest, RaisedLimitHoldsUntilTheWindowIsEmptied) {
  // Six replace lines keep six VOPs in front of a replacement, so growing one
  // VOP into three in a full window leaves one VOP over the limit.
  load_rules(
      ".replace\n\tn\t1\n\tn\t2\n\tn\t3\n\tn\t4\n\tn\t5\n\tn\t6\n.by\n"
      ".replace\n\tgrow\n.by\n\tg1\n\tg2\n\tg3\n");
  start_pass();
  std::string input;
  for (int i = 0; i < 8; i++) input += "\tv\n";
  input += "\tgrow\n";
  input_lines_.open(split_lines(input), "test.asm");
  read_vops(0);
  EXPECT_EQ(passes.counts.vops_written, 2);
  EXPECT_EQ(window.window_count, 9);
  EXPECT_EQ(window.window_limit, 9);
  expect_window_sound();
  flush_vops(true);
  EXPECT_EQ(window.window_count, 0);
  EXPECT_EQ(window.window_head, nullptr);
  EXPECT_EQ(window.window_tail, nullptr);
  EXPECT_EQ(window.window_limit, 8);
  EXPECT_EQ(passes.counts.vops_written, 11);
  finish_pass();
}

struct WriteCase {
  const char* what;
  bool cstyle;
  const char* name;
  std::vector<std::string> opnds;
  std::string delims;
  std::string line;
};

TEST_F(OptimizerTest, WriteVopLines) {
  const WriteCase cases[] = {
      {"no operands, no separator", false, "nop", {}, "", "\tnop\n"},
      {"the delimiters that ended the operands",
       false,
       "mov",
       {"a", "b"},
       std::string(",\0", 2),
       "\tmov\ta,b\n"},
      {"a blank under .cstyle", true, "mov", {"a", "b"}, std::string(",\0", 2), "\tmov a,b\n"},
      {"a last delimiter is kept", false, "push", {"r5"}, "\t", "\tpush\tr5\t\n"},
      {"string constant escaped again",
       false,
       ".byte",
       {std::string("\"a\n\"\\\tb\0c", 9)},
       std::string("\0", 1),
       "\t.byte\t\"a\\n\\\"\\\\\tb\\000c\"\n"},
      {"empty string constant", false, "s", {"\""}, std::string("\0", 1), "\ts\t\"\"\n"},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.what);
    rules.cstyle = c.cstyle;
    std::vector<const char*> texts;
    std::vector<int> lens;
    for (const auto& o : c.opnds) {
      texts.push_back(o.data());
      lens.push_back(static_cast<int>(o.size()));
    }
    vop* v = make_vop(c.name, static_cast<int>(texts.size()), texts.data(), lens.data(),
                      reinterpret_cast<const unsigned char*>(c.delims.data()));
    std::string line = capture_stdout([&] { write_vop(v, stdout); });
    EXPECT_EQ(line, c.line);
    release_vop(v);
  }
}

struct StatsCase {
  const char* what;
  PassCounts counts;
  const char* text;
};

TEST_F(OptimizerTest, PassStatistics) {
  const StatsCase cases[] = {
      {"nothing read, something written",
       {0, 2, 0, 0, 0},
       "----------------------Pass# 3 ---------------------------\n"
       "0 VOPs read in\n"
       "2 VOPs written out (a 0.0% increase)\n"
       "0 optimizations made\n"},
      {"every kind, singular and plural",
       {9, 8, 2, 1, 3},
       "----------------------Pass# 3 ---------------------------\n"
       "9 VOPs read in\n"
       "8 VOPs written out (a 11.1% decrease)\n"
       "6 optimizations made\n"
       " - in 2 optimizations, the number of VOPs decreased\n"
       " - in 1 optimization, the number of VOPs remained the same\n"
       " - in 3 optimizations, the number of VOPs increased\n"},
      {"two thirds round up",
       {3, 1, 1, 0, 0},
       "----------------------Pass# 3 ---------------------------\n"
       "3 VOPs read in\n"
       "1 VOP written out (a 66.7% decrease)\n"
       "1 optimization made\n"
       " - in 1 optimization, the number of VOPs decreased\n"},
  };
  for (const StatsCase& c : cases) {
    SCOPED_TRACE(c.what);
    opts.show_stats = true;
    passes.counts = c.counts;
    EXPECT_EQ(capture_stdout([] { pass_stats(2); }), c.text);
    passes.totals = c.counts;
    std::string body = std::string(c.text).substr(
        strlen("----------------------Pass# 3 ---------------------------\n"));
    EXPECT_EQ(capture_stdout([] { final_stats(); }),
              "------------------------Final Statistics-----------------\n" + body +
                  "----------------------------------------------------------\n");
    opts.show_stats = false;
    EXPECT_EQ(capture_stdout([] {
                pass_stats(2);
                final_stats();
              }),
              "");
  }
}

// Former bugs

TEST_F(OptimizerTest, NumberPatternRejectsAZeroByteInTheRest) {
  // "5\0005": parse_value would stop at the zero byte and read 5.
  st_entry* chain = make_chain({{'N', nullptr, 5, nullptr}});
  EXPECT_FALSE(
      sub_opnds_match("\"5\0"
                      "5",
                      4, chain));
  EXPECT_TRUE(sub_opnds_match("\"5", 2, chain));
}

}  // namespace
