// Diagnostics: the one message format, the counts, the error limit and the
// summary. Everything goes to standard output.
#pragma once

#include <csignal>

#define QV_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))

// The line being read, as messages show it: the scanner keeps these fields
// valid whenever it may call a diagnostic.
struct SourceLine {
  const char* cur_file_name = "";  // named in every located message
  int stmt_line = 0;               // line number printed
  char* line_buf = nullptr;        // current line, zero-terminated
  int line_len = 0;                // its length (it may hold zero bytes)
  int line_pos = 0;                // next character to be consumed
};
extern SourceLine src;

struct DiagState {
  volatile sig_atomic_t fatal_count = 0;  // never reset; read by the interrupt handler
  int warning_count = 0;                  // zeroed at every pass start
  bool optimizing_phase = false;          // on from the first pass
};
extern DiagState diag;

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

// Prints the warning and error counts, or the "No fatal errors" line.
void print_summary(bool silent);

void reset_diag();
