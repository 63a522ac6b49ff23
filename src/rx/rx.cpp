#include "rx/rx.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/diag.h"
#include "base/run.h"

namespace {

// Flags passed between the parsing steps.
constexpr int NONEMPTY = 1;            // never matches the empty string
constexpr int SINGLE_CHAR = 2;         // one character wide: RX_REPEAT0/1 can take it
constexpr int STARTS_WITH_REPEAT = 4;  // begins with a piece under * or ?

constexpr char kMeta[] = "^$.[()|?+*\\";

inline unsigned char uc(char c) {
  return static_cast<unsigned char>(c);
}
inline bool is_repeat(char c) {
  return c == '*' || c == '+' || c == '?';
}

// Offset of the node after `node`, or 0: offset 0 is the check byte, never a node.
int next_of(const char* code, int node) {
  int off = uc(code[node + 1]) << 8 | uc(code[node + 2]);
  if (off == 0) return 0;
  return uc(code[node]) == RX_LOOP_BACK ? node - off : node + off;
}

// Two passes over one expression: the first only counts the program's bytes,
// the second emits them into a block of that size.
class Compiler {
 public:
  explicit Compiler(const char* exp) : exp_(exp) {}

  // Runs one pass, emitting into `code` unless null; returns the first node
  // (0 on failure) and sets the expression's flags.
  int pass(char* code, int* flags) {
    parse_ = exp_;
    groups_ = 0;
    size_ = 0;
    code_ = code;
    emit_byte(static_cast<char>(kRxCheckByte));
    int first = parse_expr(false, flags);
    code_ = nullptr;
    return first;
  }
  int size() const { return size_; }
  const char* error() const { return error_; }

 private:
  // Keeps the first failure; returns 0 so that callers can pass it up.
  int fail(const char* text) {
    if (!error_) error_ = text;
    return 0;
  }

  // ---- Emitting. While sizing (`code` null) these only count bytes.

  int emit_node(int op) {
    int at = size_;
    if (char* code = code_) {
      code[at] = static_cast<char>(op);
      code[at + 1] = code[at + 2] = 0;
    }
    size_ += 3;
    return at;
  }

  void emit_byte(char c) {
    if (code_) code_[size_] = c;
    size_++;
  }

  // Puts a node in front of the operand at `at`, which moves three bytes up.
  void insert_node(int op, int at) {
    if (char* code = code_) {
      memmove(code + at + 3, code + at, size_ - at);
      code[at] = static_cast<char>(op);
      code[at + 1] = code[at + 2] = 0;
    }
    size_ += 3;
  }

  // Points the last node of the chain starting at `chain` to `target`.
  void set_tail(int chain, int target) {
    char* code = code_;
    if (!code) return;
    int last = chain;
    for (int n; (n = next_of(code, last)) != 0;) last = n;
    int off = uc(code[last]) == RX_LOOP_BACK ? last - target : target - last;
    code[last + 1] = static_cast<char>(off >> 8);
    code[last + 2] = static_cast<char>(off);
  }

  // The same for the operand chain of an RX_ALT; other nodes have none to link.
  void set_operand_tail(int node, int target) {
    if (code_ && uc(code_[node]) == RX_ALT) set_tail(node + 3, target);
  }

  // ---- Parsing. Each step returns its first node (0 on failure) and its flags.

  int parse_set() {
    const char*& p = parse_;
    int node = emit_node(*p == '^' ? RX_NOT_IN_SET : RX_IN_SET);
    if (*p == '^') p++;
    if (*p == ']' || *p == '-') emit_byte(*p++);
    while (*p && *p != ']') {
      if (*p != '-') {
        emit_byte(*p++);
        continue;
      }
      p++;
      if (*p == ']' || *p == '\0') {
        emit_byte('-');
        continue;
      }
      // The character before the dash is already in the set.
      int from = uc(p[-2]) + 1, to = uc(*p);
      if (from > to + 1) return fail("invalid [] range");
      for (int c = from; c <= to; c++) emit_byte(static_cast<char>(c));
      p++;
    }
    emit_byte('\0');
    if (*p != ']') return fail("unmatched []");
    p++;
    return node;
  }

