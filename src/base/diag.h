// Diagnostics: the one message format, the counts, the error limit and the
// summary. Everything goes to standard output; the counts live in the
// run-wide record.
#pragma once

#define QV_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))

// The line being read, as messages show it. A reader owns one, keeps it
// current whenever it may call a diagnostic, and points the run at it.
struct SourceLine {
  const char* cur_file_name = "";  // named in every located message
  int stmt_line = 0;               // line number printed
  const char* line_buf = nullptr;  // current line (it may hold zero bytes)
  int line_len = 0;
  int line_pos = 0;  // next character to be consumed
};

// Makes `line` the one located messages point at.
void set_message_source(const SourceLine* line);

// More errors than this end the run.
constexpr int kErrorLimit = 20;
// The line printed when the limit ends the run (only reads the phase, so the
// interrupt handler may call it).
const char* too_many_errors_text();

void report_error_here(const char* fmt, ...) QV_PRINTF(1, 2);
void report_error(const char* fmt, ...) QV_PRINTF(1, 2);
void report_warning_here(const char* fmt, ...) QV_PRINTF(1, 2);
void report_warning(const char* fmt, ...) QV_PRINTF(1, 2);
void report_internal(const char* fmt, ...) QV_PRINTF(1, 2);
// "prog: message: <system text for errno>", no location, no limit check.
void report_sys_error(const char* fmt, ...) QV_PRINTF(1, 2);

// Echoes the current line and a marker line under the last consumed character.
void echo_line();

// Prints the warning and error counts, or the "No fatal errors" line unless
// `silent` or there was nothing to optimize with.
void print_summary(bool silent, bool no_optimization);

// Allocation that ends the run with a message naming `label` on failure.
void* checked_alloc(unsigned long size, const char* label);
// Makes every failed `new` end the run the same way.
void install_allocation_handler();
