#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "lex/scanner.h"
#include "test_support.h"
#include "vop/vop.h"
#include "vop/vop_reader.h"
#include "vop/vop_writer.h"

namespace {

using Lines = std::vector<std::string>;

std::string joined(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) out += "{" + t + "}";
  return out;
}

class VopReaderTest : public RunRecordTest {
 protected:
  void open(Lines lines, const char* comment_begin = nullptr) {
    sc_.activate_syntax(SyntaxSet{";", comment_begin, comment_begin ? "*/" : nullptr, " \t,"});
    table_.assign(std::move(lines));
    sc_.open_lines(table_.table(), "t.vop");
  }

  // Lexes to the end, taking comments as a pass does. Each statement as
  // "line:KIND name @start [operand]delim..." (name and operands where the
  // kind has them), `start` being where the statement begins in its line.
  Lines lex_all() {
    static const char* const kinds[] = {"ASM",   "ENDASM", "DIRECTIVE", "COMMENT", "ASM_LINE",
                                        "EMPTY", "LABEL",  "VOP",       "EOF",     "COMMENT_BEGIN"};
    Lines out;
    for (VopLine kind;;) {
      kind = reader_.vop_lex();
      out.push_back(std::to_string(sc_.source().stmt_line) + ":" + kinds[static_cast<int>(kind)]);
      if (kind == VopLine::Eof) return out;
      std::string& s = out.back();
      if (kind != VopLine::Empty && kind != VopLine::Comment && kind != VopLine::CommentBegin)
        s += std::string(" ") + sc_.lexed.lex_name;
      s += " @" + std::to_string(sc_.source().line_len - sc_.statement_text().size());
      for (int i = 0; kind == VopLine::Operation && i < sc_.lexed.lex_nopnds; i++) {
        s += " [" + std::string(sc_.lexed.opnd(i)) + "]";
        if (sc_.lexed.lex_delims[i]) s += static_cast<char>(sc_.lexed.lex_delims[i]);
      }
      if (kind == VopLine::Comment) sc_.save_comment(false);
      if (kind == VopLine::CommentBegin) sc_.skip_block_comment();
    }
  }

  // A pass's dispatch without optimizing: every VOP is written as it was
  // read, to standard output with the messages.
  std::string write_all(bool cstyle = false) {
    VopWriter w(stdout, cstyle);
    return capture_stdout([&] {
      for (VopLine kind; (kind = reader_.vop_lex()) != VopLine::Eof;) {
        if (kind == VopLine::Comment) {
          sc_.save_comment(false);
        } else if (kind == VopLine::CommentBegin) {
          sc_.skip_block_comment();
        } else if (kind == VopLine::Operation) {
          Vop v;
          reader_.make_vop(v);
          w.write_comments(v.comments);
          w.write_vop(v);
        } else {
          w.write_comments(sc_.pending_comments());
          kind == VopLine::Label ? w.vop_outlabel(sc_) : w.copy_line(sc_);
        }
      }
      w.write_comments(sc_.pending_comments());
    });
  }

  Scanner sc_;
  VopReader reader_{sc_};
  LineTable table_;
};

