// Reads the input as a VOP file and writes every line back as a pass does,
// under syntax settings the first byte picks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "lex/scanner.h"
#include "vop/vop_reader.h"
#include "vop/vop_writer.h"

namespace {

SyntaxSet pick_syntax(uint8_t b) {
  SyntaxSet s;
  if (b & 1) s.comment_begin = "/*", s.comment_end = "*/";
  if (b & 2) s.comment_char = "#";
  if (b & 4) s.delim_chars = ",";
  if (b & 8) s.comment_char = nullptr;
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start();
  if (size == 0) return 0;
  write_text("in.asm", std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  FILE* in = fopen("in.asm", "r");
  char* written = nullptr;
  size_t written_len = 0;
  FILE* out = open_memstream(&written, &written_len);
  check(in && out);
  try {
    Scanner sc;
    sc.activate_syntax(pick_syntax(data[0]));
    sc.open_file(in, "in.asm");
    VopReader reader(sc);
    VopWriter writer(out, data[0] & 16);
    Vop v;
    for (VopLine kind; (kind = reader.vop_lex()) != VopLine::Eof;) {
      switch (kind) {
        case VopLine::Comment: sc.save_comment(false); break;
        case VopLine::CommentBegin: sc.skip_block_comment(); break;
        case VopLine::Label: writer.vop_outlabel(sc); break;
        case VopLine::Operation: {
          v.clear();
          reader.make_vop(v);
          writer.write_comments(v.comments);
          writer.write_vop(v);
          check(v.opnds.size() <= static_cast<size_t>(kMaxOperands));
          // A VOP is written as one whole line.
          check(fflush(out) == 0 && written_len > 0 && written[written_len - 1] == '\n');
          break;
        }
        default: writer.copy_line(sc); break;
      }
    }
    writer.write_comments(sc.pending_comments());
  } catch (const RunEnded&) {
  }
  fclose(in);
  fclose(out);
  free(written);
  return 0;
}