  int parse_run(int* flags) {
    const char*& p = parse_;
    size_t len = strcspn(p, kMeta);
    if (len == 0) return fail("internal disaster");
    // The last character of a run belongs to a repetition sign after it.
    if (len > 1 && is_repeat(p[len])) len--;
    *flags = len == 1 ? NONEMPTY | SINGLE_CHAR : NONEMPTY;
    int node = emit_node(RX_LITERAL);
    for (size_t i = 0; i < len; i++) emit_byte(p[i]);
    emit_byte('\0');
    p += len;
    return node;
  }

  int parse_atom(int* flags) {
    const char*& p = parse_;
    *flags = 0;
    switch (*p++) {
      case '^':
        return emit_node(RX_AT_START);
      case '$':
        return emit_node(RX_AT_END);
      case '.':
        *flags = NONEMPTY | SINGLE_CHAR;
        return emit_node(RX_ANY_CHAR);
      case '[':
        *flags = NONEMPTY | SINGLE_CHAR;
        return parse_set();
      case '(': {
        int inner;
        int node = parse_expr(true, &inner);
        *flags = inner & (NONEMPTY | STARTS_WITH_REPEAT);
        return node;
      }
      case '\0':
      case '|':
      case ')':
        return fail("internal urp");
      case '?':
      case '+':
      case '*':
        return fail("?+* follows nothing");
      case '\\': {
        if (*p == '\0') return fail("trailing \\");
        *flags = NONEMPTY | SINGLE_CHAR;
        int node = emit_node(RX_LITERAL);
        emit_byte(*p++);
        emit_byte('\0');
        return node;
      }
      default:
        p--;
        return parse_run(flags);
    }
  }

  // atom* over a wider atom: ALT(atom, LOOP_BACK to the ALT) -> ALT(EMPTY).
  void build_star_loop(int atom) {
    insert_node(RX_ALT, atom);
    set_operand_tail(atom, emit_node(RX_LOOP_BACK));
    set_operand_tail(atom, atom);
    set_tail(atom, emit_node(RX_ALT));
    set_tail(atom, emit_node(RX_EMPTY));
  }

  // atom+ over a wider atom: atom -> ALT(LOOP_BACK to atom) -> ALT(EMPTY).
  void build_plus_loop(int atom) {
    int loop = emit_node(RX_ALT);
    set_tail(atom, loop);
    set_tail(emit_node(RX_LOOP_BACK), atom);
    set_tail(loop, emit_node(RX_ALT));
    set_tail(atom, emit_node(RX_EMPTY));
  }

  // atom?: ALT(atom) -> ALT(EMPTY), both leading to the same EMPTY.
  void build_option(int atom) {
    insert_node(RX_ALT, atom);
    set_tail(atom, emit_node(RX_ALT));
    int skip = emit_node(RX_EMPTY);
    set_tail(atom, skip);
    set_operand_tail(atom, skip);
  }

  int parse_piece(int* flags) {
    int atom_flags;
    int atom = parse_atom(&atom_flags);
    if (!atom) return 0;
    char sign = *parse_;
    if (!is_repeat(sign)) {
      *flags = atom_flags;
      return atom;
    }
    if (!(atom_flags & NONEMPTY) && sign != '?') return fail("*+ operand could be empty");
    *flags = sign == '+' ? NONEMPTY : STARTS_WITH_REPEAT;
    bool single = atom_flags & SINGLE_CHAR;
    if (sign == '*' && single)
      insert_node(RX_REPEAT0, atom);
    else if (sign == '*')
      build_star_loop(atom);
    else if (sign == '+' && single)
      insert_node(RX_REPEAT1, atom);
    else if (sign == '+')
      build_plus_loop(atom);
    else
      build_option(atom);
    parse_++;
    if (is_repeat(*parse_)) return fail("nested *?+");
    return atom;
  }

  int parse_alt(int* flags) {
    *flags = 0;
    int alt = emit_node(RX_ALT);
    int chain = 0;
    for (char c; (c = *parse_) != '\0' && c != '|' && c != ')';) {
      int piece_flags;
      int piece = parse_piece(&piece_flags);
      if (!piece) return 0;
      *flags |= piece_flags & NONEMPTY;
      if (chain)
        set_tail(chain, piece);
      else
        *flags |= piece_flags & STARTS_WITH_REPEAT;
      chain = piece;
    }
    if (!chain) emit_node(RX_EMPTY);
    return alt;
  }

  void merge_alt_flags(int* flags, int alt_flags) {
    if (!(alt_flags & NONEMPTY)) *flags &= ~NONEMPTY;
    *flags |= alt_flags & STARTS_WITH_REPEAT;
  }

