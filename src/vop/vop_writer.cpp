#include "vop/vop_writer.h"

#include <stdio.h>

#include "base/diag.h"

namespace {

void append_opnd(std::string& line, const std::string& text) {
  if (text.empty() || text[0] != '"') {
    line += text;
    return;
  }
  // A string constant: the marker and its decoded characters, escaped again.
  line += '"';
  for (size_t i = 1; i < text.size(); i++) {
    char c = text[i];
    if (c == '\n') {
      line += "\\n";
    } else if (c == '\0') {
      line += "\\000";
    } else {
      if (c == '"' || c == '\\') line += '\\';
      line += c;
    }
  }
  line += '"';
}

}  // namespace

void VopWriter::copy_line(const Scanner& sc) {
  std::string_view text = sc.statement_text();
  if (out_ && !text.empty()) fwrite_unlocked(text.data(), 1, text.size(), out_);
}

void VopWriter::vop_outlabel(const Scanner& sc) {
  std::string_view text = sc.statement_text();
  size_t colon = text.find(':');
  std::string_view name = text.substr(0, colon);
  if (out_ && !name.empty()) fwrite_unlocked(name.data(), 1, name.size(), out_);
  if (colon == std::string_view::npos) {
    report_internal("vop_outlabel: went past the label");
    return;
  }
  if (out_) fputs_unlocked(":\n", out_);
}

void VopWriter::write_comments(std::vector<std::string>& comments) {
  if (out_)
    for (const std::string& c : comments) fwrite_unlocked(c.data(), 1, c.size(), out_);
  comments.clear();
}

void VopWriter::write_debug_labels(std::vector<std::string>& labels) {
  for (const std::string& label : labels) {
    // Up to a zero byte, as a name is taken everywhere else.
    fputs_unlocked(label.c_str(), out_);
    fputs_unlocked(":\n", out_);
  }
  labels.clear();
}

void VopWriter::format_vop(const Vop& v, bool cstyle, std::string& line) {
  if (v.is_label) {
    line.assign(v.label_text);
    return;
  }
  line.assign(1, '\t');
  line += v.name;
  if (!v.opnds.empty()) line += cstyle ? ' ' : '\t';
  for (const VopOperand& op : v.opnds) {
    append_opnd(line, op.text);
    if (op.delim) line += static_cast<char>(op.delim);
  }
  line += '\n';
}

// The line is put together first and handed to the stream at once: one
// library call per line instead of one per piece.
void VopWriter::write_vop(const Vop& v) {
  format_vop(v, cstyle_, line_);
  fwrite_unlocked(line_.data(), 1, line_.size(), out_);
}
