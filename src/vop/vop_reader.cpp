#include "vop/vop_reader.h"

#include <cstring>

#include "base/diag.h"
#include "base/storage.h"
#include "vop/vop_writer.h"

ReaderState reader;

namespace {

// Lines of a dot name: an .asm block's bounds, or a directive or block line.
int classify_dot_name(const char* name) {
  reader.label_pending = false;
  if (strcmp(name, ".asm") == 0) {
    reader.asm_depth++;
    return VL_ASM;
  }
  if (strcmp(name, ".endasm") == 0) {
    reader.asm_depth--;
    return VL_ENDASM;
  }
  return reader.asm_depth >= 1 ? VL_ASM_LINE : VL_DIRECTIVE;
}

template <typename Node>
void append_list(Node*& head, Node* list) {
  Node** link = &head;
  while (*link) link = &(*link)->next;
  *link = list;
}

size_t text_len(const char* const* opnds, const int* opnd_len, int i) {
  return opnd_len ? static_cast<size_t>(opnd_len[i]) : strlen(opnds[i]);
}

}  // namespace

int vop_lex() {
  for (;;) {
    if (!reader.label_pending) read_line();
    if (scanner.at_eof) return VL_EOF;
    skip_blanks();
    if (reader.label_pending) scanner.tok_start = src.line_pos;
    src.stmt_line = scanner.line_no;
    if (peek_char() == '\n') {
      // The rest of a label line is empty: go on with the next line.
      if (reader.label_pending) {
        reader.label_pending = false;
        continue;
      }
      return VL_EMPTY;
    }
    if (at_text(active_syntax.comment_char)) {
      reader.label_pending = false;
      return VL_COMMENT;
    }
    if (at_text(active_syntax.comment_begin)) {
      reader.label_pending = false;
      return VL_COMMENT_BEGIN;
    }
    bool dot = char_class[peek_char()] & CC_DOT;
    read_name(lexed.lex_name);
    if (dot) return classify_dot_name(lexed.lex_name);
    if (reader.asm_depth >= 1) return VL_ASM_LINE;
    skip_blanks();
    if (peek_char() == ':') {
      next_char();
      reader.label_pending = true;
      return VL_LABEL;
    }
    read_operands();
    return VL_VOP;
  }
}

void reset_reader() {
  scanner.at_eof = false;
  scanner.line_no = 0;
}

vop* make_vop(const char* name, int nopnds, const char* const* opnds, const int* opnd_len,
              const unsigned char* delims) {
  size_t name_size = strlen(name) + 1;
  size_t size = sizeof(vop) + (nopnds + 1) * sizeof(char*) + nopnds * sizeof(int) + name_size;
  for (int i = 0; i < nopnds; i++) size += text_len(opnds, opnd_len, i) + 1;
  size += nopnds;
  // Fields, pointer array and length array come first, for their alignment;
  // the texts and the delimiter bytes follow.
  char* block = static_cast<char*>(checked_alloc(size, "VOP handle"));
  vop* v = reinterpret_cast<vop*>(block);
  v->prev = v->next = nullptr;
  v->comments = nullptr;
  v->dbg_labels = nullptr;
  v->opnds = reinterpret_cast<char**>(block + sizeof(vop));
  v->opnd_len = reinterpret_cast<int*>(v->opnds + nopnds + 1);
  char* text = reinterpret_cast<char*>(v->opnd_len + nopnds);
  v->name = text;
  v->name_len = static_cast<int>(name_size - 1);
  memcpy(text, name, name_size);
  text += name_size;
  for (int i = 0; i < nopnds; i++) {
    size_t len = text_len(opnds, opnd_len, i);
    v->opnds[i] = text;
    v->opnd_len[i] = static_cast<int>(len);
    memcpy(text, opnds[i], len);
    text[len] = '\0';
    text += len + 1;
  }
  v->opnds[nopnds] = nullptr;
  v->delims = reinterpret_cast<unsigned char*>(text);
  if (nopnds > 0) memcpy(v->delims, delims, nopnds);
  return v;
}

void release_vop(vop* v) { release(v); }

void take_pending_comments(vop* v) {
  append_comments(v, reader.pending_head);
  reader.pending_head = reader.pending_tail = nullptr;
}

void append_comments(vop* v, comment* list) { append_list(v->comments, list); }

void add_debug_label(vop* v, const char* name) {
  size_t size = strlen(name) + 1;
  debug_label* node =
      static_cast<debug_label*>(checked_alloc(sizeof(debug_label) + size, "debug label"));
  node->name = reinterpret_cast<char*>(node + 1);
  memcpy(node->name, name, size);
  node->next = v->dbg_labels;
  v->dbg_labels = node;
}

void append_debug_labels(vop* v, debug_label* list) { append_list(v->dbg_labels, list); }

void reset_reader_state() {
  discard_comments(nullptr);
  reader = ReaderState{};
}
