// The toolchain's configuration store: keyed texts with nested sections.
#pragma once

#include <cstdio>

struct cfg_reader;

// Size of a value handed out by cfg_get.
constexpr int kCfgResultSize = 1040;

struct CfgState {
  const char* const* builtin_lines;    // lines compiled into the program, null-ended
  bool embedded_only;                  // the build consults the built-in lines only
  char builtin_value[kCfgResultSize];  // last value found in the built-in lines
  char file_value[kCfgResultSize];     // last value found in the configuration file
};
extern CfgState cfg_state;

// The built-in configuration lines (none), ended by a null entry.
extern const char* const cfg_builtin_lines[];

// The value stored under the compound key, or null when none or empty.
const char* cfg_get(const char* key);

// A reader over the file at `path`; null for a null or empty path or a file that cannot be opened.
cfg_reader* cfg_open_file(const char* path, int mandatory);
// A reader over a null-ended list of lines; null for a null list.
cfg_reader* cfg_open_lines(const char* const* lines, int mandatory);
// A reader over exactly one of `fp` and `lines`; anything else ends the run as a program error.
cfg_reader* cfg_open_source(FILE* fp, const char* const* lines, int mandatory);
// The value of the first entry under `key` (valid until the next lookup), or null.
const char* cfg_lookup(cfg_reader* reader, const char* key);
// Closes the source and frees the reader; null is ignored.
void cfg_close(cfg_reader* reader);

// Back to the built-in lines, the build's setting and empty results.
void reset_cfg();
