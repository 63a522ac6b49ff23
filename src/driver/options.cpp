#include "driver/options.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/run.h"

namespace {

constexpr int kMaxConfigWords = 1023;
constexpr int kPieceSize = 255;

bool starts_with(const char* word, std::string_view prefix) {
  return std::string_view(word).starts_with(prefix);
}

bool is_word_blank(char c) {
  return c == ' ' || c == '\t' || c == '\f';
}

// Calls keep(start, length) for every word of `text` up to its end or its
// first newline.
template <typename Keep>
void cut_words(const char* text, Keep keep) {
  const char* p = text;
  for (;;) {
    while (is_word_blank(*p)) p++;
    if (*p == '\0' || *p == '\n') return;
    const char* start = p;
    while (*p != '\0' && *p != '\n' && !is_word_blank(*p)) p++;
    keep(start, static_cast<size_t>(p - start));
  }
}

const char* first_with(int count, const char* const* words, std::string_view prefix) {
  for (int i = 1; i < count; i++) {
    if (starts_with(words[i], prefix)) return words[i] + prefix.size();
  }
  return nullptr;
}

// Two names of one file (a link, or another path): writing the output would
// empty the input before it is read.
bool same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

void change_directory(const char* dir) {
  // No drives here: a leading "c:" stays part of the directory name.
  if (*dir == '\0') dir = ".";
  if (chdir(dir) != 0) terminate_run(-1);
}

}  // namespace

// The file is opened before standard output is touched, so a failure is
// still reported where the output went so far.
void OptionParser::redirect_messages(const char* name) {
  FILE* f = fopen(name, "a");
  if (!f) usage_error("Could not open msg= file %s\n", name);
  fflush(stdout);
  dup2(fileno(f), STDOUT_FILENO);
  fclose(f);
}

bool OptionParser::apply_switch(std::string_view word) {
  if (word == "-w") {
    o_.warnings_off = true;
    run.warnings_off = true;
  } else if (word == "+s") {
    o_.silent = true;
  } else if (word == "+stats") {
    o_.show_stats = true;
  } else if (word == "+hits") {
    o_.show_hits = true;
  } else if (word == "+lint") {
    o_.lint = true;
  } else if (word == "-dbg") {
    o_.debug_labels_on = false;
  } else if (word == "+z") {
    o_.debug_level++;
  } else if (word == "+zr") {
    o_.rules_debug_level++;
  } else if (word == "+zo") {
    o_.opt_debug_level++;
  } else {
    return false;
  }
  return true;
}

void OptionParser::take_file_name(const char* word) {
  if (!o_.input_given) {
    o_.input_name = word;
    o_.input_given = true;
  } else if (!o_.output_given) {
    o_.output_name = word;
    o_.output_given = true;
  } else {
    usage_error("More than one input and output file defined");
  }
}

void OptionParser::parse_word(const char* word) {
  if (word[0] == '-' || word[0] == '+') {
    if (!apply_switch(word)) usage_error("Unknown option %s", word);
  } else if (starts_with(word, "status=") || starts_with(word, "msg=") ||
             starts_with(word, "wd=")) {
    // taken by the scans before this one
  } else if (starts_with(word, "x=")) {
    read_option_file(word + 2);
  } else if (starts_with(word, "rls=")) {
    if (o_.rules_given) usage_error("More than one replacement rules file defined");
    o_.rules_given = true;
    o_.rules_designated = true;
    o_.rules_name = word + 4;
  } else {
    take_file_name(word);
  }
}

void OptionParser::print_usage_lines() {
  printf("Usage: %s [option]* vop-file [output-vop-file]\n", run.prog_name);
  fputs("Options:\n", stdout);
  fputs("   +s          - be silent unless errors occur\n", stdout);
  fputs("   -w          - turn off warning messages\n", stdout);
  fputs("   msg=file    - append messages to file\n", stdout);
  fputs("   status=file - write exit status to file\n", stdout);
  fputs("   wd=dir      - set working directory\n", stdout);
  fputs("   x=file      - collect options from file\n", stdout);
  fputs("   rls=        - use the given replacement rules file\n", stdout);
  fputs("   +stats      - display optimization statistics\n", stdout);
  if (o_.debug_level != 0 || o_.rules_debug_level != 0 || o_.opt_debug_level != 0) {
    fputs("   +z          - turn on general debugging info\n", stdout);
    fputs("   +zr         - turn on rules debugging info\n", stdout);
    fputs("   +zo         - turn on optimizer debugging info\n", stdout);
  }
  fputs("If output-vop-file is not given, vop-file will be overwritten\n", stdout);
  if (o_.prog_path != run.prog_name)
    printf("\"%s\" %s \"%s\"\n", run.prog_name, "was invoked as", o_.prog_path.c_str());
  if (o_.debug_level >= 2) {
    fputs("qvpeep - table-driven peephole optimizer\n", stdout);
    fputs("rewrites MSP430 VOP files by replacement rules\n", stdout);
  }
}

