#include "hid/THidPnPInfo.h"

namespace {

using hidplatform::DeviceProperty;
using Properties = std::map<std::uint32_t, DeviceProperty>;

std::uint32_t NumberOf(const Properties& properties, std::uint32_t code) {
  const auto it = properties.find(code);
  if (it == properties.end()) return 0;
  const auto* value = std::get_if<std::uint32_t>(&it->second);
  return value != nullptr ? *value : 0;
}

QString TextOf(const Properties& properties, std::uint32_t code) {
  const auto it = properties.find(code);
  if (it == properties.end()) return {};
  const auto* value = std::get_if<std::u16string>(&it->second);
  return value != nullptr ? QString::fromStdU16String(*value) : QString();
}

QStringList ListOf(const Properties& properties, std::uint32_t code) {
  QStringList list;
  const auto it = properties.find(code);
  if (it == properties.end()) return list;
  if (const auto* value = std::get_if<std::vector<std::u16string>>(&it->second)) {
    for (const auto& entry : *value) list.append(QString::fromStdU16String(entry));
  }
  return list;
}

}  // namespace

THidPnPInfo::THidPnPInfo(const hidplatform::InterfaceInfo& info)
    : FDeviceID(info.DeviceInstance),
      FDevicePath(QString::fromStdU16String(info.DevicePath)),
      FPlatformPath(info.DevicePath) {
  namespace p = hidplatform::property;
  const auto& props = info.Properties;
  FCapabilities = NumberOf(props, p::kCapabilities);
  FClassDescr = TextOf(props, p::kClass);
  FClassGUID = TextOf(props, p::kClassGuid);
  FCompatibleIDs = ListOf(props, p::kCompatibleIds);
  FConfigFlags = NumberOf(props, p::kConfigFlags);
  FDeviceDescr = TextOf(props, p::kDeviceDesc);
  FDriver = TextOf(props, p::kDriver);
  FFriendlyName = TextOf(props, p::kFriendlyName);
  FHardwareID = ListOf(props, p::kHardwareId);
  FLowerFilters = ListOf(props, p::kLowerFilters);
  FMfg = TextOf(props, p::kMfg);
  FUpperFilters = ListOf(props, p::kUpperFilters);
  FService = TextOf(props, p::kService);
  FAddress = TextOf(props, p::kAddress);
  FBusNumber = NumberOf(props, p::kBusNumber);
  FBusType = TextOf(props, p::kBusTypeGuid);
  FCharacteristics = TextOf(props, p::kCharacteristics);
  FDevType = NumberOf(props, p::kDevType);
  FEnumeratorName = TextOf(props, p::kEnumeratorName);
  FExclusive = NumberOf(props, p::kExclusive);
  FLegacyBusType = NumberOf(props, p::kLegacyBusType);
  FLocationInfo = TextOf(props, p::kLocationInformation);
  FPhysDevObjName = TextOf(props, p::kPhysicalDeviceObjectName);
  FSecuritySDS = TextOf(props, p::kSecuritySds);
  FUINumber = NumberOf(props, p::kUiNumber);
  FUINumberFormat = TextOf(props, p::kUiNumberDescFormat);
}
