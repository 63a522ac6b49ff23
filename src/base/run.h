// The run-wide record that the end of a run and the interrupt handler need,
// and the one way out of a run. It is the program's only global.
#pragma once

#include <atomic>
#include <csignal>
#include <cstdio>

struct SourceLine;

// Work files that may exist at one instant; terminate_run removes them.
constexpr int kMaxTempFiles = 3;
constexpr int kMaxTempName = 4096;

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

// A work file's name, kept here so that it outlives whoever made it.
struct TempSlot {
  std::atomic<bool> used{false};
  char name[kMaxTempName] = "";
};

// Fields the interrupt handler reads are atomics: a handle is stored only
// once its stream is open and cleared before the stream is closed, so the
// handler never sees a half-made state.
struct RunState {
  PassStream in_file;   // pass input
  PassStream out_file;  // pass output
  TempSlot temp_file[kMaxTempFiles];
  std::atomic<const char*> status_file_name{nullptr};
  char prog_name[128] = "";  // program name for messages

  // Diagnostics: what messages point at and what they have counted.
  std::atomic<const SourceLine*> source{nullptr};  // set by the reader of the moment
  volatile sig_atomic_t fatal_count = 0;           // never reset
  int warning_count = 0;                           // zeroed at every pass start
  bool optimizing_phase = false;                   // on from the first pass
  bool warnings_off = false;                       // -w
};
extern RunState run;

// Closes the pass streams, removes the work files, writes the status byte
// and exits with `status` (-1 leaves as 255).
[[noreturn]] void terminate_run(int status);

// How a fuzzing build leaves a run: thrown, so that an input that ends the
// run does not end the fuzzer. Other builds exit.
struct RunEnded {
  int status;
};
[[noreturn]] void leave_program(int status);

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

// Records a work file that now exists (false when every slot is taken) /
// one that no longer needs removing.
bool add_temp_file(const char* name);
void forget_temp_file(const char* name);

// Closes a pass stream held in `slot` (clearing the slot first); returns
// false when the close reported an error (a write that could not be done).
bool close_pass_stream(PassStream& slot);
