#include "vop/vop_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/diag.h"
#include "base/options.h"
#include "base/storage.h"
#include "vop/vop_writer.h"
#include "test_support.h"

namespace {

using Lines = std::vector<std::string>;

const char* kind_name(int kind) {
  static const char* const names[] = {"?",     "ASM",   "ENDASM", "DIRECTIVE", "COMMENT", "ASM_LINE",
                                      "EMPTY", "LABEL", "VOP",    "EOF",       "COMMENT_BEGIN"};
  return kind >= 1 && kind <= 10 ? names[kind] : "?";
}

std::string operands() {
  std::string out;
  for (int i = 0; i < lexed.lex_nopnds; i++) {
    out += " [" + std::string(lexed.lex_opnds[i], lexed.lex_opnd_len[i]) + "]";
    if (lexed.lex_delims[i]) out += static_cast<char>(lexed.lex_delims[i]);
  }
  return out;
}

std::string pending() {
  std::string out;
  for (comment* c = reader.pending_head; c; c = c->next) out += "{" + std::string(c->text, c->len) + "}";
  return out;
}

class VopReaderTest : public testing::Test {
 protected:
  void SetUp() override {
    reset_all_modules();
    activate_syntax(vop_syntax);
  }
  void TearDown() override {
    reset_all_modules();
  }

  void open_lines(Lines lines) { lines_.open(std::move(lines), "t.vop"); }

  // Lexes to the end, acting as the consumer of comment lines. Each
  // statement as "line:KIND name @tok_start operands" (name and operands
  // where the kind has them).
  Lines lex_all() {
    Lines out;
    for (;;) {
      int kind = vop_lex();
      std::string s = std::to_string(src.stmt_line) + ":" + kind_name(kind);
      if (kind == VL_EOF) {
        out.push_back(s);
        return out;
      }
      if (kind != VL_EMPTY && kind != VL_COMMENT && kind != VL_COMMENT_BEGIN)
        s += std::string(" ") + lexed.lex_name;
      s += " @" + std::to_string(scanner.tok_start);
      if (kind == VL_VOP) s += operands();
      if (kind == VL_COMMENT) save_comment(false);
      if (kind == VL_COMMENT_BEGIN) skip_block_comment();
      out.push_back(s);
    }
  }