  int parse_expr(bool group, int* flags) {
    *flags = NONEMPTY;
    int first = 0, n = 0;
    if (group) {
      if (groups_ >= kRxGroups - 1) return fail("too many ()");
      n = ++groups_;
      first = emit_node(RX_GROUP_OPEN + n);
    }
    for (bool more = true; more;) {
      int alt_flags;
      int alt = parse_alt(&alt_flags);
      if (!alt) return 0;
      if (first)
        set_tail(first, alt);
      else
        first = alt;
      merge_alt_flags(flags, alt_flags);
      more = *parse_ == '|';
      if (more) parse_++;
    }
    int close = emit_node(group ? RX_GROUP_CLOSE + n : RX_END);
    set_tail(first, close);
    if (const char* code = code_)
      for (int node = first; node; node = next_of(code, node)) set_operand_tail(node, close);
    if (group) {
      if (*parse_++ != ')') return fail("unmatched ()");
    } else if (*parse_) {
      return fail(*parse_ == ')' ? "unmatched ()" : "junk on end");
    }
    return first;
  }

  const char* exp_;
  const char* parse_ = nullptr;  // next expression character
  int groups_ = 0;               // groups opened so far
  int size_ = 0;                 // program bytes counted or emitted
  char* code_ = nullptr;         // program being emitted; null while sizing
  const char* error_ = nullptr;
};

// start_char, anchored and must_text, from a single top-level alternative.
void set_hints(rx_program* prog, int flags) {
  prog->start_char = '\0';
  prog->anchored = 0;
  prog->must_text = nullptr;
  prog->must_len = 0;
  const char* code = prog->program;
  if (uc(code[next_of(code, 1)]) != RX_END) return;
  int first = 1 + 3;
  if (uc(code[first]) == RX_LITERAL)
    prog->start_char = code[first + 3];
  else if (uc(code[first]) == RX_AT_START)
    prog->anchored = 1;
  if (!(flags & STARTS_WITH_REPEAT)) return;
  size_t longest = 0;
  for (int node = first; node; node = next_of(code, node)) {
    if (uc(code[node]) != RX_LITERAL) continue;
    size_t len = strlen(code + node + 3);
    if (len >= longest) {
      longest = len;
      prog->must_text = code + node + 3;
    }
  }
  prog->must_len = static_cast<int>(longest);
}

// ---- Matching.

// Storage for one search: in place up to N elements, on the heap beyond.
template <class T, size_t N>
class Store {
 public:
  Store() = default;
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;
  ~Store() {
    if (data_ != local_) free(data_);
  }

  // n zeroed elements; false when the heap has no room.
  bool zeroed(size_t n) {
    if (n > N && !(data_ = static_cast<T*>(calloc(n, sizeof(T))))) return false;
    if (n <= N) memset(local_, 0, n * sizeof(T));
    size_ = cap_ = n;
    return true;
  }
  bool push(const T& v) {
    if (size_ == cap_ && !grow()) return false;
    data_[size_++] = v;
    return true;
  }
  T pop() { return data_[--size_]; }
  bool empty() const { return size_ == 0; }
  void clear() { size_ = 0; }
  T& operator[](size_t i) { return data_[i]; }

 private:
  bool grow() {
    size_t cap = cap_ * 2;
    T* data = static_cast<T*>(malloc(cap * sizeof(T)));
    if (!data) return false;
    memcpy(data, data_, size_ * sizeof(T));
    if (data_ != local_) free(data_);
    data_ = data;
    cap_ = cap;
    return true;
  }

  T local_[N];
  T* data_ = local_;
  size_t size_ = 0, cap_ = N;
};

// A backtracker whose choices wait on its own stack. Whether the rest of the
// program matches from a node at a position depends on nothing else (no
// back-references, and every loop iteration takes a character), so a pair
// that was tried once and given up on fails again: a bit per pair keeps each
// from being tried twice, across start positions too, and bounds a search by
// its positions times the program's nodes.
class Matcher {
 public:
  Matcher(rx_program* prog, const char* text, RxSteps* steps)
      : prog_(prog),
        code_(prog->program),
        size_(prog->size),
        text_start_(text),
        stride_(strlen(text) + 1),
        limit_(steps && steps->limit ? steps->limit : LONG_MAX) {}

