#pragma once
// The registry-like properties of a hidraw node: those that have a Linux counterpart are
// filled from sysfs, the others stay absent (the transport then reads them as empty or 0).

#include <cstdint>
#include <map>

#include "SysfsHidNode.h"
#include "hid/platform/HidPlatform.h"

namespace linuxhid {

std::map<std::uint32_t, hidplatform::DeviceProperty> DevicePropertiesOf(const SysfsHidNode& node);

}  // namespace linuxhid
