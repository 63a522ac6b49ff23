// Putting the VOPs of a rule's .by part in the place of the VOPs it matched.
#pragma once

#include "vop/vop_reader.h"

struct st_entry;

// Replaces the `n` VOPs from the window cursor on by the VOPs of rule's .by part.
void replace_vops(st_entry* rule, int n);
// Links the new VOPs first..last (null for none) in place of the `n` matched ones.
void splice_vops(vop* first, vop* last, int n);
