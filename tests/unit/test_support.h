// Helpers shared by the unit tests: module resets, line tables, and what
// the program prints and leaves on disk.
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
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "cfg/cfg_file.h"
#include "driver/options.h"
#include "driver/rules_source.h"
#include "optimizer/passes.h"
#include "optimizer/window.h"
#include "rules/rules_file.h"
#include "rx/rx.h"
#include "vop/scanner.h"
#include "vop/vop_reader.h"

// Keeps records that a reset drops without freeing reachable to the end, so
// that the leak checker does not count them (the list is never destroyed).
inline void keep_reachable(const void* record) {
  static std::vector<const void*>& kept = *new std::vector<const void*>;
  kept.push_back(record);
}

// Puts every module's run-wide state back to its start; the rules dropped
// stay reachable.
inline void reset_all_modules() {
  for (int pass = 0; pass < rules.pass_slots; pass++) keep_reachable(rules.pass_rules[pass]);
  keep_reachable(rules.debug_label_re);
  reset_diag();
  reset_options();
  reset_run_state();
  reset_storage();
  reset_scanner();
  reset_reader_state();
  reset_rules();
  reset_window();
  reset_passes();
  reset_cfg();
  reset_rules_source();
  reset_option_words();
  init_char_class();
}

// A fixture that starts and ends each test with every module reset; one
// that needs more at each reset overrides reset_all.
class ResetModulesTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_all(); }
  void TearDown() override { reset_all(); }
  virtual void reset_all() { reset_all_modules(); }
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

  // Holds `lines` and has the scanner read them as the file `name`.
  void open(std::vector<std::string> lines, const char* name) {
    assign(std::move(lines));
    open_scanner_lines(table(), name);
  }

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
