#include "optimizer/trace.h"

#include <cstdio>

#include "optimizer/window.h"

void display_opargs(const char* title, const char* name, int nopnds, const char* const* opnds,
                    const unsigned char* delims) {
  printf("VOP name is %s\n", name);
  printf("Display %s\n", title);
  for (int i = 0; i < nopnds; i++)
    printf("\tArgument %d is \"%s\", delim is '%c'\n", i, opnds[i], delims[i]);
  printf("Display %s end\n", title);
}

void show_window() {
  for (const vop* v = window.window_head; v; v = v->next) write_vop(v, stdout);
}
