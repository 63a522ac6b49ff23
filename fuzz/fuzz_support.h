// What every fuzz target needs: the run record as a run starts with it,
// messages out of the way, and a scratch directory of its own.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/run.h"

inline void check(bool ok) {
  if (!ok) abort();
}

// Called at the start of each input.
inline void fuzz_start() {
  static bool once = [] {
    // The program's messages would drown the fuzzer's own.
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
    char dir[] = "/tmp/qvpeep-fuzz-XXXXXX";
    check(mkdtemp(dir) != nullptr && chdir(dir) == 0);
    return true;
  }();
  (void)once;
  run.fatal_count = 0;
  run.warning_count = 0;
  run.optimizing_phase = false;
  run.warnings_off = false;
  run.source = nullptr;
  run.status_file_name = nullptr;
}

inline void write_text(const char* name, const std::string& text) {
  FILE* f = fopen(name, "wb");
  check(f && fwrite(text.data(), 1, text.size(), f) == text.size() && fclose(f) == 0);
}

inline std::string read_text(const char* name) {
  std::string text;
  if (FILE* f = fopen(name, "rb")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    fclose(f);
  }
  return text;
}

// True when the current directory holds a work file.
inline bool work_file_left() {
  DIR* d = opendir(".");
  bool left = false;
  while (dirent* e = readdir(d)) left = left || std::string(e->d_name).starts_with("wk");
  closedir(d);
  return left;
}
