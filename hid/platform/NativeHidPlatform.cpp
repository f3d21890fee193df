#include "hid/platform/NativeHidPlatform.h"

#if defined(_WIN32)
#include "hid/platform/windows/WindowsHidPlatform.h"
#else
#include "hid/platform/linux/LinuxHidPlatform.h"
#endif

namespace hidplatform {

std::unique_ptr<HidPlatform> CreateNativeHidPlatform() {
#if defined(_WIN32)
  return CreateWindowsHidPlatform();
#else
  return CreateLinuxHidPlatform();
#endif
}

}  // namespace hidplatform
