// The window of VOPs: reading a pass input into it, matching the rules of a
// pass against it, and writing VOPs out in the VOP line format.
#pragma once

#include <cstdio>

#include "vop/vop_reader.h"

struct st_entry;

// The VOPs held back so that rules can match across them, oldest first.
struct WindowState {
  vop* window_head = nullptr;    // oldest
  vop* window_tail = nullptr;    // newest
  vop* window_cursor = nullptr;  // where the next search starts
  int window_count = 0;
  int window_limit = 8;          // VOPs held before the oldest is written out
  int window_base = 8;           // built-in size, raised to the longest pattern
};
extern WindowState window;

// Reads the pass input to its end and handles every line by its kind.
void read_vops(int pass);
// Builds a VOP from the line just lexed, appends it and runs the optimizing loop.
void optimize_vop(int pass);
// Writes out and releases the oldest VOP, or every VOP when `all`.
void flush_vops(bool all);
// Writes each debug label as a label line to the pass output and releases it.
void write_debug_labels(debug_label* list);
// Writes one VOP line to `f`.
void write_vop(const vop* v, FILE* f);
void write_opnd(const char* text, int len, FILE* f);
// Tries the pass's rules from `reach` VOPs before the cursor onward; 1 when
// one matched and was replaced.
int try_rules(int reach, int pass);
// The number of VOPs `rule` matches from `v` on, or 0.
int match_rule(vop* v, st_entry* rule);
bool match_opnds(const vop* v, const st_entry* opnds);
// Matches `text` (of `len` characters) against a chain of sub-operands,
// binding rule variables on the way.
bool sub_opnds_match(const char* text, int len, const st_entry* sub);

void reset_window();
