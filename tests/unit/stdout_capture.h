// Helpers for tests that check what the program prints and leaves on disk.
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

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
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
