// How parameter values reach the editor from any thread. The host's set-parameter entry,
// MIDI-learned controllers and MIDI program changes run on the audio thread, while the
// editor's controls belong to the user-interface thread: writers only post here (per
// parameter an atomic value and a changed flag, plus a program-changed flag), and the
// editor's timer takes the posts on the user-interface thread. Posting never blocks and never
// allocates; the slots are made once, in the constructor.
#pragma once

#include <atomic>
#include <memory>

class ValueMailbox {
 public:
  explicit ValueMailbox(int paramCount);

  int ParamCount() const { return count_; }
  // Any thread. An index out of range or a value that is not finite is ignored. A later post
  // to the same parameter replaces an earlier one not yet taken.
  void Post(int index, double normalised);
  void PostProgramChanged();

  // The taker (one thread at a time: the user-interface thread). Calls apply(index, value)
  // for every posted parameter in index order, then answers whether the program changed
  // since the last take.
  template <typename Apply>
  bool Take(Apply&& apply);
  bool HasPosts() const { return pending_.load(std::memory_order_acquire); }

 private:
  struct Slot {
    std::atomic<double> value{0.0};
    std::atomic<bool> changed{false};
  };

  int count_;
  std::unique_ptr<Slot[]> slots_;
  std::atomic<bool> pending_{false};
  std::atomic<bool> programChanged_{false};
};

template <typename Apply>
bool ValueMailbox::Take(Apply&& apply) {
  if (!pending_.exchange(false, std::memory_order_acq_rel)) return false;
  // The changed flag is cleared before the value is read: a post that lands in between sets
  // it again and is taken next time, so no post is ever lost.
  for (int i = 0; i < count_; ++i) {
    if (slots_[i].changed.exchange(false, std::memory_order_acq_rel)) {
      apply(i, slots_[i].value.load(std::memory_order_acquire));
    }
  }
  return programChanged_.exchange(false, std::memory_order_acq_rel);
}
