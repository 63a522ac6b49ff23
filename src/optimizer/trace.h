// The +zo traces of the optimizer.
#pragma once

// Prints the name and operand block of a VOP line just read.
void display_opargs(const char* title, const char* name, int nopnds, const char* const* opnds,
                    const unsigned char* delims);
// Prints every VOP of the window in the VOP line format.
void show_window();
