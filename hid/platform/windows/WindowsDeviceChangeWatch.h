// Device-change notifications through a hidden top-level tool window: the platform sends every
// top-level window WM_DEVICECHANGE with DBT_DEVNODES_CHANGED when device nodes come or go, with
// no registration. The window belongs to the thread that creates it (the main thread), whose
// message loop runs its procedure.
#pragma once

#include <windows.h>

#include "hid/platform/HidPlatform.h"

namespace hidplatform::windows {

class WindowsDeviceChangeWatch final : public DeviceChangeWatch {
 public:
  // Creates the window; IsValid() tells whether that worked.
  explicit WindowsDeviceChangeWatch(DeviceChangeCallback callback);
  ~WindowsDeviceChangeWatch() override;
  WindowsDeviceChangeWatch(const WindowsDeviceChangeWatch&) = delete;
  WindowsDeviceChangeWatch& operator=(const WindowsDeviceChangeWatch&) = delete;

  bool IsValid() const { return window_ != nullptr; }
  HWND Window() const { return window_; }
  // Posts (does not send) a WM_DEVICECHANGE to the window; it is handled when the message loop
  // next turns.
  bool Post(std::uintptr_t wParam, std::intptr_t lParam) const;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  DeviceChangeCallback callback_;
  HWND window_ = nullptr;
};

}  // namespace hidplatform::windows
