#include "lex/scanner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using Lines = std::vector<std::string>;

// Bytes made visible: tab, newline, zero byte and other controls spelled out.
std::string show(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\0') {
      out += "\\0";
    } else if (c < 32 || c >= 127) {
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
std::string dump_operands(const LexLine& lx) {
  std::string out;
  for (int i = 0; i < lx.lex_nopnds; i++) {
    out += "[" + show(lx.opnd(i)) + "]";
    if (lx.lex_delims[i]) out += static_cast<char>(lx.lex_delims[i]);
  }
  return out;
}

class ScannerTest : public RunRecordTest {
 protected:
  void TearDown() override {
    if (file_) fclose(file_);
    RunRecordTest::TearDown();
  }

  // Reads from a table of lines, the statement starting on its first line.
  void open(Lines lines, const SyntaxSet& set = SyntaxSet{}) {
    sc_.activate_syntax(set);
    sc_.pending_comments().clear();
    table_.assign(std::move(lines));
    sc_.open_lines(table_.table(), "t.vop");
    sc_.read_line();
    sc_.mark_statement_line();
  }

  // Reads from a file holding exactly `bytes`.
  void open_bytes(const std::string& bytes) {
    if (file_) fclose(file_);
    bytes_ = bytes;
    file_ = bytes_.empty() ? fopen("/dev/null", "r") : fmemopen(bytes_.data(), bytes_.size(), "r");
    ASSERT_NE(file_, nullptr);
    sc_.open_file(file_, "t.vop");
  }

  // Every line the scanner delivers from here to the end of the input.
  Lines all_lines() {
    Lines out;
    for (sc_.read_line(); !sc_.at_eof(); sc_.read_line()) {
      const SourceLine& s = sc_.source();
      out.push_back(show({s.line_buf, static_cast<size_t>(s.line_len)}));
      EXPECT_EQ(s.line_buf[s.line_len], '\0');
    }
    return out;
  }

  std::string pending() {
    std::string out;
    for (const std::string& c : sc_.pending_comments()) out += "{" + show(c) + "}";
    return out;
  }

  std::string rest() {
    const SourceLine& s = sc_.source();
    return show({s.line_buf + s.line_pos, static_cast<size_t>(s.line_len - s.line_pos)});
  }

  Scanner sc_;
  LineTable table_;
  std::string bytes_;
  FILE* file_ = nullptr;
};

const std::string kLoc = "\"t.vop\", line 1: ";

// ---- Lines

TEST_F(ScannerTest, LinesFromAFile) {
  struct Case {
    std::string input;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"\n", {"\\n"}},
      {"a\nb", {"a\\n", "b\\n"}},
      {"a\n\nb\n", {"a\\n", "\\n", "b\\n"}},
      {"?\?=define X\n", {"#define X\\n"}},
      {"?\?(?\?)?\?/?\?'?\?<?\?!?\?>?\?-\n", {"[]\\^{|}~\\n"}},
      {"?\?x\n", {"?\?x\\n"}},
      {"?\?\?=\n", {"?\?\?=\\n"}},
      {"a?", {"a?\\n"}},
      {"a?\?", {"a?\?\\n"}},
      {"?\?\n?\?=", {"?\?\\n", "#\\n"}},  // no trigraph across a newline
      {std::string("x\0y\r\n", 5), {"x\\0y\\x0D\\n"}},
      {std::string("\0", 1), {"\\0\\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(show(c.input));
    open_bytes(c.input);
    EXPECT_EQ(all_lines(), c.lines);
    EXPECT_EQ(sc_.line_no(), static_cast<int>(c.lines.size()));
  }
}

TEST_F(ScannerTest, LinesFromATableAndStartingOver) {
  open({"ab", "", "?\?=x", "c"});
  std::string seen;
  while (!sc_.at_eof()) seen += static_cast<char>(sc_.next_char());
  EXPECT_EQ(show(seen), "ab\\n\\n#x\\nc\\n");
  EXPECT_EQ(sc_.line_no(), 4);
  EXPECT_EQ(sc_.peek_char(), 0);
  EXPECT_EQ(sc_.next_char(), 0);
  sc_.read_line();  // nothing more once exhausted
  EXPECT_EQ(sc_.source().line_len, 0);
  EXPECT_EQ(sc_.line_no(), 4);

  open({"c"});
  EXPECT_FALSE(sc_.at_eof());
  EXPECT_EQ(sc_.line_no(), 1);
  EXPECT_EQ(rest(), "c\\n");
}

TEST_F(ScannerTest, LongLinesComeWhole) {
  for (int len : {254, 255, 256, 5000, 70000}) {
    SCOPED_TRACE(len);
    std::string line(len, 'x');
    for (bool from_file : {true, false}) {
      if (from_file) {
        open_bytes(line + "\nnext");
        sc_.read_line();
      } else {
        open({line, "next"});
      }
      EXPECT_EQ(rest(), line + "\\n");
      EXPECT_EQ(sc_.line_no(), 1);
      sc_.read_line();
      EXPECT_EQ(rest(), "next\\n");
      EXPECT_EQ(sc_.line_no(), 2);
    }
  }
}

TEST_F(ScannerTest, UnreadableFileEndsTheRun) {
  ScopedTempDir dir;
  ASSERT_EQ(mkdir("d", 0755), 0);
  file_ = fopen("d", "r");
  ASSERT_NE(file_, nullptr);
  sc_.open_file(file_, "d");
  EXPECT_EXIT_PRINTS(sc_.read_line(), 255,
                     std::string(run.prog_name) + ": Cannot read file ``d'': Is a directory\n");
}

// ---- Characters and names

TEST_F(ScannerTest, CharacterClassesAndPredicates) {
  struct Case {
    int c;
    int bits;
  } cases[] = {
      {'A', CC_ALPHA | CC_HEX}, {'f', CC_ALPHA | CC_HEX}, {'g', CC_ALPHA}, {'9', CC_DIGIT},
      {'_', CC_UNDERSCORE},     {'\v', CC_BLANK},         {'\r', CC_BLANK}, {'\n', 0},
      {'$', CC_DOLLAR},         {'.', CC_DOT},            {0, 0},           {0xE9, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(char_class(c.c), c.bits) << c.c;
  EXPECT_TRUE(is_digit_in_base('F', 16));
  EXPECT_FALSE(is_digit_in_base('a', 10));
  EXPECT_FALSE(is_digit_in_base('g', 16));
  EXPECT_STREQ(skip_blanks_str(" \t\v\f\rx y"), "x y");

  open({"ab;c"});
  sc_.next_char();
  EXPECT_TRUE(sc_.at_text("b;"));
  EXPECT_TRUE(sc_.at_text(""));
  EXPECT_FALSE(sc_.at_text(nullptr));
  EXPECT_FALSE(sc_.at_text("b;c\n?"));  // would run past the line
  EXPECT_FALSE(sc_.is_delim(0));
  EXPECT_FALSE(sc_.is_delim(';'));

  open({" \t\r", "x"});
  sc_.skip_blanks();  // the newline is no blank
  EXPECT_EQ(sc_.peek_char(), '\n');
}

TEST_F(ScannerTest, ReadName) {
  struct Case {
    const char* line;
    const char* name;
    int rest;  // the character left current
  } cases[] = {
      {"mov r1", "mov", ' '},    {"L1:x", "L1", ':'},        {"a\tb", "a", '\t'},
      {"nop;c", "nop;c", '\n'}, {"mov,r1", "mov,r1", '\n'}, {":x", ":x", '\n'},
      {"x\vy", "x", '\v'},
  };
  for (const Case& c : cases) {
    open({c.line});
    sc_.read_name(sc_.lexed.lex_name);
    EXPECT_STREQ(sc_.lexed.lex_name, c.name);
    EXPECT_EQ(sc_.peek_char(), c.rest) << c.line;
  }
  EXPECT_EQ(run.fatal_count, 0);
}

TEST_F(ScannerTest, LongNamesAreCutOnce) {
  for (int len : {128, 129, 200}) {
    SCOPED_TRACE(len);
    reset_run_record();
    std::string name(len, 'n');
    for (const std::string& after : {std::string(" r1"), std::string()}) {
      open({name + after});
      std::string out = capture_stdout([&] { sc_.read_name(sc_.lexed.lex_name); });
      EXPECT_EQ(std::string(sc_.lexed.lex_name), name.substr(0, 128));
      std::string message = name + after + "\n" + std::string(128, ' ') + "|\n" + kLoc +
                            "VOP name too long\n";
      EXPECT_EQ(out, len > 128 ? message : "");
      EXPECT_EQ(sc_.peek_char(), after.empty() ? '\n' : ' ');
    }
    EXPECT_EQ(run.fatal_count, len > 128 ? 2 : 0);
  }
}

// ---- String constants

TEST_F(ScannerTest, StringBodies) {
  struct Case {
    Lines lines;  // input after the opening quote
    int room;
    std::string text;  // decoded (shown)
    std::string out;   // everything printed
  } cases[] = {
      {{"\\x41\""}, 100, "A", ""},
      {{"\\101\""}, 100, "A", ""},
      {{"\\q\""}, 100, "q", ""},
      {{"\\x\""}, 100, "\\0", ""},
      {{"\\xg\""}, 100, "\\0g", ""},
      {{"\\1234\""}, 100, "S4", ""},
      {{"\\08\""}, 100, "\\08", ""},
      {{"\\x4ag\""}, 100, "Jg", ""},
      {{"\\a\\b\\f\\n\\r\\t\\v\\\"\\'\\?\\\\\""}, 100, "\\x07\\x08\\x0C\\n\\x0D\\t\\x0B\"'?\\", ""},
      {{"\\377\\xff\""}, 100, "\\xFF\\xFF", ""},
      {{"\\777\""}, 100, "\\xFF", "\\777\"\n   |\n" + kLoc + "Warning: Octal constant truncated \n"},
      {{"\\400\""}, 100, "\\0", "\\400\"\n   |\n" + kLoc + "Warning: Octal constant truncated \n"},
      {{"\\x4142\""},
       100,
       "\\x142",
       "\\x4142\"\n    |\n" + kLoc + "Warning: Hex character constant truncated\n"},
      // Adjacent constants with blanks between, and nothing between, are one.
      {{"ab\" \t\"cd\""}, 100, "abcd", ""},
      {{"ab\"\"cd\""}, 100, "abcd", ""},
      {{"ab\" x\""}, 100, "ab", ""},
      // A line continuation, and a newline that is not escaped
      {{"ab\\", "cd\""}, 100, "abcd", ""},
      {{"ab", "cd\""},
       100,
       "ab\\ncd",
       "cd\"\n|\n" + kLoc + "Warning: Unescaped newline in string or character constant\n"},
      // The input ends inside the constant
      {{"ab"}, 100, "ab", "\n|\n" + kLoc + "EOF reading string or character constant\n"},
      {{"ab\\"}, 100, "ab", "\n|\n" + kLoc + "EOF reading string or character constant\n"},
      {{"ab\" "}, 100, "ab", ""},
      // Room
      {{"ab\""}, 3, "ab", ""},
      {{"abc\""}, 3, "abc", "abc\"\n   |\n" + kLoc + "Character string too long (> 3 characters)\n"},
      {{"abcdef\""},
       3,
       "abc",
       "abcdef\"\n      |\n" + kLoc + "Character string too long (> 3 characters)\n"},
      {{"\""}, 0, "", "\"\n|\n" + kLoc + "Character string too long (> 0 characters)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines[0]);
    reset_run_record();
    open(c.lines);
    char buf[128];
    memset(buf, 'z', sizeof buf);
    int n = 0;
    EXPECT_EQ(capture_stdout([&] { n = sc_.read_string_body(buf, c.room); }), c.out);
    EXPECT_EQ(show({buf, static_cast<size_t>(n)}), c.text);
    EXPECT_EQ(buf[n], '\0');
    EXPECT_EQ(buf[n + 1], '\0');
  }
}

TEST_F(ScannerTest, WarningsOffStaySilent) {
  run.warnings_off = true;
  open({"\\777\""});
  char buf[8];
  EXPECT_EQ(capture_stdout([&] { sc_.read_string_body(buf, 4); }), "");
  EXPECT_EQ(run.warning_count, 0);
  EXPECT_EQ(buf[0], '\xFF');
}

// ---- Operand lists

TEST_F(ScannerTest, Operands) {
  struct Case {
    const char* line;
    const char* delims;
    std::string operands;
    std::string comments;
  } cases[] = {
      {"r1,r2", " \t,", "[r1],[r2]", ""},
      {"r1 , r2", " \t,", "[r1] [],[r2]", ""},
      {"r1 ,r2", ",", "[r1 ],[r2]", ""},
      {"\"a\\tb\" \"c\"", " \t,", "[\"a\\tbc]", ""},
      {",a", " \t,", "[],[a]", ""},
      {"a,", " \t,", "[a],", ""},
      {"a,,b", " \t,", "[a],[],[b]", ""},
      {"a b", "", "[a b]", ""},
      {"a ; c", " \t,", "[a] ", "{; c\\n}"},
      {"a;c", " \t,", "[a]", "{;c\\n}"},
      {"a ;", " \t,", "[a] ", ""},
      {"a ;;", " \t,", "[a] ", "{;;\\n}"},
      {"; c", " \t,", "", "{; c\\n}"},
      {"\"x\\000y\",r1", " \t,", "[\"x\\0y],[r1]", ""},
      {"\"\",r1", " \t,", "[\"],[r1]", ""},
      {"\"a\" ;c", " \t,", "[\"a]", "{;c\\n}"},
      {"\"a\"", ",", "[\"a]", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    SyntaxSet set;
    set.delim_chars = c.delims;
    open({c.line, "next"}, set);
    sc_.read_operands();
    EXPECT_EQ(dump_operands(sc_.lexed), c.operands);
    EXPECT_EQ(pending(), c.comments);
    EXPECT_EQ(sc_.peek_char(), '\n');
    EXPECT_EQ(sc_.line_no(), 1);
  }
  EXPECT_EQ(run.fatal_count, 0);
}

TEST_F(ScannerTest, ExpectedNamesTheActiveSyntax) {
  struct Case {
    const char* comment;
    const char* delims;
    const char* line;
    std::string out;
  } cases[] = {
      {";", " \t,", "\"ab\"x,r2 ; c",
       "\"ab\"x,r2 ; c\n    |\n" + kLoc + "Expected ``;'', ' ', '\\t', ',', or <newline>\n"},
      {"//", "'\v", "\"a\" x",
       "\"a\" x\n    |\n" + kLoc + "Expected ``//'', '\\'', '\\v', or <newline>\n"},
      {nullptr, "", "\"a\"b", "\"a\"b\n   |\n" + kLoc + "Expected ``'' or <newline>\n"},
  };
  for (const auto& c : cases) {
    reset_run_record();
    SyntaxSet set;
    set.comment_char = c.comment;
    set.delim_chars = c.delims;
    open({c.line}, set);
    EXPECT_EQ(capture_stdout([&] { sc_.read_operands(); }), c.out);
    EXPECT_EQ(sc_.lexed.lex_nopnds, 1);
    EXPECT_EQ(pending(), "");  // the rest of the line is not read as a comment
    EXPECT_EQ(run.fatal_count, 1);
  }
}

TEST_F(ScannerTest, TooManyArguments) {
  for (int count : {32, 33, 34}) {
    SCOPED_TRACE(count);
    reset_run_record();
    std::string line, expect, errors;
    for (int i = 1; i <= count; i++) line += (i > 1 ? "," : "") + std::to_string(i);
    for (int i = 1; i <= 31; i++) expect += "[" + std::to_string(i) + "],";
    expect += "[" + std::to_string(count) + "]";
    for (int i = 33; i <= count; i++) {
      // The marker stands under the delimiter before the extra operand.
      size_t at = line.find("," + std::to_string(i));
      errors += line + "\n" + std::string(at, ' ') + "|\n" + kLoc + "Too many arguments\n";
    }
    open({line});
    EXPECT_EQ(capture_stdout([&] { sc_.read_operands(); }), errors);
    EXPECT_EQ(dump_operands(sc_.lexed), expect);
    EXPECT_EQ(run.fatal_count, count - 32);
  }
}

TEST_F(ScannerTest, LongOperandsGrowTheTextArea) {
  std::string big(3000, 'x');
  std::string line;
  for (int i = 0; i < 20; i++) line += (i ? "," : "") + big + std::to_string(i);
  open({line});
  sc_.read_operands();
  ASSERT_EQ(sc_.lexed.lex_nopnds, 20);
  for (int i = 0; i < 20; i++) {
    EXPECT_EQ(sc_.lexed.opnd(i), big + std::to_string(i));
    EXPECT_EQ(sc_.lexed.opnd_c_str(i)[sc_.lexed.len[i]], '\0');
  }
  EXPECT_EQ(run.fatal_count, 0);
}

// A string operand's room is what is left of a fixed area after the
// operands before it; plain operands are never cut.
TEST_F(ScannerTest, StringRoomCountsFromTheOperandArea) {
  std::string s(600, 's'), p(600, 'p');
  struct Case {
    std::string line;
    std::string operands;
    std::string out;
  } cases[] = {
      {"\"" + s + "\",r1", "[\"" + s.substr(0, 509) + "],[r1]",
       "\"" + s + "\",r1\n" + std::string(601, ' ') + "|\n" + kLoc +
           "Character string too long (> 509 characters)\n"},
      {p + ",\"x\"," + p, "[" + p + "],[\"],[" + p + "]",
       p + ",\"x\"," + p + "\n" + std::string(603, ' ') + "|\n" + kLoc +
           "Character string too long (> 0 characters)\n"},
      {"\"" + std::string(508, 'f') + "\"", "[\"" + std::string(508, 'f') + "]", ""},
  };
  for (const auto& c : cases) {
    reset_run_record();
    open({c.line});
    EXPECT_EQ(capture_stdout([&] { sc_.read_operands(); }), c.out);
    EXPECT_EQ(dump_operands(sc_.lexed), c.operands);
  }
}

// ---- Comments

TEST_F(ScannerTest, BlockComments) {
  SyntaxSet set;
  set.comment_begin = "/*";
  set.comment_end = "*/";
  open({"  /* one", "two", "three */ rest"}, set);
  sc_.skip_blanks();
  sc_.skip_block_comment();
  EXPECT_EQ(pending(), "{/* one\\n}{two\\n}{three */\\n}");
  EXPECT_EQ(rest(), " rest\\n");
  EXPECT_EQ(sc_.line_no(), 3);

  open({"/**/x"}, set);
  sc_.skip_block_comment();
  EXPECT_EQ(pending(), "{/**/\\n}");
  EXPECT_EQ(sc_.peek_char(), 'x');

  open({"a /* c */ b"}, set);  // an opener ends the operands
  sc_.read_operands();
  EXPECT_EQ(dump_operands(sc_.lexed), "[a] ");
  EXPECT_EQ(pending(), "{/* c */\\n}");
  EXPECT_EQ(rest(), " b\\n");
  EXPECT_EQ(run.fatal_count, 0);
}

TEST_F(ScannerTest, EndOfFileInComment) {
  for (const char* end : {"*/", static_cast<const char*>(nullptr)}) {
    reset_run_record();
    SyntaxSet set;
    set.comment_begin = "/*";
    set.comment_end = end;
    open({"/* one", end ? "two" : "two */"}, set);
    EXPECT_EQ(capture_stdout([&] { sc_.skip_block_comment(); }),
              "\n|\n" + kLoc + "End of file in comment\n");
    EXPECT_EQ(pending(), end ? "{/* one\\n}{two\\n}" : "{/* one\\n}{two */\\n}");
    EXPECT_TRUE(sc_.at_eof());
  }
}

TEST_F(ScannerTest, SaveCommentKeepsEveryByte) {
  open_bytes(std::string("; a\0b\n;\n", 8));
  sc_.read_line();
  sc_.save_comment(true);
  sc_.read_line();
  sc_.save_comment(true);   // a marker alone is not saved
  sc_.save_comment(false);  // unless asked for
  EXPECT_EQ(pending(), "{; a\\0b\\n}{;\\n}");
}

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
  for (const auto& c : cases) {
    EXPECT_EQ(make_delim_desc(c.delims), c.desc);
    SyntaxSet set;
    set.delim_chars = c.delims;
    sc_.activate_syntax(set);
    EXPECT_EQ(sc_.delim_desc(), c.desc);
    EXPECT_EQ(sc_.is_delim(','), c.delims && strchr(c.delims, ',')) << c.desc;
  }
}

// ---- Values

TEST_F(ScannerTest, ParseValue) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {"0x1F", true, 31},       {"017", true, 15},
      {"09", true, 9},          {"'a'", true, 97},
      {"'ab'", true, 24930},    {"-1", false, 0},
      {"12 ", false, 0},        {"", true, 0},
      {" \t12", true, 12},      {"000", true, 0},
      {"0x", true, 0},          {"0X00ff", true, 255},
      {"12a", false, 0},        {"0xg", false, 0},
      {"0xFFFFFFFF", true, -1}, {"4294967297", true, 1},
      {"'a", false, 0},         {"''", true, 0},
      {"'a'xyz", true, 97},     {"'\\''", true, 39},
      {"'\\x41'", true, 65},    {"'\\x'", true, 0},
      {"'\\101'", true, 65},    {"'\\q'", true, 'q'},
      {"'abcde'", true, 0x62636465}, {"'\\", false, 0},
      {"#5", false, 0},
  };
  for (const auto& c : cases) {
    int32_t value = 12345;
    EXPECT_EQ(parse_value(c.text, &value), c.ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  EXPECT_EQ(run.warning_count, 0);
}

TEST_F(ScannerTest, ParseValueWarnings) {
  open({"\tmov #'\\777',r5"});
  for (int i = 0; i < 7; i++) sc_.next_char();
  struct Case {
    const char* text;
    int32_t value;
    const char* message;
  } cases[] = {
      {"'\\777'", 255, "Octal constant truncated"},
      {"'\\xfff'", 255, "Hex character constant truncated"},
      {"'a\nb'", ('a' << 16) | ('\n' << 8) | 'b', "Unescaped newline in string or character constant"},
  };
  for (const auto& c : cases) {
    int32_t value = 0;
    bool parsed = false;
    std::string out = capture_stdout([&] { parsed = parse_value(c.text, &value); });
    EXPECT_TRUE(parsed);
    EXPECT_EQ(out, "\tmov #'\\777',r5\n\t     |\n" + kLoc + "Warning: " + c.message + "\n");
    EXPECT_EQ(value, c.value);
  }
}

}  // namespace
