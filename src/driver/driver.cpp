#include "driver/driver.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/diag.h"
#include "base/files.h"
#include "base/run.h"
#include "cfg/cfg_file.h"
#include "driver/options.h"
#include "driver/rules_source.h"
#include "lex/scanner.h"
#include "lint/lint.h"
#include "optimizer/pass.h"
#include "rules/rules_file.h"
#include "vop/vop_reader.h"
#include "vop/vop_writer.h"

namespace {

// QVDIR and QVSYS name the toolchain directory and system; either one set
// means the user pointed at a rules file.
void read_environment(Options& o) {
  if (const char* dir = getenv("QVDIR")) {
    o.toolchain_dir = dir;
    o.rules_designated = true;
  }
  if (const char* sys = getenv("QVSYS")) {
    o.system_name = sys;
    o.rules_designated = true;
  }
}

void collect_options(OptionParser& parser, Options& o, int argc, char** argv) {
  parser.inject_option_text(cfg_get({cfg_builtin_lines, embedded_only}, "qvpeep*CmdLineOptions").c_str());
  // Names and rls= from the configuration value have no lasting effect.
  o.input_given = o.output_given = o.rules_given = false;
  parser.parse_options(argc, argv);
  if (!o.input_given) parser.usage_error("No input file given");
  parser.complete_names(embedded_only);
}

// Opens the chosen rules source on the scanner, or marks that there is
// nothing to optimize with.
void open_rules_source(Options& o, Scanner& sc, RuleSet& rules) {
  sc.set_file_name(o.rules_name.c_str());
  set_message_source(&sc.source());
  if (!o.silent) print_banner();
  RulesChoice choice = select_rules_source(o.rules_name.c_str(), o, RulesSources{});
  if (choice.status == 1) printf("no optimization will be done\n");
  if (choice.status != 0) {
    rules.no_optimization = true;
    return;
  }
  if (choice.file) {
    sc.open_file(choice.file, o.rules_name.c_str());
  } else {
    o.rules_name = "<embedded rules file>";
    sc.open_lines(kEmbeddedRules, o.rules_name.c_str());
  }
}

void check_rules(const Options& o, const RuleSet& rules) {
  print_summary(o.silent, rules.no_optimization);
  if (run.fatal_count != 0) {
    fputs("Processing terminated\n", stdout);
    terminate_run(-1);
  }
}

// Where each pass reads and writes. Without an output file the input is
// only replaced once the whole result exists: every pass writes a work file.
struct PassFiles {
  std::string input, output;
  std::string work[2];  // work files made for the passes

  void route(int pass, const Options& o) {
    if (pass == 0) {
      input = o.input_name;
      output = o.output_given ? o.output_name : (work[0] = make_temp_name());
    } else if (pass == 1) {
      input = output;
      output = o.output_given ? (work[0] = make_temp_name()) : (work[1] = make_temp_name());
    } else {
      std::swap(input, output);
    }
  }
};

// Closes the pass output; a write that could not be done ends the run
// before the result can take the place of anything.
void close_output(const std::string& name) {
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
    report_sys_error("Cannot write file ``%s''", name.c_str());
    terminate_run(-1);
  }
}

void finish_output(PassFiles& files, const Options& o) {
  bool trace = o.debug_level != 0;
  if (o.output_given) {
    if (files.output != o.output_name)
      copy_file(files.output.c_str(), o.output_name.c_str(), trace);
  } else if (run.fatal_count == 0) {
    // A run with errors keeps the input as it was.
    std::string& result = files.output == files.work[0] ? files.work[0] : files.work[1];
    replace_file(result, o.input_name.c_str(), trace);
  }
  remove_work_file(files.work[0]);
  remove_work_file(files.work[1]);
}

class PassLoop {
 public:
  PassLoop(const Options& o, const RuleSet& rules, Scanner& sc)
      : o_(o), rules_(rules), sc_(sc), reader_(sc), pass_options_{o.opt_debug_level, o.debug_labels_on} {}

  void run_passes() {
    for (int pass = 0; pass <= rules_.pass_count; pass++) run_pass(pass);
    if (o_.show_hits)
      for (size_t pass = 0; pass < hits_.size(); pass++)
        print_hits(static_cast<int>(pass), rules_, hits_[pass], o_.rules_name.c_str());
  }

 private:
  void begin(int pass) {
    run.warning_count = 0;
    sc_.pending_comments().clear();
    if (pass == 0 && rules_.no_optimization) {
      if (o_.output_given) copy_file(o_.input_name.c_str(), o_.output_name.c_str(), o_.debug_level != 0);
      if (o_.debug_level != 0) printf("No optimization done\n");
      terminate_run(0);
    }
    files_.route(pass, o_);
    if (o_.debug_level != 0) printf("Processing %s -> %s\n", files_.input.c_str(), files_.output.c_str());
    FILE* in = open_file(files_.input.c_str(), "r");
    run.in_file = in;
    FILE* out = open_file(files_.output.c_str(), "w");
    run.out_file = out;
    sc_.open_file(in, files_.input.c_str());
    run.optimizing_phase = true;
    sc_.activate_syntax(rules_.vop_syntax);
  }

  void run_pass(int pass) {
    begin(pass);
    VopWriter out(run.out_file, rules_.cstyle);
    Pass p(rules_, pass, reader_, sc_, out, pass_options_, loop_warned_);
    p.read_vops();
    close_pass_stream(run.in_file);
    close_output(files_.output);
    bool last = pass == rules_.pass_count;
    if (last) finish_output(files_, o_);
    if (o_.show_stats) {
      printf("----------------------Pass# %d ---------------------------\n", pass + 1);
      print_counts(p.counts());
    }
    totals_ += p.counts();
    if (o_.show_hits) hits_.push_back(p.hits());
    if (last && pass != 0 && o_.show_stats) {
      printf("------------------------Final Statistics-----------------\n");
      print_counts(totals_);
      printf("----------------------------------------------------------\n");
    }
  }

  const Options& o_;
  const RuleSet& rules_;
  Scanner& sc_;
  VopReader reader_;  // one for the run: an .asm block left open stays open
  PassOptions pass_options_;
  PassFiles files_;
  PassCounts totals_;
  std::vector<std::vector<RuleHits>> hits_;  // per pass
  bool loop_warned_ = false;
};

}  // namespace

[[noreturn]] void run_program(int argc, char** argv) {
  // Line-buffered, so that an interrupt loses nothing already printed.
  setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  // Past a file-size limit a write fails, which the program reports; the
  // signal would end it with a work file left behind.
  signal(SIGXFSZ, SIG_IGN);
  install_allocation_handler();
  Options o;
  OptionParser parser(o);
  parser.set_prog_name(argc, argv);
  read_environment(o);
  collect_options(parser, o, argc, argv);
  Scanner sc;
  RuleSet rules;
  open_rules_source(o, sc, rules);
  install_interrupt_handler();
  init_rules_syntax(sc, rules);
  RulesReader(sc, rules, RulesOptions{o.rules_debug_level, o.debug_level, o.lint || o.show_hits}).read_rules();
  // Rules read with errors are reported as such, not linted.
  if (o.lint && run.fatal_count == 0) lint_rules(rules, o.rules_name.c_str());
  check_rules(o, rules);
  if (o.lint) terminate_run(0);
  PassLoop(o, rules, sc).run_passes();
  print_summary(o.silent, rules.no_optimization);
  terminate_run(run.fatal_count != 0 ? -1 : 0);
}
