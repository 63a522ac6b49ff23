#include "vop/scanner.h"

#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>

#include "base/diag.h"
#include "base/storage.h"
#include "vop/vop_reader.h"

unsigned char char_class[256];
ScannerState scanner;
SyntaxSet rules_syntax = {";", nullptr, nullptr, " \t,", nullptr};
SyntaxSet vop_syntax = {";", nullptr, nullptr, " \t,", nullptr};
SyntaxSet active_syntax = {";", nullptr, nullptr, " \t,", ", ' ', '\\t', ',', "};
LexLine lexed;

namespace {

// The operand area a string constant's room is measured against.
constexpr int kStringArea = 510;

// Shared texts of rule pieces; the texts live in string storage.
std::unordered_set<std::string_view> interned;

const char kEmpty[] = "";

void grow_line(int need) {
  int cap = scanner.line_cap ? scanner.line_cap : 256;
  while (cap < need) cap *= 2;
  scanner.line_mem = static_cast<char*>(checked_realloc(scanner.line_mem, cap, "line buffer"));
  scanner.line_cap = cap;
  src.line_buf = scanner.line_mem;
}

inline void put_line_char(int& len, int c) {
  if (len + 2 > scanner.line_cap) grow_line(len + 2);
  scanner.line_mem[len++] = static_cast<char>(c);
}

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

bool fill_line_from_file(int& len) {
  size_t cap = static_cast<size_t>(scanner.line_cap);
  ssize_t n = getdelim(&scanner.line_mem, &cap, '\n', scanner.src_file);
  scanner.line_cap = static_cast<int>(cap);
  src.line_buf = scanner.line_mem;
  if (n <= 0) return false;
  bool ended = scanner.line_mem[n - 1] == '\n';
  len = static_cast<int>(n);
  if (memchr(scanner.line_mem, '?', n)) len = replace_trigraphs(scanner.line_mem, len);
  return ended;
}

// A table entry is one line without its newline, which is added here.
bool fill_line_from_table(int& len) {
  const char* line = scanner.src_lines ? *scanner.src_lines : nullptr;
  if (!line) return false;
  int n = static_cast<int>(strlen(line));
  if (n + 2 > scanner.line_cap) grow_line(n + 2);
  memcpy(scanner.line_mem, line, n);
  scanner.line_mem[n] = '\n';
  scanner.src_lines++;
  len = replace_trigraphs(scanner.line_mem, n + 1);
  return true;
}

// Stores one input line through its newline; false when the input ran out
// before a newline.
bool fill_line(int& len) {
  return scanner.src_file ? fill_line_from_file(len) : fill_line_from_table(len);
}

void grow_lex_text(int need) {
  int cap = lexed.lex_text_cap ? lexed.lex_text_cap : 512;
  while (cap < need) cap *= 2;
  lexed.lex_text = static_cast<char*>(checked_realloc(lexed.lex_text, cap, "operand text"));
  lexed.lex_text_cap = cap;
}

inline void ensure_lex_text(int need) {
  if (need > lexed.lex_text_cap) grow_lex_text(need);
}

bool at_newline() { return peek_char() == '\n'; }

bool at_comment_char() { return at_text(active_syntax.comment_char); }

// at_comment_char for the current character `c`, asked only where the
// comment text can begin with it.
bool may_start_comment(int c) {
  const char* t = active_syntax.comment_char;
  return t && (t[0] == '\0' || t[0] == c) && at_comment_char();
}

// True where an operand list ends: a newline or the start of a comment.
bool at_list_end() {
  return at_newline() || at_comment_char() || at_text(active_syntax.comment_begin);
}

void eof_in_constant() { report_error_here("EOF reading string or character constant"); }

bool is_octal(int c) { return c >= '0' && c <= '7'; }

int hex_value(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

// \0 to \7 and up to two more octal digits; -1 after an end-of-input error.
int read_octal_escape(int first) {
  int value = first - '0';
  for (int i = 0; i < 2; i++) {
    if (scanner.at_eof) {
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
int read_hex_escape() {
  int value = 0;
  for (int i = 0; i < 3; i++) {
    if (scanner.at_eof) {
      eof_in_constant();
      return -1;
    }
    if (!is_digit_in_base(peek_char(), 16)) break;
    value = value * 16 + hex_value(next_char());
  }
  if (value > 255) report_warning_here("Hex character constant truncated");
  return value & 0xFF;
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

// Reads a plain operand into the text area from `fill`; returns the new fill
// index, past the terminator.
int read_plain_operand(int fill) {
  while (!scanner.at_eof) {
    int c = peek_char();
    if (c == '\n' || is_delim(c) || may_start_comment(c)) break;
    ensure_lex_text(fill + 2);
    lexed.lex_text[fill++] = static_cast<char>(next_char());
  }
  ensure_lex_text(fill + 1);
  lexed.lex_text[fill++] = '\0';
  return fill;
}

// Reads a string operand (the quote is current); returns the new fill index,
// past the first terminator.
int read_string_operand(int fill) {
  ensure_lex_text(fill + 1);
  lexed.lex_text[fill++] = static_cast<char>(next_char());
  int room = kStringArea - fill;
  if (room < 0) room = 0;
  ensure_lex_text(fill + room + 2);
  int n = read_string_body(lexed.lex_text + fill, room);
  return fill + n + 1;
}

// Appends a comment node holding `len` bytes of `text`, plus a newline when
// `add_newline` is set, to the pending list.
void append_comment(const char* text, int len, bool add_newline) {
  int total = len + (add_newline ? 1 : 0);
  comment* node =
      static_cast<comment*>(checked_alloc(sizeof(comment) + total + 1, "comment handle"));
  node->next = nullptr;
  node->text = reinterpret_cast<char*>(node + 1);
  memcpy(node->text, text, len);
  if (add_newline) node->text[len] = '\n';
  node->text[total] = '\0';
  node->len = total;
  if (reader.pending_tail)
    reader.pending_tail->next = node;
  else
    reader.pending_head = node;
  reader.pending_tail = node;
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

void init_char_class() {
  memset(char_class, 0, sizeof char_class);
  for (int c = 'A'; c <= 'Z'; c++) char_class[c] |= CC_ALPHA;
  for (int c = 'a'; c <= 'z'; c++) char_class[c] |= CC_ALPHA;
  for (int c = 'A'; c <= 'F'; c++) char_class[c] |= CC_HEX;
  for (int c = 'a'; c <= 'f'; c++) char_class[c] |= CC_HEX;
  for (int c = '0'; c <= '9'; c++) char_class[c] |= CC_DIGIT;
  char_class[static_cast<unsigned char>('_')] |= CC_UNDERSCORE;
  for (int c : {' ', '\t', '\v', '\f', '\r'}) char_class[c] |= CC_BLANK;
  char_class[static_cast<unsigned char>('$')] |= CC_DOLLAR;
  char_class[static_cast<unsigned char>('.')] |= CC_DOT;
}

void activate_syntax(SyntaxSet& set) {
  if (&set == &active_syntax) return;
  // Rebuilt at every activation (once per pass): the settings may have
  // changed; the old text stays in string storage.
  set.delim_desc = make_delim_desc(set.delim_chars);
  active_syntax = set;
}

namespace {

void start_input() {
  scanner.at_eof = false;
  scanner.line_no = 0;
  scanner.tok_start = 0;
  src.line_len = 0;
  src.line_pos = 0;
}

}  // namespace

void open_scanner_file(FILE* f, const char* name) {
  scanner.src_file = f;
  scanner.src_lines = nullptr;
  src.cur_file_name = name;
  start_input();
}

void open_scanner_lines(const char* const* lines, const char* name) {
  scanner.src_file = nullptr;
  scanner.src_lines = lines;
  src.cur_file_name = name;
  start_input();
}

void read_line() {
  if (scanner.at_eof) return;
  // The diagnostics may have been reset in between; the buffer stays ours.
  if (!scanner.line_mem) grow_line(256);
  src.line_buf = scanner.line_mem;
  int len = 0;
  if (fill_line(len)) {
    scanner.line_no++;
  } else if (len > 0) {
    // A last line without newline still gets one.
    put_line_char(len, '\n');
    scanner.line_no++;
  } else {
    scanner.at_eof = true;
  }
  scanner.line_mem[len] = '\0';
  src.line_len = len;
  src.line_pos = 0;
  scanner.tok_start = 0;
}

int peek_char() {
  if (src.line_pos >= src.line_len) return 0;
  return static_cast<unsigned char>(src.line_buf[src.line_pos]);
}

int next_char() {
  int c = 0;
  if (src.line_pos < src.line_len) c = static_cast<unsigned char>(src.line_buf[src.line_pos++]);
  if (src.line_pos >= src.line_len) read_line();
  return c;
}

void skip_blanks() {
  while (char_class[peek_char()] & CC_BLANK) next_char();
}

bool at_text(const char* t) {
  if (!t) return false;
  int pos = src.line_pos;
  for (; *t; t++, pos++) {
    if (pos >= src.line_len || src.line_buf[pos] != *t) return false;
  }
  return true;
}

bool is_delim(int c) {
  // A loop rather than strchr: the set is a character or two, asked after
  // every operand character.
  const char* d = active_syntax.delim_chars;
  if (c == 0 || !d) return false;
  for (; *d; d++)
    if (*d == c) return true;
  return false;
}

bool is_digit_in_base(int c, int base) {
  unsigned char cls = char_class[c & 0xFF];
  return (cls & CC_DIGIT) || (base == 16 && (cls & CC_HEX));
}

const char* skip_blanks_str(const char* p) {
  while (char_class[static_cast<unsigned char>(*p)] & CC_BLANK) p++;
  return p;
}

void read_name(char* buf) {
  int n = 0;
  bool reported = false;
  buf[n++] = static_cast<char>(next_char());
  while (!scanner.at_eof) {
    int c = peek_char();
    if (c == '\n' || c == ':' || (char_class[c] & CC_BLANK)) break;
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

int read_escaped_char(int quote) {
  for (;;) {
    int c = next_char();
    if (c == quote) return -1;
    if (scanner.at_eof) {
      eof_in_constant();
      return -1;
    }
    if (c == '\n') report_warning_here("Unescaped newline in string or character constant");
    if (c != '\\') return c;
    c = next_char();
    if (scanner.at_eof) {
      eof_in_constant();
      return -1;
    }
    if (c == '\n') continue;  // line continuation
    if (is_octal(c)) return read_octal_escape(c);
    if (c == 'x') return read_hex_escape();
    return simple_escape(c);
  }
}

int read_string_body(char* buf, int room) {
  int n = 0;
  for (;;) {
    int c = read_escaped_char('"');
    if (c >= 0) {
      if (n < room) buf[n++] = static_cast<char>(c);
      continue;
    }
    // Adjacent constants separated only by blanks are one constant.
    skip_blanks();
    if (scanner.at_eof || peek_char() != '"') break;
    next_char();
  }
  if (n >= room) report_error_here("Character string too long (> %d characters)", room);
  buf[n] = '\0';
  buf[n + 1] = '\0';
  return n;
}

void read_operands() {
  int fill = 0;
  int start[kMaxOperands];
  lexed.lex_nopnds = 0;
  ensure_lex_text(1);
  while (!scanner.at_eof && !at_list_end()) {
    if (lexed.lex_nopnds == kMaxOperands) {
      report_error_here("Too many arguments");
      lexed.lex_nopnds = kMaxOperands - 1;
    }
    int i = lexed.lex_nopnds++;
    start[i] = fill;
    if (peek_char() == '"') {
      fill = read_string_operand(fill);
    } else {
      fill = read_plain_operand(fill);
    }
    lexed.lex_opnd_len[i] = fill - 1 - start[i];
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
                        active_syntax.comment_char ? active_syntax.comment_char : "",
                        active_syntax.delim_desc ? active_syntax.delim_desc : "");
      break;
    }
  }
  // The text area may have moved while it grew; the pointers are set last.
  for (int i = 0; i < lexed.lex_nopnds; i++) lexed.lex_opnds[i] = lexed.lex_text + start[i];
  for (int i = lexed.lex_nopnds; i < scanner.opnd_slots_used; i++) {
    lexed.lex_opnds[i] = kEmpty;
    lexed.lex_opnd_len[i] = 0;
    lexed.lex_delims[i] = 0;
  }
  scanner.opnd_slots_used = lexed.lex_nopnds;
  if (at_comment_char()) {
    save_comment(true);
    while (!scanner.at_eof && !at_newline()) next_char();
  } else if (at_text(active_syntax.comment_begin)) {
    skip_block_comment();
  }
}

void save_comment(bool check_empty) {
  int pos = src.line_pos;
  if (check_empty && pos + 1 < src.line_len && src.line_buf[pos + 1] == '\n') return;
  int len = src.line_len - pos;
  if (len < 0) len = 0;
  append_comment(src.line_buf + pos, len, false);
}

void skip_block_comment() {
  int piece_start = src.line_pos;
  src.line_pos += static_cast<int>(strlen(active_syntax.comment_begin));
  const char* end = active_syntax.comment_end;
  for (;;) {
    if (scanner.at_eof) {
      report_error_here("End of file in comment");
      return;
    }
    if (at_newline()) {
      src.line_pos = piece_start;
      save_comment(false);
      read_line();
      piece_start = 0;
    } else if (at_text(end)) {
      int after = src.line_pos + static_cast<int>(strlen(end));
      append_comment(src.line_buf + piece_start, after - piece_start, true);
      src.line_pos = after;
      return;
    } else {
      src.line_pos++;
    }
  }
}

const char* make_delim_desc(const char* delims) {
  if (!delims || !*delims) return save_string(" ");
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
  return save_string(desc.c_str());
}

bool parse_value(const char* text, int32_t* value) {
  const char* p = skip_blanks_str(text);
  if (*p == '\'') return parse_char_constant(p + 1, value);
  return parse_number(p, value);
}

const char* intern_string(const char* text) {
  auto found = interned.find(text);
  if (found != interned.end()) return found->data();
  const char* copy = save_string(text);
  interned.insert(copy);
  return copy;
}

void clear_interned() { interned.clear(); }

void reset_scanner() {
  // The line buffer and the operand area are kept; only their contents go.
  char* line_mem = scanner.line_mem;
  int line_cap = scanner.line_cap;
  scanner = ScannerState{};
  scanner.line_mem = line_mem;
  scanner.line_cap = line_cap;
  src.line_buf = line_mem;
  if (line_mem) line_mem[0] = '\0';
  src.line_len = 0;
  src.line_pos = 0;
  rules_syntax = {";", nullptr, nullptr, " \t,", nullptr};
  vop_syntax = rules_syntax;
  active_syntax = {";", nullptr, nullptr, " \t,", ", ' ', '\\t', ',', "};
  char* text = lexed.lex_text;
  int cap = lexed.lex_text_cap;
  lexed = LexLine{};
  lexed.lex_text = text;
  lexed.lex_text_cap = cap;
  for (int i = 0; i < kMaxOperands; i++) lexed.lex_opnds[i] = kEmpty;
  clear_interned();
}
