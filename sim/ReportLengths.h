#pragma once
// The report lengths and top-level usage that a host's HID parser derives from a report
// descriptor, so each virtual device is described by its descriptor alone.

#include <cstdint>
#include <span>

#include "hid/platform/HidPlatform.h"

namespace sim {

// For each kind (input, output, feature): the longest report in bytes plus one byte for the
// report id, or 0 without reports of that kind. Usage page and usage of the first application
// collection.
// Reads nothing outside `descriptor`; a truncated item ends the walk.
hidplatform::HidCaps CapsFromDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace sim
