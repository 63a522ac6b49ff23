// Compiles the input up to its first zero byte as an expression and searches
// the rest with it, checking what every compiled program and match must hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "rx/rx.h"

namespace {

constexpr size_t kMaxInput = 2048;  // keeps each run short

void check(bool ok) {
  if (!ok) abort();
}

bool within(const char* p, const char* text, size_t len) {
  return p >= text && p <= text + len;
}

// What a successful search promises about the extents and the hints.
void check_match(const rx_program* prog, const char* text, size_t len) {
  const char* start = prog->group_start[0];
  const char* end = prog->group_end[0];
  check(within(start, text, len) && within(end, text, len) && start <= end);
  for (int i = 1; i < kRxGroups; i++) {
    const char* gs = prog->group_start[i];
    const char* ge = prog->group_end[i];
    check((gs == nullptr) == (ge == nullptr));
    if (gs) check(within(gs, text, len) && within(ge, text, len) && gs <= ge);
  }
  if (prog->anchored) check(start == text);
  if (prog->start_char) check(*start == prog->start_char);
  if (prog->must_text) {
    std::string match(start, end);
    check(match.find(std::string(prog->must_text, prog->must_len)) != std::string::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\0');
  std::string exp = input.substr(0, cut);
  std::string text = cut == std::string::npos ? exp : input.substr(cut + 1);
  text = text.substr(0, text.find('\0'));

  const char* error = nullptr;
  rx_program* prog = rx_try_compile(exp.c_str(), &error);
  if (!prog) {
    // The syntax checks leave no way to reach these.
    check(error && strcmp(error, "internal urp") != 0 && strcmp(error, "internal disaster") != 0);
    return 0;
  }
  check(!rx_dump(prog).empty());
  RxSteps steps;
  int found = rx_try_search(prog, text.c_str(), &error, &steps);
  check(!error);
  // Each node is tried at most once at each position.
  check(steps.taken <= static_cast<long>(text.size() + 1) * prog->size);
  if (found) {
    check_match(prog, text.c_str(), text.size());
    // A second search over the same text finds the same match.
    const char* start = prog->group_start[0];
    const char* end = prog->group_end[0];
    check(rx_try_search(prog, text.c_str(), &error) == 1 && !error);
    check(prog->group_start[0] == start && prog->group_end[0] == end);
  }
  rx_free(prog);
  return 0;
}