void OptionParser::set_prog_name(int argc, const char* const* argv) {
  o_.prog_path = argc >= 1 && argv[0] ? argv[0] : "";
  const char* base = o_.prog_path.c_str();
  for (const char* p = base; *p; p++) {
    if (*p == '/' || *p == '\\' || *p == ':') base = p + 1;
  }
  std::string name(base);
  if (size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
  if (name.size() > sizeof run.prog_name - 1) name.resize(sizeof run.prog_name - 1);
  for (size_t i = 0; i <= name.size(); i++)
    run.prog_name[i] = static_cast<char>(tolower(static_cast<unsigned char>(name.c_str()[i])));
}

void OptionParser::parse_options(int count, const char* const* words) {
  if (const char* name = first_with(count, words, "status=")) run.status_file_name = name;
  if (const char* dir = first_with(count, words, "wd=")) change_directory(dir);
  if (const char* name = first_with(count, words, "msg=")) redirect_messages(name);
  for (int i = 1; i < count; i++) parse_word(words[i]);
}

void OptionParser::inject_option_text(const char* value) {
  if (!value || *value == '\0') return;
  std::vector<const char*> words{""};
  cut_words(value, [&](const char* start, size_t len) {
    if (words.size() > kMaxConfigWords) {
      fputs("Too many command line options in .zcf file\n", stdout);
      leave_program(-1);
    }
    const std::string& word = o_.kept_words.emplace_back(start, len);
    if (o_.debug_level != 0) printf("Global cmd line option '%s'\n", word.c_str());
    words.push_back(word.c_str());
  });
  if (words.size() > 1) parse_options(static_cast<int>(words.size()), words.data());
}

void OptionParser::read_option_file(const char* name) {
  // A file that names itself, or two that name each other, would recurse
  // without end.
  if (opt_file_depth_ == kMaxOptionFileDepth)
    usage_error("%s options files nested more than %d deep at %s", run.prog_name,
                kMaxOptionFileDepth, name);
  FILE* f = fopen(name, "r");
  if (!f) usage_error("Cannot open %s options file %s", run.prog_name, name);
  const char* saved_name = opt_file_name_;
  int saved_line = opt_file_line_;
  opt_file_name_ = name;
  opt_file_line_ = 1;
  opt_file_depth_++;
  char piece[kPieceSize + 1];
  while (fgets(piece, sizeof piece, f)) {
    std::vector<const char*> words{""};
    cut_words(piece, [&](const char* start, size_t len) {
      words.push_back(o_.kept_words.emplace_back(start, len).c_str());
    });
    if (words.size() > 1) parse_options(static_cast<int>(words.size()), words.data());
    opt_file_line_++;
  }
  bool unreadable = ferror(f);  // a directory, say: not an empty file
  fclose(f);
  opt_file_depth_--;
  opt_file_name_ = saved_name;
  opt_file_line_ = saved_line;
  if (unreadable) usage_error("Cannot read %s options file %s", run.prog_name, name);
}

void OptionParser::usage_error(const char* fmt, ...) {
  print_banner();
  if (opt_file_name_) printf("\"%s\", line %d: ", opt_file_name_, opt_file_line_);
  va_list args;
  va_start(args, fmt);
  vprintf(fmt, args);
  va_end(args);
  putchar('\n');
  print_usage_lines();
  terminate_run(-1);
}

void print_banner() {
  printf("%s %s %s\n", run.prog_name, "1.07", "2003/05/14");
}

void OptionParser::complete_names(bool embedded) {
  if (embedded) {
    o_.rules_name.clear();
  } else if (o_.rules_given) {
    if (!file_extension(o_.rules_name.c_str())) o_.rules_name += ".rls";
  } else {
    o_.rules_name = o_.toolchain_dir + "/" + o_.system_name + ".rls";
  }
  if (o_.input_given && !file_extension(o_.input_name.c_str())) o_.input_name += ".asm";
  if (o_.output_given) {
    if (!file_extension(o_.output_name.c_str())) o_.output_name += ".asm";
    if (o_.output_name == o_.input_name || same_file(o_.output_name, o_.input_name))
      usage_error("Output file must be different from input file");
  }
}

const char* file_extension(const char* name) {
  size_t len = strlen(name);
  if (len == 0) return nullptr;
  size_t i = len - 1;
  while (i > 0 && name[i] != '.' && name[i] != '/' && name[i] != '\\') i--;
  return name[i] == '.' ? name + i : nullptr;
}
