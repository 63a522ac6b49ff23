#include "optimizer/trace.h"

#include <cstdio>
#include <string>

void display_opargs(const char* title, const LexLine& lx) {
  printf("VOP name is %s\n", lx.lex_name);
  printf("Display %s\n", title);
  for (int i = 0; i < lx.lex_nopnds; i++)
    printf("\tArgument %d is \"%s\", delim is '%c'\n", i, lx.opnd_c_str(i), lx.lex_delims[i]);
  printf("Display %s end\n", title);
}

void show_window(const Window& w, bool cstyle) {
  std::string line;
  for (const Vop* v = w.head(); v; v = v->next) {
    VopWriter::format_vop(*v, cstyle, line);
    fwrite(line.data(), 1, line.size(), stdout);
  }
}
