#include "cfg/cfg_file.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/options.h"  // the build setting, until the store takes it as a parameter
#include "base/run.h"
#include "base/diag.h"

const char* const cfg_builtin_lines[] = {nullptr};

CfgState cfg_state = {cfg_builtin_lines, embedded_only, "", ""};

struct cfg_reader {
  FILE* fp;                        // file source, or null
  const char* const* string_list;  // line-list source, or null
  int next_line;                   // index of the next line of the list
  int mandatory;                   // a failed lookup ends the program
  char* line;                      // current line, without its newline
  char* key;                       // compound key of the current line
  char* value;                     // value of the last match
  char* section;                   // current section path
};

namespace {

// Each working buffer holds 1024 characters and the terminating zero.
constexpr size_t kBufSize = 1025;
constexpr size_t kMaxText = kBufSize - 1;

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

const char* skip_blanks(const char* p) {
  while (is_blank(*p)) p++;
  return p;
}

char* new_buffer() {
  char* buf = static_cast<char*>(checked_alloc(kBufSize, "Config buffer"));
  buf[0] = '\0';
  return buf;
}

// Copies the next line of the source into the line buffer; false at the end
// of the source or at a line too long for the buffer.
bool read_line(cfg_reader* r) {
  size_t len;
  if (r->fp) {
    if (!fgets(r->line, kBufSize, r->fp)) return false;
    len = strlen(r->line);
    if (len > 0 && r->line[len - 1] == '\n') {
      r->line[--len] = '\0';
    } else if (len >= kMaxText) {
      printf("Configuration line is too long (%.50s,,,)\n", r->line);
      return false;
    }
    return true;
  }
  const char* text = r->string_list[r->next_line];
  if (!text) return false;
  r->next_line++;
  len = strlen(text);
  if (len > kMaxText) {
    printf("Configuration line is too long (%.50s,,,)\n", text);
    return false;
  }
  memcpy(r->line, text, len + 1);
  if (len > 0 && r->line[len - 1] == '\n') r->line[len - 1] = '\0';
  return true;
}

// Joins the section path and `name` with '*' into `out`; a result that would
// not fit is reported and leaves `out` empty.
void join_key(cfg_reader* r, const char* name, size_t name_len, char* out) {
  size_t path_len = strlen(r->section);
  size_t total = path_len == 0 ? name_len : path_len + 1 + name_len;
  if (total > kMaxText) {
    printf("Compound key too long (%.50s...)\n", r->line);
    out[0] = '\0';
    return;
  }
  if (path_len != 0 && out != r->section) memcpy(out, r->section, path_len);
  size_t at = path_len;
  if (path_len != 0) out[at++] = '*';
  memcpy(out + at, name, name_len);
  out[at + name_len] = '\0';
}

// Drops the innermost section; an empty path stays empty.
void close_section(cfg_reader* r) {
  char* star = strrchr(r->section, '*');
  if (star) {
    *star = '\0';
  } else {
    r->section[0] = '\0';
  }
}

// Applies a section line ("[name]" or "[]", blanks allowed inside and after
// the brackets); false when the line is not one, so it is read as an entry.
bool apply_section_line(cfg_reader* r, const char* p) {
  if (*p != '[') return false;
  const char* name = skip_blanks(p + 1);
  const char* end = name;
  while (isalnum(static_cast<unsigned char>(*end))) end++;
  const char* close = skip_blanks(end);
  if (*close != ']' || *skip_blanks(close + 1) != '\0') return false;
  if (end == name) {
    close_section(r);
  } else {
    join_key(r, name, end - name, r->section);
  }
  return true;
}

// The value of a hexadecimal digit of either case, or -1.
int hex_digit(char d) {
  if (d >= '0' && d <= '9') return d - '0';
  if (d >= 'a' && d <= 'f') return d - 'a' + 10;
  if (d >= 'A' && d <= 'F') return d - 'A' + 10;
  return -1;
}

// Decodes the escape after a backslash at `p` into `*out`; returns the
// position after it, or null for an escape that makes the value bad.
const char* decode_escape(const char* p, char* out) {
  static const char kLetters[] = "abfnrtv";
  static const char kCodes[] = {7, 8, 12, 10, 13, 9, 11};
  char c = *p;
  if (c == '"' || c == '\\') {
    *out = c;
    return p + 1;
  }
  if (c != '\0') {
    if (const char* at = strchr(kLetters, c)) {
      *out = kCodes[at - kLetters];
      return p + 1;
    }
  }
  auto octal = [](char d) { return d >= '0' && d <= '7'; };
  if (octal(p[0]) && octal(p[1]) && octal(p[2])) {
    *out = static_cast<char>(((p[0] - '0') * 64 + (p[1] - '0') * 8 + (p[2] - '0')) & 0xFF);
    return p + 3;
  }
  if ((c == 'x' || c == 'X') && hex_digit(p[1]) >= 0 && hex_digit(p[2]) >= 0) {
    *out = static_cast<char>(hex_digit(p[1]) * 16 + hex_digit(p[2]));
    return p + 3;
  }
  return nullptr;
}

// Decodes the value starting at `p` into the value buffer; false when it is
// malformed.
bool scan_value(const char* p, char* out) {
  bool quoted = *p == '"';
  if (quoted) p++;
  for (;;) {
    char c = *p;
    if (c == '\0') break;
    if (quoted && c == '"') break;
    if (!quoted && is_blank(c)) break;
    if (!quoted && c == '"') return false;
    if (c == '\\') {
      p = decode_escape(p + 1, out);
      if (!p) return false;
      out++;
    } else {
      *out++ = c;
      p++;
    }
  }
  *out = '\0';
  return !quoted || *p == '"';
}

// Checks an entry line against `wanted`; on a match its value is left in
// the value buffer.
bool match_entry(cfg_reader* r, const char* p, const char* wanted) {
  const char* key = p;
  while (*p && !is_blank(*p) && *p != ':' && *p != '=') p++;
  join_key(r, key, p - key, r->key);
  if (strcmp(r->key, wanted) != 0) return false;
  while (is_blank(*p) || *p == ':' || *p == '=') p++;
  if (!scan_value(p, r->value)) {
    printf("Bad value field in config file (%.50s...)\n", r->line);
    r->value[0] = '\0';
  }
  return true;
}

bool scan_source(cfg_reader* r, const char* wanted) {
  if (r->fp) {
    clearerr(r->fp);
    fseek(r->fp, 0, SEEK_SET);
  }
  r->next_line = 0;
  r->section[0] = '\0';
  while (read_line(r)) {
    const char* p = skip_blanks(r->line);
    if (*p == '\0' || *p == '#' || *p == ';') continue;
    if (apply_section_line(r, p)) continue;
    if (match_entry(r, p, wanted)) return true;
  }
  return false;
}

// Looks `key` up in a fresh reader and copies a found value into `result`.
void lookup_into(cfg_reader* reader, const char* key, char* result) {
  result[0] = '\0';
  if (const char* value = cfg_lookup(reader, key)) {
    strncpy(result, value, kCfgResultSize - 1);
    result[kCfgResultSize - 1] = '\0';
  }
  cfg_close(reader);
}

std::string config_file_path() {
  const char* dir = getenv("QVDIR");
  const char* sys = getenv("QVSYS");
  return std::string(dir ? dir : ".") + "/" + (sys ? sys : "zbase") + ".zcf";
}

}  // namespace

