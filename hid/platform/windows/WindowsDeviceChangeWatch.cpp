#include "hid/platform/windows/WindowsDeviceChangeWatch.h"

#include <dbt.h>

#include <utility>

namespace hidplatform::windows {
namespace {

constexpr wchar_t kWindowClassName[] = L"QuillfenHidDeviceChangeWindow";

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

// Registered once per process; a failure because it exists already is no failure.
bool RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = ThisModule();
  windowClass.lpszClassName = kWindowClassName;
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

WindowsDeviceChangeWatch::WindowsDeviceChangeWatch(DeviceChangeCallback callback)
    : callback_(std::move(callback)) {
  if (!RegisterWindowClass(&WindowProcedure)) return;
  // Top-level (no parent, not message-only: those get no broadcasts), invisible, and a tool
  // window, so it never shows on the taskbar.
  window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClassName, L"", WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, ThisModule(), nullptr);
  if (window_ != nullptr) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
}

WindowsDeviceChangeWatch::~WindowsDeviceChangeWatch() {
  if (window_ == nullptr) return;
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
}

bool WindowsDeviceChangeWatch::Post(std::uintptr_t wParam, std::intptr_t lParam) const {
  return window_ != nullptr && ::PostMessageW(window_, WM_DEVICECHANGE, static_cast<WPARAM>(wParam),
                                              static_cast<LPARAM>(lParam)) != FALSE;
}

// Only a change of device nodes reaches the callback; every message, that one included, then
// gets the default handling, whose result is the message's result. Nothing the callback throws
// leaves the procedure: it goes to the watch's error handler.
LRESULT CALLBACK WindowsDeviceChangeWatch::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                           LPARAM lParam) {
  auto* watch =
      reinterpret_cast<WindowsDeviceChangeWatch*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (watch != nullptr && message == WM_DEVICECHANGE && wParam == DBT_DEVNODES_CHANGED &&
      watch->callback_) {
    watch->CallBackCatchingErrors(watch->callback_, message, wParam, lParam);
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace hidplatform::windows
