// The options of a run and where they come from: the configuration value,
// the command line and x= option files; the usage text, the banner and the
// completion of file names.
#pragma once

#include <deque>
#include <string>

#include "base/diag.h"

// A build that uses only the rules and configuration lines compiled into it.
#ifdef QVPEEP_EMBEDDED_ONLY
constexpr bool embedded_only = true;
#else
constexpr bool embedded_only = false;
#endif

struct Options {
  bool warnings_off = false;     // -w: warnings neither printed nor counted
  bool silent = false;           // +s
  bool show_stats = false;       // +stats
  bool show_hits = false;        // +hits: what each rule did
  bool lint = false;             // +lint: check the rules, do not optimize
  bool debug_labels_on = true;   // cleared by -dbg
  int debug_level = 0;           // one per +z
  int rules_debug_level = 0;     // one per +zr
  int opt_debug_level = 0;       // one per +zo
  std::string input_name, output_name, rules_name;
  bool input_given = false, output_given = false, rules_given = false;
  bool rules_designated = false;      // rls=, or QVDIR / QVSYS set
  std::string toolchain_dir = ".";    // QVDIR
  std::string system_name = "zbase";  // QVSYS
  std::string prog_path;              // argument word 0 as given
  // Words taken from the configuration value and option files: status=
  // may point into them for the whole run.
  std::deque<std::string> kept_words;
};

// Option files read one from inside another, at most.
constexpr int kMaxOptionFileDepth = 16;

class OptionParser {
 public:
  explicit OptionParser(Options& o) : o_(o) {}

  // Records argument word 0 as prog_path and derives the program name from it.
  void set_prog_name(int argc, const char* const* argv);
  // Parses words 1 to count - 1 of one list (word 0 is ignored).
  void parse_options(int count, const char* const* words);
  // Cuts one configuration value into words and parses them.
  void inject_option_text(const char* value);
  // Reads an x= option file line by line (pieces of at most 255 characters).
  void read_option_file(const char* name);
  // Banner, optional option-file location, message, usage text; exits with -1.
  [[noreturn]] void usage_error(const char* fmt, ...) QV_PRINTF(2, 3);
  // Adds the default extensions and builds the default rules file name.
  void complete_names(bool embedded);

 private:
  bool apply_switch(std::string_view word);
  void take_file_name(const char* word);
  void parse_word(const char* word);
  void redirect_messages(const char* name);
  void print_usage_lines();

  Options& o_;
  const char* opt_file_name_ = nullptr;  // option file being read, if any
  int opt_file_line_ = 0;
  int opt_file_depth_ = 0;  // option files being read, one inside the other
};

// "<prog_name> 1.07 2003/05/14".
void print_banner();

// The extension of `name` (from its last '.' on), or null when it has none.
const char* file_extension(const char* name);
