// The toolchain's configuration store: keyed texts with nested sections.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The built-in configuration lines (none), ended by a null entry.
extern const char* const cfg_builtin_lines[];

// Where cfg_get looks: the built-in lines, and the configuration file unless
// the build is limited to what is compiled in.
struct CfgSources {
  const char* const* builtin_lines;  // null-ended
  bool builtin_only;
};

// The value stored under the compound key; empty when there is none or it is empty.
std::string cfg_get(const CfgSources& sources, std::string_view key);

// One open configuration text, a file or a null-ended line list; a file is
// closed with the reader.
class cfg_reader {
 public:
  cfg_reader(cfg_reader&&) = default;
  cfg_reader& operator=(cfg_reader&&) = default;

 private:
  struct FileCloser {
    void operator()(FILE* fp) const { fclose(fp); }
  };

  cfg_reader(FILE* fp, const char* const* lines, bool mandatory)
      : fp_(fp), lines_(lines), mandatory_(mandatory) {}

  bool read_line();
  std::string join_key(std::string_view name) const;
  bool apply_section_line(const char* p);
  std::optional<std::string> match_entry(const char* p, std::string_view wanted) const;
  std::optional<std::string> scan(std::string_view wanted);

  std::unique_ptr<FILE, FileCloser> fp_;
  const char* const* lines_;
  size_t next_line_ = 0;
  bool mandatory_;       // a lookup that finds nothing ends the program
  std::string line_;     // current line, without its newline
  std::string section_;  // current section path

  friend cfg_reader cfg_open_source(FILE* fp, const char* const* lines, bool mandatory);
  friend std::optional<std::string> cfg_lookup(cfg_reader& reader, std::string_view key);
};

// A reader over the file at `path`; none for an empty path or a file that cannot be opened.
std::optional<cfg_reader> cfg_open_file(const std::string& path, bool mandatory);
// A reader over a null-ended list of lines; none for a null list.
std::optional<cfg_reader> cfg_open_lines(const char* const* lines, bool mandatory);
// A reader over exactly one of `fp` (which it then owns) and `lines`; anything
// else ends the run as a program error.
cfg_reader cfg_open_source(FILE* fp, const char* const* lines, bool mandatory);
// The value of the first entry under `key`, or none; a mandatory reader that
// finds nothing ends the program with status -1 instead.
std::optional<std::string> cfg_lookup(cfg_reader& reader, std::string_view key);