TEST_F(VopReaderTest, LineKinds) {
  struct Case {
    Lines input, statements;
    std::string comments = "", out = "";
    const char* comment_begin = nullptr;
  } cases[] = {
      {{}, {"0:EOF"}}, {{"\tcmp\t#0x0,r5"}, {"1:VOP cmp @0 [#0x0], [r5]", "1:EOF"}},
      {{"L1: mov r1,r2"}, {"1:LABEL L1 @0", "1:VOP mov @4 [r1], [r2]", "1:EOF"}},
      {{"  L1:", "\tnop"}, {"1:LABEL L1 @0", "2:VOP nop @0", "2:EOF"}},
      {{"L1 :"}, {"1:LABEL L1 @0", "1:EOF"}}, {{".L1:"}, {"1:DIRECTIVE .L1 @0", "1:EOF"}},
      {{"L1:L2: nop"}, {"1:LABEL L1 @0", "1:LABEL L2 @3", "1:VOP nop @7", "1:EOF"}},
      {{"L1: ; c"}, {"1:LABEL L1 @0", "1:COMMENT @4", "1:EOF"}, "{; c\n}"},
      {{"", "  \t", "   .text"}, {"1:EMPTY @0", "2:EMPTY @0", "3:DIRECTIVE .text @0", "3:EOF"}},
      {{"L1: .text"}, {"1:LABEL L1 @0", "1:DIRECTIVE .text @4", "1:EOF"}},
      {{"mov,r1"}, {"1:VOP mov,r1 @0", "1:EOF"}}, {{"nop;c"}, {"1:VOP nop;c @0", "1:EOF"}},
      {{"mov.w r1 , r2"}, {"1:VOP mov.w @0 [r1]  [], [r2]", "1:EOF"}},
      {{"\tmov\t\"a\\", "b\",r1", "nop"}, {"1:VOP mov @0 [\"ab], [r1]", "3:VOP nop @0", "3:EOF"}},
      // .asm blocks nest; inside them only .asm and .endasm count
      {{".asm", "   .text", "  .asm", "L1:", "x y", "; note", "", ".endasm", "L1:", ".endasm",
        "L2:"},
       {"1:ASM .asm @0", "2:ASM_LINE .text @0", "3:ASM .asm @0", "4:ASM_LINE L1 @0",
        "5:ASM_LINE x @0", "6:COMMENT @0", "7:EMPTY @0", "8:ENDASM .endasm @0",
        "9:ASM_LINE L1 @0", "10:ENDASM .endasm @0", "11:LABEL L2 @0", "11:EOF"},
       "{; note\n}"},
      {{".endasm", "nop", ".asm", "nop"},
       {"1:ENDASM .endasm @0", "2:VOP nop @0", "3:ASM .asm @0", "4:VOP nop @0", "4:EOF"}},
      {{".ASM", "nop"}, {"1:DIRECTIVE .ASM @0", "2:VOP nop @0", "2:EOF"}},
      // The empty rest of a label line is no empty line of its own
      {{"L1:  ", "", "x"}, {"1:LABEL L1 @0", "2:EMPTY @0", "3:VOP x @0", "3:EOF"}},
      // Comments, line and block, wait for the VOP they come with.
      {{"   ; note", "nop ; done", "nop ;", "  /* a", "b */", "L1: nop /* c */ L2: mov r1 ; d",
        "nop"},
       {"1:COMMENT @0", "2:VOP nop @0", "3:VOP nop @0", "4:COMMENT_BEGIN @0", "6:LABEL L1 @0",
        "6:VOP nop @4", "6:LABEL L2 @16", "6:VOP mov @20 [r1] ", "7:VOP nop @0", "7:EOF"},
       "{; note\n}{; done\n}{/* a\n}{b */\n}{/* c */\n}{; d\n}", "", "/*"},
      // Messages echo the line with a marker and name the line the statement began on.
      {{"\tnop", "\tmov\t\"ab\"x,r2"}, {"1:VOP nop @0", "2:VOP mov @0 [\"ab]", "2:EOF"}, "",
       "\tmov\t\"ab\"x,r2\n\t   \t    |\n"
       "\"t.vop\", line 2: Expected ``;'', ' ', '\\t', ',', or <newline>\n"},
      {{"\tmov\t\"a", "b\",r1"}, {"1:VOP mov @0 [\"a\nb], [r1]", "1:EOF"}, "",
       "b\",r1\n|\n\"t.vop\", line 1: Warning: Unescaped newline in string or character "
       "constant\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input.empty() ? "(empty)" : c.input[0]);
    sc_.pending_comments().clear();
    open(c.input, c.comment_begin);
    Lines statements;
    EXPECT_EQ(capture_stdout([&] { statements = lex_all(); }), c.out);
    EXPECT_EQ(statements, c.statements);
    EXPECT_EQ(joined(sc_.pending_comments()), c.comments);
  }

  // One reader serves a whole run: a block left open goes on in the next input.
  open({".asm", "x"});
  lex_all();
  open({"nop", ".endasm", "nop"});
  EXPECT_EQ(lex_all(),
            (Lines{"1:ASM_LINE nop @0", "2:ENDASM .endasm @0", "3:VOP nop @0", "3:EOF"}));
}

TEST_F(VopReaderTest, MakeVopTakesTheStatementAndThePendingComments) {
  open({"; before", "\tmov\t\"a\\000b\" , r5 ; x", "\tnop"});
  ASSERT_EQ(reader_.vop_lex(), VopLine::Comment);
  sc_.save_comment(false);
  ASSERT_EQ(reader_.vop_lex(), VopLine::Operation);
  Vop v;
  v.comments = {"; kept\n"};
  v.opnds.resize(5);
  reader_.make_vop(v);
  EXPECT_EQ(v.name, "mov");
  ASSERT_EQ(v.opnds.size(), 2u);
  // The blanks after a string constant are skipped before its delimiter.
  EXPECT_EQ(v.opnds[0].text + char(v.opnds[0].delim), std::string("\"a\0b,", 5));
  EXPECT_EQ(v.opnds[1].text + char(v.opnds[1].delim), "r5 ");
  EXPECT_EQ(joined(v.comments), "{; kept\n}{; before\n}{; x\n}");
  EXPECT_TRUE(sc_.pending_comments().empty());
  ASSERT_EQ(reader_.vop_lex(), VopLine::Operation);
  reader_.make_vop(v);  // a record is reused
  EXPECT_EQ(v.name, "nop");
  EXPECT_TRUE(v.opnds.empty());
  v.add_debug_label("L2");
  v.add_debug_label("L1");  // a later label goes first
  EXPECT_EQ(joined(v.dbg_labels), "{L1}{L2}");
}

// ---- Writing

using VopWriterTest = VopReaderTest;

TEST_F(VopWriterTest, WhatComesOut) {
  std::string longlab = std::string(100, 'L') + std::string(300, ' ') + "\t:";
  std::pair<Lines, std::string> cases[] = {
      {{"\tL1 \t:\tnop"}, "\tL1 \t:\n\tnop\n"},
      {{"  .text ; section", "  ; note"}, "  .text ; section\n; note\n"},
      {{"nop ; done", "ret"}, "; done\n\tnop\n\tret\n"},
      {{"; a", "L1:", "nop"}, "; a\nL1:\n\tnop\n"},
      {{"nop", "", "  \t", "ret"}, "\tnop\n\n  \t\n\tret\n"},
      {{".asm", "  x y ; z", "L1:", "\t.endasm"}, ".asm\n  x y ; z\nL1:\n\t.endasm\n"},
      {{longlab + "nop"}, longlab + "\n\tnop\n"},
      // VOP lines: string constants escaped again, delimiters as read
      {{"  mov.b  #1 ,  r5"}, "\tmov.b\t#1 ,r5\n"},
      {{"x \"a\\n\\\"\\\\\\t\\000\\x41\" , \"\""}, "\tx\t\"a\\n\\\"\\\\\t\\000A\",\"\"\n"},
  };
  for (const auto& [input, output] : cases) {
    SCOPED_TRACE(input[0]);
    open(input);
    EXPECT_EQ(write_all(), output);
  }
  // The first block travels with the next VOP, as the trailing one does; the
  // text after a block closed behind a label is a further statement.
  open({"  /* one", "two", "three */ gone", "nop /* t */", "L1: nop /* u */ ret"}, "/*");
  EXPECT_EQ(write_all(), "/* one\ntwo\nthree */\n/* t */\n\tnop\nL1:\n/* u */\n\tnop\n\tret\n");
  EXPECT_EQ(run.fatal_count, 0);

  std::string line("\t.byte\0\x80\xff\r", 10), bytes = line + "\n.text";
  FILE* in = fmemopen(bytes.data(), bytes.size(), "r");
  ASSERT_NE(in, nullptr);
  sc_.open_file(in, "t.vop");
  EXPECT_EQ(write_all(), line + "\n.text\n");  // copied lines keep every byte
  fclose(in);
}

TEST_F(VopWriterTest, CStyleHasABlankAfterTheName) {
  open({"mov r1,r2", "nop", "  cmp  \"\",#0"});
  EXPECT_EQ(write_all(true), "\tmov r1,r2\n\tnop\n\tcmp \"\",#0\n");
}

TEST_F(VopWriterTest, CommentsLabelsAndTheirErrors) {
  VopWriter w(stdout, false);
  std::vector<std::string> comments = {"; a\n", "; b\n"};
  std::vector<std::string> labels = {"L1", std::string("L2\0x", 4)};
  open({"\tnop"});
  ASSERT_EQ(reader_.vop_lex(), VopLine::Operation);
  EXPECT_EQ(capture_stdout([&] {
              for (int i = 0; i < 2; i++) {
                w.write_comments(comments);
                w.write_debug_labels(labels);
              }
              w.vop_outlabel(sc_);
            }),
            "; a\n; b\nL1:\nL2:\n\tnop\n\tnop\n\t  |\n"
            "\"t.vop\", line 1: Internal error - vop_outlabel: went past the label\n");
  EXPECT_TRUE(comments.empty() && labels.empty());
  EXPECT_EQ(run.fatal_count, 1);
}

// Every corpus file in this syntax (.s, .S) reads without a message, and what
// is written reads back to the same text.
TEST_F(VopWriterTest, CorpusRoundTrips) {
  namespace fs = std::filesystem;
  if (!fs::is_directory(QVPEEP_CORPUS_DIR)) GTEST_SKIP() << "no corpus";
  int files = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(QVPEEP_CORPUS_DIR)) {
    if (e.path().extension() != ".s" && e.path().extension() != ".S") continue;
    SCOPED_TRACE(e.path().string());
    reset_run_record();
    open(split_lines(read_file(e.path())));
    std::string once = write_all();
    open(split_lines(once));
    EXPECT_EQ(write_all(), once);
    EXPECT_EQ(run.fatal_count + run.warning_count, 0);
    files++;
  }
  EXPECT_GT(files, 0);
}

}  // namespace
