// The option sources of a run (configuration value, command line, x= option
// files), the usage text, the banner and the completion of file names. The
// state they fill is `opts` (base/options.h).
#pragma once

#include "base/diag.h"

// The words taken from the configuration value, each in its own block: the
// status= and msg= texts and option-file names may point into them for the
// run. (Option-file words go to string storage.) A plain array, so that no
// destructor at exit makes them unreachable.
struct OptionWords {
  char** kept = nullptr;
  int count = 0;
  int capacity = 0;
};
extern OptionWords option_words;

// Frees the kept words (tests start clean).
void reset_option_words();

// Records argument word 0 as prog_path and derives run.prog_name from it.
void set_prog_name(int argc, const char* const* argv);

// Parses words 1 to count - 1 of one list (word 0 is ignored).
void parse_options(int count, const char* const* words);

// Parses the options stored under qvpeep*CmdLineOptions, if any.
void inject_config_options();
// Cuts one configuration value into words and parses them.
void inject_option_text(const char* value);

// Reads an x= option file line by line (pieces of at most 255 characters).
void read_option_file(const char* name);

// After the command line: input check, name completion, banner, rules source.
void finish_options();

// Banner, optional option-file location, message, usage text; exits with -1.
[[noreturn]] void usage_error(const char* fmt, ...) QV_PRINTF(1, 2);

// "<prog_name> 1.07 2003/05/14".
void print_banner();

// Adds the default extensions and builds the default rules file name.
void complete_names();

// The extension of `name` (from its last '.' on), or null when it has none.
const char* file_extension(const char* name);