cfg_reader* cfg_open_source(FILE* fp, const char* const* string_list, int mandatory) {
  if (!((fp && !string_list) || (!fp && string_list))) {
    printf("Assertion failed: ( fp && ! string_list ) || ( ! fp && string_list ), file cfg_file\n");
    terminate_run(-1);
  }
  auto* r = static_cast<cfg_reader*>(checked_alloc(sizeof(cfg_reader), "config"));
  r->fp = fp;
  r->string_list = string_list;
  r->next_line = 0;
  r->mandatory = mandatory;
  r->line = new_buffer();
  r->key = new_buffer();
  r->value = new_buffer();
  r->section = new_buffer();
  return r;
}

cfg_reader* cfg_open_file(const char* path, int mandatory) {
  if (!path || !*path) return nullptr;
  FILE* fp = fopen(path, "r");
  if (!fp) return nullptr;
  return cfg_open_source(fp, nullptr, mandatory);
}

cfg_reader* cfg_open_lines(const char* const* lines, int mandatory) {
  if (!lines) return nullptr;
  return cfg_open_source(nullptr, lines, mandatory);
}

const char* cfg_lookup(cfg_reader* reader, const char* key) {
  if (!reader) return nullptr;
  if (key && *key && scan_source(reader, key)) return reader->value;
  if (reader->mandatory) {
    printf("No value for mandatory key '%s'\n", key ? key : "");
    exit(-1);
  }
  return nullptr;
}

void cfg_close(cfg_reader* reader) {
  if (!reader) return;
  if (reader->fp) fclose(reader->fp);
  free(reader->line);
  free(reader->key);
  free(reader->value);
  free(reader->section);
  free(reader);
}

const char* cfg_get(const char* key) {
  const char* builtin = cfg_state.builtin_value;
  lookup_into(cfg_open_lines(cfg_state.builtin_lines, 0), key, cfg_state.builtin_value);
  if (!cfg_state.embedded_only) {
    lookup_into(cfg_open_file(config_file_path().c_str(), 0), key, cfg_state.file_value);
    if (cfg_state.file_value[0]) return cfg_state.file_value;
  }
  return builtin[0] ? builtin : nullptr;
}

void reset_cfg() {
  cfg_state = CfgState{cfg_builtin_lines, embedded_only, "", ""};
}
