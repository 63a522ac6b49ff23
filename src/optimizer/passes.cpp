#include "optimizer/passes.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/diag.h"
#include "base/files.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "optimizer/trace.h"
#include "optimizer/window.h"
#include "rules/rules_file.h"
#include "vop/scanner.h"
#include "vop/vop_reader.h"
#include "vop/vop_writer.h"

PassState passes;

namespace {

constexpr int kLoopGuard = 100;  // replacements after one VOP before the reach shrinks

void route_files(int pass) {
  if (pass == 0) {
    passes.pass_input = opts.input_name.c_str();
    // Without an output file the input is only replaced once the whole
    // result exists: every pass writes a work file.
    passes.pass_output = opts.output_given ? opts.output_name.c_str()
                                           : (passes.work_file[0] = make_temp_name());
  } else if (pass == 1) {
    passes.pass_input = passes.pass_output;
    passes.pass_output = opts.output_given ? (passes.work_file[0] = make_temp_name())
                                           : (passes.work_file[1] = make_temp_name());
  } else {
    std::swap(passes.pass_input, passes.pass_output);
  }
}

void remove_work_file(const char*& name) {
  if (!name) return;
  InterruptGuard guard;
  remove(name);
  forget_temp_file(name);
  name = nullptr;
}

// Closes the pass output; a write that could not be done ends the run
// before the result can take the place of anything.
void close_output() {
  FILE* f = run.out_file;
  errno = 0;
  bool ok = fflush(f) == 0 && !ferror(f);
  int err = errno ? errno : EIO;
  if (!close_pass_stream(run.out_file) && ok) {
    ok = false;
    err = errno ? errno : EIO;
  }
  if (!ok) {
    errno = err;
    report_sys_error("Cannot write file ``%s''", passes.pass_output);
    terminate_run(-1);
  }
}

[[noreturn]] void replace_failed(const char* name) {
  report_sys_error("Cannot replace file ``%s''", name);
  terminate_run(-1);
}

// Copies `from` into a new file beside `target` and renames it over the
// target: the way across file systems.
void copy_beside(const char* from, const std::string& target, mode_t mode) {
  const char* beside = create_temp_file(target.substr(0, target.find_last_of('/') + 1));
  if (!beside) replace_failed(target.c_str());
  FILE* in = open_file(from, "r");
  FILE* out = open_file(beside, "w");
  bool ok = copy_stream(in, out);
  fclose(in);
  if (fchmod(fileno(out), mode) != 0) ok = false;
  if (fclose(out) != 0) ok = false;
  if (!ok) replace_failed(target.c_str());
  InterruptGuard guard;
  if (rename(beside, target.c_str()) != 0) replace_failed(target.c_str());
  forget_temp_file(beside);
}

// Puts the finished result in the place of the input file, keeping its
// permission bits; the input is whole until the rename.
void replace_input(const char*& result) {
  const char* input = opts.input_name.c_str();
  if (opts.debug_level != 0) printf("Copying %s -> %s\n", result, input);
  std::string target = input;
  if (char* real = realpath(input, nullptr)) {  // write through a symbolic link
    target = real;
    free(real);
  }
  struct stat st;
  mode_t mode = stat(target.c_str(), &st) == 0 ? st.st_mode & 07777 : 0644;
  {
    InterruptGuard guard;
    chmod(result, mode);
    if (rename(result, target.c_str()) == 0) {
      forget_temp_file(result);
      result = nullptr;
      return;
    }
    if (errno != EXDEV) replace_failed(input);
  }
  copy_beside(result, target, mode);
  remove_work_file(result);
}

void finish_output() {
  if (opts.output_given) {
    if (strcmp(passes.pass_output, opts.output_name.c_str()) != 0)
      copy_file(passes.pass_output, opts.output_name.c_str());
  } else if (diag.fatal_count == 0) {
    // A run with errors keeps the input as it was.
    const char*& result = passes.pass_output == passes.work_file[0] ? passes.work_file[0]
                                                                     : passes.work_file[1];
    replace_input(result);
  }
  remove_work_file(passes.work_file[0]);
  remove_work_file(passes.work_file[1]);
}

const char* plural(long n) { return n == 1 ? "" : "s"; }

void print_counts(const PassCounts& c) {
  printf("%ld VOP%s read in\n", c.vops_read, plural(c.vops_read));
  printf("%ld VOP%s written out ", c.vops_written, plural(c.vops_written));
  if (c.vops_read == c.vops_written) {
    putchar('\n');
  } else {
    double change =
        c.vops_read ? static_cast<double>(100 * (c.vops_written - c.vops_read)) / c.vops_read : 0;
    if (change < 0)
      printf("(a %.1f%% decrease)\n", -change);
    else
      printf("(a %.1f%% increase)\n", change);
  }
  long made = c.opt_fewer + c.opt_same + c.opt_more;
  printf("%ld optimization%s made\n", made, plural(made));
  const struct {
    long count;
    const char* what;
  } kinds[] = {{c.opt_fewer, "the number of VOPs decreased\n"},
               {c.opt_same, "the number of VOPs remained the same\n"},
               {c.opt_more, "the number of VOPs increased\n"}};
  for (const auto& k : kinds)
    if (k.count > 0) printf(" - in %ld optimization%s, %s", k.count, plural(k.count), k.what);
}

}  // namespace

