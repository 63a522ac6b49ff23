#include "lex/scanner.h"

#include <cstring>

#include "base/diag.h"
#include "base/run.h"

namespace {

// The operand area a string constant's room is measured against.
constexpr int kStringArea = 510;

constexpr std::array<unsigned char, 256> make_char_classes() {
  std::array<unsigned char, 256> cls{};
  for (int c = 'A'; c <= 'Z'; c++) cls[c] |= CC_ALPHA;
  for (int c = 'a'; c <= 'z'; c++) cls[c] |= CC_ALPHA;
  for (int c = 'A'; c <= 'F'; c++) cls[c] |= CC_HEX;
  for (int c = 'a'; c <= 'f'; c++) cls[c] |= CC_HEX;
  for (int c = '0'; c <= '9'; c++) cls[c] |= CC_DIGIT;
  cls['_'] |= CC_UNDERSCORE;
  for (int c : {' ', '\t', '\v', '\f', '\r'}) cls[c] |= CC_BLANK;
  cls['$'] |= CC_DOLLAR;
  cls['.'] |= CC_DOT;
  return cls;
}
constexpr std::array<unsigned char, 256> kCharClass = make_char_classes();

int trigraph_char(int c) {
  switch (c) {
    case '=': return '#';
    case '(': return '[';
    case '/': return '\\';
    case ')': return ']';
    case '\'': return '^';
    case '<': return '{';
    case '!': return '|';
    case '>': return '}';
    case '-': return '~';
    default: return 0;
  }
}

// Replaces the trigraphs of the n characters at `text` in place; returns the
// length left. A line is taken whole first: no trigraph reaches past its
// newline.
int replace_trigraphs(char* text, int n) {
  int w = 0;
  for (int i = 0; i < n;) {
    char c = text[i++];
    text[w++] = c;
    if (c != '?' || i == n) continue;
    char c2 = text[i++];
    if (c2 != '?') {
      text[w++] = c2;
      continue;
    }
    if (i == n) {
      text[w++] = '?';
      continue;
    }
    char c3 = text[i++];
    if (int t = trigraph_char(c3)) {
      text[w - 1] = static_cast<char>(t);
    } else {
      text[w++] = '?';
      text[w++] = c3;  // not examined again: ???= stays as it is
    }
  }
  return w;
}

void eof_in_constant() { report_error_here("EOF reading string or character constant"); }

bool is_octal(int c) { return c >= '0' && c <= '7'; }

int hex_value(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

int simple_escape(int c) {
  switch (c) {
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    default: return c;  // \" \' \? \\ and any other character stand for themselves
  }
}

// Escape decoding over a text, for character constants in operand texts.
// Returns the character, kClosingQuote, or kTextEnd.
constexpr int kClosingQuote = -1;
constexpr int kTextEnd = -2;

int text_escaped_char(const char*& p) {
  for (;;) {
    int c = static_cast<unsigned char>(*p);
    if (c == '\0') return kTextEnd;
    p++;
    if (c == '\'') return kClosingQuote;
    if (c == '\n') report_warning_here("Unescaped newline in string or character constant");
    if (c != '\\') return c;
    c = static_cast<unsigned char>(*p);
    if (c == '\0') return kTextEnd;
    p++;
    if (c == '\n') continue;
    if (is_octal(c)) {
      int value = c - '0';
      for (int i = 0; i < 2 && is_octal(*p); i++) value = value * 8 + *p++ - '0';
      if (value > 255) report_warning_here("Octal constant truncated");
      return value & 0xFF;
    }
    if (c == 'x') {
      int value = 0;
      for (int i = 0; i < 3 && is_digit_in_base(static_cast<unsigned char>(*p), 16); i++)
        value = value * 16 + hex_value(*p++);
      if (value > 255) report_warning_here("Hex character constant truncated");
      return value & 0xFF;
    }
    return simple_escape(c);
  }
}

// After the opening quote: the characters shifted in from the right.
bool parse_char_constant(const char* p, int32_t* value) {
  uint32_t v = 0;
  for (;;) {
    int c = text_escaped_char(p);
    if (c == kClosingQuote) {
      *value = static_cast<int32_t>(v);
      return true;
    }
    if (c == kTextEnd) {
      *value = 0;
      return false;
    }
    v = v * 256 + static_cast<uint32_t>(c);
  }
}

bool parse_number(const char* p, int32_t* value) {
  int base = 10;
  if (*p == '0') {
    base = 8;
    p++;
    if (*p == 'x' || *p == 'X') {
      base = 16;
      p++;
    }
  }
  while (*p == '0') p++;
  uint32_t v = 0;
  for (; *p; p++) {
    int c = static_cast<unsigned char>(*p);
    if (!is_digit_in_base(c, base)) {
      *value = 0;
      return false;
    }
    v = v * base + hex_value(c);
  }
  *value = static_cast<int32_t>(v);
  return true;
}

}  // namespace

unsigned char char_class(int c) { return kCharClass[c & 0xFF]; }

Scanner::Scanner() {
  for (int c : {'\n', ':', ' ', '\t', '\v', '\f', '\r'}) name_stop_[c] = true;
  activate_syntax(SyntaxSet{});
}

Scanner::~Scanner() {
  if (run.source.load() == &src_) set_message_source(nullptr);
  free(line_);
}

void Scanner::activate_syntax(const SyntaxSet& set) {
  syntax_ = set;
  delim_desc_ = make_delim_desc(set.delim_chars);
  delim_.fill(false);
  for (const char* d = set.delim_chars; d && *d; d++) delim_[static_cast<unsigned char>(*d)] = true;
  stop_ = delim_;
  stop_['\n'] = true;
  stop_[0] = true;
  if (const char* t = set.comment_char) {
    if (t[0] == '\0') stop_.fill(true);  // an empty marker is found everywhere
    stop_[static_cast<unsigned char>(t[0])] = true;
  }
}

void Scanner::open_file(FILE* f, const char* name) {
  file_ = f;
  lines_ = nullptr;
  start_input(name);
}

void Scanner::open_lines(const char* const* lines, const char* name) {
  file_ = nullptr;
  lines_ = lines;
  start_input(name);
}

void Scanner::start_input(const char* name) {
  src_.cur_file_name = name;
  at_eof_ = false;
  line_no_ = 0;
  tok_start_ = 0;
  src_.line_len = 0;
  src_.line_pos = 0;
  set_message_source(&src_);
}

void Scanner::grow_line(size_t need) {
  size_t cap = line_cap_ ? line_cap_ : 256;
  while (cap < need) cap *= 2;
  char* grown = static_cast<char*>(realloc(line_, cap));
  if (!grown) {
    report_error_here("realloc() denied space for %s", "line buffer");
    terminate_run(-1);
  }
  line_ = grown;
  line_cap_ = cap;
  src_.line_buf = line_;
}

bool Scanner::fill_line_from_file(int& len) {
  ssize_t n = getdelim(&line_, &line_cap_, '\n', file_);
  src_.line_buf = line_;
  if (n < 0 && ferror(file_)) {
    // An unreadable input is not an empty one.
    report_sys_error("Cannot read file ``%s''", src_.cur_file_name);
    terminate_run(-1);
  }
  if (n <= 0) return false;
  bool ended = line_[n - 1] == '\n';
  len = static_cast<int>(n);
  if (memchr(line_, '?', n)) len = replace_trigraphs(line_, len);
  return ended;
}

// A table entry is one line without its newline, which is added here.
bool Scanner::fill_line_from_table(int& len) {
  const char* line = lines_ ? *lines_ : nullptr;
  if (!line) return false;
  size_t n = strlen(line);
  if (n + 2 > line_cap_) grow_line(n + 2);
  memcpy(line_, line, n);
  line_[n] = '\n';
  lines_++;
  len = replace_trigraphs(line_, static_cast<int>(n + 1));
  return true;
}

// Stores one input line through its newline; false when the input ran out
// before a newline.
bool Scanner::fill_line(int& len) {
  return file_ ? fill_line_from_file(len) : fill_line_from_table(len);
}

void Scanner::read_line() {
  if (at_eof_) return;
  if (!line_) grow_line(256);
  int len = 0;
  if (fill_line(len)) {
    line_no_++;
  } else if (len > 0) {
    // A last line without newline still gets one.
    if (static_cast<size_t>(len) + 2 > line_cap_) grow_line(len + 2);
    line_[len++] = '\n';
    line_no_++;
  } else {
    at_eof_ = true;
  }
  if (static_cast<size_t>(len) + 1 > line_cap_) grow_line(len + 1);
  line_[len] = '\0';
  src_.line_buf = line_;
  src_.line_len = len;
  src_.line_pos = 0;
  tok_start_ = 0;
}

// A line ends in a newline, which is no blank: the run of blanks never
// reaches the end of the line, where next_char would read the next one.
void Scanner::skip_blanks() {
  int pos = src_.line_pos;
  while (pos < src_.line_len && (kCharClass[static_cast<unsigned char>(line_[pos])] & CC_BLANK)) pos++;
  src_.line_pos = pos;
}

bool Scanner::at_text(const char* t) const {
  if (!t) return false;
  int pos = src_.line_pos;
  for (; *t; t++, pos++) {
    if (pos >= src_.line_len || line_[pos] != *t) return false;
  }
  return true;
}

std::string_view Scanner::statement_text() const {
  if (src_.line_len <= tok_start_) return {};
  return {line_ + tok_start_, static_cast<size_t>(src_.line_len - tok_start_)};
}

// at_comment_char for the current character `c`, asked only where the
// comment text can begin with it.
bool Scanner::may_start_comment(int c) const {
  const char* t = syntax_.comment_char;
  return t && (t[0] == '\0' || t[0] == c) && at_comment_char();
}

// True where an operand list ends: a newline or the start of a comment.
bool Scanner::at_list_end() const {
  return at_newline() || at_comment_char() || at_text(syntax_.comment_begin);
}

void Scanner::read_name(char* buf) {
  int n = 0;
  bool reported = false;
  buf[n++] = static_cast<char>(next_char());
  // The name as one run when it fits; the slow way finds where it is too long.
  int pos = src_.line_pos;
  int end = pos;
  while (end < src_.line_len && !name_stop_[static_cast<unsigned char>(line_[end])]) end++;
  if (end - pos <= kMaxNameLen - n && end < src_.line_len) {
    memcpy(buf + n, line_ + pos, end - pos);
    n += end - pos;
    src_.line_pos = end;
    buf[n] = '\0';
    return;
  }
  while (!at_eof_) {
    int c = peek_char();
    if (c == '\n' || c == ':' || (kCharClass[c] & CC_BLANK)) break;
    c = next_char();
    if (n < kMaxNameLen) {
      buf[n++] = static_cast<char>(c);
    } else if (!reported) {
      report_error_here("VOP name too long");
      reported = true;
    }
  }
  buf[n] = '\0';
}

// \0 to \7 and up to two more octal digits; -1 after an end-of-input error.
int Scanner::read_octal_escape(int first) {
  int value = first - '0';
  for (int i = 0; i < 2; i++) {
    if (at_eof_) {
      eof_in_constant();
      return -1;
    }
    if (!is_octal(peek_char())) break;
    value = value * 8 + next_char() - '0';
  }
  if (value > 255) report_warning_here("Octal constant truncated ");
  return value & 0xFF;
}

// \x and up to three hex digits; no digit gives 0.
int Scanner::read_hex_escape() {
  int value = 0;
  for (int i = 0; i < 3; i++) {
    if (at_eof_) {
      eof_in_constant();
      return -1;
    }
    if (!is_digit_in_base(peek_char(), 16)) break;
    value = value * 16 + hex_value(next_char());
  }
  if (value > 255) report_warning_here("Hex character constant truncated");
  return value & 0xFF;
}

int Scanner::read_escaped_char(int quote) {
  for (;;) {
    int c = next_char();
    if (c == quote) return -1;
    if (at_eof_) {
      eof_in_constant();
      return -1;
    }
    if (c == '\n') report_warning_here("Unescaped newline in string or character constant");
    if (c != '\\') return c;
    c = next_char();
    if (at_eof_) {
      eof_in_constant();
      return -1;
    }
    if (c == '\n') continue;  // line continuation
    if (is_octal(c)) return read_octal_escape(c);
    if (c == 'x') return read_hex_escape();
    return simple_escape(c);
  }
}

int Scanner::read_string_body(char* buf, int room) {
  int n = 0;
  for (;;) {
    int c = read_escaped_char('"');
    if (c >= 0) {
      if (n < room) buf[n++] = static_cast<char>(c);
      continue;
    }
    // Adjacent constants separated only by blanks are one constant.
    skip_blanks();
    if (at_eof_ || peek_char() != '"') break;
    next_char();
  }
  if (n >= room) report_error_here("Character string too long (> %d characters)", room);
  buf[n] = '\0';
  buf[n + 1] = '\0';
  return n;
}

// Reads a plain operand into the text area from `fill`; returns the new fill
// index, past the terminator. The characters up to one that may end the
// operand are taken as one run: a line always ends in a newline, which stops
// it, so the run never crosses into the next line.
int Scanner::read_plain_operand(int fill) {
  while (!at_eof_) {
    int pos = src_.line_pos;
    int end = pos;
    while (end < src_.line_len && !stop_[static_cast<unsigned char>(line_[end])]) end++;
    if (end > pos) {
      ensure_text(fill + (end - pos) + 1);
      memcpy(lexed.text.data() + fill, line_ + pos, end - pos);
      fill += end - pos;
      src_.line_pos = end;
      if (end >= src_.line_len) read_line();
      continue;
    }
    int c = peek_char();
    if (c == '\n' || is_delim(c) || may_start_comment(c)) break;
    ensure_text(fill + 2);
    lexed.text[fill++] = static_cast<char>(next_char());
  }
  ensure_text(fill + 1);
  lexed.text[fill++] = '\0';
  return fill;
}

// Reads a string operand (the quote is current); returns the new fill index,
// past the first terminator.
int Scanner::read_string_operand(int fill) {
  ensure_text(fill + 1);
  lexed.text[fill++] = static_cast<char>(next_char());
  int room = kStringArea - fill;
  if (room < 0) room = 0;
  ensure_text(fill + room + 2);
  int n = read_string_body(lexed.text.data() + fill, room);
  return fill + n + 1;
}

void Scanner::read_operands() {
  int fill = 0;
  lexed.lex_nopnds = 0;
  while (!at_eof_ && !at_list_end()) {
    if (lexed.lex_nopnds == kMaxOperands) {
      report_error_here("Too many arguments");
      lexed.lex_nopnds = kMaxOperands - 1;
    }
    int i = lexed.lex_nopnds++;
    lexed.start[i] = fill;
    fill = peek_char() == '"' ? read_string_operand(fill) : read_plain_operand(fill);
    lexed.len[i] = fill - 1 - lexed.start[i];
    if (is_delim(peek_char())) {
      lexed.lex_delims[i] = static_cast<unsigned char>(next_char());
      skip_blanks();
      continue;
    }
    lexed.lex_delims[i] = 0;
    skip_blanks();
    if (!at_list_end()) {
      next_char();
      report_error_here("Expected ``%s''%sor <newline>",
                        syntax_.comment_char ? syntax_.comment_char : "", delim_desc_.c_str());
      break;
    }
  }
  if (at_comment_char()) {
    save_comment(true);
    while (!at_eof_ && !at_newline()) next_char();
  } else if (at_text(syntax_.comment_begin)) {
    skip_block_comment();
  }
}

void Scanner::append_comment(const char* text, int len, bool add_newline) {
  std::string& c = pending_.emplace_back(text, len);
  if (add_newline) c += '\n';
}

void Scanner::save_comment(bool check_empty) {
  int pos = src_.line_pos;
  if (check_empty && pos + 1 < src_.line_len && line_[pos + 1] == '\n') return;
  int len = src_.line_len - pos;
  if (len < 0) len = 0;
  append_comment(line_ + pos, len, false);
}

void Scanner::skip_block_comment() {
  int piece_start = src_.line_pos;
  src_.line_pos += static_cast<int>(strlen(syntax_.comment_begin));
  const char* end = syntax_.comment_end;
  for (;;) {
    if (at_eof_) {
      report_error_here("End of file in comment");
      return;
    }
    if (at_newline()) {
      src_.line_pos = piece_start;
      save_comment(false);
      read_line();
      piece_start = 0;
    } else if (at_text(end)) {
      int after = src_.line_pos + static_cast<int>(strlen(end));
      append_comment(line_ + piece_start, after - piece_start, true);
      src_.line_pos = after;
      return;
    } else {
      src_.line_pos++;
    }
  }
}

bool is_digit_in_base(int c, int base) {
  unsigned char cls = kCharClass[c & 0xFF];
  return (cls & CC_DIGIT) || (base == 16 && (cls & CC_HEX));
}

const char* skip_blanks_str(const char* p) {
  while (kCharClass[static_cast<unsigned char>(*p)] & CC_BLANK) p++;
  return p;
}

std::string make_delim_desc(const char* delims) {
  if (!delims || !*delims) return " ";
  std::string desc = ", ";
  for (const char* p = delims; *p; p++) {
    desc += '\'';
    switch (*p) {
      case '\t': desc += "\\t"; break;
      case '\v': desc += "\\v"; break;
      case '\f': desc += "\\f"; break;
      case '\'': desc += "\\'"; break;
      default: desc += *p;
    }
    desc += "', ";
  }
  return desc;
}

bool parse_value(const char* text, int32_t* value) {
  const char* p = skip_blanks_str(text);
  if (*p == '\'') return parse_char_constant(p + 1, value);
  return parse_number(p, value);
}
