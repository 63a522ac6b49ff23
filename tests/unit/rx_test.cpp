#include "rx/rx.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/diag.h"
#include "base/run.h"
#include "test_support.h"

namespace {

class RxTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_run_record(); }
  void TearDown() override {
    for (rx_program* prog : compiled_) rx_free(prog);
    reset_run_record();
  }

  rx_program* Compile(const char* exp) {
    const char* error = nullptr;
    rx_program* prog = rx_try_compile(exp, &error);
    EXPECT_NE(prog, nullptr) << exp << ": " << (error ? error : "");
    EXPECT_EQ(error, nullptr) << exp;
    if (prog) compiled_.push_back(prog);
    return prog;
  }

  // "[start,end)" of the match and of each group that took part, or "no match".
  std::string Search(const char* exp, const char* text, RxSteps* steps = nullptr) {
    rx_program* prog = Compile(exp);
    if (!prog) return "no program";
    const char* error = nullptr;
    int found = rx_try_search(prog, text, &error, steps);
    if (error) return std::string("error ") + error;
    if (!found) return "no match";
    std::string out;
    for (int i = 0; i < kRxGroups; i++) {
      if (!prog->group_start[i] && !prog->group_end[i]) continue;
      if (i > 0) out += " " + std::to_string(i) + "=";
      out +=
          "[" + Offset(prog->group_start[i], text) + "," + Offset(prog->group_end[i], text) + ")";
    }
    return out;
  }

  static std::string Offset(const char* p, const char* text) {
    return p ? std::to_string(p - text) : "null";
  }

  std::vector<rx_program*> compiled_;
};

// ---- Node programs

struct DumpCase {
  const char* exp;
  const char* dump;
};

const DumpCase kDumpCases[] = {
    // Base cases
    {"", "1:ALT>7 4:EMPTY>7 7:END"},
    {"a", "1:ALT>9 4:LITERAL(a)>9 9:END"},
    {"abc", "1:ALT>11 4:LITERAL(abc)>11 11:END"},
    {".", "1:ALT>7 4:ANY_CHAR>7 7:END"},
    {"^$", "1:ALT>10 4:AT_START>7 7:AT_END>10 10:END"},
    {"\\*", "1:ALT>9 4:LITERAL(*)>9 9:END"},
    {"a|b", "1:ALT>9 4:LITERAL(a)>17 9:ALT>17 12:LITERAL(b)>17 17:END"},
    {"a|", "1:ALT>9 4:LITERAL(a)>15 9:ALT>15 12:EMPTY>15 15:END"},
    // A single character under * or + is one repeat node.
    {"a*", "1:ALT>12 4:REPEAT0>12 7:LITERAL(a) 12:END"},
    {"a+", "1:ALT>12 4:REPEAT1>12 7:LITERAL(a) 12:END"},
    {".*", "1:ALT>10 4:REPEAT0>10 7:ANY_CHAR 10:END"},
    {"[ab]+", "1:ALT>13 4:REPEAT1>13 7:IN_SET(ab) 13:END"},
    {"\\.*", "1:ALT>12 4:REPEAT0>12 7:LITERAL(.) 12:END"},
    // A run gives its last character to the sign.
    {"abc*", "1:ALT>18 4:LITERAL(ab)>10 10:REPEAT0>18 13:LITERAL(c) 18:END"},
    // Wider atoms: loops of RX_ALT, RX_LOOP_BACK and RX_EMPTY.
    {"a?", "1:ALT>18 4:ALT>12 7:LITERAL(a)>15 12:ALT>15 15:EMPTY>18 18:END"},
    {"ab(c)*",
     "1:ALT>36 4:LITERAL(ab)>10 10:ALT>30 13:OPEN1>16 16:ALT>24 19:LITERAL(c)>24 24:CLOSE1>27 "
     "27:LOOP_BACK>10 30:ALT>33 33:EMPTY>36 36:END"},
    {"x(ab)+",
     "1:ALT>36 4:LITERAL(x)>9 9:OPEN1>12 12:ALT>21 15:LITERAL(ab)>21 21:CLOSE1>24 24:ALT>30 "
     "27:LOOP_BACK>9 30:ALT>33 33:EMPTY>36 36:END"},
    {"(a|b)",
     "1:ALT>26 4:OPEN1>7 7:ALT>15 10:LITERAL(a)>23 15:ALT>23 18:LITERAL(b)>23 23:CLOSE1>26 "
     "26:END"},
    // Bracket expressions
    {"[a-]", "1:ALT>10 4:IN_SET(a-)>10 10:END"},
    {"[]a]", "1:ALT>10 4:IN_SET(]a)>10 10:END"},
    {"[-a]", "1:ALT>10 4:IN_SET(-a)>10 10:END"},
    {"[^]a]", "1:ALT>10 4:NOT_IN_SET(]a)>10 10:END"},
    {"[a-d]", "1:ALT>12 4:IN_SET(abcd)>12 12:END"},
    {"[a-c-e]", "1:ALT>13 4:IN_SET(abcde)>13 13:END"},
    {"[--/]", "1:ALT>11 4:IN_SET(-./)>11 11:END"},
    {"[x-x]", "1:ALT>9 4:IN_SET(x)>9 9:END"},
    {"[^^]", "1:ALT>9 4:NOT_IN_SET(^)>9 9:END"},
    {"[a^[(]", "1:ALT>12 4:IN_SET(a^[()>12 12:END"},
    // Former bugs
    // A group opening with | lost its empty first alternative.
    {"(|a)",
     "1:ALT>24 4:OPEN1>7 7:ALT>13 10:EMPTY>21 13:ALT>21 16:LITERAL(a)>21 21:CLOSE1>24 24:END"},
};

