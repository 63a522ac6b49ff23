// The run-wide state that the end of a run must see, and the one way out.
#pragma once

#include <atomic>
#include <cstdio>

// Names of work files that exist at this instant; terminate_run removes them.
constexpr int kMaxTempFiles = 3;

// A pass stream as the interrupt handler sees it: the stream and its
// descriptor, so that the handler can close it without the stream library.
// The descriptor is recorded before the stream and cleared before it.
class PassStream {
 public:
  PassStream& operator=(FILE* f) {
    fd_ = f ? fileno(f) : -1;
    file_ = f;
    return *this;
  }
  operator FILE*() const { return file_.load(); }
  FILE* load() const { return file_.load(); }
  FILE* exchange(FILE* f) {
    FILE* old = file_.load();
    *this = f;
    return old;
  }
  // Takes the descriptor away from the stream (for the handler).
  int take_fd() { return fd_.exchange(-1); }

 private:
  std::atomic<FILE*> file_{nullptr};
  std::atomic<int> fd_{-1};
};

// Fields read by the interrupt handler are atomics: a handle is stored only
// once its stream is open and cleared before the stream is closed, so the
// handler never sees a half-made state.
struct RunState {
  PassStream in_file;   // pass input
  PassStream out_file;  // pass output
  std::atomic<const char*> temp_file[kMaxTempFiles] = {};
  std::atomic<const char*> status_file_name{nullptr};
  int pass = 0;                 // pass being run, from 0
  bool no_optimization = false; // nothing to optimize with
  char prog_name[128] = "";     // program name for messages
};
extern RunState run;

// Closes the pass streams, removes the work files, writes the status byte
// and exits with `status` (-1 leaves as 255).
[[noreturn]] void terminate_run(int status);

// SIGINT handler: the same cleanup with async-signal-safe calls, then exit 2.
void interrupt_handler(int signo);
void install_interrupt_handler();

// Blocks SIGINT for the lifetime of the guard, so that a file operation and
// the record of it happen as one step for the interrupt handler.
class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;
};

// Records a work file that now exists / no longer needs removing.
void add_temp_file(const char* name);
void forget_temp_file(const char* name);

// Closes a pass stream held in `slot` (clearing the slot first); returns
// false when the close reported an error (a write that could not be done).
bool close_pass_stream(PassStream& slot);

// Resets every field (tests start clean).
void reset_run_state();
