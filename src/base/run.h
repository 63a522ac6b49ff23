// The run-wide state that the end of a run must see, and the one way out.
#pragma once

#include <atomic>
#include <cstdio>

// Names of work files that exist at this instant; terminate_run removes them.
constexpr int kMaxTempFiles = 3;

// Fields read by the interrupt handler are atomics: a handle is stored only
// once its stream is open and cleared before the stream is closed, so the
// handler never sees a half-made state.
struct RunState {
  std::atomic<FILE*> in_file{nullptr};   // pass input
  std::atomic<FILE*> out_file{nullptr};  // pass output
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
bool close_pass_stream(std::atomic<FILE*>& slot);

// Resets every field (tests start clean).
void reset_run_state();
