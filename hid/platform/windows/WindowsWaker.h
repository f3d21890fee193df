// A reading thread's waker: a manual-reset event that its alertable waits also watch.
#pragma once

#include <windows.h>

#include <chrono>

#include "hid/platform/HidPlatform.h"

namespace hidplatform::windows {

class WindowsWaker final : public Waker {
 public:
  WindowsWaker();
  ~WindowsWaker() override;
  WindowsWaker(const WindowsWaker&) = delete;
  WindowsWaker& operator=(const WindowsWaker&) = delete;

  void Signal() override;
  bool IsSignalled() const override;
  bool Wait(std::chrono::milliseconds timeout) override;

  HANDLE Event() const { return event_; }

 private:
  HANDLE event_;
};

// Whole milliseconds for a Windows wait, clamped to what it accepts (never INFINITE).
DWORD WaitMilliseconds(std::chrono::milliseconds duration);

}  // namespace hidplatform::windows
