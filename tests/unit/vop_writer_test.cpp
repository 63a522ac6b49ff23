#include "vop/vop_writer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"

namespace {

using Lines = std::vector<std::string>;

class VopWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    reset_all_modules();
    activate_syntax(vop_syntax);
    restart_output();
  }
  void TearDown() override {
    close_output();
    if (in_) fclose(in_);
    reset_all_modules();
  }

  void open_lines(Lines lines) { lines_.open(std::move(lines), "t.vop"); }

  void open_bytes(const std::string& bytes) {
    in_bytes_ = bytes;
    in_ = fmemopen(in_bytes_.data(), in_bytes_.size(), "r");
    ASSERT_NE(in_, nullptr);
    open_scanner_file(in_, "t.vop");
  }

  void close_output() {
    run.out_file = nullptr;
    if (out_) fclose(out_);
    free(out_buf_);
    out_ = nullptr;
    out_buf_ = nullptr;
  }

  // A new, empty pass output.
  void restart_output() {
    close_output();
    out_ = open_memstream(&out_buf_, &out_size_);
    ASSERT_NE(out_, nullptr);
    run.out_file = out_;
  }

  size_t output_size() {
    fflush(out_);
    return out_size_;
  }

  // Everything written since `from`.
  std::string output(size_t from = 0) {
    size_t size = output_size();
    return std::string(out_buf_ + from, size - from);
  }

  // The dispatch of a pass, with each VOP written as "<name>".
  void write_all() {
    for (;;) {
      switch (vop_lex()) {
        case VL_EOF:
          write_comments(nullptr);
          return;
        case VL_COMMENT:
          save_comment(false);
          break;
        case VL_COMMENT_BEGIN:
          skip_block_comment();
          break;
        case VL_LABEL:
          write_comments(nullptr);
          vop_outlabel();
          break;
        case VL_VOP: {
          vop* v = make_vop(lexed.lex_name, lexed.lex_nopnds, lexed.lex_opnds,
                            lexed.lex_opnd_len, lexed.lex_delims);
          take_pending_comments(v);
          write_comments(v);
          fprintf(out_, "<%s>\n", v->name);
          release_vop(v);
          break;
        }
        default:
          write_comments(nullptr);
          copy_line();
      }
    }
  }

  LineTable lines_;
  std::string in_bytes_;
  FILE* in_ = nullptr;
  FILE* out_ = nullptr;
  char* out_buf_ = nullptr;
  size_t out_size_ = 0;
};

