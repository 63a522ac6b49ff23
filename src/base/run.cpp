#include "base/run.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/diag.h"

RunState run;

namespace {

void remove_temp_files() {
  for (auto& slot : run.temp_file) {
    if (slot.used.exchange(false)) remove(slot.name);
  }
}

// Async-signal-safe output of a text and of a decimal number.
void write_text(const char* text) {
  size_t len = strlen(text);
  while (len > 0) {
    ssize_t n = write(STDOUT_FILENO, text, len);
    if (n <= 0) return;
    text += n;
    len -= n;
  }
}

void write_number(int value) {
  char digits[16];
  int i = sizeof digits;
  unsigned v = value < 0 ? 0u - static_cast<unsigned>(value) : value;
  do {
    digits[--i] = '0' + v % 10;
    v /= 10;
  } while (v);
  if (value < 0) digits[--i] = '-';
  char text[17];
  memcpy(text, digits + i, sizeof digits - i);
  text[sizeof digits - i] = '\0';
  write_text(text);
}

}  // namespace

namespace {

// Messages that could not be written are a failure of the run: said on
// standard error, since standard output is what failed.
bool flush_messages() {
  if (fflush(stdout) == 0 && !ferror(stdout)) return true;
  int err = errno ? errno : EIO;
  fprintf(stderr, "%s: Cannot write messages: %s\n", run.prog_name, strerror(err));
  clearerr(stdout);
  return false;
}

void write_status_file(const char* name, int& status) {
  FILE* f = fopen(name, "w");
  if (!f) {
    run.status_file_name = nullptr;
    report_error("Could not open ``status='' file");
    return;
  }
  bool ok = fputc(run.fatal_count == 0 ? 0x00 : 0xFF, f) != EOF;
  if (fclose(f) != 0) ok = false;
  if (!ok) {
    run.status_file_name = nullptr;
    report_error("Could not write ``status='' file");
    status = -1;
  }
}

}  // namespace

[[noreturn]] void terminate_run(int status) {
  close_pass_stream(run.in_file);
  close_pass_stream(run.out_file);
  remove_temp_files();
  if (!flush_messages()) {
    run.fatal_count = run.fatal_count + 1;
    status = -1;
  }
  if (const char* name = run.status_file_name.load()) write_status_file(name, status);
  if (!flush_messages()) status = -1;
  leave_program(status);
}

void leave_program(int status) {
#ifdef QVPEEP_FUZZING
  throw RunEnded{status};
#else
  exit(status);
#endif
}

void interrupt_handler(int) {
  for (PassStream* slot : {&run.in_file, &run.out_file}) {
    int fd = slot->take_fd();
    if (fd >= 0) close(fd);
  }
  for (auto& slot : run.temp_file) {
    if (slot.used.exchange(false)) unlink(slot.name);
  }
  if (const char* name = run.status_file_name.exchange(nullptr)) {
    int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd >= 0) {
      unsigned char byte = run.fatal_count == 0 ? 0x00 : 0xFF;
      ssize_t written = write(fd, &byte, 1);
      (void)written;
      close(fd);
    } else {
      const SourceLine* src = run.source.load();
      write_text("\"");
      write_text(src && src->cur_file_name ? src->cur_file_name : "");
      write_text("\", line ");
      write_number(src ? src->stmt_line : 0);
      write_text(": Could not open ``status='' file\n");
      // The message counts like any error, so it may reach the limit.
      if (run.fatal_count > kErrorLimit) {
        write_text(too_many_errors_text());
        _exit(255);
      }
    }
  }
  _exit(2);
}

void install_interrupt_handler() {
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_handler = interrupt_handler;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

InterruptGuard::InterruptGuard() {
  sigset_t block;
  sigemptyset(&block);
  sigaddset(&block, SIGINT);
  sigprocmask(SIG_BLOCK, &block, nullptr);
}

InterruptGuard::~InterruptGuard() {
  sigset_t block;
  sigemptyset(&block);
  sigaddset(&block, SIGINT);
  sigprocmask(SIG_UNBLOCK, &block, nullptr);
}

bool add_temp_file(const char* name) {
  if (strlen(name) >= kMaxTempName) return false;
  for (auto& slot : run.temp_file) {
    if (!slot.used.load()) {
      strcpy(slot.name, name);
      slot.used = true;
      return true;
    }
  }
  report_internal("add_temp_file() - too many work files");
  return false;
}

void forget_temp_file(const char* name) {
  for (auto& slot : run.temp_file) {
    if (slot.used.load() && strcmp(slot.name, name) == 0) slot.used = false;
  }
}

bool close_pass_stream(PassStream& slot) {
  FILE* f = slot.exchange(nullptr);
  if (!f) return true;
  bool ok = !ferror(f);
  if (fclose(f) != 0) ok = false;
  return ok;
}

