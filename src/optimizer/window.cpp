#include "optimizer/window.h"

Vop* Window::new_vop() {
  if (spare_.empty()) return owned_.emplace_back(std::make_unique<Vop>()).get();
  Vop* v = spare_.back();
  spare_.pop_back();
  return v;
}

void Window::recycle(Vop* v) {
  v->clear();
  spare_.push_back(v);
}

void Window::make_room() {
  if (++count_ > limit_) flush_vops(false);
}

void Window::append(Vop* v) {
  v->prev = tail_;
  v->next = nullptr;
  if (tail_)
    tail_->next = v;
  else
    head_ = v;
  tail_ = v;
  cursor_ = v;
}

void Window::flush_vops(bool all) {
  do {
    Vop* v = head_;
    if (!v) break;
    out_.write_comments(v->comments);
    out_.write_vop(*v);
    out_.write_debug_labels(v->dbg_labels);
    if (!v->is_label) written_++;
    head_ = v->next;
    if (head_)
      head_->prev = nullptr;
    else
      tail_ = nullptr;
    if (cursor_ == v) cursor_ = nullptr;
    count_--;
    recycle(v);
  } while (all);
  if (all) {
    count_ = 0;
    limit_ = base_;
  }
}

void Window::splice_vops(Vop* first, Vop* last, int n) {
  Vop* before = cursor_->prev;
  Vop* v = cursor_;
  for (int i = 0; i < n && v; i++) {
    Vop* next = v->next;
    if (first) {
      move_append(first->comments, v->comments);
      move_append(last->dbg_labels, v->dbg_labels);
    } else {
      // Nothing replaces the VOP: its comments go to the VOP in front, or
      // out at once; its debug labels are written at once.
      if (before)
        move_append(before->comments, v->comments);
      else
        out_.write_comments(v->comments);
      out_.write_debug_labels(v->dbg_labels);
    }
    count_--;
    recycle(v);
    v = next;
  }
  Vop* after = v;
  Vop* new_head = first ? first : after;
  Vop* new_tail = last ? last : before;
  if (first) {
    first->prev = before;
    last->next = after;
  }
  if (before)
    before->next = new_head;
  else
    head_ = new_head;
  if (after)
    after->prev = new_tail;
  else
    tail_ = new_tail;
  cursor_ = new_head;
}

void Window::trim_window(int keep_n) {
  Vop* keep = cursor_;
  for (int i = 0; keep && i < keep_n && keep != head_ && keep->prev; i++) keep = keep->prev;
  while (count_ > limit_ && head_ && head_ != keep) flush_vops(false);
  if (count_ > limit_) limit_ = count_;
}
