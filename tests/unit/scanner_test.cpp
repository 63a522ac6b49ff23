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
    const char* named = c == '\t' ? "\\t" : c == '\n' ? "\\n" : c == 0 ? "\\0" : nullptr;
    char text[8];
    snprintf(text, sizeof text, c < 32 || c >= 127 ? "\\x%02X" : "%c", c);
    out += named ? named : text;
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

SyntaxSet syntax(const char* comment, const char* delims, const char* begin = nullptr,
                 const char* end = nullptr) {
  return SyntaxSet{comment, begin, end, delims};
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
    sc_.read_line();
  }

  // What is left of the current line / the lines from here to the end.
  std::string rest() {
    const SourceLine& s = sc_.source();
    EXPECT_EQ(s.line_buf[s.line_len], '\0');
    return show({s.line_buf + s.line_pos, static_cast<size_t>(s.line_len - s.line_pos)});
  }
  Lines all_lines() {
    Lines out;
    for (; !sc_.at_eof(); sc_.read_line()) out.push_back(rest());
    return out;
  }
  std::string pending() {
    std::string out;
    for (const std::string& c : sc_.pending_comments()) out += "{" + show(c) + "}";
    return out;
  }

  Scanner sc_;
  LineTable table_;
  std::string bytes_;
  FILE* file_ = nullptr;
};

const std::string kLoc = "\"t.vop\", line 1: ";

