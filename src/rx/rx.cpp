#include "rx/rx.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/diag.h"
#include "base/run.h"

RxState rx_state;

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

// Keeps the first failure of a call; returns 0 so that callers can pass it up.
int fail(const char* text) {
  if (!rx_state.error) rx_state.error = text;
  return 0;
}

// Offset of the node after `node`, or 0: offset 0 is the check byte, never a node.
int next_of(const char* code, int node) {
  int off = uc(code[node + 1]) << 8 | uc(code[node + 2]);
  if (off == 0) return 0;
  return uc(code[node]) == RX_LOOP_BACK ? node - off : node + off;
}

// ---- Emitting. While sizing (`code` null) these only count bytes.

int emit_node(int op) {
  int at = rx_state.size;
  if (char* code = rx_state.code) {
    code[at] = static_cast<char>(op);
    code[at + 1] = code[at + 2] = 0;
  }
  rx_state.size += 3;
  return at;
}

void emit_byte(char c) {
  if (rx_state.code) rx_state.code[rx_state.size] = c;
  rx_state.size++;
}

// Puts a node in front of the operand at `at`, which moves three bytes up.
void insert_node(int op, int at) {
  if (char* code = rx_state.code) {
    memmove(code + at + 3, code + at, rx_state.size - at);
    code[at] = static_cast<char>(op);
    code[at + 1] = code[at + 2] = 0;
  }
  rx_state.size += 3;
}

// Points the last node of the chain starting at `chain` to `target`.
void set_tail(int chain, int target) {
  char* code = rx_state.code;
  if (!code) return;
  int last = chain;
  for (int n; (n = next_of(code, last)) != 0;) last = n;
  int off = uc(code[last]) == RX_LOOP_BACK ? last - target : target - last;
  code[last + 1] = static_cast<char>(off >> 8);
  code[last + 2] = static_cast<char>(off);
}

// The same for the operand chain of an RX_ALT; other nodes have none to link.
void set_operand_tail(int node, int target) {
  if (rx_state.code && uc(rx_state.code[node]) == RX_ALT) set_tail(node + 3, target);
}

// ---- Parsing. Each step returns its first node (0 on failure) and its flags.

int parse_expr(bool group, int* flags);

int parse_set() {
  const char*& p = rx_state.parse;
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
  const char*& p = rx_state.parse;
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
  const char*& p = rx_state.parse;
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
  char sign = *rx_state.parse;
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
  rx_state.parse++;
  if (is_repeat(*rx_state.parse)) return fail("nested *?+");
  return atom;
}

int parse_alt(int* flags) {
  *flags = 0;
  int alt = emit_node(RX_ALT);
  int chain = 0;
  for (char c; (c = *rx_state.parse) != '\0' && c != '|' && c != ')';) {
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
    if (rx_state.groups >= kRxGroups - 1) return fail("too many ()");
    n = ++rx_state.groups;
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
    more = *rx_state.parse == '|';
    if (more) rx_state.parse++;
  }
  int close = emit_node(group ? RX_GROUP_CLOSE + n : RX_END);
  set_tail(first, close);
  if (const char* code = rx_state.code)
    for (int node = first; node; node = next_of(code, node)) set_operand_tail(node, close);
  if (group) {
    if (*rx_state.parse++ != ')') return fail("unmatched ()");
  } else if (*rx_state.parse) {
    return fail(*rx_state.parse == ')' ? "unmatched ()" : "junk on end");
  }
  return first;
}

// Runs one pass of the parser over `exp`, emitting into `code` unless null.
int parse_program(const char* exp, char* code, int* flags) {
  rx_state.parse = exp;
  rx_state.groups = 0;
  rx_state.size = 0;
  rx_state.code = code;
  emit_byte(static_cast<char>(kRxCheckByte));
  int first = parse_expr(false, flags);
  rx_state.code = nullptr;
  return first;
}

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

int match(int node);

// How often the single-character node `node` matches from the text position,
// which is left after the last of them.
int count_repeats(int node) {
  const char* code = rx_state.prog->program;
  const char* operand = code + node + 3;
  const char* p = rx_state.pos;
  switch (uc(code[node])) {
    case RX_ANY_CHAR:
      p += strlen(p);
      break;
    case RX_LITERAL:
      while (*p == *operand) p++;
      break;
    case RX_IN_SET:
      while (*p && strchr(operand, *p)) p++;
      break;
    case RX_NOT_IN_SET:
      while (*p && !strchr(operand, *p)) p++;
      break;
    default:
      return fail("internal foulup");
  }
  int count = static_cast<int>(p - rx_state.pos);
  rx_state.pos = p;
  return count;
}

// Gives back one repetition at a time until the rest of the program matches;
// a literal after the repetition rules out positions without a call.
int match_repeat(int node, int next, int min) {
  const char* code = rx_state.prog->program;
  char quick = next && uc(code[next]) == RX_LITERAL ? code[next + 3] : '\0';
  const char* save = rx_state.pos;
  int count = count_repeats(node + 3);
  if (rx_state.error) return 0;
  for (; count >= min; count--) {
    rx_state.pos = save + count;
    if ((quick == '\0' || *rx_state.pos == quick) && match(next)) return 1;
    if (rx_state.error) return 0;
  }
  return 0;
}

// Tries the operands of the RX_ALT chain from `alt` in order; the first that
// lets the rest match wins.
int match_alts(int alt) {
  const char* code = rx_state.prog->program;
  const char* save = rx_state.pos;
  for (; alt && uc(code[alt]) == RX_ALT; alt = next_of(code, alt)) {
    if (match(alt + 3)) return 1;
    if (rx_state.error) return 0;
    rx_state.pos = save;
  }
  return 0;
}

