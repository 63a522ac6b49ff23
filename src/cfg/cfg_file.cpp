#include "cfg/cfg_file.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/diag.h"
#include "base/files.h"
#include "base/run.h"

const char* const cfg_builtin_lines[] = {nullptr};

namespace {

// A line, a section path and a compound key each hold at most 1024 characters;
// a file line is read with room for its terminating zero.
constexpr size_t kBufSize = 1025;
constexpr size_t kMaxText = kBufSize - 1;

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

const char* skip_blanks(const char* p) {
  while (is_blank(*p)) p++;
  return p;
}

void report_too_long(const char* line) {
  printf("Configuration line is too long (%.50s,,,)\n", line);
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

// The value starting at `p`, or none when it is malformed.
std::optional<std::string> scan_value(const char* p) {
  std::string out;
  bool quoted = *p == '"';
  if (quoted) p++;
  for (;;) {
    char c = *p;
    if (c == '\0') break;
    if (quoted && c == '"') break;
    if (!quoted && is_blank(c)) break;
    if (!quoted && c == '"') return std::nullopt;
    if (c == '\\') {
      char decoded;
      p = decode_escape(p + 1, &decoded);
      if (!p) return std::nullopt;
      out += decoded;
    } else {
      out += c;
      p++;
    }
  }
  if (quoted && *p != '"') return std::nullopt;
  return out;
}

std::string config_file_path() {
  const char* dir = getenv("QVDIR");
  const char* sys = getenv("QVSYS");
  return std::string(dir ? dir : ".") + "/" + (sys ? sys : "zbase") + ".zcf";
}

// The non-empty value found under `key` by `reader`, or empty.
std::string lookup_or_empty(std::optional<cfg_reader> reader, std::string_view key) {
  if (!reader) return {};
  return cfg_lookup(*reader, key).value_or(std::string());
}

}  // namespace

// Reads the next line of the source into line_; false at the end of the
// source or at a line too long for the buffer.
bool cfg_reader::read_line() {
  if (fp_) {
    // The fgets bound decides where a file line ends: a longer line is cut
    // at 1024 characters, and a zero byte ends the text of its line.
    char buf[kBufSize];
    if (!fgets(buf, sizeof buf, fp_.get())) return false;
    line_.assign(buf, strlen(buf));
    if (!line_.empty() && line_.back() == '\n') {
      line_.pop_back();
    } else if (line_.size() >= kMaxText) {
      report_too_long(line_.c_str());
      return false;
    }
    return true;
  }
  const char* text = lines_[next_line_];
  if (!text) return false;
  next_line_++;
  size_t len = strlen(text);
  if (len > kMaxText) {
    report_too_long(text);
    return false;
  }
  line_.assign(text, len);
  if (!line_.empty() && line_.back() == '\n') line_.pop_back();
  return true;
}

// The section path and `name` joined with '*'; a result that would not fit
// is reported and comes back empty.
std::string cfg_reader::join_key(std::string_view name) const {
  size_t total = section_.empty() ? name.size() : section_.size() + 1 + name.size();
  if (total > kMaxText) {
    printf("Compound key too long (%.50s...)\n", line_.c_str());
    return {};
  }
  std::string key = section_;
  if (!key.empty()) key += '*';
  key += name;
  return key;
}

// Applies a section line ("[name]" or "[]", blanks allowed inside and after
// the brackets); false when the line is not one, so it is read as an entry.
bool cfg_reader::apply_section_line(const char* p) {
  if (*p != '[') return false;
  const char* name = skip_blanks(p + 1);
  const char* end = name;
  while (isalnum(static_cast<unsigned char>(*end))) end++;
  const char* close = skip_blanks(end);
  if (*close != ']' || *skip_blanks(close + 1) != '\0') return false;
  if (end == name) {
    // Closing with no section open leaves the path empty.
    size_t star = section_.rfind('*');
    section_.erase(star == std::string::npos ? 0 : star);
  } else {
    section_ = join_key(std::string_view(name, end - name));
  }
  return true;
}

// The value of an entry line whose compound key is `wanted` (empty when the
// value is bad), or none for any other entry.
std::optional<std::string> cfg_reader::match_entry(const char* p, std::string_view wanted) const {
  const char* key = p;
  while (*p && !is_blank(*p) && *p != ':' && *p != '=') p++;
  if (join_key(std::string_view(key, p - key)) != wanted) return std::nullopt;
  while (is_blank(*p) || *p == ':' || *p == '=') p++;
  std::optional<std::string> value = scan_value(p);
  if (!value) {
    printf("Bad value field in config file (%.50s...)\n", line_.c_str());
    return std::string();
  }
  return value;
}

// Every scan starts over at the first line with no section open.
std::optional<std::string> cfg_reader::scan(std::string_view wanted) {
  if (fp_) {
    clearerr(fp_.get());
    fseek(fp_.get(), 0, SEEK_SET);
  }
  next_line_ = 0;
  section_.clear();
  while (read_line()) {
    const char* p = skip_blanks(line_.c_str());
    if (*p == '\0' || *p == '#' || *p == ';') continue;
    if (apply_section_line(p)) continue;
    if (std::optional<std::string> value = match_entry(p, wanted)) return value;
  }
  return std::nullopt;
}

cfg_reader cfg_open_source(FILE* fp, const char* const* lines, bool mandatory) {
  if (!((fp && !lines) || (!fp && lines))) {
    printf("Assertion failed: ( fp && ! string_list ) || ( ! fp && string_list ), file cfg_file\n");
    terminate_run(-1);
  }
  return cfg_reader(fp, lines, mandatory);
}

std::optional<cfg_reader> cfg_open_file(const std::string& path, bool mandatory) {
  if (path.empty()) return std::nullopt;
  FILE* fp = fopen(path.c_str(), "r");
  if (!fp) return std::nullopt;
  if (is_directory(fp)) {
    // It opens, but reads as nothing: not the same as no file.
    fclose(fp);
    errno = EISDIR;
    report_sys_error("Cannot read file ``%s''", path.c_str());
    terminate_run(-1);
  }
  return cfg_open_source(fp, nullptr, mandatory);
}

std::optional<cfg_reader> cfg_open_lines(const char* const* lines, bool mandatory) {
  if (!lines) return std::nullopt;
  return cfg_open_source(nullptr, lines, mandatory);
}

std::optional<std::string> cfg_lookup(cfg_reader& reader, std::string_view key) {
  if (!key.empty()) {
    if (std::optional<std::string> value = reader.scan(key)) return value;
  }
  if (reader.mandatory_) {
    printf("No value for mandatory key '%.*s'\n", static_cast<int>(key.size()), key.data());
    leave_program(-1);
  }
  return std::nullopt;
}

std::string cfg_get(const CfgSources& sources, std::string_view key) {
  std::string builtin = lookup_or_empty(cfg_open_lines(sources.builtin_lines, false), key);
  if (!sources.builtin_only) {
    std::string from_file = lookup_or_empty(cfg_open_file(config_file_path(), false), key);
    if (!from_file.empty()) return from_file;
  }
  return builtin;
}
