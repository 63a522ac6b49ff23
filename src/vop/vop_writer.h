// Every line a pass writes: copied lines, labels, comments, VOPs and the
// debug labels that travel with them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "lex/scanner.h"
#include "vop/vop.h"

class VopWriter {
 public:
  // `cstyle`: a blank rather than a tab between a VOP's name and operands.
  VopWriter(FILE* out, bool cstyle) : out_(out), cstyle_(cstyle) {}

  // The current statement as it stands in the input / the label it begins with.
  void copy_line(const Scanner& sc);
  void vop_outlabel(const Scanner& sc);
  // Writes the comments and empties the list.
  void write_comments(std::vector<std::string>& comments);
  // Writes each debug label as a label line and empties the list.
  void write_debug_labels(std::vector<std::string>& labels);
  void write_vop(const Vop& v);

  // The VOP line of `v`, newline included, in `line`.
  static void format_vop(const Vop& v, bool cstyle, std::string& line);
  bool cstyle() const { return cstyle_; }

 private:
  FILE* out_;
  bool cstyle_;
  std::string line_;  // kept between lines for its room
};