TEST_F(ScannerTest, LinesFromAFile) {
  struct Case {
    std::string input;
    Lines lines;
  } cases[] = {
      {"", {}}, {"\n", {"\\n"}}, {"a\nb", {"a\\n", "b\\n"}}, {"a\n\nb\n", {"a\\n", "\\n", "b\\n"}},
      {"?\?=define X\n", {"#define X\\n"}},
      {"?\?(?\?)?\?/?\?'?\?<?\?!?\?>?\?-\n", {"[]\\^{|}~\\n"}},
      {"?\?x\n", {"?\?x\\n"}}, {"?\?\?=\n", {"?\?\?=\\n"}}, {"a?", {"a?\\n"}},
      {"a?\?", {"a?\?\\n"}},
      {"?\?\n?\?=", {"?\?\\n", "#\\n"}},  // no trigraph across a newline
      {std::string("x\0y\r\n", 5), {"x\\0y\\x0D\\n"}}, {std::string("\0", 1), {"\\0\\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(show(c.input));
    open_bytes(c.input);
    EXPECT_EQ(all_lines(), c.lines);
    EXPECT_EQ(sc_.line_no(), static_cast<int>(c.lines.size()));
  }
}

TEST_F(ScannerTest, LinesFromATableAndLongLines) {
  open({"ab", "", "?\?=x", "c"});
  std::string seen;
  while (!sc_.at_eof()) seen += static_cast<char>(sc_.next_char());
  EXPECT_EQ(show(seen), "ab\\n\\n#x\\nc\\n");
  sc_.read_line();  // nothing more once exhausted
  EXPECT_EQ(sc_.next_char(), 0);
  EXPECT_EQ(sc_.line_no(), 4);
  open({"c"});  // a new input starts over
  EXPECT_EQ(sc_.line_no(), 1);
  EXPECT_EQ(rest(), "c\\n");
  for (int len : {254, 255, 256, 70000}) {
    SCOPED_TRACE(len);
    std::string line(len, 'x');
    for (bool from_file : {true, false}) {
      if (from_file) open_bytes(line + "\nnext");
      if (!from_file) open({line, "next"});
      EXPECT_EQ(all_lines(), (Lines{line + "\\n", "next\\n"}));
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

TEST_F(ScannerTest, CharacterClasses) {
  std::pair<int, int> classes[] = {{'f', CC_ALPHA | CC_HEX}, {'g', CC_ALPHA}, {'\v', CC_BLANK},
                                   {'\r', CC_BLANK},         {'\n', 0},       {0xE9, 0}};
  for (auto [c, bits] : classes) EXPECT_EQ(char_class(c), bits) << c;
  EXPECT_TRUE(is_digit_in_base('F', 16) && !is_digit_in_base('a', 10));
}

TEST_F(ScannerTest, ReadName) {
  const char* kNameTooLong = "VOP name too long\n";
  struct Case {
    std::string line, name;
    int rest;  // the character left current
    std::string out = "";
  } cases[] = {
      {"mov r1", "mov", ' '},    {"L1:x", "L1", ':'},        {"a\tb", "a", '\t'},
      {"nop;c", "nop;c", '\n'}, {"mov,r1", "mov,r1", '\n'}, {":x", ":x", '\n'},
      {"x\vy", "x", '\v'},      {std::string(128, 'n'), std::string(128, 'n'), '\n'},
      // Too long: reported once, at the first character that does not fit
      {std::string(129, 'n') + " r1", std::string(128, 'n'), ' ',
       std::string(129, 'n') + " r1\n" + std::string(128, ' ') + "|\n" + kLoc + kNameTooLong},
      {std::string(200, 'n'), std::string(128, 'n'), '\n',
       std::string(200, 'n') + "\n" + std::string(128, ' ') + "|\n" + kLoc + kNameTooLong},
  };
  for (const Case& c : cases) {
    reset_run_record();
    open({c.line});
    EXPECT_EQ(capture_stdout([&] { sc_.read_name(sc_.lexed.lex_name); }), c.out);
    EXPECT_EQ(sc_.lexed.lex_name, c.name);
    EXPECT_EQ(sc_.peek_char(), c.rest) << c.line;
    EXPECT_EQ(run.fatal_count, c.out.empty() ? 0 : 1);
  }
}

// ---- String constants

TEST_F(ScannerTest, StringBodies) {
  const char* kOctal = "Warning: Octal constant truncated \n";
  struct Case {
    Lines lines;  // input after the opening quote
    int room;
    std::string text;      // decoded (shown)
    std::string out = "";  // everything printed
  } cases[] = {
      {{"\\x41\""}, 100, "A"},   {{"\\101\""}, 100, "A"},    {{"\\q\""}, 100, "q"},
      {{"\\x\""}, 100, "\\0"},   {{"\\xg\""}, 100, "\\0g"}, {{"\\1234\""}, 100, "S4"},
      {{"\\08\""}, 100, "\\08"}, {{"\\x4ag\""}, 100, "Jg"},  {{"\\377\\xff\""}, 100, "\\xFF\\xFF"},
      {{"\\a\\b\\f\\n\\r\\t\\v\\\"\\'\\?\\\\\""}, 100, "\\x07\\x08\\x0C\\n\\x0D\\t\\x0B\"'?\\"},
      {{"\\777\""}, 100, "\\xFF", "\\777\"\n   |\n" + kLoc + kOctal},
      {{"\\400\""}, 100, "\\0", "\\400\"\n   |\n" + kLoc + kOctal},
      {{"\\x4142\""}, 100, "\\x142",
       "\\x4142\"\n    |\n" + kLoc + "Warning: Hex character constant truncated\n"},
      // Adjacent constants with blanks between, or nothing between, are one.
      {{"ab\" \t\"cd\""}, 100, "abcd"}, {{"ab\"\"cd\""}, 100, "abcd"}, {{"ab\" x\""}, 100, "ab"},
      // A line continuation, and a newline that is not escaped
      {{"ab\\", "cd\""}, 100, "abcd"},
      {{"ab", "cd\""}, 100, "ab\\ncd",
       "cd\"\n|\n" + kLoc + "Warning: Unescaped newline in string or character constant\n"},
      // The input ends inside the constant, or right after it
      {{"ab"}, 100, "ab", "\n|\n" + kLoc + "EOF reading string or character constant\n"},
      {{"ab\\"}, 100, "ab", "\n|\n" + kLoc + "EOF reading string or character constant\n"},
      {{"ab\" "}, 100, "ab"},
      // Room
      {{"ab\""}, 3, "ab"},
      {{"abc\""}, 3, "abc",
       "abc\"\n   |\n" + kLoc + "Character string too long (> 3 characters)\n"},
      {{"abcdef\""}, 3, "abc",
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
    std::string operands;
    std::string comments = "";
    const char* delims = " \t,";
  } cases[] = {
      {"r1,r2", "[r1],[r2]"},      {"r1 , r2", "[r1] [],[r2]"}, {"r1 ,r2", "[r1 ],[r2]", "", ","},
      {"a b", "[a b]", "", ""},    {",a", "[],[a]"},            {"a,", "[a],"},
      {"a,,b", "[a],[],[b]"},      {"a ; c", "[a] ", "{; c\\n}"}, {"a;c", "[a]", "{;c\\n}"},
      {"a ;", "[a] "},             {"a ;;", "[a] ", "{;;\\n}"},  {"; c", "", "{; c\\n}"},
      {"\"a\\tb\" \"c\"", "[\"a\\tbc]"}, {"\"x\\000y\",r1", "[\"x\\0y],[r1]"},
      {"\"\",r1", "[\"],[r1]"}, {"\"a\" ;c", "[\"a]", "{;c\\n}"}, {"\"a\"", "[\"a]", "", ","},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    open({c.line, "next"}, syntax(";", c.delims));
    sc_.read_operands();
    EXPECT_EQ(dump_operands(sc_.lexed), c.operands);
    EXPECT_EQ(pending(), c.comments);
    EXPECT_EQ(sc_.peek_char(), '\n');
    EXPECT_EQ(sc_.line_no(), 1);
  }
  EXPECT_EQ(run.fatal_count, 0);
}

// The messages and limits of an operand list, and what is kept of it.
TEST_F(ScannerTest, OperandLimits) {
  struct Case {
    std::string line, operands, out;
    SyntaxSet set = SyntaxSet{};
  };
  std::string s(600, 's'), p(600, 'p'), fit(508, 'f');
  std::vector<Case> cases = {
      // The rest of the line is not taken for a comment.
      {"\"ab\"x,r2 ; c", "[\"ab]",
       "\"ab\"x,r2 ; c\n    |\n" + kLoc + "Expected ``;'', ' ', '\\t', ',', or <newline>\n"},
      {"\"a\" x", "[\"a]",
       "\"a\" x\n    |\n" + kLoc + "Expected ``//'', '\\'', '\\v', '\\f', or <newline>\n",
       syntax("//", "'\v\f")},
      {"\"a\"b", "[\"a]", "\"a\"b\n   |\n" + kLoc + "Expected ``'' or <newline>\n",
       syntax(nullptr, nullptr)},
      // A string's room is what is left of a fixed area after the operands
      // before it; plain operands are never cut.
      {"\"" + s + "\",r1", "[\"" + s.substr(0, 509) + "],[r1]",
       "\"" + s + "\",r1\n" + std::string(601, ' ') + "|\n" + kLoc +
           "Character string too long (> 509 characters)\n"},
      {p + ",\"x\"," + p, "[" + p + "],[\"],[" + p + "]",
       p + ",\"x\"," + p + "\n" + std::string(603, ' ') + "|\n" + kLoc +
           "Character string too long (> 0 characters)\n"},
      {"\"" + fit + "\"", "[\"" + fit + "]", ""},
  };
  Case grown;  // operands past the text area's first size
  for (int i = 0; i < 20; i++) {
    grown.line += (i ? "," : "") + std::string(3000, 'x') + std::to_string(i);
    grown.operands += (i ? ",[" : "[") + std::string(3000, 'x') + std::to_string(i) + "]";
  }
  cases.push_back(grown);
  for (int count : {32, 33, 34}) {
    Case c;
    for (int i = 1; i <= count; i++) c.line += (i > 1 ? "," : "") + std::to_string(i);
    for (int i = 1; i <= 31; i++) c.operands += "[" + std::to_string(i) + "],";
    c.operands += "[" + std::to_string(count) + "]";
    // The marker stands under the delimiter before each extra operand.
    for (int i = 33; i <= count; i++) {
      size_t at = c.line.find("," + std::to_string(i));
      c.out += c.line + "\n" + std::string(at, ' ') + "|\n" + kLoc + "Too many arguments\n";
    }
    cases.push_back(c);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 20));
    reset_run_record();
    open({c.line}, c.set);
    EXPECT_EQ(capture_stdout([&] { sc_.read_operands(); }), c.out);
    EXPECT_EQ(dump_operands(sc_.lexed), c.operands);
    EXPECT_EQ(pending(), "");
    int messages = 0;
    for (size_t at = 0; (at = c.out.find(kLoc, at)) != std::string::npos; at++) messages++;
    EXPECT_EQ(run.fatal_count, messages);
  }
}

// ---- Comments

TEST_F(ScannerTest, Comments) {
  SyntaxSet set = syntax(";", " \t,", "/*", "*/");
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
  for (const char* end : {"*/", static_cast<const char*>(nullptr)}) {
    reset_run_record();
    open({"/* one", end ? "two" : "two */"}, syntax(";", " \t,", "/*", end));
    EXPECT_EQ(capture_stdout([&] { sc_.skip_block_comment(); }),
              "\n|\n" + kLoc + "End of file in comment\n");
    EXPECT_EQ(pending(), end ? "{/* one\\n}{two\\n}" : "{/* one\\n}{two */\\n}");
    EXPECT_TRUE(sc_.at_eof());
  }
  sc_.pending_comments().clear();
  open_bytes(std::string("; a\0b\n;\n", 8));  // a comment keeps every byte
  sc_.save_comment(true);
  sc_.read_line();
  sc_.save_comment(true);   // a marker alone is not saved
  sc_.save_comment(false);  // unless asked for
  EXPECT_EQ(pending(), "{; a\\0b\\n}{;\\n}");
}

// Warnings about a value point at the line being read.
TEST_F(ScannerTest, ParseValue) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
    std::string warning = "";
  } cases[] = {
      {"0x1F", true, 31}, {"017", true, 15}, {"09", true, 9}, {"'a'", true, 97}, {"-1", false, 0},
      {"12 ", false, 0}, {"", true, 0}, {" \t12", true, 12}, {"000", true, 0}, {"0x", true, 0},
      {"0X00ff", true, 255}, {"12a", false, 0}, {"0xg", false, 0}, {"#5", false, 0},
      {"'ab'", true, 24930},
      {"0xFFFFFFFF", true, -1}, {"4294967297", true, 1}, {"'a", false, 0}, {"''", true, 0},
      {"'a'xyz", true, 97}, {"'\\''", true, 39}, {"'\\x41'", true, 65}, {"'\\x'", true, 0},
      {"'\\101'", true, 65}, {"'\\q'", true, 'q'}, {"'\\", false, 0}, {"'abcde'", true, 0x62636465},
      {"'\\777'", true, 255, "Octal constant truncated"},
      {"'\\xfff'", true, 255, "Hex character constant truncated"},
      {"'a\nb'", true, ('a' << 16) | ('\n' << 8) | 'b',
       "Unescaped newline in string or character constant"},
  };
  open({"\tmov #'\\777',r5"});
  for (int i = 0; i < 7; i++) sc_.next_char();
  for (const auto& c : cases) {
    int32_t value = 12345;
    bool ok = false;
    std::string out = capture_stdout([&] { ok = parse_value(c.text, &value); });
    EXPECT_EQ(ok, c.ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    std::string echo = "\tmov #'\\777',r5\n\t     |\n" + kLoc + "Warning: ";
    EXPECT_EQ(out, c.warning.empty() ? "" : echo + c.warning + "\n");
  }
}

}  // namespace
