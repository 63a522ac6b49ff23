#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/run.h"
#include "lex/scanner.h"
#include "optimizer/match.h"
#include "optimizer/pass.h"
#include "optimizer/replace.h"
#include "optimizer/window.h"
#include "rules/rules_file.h"
#include "rx/rx.h"
#include "vop/vop_reader.h"
#include "vop/vop_writer.h"
#include "test_support.h"

namespace {

std::string read_back(FILE* f) {
  std::string text;
  rewind(f);
  for (int c; (c = getc(f)) != EOF;) text += static_cast<char>(c);
  return text;
}

// A rules text read into a rule set, and passes run with it over VOP texts
// whose output goes through a temporary file.
class PassRun {
 public:
  explicit PassRun(const std::string& rules_text) {
    rule_lines_.assign(split_lines(rules_text));
    sc_.open_lines(rule_lines_.table(), "test.rls");
    init_rules_syntax(sc_, rules_);
    RulesReader(sc_, rules_, RulesOptions{}).read_rules();
  }

  std::string optimize(const std::string& input, int pass = 0) {
    input_lines_.assign(split_lines(input));
    sc_.open_lines(input_lines_.table(), "test.asm");
    run.optimizing_phase = true;
    sc_.activate_syntax(rules_.vop_syntax);
    FILE* f = tmpfile();
    VopWriter out(f, rules_.cstyle);
    Pass p(rules_, pass, reader_, sc_, out, options, loop_warned);
    p.read_vops();
    counts = p.counts();
    std::string text = read_back(f);
    fclose(f);
    return text;
  }

  const RuleSet& rules() const { return rules_; }

  PassOptions options;
  bool loop_warned = false;
  PassCounts counts;

