// The character scanner shared by the rules file and the VOP files: one line
// buffer (base/diag.h `src`), trigraphs, character classes, names, string
// constants, operand lists, comments, and two text utilities.
#pragma once

#include <cstdint>
#include <cstdio>

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
extern unsigned char char_class[256];

constexpr int kMaxOperands = 32;

// Where the characters come from and where the current statement stands.
// The line itself (line_buf, line_pos, stmt_line, cur_file_name) is `src`.
struct ScannerState {
  FILE* src_file = nullptr;                // current input, or none
  const char* const* src_lines = nullptr;  // next line of the table, when no file
  int tok_start = 0;                       // where the current statement's text begins
  int line_no = 0;                         // newlines read from the current input
  bool at_eof = false;                     // input exhausted, buffer empty
  char* line_mem = nullptr;                // the line buffer, kept for the run
  int line_cap = 0;                        // its size in bytes
  int opnd_slots_used = kMaxOperands;      // lexed slots an earlier line may have filled
};
extern ScannerState scanner;

// Comment markers and operand delimiters. A null marker means none.
// delim_desc belongs to the set: activate_syntax replaces it.
struct SyntaxSet {
  const char* comment_char;
  const char* comment_begin;
  const char* comment_end;
  const char* delim_chars;
  const char* delim_desc;
};
extern SyntaxSet rules_syntax, vop_syntax, active_syntax;

constexpr int kMaxNameLen = 128;

// The statement just lexed: its name and its operands. An operand text knows
// its length, since a string constant may hold a zero byte.
struct LexLine {
  char lex_name[kMaxNameLen + 1];
  int lex_nopnds;
  const char* lex_opnds[kMaxOperands];  // each zero-terminated, into the text area
  int lex_opnd_len[kMaxOperands];
  unsigned char lex_delims[kMaxOperands];
  char* lex_text;    // operand text area; grows with plain operands
  int lex_text_cap;  // its size in bytes
};
extern LexLine lexed;

void init_char_class();
// Makes `set` the active syntax, with its delim_desc recomputed.
void activate_syntax(SyntaxSet& set);
// Starts reading an open file / a null-ended table of lines under `name`.
void open_scanner_file(FILE* f, const char* name);
void open_scanner_lines(const char* const* lines, const char* name);

void read_line();
int peek_char();
int next_char();
void skip_blanks();
bool at_text(const char* t);
bool is_delim(int c);
bool is_digit_in_base(int c, int base);
const char* skip_blanks_str(const char* p);

void read_name(char* buf);
int read_escaped_char(int quote);
int read_string_body(char* buf, int room);
void read_operands();
void save_comment(bool check_empty);
void skip_block_comment();
const char* make_delim_desc(const char* delims);

bool parse_value(const char* text, int32_t* value);
const char* intern_string(const char* text);
void clear_interned();

// Resets every scanner field, syntax set and the interned strings to their
// start values (tests). The line buffer and operand area are kept.
void reset_scanner();
