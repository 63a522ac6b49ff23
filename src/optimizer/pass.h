// One pass over a VOP input: the reading loop, the rules tried after each
// VOP, the guard against endless rewriting, and the counts.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "optimizer/match.h"
#include "optimizer/window.h"
#include "rules/rule_set.h"
#include "vop/vop_reader.h"
#include "vop/vop_writer.h"

struct PassCounts {
  long vops_read = 0;
  long vops_written = 0;
  long opt_fewer = 0;  // replacements that lowered the number of VOPs
  long opt_same = 0;
  long opt_more = 0;

  PassCounts& operator+=(const PassCounts& c);
};

// What one rule did in one pass.
struct RuleHits {
  long fired = 0;
  long removed = 0;  // VOPs it matched
  long added = 0;    // VOPs of its replacement
};

struct PassOptions {
  int opt_debug_level = 0;     // +zo
  bool debug_labels_on = true; // -dbg clears it
};

class Pass {
 public:
  // `loop_warned` is the run's: the loop-guard warnings are given once.
  Pass(const RuleSet& rules, int pass, VopReader& reader, Scanner& sc, VopWriter& out,
       const PassOptions& o, bool& loop_warned);

  // Reads the pass input to its end and writes out everything held back.
  void read_vops();
  const PassCounts& counts() const { return counts_; }
  // Per rule of the pass, in file order.
  const std::vector<RuleHits>& hits() const { return hits_; }

 private:
  struct NameHash {
    using is_transparent = void;
    // Operation names are short: a simple multiplicative hash beats the
    // library's, which is made for long texts.
    size_t operator()(std::string_view s) const {
      size_t h = 14695981039346656037ull;
      for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
      return h;
    }
  };
  using RuleList = std::vector<const Rule*>;

  void read_label();
  void hold_label(std::string_view line);
  bool is_dot_label() const;
  void read_vop_line();
  void optimize_vop();
  void optimizing_loop();
  bool try_rules(int reach, bool fresh);
  bool try_rule(const Rule& rule, bool name_known);
  const RuleList& rules_for(const Vop& v);
  bool is_debug_label(const char* name) const;
  bool tracing() const { return o_.opt_debug_level > 1; }

  const RuleSet& rules_;
  const std::vector<Rule>& pass_rules_;
  VopReader& reader_;
  Scanner& sc_;
  VopWriter& out_;
  const PassOptions& o_;
  bool& loop_warned_;
  Window window_;
  Bindings bindings_;
  PassCounts counts_;
  std::vector<RuleHits> hits_;
  bool labels_in_window_ = false;  // a rule of the pass has a label line
  bool settled_ = true;  // every rule failed at every position when the last VOP was done
  // Per operation name and operand count seen, the rules whose first
  // pattern line can match such a VOP, in file order.
  std::unordered_map<std::string, RuleList, NameHash, std::equal_to<>> by_name_;
  std::string key_;
};

// The statistics block of one pass, or of the whole run.
void print_counts(const PassCounts& c);
// The +hits table of one pass: one line per rule, fields separated by tabs.
void print_hits(int pass, const RuleSet& set, const std::vector<RuleHits>& hits, const char* rules_name);
