#include "base/files.h"

#include <unistd.h>

#include <cstdlib>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"

FILE* open_file(const char* name, const char* mode) {
  FILE* f = fopen(name, mode);
  if (!f) {
    report_sys_error("Cannot open file ``%s'' for ``%s''", name, mode);
    terminate_run(-1);
  }
  return f;
}

const char* create_temp_file(const std::string& dir) {
  std::string name = dir + "wkXXXXXX";
  InterruptGuard guard;
  int fd = mkstemp(name.data());
  if (fd < 0) return nullptr;
  close(fd);
  const char* saved = save_string(name.c_str());
  add_temp_file(saved);
  return saved;
}

const char* make_temp_name() {
  const char* name = create_temp_file("./");
  if (!name) {
    report_sys_error("Cannot create a work file in the current directory");
    terminate_run(-1);
  }
  return name;
}

bool copy_stream(FILE* in, FILE* out) {
  char buf[1 << 16];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, in)) > 0) {
    if (fwrite(buf, 1, n, out) != n) return false;
  }
  return !ferror(in);
}

void copy_file(const char* from, const char* to) {
  if (opts.debug_level != 0) printf("Copying %s -> %s\n", from, to);
  FILE* in = open_file(from, "r");
  FILE* out = open_file(to, "w");
  bool ok = copy_stream(in, out);
  fclose(in);
  if (fclose(out) != 0) ok = false;
  if (!ok) {
    report_sys_error("Cannot write file ``%s''", to);
    terminate_run(-1);
  }
}
