// The +zo traces of the optimizer.
#pragma once

#include "lex/scanner.h"
#include "optimizer/window.h"

// Prints the name and operand block of the VOP line just read.
void display_opargs(const char* title, const LexLine& lx);
// Prints every VOP of the window in the VOP line format.
void show_window(const Window& w, bool cstyle);