  // Tries the start positions from left to right; the first match is the result.
  int search(bool start_only) {
    // Nodes are at least three bytes apart: offset / 3 numbers them.
    if (!tried_.zeroed(((size_ / 3 + 1) * stride_ + 63) / 64)) return fail("out of space");
    if (prog_->anchored || start_only) return try_at(text_start_);
    if (char first = prog_->start_char) {
      for (const char* s = text_start_; (s = strchr(s, first)) != nullptr; s++) {
        if (try_at(s)) return 1;
        if (error_) return 0;
      }
      return 0;
    }
    for (const char* s = text_start_;; s++) {
      if (try_at(s)) return 1;
      if (error_ || !*s) return 0;
    }
  }
  const char* error() const { return error_; }
  long steps() const { return steps_; }

 private:
  enum Kind { kRun, kRestore, kGiveBack };
  struct Entry {
    Kind kind;
    int node;         // kRun: where to go on; kRestore: the slot; kGiveBack: the repeat
    const char* pos;  // kRun: the position; kRestore: the slot's value; kGiveBack: the
                      // longest repetition left to try, as its end
    const char* low;  // kGiveBack: the end of the shortest repetition
  };

  // Keeps the first failure; returns 0 so that callers can pass it up.
  int fail(const char* text) {
    if (!error_) error_ = text;
    return 0;
  }

  size_t bit(int node, const char* pos) const {
    return static_cast<size_t>(node / 3) * stride_ + static_cast<size_t>(pos - text_start_);
  }
  bool tried(int node, const char* pos) {
    size_t b = bit(node, pos);
    return tried_[b / 64] >> (b % 64) & 1;
  }
  // Claims the pair for this try; false when it was tried before or the
  // steps are used up.
  bool enter(int node, const char* pos) {
    size_t b = bit(node, pos);
    uint64_t& word = tried_[b / 64];
    uint64_t mask = uint64_t{1} << (b % 64);
    if (word & mask) return false;
    word |= mask;
    if (++steps_ > limit_) return fail("step limit reached");
    return true;
  }

  bool push(const Entry& e) { return stack_.push(e) || fail("out of space"); }

  const char*& slot(int n) {
    return n < kRxGroups ? prog_->group_start[n] : prog_->group_end[n - kRxGroups];
  }

  int try_at(const char* at) {
    for (int i = 0; i < kRxGroups; i++) prog_->group_start[i] = prog_->group_end[i] = nullptr;
    stack_.clear();
    Entry e{kRun, 1, at, nullptr};
    for (;;) {
      if (e.kind == kRestore) {
        slot(e.node) = e.pos;
      } else if (e.kind == kRun || give_back(&e)) {
        if (const char* end = run(e.node, e.pos)) {
          prog_->group_start[0] = at;
          prog_->group_end[0] = end;
          return 1;
        }
        if (error_) return 0;
      }
      if (error_ || stack_.empty()) return 0;
      e = stack_.pop();
    }
  }

  bool single_at(int node, const char* p) const {
    const char* operand = code_ + node + 3;
    switch (uc(code_[node])) {
      case RX_ANY_CHAR:
        return *p;
      case RX_LITERAL:
        return *p && *p == *operand;
      case RX_IN_SET:
        return *p && strchr(operand, *p);
      default:  // RX_NOT_IN_SET
        return *p && !strchr(operand, *p);
    }
  }

  // Offset 0 is the check byte: one compare rules it out with the offsets past the end.
  bool in_program(int node) const {
    return static_cast<unsigned>(node - 1) < static_cast<unsigned>(size_ - 1);
  }
  bool is_alt(int node) const { return in_program(node) && uc(code_[node]) == RX_ALT; }
  bool could_start(int node, const char* pos) const {
    return uc(code_[node]) != RX_LITERAL || code_[node + 3] == *pos;
  }

  // A literal after a repetition rules out the ends it does not start at.
  char quick_after(int next) const {
    return in_program(next) && uc(code_[next]) == RX_LITERAL ? code_[next + 3] : '\0';
  }

