#pragma once
// A waker without a descriptor, for when the system has no eventfd to spare; a read then looks
// at it between short polls.

#include <condition_variable>
#include <mutex>

#include "hid/platform/HidPlatform.h"

namespace linuxhid {

class ConditionWaker : public hidplatform::Waker {
 public:
  void Signal() override {
    {
      const std::lock_guard lock(mutex_);
      signalled_ = true;
    }
    changed_.notify_all();
  }
  bool IsSignalled() const override {
    const std::lock_guard lock(mutex_);
    return signalled_;
  }
  bool Wait(std::chrono::milliseconds timeout) override {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return signalled_; });
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;
};

}  // namespace linuxhid
