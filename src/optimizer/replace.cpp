#include "optimizer/replace.h"

#include "base/diag.h"

namespace {

// Adds the text of one piece; `bad_kind` is the message for a piece that
// cannot stand in a replacement line.
void add_piece(std::string& t, const Piece& piece, const Bindings& b, const char* bad_kind) {
  if (const auto* var = std::get_if<VarPiece>(&piece)) {
    if (!b.is_bound(var->var)) {
      report_internal("replace_vops() - unassigned variable operand");
      return;
    }
    t += b.text(var->var);
  } else if (const auto* text = std::get_if<TextPiece>(&piece)) {
    t += text->text;
  } else {
    report_internal("%s", bad_kind);
  }
}

// Fills `v` from one replacement line. A name is taken up to a zero byte,
// as when it was read.
void build_vop(Vop& v, const RuleLine& line, const Bindings& b) {
  size_t n = std::min(line.opnds.size(), static_cast<size_t>(kMaxOperands));
  v.opnds.resize(n);
  for (size_t i = 0; i < n; i++) {
    VopOperand& op = v.opnds[i];
    op.delim = line.opnds[i].delim;
    for (const Piece& piece : line.opnds[i].pieces)
      add_piece(op.text, piece, b, "replace_vops() - bad opnd sub_ntype");
  }
  for (const Piece& piece : line.name_pieces)
    add_piece(v.name, piece, b, "replace_vops() - bad vop opnd sub_ntype");
  if (size_t nul = v.name.find('\0'); nul != std::string::npos) v.name.resize(nul);
  v.is_label = line.label;
  if (line.label) v.label_text = v.name + ":\n";
}

// A label the rule keeps is written as it was read.
void keep_label_line(Vop& label, const Vop* matched, int n) {
  for (int i = 0; i < n && matched; i++, matched = matched->next)
    if (matched->is_label && matched->name == label.name) {
      label.label_text = matched->label_text;
      return;
    }
}

}  // namespace

int replace_vops(Window& w, const Rule& rule, int n, const Bindings& b, int keep) {
  Vop* first = nullptr;
  Vop* last = nullptr;
  for (const RuleLine& line : rule.replacement) {
    Vop* v = w.new_vop();
    build_vop(*v, line, b);
    if (v->is_label) keep_label_line(*v, w.cursor(), n);
    w.count_new();
    v->prev = last;
    if (last)
      last->next = v;
    else
      first = v;
    last = v;
  }
  w.splice_vops(first, last, n);
  w.trim_window(keep);
  return static_cast<int>(rule.replacement.size());
}
