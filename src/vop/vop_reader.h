// The VOP file reader: line kinds, the vop record, comments and debug labels.
#pragma once

#include "vop/scanner.h"

enum {
  VL_ASM = 1,
  VL_ENDASM = 2,
  VL_DIRECTIVE = 3,
  VL_COMMENT = 4,
  VL_ASM_LINE = 5,
  VL_EMPTY = 6,
  VL_LABEL = 7,
  VL_VOP = 8,
  VL_EOF = 9,
  VL_COMMENT_BEGIN = 10,
};

// A saved comment line, with its final newline. The text lives in the
// node's own allocation: release(node) frees both.
struct comment {
  comment* next;
  char* text;
  int len;
};

// A label that followed a VOP and travels with it; release(node) frees the
// name too.
struct debug_label {
  debug_label* next;
  char* name;
};

// One VOP of the window: one allocation holding the fields, the operand
// arrays and all texts.
struct vop {
  char* name;
  int name_len;  // measured once: every rule try compares the name
  vop* prev;
  vop* next;
  comment* comments;
  debug_label* dbg_labels;
  unsigned char* delims;  // one per operand, 0 for none
  char** opnds;           // ended by a null entry
  int* opnd_len;          // length of each operand text
};

struct ReaderState {
  int asm_depth = 0;           // .asm lines minus .endasm lines
  bool label_pending = false;  // go on in the same line after a label
  comment* pending_head = nullptr;  // comments read since the last VOP
  comment* pending_tail = nullptr;
};
extern ReaderState reader;

// Classifies the next statement; its parts are left in `lexed`.
int vop_lex();
// Clears at_eof and line_no before a pass reads its input.
void reset_reader();
// One allocation holding the record and copies of all texts. A null
// opnd_len means every operand text ends at its first zero byte.
vop* make_vop(const char* name, int nopnds, const char* const* opnds, const int* opnd_len,
              const unsigned char* delims);
// Releases a record built by make_vop (not its comments or debug labels).
void release_vop(vop* v);
// Moves the pending comments to the end of v's comments.
void take_pending_comments(vop* v);
void append_comments(vop* v, comment* list);
// Puts a copy of `name` at the front of v's debug labels.
void add_debug_label(vop* v, const char* name);
void append_debug_labels(vop* v, debug_label* list);

// Back to the start state, pending comments released (tests).
void reset_reader_state();
