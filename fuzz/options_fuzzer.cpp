// Reads the input as an option file, and its first line as a configuration
// file asked for the command-line options. Words that would change
// directory or create files elsewhere are taken out first.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cfg/cfg_file.h"
#include "driver/options.h"
#include "fuzz_support.h"

namespace {

std::string harmless(std::string text) {
  for (const char* word : {"wd=", "msg=", "status=", "x=/", "x=."}) {
    for (size_t at; (at = text.find(word)) != std::string::npos;) text.replace(at, 1, "_");
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start();
  std::string text = harmless(std::string(reinterpret_cast<const char*>(data), size));
  write_text("in.x", text);
  write_text("zbase.zcf", text.substr(0, text.find('\n')));
  try {
    Options o;
    OptionParser parser(o);
    std::string value = cfg_get({cfg_builtin_lines, false}, "qvpeep*CmdLineOptions");
    parser.inject_option_text(value.c_str());
    parser.read_option_file("in.x");
  } catch (const RunEnded&) {
  }
  return 0;
}
