// Putting the VOPs of a rule's replacement in the place of the VOPs it matched.
#pragma once

#include "optimizer/match.h"
#include "optimizer/window.h"

// Replaces the `n` VOPs from the window's cursor on by the VOPs of the
// rule's replacement, built from the bindings; returns how many were built.
int replace_vops(Window& w, const Rule& rule, int n, const Bindings& b, int keep);
