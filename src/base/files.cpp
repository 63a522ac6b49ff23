#include "base/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/diag.h"
#include "base/run.h"

bool is_directory(FILE* f) {
  struct stat st;
  return fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode);
}

FILE* open_file(const char* name, const char* mode) {
  FILE* f = fopen(name, mode);
  if (f && mode[0] == 'r' && is_directory(f)) {
    // Opens here, but cannot be read: said before anything is written.
    fclose(f);
    f = nullptr;
    errno = EISDIR;
  }
  if (!f) {
    report_sys_error("Cannot open file ``%s'' for ``%s''", name, mode);
    terminate_run(-1);
  }
  return f;
}

std::string create_temp_file(const std::string& dir) {
  std::string name = dir + "wkXXXXXX";
  InterruptGuard guard;
  int fd = mkstemp(name.data());
  if (fd < 0) return {};
  close(fd);
  if (!add_temp_file(name.c_str())) {
    remove(name.c_str());
    errno = ENAMETOOLONG;
    return {};
  }
  return name;
}

std::string make_temp_name() {
  std::string name = create_temp_file("./");
  if (name.empty()) {
    report_sys_error("Cannot create a work file in the current directory");
    terminate_run(-1);
  }
  return name;
}

void remove_work_file(std::string& name) {
  if (name.empty()) return;
  InterruptGuard guard;
  remove(name.c_str());
  forget_temp_file(name.c_str());
  name.clear();
}

bool copy_stream(FILE* in, FILE* out) {
  char buf[1 << 16];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, in)) > 0) {
    if (fwrite(buf, 1, n, out) != n) return false;
  }
  return !ferror(in);
}

void copy_file(const char* from, const char* to, bool trace) {
  if (trace) printf("Copying %s -> %s\n", from, to);
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

namespace {

[[noreturn]] void replace_failed(const char* name) {
  report_sys_error("Cannot replace file ``%s''", name);
  terminate_run(-1);
}

// Copies `from` into a new file beside `target` and renames it over the
// target: the way across file systems.
void copy_beside(const std::string& from, const std::string& target, mode_t mode) {
  std::string beside = create_temp_file(target.substr(0, target.find_last_of('/') + 1));
  if (beside.empty()) replace_failed(target.c_str());
  FILE* in = open_file(from.c_str(), "r");
  FILE* out = open_file(beside.c_str(), "w");
  bool ok = copy_stream(in, out);
  fclose(in);
  if (fchmod(fileno(out), mode) != 0) ok = false;
  if (fclose(out) != 0) ok = false;
  if (!ok) replace_failed(target.c_str());
  InterruptGuard guard;
  if (rename(beside.c_str(), target.c_str()) != 0) replace_failed(target.c_str());
  forget_temp_file(beside.c_str());
}

}  // namespace

void replace_file(std::string& result, const char* target_name, bool trace) {
  if (trace) printf("Copying %s -> %s\n", result.c_str(), target_name);
  std::string target = target_name;
  if (char* real = realpath(target_name, nullptr)) {  // write through a symbolic link
    target = real;
    free(real);
  }
  struct stat st;
  mode_t mode = stat(target.c_str(), &st) == 0 ? st.st_mode & 07777 : 0644;
  {
    InterruptGuard guard;
    chmod(result.c_str(), mode);
    if (rename(result.c_str(), target.c_str()) == 0) {
      forget_temp_file(result.c_str());
      result.clear();
      return;
    }
    if (errno != EXDEV) replace_failed(target_name);
  }
  copy_beside(result, target, mode);
  remove_work_file(result);
}
