#include "vop/vop.h"

#include <iterator>

void Vop::clear() {
  name.clear();
  is_label = false;
  label_text.clear();
  opnds.clear();  // (the texts' room goes with them: few VOPs have long ones)
  comments.clear();
  dbg_labels.clear();
  prev = next = nullptr;
  user = nullptr;
}

void move_append(std::vector<std::string>& to, std::vector<std::string>& from) {
  if (to.empty()) {
    to.swap(from);
  } else {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
  }
  from.clear();
}
