#include "hid/platform/NativeHidPlatform.h"

#include "hid/platform/virtual/VirtualHidPlatform.h"

// The backend folders define these when they are built in (hid/platform/linux, .../windows).
#if defined(__linux__) && defined(QF_HAVE_LINUX_HID)
#include "hid/platform/linux/LinuxHidPlatform.h"
#elif defined(_WIN32) && defined(QF_HAVE_WINDOWS_HID)
#include "hid/platform/windows/WindowsHidPlatform.h"
#endif

namespace hidplatform {

std::unique_ptr<HidPlatform> CreateNativeHidPlatform() {
#if defined(__linux__) && defined(QF_HAVE_LINUX_HID)
  return CreateLinuxHidPlatform();
#elif defined(_WIN32) && defined(QF_HAVE_WINDOWS_HID)
  return CreateWindowsHidPlatform();
#else
  return std::make_unique<VirtualHidPlatform>();
#endif
}

}  // namespace hidplatform
