// The one lexer of rules files and VOP files: lines from a file or a table,
// trigraphs, character classes, names, string constants, operand lists and
// comments, under the syntax settings of the input being read.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/diag.h"

// Character classes.
enum : unsigned char {
  CC_ALPHA = 0x01,
  CC_HEX = 0x02,
  CC_DIGIT = 0x04,
  CC_UNDERSCORE = 0x08,
  CC_BLANK = 0x10,
  CC_DOLLAR = 0x20,
  CC_DOT = 0x40,
};
unsigned char char_class(int c);

constexpr int kMaxOperands = 32;
constexpr int kMaxNameLen = 128;

// Comment markers and operand delimiters. A null marker means none; the
// texts belong to whoever made the set and outlive the scanner's use of it.
struct SyntaxSet {
  const char* comment_char = ";";
  const char* comment_begin = nullptr;
  const char* comment_end = nullptr;
  const char* delim_chars = " \t,";
};

// The statement just lexed: its name and its operands. An operand text knows
// its length, since a string constant may hold a zero byte; each is also
// zero-terminated.
struct LexLine {
  char lex_name[kMaxNameLen + 1] = "";
  int lex_nopnds = 0;
  unsigned char lex_delims[kMaxOperands] = {};

  std::string_view opnd(int i) const { return {text.data() + start[i], static_cast<size_t>(len[i])}; }
  const char* opnd_c_str(int i) const { return text.data() + start[i]; }

  std::vector<char> text = std::vector<char>(512);  // operand texts, one after another
  int start[kMaxOperands] = {};
  int len[kMaxOperands] = {};
};

class Scanner {
 public:
  Scanner();
  ~Scanner();
  Scanner(const Scanner&) = delete;
  Scanner& operator=(const Scanner&) = delete;

  // Makes `set` the active syntax (its description is made anew).
  void activate_syntax(const SyntaxSet& set);
  const SyntaxSet& syntax() const { return syntax_; }
  const std::string& delim_desc() const { return delim_desc_; }

  // Starts reading an open file / a null-ended table of lines under `name`,
  // which must outlive the reading; the scanner becomes what messages show.
  void open_file(FILE* f, const char* name);
  void open_lines(const char* const* lines, const char* name);
  void set_file_name(const char* name) { src_.cur_file_name = name; }

  void read_line();
  int peek_char() const {
    return src_.line_pos < src_.line_len ? static_cast<unsigned char>(line_[src_.line_pos]) : 0;
  }
  int next_char() {
    int c = 0;
    if (src_.line_pos < src_.line_len) c = static_cast<unsigned char>(line_[src_.line_pos++]);
    if (src_.line_pos >= src_.line_len) read_line();
    return c;
  }
  void skip_blanks();
  bool at_text(const char* t) const;
  bool is_delim(int c) const { return c != 0 && delim_[c]; }

  bool at_eof() const { return at_eof_; }
  int line_no() const { return line_no_; }
  // The statement begins here / on the line number just read.
  void mark_statement_start() { tok_start_ = src_.line_pos; }
  void mark_statement_line() { src_.stmt_line = line_no_; }
  // The line from where the current statement begins, and from there to `end`.
  std::string_view statement_text() const;
  const SourceLine& source() const { return src_; }

  void read_name(char* buf);
  int read_escaped_char(int quote);
  int read_string_body(char* buf, int room);
  void read_operands();
  void save_comment(bool check_empty);
  void skip_block_comment();

  // Comments read since they were last taken, each with its newline.
  std::vector<std::string>& pending_comments() { return pending_; }

  LexLine lexed;

 private:
  void start_input(const char* name);
  void grow_line(size_t need);
  bool fill_line(int& len);
  bool fill_line_from_file(int& len);
  bool fill_line_from_table(int& len);
  bool at_newline() const { return peek_char() == '\n'; }
  bool at_comment_char() const { return at_text(syntax_.comment_char); }
  bool may_start_comment(int c) const;
  bool at_list_end() const;
  int read_octal_escape(int first);
  int read_hex_escape();
  int read_plain_operand(int fill);
  int read_string_operand(int fill);
  void ensure_text(int need) {
    if (need > static_cast<int>(lexed.text.size())) lexed.text.resize(need * 2);
  }
  void append_comment(const char* text, int len, bool add_newline);

  FILE* file_ = nullptr;                   // current input, or none
  const char* const* lines_ = nullptr;     // next line of the table, when no file
  char* line_ = nullptr;                   // the line buffer (getdelim's)
  size_t line_cap_ = 0;
  SourceLine src_;
  int tok_start_ = 0;
  int line_no_ = 0;       // newlines read from the current input
  bool at_eof_ = false;   // input exhausted, buffer empty
  SyntaxSet syntax_;
  std::string delim_desc_;
  std::array<bool, 256> delim_{};  // the delimiter characters
  std::array<bool, 256> stop_{};   // characters that may end a plain operand
  std::array<bool, 256> name_stop_{};  // characters that end a name
  std::vector<std::string> pending_;
};

bool is_digit_in_base(int c, int base);
const char* skip_blanks_str(const char* p);
// The text used in "Expected" messages for a set of delimiters.
std::string make_delim_desc(const char* delims);
// A number (decimal, octal, hex) or a character constant, blanks before it
// skipped; false when the text is not one.
bool parse_value(const char* text, int32_t* value);
