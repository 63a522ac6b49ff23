#include "vop/vop_reader.h"

#include <cstring>

VopLine VopReader::classify_dot_name(const char* name) {
  label_pending_ = false;
  if (strcmp(name, ".asm") == 0) {
    asm_depth_++;
    return VopLine::Asm;
  }
  if (strcmp(name, ".endasm") == 0) {
    asm_depth_--;
    return VopLine::EndAsm;
  }
  return asm_depth_ >= 1 ? VopLine::AsmLine : VopLine::Directive;
}

VopLine VopReader::vop_lex() {
  const SyntaxSet& syntax = sc_.syntax();
  for (;;) {
    if (!label_pending_) sc_.read_line();
    if (sc_.at_eof()) return VopLine::Eof;
    sc_.skip_blanks();
    if (label_pending_) sc_.mark_statement_start();
    sc_.mark_statement_line();
    if (sc_.peek_char() == '\n') {
      // The rest of a label line is empty: go on with the next line.
      if (label_pending_) {
        label_pending_ = false;
        continue;
      }
      return VopLine::Empty;
    }
    if (sc_.at_text(syntax.comment_char)) {
      label_pending_ = false;
      return VopLine::Comment;
    }
    if (sc_.at_text(syntax.comment_begin)) {
      label_pending_ = false;
      return VopLine::CommentBegin;
    }
    bool dot = char_class(sc_.peek_char()) & CC_DOT;
    sc_.read_name(sc_.lexed.lex_name);
    if (dot) return classify_dot_name(sc_.lexed.lex_name);
    if (asm_depth_ >= 1) return VopLine::AsmLine;
    sc_.skip_blanks();
    if (sc_.peek_char() == ':') {
      sc_.next_char();
      label_pending_ = true;
      return VopLine::Label;
    }
    sc_.read_operands();
    return VopLine::Operation;
  }
}

void VopReader::make_vop(Vop& v) {
  const LexLine& lx = sc_.lexed;
  v.name.assign(lx.lex_name);
  v.opnds.resize(lx.lex_nopnds);
  for (int i = 0; i < lx.lex_nopnds; i++) {
    v.opnds[i].text.assign(lx.opnd(i));
    v.opnds[i].delim = lx.lex_delims[i];
  }
  move_append(v.comments, sc_.pending_comments());
}
