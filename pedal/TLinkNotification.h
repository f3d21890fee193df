#pragma once
// A notification of the pedal link with an ordered list of reactions. Each part of the window
// adds its reactions once, at start-up; raising runs them in the order they were added.

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

class TLinkNotification {
 public:
  using Reaction = std::function<void()>;

  // Runs after every reaction added before it. A TDelegate<void()> converts, too.
  void Add(Reaction reaction) { reactions_.push_back(std::move(reaction)); }
  void Clear() { reactions_.clear(); }
  std::size_t Count() const { return reactions_.size(); }

  void Raise() const {
    // By index: a reaction that adds another must not invalidate the walk. The added one runs
    // from the next raise on.
    const std::size_t count = reactions_.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (reactions_[i]) reactions_[i]();
    }
  }

 private:
  std::vector<Reaction> reactions_;
};
