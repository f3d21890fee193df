// The platform description of one HID interface: its device instance number (the identity the
// controller matches devices by), its path, and the device node's registry properties, all read
// once when the controller's pass lists the interface.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "hid/platform/HidPlatform.h"

class THidPnPInfo {
 public:
  explicit THidPnPInfo(const hidplatform::InterfaceInfo& info);

  std::uint32_t DeviceID() const { return FDeviceID; }
  QString DevicePath() const { return FDevicePath; }
  const std::u16string& PlatformPath() const { return FPlatformPath; }

  std::uint32_t Capabilities() const { return FCapabilities; }
  QString ClassDescr() const { return FClassDescr; }
  QString ClassGUID() const { return FClassGUID; }
  QStringList CompatibleIDs() const { return FCompatibleIDs; }
  std::uint32_t ConfigFlags() const { return FConfigFlags; }
  QString DeviceDescr() const { return FDeviceDescr; }
  QString Driver() const { return FDriver; }
  QString FriendlyName() const { return FFriendlyName; }
  QStringList HardwareID() const { return FHardwareID; }
  QStringList LowerFilters() const { return FLowerFilters; }
  QString Mfg() const { return FMfg; }
  QStringList UpperFilters() const { return FUpperFilters; }
  QString Address() const { return FAddress; }
  std::uint32_t BusNumber() const { return FBusNumber; }
  QString BusType() const { return FBusType; }
  QString Characteristics() const { return FCharacteristics; }
  std::uint32_t DevType() const { return FDevType; }
  QString EnumeratorName() const { return FEnumeratorName; }
  std::uint32_t Exclusive() const { return FExclusive; }
  std::uint32_t LegacyBusType() const { return FLegacyBusType; }
  QString LocationInfo() const { return FLocationInfo; }
  QString PhysDevObjName() const { return FPhysDevObjName; }
  QString SecuritySDS() const { return FSecuritySDS; }
  QString Service() const { return FService; }
  std::uint32_t UINumber() const { return FUINumber; }
  QString UINumberFormat() const { return FUINumberFormat; }

 private:
  std::uint32_t FDeviceID = 0;
  QString FDevicePath;
  std::u16string FPlatformPath;
  std::uint32_t FCapabilities = 0;
  QString FClassDescr;
  QString FClassGUID;
  QStringList FCompatibleIDs;
  std::uint32_t FConfigFlags = 0;
  QString FDeviceDescr;
  QString FDriver;
  QString FFriendlyName;
  QStringList FHardwareID;
  QStringList FLowerFilters;
  QString FMfg;
  QStringList FUpperFilters;
  QString FAddress;
  std::uint32_t FBusNumber = 0;
  QString FBusType;
  QString FCharacteristics;
  std::uint32_t FDevType = 0;
  QString FEnumeratorName;
  std::uint32_t FExclusive = 0;
  std::uint32_t FLegacyBusType = 0;
  QString FLocationInfo;
  QString FPhysDevObjName;
  QString FSecuritySDS;
  QString FService;
  std::uint32_t FUINumber = 0;
  QString FUINumberFormat;
};
