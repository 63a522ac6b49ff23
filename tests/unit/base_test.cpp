#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "base/diag.h"
#include "base/files.h"
#include "base/run.h"
#include "test_support.h"

namespace {

class BaseTest : public RunRecordTest {
 protected:
  void SetUp() override {
    RunRecordTest::SetUp();
    strcpy(run.prog_name, "qvpeep");
    at_line("x\n", 1);
  }
  // Points the message location at `text`, line 7 of rules.rls, read up to `pos`.
  void at_line(const char* text, int pos) {
    line_ = text;
    src_.cur_file_name = "rules.rls";
    src_.stmt_line = 7;
    src_.line_buf = line_.data();
    src_.line_len = static_cast<int>(line_.size());
    src_.line_pos = pos;
    set_message_source(&src_);
  }

  std::string line_;
  SourceLine src_;
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
    {"warning", [] { report_warning("loop"); }, "\"rules.rls\", line 7: Warning: loop\n", 0, 1},
    {"internal", [] { report_internal("replace_vops() - unassigned variable operand"); },
     "\tmov\tr5,r6\n\t   \t |\n\"rules.rls\", line 7: Internal error - replace_vops() - "
     "unassigned variable operand\n",
     1, 0},
};

TEST_F(BaseTest, ReportsPrintLocationEchoAndCount) {
  for (const ReportCase& c : kReports) {
    SCOPED_TRACE(c.what);
    reset_run_record();
    at_line("\tmov\tr5,r6\n", 7);
    EXPECT_EQ(capture_stdout(c.report), c.output);
    EXPECT_EQ(run.fatal_count, c.fatal);
    EXPECT_EQ(run.warning_count, c.warnings);
  }
}

TEST_F(BaseTest, WarningsOffPrintAndCountNothing) {
  run.warnings_off = true;
  EXPECT_EQ(capture_stdout([] {
              report_warning_here("one");
              report_warning("two");
            }),
            "");
  EXPECT_EQ(run.warning_count, 0);
  EXPECT_EQ(capture_stdout([] { report_error("three"); }), "\"rules.rls\", line 7: three\n");
}

struct EchoCase {
  const char* line;
  int pos;
  const char* output;
};

const EchoCase kEchoes[] = {
    // The last line of a file may lack its newline: the echo adds one.
    {"abc", 1, "abc\n|\n"},
    {"abc\n", 4, "abc\n   |\n"},
    // Tabs stay tabs in the marker line so that the bar lines up.
    {"\t\tjmp\tL1\n", 8, "\t\tjmp\tL1\n\t\t   \t |\n"},
    {"\n", 0, "\n|\n"},
};

TEST_F(BaseTest, EchoLineMarksLastConsumedCharacter) {
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

TEST_F(BaseTest, SummaryCountsAndPlurals) {
  for (const SummaryCase& c : kSummaries) {
    SCOPED_TRACE(c.output);
    run.warning_count = c.warnings;
    run.fatal_count = c.fatal;
    run.optimizing_phase = c.optimizing;
    EXPECT_EQ(capture_stdout([&c] { print_summary(c.silent, c.no_optimization); }), c.output);
  }
}

std::string errors_up_to(int n) {
  std::string text;
  for (int i = 1; i <= n; i++) text += "\"rules.rls\", line 7: error " + std::to_string(i) + "\n";
  return text;
}

void report_errors(int n) {
  for (int i = 1; i <= n; i++) report_error("error %d", i);
}

TEST_F(BaseTest, ErrorLimitEndsTheRunOnTheNextMessage) {
  EXPECT_EQ(capture_stdout([] { report_errors(kErrorLimit + 1); }), errors_up_to(kErrorLimit + 1));
  EXPECT_EQ(run.fatal_count, kErrorLimit + 1);
  reset_run_record();
  at_line("x\n", 1);
  EXPECT_EXIT_PRINTS(report_errors(22), 255,
                     errors_up_to(22) + "Too many errors - compilation ends\n");
  run.optimizing_phase = true;
  EXPECT_EXIT_PRINTS(report_errors(22), 255,
                     errors_up_to(22) + "Too many errors - optimizing ends\n");
  run.optimizing_phase = false;
  EXPECT_EXIT_PRINTS(
      {
        report_errors(21);
        report_warning("late");
      },
      255,
      errors_up_to(21) + "\"rules.rls\", line 7: Warning: late\nToo many errors - compilation ends\n");
}

TEST_F(BaseTest, SystemErrorHasNoLocationAndNoLimit) {
  run.fatal_count = 30;
  std::string out = capture_stdout([] {
    errno = ENOENT;
    report_sys_error("Cannot open file ``%s'' for ``%s''", "prog.asm", "r");
  });
  EXPECT_EQ(out, "qvpeep: Cannot open file ``prog.asm'' for ``r'': No such file or directory\n");
  EXPECT_EQ(run.fatal_count, 31);
}

// The two ways out: the orderly one and the interrupt handler.
struct Ending {
  const char* what;
  void (*end)(int status);
  int status;       // given to terminate_run
  int exit_status;  // what the process leaves with
};

const Ending kEndings[] = {
    {"success", [](int s) { terminate_run(s); }, 0, 0},
    {"failure", [](int s) { terminate_run(s); }, -1, 255},
    {"interrupt", [](int) { interrupt_handler(SIGINT); }, 2, 2},
};

TEST_F(BaseTest, StatusByteDependsOnlyOnErrorCount) {
  for (const Ending& e : kEndings) {
    for (int errors : {0, 1, 21}) {
      SCOPED_TRACE(std::string(e.what) + " with " + std::to_string(errors) + " errors");
      ScopedTempDir dir;
      reset_run_record();
      run.status_file_name = "st";
      run.fatal_count = errors;
      EXPECT_EXIT_PRINTS(e.end(e.status), e.exit_status, "");
      EXPECT_EQ(read_file("st"), std::string(1, errors == 0 ? '\0' : '\xFF'));
    }
  }
}

TEST_F(BaseTest, EndingClosesStreamsAndRemovesWorkFiles) {
  for (const Ending& e : kEndings) {
    SCOPED_TRACE(e.what);
    ScopedTempDir dir;
    reset_run_record();
    write_file("in.asm", "\tnop\n");
    write_file("wk1", "partial");
    write_file("wk2", "");
    write_file("wk3", "kept");
    run.in_file = fopen("in.asm", "r");
    run.out_file = fopen("out.asm", "w");
    add_temp_file("wk1");
    add_temp_file("wk2");
    add_temp_file("wk3");
    forget_temp_file("wk3");
    EXPECT_EXIT_PRINTS(
        {
          fputs("buffered", run.out_file.load());
          e.end(e.status);
        },
        e.exit_status, "");
    EXPECT_FALSE(file_exists("wk1"));
    EXPECT_FALSE(file_exists("wk2"));
    EXPECT_EQ(read_file("wk3"), "kept");
    // The handler may only close the descriptor, so only an orderly end
    // writes out the library's buffer.
    if (e.status != 2) {
      EXPECT_EQ(read_file("out.asm"), "buffered");
    }
  }
}

TEST_F(BaseTest, StatusFileThatCannotBeOpened) {
  for (const Ending& e : kEndings) {
    for (int errors : {0, 21}) {
      SCOPED_TRACE(std::string(e.what) + " with " + std::to_string(errors) + " errors");
      ScopedTempDir dir;
      reset_run_record();
      at_line("x\n", 1);
      run.status_file_name = "nodir/st";
      run.fatal_count = errors;
      std::string msg = "\"rules.rls\", line 7: Could not open ``status='' file\n";
      // Past the limit the report itself ends the run.
      if (errors)
        EXPECT_EXIT_PRINTS(e.end(e.status), 255, msg + "Too many errors - compilation ends\n");
      else
        EXPECT_EXIT_PRINTS(e.end(e.status), e.exit_status, msg);
    }
  }
}

TEST_F(BaseTest, OpenFileFailureEndsRun) {
  ScopedTempDir dir;
  run.status_file_name = "status";
  EXPECT_EXIT_PRINTS(open_file("missing.asm", "r"), 255,
                     "qvpeep: Cannot open file ``missing.asm'' for ``r'': No such file or "
                     "directory\n");
  // The error was counted before the status byte was written.
  EXPECT_EQ(read_file("status"), "\xFF");
}

TEST_F(BaseTest, CopyAndReplaceFiles) {
  ScopedTempDir dir;
  std::string bytes("a\0b\r\n\xff", 6);
  write_file("from", bytes);
  EXPECT_EQ(capture_stdout([] { copy_file("from", "to", true); }).rfind("Copying", 0), 0u);
  EXPECT_EQ(read_file("to"), bytes);

  write_file("target", "old");
  chmod("target", 0751);
  ASSERT_EQ(symlink("target", "link"), 0);
  std::string result = make_temp_name();
  EXPECT_NE(result.find("wk"), std::string::npos);
  write_file(result, "new");
  replace_file(result, "link", false);
  EXPECT_TRUE(result.empty());
  struct stat st;
  ASSERT_EQ(lstat("link", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(read_file("target"), "new");
  ASSERT_EQ(stat("target", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0751u);

  std::string work = make_temp_name();
  EXPECT_TRUE(file_exists(work));
  remove_work_file(work);
  EXPECT_TRUE(work.empty());
  std::string none;
  remove_work_file(none);
}

TEST_F(BaseTest, WorkFileSlotsAreLimited) {
  for (int i = 0; i < kMaxTempFiles; i++) EXPECT_TRUE(add_temp_file(("wk" + std::to_string(i)).c_str()));
  EXPECT_FALSE(add_temp_file("one-too-many"));
}

}  // namespace
