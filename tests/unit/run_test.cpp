#include "base/run.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <string>

#include "base/diag.h"
#include "base/options.h"
#include "test_support.h"

namespace {

class RunTest : public ResetModulesTest {
 protected:
  void reset_all() override {
    reset_all_modules();
    strcpy(run.prog_name, "qvpeep");
    src.cur_file_name = "prog.asm";
    src.stmt_line = 12;
  }
};

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

TEST_F(RunTest, StatusByteDependsOnlyOnErrorCount) {
  for (const Ending& e : kEndings) {
    for (int errors : {0, 1, 21}) {
      SCOPED_TRACE(std::string(e.what) + " with " + std::to_string(errors) + " errors");
      ScopedTempDir dir;
      reset_all();
      run.status_file_name = "st";
      diag.fatal_count = errors;
      EXPECT_EXIT_PRINTS(e.end(e.status), e.exit_status, "");
      EXPECT_EQ(read_file("st"), std::string(1, errors == 0 ? '\0' : '\xFF'));
    }
  }
}

TEST_F(RunTest, ClosesPassStreamsAndRemovesWorkFiles) {
  for (const Ending& e : kEndings) {
    SCOPED_TRACE(e.what);
    ScopedTempDir dir;
    reset_all();
    write_file("in.asm", "\tnop\n");
    write_file("wk1", "partial");
    write_file("wk2", "");
    run.in_file = fopen("in.asm", "r");
    run.out_file = fopen("out.asm", "w");
    add_temp_file("wk1");
    add_temp_file("wk2");
    EXPECT_EXIT_PRINTS(
        {
          fputs("buffered", run.out_file.load());
          e.end(e.status);
        },
        e.exit_status, "");
    EXPECT_FALSE(file_exists("wk1"));
    EXPECT_FALSE(file_exists("wk2"));
    // An orderly end closes the output through the library, which writes out
    // its buffer; the handler may only close the descriptor.
    if (e.status != 2) {
      EXPECT_EQ(read_file("out.asm"), "buffered");
    }
  }
}

TEST_F(RunTest, ForgottenWorkFileIsKept) {
  ScopedTempDir dir;
  const char* name = "wk1";
  write_file(name, "result");
  add_temp_file(name);
  forget_temp_file(name);
  EXPECT_EXIT_PRINTS(terminate_run(0), 0, "");
  EXPECT_EQ(read_file("wk1"), "result");
}

TEST_F(RunTest, StatusFileThatCannotBeOpened) {
  for (const Ending& e : kEndings) {
    SCOPED_TRACE(e.what);
    ScopedTempDir dir;
    reset_all();
    run.status_file_name = "nodir/st";
    // The run still leaves with the status it was ending with.
    EXPECT_EXIT_PRINTS(e.end(e.status), e.exit_status,
                       "\"prog.asm\", line 12: Could not open ``status='' file\n");
  }
}

TEST_F(RunTest, StatusFileErrorCountsLikeAnyOther) {
  ScopedTempDir dir;
  run.status_file_name = "nodir/st";
  diag.fatal_count = 3;
  EXPECT_EXIT(
      {
        redirect_stdout_to("/dev/null");
        // The report goes through the counting diagnostics: the count seen
        // when the process exits is one more.
        atexit([] { _exit(diag.fatal_count); });
        terminate_run(0);
      },
      ::testing::ExitedWithCode(4), "");
}

// Former bugs

TEST_F(RunTest, StatusFileErrorAfterTwentyOneErrorsEndsTheRun) {
  for (const Ending& e : kEndings) {
    for (bool optimizing : {false, true}) {
      SCOPED_TRACE(std::string(e.what) + (optimizing ? " while optimizing" : ""));
      ScopedTempDir dir;
      reset_all();
      run.status_file_name = "nodir/st";
      diag.fatal_count = 21;
      diag.optimizing_phase = optimizing;
      EXPECT_EXIT_PRINTS(e.end(e.status), 255,
                         std::string("\"prog.asm\", line 12: Could not open ``status='' file\n") +
                             (optimizing ? "Too many errors - optimizing ends\n"
                                         : "Too many errors - compilation ends\n"));
    }
  }
}

}  // namespace
