#include "vop/scanner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/diag.h"
#include "base/options.h"
#include "base/storage.h"
#include "vop/vop_reader.h"
#include "vop/vop_writer.h"
#include "test_support.h"

namespace {

// Bytes made visible: tab, newline and zero byte spelled out.
std::string show(const char* text, int len) {
  std::string out;
  for (int i = 0; i < len; i++) {
    unsigned char c = text[i];
    if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\0') out += "\\0";
    else if (c < 32 || c >= 127) {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// The operand list as "[text]d[text]d...", d being the delimiter (if any).
std::string dump_operands() {
  std::string out;
  for (int i = 0; i < lexed.lex_nopnds; i++) {
    out += "[" + show(lexed.lex_opnds[i], lexed.lex_opnd_len[i]) + "]";
    if (lexed.lex_delims[i]) out += static_cast<char>(lexed.lex_delims[i]);
  }
  return out;
}

std::string dump_pending() {
  std::string out;
  for (comment* c = reader.pending_head; c; c = c->next) out += "{" + show(c->text, c->len) + "}";
  return out;
}

class ScannerTest : public testing::Test {
 protected:
  void SetUp() override {
    reset_all_modules();
    activate_syntax(vop_syntax);
    src.stmt_line = 1;
  }
  void TearDown() override {
    if (file_) fclose(file_);
    reset_all_modules();
  }

  // Reads from a table of lines (kept alive by the fixture).
  void open_lines(std::vector<std::string> lines) { lines_.open(std::move(lines), "t.vop"); }

  // Reads from an in-memory file holding exactly `bytes`.
  void open_bytes(const std::string& bytes) {
    bytes_ = bytes;
    file_ = bytes_.empty() ? fopen("/dev/null", "r")
                           : fmemopen(bytes_.data(), bytes_.size(), "r");
    ASSERT_NE(file_, nullptr);
    open_scanner_file(file_, "t.vop");
  }

  // Every line the reader delivers until the end of the input.
  std::vector<std::string> all_lines() {
    std::vector<std::string> out;
    for (;;) {
      read_line();
      if (scanner.at_eof) break;
      out.push_back(show(src.line_buf, src.line_len));
      EXPECT_EQ(src.line_buf[src.line_len], '\0');
    }
    return out;
  }

  LineTable lines_;
  std::string bytes_;
  FILE* file_ = nullptr;
};

using Lines = std::vector<std::string>;

// ---- Line reading

TEST_F(ScannerTest, ReadLineFromFile) {
  struct Case {
    std::string input;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"\n", {"\\n"}},
      {"a\nb", {"a\\n", "b\\n"}},
      {"a\n\nb\n", {"a\\n", "\\n", "b\\n"}},
      // Trigraphs
      {"?\?=define X\n", {"#define X\\n"}},
      {"?\?(?\?)?\?/?\?'?\?<?\?!?\?>?\?-\n", {"[]\\^{|}~\\n"}},
      {"?\?x\n", {"?\?x\\n"}},
      {"?\?\?=\n", {"?\?\?=\\n"}},
      {"a?\n", {"a?\\n"}},
      {"a?", {"a?\\n"}},
      {"a?\?", {"a?\?\\n"}},
      {"?\?\n", {"?\?\\n"}},
      {"?\?=", {"#\\n"}},
      // Zero bytes and carriage returns are ordinary characters.
      {std::string("x\0y\r\n", 5), {"x\\0y\\x0D\\n"}},
      {std::string("\0", 1), {"\\0\\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(show(c.input.data(), c.input.size()));
    open_bytes(c.input);
    EXPECT_EQ(all_lines(), c.lines);
    EXPECT_EQ(scanner.line_no, static_cast<int>(c.lines.size()));
    fclose(file_);
    file_ = nullptr;
  }
}

TEST_F(ScannerTest, ReadLineFromTable) {
  open_lines({"abc", "", "?\?=x", "last"});
  EXPECT_EQ(all_lines(), (Lines{"abc\\n", "\\n", "#x\\n", "last\\n"}));
  EXPECT_EQ(scanner.line_no, 4);
  // Nothing more once exhausted.
  read_line();
  EXPECT_TRUE(scanner.at_eof);
  EXPECT_EQ(src.line_len, 0);
  EXPECT_EQ(scanner.line_no, 4);
}

TEST_F(ScannerTest, LongLinesComeWhole) {
  for (int len : {250, 251, 252, 5000, 70000}) {
    SCOPED_TRACE(len);
    std::string line(len, 'x');
    open_bytes(line + "\nnext\n");
    read_line();
    ASSERT_EQ(src.line_len, len + 1);
    EXPECT_EQ(std::string(src.line_buf, src.line_len), line + "\n");
    EXPECT_EQ(scanner.line_no, 1);
    read_line();
    EXPECT_EQ(std::string(src.line_buf, src.line_len), "next\n");
    EXPECT_EQ(scanner.line_no, 2);
    fclose(file_);
    file_ = nullptr;
  }
}

TEST_F(ScannerTest, OpeningAnInputStartsOver) {
  open_lines({"a", "b"});
  read_line();
  read_line();
  read_line();
  ASSERT_TRUE(scanner.at_eof);
  open_lines({"c"});
  EXPECT_FALSE(scanner.at_eof);
  EXPECT_EQ(scanner.line_no, 0);
  EXPECT_STREQ(src.cur_file_name, "t.vop");
  EXPECT_EQ(all_lines(), Lines{"c\\n"});
}

TEST_F(ScannerTest, NextCharCrossesLines) {
  open_lines({"ab", "c"});
  read_line();
  std::string seen;
  while (!scanner.at_eof) seen += show(std::string(1, static_cast<char>(next_char())).data(), 1);
  EXPECT_EQ(seen, "ab\\nc\\n");
  EXPECT_EQ(scanner.line_no, 2);
  EXPECT_EQ(peek_char(), 0);
  EXPECT_EQ(next_char(), 0);
}

// ---- Character level

TEST_F(ScannerTest, CharacterClasses) {
  struct Case {
    int c;
    int bits;
  } cases[] = {
      {'A', CC_ALPHA | CC_HEX}, {'f', CC_ALPHA | CC_HEX}, {'g', CC_ALPHA}, {'Z', CC_ALPHA},
      {'0', CC_DIGIT},          {'9', CC_DIGIT},          {'_', CC_UNDERSCORE},
      {' ', CC_BLANK},          {'\t', CC_BLANK},         {'\v', CC_BLANK},
      {'\f', CC_BLANK},         {'\r', CC_BLANK},         {'\n', 0},
      {'$', CC_DOLLAR},         {'.', CC_DOT},            {'@', 0},
      {0, 0},                   {0x80, 0},                {0xE9, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(char_class[c.c], c.bits) << c.c;
}

TEST_F(ScannerTest, CharacterPredicates) {
  open_lines({"ab;c"});
  read_line();
  next_char();
  EXPECT_TRUE(at_text("b;"));
  EXPECT_TRUE(at_text(""));
  EXPECT_FALSE(at_text(nullptr));
  EXPECT_FALSE(at_text("bc"));
  EXPECT_FALSE(at_text("b;c\n?"));  // would run past the line
  EXPECT_EQ(src.line_pos, 1);

  EXPECT_TRUE(is_delim(' '));
  EXPECT_TRUE(is_delim('\t'));
  EXPECT_TRUE(is_delim(','));
  EXPECT_FALSE(is_delim(';'));
  EXPECT_FALSE(is_delim(0));

  EXPECT_TRUE(is_digit_in_base('9', 8));
  EXPECT_FALSE(is_digit_in_base('a', 10));
  EXPECT_TRUE(is_digit_in_base('F', 16));
  EXPECT_FALSE(is_digit_in_base('g', 16));
  EXPECT_STREQ(skip_blanks_str(" \t\v\f\rx y"), "x y");
}

TEST_F(ScannerTest, SkipBlanksStopsAtNewline) {
  open_lines({" \t\r", "x"});
  read_line();
  skip_blanks();
  EXPECT_EQ(peek_char(), '\n');
  EXPECT_EQ(src.line_pos, 3);
}

// ---- Names

TEST_F(ScannerTest, ReadName) {
  struct Case {
    const char* line;
    const char* name;
    int rest;  // character left current
  } cases[] = {
      {"mov r1", "mov", ' '},   {"L1:x", "L1", ':'},       {"a\tb", "a", '\t'},
      {"nop;c", "nop;c", '\n'}, {"mov,r1", "mov,r1", '\n'}, {":x", ":x", '\n'},
      {"x\vy", "x", '\v'},
  };
  for (const Case& c : cases) {
    open_lines({c.line});
    read_line();
    char name[kMaxNameLen + 1];
    read_name(name);
    EXPECT_STREQ(name, c.name);
    EXPECT_EQ(peek_char(), c.rest) << c.line;
  }
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(ScannerTest, LongNameIsCutOnce) {
  std::string name(200, 'n');
  open_lines({name + " r1"});
  read_line();
  char buf[kMaxNameLen + 1];
  std::string out = capture_stdout([&] { read_name(buf); });
  EXPECT_EQ(std::string(buf), std::string(128, 'n'));
  EXPECT_EQ(out, name + " r1\n" + std::string(128, ' ') + "|\n" +
                     "\"t.vop\", line 1: VOP name too long\n");
  EXPECT_EQ(diag.fatal_count, 1);
  EXPECT_EQ(peek_char(), ' ');
}

// ---- String constants

struct StringCase {
  Lines lines;       // input after the opening quote
  int room;
  std::string text;  // decoded (shown)
  std::string out;   // everything printed
};

TEST_F(ScannerTest, StringBodies) {
  const std::string loc = "\"t.vop\", line 1: ";
  StringCase cases[] = {
      // Escapes
      {{"\\x41\""}, 100, "A", ""},
      {{"\\101\""}, 100, "A", ""},
      {{"\\q\""}, 100, "q", ""},
      {{"\\x\""}, 100, "\\0", ""},
      {{"\\xg\""}, 100, "\\0g", ""},
      {{"\\1234\""}, 100, "S4", ""},
      {{"\\0\""}, 100, "\\0", ""},
      {{"\\08\""}, 100, "\\08", ""},
      {{"\\x4ag\""}, 100, "Jg", ""},
      {{"\\a\\b\\f\\n\\r\\t\\v\\\"\\'\\?\\\\\""}, 100, "\\x07\\x08\\x0C\\n\\x0D\\t\\x0B\"'?\\", ""},
      {{"\\777\""},
       100,
       "\\xFF",
       "\\777\"\n   |\n" + loc + "Warning: Octal constant truncated \n"},
      {{"\\377\\xff\""}, 100, "\\xFF\\xFF", ""},
      {{"\\400\""},
       100,
       "\\0",
       "\\400\"\n   |\n" + loc + "Warning: Octal constant truncated \n"},
      {{"\\x4142\""},
       100,
       "\\x142",
       "\\x4142\"\n    |\n" + loc + "Warning: Hex character constant truncated\n"},
      // Joined constants; blanks between, nothing else
      {{"ab\" \t\"cd\""}, 100, "abcd", ""},
      {{"ab\"\"cd\""}, 100, "abcd", ""},
      // Line continuation, and a newline that is not escaped
      {{"ab\\", "cd\""}, 100, "abcd", ""},
      {{"ab", "cd\""},
       100,
       "ab\\ncd",
       "cd\"\n|\n" + loc + "Warning: Unescaped newline in string or character constant\n"},
      // End of input inside the constant
      {{"ab"}, 100, "ab", "\n|\n" + loc + "EOF reading string or character constant\n"},
      {{"ab\\"}, 100, "ab", "\n|\n" + loc + "EOF reading string or character constant\n"},
      // Room
      {{"ab\""}, 3, "ab", ""},
      {{"abc\""}, 3, "abc", "abc\"\n   |\n" + loc + "Character string too long (> 3 characters)\n"},
      {{"abcdef\""},
       3,
       "abc",
       "abcdef\"\n      |\n" + loc + "Character string too long (> 3 characters)\n"},
      {{"\""}, 0, "", "\"\n|\n" + loc + "Character string too long (> 0 characters)\n"},
  };
  for (const StringCase& c : cases) {
    SCOPED_TRACE(c.lines[0]);
    reset_diag();
    src.stmt_line = 1;
    open_lines(c.lines);
    read_line();
    char buf[128];
    memset(buf, 'z', sizeof buf);
    int n = 0;
    EXPECT_EQ(capture_stdout([&] { n = read_string_body(buf, c.room); }), c.out);
    EXPECT_EQ(show(buf, n), c.text);
    EXPECT_EQ(buf[n], '\0');
    EXPECT_EQ(buf[n + 1], '\0');
  }
}

TEST_F(ScannerTest, WarningsOffStaySilent) {
  opts.warnings_off = true;
  open_lines({"\\777\""});
  read_line();
  char buf[8];
  EXPECT_EQ(capture_stdout([&] { read_string_body(buf, 4); }), "");
  EXPECT_EQ(diag.warning_count, 0);
  EXPECT_EQ(buf[0], '\xFF');
}

TEST_F(ScannerTest, EscapedCharStopsAtQuote) {
  open_lines({"a'b"});
  read_line();
  EXPECT_EQ(read_escaped_char('\''), 'a');
  EXPECT_EQ(read_escaped_char('\''), -1);
  EXPECT_EQ(read_escaped_char('\''), 'b');
}

// ---- Operand lists

struct OperandCase {
  const char* line;       // the operand part of a line
  const char* delims;     // null for blank, tab and comma
  std::string operands;   // dump_operands()
  std::string comments;   // dump_pending()
  int rest;               // current character afterwards
};

TEST_F(ScannerTest, Operands) {
  OperandCase cases[] = {
      {"r1,r2", nullptr, "[r1],[r2]", "", '\n'},
      {"r1 , r2", nullptr, "[r1] [],[r2]", "", '\n'},
      {"r1 ,r2", ",", "[r1 ],[r2]", "", '\n'},
      {"\"a\\tb\" \"c\"", nullptr, "[\"a\\tbc]", "", '\n'},
      {",a", nullptr, "[],[a]", "", '\n'},
      {"a,", nullptr, "[a],", "", '\n'},
      {"a,,b", nullptr, "[a],[],[b]", "", '\n'},
      {"#0x0,r5", nullptr, "[#0x0],[r5]", "", '\n'},
      {"a b", "", "[a b]", "", '\n'},
      {"a ; c", nullptr, "[a] ", "{; c\\n}", '\n'},
      {"a;c", nullptr, "[a]", "{;c\\n}", '\n'},
      {"a ;", nullptr, "[a] ", "", '\n'},
      {"a ;;", nullptr, "[a] ", "{;;\\n}", '\n'},
      {"; c", nullptr, "", "{; c\\n}", '\n'},
      {"\"x\\000y\",r1", nullptr, "[\"x\\0y],[r1]", "", '\n'},
      {"\"\",r1", nullptr, "[\"],[r1]", "", '\n'},
      {"\"a\" ;c", nullptr, "[\"a]", "{;c\\n}", '\n'},
      {"\"a\"", ",", "[\"a]", "", '\n'},
  };
  for (const OperandCase& c : cases) {
    SCOPED_TRACE(c.line);
    reset_reader_state();
    vop_syntax.delim_chars = c.delims ? c.delims : " \t,";
    activate_syntax(vop_syntax);
    open_lines({c.line, "next"});
    read_line();
    read_operands();
    EXPECT_EQ(dump_operands(), c.operands);
    EXPECT_EQ(dump_pending(), c.comments);
    EXPECT_EQ(peek_char(), c.rest);
    EXPECT_EQ(scanner.line_no, 1);
    for (int i = lexed.lex_nopnds; i < kMaxOperands; i++) {
      EXPECT_STREQ(lexed.lex_opnds[i], "");
      EXPECT_EQ(lexed.lex_delims[i], 0);
    }
  }
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(ScannerTest, OperandAfterStringMustBeDelimited) {
  open_lines({"\"ab\"x,r2 ; c"});
  read_line();
  EXPECT_EQ(capture_stdout(read_operands),
            "\"ab\"x,r2 ; c\n"
            "    |\n"
            "\"t.vop\", line 1: Expected ``;'', ' ', '\\t', ',', or <newline>\n");
  EXPECT_EQ(dump_operands(), "[\"ab]");
  EXPECT_EQ(peek_char(), ',');
  EXPECT_EQ(dump_pending(), "");
}

TEST_F(ScannerTest, OperandErrorNamesTheActiveSyntax) {
  vop_syntax.comment_char = "//";
  vop_syntax.delim_chars = "'\v";
  activate_syntax(vop_syntax);
  open_lines({"\"a\" x"});
  read_line();
  EXPECT_EQ(capture_stdout(read_operands),
            "\"a\" x\n"
            "    |\n"
            "\"t.vop\", line 1: Expected ``//'', '\\'', '\\v', or <newline>\n");
}

TEST_F(ScannerTest, TooManyOperands) {
  for (int count : {32, 33, 34}) {
    SCOPED_TRACE(count);
    reset_diag();
    src.stmt_line = 1;
    std::string line, expect;
    for (int i = 1; i <= count; i++) {
      line += (i > 1 ? "," : "") + std::to_string(i);
    }
    for (int i = 1; i <= 31; i++) expect += "[" + std::to_string(i) + "],";
    expect += "[" + std::to_string(count) + "]";
    open_lines({line});
    read_line();
    std::string out = capture_stdout(read_operands);
    EXPECT_EQ(lexed.lex_nopnds, 32);
    EXPECT_EQ(dump_operands(), expect);
    std::string errors;
    for (int i = 33; i <= count; i++) {
      // The marker stands under the delimiter before the extra operand.
      size_t at = line.find("," + std::to_string(i));
      errors += line + "\n" + std::string(at, ' ') + "|\n\"t.vop\", line 1: Too many arguments\n";
    }
    EXPECT_EQ(out, errors);
    EXPECT_EQ(diag.fatal_count, count - 32);
  }
}

TEST_F(ScannerTest, LongOperandsGrowTheTextArea) {
  std::string big(3000, 'x');
  std::string line;
  for (int i = 0; i < 20; i++) line += (i ? "," : "") + big + std::to_string(i);
  open_lines({line});
  read_line();
  read_operands();
  ASSERT_EQ(lexed.lex_nopnds, 20);
  for (int i = 0; i < 20; i++) {
    EXPECT_EQ(std::string(lexed.lex_opnds[i], lexed.lex_opnd_len[i]), big + std::to_string(i));
    EXPECT_EQ(lexed.lex_opnds[i][lexed.lex_opnd_len[i]], '\0');
  }
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(ScannerTest, StringRoomCountsFromTheOperandArea) {
  const std::string loc = "\"t.vop\", line 1: ";
  // A first string operand has room for 509 characters.
  std::string s(600, 's');
  open_lines({"\"" + s + "\",r1"});
  read_line();
  std::string out = capture_stdout(read_operands);
  EXPECT_EQ(out, "\"" + s + "\",r1\n" + std::string(601, ' ') + "|\n" + loc +
                     "Character string too long (> 509 characters)\n");
  EXPECT_EQ(std::string(lexed.lex_opnds[0], lexed.lex_opnd_len[0]), "\"" + s.substr(0, 509));
  EXPECT_STREQ(lexed.lex_opnds[1], "r1");

  // After a plain operand beyond the area, a string has no room at all, and
  // the plain operands around it are still kept whole.
  reset_diag();
  src.stmt_line = 1;
  std::string p(600, 'p');
  open_lines({p + ",\"x\"," + p});
  read_line();
  out = capture_stdout(read_operands);
  EXPECT_EQ(out, p + ",\"x\"," + p + "\n" + std::string(603, ' ') + "|\n" + loc +
                     "Character string too long (> 0 characters)\n");
  EXPECT_EQ(dump_operands(), "[" + p + "],[\"]" + ",[" + p + "]");

  // 508 characters fit.
  reset_diag();
  std::string fit(508, 'f');
  open_lines({"\"" + fit + "\""});
  read_line();
  read_operands();
  EXPECT_EQ(diag.fatal_count, 0);
  EXPECT_EQ(lexed.lex_opnd_len[0], 509);
}

// ---- Comments

TEST_F(ScannerTest, BlockComments) {
  vop_syntax.comment_begin = "/*";
  vop_syntax.comment_end = "*/";
  activate_syntax(vop_syntax);
  open_lines({"  /* one", "two", "three */ rest"});
  read_line();
  skip_blanks();
  skip_block_comment();
  EXPECT_EQ(dump_pending(), "{/* one\\n}{two\\n}{three */\\n}");
  EXPECT_EQ(std::string(src.line_buf + src.line_pos), " rest\n");
  EXPECT_EQ(scanner.line_no, 3);

  // Closed on the opening line.
  reset_reader_state();
  open_lines({"/**/x"});
  read_line();
  skip_block_comment();
  EXPECT_EQ(dump_pending(), "{/**/\\n}");
  EXPECT_EQ(peek_char(), 'x');

  // Operands end at an opener and the comment is saved.
  reset_reader_state();
  open_lines({"a /* c */ b"});
  read_line();
  read_operands();
  EXPECT_EQ(dump_operands(), "[a] ");
  EXPECT_EQ(dump_pending(), "{/* c */\\n}");
  EXPECT_EQ(std::string(src.line_buf + src.line_pos), " b\n");
  EXPECT_EQ(diag.fatal_count, 0);
}

TEST_F(ScannerTest, UnterminatedBlockComment) {
  for (const char* end : {"*/", static_cast<const char*>(nullptr)}) {
    reset_diag();
    reset_reader_state();
    src.stmt_line = 1;
    vop_syntax.comment_begin = "/*";
    vop_syntax.comment_end = end;
    activate_syntax(vop_syntax);
    open_lines({"/* one", end ? "two" : "two */"});
    read_line();
    EXPECT_EQ(capture_stdout(skip_block_comment),
              "\n|\n\"t.vop\", line 1: End of file in comment\n");
    EXPECT_EQ(dump_pending(), end ? "{/* one\\n}{two\\n}" : "{/* one\\n}{two */\\n}");
    EXPECT_TRUE(scanner.at_eof);
  }
}

TEST_F(ScannerTest, SaveCommentKeepsEveryByte) {
  open_bytes(std::string("; a\0b\n;\n", 8));
  read_line();
  save_comment(true);
  read_line();
  save_comment(true);   // a marker alone is not saved
  save_comment(false);  // unless asked for
  EXPECT_EQ(dump_pending(), "{; a\\0b\\n}{;\\n}");
}

// ---- Syntax sets

TEST_F(ScannerTest, DelimiterDescriptions) {
  struct Case {
    const char* delims;
    const char* desc;
  } cases[] = {
      {nullptr, " "},
      {"", " "},
      {",", ", ',', "},
      {" \t,", ", ' ', '\\t', ',', "},
      {"'\v\f", ", '\\'', '\\v', '\\f', "},
  };
  for (const Case& c : cases) {
    const char* desc = make_delim_desc(c.delims);
    EXPECT_STREQ(desc, c.desc);
  }
}

TEST_F(ScannerTest, SyntaxSetsStartAlike) {
  reset_scanner();
  for (const SyntaxSet* set : {&rules_syntax, &vop_syntax, &active_syntax}) {
    EXPECT_STREQ(set->comment_char, ";");
    EXPECT_EQ(set->comment_begin, nullptr);
    EXPECT_EQ(set->comment_end, nullptr);
    EXPECT_STREQ(set->delim_chars, " \t,");
  }
  vop_syntax.comment_char = "#";
  vop_syntax.delim_chars = ",";
  activate_syntax(rules_syntax);
  EXPECT_STREQ(active_syntax.comment_char, ";");
  EXPECT_STREQ(active_syntax.delim_desc, ", ' ', '\\t', ',', ");
  activate_syntax(vop_syntax);
  EXPECT_STREQ(active_syntax.comment_char, "#");
  EXPECT_STREQ(active_syntax.delim_desc, ", ',', ");
  EXPECT_EQ(active_syntax.delim_desc, vop_syntax.delim_desc);
}

// ---- Text utilities

TEST_F(ScannerTest, ParseValue) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {"0x1F", true, 31},
      {"017", true, 15},
      {"09", true, 9},
      {"'a'", true, 97},
      {"'ab'", true, 24930},
      {"-1", false, 0},
      {"12 ", false, 0},
      {"", true, 0},
      {"   ", true, 0},
      {" \t12", true, 12},
      {"0", true, 0},
      {"000", true, 0},
      {"0x", true, 0},
      {"0X00ff", true, 255},
      {"12a", false, 0},
      {"0xg", false, 0},
      {"1234567890", true, 1234567890},
      {"0xFFFFFFFF", true, -1},
      {"4294967297", true, 1},
      {"'a", false, 0},
      {"'", false, 0},
      {"''", true, 0},
      {"'a'xyz", true, 97},
      {"'\\n'", true, 10},
      {"'\\''", true, 39},
      {"'\\x41'", true, 65},
      {"'\\x'", true, 0},
      {"'\\101'", true, 65},
      {"'\\q'", true, 'q'},
      {"'abcde'", true, 0x62636465},
      {"'\\", false, 0},
      {"#5", false, 0},
  };
  for (const Case& c : cases) {
    int32_t value = 12345;
    EXPECT_EQ(parse_value(c.text, &value), c.ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  EXPECT_EQ(diag.warning_count, 0);
}

TEST_F(ScannerTest, ParseValueWarnings) {
  open_lines({"\tmov #'\\777',r5"});
  read_line();
  src.line_pos = 7;
  struct Case {
    const char* text;
    int32_t value;
    const char* message;
  } cases[] = {
      {"'\\777'", 255, "Octal constant truncated"},
      {"'\\xfff'", 255, "Hex character constant truncated"},
      {"'a\nb'", ('a' << 16) | ('\n' << 8) | 'b',
       "Unescaped newline in string or character constant"},
  };
  for (const Case& c : cases) {
    int32_t value = 0;
    bool parsed = false;
    std::string out = capture_stdout([&] { parsed = parse_value(c.text, &value); });
    EXPECT_TRUE(parsed);
    EXPECT_EQ(out,
              std::string("\tmov #'\\777',r5\n\t     |\n\"t.vop\", line 1: Warning: ") +
                  c.message + "\n");
    EXPECT_EQ(value, c.value);
  }
}

TEST_F(ScannerTest, InternedStringsAreShared) {
  char text[] = "r5";
  const char* a = intern_string(text);
  text[1] = '6';
  const char* b = intern_string("r5");
  EXPECT_EQ(a, b);
  EXPECT_STREQ(a, "r5");
  EXPECT_NE(a, text);
  // Same bucket, different text.
  const char* c = intern_string("5r");
  EXPECT_NE(c, a);
  EXPECT_STREQ(c, "5r");
  EXPECT_EQ(intern_string("5r"), c);
  EXPECT_STREQ(intern_string(""), "");
}

}  // namespace
