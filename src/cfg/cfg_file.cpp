#include "cfg/cfg_file.h"

// Placeholder until the store is built: nothing is configured.
const char* cfg_get(const char*) { return nullptr; }
cfg_reader* cfg_open_file(const char*, int) { return nullptr; }
cfg_reader* cfg_open_lines(const char* const*, int) { return nullptr; }
const char* cfg_lookup(cfg_reader*, const char*) { return nullptr; }
void cfg_close(cfg_reader*) {}
