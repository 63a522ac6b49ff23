#include "base/diag.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/options.h"
#include "base/run.h"

SourceLine src;
DiagState diag;

namespace {

void vreport_at(const char* prefix, const char* fmt, va_list args) {
  printf("\"%s\", line %d: %s", src.cur_file_name ? src.cur_file_name : "", src.stmt_line,
         prefix);
  vprintf(fmt, args);
  putchar('\n');
  // The count of the current message is raised after this check, so the
  // 22nd error is the first to stop the run.
  if (diag.fatal_count > kErrorLimit) {
    fputs(too_many_errors_text(), stdout);
    terminate_run(-1);
  }
}

}  // namespace

const char* too_many_errors_text() {
  return diag.optimizing_phase ? "Too many errors - optimizing ends\n"
                               : "Too many errors - compilation ends\n";
}

void echo_line() {
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
  diag.fatal_count = diag.fatal_count + 1;
}

void report_error(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  vreport_at("", fmt, args);
  va_end(args);
  diag.fatal_count = diag.fatal_count + 1;
}

void report_warning_here(const char* fmt, ...) {
  if (opts.warnings_off) return;
  echo_line();
  va_list args;
  va_start(args, fmt);
  vreport_at("Warning: ", fmt, args);
  va_end(args);
  diag.warning_count++;
}

void report_warning(const char* fmt, ...) {
  if (opts.warnings_off) return;
  va_list args;
  va_start(args, fmt);
  vreport_at("Warning: ", fmt, args);
  va_end(args);
  diag.warning_count++;
}

void report_internal(const char* fmt, ...) {
  echo_line();
  va_list args;
  va_start(args, fmt);
  vreport_at("Internal error - ", fmt, args);
  va_end(args);
  diag.fatal_count = diag.fatal_count + 1;
}

void report_sys_error(const char* fmt, ...) {
  int saved_errno = errno;
  diag.fatal_count = diag.fatal_count + 1;
  printf("%s: ", run.prog_name);
  va_list args;
  va_start(args, fmt);
  vprintf(fmt, args);
  va_end(args);
  printf(": %s\n", strerror(saved_errno));
}

void print_summary(bool silent) {
  if (diag.warning_count != 0)
    printf("%d warning%s\n", diag.warning_count, diag.warning_count > 1 ? "s" : "");
  if (diag.fatal_count != 0) {
    int n = diag.fatal_count;
    printf("%d fatal error%s\n", n, n > 1 ? "s" : "");
    return;
  }
  if (silent || run.no_optimization) return;
  fputs(diag.optimizing_phase ? "No fatal errors while optimizing\n"
                              : "No fatal errors while processing rules\n",
        stdout);
}

void reset_diag() {
  src = SourceLine{};
  diag.fatal_count = 0;
  diag.warning_count = 0;
  diag.optimizing_phase = false;
}
