#include "vop/vop_writer.h"

#include <cstdio>

#include "base/diag.h"
#include "base/run.h"
#include "base/storage.h"

namespace {

// Writes (when `out` is set) and releases a comment list.
void flush_list(comment*& head, FILE* out) {
  while (head) {
    comment* node = head;
    head = node->next;
    if (out) fwrite(node->text, 1, node->len, out);
    release(node);
  }
}

comment*& list_of(vop* v) { return v ? v->comments : reader.pending_head; }

void end_list(vop* v) {
  if (!v) reader.pending_tail = nullptr;
}

}  // namespace

void copy_line() {
  FILE* out = run.out_file.load();
  int start = scanner.tok_start;
  if (out && src.line_len > start) fwrite(src.line_buf + start, 1, src.line_len - start, out);
}

void vop_outlabel() {
  FILE* out = run.out_file.load();
  int pos = scanner.tok_start;
  while (pos < src.line_len && src.line_buf[pos] != ':') pos++;
  if (out && pos > scanner.tok_start) fwrite(src.line_buf + scanner.tok_start, 1, pos - scanner.tok_start, out);
  if (pos >= src.line_len) {
    report_internal("vop_outlabel: went past the label");
    return;
  }
  if (out) fputs(":\n", out);
}

void write_comments(vop* v) {
  flush_list(list_of(v), run.out_file.load());
  end_list(v);
}

void discard_comments(vop* v) {
  flush_list(list_of(v), nullptr);
  end_list(v);
}
