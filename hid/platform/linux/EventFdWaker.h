#pragma once
// A reading thread's waker on an eventfd, so that a read waiting in poll() wakes at once.

#include "UniqueFd.h"
#include "hid/platform/HidPlatform.h"

namespace linuxhid {

class EventFdWaker : public hidplatform::Waker {
 public:
  explicit EventFdWaker(UniqueFd eventFd) : eventFd_(std::move(eventFd)) {}
  void Signal() override { SignalEventFd(eventFd_.Get()); }
  bool IsSignalled() const override { return WaitReadable(eventFd_.Get(), 0); }
  bool Wait(std::chrono::milliseconds timeout) override {
    return WaitReadable(eventFd_.Get(), PollTimeout(timeout));
  }
  int Fd() const { return eventFd_.Get(); }

 private:
  UniqueFd eventFd_;
};

}  // namespace linuxhid
