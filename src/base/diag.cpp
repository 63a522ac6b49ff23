#include "base/diag.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <cstdlib>
#include <new>

#include "base/run.h"

namespace {

const SourceLine kNoLine;

const SourceLine& src() {
  const SourceLine* line = run.source.load();
  return line ? *line : kNoLine;
}

void vreport_at(const char* prefix, const char* fmt, va_list args) {
  const SourceLine& line = src();
  printf("\"%s\", line %d: %s", line.cur_file_name ? line.cur_file_name : "", line.stmt_line,
         prefix);
  vprintf(fmt, args);
  putchar('\n');
  // The count of the current message is raised after this check, so the
  // 22nd error is the first to stop the run.
  if (run.fatal_count > kErrorLimit) {
    fputs(too_many_errors_text(), stdout);
    terminate_run(-1);
  }
}

}  // namespace

const char* too_many_errors_text() {
  return run.optimizing_phase ? "Too many errors - optimizing ends\n"
                               : "Too many errors - compilation ends\n";
}

void set_message_source(const SourceLine* line) { run.source = line; }

void echo_line() {
  const SourceLine& src = ::src();
  const char* buf = src.line_buf ? src.line_buf : "";
  int len = src.line_buf ? src.line_len : 0;
  fwrite(buf, 1, len, stdout);
  if (len == 0 || buf[len - 1] != '\n') putchar('\n');
  for (int i = 0; i < src.line_pos - 1 && i < len; i++) putchar(buf[i] == '\t' ? '\t' : ' ');
  fputs("|\n", stdout);
}

void report_error_here(const char* fmt, ...) {
  echo_line();
  va_list args;
  va_start(args, fmt);
  vreport_at("", fmt, args);
  va_end(args);
  run.fatal_count = run.fatal_count + 1;
}

void report_error(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  vreport_at("", fmt, args);
  va_end(args);
  run.fatal_count = run.fatal_count + 1;
}

void report_warning_here(const char* fmt, ...) {
  if (run.warnings_off) return;
  echo_line();
  va_list args;
  va_start(args, fmt);
  vreport_at("Warning: ", fmt, args);
  va_end(args);
  run.warning_count++;
}

void report_warning(const char* fmt, ...) {
  if (run.warnings_off) return;
  va_list args;
  va_start(args, fmt);
  vreport_at("Warning: ", fmt, args);
  va_end(args);
  run.warning_count++;
}

void report_internal(const char* fmt, ...) {
  echo_line();
  va_list args;
  va_start(args, fmt);
  vreport_at("Internal error - ", fmt, args);
  va_end(args);
  run.fatal_count = run.fatal_count + 1;
}

void report_sys_error(const char* fmt, ...) {
  int saved_errno = errno;
  run.fatal_count = run.fatal_count + 1;
  printf("%s: ", run.prog_name);
  va_list args;
  va_start(args, fmt);
  vprintf(fmt, args);
  va_end(args);
  printf(": %s\n", strerror(saved_errno));
}

void print_summary(bool silent, bool no_optimization) {
  if (run.warning_count != 0)
    printf("%d warning%s\n", run.warning_count, run.warning_count > 1 ? "s" : "");
  if (run.fatal_count != 0) {
    int n = run.fatal_count;
    printf("%d fatal error%s\n", n, n > 1 ? "s" : "");
    return;
  }
  if (silent || no_optimization) return;
  fputs(run.optimizing_phase ? "No fatal errors while optimizing\n"
                              : "No fatal errors while processing rules\n",
        stdout);
}

void* checked_alloc(unsigned long size, const char* label) {
  void* block = malloc(size ? size : 1);
  if (!block) {
    report_error_here("Malloc() denied space for %s", label);
    terminate_run(-1);
  }
  return block;
}

namespace {

void allocation_failed() {
  report_error_here("Malloc() denied space for %s", "memory");
  terminate_run(-1);
}

}  // namespace

void install_allocation_handler() { std::set_new_handler(allocation_failed); }
