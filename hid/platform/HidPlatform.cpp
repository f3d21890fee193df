#include "hid/platform/HidPlatform.h"

namespace hidplatform {

ClassGuid DefaultHidClassGuid() { return u"{4D1E55B2-F16F-11CF-88CB-001111000030}"; }

std::uint32_t PreparsedData::MaxDataListLength(std::uint32_t) const { return 0; }
std::uint32_t PreparsedData::MaxUsageListLength(std::uint32_t, std::uint16_t) const { return 0; }
std::uint32_t PreparsedData::GetLinkCollectionNodes(std::vector<HidLinkCollectionNode>&) const {
  return kHidpStatusNotImplemented;
}

bool Handle::Read(std::span<std::uint8_t>, std::uint32_t&) { return false; }
std::uint32_t Handle::StartWrite(std::span<const std::uint8_t>) { return kErrorNotSupported; }
bool Handle::FlushQueue() { return false; }
bool Handle::GetFeature(std::span<std::uint8_t>) { return false; }
bool Handle::SetFeature(std::span<const std::uint8_t>) { return false; }
bool Handle::GetInputReport(std::span<std::uint8_t>) { return false; }
bool Handle::SetOutputReport(std::span<const std::uint8_t>) { return false; }
bool Handle::GetConfiguration(HidConfiguration&) { return false; }
bool Handle::SetConfiguration(const HidConfiguration&) { return false; }
std::uint32_t Handle::GetPhysicalDescriptor(std::span<std::uint8_t>) { return kErrorNotSupported; }

}  // namespace hidplatform
