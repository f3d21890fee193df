#include "hid/platform/windows/WindowsWaker.h"

#include <algorithm>

namespace hidplatform::windows {

WindowsWaker::WindowsWaker() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

WindowsWaker::~WindowsWaker() {
  if (event_ != nullptr) ::CloseHandle(event_);
}

void WindowsWaker::Signal() { ::SetEvent(event_); }

bool WindowsWaker::IsSignalled() const { return ::WaitForSingleObject(event_, 0) == WAIT_OBJECT_0; }

// Alertable, like every wait of a reading thread, so completion routines keep running; those
// do not end the wait early.
bool WindowsWaker::Wait(std::chrono::milliseconds timeout) {
  const ULONGLONG deadline = ::GetTickCount64() + WaitMilliseconds(timeout);
  for (;;) {
    const ULONGLONG now = ::GetTickCount64();
    const DWORD remaining = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    const DWORD result = ::WaitForSingleObjectEx(event_, remaining, TRUE);
    if (result != WAIT_IO_COMPLETION) return result == WAIT_OBJECT_0;
  }
}

DWORD WaitMilliseconds(std::chrono::milliseconds duration) {
  const auto count = std::clamp<std::chrono::milliseconds::rep>(duration.count(), 0, INFINITE - 1);
  return static_cast<DWORD>(count);
}

}  // namespace hidplatform::windows