 private:
  LineTable rule_lines_, input_lines_;
  Scanner sc_;
  RuleSet rules_;
  VopReader reader_{sc_};
};

using OptimizerPassTest = RunRecordTest;

const char kCmpRules[] =
    ".replace\n"
    "\t<a/(and.b)|and|(xor.b)|xor/> <b>,<c>\n"
    "\tcmp\t#0x0,<c>\n"
    "\t<d/(jeq|jne|jz|jnz|jn)/> <e>\n"
    ".by\n"
    "\t<a> <b>,<c>\n"
    "\t<d> <e>\n";
const char kPushPop[] = ".replace\n\tpush\t<a>\n\tpop\t<b>\n.by\n\tmov\t<a>,<b>\n";

struct PassCase {
  const char* what;
  const char* rules;
  const char* input;
  const char* output;
};

const PassCase kPassCases[] = {
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
     "\tmov\t16,r1\n\tmov\t0x10,r2\n\tmov\t020,r3\n\tmov\t'\\020',r4\n\tmov\t17,r5\n",
     "\tmov16\tr1\n\tmov16\tr2\n\tmov16\tr3\n\tmov16\tr4\n\tmov\t17,r5\n"},
    {"string operand matched and bound without its marker",
     ".replace\n\tasciz\t<a>\n\tasciz\tab\n.by\n\tbyte\t<a>\n", "\tasciz \"cd\"\n\tasciz\t\"ab\"\n",
     "\tbyte\tcd\n"},
    {"pattern 0 matches an empty operand", ".replace\n\tmov\t0,<a>\n.by\n\tclr\t<a>\n",
     "\tmov\t,r5\n\tmov\t0x0,r6\n\tmov\t'\\0',r7\n", "\tclr\tr5\n\tclr\tr6\n\tclr\tr7\n"},
    {"earlier rule wins at one position",
     ".replace\n\tinc\t<a>\n.by\n\tfirst\t<a>\n.replace\n\tinc\t<a>\n.by\n\tsecond\t<a>\n",
     "\tinc\tr4\n", "\tfirst\tr4\n"},
    {"a name of a text and a variable", ".replace\n\tj<a>\t<b>\n.by\n\tb<a>\t<b>\n",
     "\tjeq\tL1\n\tjmp\tL2\n", "\tbeq\tL1\n\tbmp\tL2\n"},
    // Replacement
    {"two to one keeps comments before and debug labels after", kPushPop,
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
    {"a replacement name is cut at a zero byte", ".replace\n\tnm\t<a>\n.by\n\t<a>x\n",
     "\tnm\t\"ab\\000c\"\n", "\tab\n"},
    // Line kinds
    {"ordinary label is a barrier", kPushPop, "\tpush\tr5\nL1:\n\tpop\tr6\n",
     "\tpush\tr5\nL1:\n\tpop\tr6\n"},
    {"blank line comes out before the VOPs held", kPushPop, "\tpush\tr5\n\n\tpop\tr6\n",
     "\n\tmov\tr5,r6\n"},
    {"zero byte in a string constant", ".replace\n\tnone\n.by\n", "\t.byte\t\"a\\000b\\n\\\"\"\n",
     "\t.byte\t\"a\\000b\\n\\\"\"\n"},
};

TEST_F(OptimizerPassTest, CasesProduceTheirOutput) {
  for (const PassCase& c : kPassCases) {
    SCOPED_TRACE(c.what);
    reset_run_record();
    PassRun r(c.rules);
    ASSERT_EQ(run.fatal_count, 0);
    EXPECT_EQ(r.optimize(c.input), c.output);
    EXPECT_EQ(run.fatal_count, 0);
  }
}

TEST_F(OptimizerPassTest, DebugLabelsOffMakesThemBarriers) {
  PassRun r(kPushPop);
  r.options.debug_labels_on = false;
  EXPECT_EQ(r.optimize("\tpush\tr5\nDBG1:\n\tpop\tr6\n"), "\tpush\tr5\nDBG1:\n\tpop\tr6\n");
  EXPECT_EQ(r.counts.vops_read, 2);
  EXPECT_EQ(r.counts.vops_written, 2);
}

TEST_F(OptimizerPassTest, LoopGuardWarnsOncePerRunAndGivesUp) {
  PassRun r(".replace\n\tspin\t<a>\n.by\n\tspin\t<a>\n");
  std::string out;
  std::string printed = capture_stdout([&] { out = r.optimize("\tspin\tr1\n\tspin\tr2\n"); });
  EXPECT_EQ(out, "\tspin\tr1\n\tspin\tr2\n");
  EXPECT_EQ(printed,
            "\tspin\tr1\n"
            "\t    \t |\n"
            "\"test.asm\", line 1: Warning: Possible infinite loop detected while optimizing\n"
            "\"test.asm\", line 1: Warning: Bad replacement rules may be causing this loop\n");
  EXPECT_EQ(run.warning_count, 2);
  EXPECT_TRUE(r.loop_warned);
  // 100 replacements at each reach, for each VOP.
  EXPECT_EQ(r.counts.opt_same, 200);
  // A later pass of the same run loops as long, silently.
  EXPECT_EQ(capture_stdout([&] { r.optimize("\tspin\tr3\n"); }), "");
  EXPECT_EQ(r.counts.opt_same, 100);
  EXPECT_EQ(run.warning_count, 2);
}

TEST_F(OptimizerPassTest, LoopGuardUnderWarningsOffStillCountsAsWarned) {
  run.warnings_off = true;
  PassRun r(".replace\n\tspin\n.by\n\tspin\n");
  EXPECT_EQ(capture_stdout([&] { r.optimize("\tspin\n"); }), "");
  EXPECT_TRUE(r.loop_warned);
  EXPECT_EQ(run.warning_count, 0);
}

TEST_F(OptimizerPassTest, OptimizerTraces) {
  PassRun r(".replace\n\tpush\t<a>\n\tpop\t<a>\n.by\n\tnop\n");
  r.options.opt_debug_level = 1;
  std::string nul(1, '\0');
  EXPECT_EQ(capture_stdout([&] { r.optimize("\tmov\t\"a\\nb\",r6\n"); }),
            "VOP name is mov\nDisplay opargs\n"
            "\tArgument 0 is \"\"a\nb\", delim is ','\n"
            "\tArgument 1 is \"r6\", delim is '" + nul + "'\n"
            "Display opargs end\n");
  r.options.opt_debug_level = 2;
  std::string trace = capture_stdout([&] { r.optimize("\tpush\tr5\n\tpop\tr5\n"); });
  EXPECT_EQ(trace,
            "VOP name is push\nDisplay opargs\n\tArgument 0 is \"r5\", delim is '" + nul +
                "'\nDisplay opargs end\n"
                "before optimizing\n\tpush\tr5\n"
                "trying to match push\n"
                "VOP name is pop\nDisplay opargs\n\tArgument 0 is \"r5\", delim is '" + nul +
                "'\nDisplay opargs end\n"
                "before optimizing\n\tpush\tr5\n\tpop\tr5\n"
                "trying to match push\nMATCHED IT!\n"
                "after optimization 1\n\tnop\n"
                "trying to match nop\n");
  EXPECT_EQ(r.counts.opt_fewer, 1);
}

TEST_F(OptimizerPassTest, LoopGuardTraceReducesTheReach) {
  PassRun r(".replace\n\tspin\n\tspin\n.by\n\tspin\n\tspin\n");
  r.options.opt_debug_level = 2;
  std::string trace = capture_stdout([&] { r.optimize("\tspin\n\tspin\n"); });
  EXPECT_NE(trace.find("after optimization 100\n"), std::string::npos);
  EXPECT_EQ(trace.find("after optimization 101\n"), std::string::npos);
  EXPECT_NE(trace.find("Reducing window to size 0\n"), std::string::npos);
  EXPECT_EQ(trace.find("Reducing window to size -1\n"), std::string::npos);
  // 100 at reach 1; at reach 0 the cursor stands past the pair's start.
  EXPECT_EQ(r.counts.opt_same, 100);
}

// The window's links agree in both directions, its count is right, and the
// cursor (when set) stands in it.
void expect_window_sound(const Window& w) {
  int count = 0;
  bool cursor_seen = w.cursor() == nullptr;
  const Vop* prev = nullptr;
  for (const Vop* v = w.head(); v; v = v->next) {
    EXPECT_EQ(v->prev, prev);
    cursor_seen |= v == w.cursor();
    prev = v;
    count++;
  }
  EXPECT_EQ(w.tail(), prev);
  EXPECT_EQ(w.count(), count);
  EXPECT_TRUE(cursor_seen);
}

class OptimizerWindowTest : public RunRecordTest {
 protected:
  void SetUp() override {
    RunRecordTest::SetUp();
    f_ = tmpfile();
    out_ = std::make_unique<VopWriter>(f_, false);
  }
  void TearDown() override {
    fclose(f_);
    RunRecordTest::TearDown();
  }
  void add(Window& w, const char* name) {
    w.make_room();
    Vop* v = w.new_vop();
    v->name = name;
    w.append(v);
  }
  std::string written() {
    fflush(f_);
    std::string text = read_back(f_);
    fseek(f_, 0, SEEK_END);
    return text;
  }

