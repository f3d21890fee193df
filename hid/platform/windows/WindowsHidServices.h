// The device-setup service (SetupApi.dll) and the HID service (HID.dll), bound by name at run
// time and shared by every user in the process: the first Acquire loads them, the last holder
// to let go unloads them.
#pragma once

#include <memory>

#include "hid/platform/windows/WindowsApi.h"
#include "hid/platform/windows/WindowsLibraryBinding.h"

namespace hidplatform::windows {

class HidServices {
 public:
  // The shared binding; check IsAvailable(). Never nullptr.
  static std::shared_ptr<const HidServices> Acquire();

  HidServices();
  HidServices(const HidServices&) = delete;
  HidServices& operator=(const HidServices&) = delete;

  // Both libraries were bound with their whole function sets.
  bool IsAvailable() const { return hid_.IsLoaded(); }
  HMODULE HidModule() const { return hid_.Module(); }

  // The calls the backend makes. Functions that are bound but never called (some are only
  // stubs on some platforms) are checked for presence and not kept.
  decltype(&::SetupDiGetClassDevsW) SetupDiGetClassDevsW = nullptr;
  decltype(&::SetupDiEnumDeviceInterfaces) SetupDiEnumDeviceInterfaces = nullptr;
  decltype(&::SetupDiGetDeviceInterfaceDetailW) SetupDiGetDeviceInterfaceDetailW = nullptr;
  decltype(&::SetupDiGetDeviceRegistryPropertyW) SetupDiGetDeviceRegistryPropertyW = nullptr;
  decltype(&::SetupDiDestroyDeviceInfoList) SetupDiDestroyDeviceInfoList = nullptr;

  decltype(&::HidD_GetHidGuid) HidD_GetHidGuid = nullptr;
  decltype(&::HidD_GetPreparsedData) HidD_GetPreparsedData = nullptr;
  decltype(&::HidD_FreePreparsedData) HidD_FreePreparsedData = nullptr;
  decltype(&::HidD_GetConfiguration) HidD_GetConfiguration = nullptr;
  decltype(&::HidD_SetConfiguration) HidD_SetConfiguration = nullptr;
  decltype(&::HidD_FlushQueue) HidD_FlushQueue = nullptr;
  decltype(&::HidD_GetFeature) HidD_GetFeature = nullptr;
  decltype(&::HidD_SetFeature) HidD_SetFeature = nullptr;
  decltype(&::HidD_GetNumInputBuffers) HidD_GetNumInputBuffers = nullptr;
  decltype(&::HidD_SetNumInputBuffers) HidD_SetNumInputBuffers = nullptr;
  decltype(&::HidD_GetAttributes) HidD_GetAttributes = nullptr;
  decltype(&::HidD_GetManufacturerString) HidD_GetManufacturerString = nullptr;
  decltype(&::HidD_GetProductString) HidD_GetProductString = nullptr;
  decltype(&::HidD_GetSerialNumberString) HidD_GetSerialNumberString = nullptr;
  decltype(&::HidD_GetPhysicalDescriptor) HidD_GetPhysicalDescriptor = nullptr;
  decltype(&::HidD_GetIndexedString) HidD_GetIndexedString = nullptr;
  decltype(&::HidP_GetCaps) HidP_GetCaps = nullptr;
  decltype(&::HidP_GetLinkCollectionNodes) HidP_GetLinkCollectionNodes = nullptr;
  decltype(&::HidP_MaxDataListLength) HidP_MaxDataListLength = nullptr;
  decltype(&::HidP_MaxUsageListLength) HidP_MaxUsageListLength = nullptr;
  // Only on platform versions that have them; nullptr otherwise.
  decltype(&::HidD_GetInputReport) HidD_GetInputReport = nullptr;
  decltype(&::HidD_SetOutputReport) HidD_SetOutputReport = nullptr;

 private:
  bool BindSetup();
  bool BindHid();

  // Declared in load order, so the HID library is released before the setup library.
  LibraryBinding setup_;
  LibraryBinding hid_;
};

}  // namespace hidplatform::windows