TEST_F(RxTest, CompilesToNodeProgram) {
  for (const DumpCase& c : kDumpCases) {
    rx_program* prog = Compile(c.exp);
    if (!prog) continue;
    EXPECT_EQ(rx_dump(prog), c.dump) << "expression: " << c.exp;
  }
}

TEST_F(RxTest, ProgramBytes) {
  // Check byte, then ALT, LITERAL a, END with big-endian forward offsets.
  const unsigned char expected[] = {0x9C, 6, 0, 8, 8, 0, 5, 'a', 0, 0, 0, 0};
  rx_program* prog = Compile("a");
  ASSERT_NE(prog, nullptr);
  EXPECT_EQ(memcmp(prog->program, expected, sizeof expected), 0);
  // A loop back counts its offset backward: 27 - 10.
  prog = Compile("ab(c)*");
  ASSERT_NE(prog, nullptr);
  const unsigned char loop_back[] = {RX_LOOP_BACK, 0, 17};
  EXPECT_EQ(memcmp(prog->program + 27, loop_back, 3), 0);
}

TEST_F(RxTest, NineGroupsAreNumberedInOpeningOrder) {
  rx_program* prog = Compile("(((a)))(b)(c)(d)(e)(f)(g)");
  ASSERT_NE(prog, nullptr);
  std::string dump = rx_dump(prog);
  for (int n = 1; n <= 9; n++) {
    EXPECT_NE(dump.find("OPEN" + std::to_string(n)), std::string::npos) << n;
    EXPECT_NE(dump.find("CLOSE" + std::to_string(n)), std::string::npos) << n;
  }
  EXPECT_EQ(Search("(((a)))(b)(c)(d)(e)(f)(g)", "abcdefg"),
            "[0,7) 1=[0,1) 2=[0,1) 3=[0,1) 4=[1,2) 5=[2,3) 6=[3,4) 7=[4,5) 8=[5,6) 9=[6,7)")
      << "nine groups";
}

// ---- Search hints

struct HintCase {
  const char* exp;
  char start_char;
  int anchored;
  const char* must;  // null: none
};

const HintCase kHintCases[] = {
    {"abc", 'a', 0, nullptr},
    {"ab*", 'a', 0, nullptr},
    {"^DBG", '\0', 1, nullptr},
    {"^a|b", '\0', 0, nullptr},
    {"a|b", '\0', 0, nullptr},
    {".a", '\0', 0, nullptr},
    {"a?bc", '\0', 0, "bc"},
    {"x*abc", '\0', 0, "abc"},
    {"x*ab.cd", '\0', 0, "cd"},  // a later run of equal length wins
    {"x*abc.d", '\0', 0, "abc"},
    {"(a|b)?cd", '\0', 0, "cd"},
    {"(x*a)bcd", '\0', 0, "bcd"},  // a group whose alternative starts with a repeat
    {"(xa)bcd", '\0', 0, nullptr},
    {"x+abc", '\0', 0, nullptr},  // + does not start with a repeat
    {"x*(long)b", '\0', 0, "b"},  // runs inside a group are not visited
    {"x*", '\0', 0, nullptr},
};