  FILE* f_ = nullptr;
  std::unique_ptr<VopWriter> out_;
};

TEST_F(OptimizerWindowTest, HoldsItsLimitAndFlushes) {
  Window w(3, *out_);
  const char* names[] = {"a", "b", "c", "d", "e"};
  for (const char* n : names) {
    add(w, n);
    EXPECT_LE(w.count(), 3);
    expect_window_sound(w);
  }
  EXPECT_EQ(written(), "\ta\n\tb\n");
  EXPECT_EQ(w.head()->name, "c");
  w.tail()->comments.push_back("; late\n");
  w.tail()->add_debug_label("DBG1");
  w.tail()->add_debug_label("DBG2");
  w.flush_vops(true);
  EXPECT_EQ(written(), "\ta\n\tb\n\tc\n\td\n; late\n\te\nDBG2:\nDBG1:\n");
  EXPECT_EQ(w.head(), nullptr);
  EXPECT_EQ(w.tail(), nullptr);
  EXPECT_EQ(w.cursor(), nullptr);
  EXPECT_EQ(w.count(), 0);
  EXPECT_EQ(w.written(), 5);
  // Records given back are reused, cleared.
  Vop* again = w.new_vop();
  EXPECT_TRUE(again->name.empty() && again->comments.empty() && again->dbg_labels.empty());
}

struct TrimCase {
  const char* what;
  int keep;  // VOPs kept in front of the replacement
  long written, count, limit;
};

// Eight VOPs and one grown into three in a window of eight: the oldest beyond
// the kept ones are written out, and the limit is raised only for the rest.
const TrimCase kTrims[] = {
    {"one kept", 1, 3, 8, 8},
    {"six kept", 6, 2, 9, 9},
};

TEST_F(OptimizerWindowTest, TrimAfterAGrowingReplacement) {
  PassRun r(".replace\n\tgrow\n.by\n\tp\n\tq\n\tr\n");
  ASSERT_EQ(r.rules().passes[0].size(), 1u);
  const Rule& grow = r.rules().passes[0][0];
  for (const TrimCase& c : kTrims) {
    SCOPED_TRACE(c.what);
    Window w(8, *out_);
    for (int i = 0; i < 8; i++) add(w, "v");
    add(w, "grow");
    Bindings b;
    EXPECT_EQ(replace_vops(w, grow, 1, b, c.keep), 3);
    EXPECT_EQ(w.written(), c.written);
    EXPECT_EQ(w.count(), c.count);
    EXPECT_EQ(w.limit(), c.limit);
    EXPECT_EQ(w.cursor()->name, "p");
    expect_window_sound(w);
    w.flush_vops(true);
    EXPECT_EQ(w.limit(), 8);
    EXPECT_EQ(w.written(), 11);
  }
}

// Hand-made pieces: 'S' literal, 'V' variable (<a> or <b> by text[0], with
// an expression or none), 'N' number.
struct PieceSpec {
  char kind;
  const char* text;
  int32_t num;
  const char* rx;
};

struct SubCase {
  const char* what;
  std::string text;
  const char* bound_a;  // bound to <a> before the match, or null
  std::vector<PieceSpec> pieces;
  bool matches;
  const char* a_after;  // <a> after a match (null: unbound)
  const char* b_after;
};

const SubCase kSubCases[] = {
    {"literal whole", "r5", nullptr, {{'S', "r5", 0, nullptr}}, true, nullptr, nullptr},
    {"literal leaves a rest", "r5+2", nullptr, {{'S', "r5", 0, nullptr}}, false, nullptr, nullptr},
    {"literal longer than the text", "r", nullptr, {{'S', "r5", 0, nullptr}}, false, nullptr,
     nullptr},
    {"string marker skipped by a literal", "\"ab", nullptr, {{'S', "ab", 0, nullptr}}, true,
     nullptr, nullptr},
    {"string marker not bound", "\"ab", nullptr, {{'V', "a", 0, nullptr}}, true, "ab", nullptr},
    {"unbound variable takes the rest", "r5+2", nullptr,
     {{'V', "a", 0, nullptr}, {'S', "+2", 0, nullptr}}, false, nullptr, nullptr},
    {"unbound variable may take nothing", "r5", nullptr,
     {{'S', "r5", 0, nullptr}, {'V', "a", 0, nullptr}}, true, "", nullptr},
    {"bound text stands at the start", "r5+2", "r5",
     {{'V', "a", 0, nullptr}, {'S', "+2", 0, nullptr}}, true, "r5", nullptr},
    {"bound text differs", "r6+2", "r5", {{'V', "a", 0, nullptr}, {'S', "+2", 0, nullptr}}, false,
     nullptr, nullptr},
    {"bound text longer than the rest", "r5", "r5+", {{'V', "a", 0, nullptr}}, false, nullptr,
     nullptr},
    {"bound once, compared after", "r5,r5", nullptr,
     {{'V', "a", 0, "r[0-9]"}, {'S', ",", 0, nullptr}, {'V', "a", 0, nullptr}}, true, "r5",
     nullptr},
    {"second occurrence differs", "r5,r6", nullptr,
     {{'V', "a", 0, "r[0-9]"}, {'S', ",", 0, nullptr}, {'V', "a", 0, nullptr}}, false, nullptr,
     nullptr},
    {"expression match must begin at the start", "xr5", nullptr, {{'V', "a", 0, "r[0-9]"}}, false,
     nullptr, nullptr},
    {"expression after a literal", "xr5", nullptr,
     {{'S', "x", 0, nullptr}, {'V', "a", 0, "r[0-9]"}}, true, "r5", nullptr},
    {"caret anchors where the piece starts", "xr5", nullptr,
     {{'S', "x", 0, nullptr}, {'V', "a", 0, "^r"}, {'V', "b", 0, nullptr}}, true, "r", "5"},
    {"no backtracking into the expression", "r55", nullptr,
     {{'V', "a", 0, "r[0-9]*"}, {'S', "5", 0, nullptr}}, false, nullptr, nullptr},
    {"expression finds nothing", "r5", nullptr, {{'V', "a", 0, "q"}}, false, nullptr, nullptr},
    {"number by value, hexadecimal", "0x10", nullptr, {{'N', nullptr, 16, nullptr}}, true, nullptr,
     nullptr},
    {"number by value, octal", "020", nullptr, {{'N', nullptr, 16, nullptr}}, true, nullptr,
     nullptr},
    {"number by value, character", "'\\020'", nullptr, {{'N', nullptr, 16, nullptr}}, true,
     nullptr, nullptr},
    {"number of another value", "17", nullptr, {{'N', nullptr, 16, nullptr}}, false, nullptr,
     nullptr},
    {"number after leading blanks", " 16", nullptr, {{'N', nullptr, 16, nullptr}}, true, nullptr,
     nullptr},
    {"number must be the whole rest", "16+", nullptr, {{'N', nullptr, 16, nullptr}}, false,
     nullptr, nullptr},
    {"number read after a literal", "#16", nullptr,
     {{'S', "#", 0, nullptr}, {'N', nullptr, 16, nullptr}}, true, nullptr, nullptr},
    {"empty rest reads as 0", "#", nullptr, {{'S', "#", 0, nullptr}, {'N', nullptr, 0, nullptr}},
     true, nullptr, nullptr},
    {"number inside a string constant", "\"16", nullptr, {{'N', nullptr, 16, nullptr}}, true,
     nullptr, nullptr},
    // A zero byte would end the number's reading early: "5\0005" is not 5.
    {"zero byte in the rest of a number", std::string("\"5\0" "5", 4), nullptr,
     {{'N', nullptr, 5, nullptr}}, false, nullptr, nullptr},
};

class OptimizerMatchTest : public RunRecordTest {
 protected:
  Pieces make(const std::vector<PieceSpec>& specs) {
    Pieces pieces;
    for (const PieceSpec& s : specs) {
      if (s.kind == 'S') {
        pieces.push_back(TextPiece{s.text});
      } else if (s.kind == 'V') {
        rx_program* re = s.rx ? set_.keep(rx_compile(s.rx)) : nullptr;
        pieces.push_back(VarPiece{s.text[0] - 'a', re});
      } else {
        pieces.push_back(NumPiece{s.num});
      }
    }
    return pieces;
  }
  RuleSet set_;
};

TEST_F(OptimizerMatchTest, SubOperandPieces) {
  for (const SubCase& c : kSubCases) {
    SCOPED_TRACE(c.what);
    Bindings b;
    if (c.bound_a) b.bind(0, c.bound_a);
    bool got = sub_opnds_match(c.text, make(c.pieces), b);
    EXPECT_EQ(got, c.matches);
    if (!got) continue;
    for (auto [var, want] : {std::pair{0, c.a_after}, std::pair{1, c.b_after}}) {
      ASSERT_EQ(b.is_bound(var), want != nullptr);
      if (!want) continue;
      EXPECT_EQ(b.text(var), want);
      // A binding is a view into the text matched (or the earlier binding).
      if (!c.bound_a || var != 0) {
        EXPECT_GE(b.text(var).data(), c.text.data());
        EXPECT_LE(b.text(var).data() + b.text(var).size(), c.text.data() + c.text.size());
      }
    }
  }
  EXPECT_EQ(run.fatal_count, 0);
}

struct RuleCase {
  const char* what;
  bool name_known;
  const char* second_operand;  // of the push
  int matched;
};

TEST_F(OptimizerMatchTest, RuleMatchBindsViewsAndChangesNothingElse) {
  PassRun r(".replace\n\t<c>\t<a>,<b>\n\tpush\t<b>\n.by\n");
  const Rule& rule = r.rules().passes[0][0];
  const RuleCase cases[] = {
      {"matched in full", false, "\"r\0006", 2},
      {"name known to match", true, "\"r\0006", 2},
      {"bound text differs after a zero byte", false, "\"r\0007", 0},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.what);
    Vop mov, push;
    mov.name = "mov";
    mov.opnds = {{"r5", ','}, {std::string("\"r\0006", 4), 0}};
    push.name = "push";
    push.opnds = {{std::string(c.second_operand, 4), 0}};
    push.comments = {"; kept\n"};
    mov.next = &push;
    push.prev = &mov;
    auto snapshot = [](const Vop& v) {
      std::string s = v.name + '|';
      for (const VopOperand& o : v.opnds) s += o.text + static_cast<char>(o.delim) + '|';
      for (const std::string& t : v.comments) s += t;
      return s;
    };
    std::string before = snapshot(mov) + snapshot(push);
    Bindings b;
    b.bind(0, "stale");  // a try starts from no bindings
    EXPECT_EQ(match_rule(&mov, rule, b, false, c.name_known), c.matched);
    EXPECT_EQ(snapshot(mov) + snapshot(push), before);
    EXPECT_EQ(mov.next, &push);
    EXPECT_EQ(push.next, nullptr);
    EXPECT_EQ(mov.user, nullptr);
    if (!c.matched) continue;
    EXPECT_EQ(b.text(2).data(), mov.name.data());
    EXPECT_EQ(b.text(0).data(), mov.opnds[0].text.data());
    EXPECT_EQ(b.text(1), std::string_view("r\0006", 3));
    EXPECT_EQ(b.text(1).data(), mov.opnds[1].text.data() + 1);
    EXPECT_FALSE(b.is_bound(3));
  }
}

