// Files of a run: opening, work files, copying, and putting a result in the
// place of a file. Failures are reported and end the run.
#pragma once

#include <cstdio>
#include <string>

// A stream that opened but names a directory, which reads as nothing.
bool is_directory(FILE* f);

// Opens `name` in `mode` ("r" or "w"); ends the run with status -1 on failure.
FILE* open_file(const char* name, const char* mode);

// Creates a new, empty work file in directory `dir` (ending in '/', or empty
// for the current one) whose name begins with "wk", recorded for removal in
// the same step. Empty with errno set when it cannot be created.
std::string create_temp_file(const std::string& dir);
// The same in the current directory; a failure ends the run.
std::string make_temp_name();
// Removes a work file made above and forgets it; an empty name is ignored.
void remove_work_file(std::string& name);

// Copies every byte of `in` to `out`; false when a read or a write failed.
bool copy_stream(FILE* in, FILE* out);

// Copies the whole file `from` onto `to`, byte for byte. `trace` prints
// "Copying" first.
void copy_file(const char* from, const char* to, bool trace);

// Puts the finished work file `result` in the place of `target`, keeping
// target's permission bits and writing through a symbolic link; the target
// is whole until the rename. `result` is emptied once it is gone.
void replace_file(std::string& result, const char* target, bool trace);
