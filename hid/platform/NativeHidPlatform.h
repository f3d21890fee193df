// The HID platform of the operating system the program was built for.
#pragma once

#include <memory>

#include "hid/platform/HidPlatform.h"

namespace hidplatform {

// The native backend (hidraw and udev on Linux, the HID and device-setup services on Windows).
// Where no native backend is built in, an empty virtual platform: the transport then finds no
// devices but works.
std::unique_ptr<HidPlatform> CreateNativeHidPlatform();

}  // namespace hidplatform
