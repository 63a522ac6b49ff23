// The passes: routing of the pass files, the optimizing loop with its guard
// against endless rewriting, and the statistics.
#pragma once

// Counters of one pass, and their sums over all passes.
struct PassCounts {
  long vops_read = 0;
  long vops_written = 0;
  long opt_fewer = 0;  // replacements that lowered the number of VOPs
  long opt_same = 0;
  long opt_more = 0;
};

struct PassState {
  const char* pass_input = nullptr;
  const char* pass_output = nullptr;
  const char* work_file[2] = {nullptr, nullptr};  // work files made for the passes
  PassCounts counts;
  PassCounts totals;
  bool loop_warned = false;  // the loop-guard warnings were given
};
extern PassState passes;

void pass_begin(int pass);
void pass_end(int pass);
// Runs the rules after a VOP was added, until none matches or the guard gives up.
void optimizing_loop(int pass);
void pass_stats(int pass);
void final_stats();

void reset_passes();
