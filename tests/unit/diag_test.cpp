#include "base/diag.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "base/files.h"
#include "base/options.h"
#include "base/run.h"
#include "test_support.h"

namespace {

class DiagTest : public ResetModulesTest {
 protected:
  void reset_all() override {
    reset_all_modules();
    strcpy(run.prog_name, "qvpeep");
  }

  // Points the message location at `line` of rules.rls, read up to `pos`.
  void at_line(const char* text, int pos) {
    line_ = text;
    src.cur_file_name = "rules.rls";
    src.stmt_line = 7;
    src.line_buf = line_.data();
    src.line_len = static_cast<int>(line_.size());
    src.line_pos = pos;
  }

  std::string line_;
};

struct ReportCase {
  const char* what;
  void (*report)();
  const char* output;
  int fatal, warnings;
};

// The line "\tmov\tr5,r6\n" read up to its seventh character.
const ReportCase kReports[] = {
    {"error here", [] { report_error_here("Bad operand %s", "r5"); },
     "\tmov\tr5,r6\n\t   \t |\n\"rules.rls\", line 7: Bad operand r5\n", 1, 0},
    {"error", [] { report_error("Missing %s", ".by"); }, "\"rules.rls\", line 7: Missing .by\n", 1,
     0},
    {"warning here", [] { report_warning_here("Unknown escape %c", 'q'); },
     "\tmov\tr5,r6\n\t   \t |\n\"rules.rls\", line 7: Warning: Unknown escape q\n", 0, 1},
    {"warning", [] { report_warning("Bad replacement rules may be causing this loop"); },
     "\"rules.rls\", line 7: Warning: Bad replacement rules may be causing this loop\n", 0, 1},
    {"internal", [] { report_internal("replace_vops() - unassigned variable operand"); },
     "\tmov\tr5,r6\n\t   \t |\n\"rules.rls\", line 7: Internal error - replace_vops() - "
     "unassigned variable operand\n",
     1, 0},
};

TEST_F(DiagTest, ReportsPrintLocationEchoAndCount) {
  for (const ReportCase& c : kReports) {
    SCOPED_TRACE(c.what);
    reset_all();
    at_line("\tmov\tr5,r6\n", 7);
    EXPECT_EQ(capture_stdout(c.report), c.output);
    EXPECT_EQ(diag.fatal_count, c.fatal);
    EXPECT_EQ(diag.warning_count, c.warnings);
  }
}

TEST_F(DiagTest, WarningsOffPrintAndCountNothing) {
  opts.warnings_off = true;
  at_line("x\n", 1);
  std::string out = capture_stdout([] {
    report_warning_here("one");
    report_warning("two");
  });
  EXPECT_EQ(out, "");
  EXPECT_EQ(diag.warning_count, 0);
  // Errors are still reported under -w.
  EXPECT_EQ(capture_stdout([] { report_error("three"); }), "\"rules.rls\", line 7: three\n");
}

struct EchoCase {
  const char* line;
  int pos;
  const char* output;
};

const EchoCase kEchoes[] = {
    // A line without its newline (the last of a file) gets one.
    {"abc", 1, "abc\n|\n"},
    {"abc\n", 4, "abc\n   |\n"},
    // Tabs stay tabs in the marker line so that the bar lines up.
    {"\t\tjmp\tL1\n", 8, "\t\tjmp\tL1\n\t\t   \t |\n"},
    {"\n", 0, "\n|\n"},
};

TEST_F(DiagTest, EchoLineMarksLastConsumedCharacter) {
  for (const EchoCase& c : kEchoes) {
    SCOPED_TRACE(c.line);
    at_line(c.line, c.pos);
    EXPECT_EQ(capture_stdout(echo_line), c.output);
  }
}

struct SummaryCase {
  int warnings, fatal;
  bool silent, no_optimization, optimizing;
  const char* output;
};

const SummaryCase kSummaries[] = {
    {0, 0, false, false, false, "No fatal errors while processing rules\n"},
    {0, 0, false, false, true, "No fatal errors while optimizing\n"},
    {0, 0, true, false, true, ""},
    {0, 0, false, true, false, ""},
    {1, 0, false, false, false, "1 warning\nNo fatal errors while processing rules\n"},
    {2, 0, false, false, true, "2 warnings\nNo fatal errors while optimizing\n"},
    {2, 0, true, false, false, "2 warnings\n"},
    {0, 1, false, false, false, "1 fatal error\n"},
    {1, 3, true, false, true, "1 warning\n3 fatal errors\n"},
};

TEST_F(DiagTest, SummaryCountsAndPlurals) {
  for (const SummaryCase& c : kSummaries) {
    SCOPED_TRACE(c.output);
    diag.warning_count = c.warnings;
    diag.fatal_count = c.fatal;
    diag.optimizing_phase = c.optimizing;
    run.no_optimization = c.no_optimization;
    bool silent = c.silent;
    EXPECT_EQ(capture_stdout([silent] { print_summary(silent); }), c.output);
  }
}

// 21 errors are printed normally; the 22nd message ends the run.
std::string errors_up_to(int n) {
  std::string text;
  for (int i = 1; i <= n; i++) text += "\"rules.rls\", line 7: error " + std::to_string(i) + "\n";
  return text;
}

void report_errors(int n) {
  for (int i = 1; i <= n; i++) report_error("error %d", i);
}

TEST_F(DiagTest, TwentyOneErrorsDoNotStopTheRun) {
  at_line("x\n", 1);
  EXPECT_EQ(capture_stdout([] { report_errors(21); }), errors_up_to(21));
  EXPECT_EQ(diag.fatal_count, 21);
}

TEST_F(DiagTest, TwentySecondErrorStopsWhileReadingRules) {
  at_line("x\n", 1);
  EXPECT_EXIT_PRINTS(report_errors(22), 255,
                     errors_up_to(22) + "Too many errors - compilation ends\n");
}

TEST_F(DiagTest, TwentySecondErrorStopsWhileOptimizing) {
  at_line("x\n", 1);
  diag.optimizing_phase = true;
  EXPECT_EXIT_PRINTS(report_errors(22), 255,
                     errors_up_to(22) + "Too many errors - optimizing ends\n");
}

TEST_F(DiagTest, WarningAfterTwentyOneErrorsStops) {
  at_line("x\n", 1);
  EXPECT_EXIT_PRINTS(
      {
        report_errors(21);
        report_warning("late");
      },
      255,
      errors_up_to(21) +
          "\"rules.rls\", line 7: Warning: late\nToo many errors - compilation ends\n");
}

TEST_F(DiagTest, SystemErrorHasNoLocationAndNoLimit) {
  at_line("x\n", 1);
  diag.fatal_count = 30;
  std::string out = capture_stdout([] {
    errno = ENOENT;
    report_sys_error("Cannot open file ``%s'' for ``%s''", "prog.asm", "r");
  });
  EXPECT_EQ(out, "qvpeep: Cannot open file ``prog.asm'' for ``r'': No such file or directory\n");
  EXPECT_EQ(diag.fatal_count, 31);
}

TEST_F(DiagTest, OpenFileFailureEndsRun) {
  ScopedTempDir dir;
  run.status_file_name = "status";
  EXPECT_EXIT_PRINTS(open_file("missing.asm", "r"), 255,
                     "qvpeep: Cannot open file ``missing.asm'' for ``r'': No such file or "
                     "directory\n");
  // The error was counted before the status byte was written.
  EXPECT_EQ(read_file("status"), "\xFF");
}

}  // namespace
