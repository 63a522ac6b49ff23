// The window: the VOPs held back so that rules can match across them,
// oldest first, and the records kept for reuse.
#pragma once

#include <memory>
#include <vector>

#include "vop/vop.h"
#include "vop/vop_writer.h"

class Window {
 public:
  // `base` VOPs are held before the oldest is written out to `out`.
  Window(int base, VopWriter& out) : limit_(base), base_(base), out_(out) {}
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  Vop* head() const { return head_; }
  Vop* tail() const { return tail_; }
  Vop* cursor() const { return cursor_; }
  void set_cursor(Vop* v) { cursor_ = v; }
  int count() const { return count_; }
  int limit() const { return limit_; }
  long written() const { return written_; }

  // A cleared record, not yet in the window.
  Vop* new_vop();
  // Counts a VOP that is about to be appended, writing out the oldest when
  // the window is full.
  void make_room();
  // Links `v` after the newest VOP and starts the next search there.
  void append(Vop* v);
  // Writes out and gives back the oldest VOP, or every VOP when `all`.
  void flush_vops(bool all);
  // Puts the VOPs first..last (null for none, counted by the caller) in
  // place of the `n` VOPs from the cursor on.
  void splice_vops(Vop* first, Vop* last, int n);
  // Keeps the `keep` VOPs before the cursor and writes out older ones while
  // the window is over its limit.
  void trim_window(int keep);
  void count_new() { count_++; }

 private:
  void recycle(Vop* v);

  Vop* head_ = nullptr;
  Vop* tail_ = nullptr;
  Vop* cursor_ = nullptr;  // where the next search starts
  int count_ = 0;
  int limit_;
  int base_;
  long written_ = 0;
  VopWriter& out_;
  std::vector<std::unique_ptr<Vop>> owned_;  // every record made
  std::vector<Vop*> spare_;                  // records free for reuse
};
