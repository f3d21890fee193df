// The 26 registry properties of a device node that the transport describes an interface with.
#pragma once

#include <map>

#include "hid/platform/HidPlatform.h"
#include "hid/platform/windows/WindowsHidServices.h"

namespace hidplatform::windows {

// Reads the properties in the transport's field order. A property the node does not have is
// left out of the map.
std::map<std::uint32_t, DeviceProperty> ReadDeviceProperties(const HidServices& services,
                                                             HDEVINFO deviceInfoSet,
                                                             SP_DEVINFO_DATA& deviceInfo);

}  // namespace hidplatform::windows
