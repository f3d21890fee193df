// The 26 registry properties of a device node that the transport describes an interface with.
#pragma once

#include <map>
#include <optional>
#include <span>

#include "hid/platform/HidPlatform.h"
#include "hid/platform/windows/WindowsHidServices.h"

namespace hidplatform::windows {

// The type of the field a property fills.
enum class PropertyKind { Number, Text, TextList };

// One registry value as its field's type; nullopt when a number is not stored as one.
std::optional<DeviceProperty> ConvertRegistryValue(PropertyKind kind, DWORD registryType,
                                                   std::span<const BYTE> bytes);

// Reads the properties in the transport's field order. A property the node does not have is
// left out of the map.
std::map<std::uint32_t, DeviceProperty> ReadDeviceProperties(const HidServices& services,
                                                             HDEVINFO deviceInfoSet,
                                                             SP_DEVINFO_DATA& deviceInfo);

}  // namespace hidplatform::windows
