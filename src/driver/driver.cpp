#include "driver/driver.h"

#include <cstdio>
#include <cstdlib>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "driver/options.h"
#include "optimizer/passes.h"
#include "optimizer/window.h"
#include "rules/rules_file.h"
#include "vop/scanner.h"

namespace {

// QVDIR and QVSYS name the toolchain directory and system; either one set
// means the user pointed at a rules file.
void read_environment() {
  if (const char* dir = getenv("QVDIR")) {
    opts.toolchain_dir = dir;
    opts.rules_designated = true;
  }
  if (const char* sys = getenv("QVSYS")) {
    opts.system_name = sys;
    opts.rules_designated = true;
  }
}

void collect_options(int argc, char** argv) {
  inject_config_options();
  // Names and rls= from the configuration value have no lasting effect.
  opts.input_given = opts.output_given = opts.rules_given = false;
  parse_options(argc, argv);
  finish_options();
}

void check_rules() {
  print_summary(opts.silent);
  if (diag.fatal_count != 0) {
    fputs("Processing terminated\n", stdout);
    terminate_run(-1);
  }
}

void run_passes() {
  for (run.pass = 0; run.pass <= rules.pass_count; run.pass++) {
    pass_begin(run.pass);
    read_vops(run.pass);
    pass_end(run.pass);
  }
}

}  // namespace

[[noreturn]] void run_program(int argc, char** argv) {
  // Line-buffered, so that an interrupt loses nothing already printed.
  setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  set_prog_name(argc, argv);
  init_char_class();
  read_environment();
  collect_options(argc, argv);
  install_interrupt_handler();
  clear_interned();
  init_rules_syntax();
  read_rules();
  check_rules();
  run_passes();
  print_summary(opts.silent);
  terminate_run(diag.fatal_count != 0 ? -1 : 0);
}