struct CountsCase {
  const char* what;
  PassCounts counts;
  const char* text;
};

const CountsCase kCounts[] = {
    {"nothing read, something written", {0, 2, 0, 0, 0},
     "0 VOPs read in\n2 VOPs written out (a 0.0% increase)\n0 optimizations made\n"},
    {"as many written as read", {1, 1, 0, 0, 0},
     "1 VOP read in\n1 VOP written out \n0 optimizations made\n"},
    {"every kind, singular and plural", {9, 8, 2, 1, 3},
     "9 VOPs read in\n8 VOPs written out (a 11.1% decrease)\n6 optimizations made\n"
     " - in 2 optimizations, the number of VOPs decreased\n"
     " - in 1 optimization, the number of VOPs remained the same\n"
     " - in 3 optimizations, the number of VOPs increased\n"},
    {"two thirds round up", {3, 1, 1, 0, 0},
     "3 VOPs read in\n1 VOP written out (a 66.7% decrease)\n1 optimization made\n"
     " - in 1 optimization, the number of VOPs decreased\n"},
    {"an increase", {4, 6, 0, 0, 1},
     "4 VOPs read in\n6 VOPs written out (a 50.0% increase)\n1 optimization made\n"
     " - in 1 optimization, the number of VOPs increased\n"},
};

TEST(OptimizerCountsTest, Wording) {
  for (const CountsCase& c : kCounts) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(capture_stdout([&] { print_counts(c.counts); }), c.text);
  }
  PassCounts sum = kCounts[2].counts;
  sum += kCounts[3].counts;
  EXPECT_EQ(sum.vops_read, 12);
  EXPECT_EQ(sum.vops_written, 9);
  EXPECT_EQ(sum.opt_fewer + sum.opt_same + sum.opt_more, 7);
}

}  // namespace