void pass_begin(int pass) {
  diag.warning_count = 0;
  discard_comments(nullptr);
  if (rules.max_repl_lines > window.window_base) window.window_base = rules.max_repl_lines;
  window.window_limit = window.window_base;
  if (pass == 0 && run.no_optimization) {
    if (opts.output_given) copy_file(opts.input_name.c_str(), opts.output_name.c_str());
    if (opts.debug_level != 0) printf("No optimization done\n");
    terminate_run(0);
  }
  route_files(pass);
  if (opts.debug_level != 0) printf("Processing %s -> %s\n", passes.pass_input, passes.pass_output);
  FILE* in = open_file(passes.pass_input, "r");
  run.in_file = in;
  FILE* out = open_file(passes.pass_output, "w");
  run.out_file = out;
  reset_reader();
  open_scanner_file(in, passes.pass_input);
  diag.optimizing_phase = true;
  clear_vars();
  activate_syntax(vop_syntax);
}

void pass_end(int pass) {
  flush_vops(true);
  write_comments(nullptr);
  close_pass_stream(run.in_file);
  close_output();
  bool last = pass == rules.pass_count;
  if (last) finish_output();
  pass_stats(pass);
  PassCounts& c = passes.counts;
  PassCounts& t = passes.totals;
  t.vops_read += c.vops_read;
  t.vops_written += c.vops_written;
  t.opt_fewer += c.opt_fewer;
  t.opt_same += c.opt_same;
  t.opt_more += c.opt_more;
  c = PassCounts{};
  if (last && pass != 0) final_stats();
}

void optimizing_loop(int pass) {
  if (opts.opt_debug_level > 1) {
    printf("before optimizing\n");
    show_window();
  }
  int i = 1;
  int reach = rules.max_repl_lines - 1;
  while (try_rules(reach, pass) && window.window_cursor) {
    if (opts.opt_debug_level > 1) {
      printf("after optimization %d\n", i);
      show_window();
    }
    if (++i <= kLoopGuard) continue;
    if (!passes.loop_warned) {
      report_warning_here("Possible infinite loop detected while optimizing");
      report_warning("Bad replacement rules may be causing this loop");
      passes.loop_warned = true;
    }
    if (--reach < 0) return;
    if (opts.opt_debug_level > 1) printf("Reducing window to size %d\n", reach);
    i = 1;
    if (window.window_cursor->next) window.window_cursor = window.window_cursor->next;
  }
}

void pass_stats(int pass) {
  if (!opts.show_stats) return;
  printf("----------------------Pass# %d ---------------------------\n", pass + 1);
  print_counts(passes.counts);
}

void final_stats() {
  if (!opts.show_stats) return;
  printf("------------------------Final Statistics-----------------\n");
  print_counts(passes.totals);
  printf("----------------------------------------------------------\n");
}

void reset_passes() { passes = PassState{}; }
