// The HID platform of the operating system the program was built for.
#pragma once

#include <memory>

#include "hid/platform/HidPlatform.h"

namespace hidplatform {

// The native backend: hidraw and udev on Linux, the HID and device-setup services on Windows.
std::unique_ptr<HidPlatform> CreateNativeHidPlatform();

}  // namespace hidplatform
