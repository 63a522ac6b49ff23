// The VOP record: one operation line of a VOP file, with the comments that
// came before it and the debug labels that follow it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct VopOperand {
  std::string text;        // may hold zero bytes (a string constant's)
  unsigned char delim = 0;  // the character that ended it, 0 for none
};

struct Vop {
  std::string name;
  std::vector<VopOperand> opnds;
  std::vector<std::string> comments;    // each with its newline, written before the VOP
  std::vector<std::string> dbg_labels;  // written as label lines after it, in this order
  bool is_label = false;                // a label line held for rules that name labels
  std::string label_text;               // its line as it is written, newline included
  Vop* prev = nullptr;                  // links of the window holding it
  Vop* next = nullptr;
  mutable const void* user = nullptr;          // kept for the optimizer: what it found out about the name

  // A label read after the VOP goes in front of those it has.
  void add_debug_label(std::string_view label) { dbg_labels.emplace(dbg_labels.begin(), label); }
  // Empties the record for reuse; the texts keep their room.
  void clear();
};

// Appends the elements of `from` to `to`, leaving `from` empty.
void move_append(std::vector<std::string>& to, std::vector<std::string>& from);