  // Starts the repetition at `*pos`, greedy, and leaves `*pos` at the end of
  // the longest one worth trying; the shorter ones wait on the stack.
  bool repeat(int node, const char** pos, bool at_least_one) {
    int one = node + 3;
    switch (uc(code_[one])) {
      case RX_ANY_CHAR:
      case RX_LITERAL:
      case RX_IN_SET:
      case RX_NOT_IN_SET:
        break;
      default:
        return fail("internal foulup");
    }
    const char* low = *pos;
    if (at_least_one) {
      if (!single_at(one, low)) return false;
      low++;
    }
    // The operand's node at a position stands for the repetition going on from
    // there: once tried, every end from there on has been tried.
    const char* end = low;
    for (;; end++) {
      if (!enter(one, end)) {
        if (error_) return false;
        if (end == low) return false;
        end--;
        break;
      }
      if (!single_at(one, end)) break;
    }
    Entry e{kGiveBack, node, end, low};
    if (!give_back(&e)) return false;
    *pos = e.pos;
    return true;
  }

  // Turns a kGiveBack entry into the kRun of its longest end left worth
  // trying, and leaves the shorter ones on the stack.
  bool give_back(Entry* e) {
    int next = next_of(code_, e->node);
    char quick = quick_after(next);
    bool known = in_program(next);
    for (const char* end = e->pos;; end--) {
      if ((quick == '\0' || *end == quick) && !(known && tried(next, end))) {
        if (end > e->low && !push({kGiveBack, e->node, end - 1, e->low})) return false;
        *e = {kRun, next, end, nullptr};
        return true;
      }
      if (end == e->low) return false;
    }
  }

  // Runs from `node` at `pos` until the program ends (the end of the match)
  // or fails (null); choices not taken wait on the stack.
  const char* run(int node, const char* pos) {
    for (int scan = node;;) {
      if (!in_program(scan)) {
        fail("corrupted pointers");
        return nullptr;
      }
      if (!enter(scan, pos)) return nullptr;
      int next = next_of(code_, scan);
      const char* operand = code_ + scan + 3;
      int op = uc(code_[scan]);
      switch (op) {
        case RX_END:
          return pos;
        case RX_AT_START:
          if (pos != text_start_) return nullptr;
          break;
        case RX_AT_END:
          if (*pos) return nullptr;
          break;
        case RX_ANY_CHAR:
          if (!*pos) return nullptr;
          pos++;
          break;
        case RX_IN_SET:
        case RX_NOT_IN_SET:
          if (!*pos || (strchr(operand, *pos) != nullptr) != (op == RX_IN_SET)) return nullptr;
          pos++;
          break;
        case RX_LITERAL: {
          if (*operand != *pos) return nullptr;
          size_t len = strlen(operand);
          if (len > 1 && strncmp(operand, pos, len) != 0) return nullptr;
          pos += len;
          break;
        }
        case RX_EMPTY:
        case RX_LOOP_BACK:
          break;
        case RX_ALT:
          // The next alternative waits; a lone one is no choice. Those that
          // begin with a literal the text does not hold here are passed over.
          if (is_alt(next)) {
            while (!could_start(scan + 3, pos) && is_alt(next)) {
              scan = next;
              next = next_of(code_, scan);
            }
            if (is_alt(next) && !push({kRun, next, pos, nullptr})) return nullptr;
          }
          next = scan + 3;
          break;
        case RX_REPEAT0:
        case RX_REPEAT1:
          if (!repeat(scan, &pos, op == RX_REPEAT1)) return nullptr;
          break;
        default: {
          int n;
          if (op > RX_GROUP_OPEN && op < RX_GROUP_OPEN + kRxGroups)
            n = op - RX_GROUP_OPEN;
          else if (op > RX_GROUP_CLOSE && op < RX_GROUP_CLOSE + kRxGroups)
            n = kRxGroups + op - RX_GROUP_CLOSE;
          else {
            fail("memory corruption");
            return nullptr;
          }
          // The last iteration of a repeated group sets the extent; a choice
          // waiting below gets the earlier value back.
          if (!stack_.empty() && !push({kRestore, n, slot(n), nullptr})) return nullptr;
          slot(n) = pos;
          break;
        }
      }
      scan = next;
    }
  }

