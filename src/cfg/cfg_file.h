// The toolchain's configuration store: keyed texts with nested sections.
#pragma once

struct cfg_reader;

// The value stored under the compound key, or null when none or empty.
const char* cfg_get(const char* key);

cfg_reader* cfg_open_file(const char* path, int mandatory);
cfg_reader* cfg_open_lines(const char* const* lines, int mandatory);
const char* cfg_lookup(cfg_reader* reader, const char* key);
void cfg_close(cfg_reader* reader);
