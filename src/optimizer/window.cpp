#include "optimizer/window.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "optimizer/passes.h"
#include "optimizer/replace.h"
#include "optimizer/trace.h"
#include "rules/operands.h"
#include "rules/rules_file.h"
#include "rx/rx.h"
#include "vop/vop_writer.h"

WindowState window;

namespace {

// A label that does not stop matching travels with the newest VOP.
bool is_debug_label(const char* name) {
  return opts.debug_labels_on && window.window_tail && rules.debug_label_re &&
         rx_search(rules.debug_label_re, name);
}

void read_label() {
  if (is_debug_label(lexed.lex_name)) {
    add_debug_label(window.window_tail, lexed.lex_name);
    return;
  }
  flush_vops(true);
  write_comments(nullptr);
  vop_outlabel();
}

void read_vop_line(int pass) {
  if (opts.opt_debug_level > 0)
    display_opargs("opargs", lexed.lex_name, lexed.lex_nopnds, lexed.lex_opnds, lexed.lex_delims);
  passes.counts.vops_read++;
  optimize_vop(pass);
}

}  // namespace

void read_vops(int pass) {
  for (;;) {
    switch (vop_lex()) {
      case VL_ASM:
        flush_vops(true);
        write_comments(nullptr);
        if (!rules.delete_asm_dirs) copy_line();
        break;
      case VL_ENDASM:
        write_comments(nullptr);
        if (!rules.delete_asm_dirs) copy_line();
        break;
      case VL_DIRECTIVE:
        flush_vops(true);
        write_comments(nullptr);
        copy_line();
        break;
      case VL_COMMENT:
        save_comment(false);
        break;
      case VL_ASM_LINE:
        write_comments(nullptr);
        copy_line();
        break;
      case VL_EMPTY:
        copy_line();
        break;
      case VL_LABEL:
        read_label();
        break;
      case VL_VOP:
        read_vop_line(pass);
        break;
      case VL_EOF:
        return;
      case VL_COMMENT_BEGIN:
        skip_block_comment();
        break;
      default:
        report_internal("Invalid VOP lex code");
        break;
    }
  }
}

void optimize_vop(int pass) {
  if (++window.window_count > window.window_limit) flush_vops(false);
  vop* v = make_vop(lexed.lex_name, lexed.lex_nopnds, lexed.lex_opnds, lexed.lex_opnd_len,
                    lexed.lex_delims);
  take_pending_comments(v);
  v->prev = window.window_tail;
  if (window.window_tail)
    window.window_tail->next = v;
  else
    window.window_head = v;
  window.window_tail = v;
  window.window_cursor = v;
  optimizing_loop(pass);
}

void write_debug_labels(debug_label* list) {
  while (list) {
    debug_label* next = list->next;
    fprintf(run.out_file, "%s:\n", list->name);
    release(list);
    list = next;
  }
}

void flush_vops(bool all) {
  do {
    vop* v = window.window_head;
    if (!v) break;
    write_comments(v);
    write_vop(v, run.out_file);
    write_debug_labels(v->dbg_labels);
    v->dbg_labels = nullptr;
    passes.counts.vops_written++;
    window.window_head = v->next;
    if (window.window_head)
      window.window_head->prev = nullptr;
    else
      window.window_tail = nullptr;
    if (window.window_cursor == v) window.window_cursor = nullptr;
    window.window_count--;
    v->name = const_cast<char*>("<flushed>");
    release_vop(v);
  } while (all);
  if (all) {
    window.window_count = 0;
    window.window_limit = window.window_base;
  }
}

namespace {

void append_opnd(std::string& line, const char* text, int len) {
  if (len == 0 || text[0] != '"') {
    line.append(text, len);
    return;
  }
  // A string constant: the marker and its decoded characters, escaped again.
  line += '"';
  for (int i = 1; i < len; i++) {
    char c = text[i];
    if (c == '\n') {
      line += "\\n";
    } else if (c == '\0') {
      line += "\\000";
    } else {
      if (c == '"' || c == '\\') line += '\\';
      line += c;
    }
  }
  line += '"';
}

}  // namespace

void write_opnd(const char* text, int len, FILE* f) {
  std::string piece;
  append_opnd(piece, text, len);
  fwrite(piece.data(), 1, piece.size(), f);
}

void write_vop(const vop* v, FILE* f) {
  // The line is put together first and handed to the stream at once: one
  // library call per line instead of one per piece.
  static std::string line;
  line.assign(1, '\t');
  line.append(v->name, v->name_len);
  if (v->opnds[0]) line += rules.cstyle ? ' ' : '\t';
  for (int i = 0; v->opnds[i]; i++) {
    append_opnd(line, v->opnds[i], v->opnd_len[i]);
    if (v->delims[i]) line += static_cast<char>(v->delims[i]);
  }
  line += '\n';
  fwrite(line.data(), 1, line.size(), f);
}

