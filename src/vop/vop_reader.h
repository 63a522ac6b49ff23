// The VOP file reader: the kind of each line, and VOP records made from the
// statement just read.
#pragma once

#include "lex/scanner.h"
#include "vop/vop.h"

enum class VopLine {
  Asm,           // .asm
  EndAsm,        // .endasm
  Directive,     // another dot name outside an .asm block
  Comment,       // a line comment
  AsmLine,       // a line inside an .asm block
  Empty,
  Label,         // name:
  Operation,     // a VOP; its parts are in the scanner's `lexed`
  Eof,
  CommentBegin,  // a block comment begins
};

class VopReader {
 public:
  explicit VopReader(Scanner& scanner) : sc_(scanner) {}

  // Classifies the next statement.
  VopLine vop_lex();
  // Fills `v` from the statement just read, with the comments read before it.
  void make_vop(Vop& v);

 private:
  VopLine classify_dot_name(const char* name);

  Scanner& sc_;
  int asm_depth_ = 0;           // .asm lines minus .endasm lines
  bool label_pending_ = false;  // go on in the same line after a label
};
