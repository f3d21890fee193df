#pragma once
// A notification of the pedal link with an ordered list of reactions. Each part of the window
// adds its reactions once, at start-up; raising runs them in the order they were added.

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class TLinkNotification {
 public:
  using Reaction = std::function<void()>;

  // Runs after every reaction added before it. A TDelegate<void()> converts, too.
  void Add(Reaction reaction) {
    reactions_.push_back(std::make_shared<const Reaction>(std::move(reaction)));
  }
  void Clear() {
    reactions_.clear();
    ++clears_;
  }
  std::size_t Count() const { return reactions_.size(); }

  void Raise() const {
    // By index over the reactions present when the raise began: one added meanwhile runs from
    // the next raise on, and a cleared list ends the walk. Each reaction lives in a block of
    // its own, held while it runs: neither growing nor clearing the list moves or destroys a
    // running reaction's captures.
    const std::size_t count = reactions_.size();
    const std::size_t clears = clears_;
    for (std::size_t i = 0; i < count && clears == clears_; ++i) {
      const std::shared_ptr<const Reaction> reaction = reactions_[i];
      if (*reaction) (*reaction)();
    }
  }

 private:
  std::vector<std::shared_ptr<const Reaction>> reactions_;
  std::size_t clears_ = 0;
};
