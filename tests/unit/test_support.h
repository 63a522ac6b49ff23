// Helpers shared by the unit tests: the run record's start state, line
// tables, and what the program prints and leaves on disk.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/diag.h"
#include "base/run.h"

// Starts a test with the run-wide record's counts and settings as a run
// starts with them (the record is the program's one global).
inline void reset_run_record() {
  run.fatal_count = 0;
  run.warning_count = 0;
  run.optimizing_phase = false;
  run.warnings_off = false;
  run.source = nullptr;
  run.status_file_name = nullptr;
  run.in_file = nullptr;
  run.out_file = nullptr;
  for (auto& slot : run.temp_file) slot.used = false;
}

class RunRecordTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_run_record(); }
  void TearDown() override { reset_run_record(); }
};

// A null-ended table of lines, as the scanner and the configuration reader
// take them; it owns the texts, so it must outlive the reading.
class LineTable {
 public:
  LineTable() = default;
  explicit LineTable(std::vector<std::string> lines) { assign(std::move(lines)); }
  LineTable(const LineTable&) = delete;
  LineTable& operator=(const LineTable&) = delete;

  void assign(std::vector<std::string> lines) {
    texts_ = std::move(lines);
    table_.clear();
    for (const std::string& text : texts_) table_.push_back(text.c_str());
    table_.push_back(nullptr);
  }
  const char* const* table() const { return table_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<const char*> table_;
};

// The lines of `text`, cut at each newline (a last newline ends no line).
inline std::vector<std::string> split_lines(const std::string& text) {
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

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  EXPECT_TRUE(out.good()) << "cannot write " << path;
}

inline bool file_exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

// Everything `fn` prints on standard output (file descriptor 1).
inline std::string capture_stdout(const std::function<void()>& fn) {
  fflush(stdout);
  char path[] = "/tmp/qvpeep-capture-XXXXXX";
  int fd = mkstemp(path);
  int saved = dup(STDOUT_FILENO);
  dup2(fd, STDOUT_FILENO);
  fn();
  fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  close(fd);
  std::string text = read_file(path);
  unlink(path);
  return text;
}

// Sends standard output to standard error, where a death test sees it.
inline void stdout_to_stderr() {
  fflush(stdout);
  dup2(STDERR_FILENO, STDOUT_FILENO);
}

inline void redirect_stdout_to(const std::string& path) {
  fflush(stdout);
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(fd, STDOUT_FILENO);
  close(fd);
}

// Runs `statement` in a death-test child that must exit with `status`, and
// checks the whole standard output it printed.
#define EXPECT_EXIT_PRINTS(statement, status, text)                                             \
  do {                                                                                          \
    std::string qv_out_ =                                                                       \
        std::string(::testing::TempDir()) + "qvpeep-exit-" + std::to_string(getpid()) + ".txt"; \
    fflush(stdout);                                                                             \
    EXPECT_EXIT(                                                                                \
        {                                                                                       \
          redirect_stdout_to(qv_out_);                                                          \
          statement;                                                                            \
        },                                                                                      \
        ::testing::ExitedWithCode(status), "");                                                 \
    EXPECT_EQ(read_file(qv_out_), text);                                                        \
    unlink(qv_out_.c_str());                                                                    \
  } while (0)

// A fresh directory that is the working directory for the test's lifetime.
class ScopedTempDir {
 public:
  ScopedTempDir() {
    char* old = getcwd(nullptr, 0);
    old_cwd_ = old;
    free(old);
    char tmpl[] = "/tmp/qvpeep-test-XXXXXX";
    path_ = mkdtemp(tmpl);
    EXPECT_EQ(chdir(path_.c_str()), 0);
  }
  ~ScopedTempDir() {
    EXPECT_EQ(chdir(old_cwd_.c_str()), 0);
    std::string cmd = "rm -rf '" + path_ + "'";
    EXPECT_EQ(system(cmd.c_str()), 0);
  }
  const std::string& path() const { return path_; }

 private:
  std::string old_cwd_, path_;
};
