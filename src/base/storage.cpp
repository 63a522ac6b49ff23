#include "base/storage.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/diag.h"
#include "base/run.h"

RuleVar rule_vars[26];

namespace {

// Texts bound during one match attempt. When the block grows, the old block
// is kept (retired) until clear_vars, so texts handed out earlier stay valid.
struct VarStorage {
  char* start = nullptr;
  size_t capacity = 0;
  size_t used = 0;
  std::vector<char*> retired;  // old blocks that earlier texts still point into
};
VarStorage vars;

void free_retired() {
  for (char* block : vars.retired) free(block);
  vars.retired.clear();
}

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

char* store_var_text(const char* start, int len) {
  size_t need = vars.used + len + 1;
  if (need > vars.capacity) {
    size_t capacity = vars.capacity == 0 ? 1024 : vars.capacity * 2;
    while (need > capacity) capacity *= 2;
    char* block = static_cast<char*>(malloc(capacity));
    if (!block) {
      // Growing counts as resizing, whatever the way it is done.
      if (vars.capacity == 0) {
        report_error_here("Malloc() denied space for %s", "variable storage");
      } else {
        report_error_here("realloc() denied space for %s", "variable storage");
      }
      terminate_run(-1);
    }
    if (vars.start) {
      memcpy(block, vars.start, vars.used);
      vars.retired.push_back(vars.start);
    }
    vars.start = block;
    vars.capacity = capacity;
  }
  char* copy = vars.start + vars.used;
  memcpy(copy, start, len);
  copy[len] = '\0';
  vars.used += len + 1;
  return copy;
}

void clear_vars() {
  for (RuleVar& v : rule_vars) v = RuleVar{nullptr, 0};
  vars.used = 0;
  free_retired();
}

size_t var_storage_capacity() { return vars.capacity; }

void reset_storage() {
  clear_vars();
  free(vars.start);
  vars.start = nullptr;
  vars.capacity = 0;
}
