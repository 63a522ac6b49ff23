// Writing what is not a VOP line to the pass output (run.out_file): copied
// lines, labels and comments.
#pragma once

#include "vop/vop_reader.h"

void copy_line();
void vop_outlabel();
// Writes and releases v's comments, or the pending ones when v is null.
void write_comments(vop* v);
// As write_comments, without writing.
void discard_comments(vop* v);