  rx_program* prog_;
  const char* code_;
  int size_;                // program bytes: nodes lie below
  const char* text_start_;  // where RX_AT_START matches
  size_t stride_;           // positions: the text and its end
  long limit_;              // steps allowed
  long steps_ = 0;          // pairs entered
  const char* error_ = nullptr;
  Store<uint64_t, 32> tried_;  // a bit per node and position
  Store<Entry, 64> stack_;
};

bool contains(const char* text, const char* part, int len) {
  for (const char* s = text; (s = strchr(s, *part)) != nullptr; s++)
    if (strncmp(s, part, len) == 0) return true;
  return false;
}

[[noreturn]] void rx_fatal(const char* text) {
  report_error_here("FATAL error in regexp: %s", text);
  terminate_run(-1);
}

const char* node_name(int op) {
  static const char* const names[] = {"END",     "AT_START",   "AT_END",  "ANY_CHAR",
                                      "IN_SET",  "NOT_IN_SET", "ALT",     "LOOP_BACK",
                                      "LITERAL", "EMPTY",      "REPEAT0", "REPEAT1"};
  return op < static_cast<int>(sizeof names / sizeof names[0]) ? names[op] : nullptr;
}

}  // namespace

rx_program* rx_try_compile(const char* exp, const char** error) {
  *error = nullptr;
  if (!exp) {
    *error = "NULL argument";
    return nullptr;
  }
  Compiler compiler(exp);
  int flags;
  if (!compiler.pass(nullptr, &flags)) {
    *error = compiler.error();
    return nullptr;
  }
  if (compiler.size() >= kRxMaxProgram) {
    *error = "regexp too big";
    return nullptr;
  }
  auto* prog = static_cast<rx_program*>(malloc(sizeof(rx_program) + compiler.size()));
  if (!prog) {
    *error = "out of space";
    return nullptr;
  }
  memset(prog, 0, sizeof(rx_program));
  compiler.pass(prog->program, &flags);
  prog->size = compiler.size();
  set_hints(prog, flags);
  return prog;
}

namespace {

int run_search(rx_program* prog, const char* text, const char** error, bool start_only,
               RxSteps* steps) {
  if (steps) steps->taken = 0;
  *error = nullptr;
  if (!prog || !text) {
    *error = "NULL parameter";
    return 0;
  }
  if (uc(prog->program[0]) != kRxCheckByte) {
    *error = "corrupted program";
    return 0;
  }
  if (prog->must_text && !contains(text, prog->must_text, prog->must_len)) return 0;
  Matcher matcher(prog, text, steps);
  int found = matcher.search(start_only);
  if (steps) steps->taken = matcher.steps();
  *error = matcher.error();
  return *error ? 0 : found;
}

}  // namespace

int rx_try_search(rx_program* prog, const char* text, const char** error, RxSteps* steps) {
  return run_search(prog, text, error, false, steps);
}

rx_program* rx_compile(const char* exp) {
  const char* error;
  rx_program* prog = rx_try_compile(exp, &error);
  if (!prog) rx_fatal(error);
  return prog;
}

int rx_search(rx_program* prog, const char* text) {
  const char* error;
  int found = rx_try_search(prog, text, &error);
  if (error) rx_fatal(error);
  return found;
}

int rx_search_at_start(rx_program* prog, const char* text) {
  const char* error;
  int found = run_search(prog, text, &error, true, nullptr);
  if (error) rx_fatal(error);
  return found;
}

std::string rx_dump(const rx_program* prog) {
  std::string out;
  const char* code = prog->program;
  char buf[32];
  for (int node = 1; node < kRxMaxProgram;) {
    int op = uc(code[node]);
    snprintf(buf, sizeof buf, "%s%d:", out.empty() ? "" : " ", node);
    out += buf;
    if (const char* name = node_name(op))
      out += name;
    else if (op > RX_GROUP_OPEN && op < RX_GROUP_OPEN + kRxGroups)
      out.append("OPEN").append(std::to_string(op - RX_GROUP_OPEN));
    else if (op > RX_GROUP_CLOSE && op < RX_GROUP_CLOSE + kRxGroups)
      out.append("CLOSE").append(std::to_string(op - RX_GROUP_CLOSE));
    else
      return out.append("?").append(std::to_string(op));
    int size = 3;
    if (op == RX_IN_SET || op == RX_NOT_IN_SET || op == RX_LITERAL) {
      // Appended piece by piece: GCC 12 at -O3 takes "(" + string for an
      // overlapping copy (-Wrestrict).
      out.append("(").append(code + node + 3).append(")");
      size += static_cast<int>(strlen(code + node + 3)) + 1;
    }
    if (int next = next_of(code, node)) out.append(">").append(std::to_string(next));
    if (op == RX_END) break;
    node += size;
  }
  return out;
}

void rx_free(rx_program* prog) {
  free(prog);
}
