#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>
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

using namespace std::literals;

std::string read_back(FILE* f) {
  std::string text;
  rewind(f);
  for (int c; (c = getc(f)) != EOF;) text += static_cast<char>(c);
  fclose(f);
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

  std::string optimize(const std::string& input) {
    input_lines_.assign(split_lines(input));
    sc_.open_lines(input_lines_.table(), "test.asm");
    run.optimizing_phase = true;
    sc_.activate_syntax(rules_.vop_syntax);
    FILE* f = tmpfile();
    VopWriter out(f, rules_.cstyle);
    Pass p(rules_, 0, reader_, sc_, out, options, loop_warned);
    p.read_vops();
    counts = p.counts();
    return read_back(f);
  }
  const Rule& first_rule() const { return rules_.passes[0].at(0); }

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

struct PassCase {
  const char* what;
  const char* rules;
  const char* input;
  const char* output;
};

const PassCase kPassCases[] = {
    {"pattern 0 matches an empty operand", ".replace\n\tmov\t0,<a>\n.by\n\tclr\t<a>\n",
     "\tmov\t,r5\n\tmov\t0x0,r6\n\tmov\t'\\0',r7\n", "\tclr\tr5\n\tclr\tr6\n\tclr\tr7\n"},
    {"a name of a text and a variable", ".replace\n\tj<a>\t<b>\n.by\n\tb<a>\t<b>\n",
     "\tjeq\tL1\n\tjmp\tL2\n", "\tbeq\tL1\n\tbmp\tL2\n"},
    {"a name variable bound whole, then compared", ".replace\n\t<a>\tr1\n\t<a>\tr2\n.by\n\t<a>2\n",
     "\tpush\tr1\n\tpush\tr2\n\tpop\tr1\n\tpush\tr2\n", "\tpush2\n\tpop\tr1\n\tpush\tr2\n"},
    {"debug labels of several matched VOPs keep the order of their VOPs",
     ".replace\n\ta\n\tb\n\tc\n.by\n\tabc\n", "\ta\nDBG1:\nDBG2:\n\tb\nDBG3:\n\tc\n",
     "\tabc\nDBG2:\nDBG1:\nDBG3:\n"},
    {"a replacement name is cut at a zero byte", ".replace\n\tnm\t<a>\n.by\n\t<a>x\n",
     "\tnm\t\"ab\\000c\"\n", "\tab\n"},
    {"zero byte in a string constant", ".replace\n\tnone\n.by\n", "\t.byte\t\"a\\000b\\n\\\"\"\n",
     "\t.byte\t\"a\\000b\\n\\\"\"\n"},
    {"labels are held where a rule names one; a dot label counts alone on its line",
     ".replace\n\tjmp\t<l>\n<l:>\n.by\n<l:>\n",
     "\tjmp\tx\nx:\n\tjmp\t.y\n.y: ; c\n\tjmp\t.z\n.z: nop\n\tjmp\tw\n.v:\nw:\nDBG1:\n",
     "x:\n.y: ; c\n\tjmp\t.z\n.z: nop\n\tjmp\tw\n.v:\nw:\nDBG1:\n"},
    {"a condition compares numbers by value and texts up to case",
     ".replace\n\tmov\t<a>,<b>\n\tmov\t<b>,<a>\n<a!=b>\n.by\n\tmov\t<a>,<b>\n",
     "\tmov\tr1,R1\n\tmov\tR1,r1\n\tmov\t1,0x1\n\tmov\t0x1,1\n\tmov\t1,2\n\tmov\t2,1\n",
     "\tmov\tr1,R1\n\tmov\tR1,r1\n\tmov\t1,0x1\n\tmov\t0x1,1\n\tmov\t1,2\n"},
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

TEST_F(OptimizerPassTest, LoopGuardWarnsOncePerRunAndGivesUp) {
  PassRun r(".replace\n\tspin\t<a>\n.by\n\tspin\t<a>\n");
  std::string out;
  EXPECT_EQ(capture_stdout([&] { out = r.optimize("\tspin\tr1\n\tspin\tr2\n"); }),
            "\tspin\tr1\n"
            "\t    \t |\n"
            "\"test.asm\", line 1: Warning: Possible infinite loop detected while optimizing\n"
            "\"test.asm\", line 1: Warning: Bad replacement rules may be causing this loop\n");
  EXPECT_EQ(out, "\tspin\tr1\n\tspin\tr2\n");
  // 100 replacements at each reach, for each VOP.
  EXPECT_EQ(r.counts.opt_same, 200);
  // A later pass of the same run loops as long, silently.
  EXPECT_EQ(capture_stdout([&] { r.optimize("\tspin\tr3\n"); }), "");
  EXPECT_EQ(r.counts.opt_same, 100);
  EXPECT_EQ(run.warning_count, 2);
}

TEST_F(OptimizerPassTest, OptimizerTraces) {
  PassRun r(".replace\n\tpush\t<a>\n.by\n\tnop\n");
  r.options.opt_debug_level = 2;
  EXPECT_EQ(capture_stdout([&] { r.optimize("\tpush\tr5\n"); }),
            "VOP name is push\nDisplay opargs\n\tArgument 0 is \"r5\", delim is '\0'\n"s +
                "Display opargs end\nbefore optimizing\n\tpush\tr5\n"
                "trying to match push\nMATCHED IT!\nafter optimization 1\n\tnop\n"
                "trying to match nop\n");
}

// The window's links agree in both directions, its count is right, and the
// cursor (when set) stands in it.
void expect_window_sound(const Window& w) {
  int count = 0;
  bool cursor_seen = w.cursor() == nullptr;
  const Vop* prev = nullptr;
  for (const Vop* v = w.head(); v; prev = v, v = v->next, count++) {
    EXPECT_EQ(v->prev, prev);
    cursor_seen |= v == w.cursor();
  }
  EXPECT_TRUE(w.tail() == prev && w.count() == count && cursor_seen);
}

void add(Window& w, const char* name) {
  w.make_room();
  Vop* v = w.new_vop();
  v->name = name;
  w.append(v);
}

using OptimizerWindowTest = RunRecordTest;

TEST_F(OptimizerWindowTest, HoldsItsLimitAndFlushes) {
  FILE* f = tmpfile();
  VopWriter out(f, false);
  Window w(3, out);
  const char* names[] = {"a", "b", "c", "d", "e"};
  for (const char* n : names) {
    add(w, n);
    EXPECT_LE(w.count(), 3);
    expect_window_sound(w);
  }
  EXPECT_TRUE(w.written() == 2 && w.head()->name == "c");
  w.tail()->comments.push_back("; late\n");
  w.tail()->add_debug_label("DBG1");
  w.tail()->add_debug_label("DBG2");
  w.flush_vops(true);
  fflush(f);
  EXPECT_EQ(read_back(f), "\ta\n\tb\n\tc\n\td\n; late\n\te\nDBG2:\nDBG1:\n");
  EXPECT_TRUE(!w.head() && !w.tail() && !w.cursor() && w.count() == 0 && w.written() == 5);
  // Records given back are reused, cleared.
  Vop* again = w.new_vop();
  EXPECT_TRUE(again->name.empty() && again->comments.empty() && again->dbg_labels.empty());
}

// Eight VOPs and one grown into three in a window of eight: the oldest beyond
// the `keep` in front of the replacement are written out, and the limit is
// raised only for the rest.
TEST_F(OptimizerWindowTest, TrimAfterAGrowingReplacement) {
  PassRun r(".replace\n\tgrow\n.by\n\tp\n\tq\n\tr\n");
  FILE* f = tmpfile();
  VopWriter out(f, false);
  for (auto [keep, written, count] : {std::tuple{1, 3, 8}, std::tuple{6, 2, 9}}) {
    SCOPED_TRACE(keep);
    Window w(8, out);
    for (int i = 0; i < 8; i++) add(w, "v");
    add(w, "grow");
    Bindings b;
    EXPECT_EQ(replace_vops(w, r.first_rule(), 1, b, keep), 3);
    EXPECT_EQ(w.written(), written);
    EXPECT_EQ(w.count(), count);
    EXPECT_EQ(w.limit(), std::max(count, 8));
    EXPECT_EQ(w.cursor()->name, "p");
    expect_window_sound(w);
    w.flush_vops(true);
    EXPECT_TRUE(w.limit() == 8 && w.written() == 11);
  }
  fclose(f);
}

// Pieces in short: `<a>` a variable, `<a/exp/>` one with an expression (the
// expression as given, anchors and all), `=16` a number, anything else a
// literal; separated by blanks.
struct SubCase {
  const char* what;
  std::string text;
  const char* bound_a;  // bound to <a> before the match, or null
  const char* pieces;
  bool matches;
  const char *a_after, *b_after;  // after a match (null: unbound)
};

const SubCase kSubCases[] = {
    {"literal leaves a rest", "r5+2", nullptr, "r5", false, nullptr, nullptr},
    {"literal longer than the text", "r", nullptr, "r5", false, nullptr, nullptr},
    {"string marker skipped by a literal", "\"ab", nullptr, "ab", true, nullptr, nullptr},
    {"string marker not bound", "\"ab", nullptr, "<a>", true, "ab", nullptr},
    {"unbound variable takes the rest", "r5+2", nullptr, "<a> +2", false, nullptr, nullptr},
    {"unbound variable may take nothing", "r5", nullptr, "r5 <a>", true, "", nullptr},
    {"bound text differs", "r6+2", "r5", "<a> +2", false, nullptr, nullptr},
    {"bound text longer than the rest", "r5", "r5+", "<a>", false, nullptr, nullptr},
    {"bound once, compared after", "r5,r5", nullptr, "<a/r[0-9]/> , <a>", true, "r5", nullptr},
    {"second occurrence differs", "r5,r6", nullptr, "<a/r[0-9]/> , <a>", false, nullptr, nullptr},
    {"expression must match at the start", "xr5", nullptr, "<a/r[0-9]/>", false, nullptr, nullptr},
    {"expression after a literal", "xr5", nullptr, "x <a/r[0-9]/>", true, "r5", nullptr},
    {"caret anchors where the piece starts", "xr5", nullptr, "x <a/^r/> <b>", true, "r", "5"},
    {"no backtracking into the expression", "r55", nullptr, "<a/r[0-9]*/> 5", false, nullptr,
     nullptr},
    {"number by value, character", "'\\020'", nullptr, "=16", true, nullptr, nullptr},
    {"number after leading blanks", " 16", nullptr, "=16", true, nullptr, nullptr},
    {"number must be the whole rest", "16+", nullptr, "=16", false, nullptr, nullptr},
    {"number read after a literal", "#16", nullptr, "# =16", true, nullptr, nullptr},
    {"empty rest reads as 0", "#", nullptr, "# =0", true, nullptr, nullptr},
    {"number inside a string constant", "\"16", nullptr, "=16", true, nullptr, nullptr},
    // A zero byte would end the number's reading early: "5\0005" is not 5.
    {"zero byte in the rest of a number", "\"5\0005"s, nullptr, "=5", false, nullptr, nullptr},
};

class OptimizerMatchTest : public RunRecordTest {
 protected:
  Pieces make(const char* notation) {
    Pieces pieces;
    std::istringstream words(notation);
    for (std::string w; words >> w;) {
      if (w[0] == '<') {
        std::string exp = w.size() > 3 ? w.substr(3, w.size() - 5) : "";
        rx_program* re = exp.empty() ? nullptr : set_.keep(rx_compile(exp.c_str()));
        pieces.push_back(VarPiece{w[1] - 'a', re});
      } else if (w[0] == '=') {
        pieces.push_back(NumPiece{std::stoi(w.substr(1))});
      } else {
        pieces.push_back(TextPiece{set_.intern(w)});
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

TEST_F(OptimizerMatchTest, RuleMatchBindsViewsAndChangesNothingElse) {
  PassRun r(".replace\n\t<c>\t<a>,<b>\n\tpush\t<b>\n.by\n");
  Vop mov, push;
  mov.name = "mov";
  mov.opnds = {{"r5", ','}, {"\"r\0006"s, 0}};
  push.name = "push";
  push.opnds = {{"\"r\0006"s, 0}};
  push.comments = {"; kept\n"};
  mov.next = &push;
  push.prev = &mov;
  for (bool name_known : {false, true}) {
    SCOPED_TRACE(name_known);
    Bindings b;
    b.bind(0, "stale");  // a try starts from no bindings
    EXPECT_EQ(match_rule(&mov, r.first_rule(), b, false, name_known), 2);
    EXPECT_EQ(b.text(2).data(), mov.name.data());
    EXPECT_EQ(b.text(0).data(), mov.opnds[0].text.data());
    EXPECT_EQ(b.text(1), "r\0006"sv);
    EXPECT_EQ(b.text(1).data(), mov.opnds[1].text.data() + 1);
  }
  push.opnds[0].text[3] = '7';  // differs after the zero byte
  Bindings b;
  EXPECT_EQ(match_rule(&mov, r.first_rule(), b, false), 0);
  // Nothing but the bindings changed.
  EXPECT_EQ(mov.opnds[1].text, "\"r\0006"s);
  EXPECT_EQ(push.opnds[0].text, "\"r\0007"s);
  EXPECT_TRUE(mov.opnds[0].text == "r5" && mov.opnds[0].delim == ',' && mov.name == "mov");
  EXPECT_TRUE(push.comments.size() == 1 && mov.next == &push && !push.next && !mov.user);
}

const std::pair<PassCounts, const char*> kCounts[] = {
    {{9, 8, 2, 1, 3},
     "9 VOPs read in\n8 VOPs written out (a 11.1% decrease)\n6 optimizations made\n"
     " - in 2 optimizations, the number of VOPs decreased\n"
     " - in 1 optimization, the number of VOPs remained the same\n"
     " - in 3 optimizations, the number of VOPs increased\n"},
    // Two thirds round up.
    {{3, 1, 1, 0, 0},
     "3 VOPs read in\n1 VOP written out (a 66.7% decrease)\n1 optimization made\n"
     " - in 1 optimization, the number of VOPs decreased\n"},
};

TEST(OptimizerCountsTest, Wording) {
  for (const auto& [counts, text] : kCounts)
    EXPECT_EQ(capture_stdout([&] { print_counts(counts); }), text);
}

}  // namespace
