// Report lengths from a HID report descriptor, computed the way the Windows HID parser does:
// for each kind (input, output, feature) the longest report in bytes, plus one byte for the
// report id, which is always counted (also for descriptors without report ids). A kind without
// any report has length 0. Also the top-level collection's usage page and usage.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "hid/platform/HidPlatform.h"

namespace hidplatform {

// std::nullopt for a malformed descriptor (truncated item, Pop without Push, ...).
std::optional<HidCaps> CapsFromReportDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace hidplatform
