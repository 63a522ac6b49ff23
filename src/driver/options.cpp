#include "driver/options.h"

#include <unistd.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "cfg/cfg_file.h"
#include "driver/rules_source.h"

OptionWords option_words;

namespace {

constexpr int kMaxConfigWords = 1023;
constexpr int kPieceSize = 255;

bool starts_with(const char* word, std::string_view prefix) {
  return std::string_view(word).starts_with(prefix);
}

char* keep_word(char* word) {
  OptionWords& w = option_words;
  if (w.count == w.capacity) {
    w.capacity = w.capacity == 0 ? 64 : w.capacity * 2;
    w.kept =
        static_cast<char**>(checked_realloc(w.kept, w.capacity * sizeof(char*), "option words"));
  }
  w.kept[w.count++] = word;
  return word;
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

void change_directory(const char* dir) {
  // No drives here: a leading "c:" stays part of the directory name.
  if (*dir == '\0') dir = ".";
  if (chdir(dir) != 0) terminate_run(-1);
}

// The file is opened before standard output is touched, so a failure is
// still reported where the output went so far.
void redirect_messages(const char* name) {
  FILE* f = fopen(name, "a");
  if (!f) usage_error("Could not open msg= file %s\n", name);
  opts.msg_file_name = name;
  fflush(stdout);
  dup2(fileno(f), STDOUT_FILENO);
  fclose(f);
}

bool apply_switch(std::string_view word) {
  if (word == "-w") {
    opts.warnings_off = true;
  } else if (word == "+s") {
    opts.silent = true;
  } else if (word == "+stats") {
    opts.show_stats = true;
  } else if (word == "-dbg") {
    opts.debug_labels_on = false;
  } else if (word == "+z") {
    opts.debug_level++;
  } else if (word == "+zr") {
    opts.rules_debug_level++;
  } else if (word == "+zo") {
    opts.opt_debug_level++;
  } else {
    return false;
  }
  return true;
}

void take_file_name(const char* word) {
  if (!opts.input_given) {
    opts.input_name = word;
    opts.input_given = true;
  } else if (!opts.output_given) {
    opts.output_name = word;
    opts.output_given = true;
  } else {
    usage_error("More than one input and output file defined");
  }
}

void parse_word(const char* word) {
  if (word[0] == '-' || word[0] == '+') {
    if (!apply_switch(word)) usage_error("Unknown option %s", word);
  } else if (starts_with(word, "status=") || starts_with(word, "msg=") ||
             starts_with(word, "wd=")) {
    // taken by the scans before this one
  } else if (starts_with(word, "x=")) {
    read_option_file(word + 2);
  } else if (starts_with(word, "rls=")) {
    if (opts.rules_given) usage_error("More than one replacement rules file defined");
    opts.rules_given = true;
    opts.rules_designated = true;
    opts.rules_name = word + 4;
  } else {
    take_file_name(word);
  }
}

void print_usage_lines() {
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
  if (opts.debug_level != 0 || opts.rules_debug_level != 0 || opts.opt_debug_level != 0) {
    fputs("   +z          - turn on general debugging info\n", stdout);
    fputs("   +zr         - turn on rules debugging info\n", stdout);
    fputs("   +zo         - turn on optimizer debugging info\n", stdout);
  }
  fputs("If output-vop-file is not given, vop-file will be overwritten\n", stdout);
  if (opts.prog_path != run.prog_name)
    printf("\"%s\" %s \"%s\"\n", run.prog_name, "was invoked as", opts.prog_path.c_str());
  if (opts.debug_level >= 2) {
    fputs("qvpeep - table-driven peephole optimizer\n", stdout);
    fputs("rewrites MSP430 VOP files by replacement rules\n", stdout);
  }
}

}  // namespace

void reset_option_words() {
  for (int i = 0; i < option_words.count; i++) release(option_words.kept[i]);
  release(option_words.kept);
  option_words = OptionWords{};
}

void set_prog_name(int argc, const char* const* argv) {
  opts.prog_path = argc >= 1 && argv[0] ? argv[0] : "";
  const char* base = opts.prog_path.c_str();
  for (const char* p = base; *p; p++) {
    if (*p == '/' || *p == '\\' || *p == ':') base = p + 1;
  }
  std::string name(base);
  if (size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
  if (name.size() > sizeof run.prog_name - 1) name.resize(sizeof run.prog_name - 1);
  for (size_t i = 0; i <= name.size(); i++)
    run.prog_name[i] = static_cast<char>(tolower(static_cast<unsigned char>(name.c_str()[i])));
}

void parse_options(int count, const char* const* words) {
  if (const char* name = first_with(count, words, "status=")) run.status_file_name = name;
  if (const char* dir = first_with(count, words, "wd=")) change_directory(dir);
  if (const char* name = first_with(count, words, "msg=")) redirect_messages(name);
  for (int i = 1; i < count; i++) parse_word(words[i]);
}

void inject_config_options() {
  inject_option_text(cfg_get({cfg_builtin_lines, embedded_only}, "qvpeep*CmdLineOptions").c_str());
}

void inject_option_text(const char* value) {
  if (!value || *value == '\0') return;
  std::vector<const char*> words{""};
  cut_words(value, [&](const char* start, size_t len) {
    if (words.size() > kMaxConfigWords) {
      fputs("Too many command line options in .zcf file\n", stdout);
      exit(-1);
    }
    char* word = static_cast<char*>(checked_alloc(len + 1, "globalcmdlineopt"));
    memcpy(word, start, len);
    word[len] = '\0';
    if (opts.debug_level != 0) printf("Global cmd line option '%s'\n", word);
    words.push_back(keep_word(word));
  });
  if (words.size() > 1) parse_options(static_cast<int>(words.size()), words.data());
}

void read_option_file(const char* name) {
  FILE* f = fopen(name, "r");
  if (!f) usage_error("Cannot open %s options file %s", run.prog_name, name);
  const char* saved_name = opts.opt_file_name;
  int saved_line = opts.opt_file_line;
  opts.opt_file_name = name;
  opts.opt_file_line = 1;
  char piece[kPieceSize + 1];
  while (fgets(piece, sizeof piece, f)) {
    std::vector<const char*> words{""};
    cut_words(piece, [&](const char* start, size_t len) {
      words.push_back(save_string(std::string(start, len).c_str()));
    });
    if (words.size() > 1) parse_options(static_cast<int>(words.size()), words.data());
    opts.opt_file_line++;
  }
  opts.opt_file_name = saved_name;
  opts.opt_file_line = saved_line;
  fclose(f);
}

void finish_options() {
  if (!opts.input_given) usage_error("No input file given");
  complete_names();
  src.cur_file_name = opts.rules_name.c_str();
  if (!opts.silent) print_banner();
  open_rules_source();
}

void usage_error(const char* fmt, ...) {
  print_banner();
  if (opts.opt_file_name) printf("\"%s\", line %d: ", opts.opt_file_name, opts.opt_file_line);
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

void complete_names() {
  if (rules_source.embedded_only) {
    opts.rules_name.clear();
  } else if (opts.rules_given) {
    if (!file_extension(opts.rules_name.c_str())) opts.rules_name += ".rls";
  } else {
    opts.rules_name = opts.toolchain_dir + "/" + opts.system_name + ".rls";
  }
  if (opts.input_given && !file_extension(opts.input_name.c_str())) opts.input_name += ".asm";
  if (opts.output_given) {
    if (!file_extension(opts.output_name.c_str())) opts.output_name += ".asm";
    if (opts.output_name == opts.input_name)
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
