#include "hid/platform/windows/WindowsDeviceProperties.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "hid/platform/windows/WindowsDeviceListing.h"
#include "hid/platform/windows/WindowsText.h"

namespace hidplatform::windows {
namespace {

using Kind = PropertyKind;

struct PropertySlot {
  std::uint32_t code;
  Kind kind;
};

// In the order the transport's description fields are filled.
constexpr std::array<PropertySlot, 26> kProperties = {{
    {property::kCapabilities, Kind::Number},
    {property::kClass, Kind::Text},
    {property::kClassGuid, Kind::Text},
    {property::kCompatibleIds, Kind::TextList},
    {property::kConfigFlags, Kind::Number},
    {property::kDeviceDesc, Kind::Text},
    {property::kDriver, Kind::Text},
    {property::kFriendlyName, Kind::Text},
    {property::kHardwareId, Kind::TextList},
    {property::kLowerFilters, Kind::TextList},
    {property::kMfg, Kind::Text},
    {property::kUpperFilters, Kind::TextList},
    {property::kService, Kind::Text},
    {property::kAddress, Kind::Text},
    {property::kBusNumber, Kind::Number},
    {property::kBusTypeGuid, Kind::Text},
    {property::kCharacteristics, Kind::Text},
    {property::kDevType, Kind::Number},
    {property::kEnumeratorName, Kind::Text},
    {property::kExclusive, Kind::Number},
    {property::kLegacyBusType, Kind::Number},
    {property::kLocationInformation, Kind::Text},
    {property::kPhysicalDeviceObjectName, Kind::Text},
    {property::kSecuritySds, Kind::Text},
    {property::kUiNumber, Kind::Number},
    {property::kUiNumberDescFormat, Kind::Text},
}};

struct RawProperty {
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
};

// Asks for the size first, then for the value; false when the node has no such property.
bool ReadRaw(const HidServices& services, HDEVINFO set, SP_DEVINFO_DATA& info, DWORD code,
             RawProperty& raw) {
  DWORD required = 0;
  services.SetupDiGetDeviceRegistryPropertyW(set, &info, code, &raw.type, nullptr, 0, &required);
  if (required == 0) return false;
  raw.bytes.assign(required, 0);
  return services.SetupDiGetDeviceRegistryPropertyW(set, &info, code, &raw.type, raw.bytes.data(),
                                                    required, &required) != 0;
}

std::span<const wchar_t> AsUnits(std::span<const BYTE> bytes) {
  return {reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)};
}

bool IsNumber(DWORD type, std::span<const BYTE> bytes) {
  return type == REG_DWORD && bytes.size() == sizeof(DWORD);
}

std::uint32_t NumberOf(std::span<const BYTE> bytes) {
  DWORD value = 0;
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

// A few of the text fields are stored as a number (the address, the characteristics) or as a
// binary class id (the bus type): they are given as their text, never as raw bytes.
std::u16string TextOf(DWORD type, std::span<const BYTE> bytes) {
  if (IsNumber(type, bytes)) {
    const std::string digits = std::to_string(NumberOf(bytes));
    return std::u16string(digits.begin(), digits.end());
  }
  if (type == REG_BINARY && bytes.size() == sizeof(GUID)) {
    GUID guid;
    std::memcpy(&guid, bytes.data(), sizeof guid);
    return GuidText(guid);
  }
  return TextUpToZero(AsUnits(bytes));
}

// A double-zero-terminated list of texts.
std::vector<std::u16string> TextListOf(std::span<const BYTE> bytes) {
  std::vector<std::u16string> list;
  std::span<const wchar_t> rest = AsUnits(bytes);
  while (!rest.empty() && rest.front() != L'\0') {
    std::u16string text = TextUpToZero(rest);
    rest = rest.subspan(std::min(rest.size(), text.size() + 1));
    list.push_back(std::move(text));
  }
  return list;
}

}  // namespace

std::optional<DeviceProperty> ConvertRegistryValue(PropertyKind kind, DWORD registryType,
                                                   std::span<const BYTE> bytes) {
  switch (kind) {
    case Kind::Number:
      if (!IsNumber(registryType, bytes)) return std::nullopt;
      return NumberOf(bytes);
    case Kind::Text:
      return TextOf(registryType, bytes);
    case Kind::TextList:
      return TextListOf(bytes);
  }
  return std::nullopt;
}

std::map<std::uint32_t, DeviceProperty> ReadDeviceProperties(const HidServices& services,
                                                             HDEVINFO deviceInfoSet,
                                                             SP_DEVINFO_DATA& deviceInfo) {
  std::map<std::uint32_t, DeviceProperty> properties;
  for (const PropertySlot& slot : kProperties) {
    RawProperty raw;
    if (!ReadRaw(services, deviceInfoSet, deviceInfo, slot.code, raw)) continue;
    if (auto value = ConvertRegistryValue(slot.kind, raw.type, raw.bytes)) {
      properties.emplace(slot.code, std::move(*value));
    }
  }
  return properties;
}

}  // namespace hidplatform::windows
