#pragma once
// The HID platform of Linux: hidraw nodes, listed and watched through libudev.

#include <memory>

#include "hid/platform/HidPlatform.h"

namespace hidplatform {

std::unique_ptr<HidPlatform> CreateLinuxHidPlatform();

}  // namespace hidplatform
