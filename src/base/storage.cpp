#include "base/storage.h"

#include <cstdlib>
#include <cstring>

#include "base/diag.h"
#include "base/run.h"

RuleVar rule_vars[26];

namespace {

// The variables bind_var bound since they were last cleared.
struct BoundVars {
  RuleVar* vars[26];
  int count = 0;
};
BoundVars bound;

}  // namespace

void* checked_alloc(size_t size, const char* label) {
  void* block = malloc(size ? size : 1);
  if (!block) {
    report_error_here("Malloc() denied space for %s", label);
    terminate_run(-1);
  }
  return block;
}

void* checked_realloc(void* block, size_t size, const char* label) {
  void* moved = realloc(block, size ? size : 1);
  if (!moved) {
    report_error_here("realloc() denied space for %s", label);
    terminate_run(-1);
  }
  return moved;
}

namespace {

// String storage: texts kept for the whole run, carved out of large blocks.
// The blocks stay chained from here, so every text is reachable to the end.
struct StringBlock {
  StringBlock* next;
  size_t used;
  size_t size;
  char text[1];
};
StringBlock* string_blocks = nullptr;
constexpr size_t kStringBlockSize = 64 * 1024;

}  // namespace

char* save_string(const char* text) {
  size_t len = strlen(text) + 1;
  StringBlock* b = string_blocks;
  if (!b || b->size - b->used < len) {
    size_t size = len > kStringBlockSize / 4 ? len : kStringBlockSize;
    b = static_cast<StringBlock*>(checked_alloc(sizeof(StringBlock) + size, "string storage"));
    b->used = 0;
    b->size = size;
    // A block made for one long text goes behind the current one, so the
    // room left in the current block is still used.
    if (string_blocks && size != kStringBlockSize) {
      b->next = string_blocks->next;
      string_blocks->next = b;
    } else {
      b->next = string_blocks;
      string_blocks = b;
    }
  }
  char* copy = b->text + b->used;
  memcpy(copy, text, len);
  b->used += len;
  return copy;
}

void release(void* block) { free(block); }

void clear_vars() {
  for (RuleVar& v : rule_vars) v = RuleVar{nullptr, 0};
  bound.count = 0;
}

void bind_var(RuleVar* var, const char* start, int len) {
  // A variable is bound at most once per try, so 26 entries are enough; one
  // bound anew (tests reuse slots) is kept only once.
  if (!var->text && bound.count < 26) bound.vars[bound.count++] = var;
  var->text = start;
  var->len = len;
}

void clear_bound_vars() {
  for (int i = 0; i < bound.count; i++) *bound.vars[i] = RuleVar{nullptr, 0};
  bound.count = 0;
}

void reset_storage() { clear_vars(); }