  LineTable lines_;
};

struct LexCase {
  Lines input;
  Lines statements;
  int asm_depth;
};

TEST_F(VopReaderTest, LineKinds) {
  LexCase cases[] = {
      {{}, {"0:EOF"}, 0},
      {{"\tcmp\t#0x0,r5"}, {"1:VOP cmp @0 [#0x0], [r5]", "1:EOF"}, 0},
      {{"L1: mov r1,r2"}, {"1:LABEL L1 @0", "1:VOP mov @4 [r1], [r2]", "1:EOF"}, 0},
      {{"  L1:", "\tnop"}, {"1:LABEL L1 @0", "2:VOP nop @0", "2:EOF"}, 0},
      {{"L1 :"}, {"1:LABEL L1 @0", "1:EOF"}, 0},
      {{"L1:L2: nop"}, {"1:LABEL L1 @0", "1:LABEL L2 @3", "1:VOP nop @7", "1:EOF"}, 0},
      {{"L1: ; c"}, {"1:LABEL L1 @0", "1:COMMENT @4", "1:EOF"}, 0},
      {{"", "  \t", "   .text"}, {"1:EMPTY @0", "2:EMPTY @0", "3:DIRECTIVE .text @0", "3:EOF"}, 0},
      {{".L1:"}, {"1:DIRECTIVE .L1 @0", "1:EOF"}, 0},
      {{"mov,r1"}, {"1:VOP mov,r1 @0", "1:EOF"}, 0},
      {{"nop;c"}, {"1:VOP nop;c @0", "1:EOF"}, 0},
      {{"mov.w r1 , r2"}, {"1:VOP mov.w @0 [r1]  [], [r2]", "1:EOF"}, 0},
      // .asm blocks
      {{".asm", "   .text", "  .asm", "L1:", "x y", "; note", "", ".endasm", "L1:", ".endasm", "L2:"},
       {"1:ASM .asm @0", "2:ASM_LINE .text @0", "3:ASM .asm @0", "4:ASM_LINE L1 @0",
        "5:ASM_LINE x @0", "6:COMMENT @0", "7:EMPTY @0", "8:ENDASM .endasm @0",
        "9:ASM_LINE L1 @0", "10:ENDASM .endasm @0", "11:LABEL L2 @0", "11:EOF"},
       0},
      {{".asm", "x"}, {"1:ASM .asm @0", "2:ASM_LINE x @0", "2:EOF"}, 1},
      {{".endasm", "nop", ".asm", "nop"},
       {"1:ENDASM .endasm @0", "2:VOP nop @0", "3:ASM .asm @0", "4:VOP nop @0", "4:EOF"},
       0},
      {{".ASM", "nop"}, {"1:DIRECTIVE .ASM @0", "2:VOP nop @0", "2:EOF"}, 0},
      // A label line's rest that is empty brings no EMPTY
      {{"L1:  ", "", "x"}, {"1:LABEL L1 @0", "2:EMPTY @0", "3:VOP x @0", "3:EOF"}, 0},
  };
  for (const LexCase& c : cases) {
    SCOPED_TRACE(c.input.empty() ? "(empty)" : c.input[0]);
    reset_reader_state();
    open_lines(c.input);
    EXPECT_EQ(lex_all(), c.statements);
    EXPECT_EQ(reader.asm_depth, c.asm_depth);
    EXPECT_FALSE(reader.label_pending);
  }
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(VopReaderTest, CommentsBecomePending) {
  vop_syntax.comment_begin = "/*";
  vop_syntax.comment_end = "*/";
  activate_syntax(vop_syntax);
  open_lines({"   ; note", "nop ; done", "nop ;", "  /* a", "b */", "L1: nop /* c */ L2: mov r1 ; d",
              "nop"});
  EXPECT_EQ(lex_all(), (Lines{"1:COMMENT @0", "2:VOP nop @0", "3:VOP nop @0", "4:COMMENT_BEGIN @0",
                              "6:LABEL L1 @0", "6:VOP nop @4", "6:LABEL L2 @16",
                              "6:VOP mov @20 [r1] ", "7:VOP nop @0", "7:EOF"}));
  EXPECT_EQ(pending(), "{; note\n}{; done\n}{/* a\n}{b */\n}{/* c */\n}{; d\n}");
}

TEST_F(VopReaderTest, LongLinesAreOneStatementEach) {
  std::string dir = "\t.ascii\t\"" + std::string(4000, 'd') + "\"";
  std::string com = "; " + std::string(4000, 'c');
  std::string opnd(4000, 'o');
  std::string lab = "L1:\tmov\t#" + opnd + ",r5";
  std::string vop = "\tcall\t#" + opnd + "x";
  open_lines({dir, com, lab, vop, "nop"});
  EXPECT_EQ(vop_lex(), VL_DIRECTIVE);
  EXPECT_EQ(std::string(src.line_buf, src.line_len), dir + "\n");
  EXPECT_EQ(scanner.line_no, 1);
  EXPECT_EQ(vop_lex(), VL_COMMENT);
  save_comment(false);
  EXPECT_EQ(pending(), "{" + com + "\n}");
  EXPECT_EQ(scanner.line_no, 2);
  EXPECT_EQ(vop_lex(), VL_LABEL);
  EXPECT_EQ(vop_lex(), VL_VOP);
  EXPECT_STREQ(lexed.lex_name, "mov");
  EXPECT_EQ(operands(), " [#" + opnd + "], [r5]");
  EXPECT_EQ(scanner.line_no, 3);
  EXPECT_EQ(vop_lex(), VL_VOP);
  EXPECT_EQ(operands(), " [#" + opnd + "x]");
  EXPECT_EQ(scanner.line_no, 4);
  EXPECT_EQ(vop_lex(), VL_VOP);
  EXPECT_STREQ(lexed.lex_name, "nop");
  EXPECT_EQ(src.stmt_line, 5);
  EXPECT_EQ(vop_lex(), VL_EOF);
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(VopReaderTest, ErrorsEchoTheLineWithAMarker) {
  struct Case {
    Lines input;
    std::string out;
  } cases[] = {
      {{"\tnop", "\tmov\t\"ab\"x,r2"},
       "\tmov\t\"ab\"x,r2\n"
       "\t   \t    |\n"
       "\"t.vop\", line 2: Expected ``;'', ' ', '\\t', ',', or <newline>\n"},
      {{"  L1: " + std::string(130, 'n') + " r1"},
       "  L1: " + std::string(130, 'n') + " r1\n" + std::string(134, ' ') +
           "|\n\"t.vop\", line 1: VOP name too long\n"},
      {{"\tmov\t\"a", "b\",r1"},
       "b\",r1\n|\n\"t.vop\", line 1: Warning: Unescaped newline in string or character constant\n"},
  };
  for (const Case& c : cases) {
    reset_diag();
    open_lines(c.input);
    EXPECT_EQ(capture_stdout([this] { lex_all(); }), c.out);
  }
}

TEST_F(VopReaderTest, StringOperandSpanningLines) {
  open_lines({"\tmov\t\"a\\", "b\",r1", "nop"});
  EXPECT_EQ(lex_all(), (Lines{"1:VOP mov @0 [\"ab], [r1]", "3:VOP nop @0", "3:EOF"}));
  EXPECT_EQ(diag.warning_count, 0);
}

// ---- Records

TEST_F(VopReaderTest, MakeVopCopiesEverythingIntoOneRecord) {
  char a[] = "r1";
  char b[] = {'"', 'x', '\0', 'y', '\0'};
  char c[] = "";
  const char* opnds[] = {a, b, c};
  int lens[] = {2, 4, 0};
  unsigned char delims[] = {',', ' ', 0};
  char name[] = "mov";
  vop* v = make_vop(name, 3, opnds, lens, delims);
  a[0] = b[1] = name[0] = '#';
  EXPECT_STREQ(v->name, "mov");
  EXPECT_EQ(v->prev, nullptr);
  EXPECT_EQ(v->next, nullptr);
  EXPECT_EQ(v->comments, nullptr);
  EXPECT_EQ(v->dbg_labels, nullptr);
  EXPECT_EQ(std::string(v->opnds[0], v->opnd_len[0] + 1), std::string("r1\0", 3));
  EXPECT_EQ(std::string(v->opnds[1], v->opnd_len[1] + 1), std::string("\"x\0y\0", 5));
  EXPECT_EQ(std::string(v->opnds[2], v->opnd_len[2] + 1), std::string("\0", 1));
  EXPECT_EQ(v->opnds[3], nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(v->delims), 3), std::string(",  ", 2) + '\0');
  release_vop(v);

  // Without lengths, texts end at their zero byte; no operands at all.
  vop* w = make_vop("jmp", 1, opnds, nullptr, delims);
  EXPECT_STREQ(w->opnds[0], "#1");
  EXPECT_EQ(w->opnd_len[0], 2);
  EXPECT_EQ(w->opnds[1], nullptr);
  release_vop(w);
  vop* n = make_vop("nop", 0, nullptr, nullptr, nullptr);
  EXPECT_STREQ(n->name, "nop");
  EXPECT_EQ(n->opnds[0], nullptr);
  release_vop(n);
}

TEST_F(VopReaderTest, MakeVopFromLexedLine) {
  open_lines({"\tmov\t\"a\\000b\" , r5 ; x"});
  ASSERT_EQ(vop_lex(), VL_VOP);
  vop* v = make_vop(lexed.lex_name, lexed.lex_nopnds, lexed.lex_opnds, lexed.lex_opnd_len,
                    lexed.lex_delims);
  take_pending_comments(v);
  EXPECT_EQ(reader.pending_head, nullptr);
  EXPECT_EQ(reader.pending_tail, nullptr);
  ASSERT_NE(v->comments, nullptr);
  EXPECT_STREQ(v->comments->text, "; x\n");
  // The blanks after a string constant are skipped before its delimiter.
  EXPECT_EQ(std::string(v->opnds[0], v->opnd_len[0]), std::string("\"a\0b", 4));
  EXPECT_STREQ(v->opnds[1], "r5");
  EXPECT_EQ(v->opnds[2], nullptr);
  EXPECT_EQ(v->delims[0], ',');
  EXPECT_EQ(v->delims[1], ' ');
  discard_comments(v);
  release_vop(v);
}

TEST_F(VopReaderTest, CommentAndLabelLists) {
  open_lines({"; one", "; two", "; three", "; four"});
  vop* v = make_vop("nop", 0, nullptr, nullptr, nullptr);
  vop* w = make_vop("ret", 0, nullptr, nullptr, nullptr);
  auto save_next = [] {
    ASSERT_EQ(vop_lex(), VL_COMMENT);
    save_comment(false);
  };
  save_next();
  save_next();
  take_pending_comments(v);
  save_next();
  take_pending_comments(v);  // added after the first two
  save_next();
  take_pending_comments(w);
  append_comments(v, w->comments);
  w->comments = nullptr;
  std::string texts;
  for (comment* c = v->comments; c; c = c->next) texts += c->text;
  EXPECT_EQ(texts, "; one\n; two\n; three\n; four\n");

  add_debug_label(v, "L2");
  add_debug_label(v, "L1");
  add_debug_label(w, "L3");
  append_debug_labels(v, w->dbg_labels);
  w->dbg_labels = nullptr;
  std::string names;
  for (debug_label* d = v->dbg_labels; d; d = d->next) names += std::string(d->name) + " ";
  EXPECT_EQ(names, "L1 L2 L3 ");

  discard_comments(v);
  EXPECT_EQ(v->comments, nullptr);
  for (debug_label* d = v->dbg_labels; d;) {
    debug_label* next = d->next;
    release(d);
    d = next;
  }
  release_vop(v);
  release_vop(w);
}

TEST_F(VopReaderTest, ResetReaderRewindsCounts) {
  open_lines({"a", "b"});
  lex_all();
  EXPECT_TRUE(scanner.at_eof);
  reset_reader();
  EXPECT_FALSE(scanner.at_eof);
  EXPECT_EQ(scanner.line_no, 0);
}

}  // namespace
