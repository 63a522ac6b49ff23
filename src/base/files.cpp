#include "base/files.h"

#include <unistd.h>

#include <cstdlib>

#include "base/diag.h"
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

const char* make_temp_name() {
  char name[] = "./wkXXXXXX";
  InterruptGuard guard;
  int fd = mkstemp(name);
  if (fd < 0) {
    report_sys_error("Cannot create a work file in the current directory");
    terminate_run(-1);
  }
  close(fd);
  const char* saved = save_string(name);
  add_temp_file(saved);
  return saved;
}