// Records the position in `slot` once the rest matched; the deepest call, the
// last iteration of a repeated group, records first and wins.
int match_group(int next, const char** slot) {
  const char* save = rx_state.pos;
  if (!match(next)) return 0;
  if (!*slot) *slot = save;
  return 1;
}

int match(int node) {
  if (++rx_state.steps > rx_state.step_limit && rx_state.step_limit)
    return fail("step limit reached");
  rx_program* prog = rx_state.prog;
  const char* code = prog->program;
  const char*& pos = rx_state.pos;
  for (int scan = node; scan;) {
    int next = next_of(code, scan);
    const char* operand = code + scan + 3;
    int op = uc(code[scan]);
    switch (op) {
      case RX_END:
        return 1;
      case RX_AT_START:
        if (pos != rx_state.text_start) return 0;
        break;
      case RX_AT_END:
        if (*pos) return 0;
        break;
      case RX_ANY_CHAR:
        if (!*pos) return 0;
        pos++;
        break;
      case RX_IN_SET:
      case RX_NOT_IN_SET:
        if (!*pos || (strchr(operand, *pos) != nullptr) != (op == RX_IN_SET)) return 0;
        pos++;
        break;
      case RX_LITERAL: {
        if (*operand != *pos) return 0;
        size_t len = strlen(operand);
        if (len > 1 && strncmp(operand, pos, len) != 0) return 0;
        pos += len;
        break;
      }
      case RX_EMPTY:
      case RX_LOOP_BACK:
        break;
      case RX_ALT:
        // A lone alternative is no choice: go on without recursing.
        if (next && uc(code[next]) == RX_ALT) return match_alts(scan);
        next = scan + 3;
        break;
      case RX_REPEAT0:
      case RX_REPEAT1:
        return match_repeat(scan, next, op == RX_REPEAT1);
      default:
        if (op > RX_GROUP_OPEN && op < RX_GROUP_OPEN + kRxGroups)
          return match_group(next, &prog->group_start[op - RX_GROUP_OPEN]);
        if (op > RX_GROUP_CLOSE && op < RX_GROUP_CLOSE + kRxGroups)
          return match_group(next, &prog->group_end[op - RX_GROUP_CLOSE]);
        return fail("memory corruption");
    }
    scan = next;
  }
  return fail("corrupted pointers");
}

int try_at(const char* at) {
  rx_program* prog = rx_state.prog;
  for (int i = 0; i < kRxGroups; i++) prog->group_start[i] = prog->group_end[i] = nullptr;
  rx_state.pos = at;
  if (!match(1)) return 0;
  prog->group_start[0] = at;
  prog->group_end[0] = rx_state.pos;
  return 1;
}

bool contains(const char* text, const char* part, int len) {
  for (const char* s = text; (s = strchr(s, *part)) != nullptr; s++)
    if (strncmp(s, part, len) == 0) return true;
  return false;
}

// Tries the start positions from left to right; the first match is the result.
int search_from(const char* text, bool start_only) {
  rx_program* prog = rx_state.prog;
  if (prog->anchored || start_only) return try_at(text);
  if (char first = prog->start_char) {
    for (const char* s = text; (s = strchr(s, first)) != nullptr; s++) {
      if (try_at(s)) return 1;
      if (rx_state.error) return 0;
    }
    return 0;
  }
  for (const char* s = text;; s++) {
    if (try_at(s)) return 1;
    if (rx_state.error || !*s) return 0;
  }
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
  rx_state.error = nullptr;
  *error = nullptr;
  if (!exp) {
    *error = "NULL argument";
    return nullptr;
  }
  int flags;
  if (!parse_program(exp, nullptr, &flags)) {
    *error = rx_state.error;
    return nullptr;
  }
  if (rx_state.size >= kRxMaxProgram) {
    *error = "regexp too big";
    return nullptr;
  }
  auto* prog = static_cast<rx_program*>(malloc(sizeof(rx_program) + rx_state.size));
  if (!prog) {
    *error = "out of space";
    return nullptr;
  }
  memset(prog, 0, sizeof(rx_program));
  parse_program(exp, prog->program, &flags);
  set_hints(prog, flags);
  return prog;
}

namespace {

int run_search(rx_program* prog, const char* text, const char** error, bool start_only) {
  rx_state.error = nullptr;
  rx_state.steps = 0;
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
  rx_state.prog = prog;
  rx_state.text_start = text;
  int found = search_from(text, start_only);
  rx_state.prog = nullptr;
  *error = rx_state.error;
  return *error ? 0 : found;
}

}  // namespace

int rx_try_search(rx_program* prog, const char* text, const char** error) {
  return run_search(prog, text, error, false);
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
  int found = run_search(prog, text, &error, true);
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
      out += "OPEN" + std::to_string(op - RX_GROUP_OPEN);
    else if (op > RX_GROUP_CLOSE && op < RX_GROUP_CLOSE + kRxGroups)
      out += "CLOSE" + std::to_string(op - RX_GROUP_CLOSE);
    else
      return out + "?" + std::to_string(op);
    int size = 3;
    if (op == RX_IN_SET || op == RX_NOT_IN_SET || op == RX_LITERAL) {
      out += "(" + std::string(code + node + 3) + ")";
      size += static_cast<int>(strlen(code + node + 3)) + 1;
    }
    if (int next = next_of(code, node)) out += ">" + std::to_string(next);
    if (op == RX_END) break;
    node += size;
  }
  return out;
}

void rx_free(rx_program* prog) {
  free(prog);
}

void reset_rx() {
  rx_state = RxState{};
}
