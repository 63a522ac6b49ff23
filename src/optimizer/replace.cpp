#include "optimizer/replace.h"

#include <cstring>

#include "base/diag.h"
#include "base/run.h"
#include "base/storage.h"
#include "optimizer/passes.h"
#include "optimizer/window.h"
#include "rules/operands.h"
#include "rules/rules_file.h"
#include "vop/vop_writer.h"

namespace {

// A text built from the pieces of a .by operand or name, in working storage
// allocated under `label`.
struct Text {
  char* data = nullptr;
  int len = 0;
  int cap = 0;

  void add(const char* piece, int n, const char* label) {
    if (len + n + 1 > cap) {
      cap = (len + n + 1) * 2;
      data = static_cast<char*>(checked_realloc(data, cap, label));
    }
    memcpy(data + len, piece, n);
    len += n;
    data[len] = '\0';
  }
};

// Adds the text of one piece; `bad_kind` is the message for a piece that
// cannot stand in a .by line.
void add_piece(Text& t, const st_entry* sub, const char* label, const char* bad_kind) {
  if (sub->sub_ntype == SUB_N_VAR) {
    if (!sub->var->text) {
      report_internal("replace_vops() - unassigned variable operand");
      return;
    }
    t.add(sub->var->text, sub->var->len, label);
  } else if (sub->sub_ntype == SUB_N_SCAN) {
    t.add(sub->text, static_cast<int>(strlen(sub->text)), label);
  } else {
    report_internal("%s", bad_kind);
  }
}

// Builds the VOP of one .by line from the variables bound by the match.
vop* build_vop(const st_entry* line) {
  Text texts[kMaxOperands];
  const char* opnds[kMaxOperands];
  int lens[kMaxOperands];
  unsigned char delims[kMaxOperands];
  int n = 0;
  for (const st_entry* op = line->opnds; op && n < kMaxOperands; op = op->next, n++) {
    delims[n] = op->delim;
    for (const st_entry* sub = op->sub_opnds; sub; sub = sub->next_sub)
      add_piece(texts[n], sub, "VOP argument", "replace_vops() - bad opnd sub_ntype");
    opnds[n] = texts[n].data ? texts[n].data : "";
    lens[n] = texts[n].len;
  }
  window.window_count++;
  Text name;
  name.add("", 0, "Temp");
  for (const st_entry* sub = line->name_opnds; sub; sub = sub->next_sub)
    add_piece(name, sub, sub == line->name_opnds ? "Temp" : "VOP name argument",
              "replace_vops() - bad vop opnd sub_ntype");
  vop* v = make_vop(name.data, n, opnds, lens, delims);
  release(name.data);
  for (int i = 0; i < n; i++) release(texts[i].data);
  return v;
}

// Keeps the L VOPs in front of the replacement point and writes out older
// ones while the window is over its limit.
void trim_window() {
  vop* keep = window.window_cursor;
  for (int i = 0; keep && i < rules.max_repl_lines && keep != window.window_head && keep->prev;
       i++)
    keep = keep->prev;
  while (window.window_count > window.window_limit && window.window_head &&
         window.window_head != keep)
    flush_vops(false);
  if (window.window_count > window.window_limit) window.window_limit = window.window_count;
}

}  // namespace

void replace_vops(st_entry* rule, int n) {
  vop* first = nullptr;
  vop* last = nullptr;
  int b = 0;
  for (const st_entry* line = rule->by; line; line = line->next, b++) {
    vop* v = build_vop(line);
    v->prev = last;
    if (last)
      last->next = v;
    else
      first = v;
    last = v;
  }
  if (b < n)
    passes.counts.opt_fewer++;
  else if (b == n)
    passes.counts.opt_same++;
  else
    passes.counts.opt_more++;
  splice_vops(first, last, n);
  trim_window();
}

void splice_vops(vop* first, vop* last, int n) {
  vop* before = window.window_cursor->prev;
  vop* v = window.window_cursor;
  for (int i = 0; i < n && v; i++) {
    vop* next = v->next;
    if (first) {
      append_comments(first, v->comments);
      append_debug_labels(last, v->dbg_labels);
    } else {
      // Nothing replaces the VOP: its comments go to the VOP in front, or
      // out at once; its debug labels are written at once.
      if (before) {
        append_comments(before, v->comments);
      } else {
        write_comments(v);
      }
      write_debug_labels(v->dbg_labels);
    }
    v->comments = nullptr;
    v->dbg_labels = nullptr;
    window.window_count--;
    v->name = const_cast<char*>("<replaced>");
    release_vop(v);
    v = next;
  }
  vop* after = v;
  vop* head = first ? first : after;
  vop* tail = last ? last : before;
  if (first) {
    first->prev = before;
    last->next = after;
  }
  if (before)
    before->next = head;
  else
    window.window_head = head;
  if (after)
    after->prev = tail;
  else
    window.window_tail = tail;
  window.window_cursor = head;
}
