// The option state of a run: filled while the options are parsed, read by
// every subsystem afterwards.
#pragma once

#include <string>

// A build that uses only the rules and configuration lines compiled into it.
#ifdef QVPEEP_EMBEDDED_ONLY
constexpr bool embedded_only = true;
#else
constexpr bool embedded_only = false;
#endif

struct OptionState {
  bool warnings_off = false;     // -w: warnings neither printed nor counted
  bool silent = false;           // +s
  bool show_stats = false;       // +stats
  bool debug_labels_on = true;   // cleared by -dbg
  int debug_level = 0;           // one per +z
  int rules_debug_level = 0;     // one per +zr
  int opt_debug_level = 0;       // one per +zo
  const char* msg_file_name = nullptr;
  std::string input_name, output_name, rules_name;
  bool input_given = false, output_given = false, rules_given = false;
  bool rules_designated = false;  // rls=, or QVDIR / QVSYS set
  std::string toolchain_dir = ".";  // QVDIR
  std::string system_name = "zbase";  // QVSYS
  std::string prog_path;          // argument word 0 as given
  const char* opt_file_name = nullptr;  // option file being read, if any
  int opt_file_line = 0;
};
extern OptionState opts;

void reset_options();