TEST_F(RxTest, SearchHints) {
  for (const HintCase& c : kHintCases) {
    rx_program* prog = Compile(c.exp);
    if (!prog) continue;
    EXPECT_EQ(prog->start_char, c.start_char) << c.exp;
    EXPECT_EQ(prog->anchored != 0, c.anchored != 0) << c.exp;
    if (c.must) {
      EXPECT_EQ(std::string(prog->must_text ? prog->must_text : "(null)", prog->must_len),
                c.must)
          << c.exp;
    } else {
      EXPECT_EQ(prog->must_text, nullptr) << c.exp;
      EXPECT_EQ(prog->must_len, 0) << c.exp;
    }
  }
}

// ---- Compile errors

struct ErrorCase {
  const char* exp;
  const char* error;
};

const ErrorCase kErrorCases[] = {
    {"(a*)*", "*+ operand could be empty"},
    {"(a|)+", "*+ operand could be empty"},
    {"^*", "*+ operand could be empty"},
    {"$+", "*+ operand could be empty"},
    {"()*", "*+ operand could be empty"},
    {"a**", "nested *?+"},
    {"a*?", "nested *?+"},
    {"(ab)+*", "nested *?+"},
    {"^?+", "nested *?+"},
    {"*a", "?+* follows nothing"},
    {"a|+", "?+* follows nothing"},
    {"(?)", "?+* follows nothing"},
    {"[z-a]", "invalid [] range"},
    {"[ab-a]", "invalid [] range"},
    {"[a", "unmatched []"},
    {"[]", "unmatched []"},
    {"[^]", "unmatched []"},
    {"[a-", "unmatched []"},
    {"(a", "unmatched ()"},
    {"((a)", "unmatched ()"},
    {"a)", "unmatched ()"},
    {")", "unmatched ()"},
    {"(a))", "unmatched ()"},
    {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", "too many ()"},
    {"((((((((((a))))))))))", "too many ()"},
    {"\\", "trailing \\"},
    {"ab\\", "trailing \\"},
    {"[\\]\\", "trailing \\"},
};

TEST_F(RxTest, CompileErrors) {
  for (const ErrorCase& c : kErrorCases) {
    const char* error = nullptr;
    rx_program* prog = rx_try_compile(c.exp, &error);
    EXPECT_EQ(prog, nullptr) << c.exp;
    EXPECT_STREQ(error, c.error) << c.exp;
    rx_free(prog);
  }
  const char* error = nullptr;
  EXPECT_EQ(rx_try_compile(nullptr, &error), nullptr);
  EXPECT_STREQ(error, "NULL argument");
}

TEST_F(RxTest, ProgramSizeLimit) {
  // A run of n characters costs n + 11 bytes: check byte, ALT, LITERAL, NUL, END.
  std::string fits(32755, 'a');
  EXPECT_NE(Compile(fits.c_str()), nullptr);
  std::string too_big(32756, 'a');
  const char* error = nullptr;
  EXPECT_EQ(rx_try_compile(too_big.c_str(), &error), nullptr);
  EXPECT_STREQ(error, "regexp too big");
}

// ---- Matching

struct SearchCase {
  const char* exp;
  const char* text;
  const char* result;
};

const SearchCase kSearchCases[] = {
    // Base cases
    {"abc*", "ab", "[0,2)"},
    {"abc*", "abc", "[0,3)"},
    {"abc*", "abccc", "[0,5)"},
    {"abc*", "xabd", "[1,3)"},
    {"abc*", "ac", "no match"},
    {"ab(c)*", "abccc", "[0,5) 1=[4,5)"},
    {"ab(c)*", "ab", "[0,2)"},
    {"b*", "xyz", "[0,0)"},
    {"", "", "[0,0)"},
    {"", "abc", "[0,0)"},
    {"^DBG", "DBG_1", "[0,3)"},
    {"^DBG", "xDBG", "no match"},
    {"a^b", "ab", "no match"},
    {"a$b", "ab", "no match"},
    {"a$b", "a$b", "no match"},
    {"a$", "aba", "[2,3)"},
    {"$", "abc", "[3,3)"},
    {"x|$", "abc", "[3,3)"},
    {"^", "abc", "[0,0)"},
    // First alternative, not longest
    {"(and.b)|and", "and.b", "[0,5) 1=[0,5)"},
    {"and|(and.b)", "and.b", "[0,3)"},
    {"(a|ab)(c|bcd)", "abcd", "[0,4) 1=[0,1) 2=[1,4)"},
    {"(a|ab)c", "abc", "[0,3) 1=[0,2)"},
    {"x(a|b)*y", "xabay", "[0,5) 1=[3,4)"},
    {"(jeq|jne|jz|jnz|jn)", "jnz", "[0,3) 1=[0,3)"},
    {"(jeq|jne|jz|jn|jnz)", "jnz", "[0,2) 1=[0,2)"},
    // Greedy repetition gives back one character at a time
    {"a*ab", "aaab", "[0,4)"},
    {"a+a", "aaa", "[0,3)"},
    {"a+a", "a", "no match"},
    {".*b", "abcb", "[0,4)"},
    {".*", "abc", "[0,3)"},
    {"[0-9]+", "r12+", "[1,3)"},
    {"[^,]*,", "r5,r6", "[0,3)"},
    {"#?[0-9]+", "@r4 #12", "[2,3)"},
    {"a?b", "b", "[0,1)"},
    {"a?ab", "ab", "[0,2)"},
    {"(ab)+", "xababa", "[1,5) 1=[3,5)"},
    {"(ab)+c", "ababab", "no match"},
    {"(a|b)+b", "aab", "[0,3) 1=[1,2)"},
    {"(a+)+b", "aaab", "[0,4) 1=[0,3)"},
    {"(.)*", "xyz", "[0,3) 1=[2,3)"},
    {"((a)|b)+", "ab", "[0,2) 1=[1,2) 2=[0,1)"},  // group 2 keeps the earlier iteration
    {"(a)?b", "b", "[0,1)"},
    {"(a*)?b", "b", "[0,1) 1=[0,0)"},
    {"()", "x", "[0,0) 1=[0,0)"},
    {"[]]+", "a]]b", "[1,3)"},
    {"[a-]+", "x-a-y", "[1,4)"},
    {"\\(a\\)", "f(a)", "[1,4)"},
    {"\\\\", "a\\b", "[1,2)"},
    {"x*abc", "abxabd", "no match"},
    {"x*abc", "zxabc", "[1,5)"},
    {"[^a]", "aaa", "no match"},
    {"a.c", "ac", "no match"},
    {"\xe9+", "a\xe9\xe9", "[1,3)"},
    {"[\xe0-\xef]", "z\xe5", "[1,2)"},
    {"a$b", "a", "no match"},
    // Former bugs
    {"(|a)", "a", "[0,0) 1=[0,0)"},
    {"x(|a)b", "xab", "[0,3) 1=[1,2)"},
};

TEST_F(RxTest, Search) {
  for (const SearchCase& c : kSearchCases)
    EXPECT_EQ(Search(c.exp, c.text), c.result) << "expression " << c.exp << " text " << c.text;
}

// A search that only takes a match at the first character agrees with the
// full search whenever that search's leftmost match begins there.
TEST_F(RxTest, SearchAtStartAgreesWithSearchBeginningThere) {
  for (const SearchCase& c : kSearchCases) {
    rx_program* prog = Compile(c.exp);
    if (!prog) continue;
    const char* error = nullptr;
    bool found = rx_try_search(prog, c.text, &error) && prog->group_start[0] == c.text;
    std::string full = found ? Search(c.exp, c.text) : "no match";
    bool at_start = rx_search_at_start(prog, c.text);
    std::string got = "no match";
    if (at_start) {
      got.clear();
      for (int i = 0; i < kRxGroups; i++) {
        if (!prog->group_start[i] && !prog->group_end[i]) continue;
        if (i > 0) got += " " + std::to_string(i) + "=";
        got += "[" + Offset(prog->group_start[i], c.text) + "," +
               Offset(prog->group_end[i], c.text) + ")";
      }
    }
    EXPECT_EQ(got, full) << "expression " << c.exp << " text " << c.text;
  }
  // Positions after the first are never tried.
  rx_program* prog = Compile("b");
  EXPECT_FALSE(rx_search_at_start(prog, "ab"));
  EXPECT_TRUE(rx_search_at_start(prog, "ba"));
}

// Pairs of node and position one search enters: the hints rule out start
// positions and the quick test rules out tries after a repetition.
struct StepCase {
  const char* exp;
  const char* text;
  long steps;
};

const StepCase kStepCases[] = {
    {"^DBG", "xxDBG", 3},  // anchored: ALT, AT_START, LITERAL at position 0 only
    {"^DBG", "DBG", 4},
    {"abc", "xaxxab", 4},  // start_char: ALT and LITERAL at the two a's only
    {"x*abc", "zzzz", 0},  // must_text missing: no try at all
    // 4 nodes at each of 5 positions, the repetition at each of them once and
    // never the b: no try before the c's
    {"(a*b)", "aaac", 25},
    {"(a*)", "aa", 9},  // matches at the first position
};

TEST_F(RxTest, StartPositionsAndQuickTest) {
  for (const StepCase& c : kStepCases) {
    RxSteps steps;
    Search(c.exp, c.text, &steps);
    EXPECT_EQ(steps.taken, c.steps) << c.exp << " on " << c.text;
  }
}

// ---- Damaged programs

struct DamageCase {
  const char* exp;
  int offset;  // byte to overwrite
  int value;
  const char* error;
};

const DamageCase kDamageCases[] = {
    {"a", 0, 0x9B, "corrupted program"},
    {"a", 4, 20, "memory corruption"},       // RX_GROUP_OPEN + 0 is no node
    {"a", 4, 30, "memory corruption"},
    {"a", 4, 12, "memory corruption"},
    {"ab", 6, 0, "corrupted pointers"},      // LITERAL's next offset cleared
    {"a*", 7, RX_AT_START, "internal foulup"},  // repeat over an anchor
};

TEST_F(RxTest, DamagedPrograms) {
  for (const DamageCase& c : kDamageCases) {
    rx_program* prog = Compile(c.exp);
    ASSERT_NE(prog, nullptr);
    prog->program[c.offset] = static_cast<char>(c.value);
    const char* error = nullptr;
    EXPECT_EQ(rx_try_search(prog, "aab", &error), 0) << c.exp;
    EXPECT_STREQ(error, c.error) << c.exp << " offset " << c.offset;
  }
  const char* error = nullptr;
  EXPECT_EQ(rx_try_search(nullptr, "a", &error), 0);
  EXPECT_STREQ(error, "NULL parameter");
  EXPECT_EQ(rx_try_search(Compile("a"), nullptr, &error), 0);
  EXPECT_STREQ(error, "NULL parameter");
}

TEST_F(RxTest, StepLimitStopsBacktracking) {
  rx_program* prog = Compile("(a+)+b");
  ASSERT_NE(prog, nullptr);
  RxSteps steps{100};
  const char* error = nullptr;
  EXPECT_EQ(rx_try_search(prog, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", &error, &steps), 0);
  EXPECT_STREQ(error, "step limit reached");
  EXPECT_EQ(steps.taken, 101);
}

// Former bugs
// The matcher recursed once per iteration of a group, so the stack ran out
// near 43,500 characters, and it tried a node at a position once per way of
// getting there: 2^40 ways for (a|a)*b against 40 a's.
TEST_F(RxTest, LongTextsTakeStepsBoundedByTextTimesProgram) {
  const std::string as(43500, 'a');
  std::string abs;
  for (int i = 0; i < 21750; i++) abs += "ab";
  const struct {
    const char* exp;
    std::string text;
    const char* result;
  } cases[] = {
      {"(a)*", as, "[0,43500) 1=[43499,43500)"},
      {"(a|b)*", abs, "[0,43500) 1=[43499,43500)"},
      {"(a)+", as, "[0,43500) 1=[43499,43500)"},
      {"(a|a)*b", std::string(40, 'a') + "c", "no match"},
      // A b in the text: the hint that every match holds one tries them all.
      {"(a|a)*b", std::string(40, 'a') + "cb", "[41,42)"},
      {"(a|a)*b", std::string(4000, 'a') + "cb", "[4001,4002)"},
  };
  for (const auto& c : cases) {
    RxSteps steps;
    EXPECT_EQ(Search(c.exp, c.text.c_str(), &steps), c.result) << c.exp;
    EXPECT_LE(steps.taken, static_cast<long>(c.text.size() + 1) * compiled_.back()->size)
        << c.exp;
  }
}

// ---- Reporting: the message, then the end of the run with status -1

class RxDeathTest : public RxTest {
 protected:
  void SetUp() override {
    RxTest::SetUp();
    static char line[] = "xx\t<d/(jeq|jne/> r5\n";
    src_.cur_file_name = "peep.rls";
    src_.stmt_line = 12;
    src_.line_buf = line;
    src_.line_len = static_cast<int>(strlen(line));
    src_.line_pos = 17;
    set_message_source(&src_);
  }
  SourceLine src_;
};

const char kEcho[] = "xx\t<d/(jeq|jne/> r5\n  \t             |\n";

TEST_F(RxDeathTest, CompileErrorEndsRun) {
  EXPECT_EXIT(
      {
        stdout_to_stderr();
        rx_compile("(jeq|jne");
      },
      ::testing::ExitedWithCode(255),
      ::testing::Eq(std::string(kEcho) +
                    "\"peep.rls\", line 12: FATAL error in regexp: unmatched ()\n"));
}

TEST_F(RxDeathTest, NullExpressionEndsRun) {
  EXPECT_EXIT(
      {
        stdout_to_stderr();
        rx_compile(nullptr);
      },
      ::testing::ExitedWithCode(255),
      ::testing::Eq(std::string(kEcho) +
                    "\"peep.rls\", line 12: FATAL error in regexp: NULL argument\n"));
}

TEST_F(RxDeathTest, DamagedProgramEndsRun) {
  rx_program* prog = rx_compile("a");
  prog->program[0] = 0;
  EXPECT_EXIT(
      {
        stdout_to_stderr();
        rx_search(prog, "a");
      },
      ::testing::ExitedWithCode(255),
      ::testing::Eq(std::string(kEcho) +
                    "\"peep.rls\", line 12: FATAL error in regexp: corrupted program\n"));
  rx_free(prog);
}

TEST_F(RxTest, WrappersReturnOnSuccess) {
  reset_run_record();
  rx_program* prog = rx_compile("r[0-9]+");
  ASSERT_NE(prog, nullptr);
  EXPECT_EQ(rx_search(prog, "mov r12,r4"), 1);
  EXPECT_EQ(prog->group_end[0] - prog->group_start[0], 3);
  EXPECT_EQ(rx_search(prog, "mov @sp"), 0);
  EXPECT_EQ(run.fatal_count, 0);
  rx_free(prog);
}

}  // namespace

// Case folding rewrites the expression; what the rewrite matches is the
// engine's own answer, so both are checked.
TEST_F(RxTest, FoldCaseRewritesLettersAndSets) {
  const struct {
    const char* exp;
    const char* folded;
    const char* text;  // matched whole by the folded expression
  } cases[] = {
      {"mov", "[mM][oO][vV]", "MoV"},
      {"\\.w|", "\\.[wW]|", ".W"},
      {"a\\B1", "[aA][Bb]1", "Ab1"},
      {"r1[0-5]", "[rR]1[012345]", "R15"},
      {"[a-c]x*", "[ABCabc][xX]*", "CxX"},
      {"[^a]", "[^Aa]", "b"},
      {"[]a-]", "[]Aa-]", "-"},
      {"[^]b]", "[^]Bb]", "c"},
      {"[\\^]", "[\\^]", "^"},  // no escapes in a set: the backslash is one of it
      {"[^]", "[^]", nullptr},  // not closed: left for the compiler
  };
  for (const auto& c : cases) {
    std::string folded = rx_fold_case(c.exp);
    EXPECT_EQ(folded, c.folded) << c.exp;
    if (c.text) {
      EXPECT_EQ(Search(folded.c_str(), c.text), "[0," + std::to_string(strlen(c.text)) + ")") << c.exp;
    }
  }
  EXPECT_EQ(Search(rx_fold_case("[^a]").c_str(), "A"), "no match");
}
