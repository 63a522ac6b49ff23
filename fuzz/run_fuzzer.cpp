// A whole run: the input up to its first "%%" line is the rules file, the
// rest the VOP file, optimized into an output file. The input must come out
// unchanged and no work file may be left, whatever the run reports.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "driver/driver.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start();
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find("\n%%\n");
  std::string rules = cut == std::string::npos ? input : input.substr(0, cut + 1);
  std::string vops = cut == std::string::npos ? "" : input.substr(cut + 4);
  write_text("r.rls", rules);
  write_text("in.asm", vops);
  remove("out.asm");
  char prog[] = "qvpeep", silent[] = "+s", stats[] = "+stats", rls[] = "rls=r", in[] = "in.asm",
       out[] = "out.asm";
  char* argv[] = {prog, silent, stats, rls, in, out, nullptr};
  try {
    run_program(6, argv);
  } catch (const RunEnded&) {
  }
  check(read_text("in.asm") == vops);
  check(!work_file_left());
  return 0;
}