TEST_F(VopWriterTest, WhatComesOut) {
  std::string longdir = "\t.ascii\t\"" + std::string(3000, 'a') + "\\000\"";
  std::string longcom = "  ; " + std::string(3000, 'c');
  std::string longlab = std::string(100, 'L') + " \t:";
  struct Case {
    Lines input;
    std::string output;
  } cases[] = {
      {{"    L1:   nop"}, "    L1:\n<nop>\n"},
      {{"L2 :"}, "L2 :\n"},
      {{"\tL1 \t:\tnop"}, "\tL1 \t:\n<nop>\n"},
      {{"L1: L2 :nop"}, "L1:\nL2 :\n<nop>\n"},
      {{"  .text ; section"}, "  .text ; section\n"},
      {{"   ; note", "\tnop"}, "; note\n<nop>\n"},
      {{"nop ; done", "ret"}, "; done\n<nop>\n<ret>\n"},
      {{"nop ;", "ret"}, "<nop>\n<ret>\n"},
      {{"; a", "L1:", "nop"}, "; a\nL1:\n<nop>\n"},
      {{"; a", "\t.text", "; b"}, "; a\n\t.text\n; b\n"},
      {{"nop", "", "  \t", "ret"}, "<nop>\n\n  \t\n<ret>\n"},
      {{".asm", "  x y ; z", "L1:", "\t.endasm"}, ".asm\n  x y ; z\nL1:\n\t.endasm\n"},
      {{"L1: .text"}, "L1:\n.text\n"},
      {{longdir, longcom, longlab + "nop"},
       longdir + "\n" + longcom.substr(2) + "\n" + longlab + "\n<nop>\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input[0]);
    reset_reader_state();
    restart_output();
    open_lines(c.input);
    write_all();
    EXPECT_EQ(output(), c.output);
  }
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(VopWriterTest, BlockCommentsComeOutLineByLine) {
  vop_syntax.comment_begin = "/*";
  vop_syntax.comment_end = "*/";
  activate_syntax(vop_syntax);
  open_lines({"  /* one", "two", "three */ gone", "nop /* t */", "L1: nop /* u */ ret"});
  write_all();
  // The first block travels with the next VOP, as the trailing one does; the
  // text after a block closed behind a label is a further statement.
  EXPECT_EQ(output(), "/* one\ntwo\nthree */\n/* t */\n<nop>\nL1:\n/* u */\n<nop>\n<ret>\n");
}

TEST_F(VopWriterTest, CopiesEveryByte) {
  std::string line("\t.byte\0\x80\xff\r", 10);
  open_bytes(line + "\n.text");
  write_all();
  EXPECT_EQ(output(), line + "\n.text\n");
}

TEST_F(VopWriterTest, LabelWithoutColonIsAnInternalError) {
  open_lines({"\tnop"});
  ASSERT_EQ(vop_lex(), VL_VOP);
  EXPECT_EQ(capture_stdout(vop_outlabel),
            "\tnop\n\t  |\n\"t.vop\", line 1: Internal error - vop_outlabel: went past the label\n");
  EXPECT_EQ(output(), "\tnop\n");
  EXPECT_EQ(diag.fatal_count, 1);
}

TEST_F(VopWriterTest, WrittenAndDiscardedCommentsAreGone) {
  open_lines({"; a", "; b", "; c", "; d"});
  auto save_next = [] {
    ASSERT_EQ(vop_lex(), VL_COMMENT);
    save_comment(false);
  };
  save_next();
  discard_comments(nullptr);
  EXPECT_EQ(reader.pending_head, nullptr);
  EXPECT_EQ(reader.pending_tail, nullptr);
  save_next();
  write_comments(nullptr);
  save_next();
  vop* v = make_vop("nop", 0, nullptr, nullptr, nullptr);
  take_pending_comments(v);
  save_next();
  write_comments(nullptr);
  discard_comments(v);
  EXPECT_EQ(v->comments, nullptr);
  write_comments(v);
  release_vop(v);
  EXPECT_EQ(output(), "; b\n; d\n");
}

// Every file of the corpus reads to the end without a message, one statement
// per line, and whatever is not a VOP comes out as it stood.
TEST_F(VopWriterTest, CorpusPassesThrough) {
  namespace fs = std::filesystem;
  // The environment may point elsewhere (a worktree outside the usual place).
  const char* dir = getenv("QVPEEP_CORPUS_DIR");
  if (!dir) dir = QVPEEP_CORPUS_DIR;
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus";
  int files = 0, long_lines = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
    std::string ext = e.path().extension().string();
    if (ext != ".s" && ext != ".S") continue;
    SCOPED_TRACE(e.path().string());
    std::ifstream in(e.path(), std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    Lines lines;
    std::istringstream split(whole.str());
    for (std::string l; std::getline(split, l);) lines.push_back(l);

    reset_diag();
    reset_reader_state();
    restart_output();
    FILE* f = fopen(e.path().c_str(), "r");
    ASSERT_NE(f, nullptr);
    open_scanner_file(f, "c.vop");
    testing::internal::CaptureStdout();
    for (int kind = vop_lex(); kind != VL_EOF; kind = vop_lex()) {
      const std::string& line = lines.at(src.stmt_line - 1);
      if (line.size() > 250) long_lines++;
      size_t before = output_size();
      std::string rest = line.substr(scanner.tok_start) + "\n";
      switch (kind) {
        case VL_VOP:
          continue;
        case VL_COMMENT:
          save_comment(false);
          ASSERT_STREQ(reader.pending_tail->text, line.substr(src.line_pos).append("\n").c_str());
          discard_comments(nullptr);
          continue;
        case VL_LABEL:
          vop_outlabel();
          rest = line.substr(scanner.tok_start, line.find(':', scanner.tok_start) -
                                                    scanner.tok_start) + ":\n";
          break;
        default:
          copy_line();
      }
      ASSERT_EQ(output(before), rest) << "line " << src.stmt_line;
    }
    fclose(f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(scanner.line_no, static_cast<int>(lines.size()));
    EXPECT_EQ(diag.fatal_count + diag.warning_count, 0);
    files++;
  }
  EXPECT_GT(files, 0);
  EXPECT_GT(long_lines, 0);
}

}  // namespace