namespace {

// With no variable bound at the start of a try, a rule's first pattern line
// matches a VOP's name or not by the name alone, so the rules whose first
// line cannot match need not be tried at all. A name's entry is made when
// the name is first seen.
const std::vector<st_entry*>& rules_for(int pass, st_entry* first, const vop* v) {
  if (rules.index.size() <= static_cast<size_t>(pass)) rules.index.resize(pass + 1);
  RuleIndex& index = rules.index[pass];
  if (index.rules_stored != rules.rules_stored) {
    index = RuleIndex{};
    index.rules_stored = rules.rules_stored;
  }
  std::string_view name(v->name, v->name_len);
  auto found = index.by_name.find(name);
  if (found != index.by_name.end()) return found->second;
  std::vector<st_entry*> can_match;
  for (st_entry* rule = first; rule; rule = rule->next_rule) {
    clear_bound_vars();
    if (rule->name_opnds && sub_opnds_match(v->name, v->name_len, rule->name_opnds))
      can_match.push_back(rule);
  }
  clear_bound_vars();
  return index.by_name.emplace(name, std::move(can_match)).first->second;
}

}  // namespace

int try_rules(int reach, int pass) {
  for (int i = 0; i < reach && window.window_cursor != window.window_head; i++)
    window.window_cursor = window.window_cursor->prev;
  st_entry* first = pass < rules.pass_slots ? rules.pass_rules[pass] : nullptr;
  for (; window.window_cursor; window.window_cursor = window.window_cursor->next) {
    if (opts.opt_debug_level > 1) {
      // This trace shows every try, so every rule is tried.
      for (st_entry* rule = first; rule; rule = rule->next_rule) {
        if (int n = match_rule(window.window_cursor, rule)) {
          replace_vops(rule, n);
          return 1;
        }
      }
      continue;
    }
    for (st_entry* rule : rules_for(pass, first, window.window_cursor)) {
      if (int n = match_rule(window.window_cursor, rule)) {
        replace_vops(rule, n);
        return 1;
      }
    }
  }
  return 0;
}

int match_rule(vop* v, st_entry* rule) {
  clear_bound_vars();
  if (opts.opt_debug_level > 1) printf("trying to match %s\n", v->name);
  int n = 0;
  for (st_entry* line = rule; line; line = line->next, v = v->next, n++) {
    if (!v || !line->name_opnds || !sub_opnds_match(v->name, v->name_len, line->name_opnds) ||
        !match_opnds(v, line->opnds))
      return 0;
  }
  if (opts.opt_debug_level > 1) printf("MATCHED IT!\n");
  return n;
}

bool match_opnds(const vop* v, const st_entry* opnds) {
  int i = 0;
  for (; opnds; opnds = opnds->next, i++) {
    if (!v->opnds[i] || !sub_opnds_match(v->opnds[i], v->opnd_len[i], opnds->sub_opnds))
      return false;
  }
  return v->opnds[i] == nullptr;
}

bool sub_opnds_match(const char* text, int len, const st_entry* sub) {
  int p = len > 0 && text[0] == '"' ? 1 : 0;  // a string constant is matched without its marker
  for (; sub; sub = sub->next_sub) {
    switch (sub->sub_ntype) {
      case SUB_N_VAR: {
        RuleVar* var = sub->var;
        if (var->text) {
          if (var->len > len - p || memcmp(text + p, var->text, var->len) != 0) return false;
          p += var->len;
        } else if (sub->regexp) {
          if (!rx_search_at_start(sub->regexp, text + p)) return false;
          int end = static_cast<int>(sub->regexp->group_end[0] - text);
          bind_var(var, text + p, end - p);
          p = end;
        } else {
          bind_var(var, text + p, len - p);
          p = len;
        }
        break;
      }
      case SUB_N_SCAN: {
        int n = sub->text_len;
        if (n > len - p || memcmp(text + p, sub->text, n) != 0) return false;
        p += n;
        break;
      }
      case SUB_N_NUM: {
        // The whole rest must be the constant: a zero byte kept in a string
        // constant would end parse_value's reading early.
        int32_t value;
        if (memchr(text + p, '\0', len - p) || !parse_value(text + p, &value) || value != sub->num)
          return false;
        p = len;
        break;
      }
      default:
        report_internal("sub_opnds_match() - bad opnd sub_ntype");
        break;
    }
  }
  return p == len;
}

void reset_window() {
  while (window.window_head) {
    vop* v = window.window_head;
    window.window_head = v->next;
    release_vop(v);
  }
  window = WindowState{};
}
