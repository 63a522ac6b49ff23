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
#include "rules/rules_file.h"
#include "vop/scanner.h"
#include "vop/vop_reader.h"
#include "vop/vop_writer.h"

namespace {

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Runs one pass of `rules` over `input` in memory and returns what it wrote.
class OptimizerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_diag();
    reset_options();
    reset_run_state();
    reset_storage();
    reset_scanner();
    reset_reader_state();
    reset_rules();
    reset_window();
    reset_passes();
    init_char_class();
    clear_interned();
  }
  void TearDown() override {
    reset_window();
    if (run.out_file) fclose(run.out_file.exchange(nullptr));
  }

  void load_rules(const std::string& text) {
    rule_lines_ = split_lines(text);
    rule_ptrs_.clear();
    for (auto& l : rule_lines_) rule_ptrs_.push_back(l.c_str());
    rule_ptrs_.push_back(nullptr);
    init_rules_syntax();
    open_scanner_lines(rule_ptrs_.data(), "test.rls");
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
    input_lines_ = split_lines(input);
    input_ptrs_.clear();
    for (auto& l : input_lines_) input_ptrs_.push_back(l.c_str());
    input_ptrs_.push_back(nullptr);
    open_scanner_lines(input_ptrs_.data(), "test.asm");
    read_vops(0);
    return finish_pass();
  }

  std::vector<std::string> rule_lines_, input_lines_;
  std::vector<const char*> rule_ptrs_, input_ptrs_;
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
    {"three-line rule drops the compare", kCmpRules,
     "\tand\t#1,r5\n\tcmp\t#0x0,r5\n\tjne\tL1\n", "\tand\t#1,r5\n\tjne\tL1\n"},
    {"first alternative binds and.b whole", kCmpRules,
     "\tand.b\t#1,r5\n\tcmp\t#0x0,r5\n\tjz\tL1\n", "\tand.b\t#1,r5\n\tjz\tL1\n"},
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
     ".replace\n\tasciz\t<a>\n\tasciz\tab\n.by\n\tbyte\t<a>\n",
     "\tasciz \"cd\"\n\tasciz\t\"ab\"\n", "\tbyte\tcd\n"},
    {"pattern 0 matches an empty operand", ".replace\n\tmov\t0,<a>\n.by\n\tclr\t<a>\n",
     "\tmov\t,r5\n\tmov\t0x0,r6\n\tmov\t'\\0',r7\n", "\tclr\tr5\n\tclr\tr6\n\tclr\tr7\n"},
    // Replacement
    {"two to one keeps comments before and debug labels after",
     ".replace\n\tpush\t<a>\n\tpop\t<b>\n.by\n\tmov\t<a>,<b>\n",
     "; one\n\tpush\tr5\nDBG1:\n; two\n\tpop\tr6\nDBG2:\n",
     "; one\n; two\n\tmov\tr5,r6\nDBG2:\nDBG1:\n"},
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
    {"blank line comes out before the VOPs held", ".replace\n\tpush\t<a>\n\tpop\t<b>\n.by\n\tmov\t<a>,<b>\n",
     "\tpush\tr5\n\n\tpop\tr6\n", "\n\tmov\tr5,r6\n"},
    {"zero byte in a string constant", ".replace\n\tnone\n.by\n",
     "\t.byte\t\"a\\000b\\n\\\"\"\n", "\t.byte\t\"a\\000b\\n\\\"\"\n"},
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
  const char* lines[] = {"\tgrow\tr1", "\tkill", "\tgrow\tr2", "\tnop", "\tgrow\tr3",
                         "\tkill", "\tnop",      "\tgrow\tr4", "\tkill", "\tkill"};
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
  input_lines_ = split_lines(input);
  for (auto& l : input_lines_) input_ptrs_.push_back(l.c_str());
  input_ptrs_.push_back(nullptr);
  open_scanner_lines(input_ptrs_.data(), "test.asm");
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
  testing::internal::CaptureStdout();
  std::string out = optimize("\tspin\tr1\n\tspin\tr2\n");
  std::string printed = testing::internal::GetCapturedStdout();
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

}  // namespace
