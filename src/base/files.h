// File helpers that end the run when a file cannot be had.
#pragma once

#include <cstdio>
#include <string>

// Opens `name` in `mode` ("r" or "w"); ends the run with status -1 on failure.
FILE* open_file(const char* name, const char* mode);

// Creates a new, empty work file in the current directory whose name begins
// with "wk" and returns its name (in string storage). Records it with
// add_temp_file in the same step, so an interrupt never leaves it behind.
const char* make_temp_name();
// The same in directory `dir` (ending in '/'); null with errno set when the
// file cannot be created, for callers that report it in their own words.
const char* create_temp_file(const std::string& dir);

// Copies every byte of `in` to `out`; false when a read or a write failed.
bool copy_stream(FILE* in, FILE* out);

// Copies the whole file `from` onto `to`, byte for byte; a file that cannot
// be opened ends the run. Prints "Copying" under +z.
void copy_file(const char* from, const char* to);
