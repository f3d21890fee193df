#include "hid/platform/windows/WindowsHidServices.h"

#include <versionhelpers.h>

#include <array>
#include <mutex>
#include <vector>

namespace hidplatform::windows {
namespace {

// The device-setup calls the backend makes. The binding is all-or-nothing, so it asks for no
// more than it uses.
constexpr std::array kSetupFunctions = {
    "SetupDiGetClassDevsW",
    "SetupDiEnumDeviceInterfaces",
    "SetupDiGetDeviceInterfaceDetailW",
    "SetupDiGetDeviceRegistryPropertyW",
    "SetupDiDestroyDeviceInfoList",
};

// The HID service's function set. Some of these are present but never called: on some
// platforms they are stubs that end the process.
constexpr std::array kHidFunctions = {
    "HidD_Hello",
    "HidD_GetHidGuid",
    "HidD_GetPreparsedData",
    "HidD_FreePreparsedData",
    "HidD_GetConfiguration",
    "HidD_SetConfiguration",
    "HidD_FlushQueue",
    "HidD_GetFeature",
    "HidD_SetFeature",
    "HidD_GetNumInputBuffers",
    "HidD_SetNumInputBuffers",
    "HidD_GetAttributes",
    "HidD_GetManufacturerString",
    "HidD_GetProductString",
    "HidD_GetSerialNumberString",
    "HidD_GetPhysicalDescriptor",
    "HidD_GetIndexedString",
    "HidP_GetCaps",
    "HidP_GetLinkCollectionNodes",
    "HidP_GetSpecificButtonCaps",
    "HidP_GetSpecificValueCaps",
    "HidP_GetData",
    "HidP_SetData",
    "HidP_MaxDataListLength",
    "HidP_GetUsages",
    "HidP_GetUsagesEx",
    "HidP_SetUsages",
    "HidP_UnsetUsages",
    "HidP_MaxUsageListLength",
    "HidP_GetUsageValue",
    "HidP_GetScaledUsageValue",
    "HidP_GetUsageValueArray",
    "HidP_SetUsageValue",
    "HidP_SetScaledUsageValue",
    "HidP_SetUsageValueArray",
    "HidP_UsageListDifference",
    "HidP_TranslateUsagesToI8042ScanCodes",
};

// Present from NT 5.0 (Windows 2000) and NT 5.1 (Windows XP) on; required there.
constexpr std::array kHidFunctionsSinceNt50 = {"HidP_GetExtendedAttributes",
                                               "HidP_InitializeReportForID"};
constexpr std::array kHidFunctionsSinceNt51 = {"HidD_GetInputReport", "HidD_SetOutputReport"};

std::vector<const char*> RequiredHidFunctions() {
  std::vector<const char*> names(kHidFunctions.begin(), kHidFunctions.end());
  if (::IsWindowsVersionOrGreater(5, 0, 0)) {
    names.insert(names.end(), kHidFunctionsSinceNt50.begin(), kHidFunctionsSinceNt50.end());
  }
  if (::IsWindowsVersionOrGreater(5, 1, 0)) {
    names.insert(names.end(), kHidFunctionsSinceNt51.begin(), kHidFunctionsSinceNt51.end());
  }
  return names;
}

}  // namespace

std::shared_ptr<const HidServices> HidServices::Acquire() {
  static std::mutex mutex;
  static std::weak_ptr<const HidServices> shared;
  const std::lock_guard lock(mutex);
  std::shared_ptr<const HidServices> services = shared.lock();
  if (!services) {
    services = std::make_shared<const HidServices>();
    shared = services;
  }
  return services;
}

HidServices::HidServices() {
  // The HID library is bound only when the setup library was.
  if (BindSetup()) BindHid();
}

bool HidServices::BindSetup() {
  if (!setup_.Load(L"setupapi.dll", kSetupFunctions)) return false;
#define QF_BIND_SETUP(name) name = setup_.Find<decltype(name)>(#name)
  QF_BIND_SETUP(SetupDiGetClassDevsW);
  QF_BIND_SETUP(SetupDiEnumDeviceInterfaces);
  QF_BIND_SETUP(SetupDiGetDeviceInterfaceDetailW);
  QF_BIND_SETUP(SetupDiGetDeviceRegistryPropertyW);
  QF_BIND_SETUP(SetupDiDestroyDeviceInfoList);
#undef QF_BIND_SETUP
  return true;
}

bool HidServices::BindHid() {
  if (!hid_.Load(L"hid.dll", RequiredHidFunctions())) return false;
#define QF_BIND_HID(name) name = hid_.Find<decltype(name)>(#name)
  QF_BIND_HID(HidD_GetHidGuid);
  QF_BIND_HID(HidD_GetPreparsedData);
  QF_BIND_HID(HidD_FreePreparsedData);
  QF_BIND_HID(HidD_GetConfiguration);
  QF_BIND_HID(HidD_SetConfiguration);
  QF_BIND_HID(HidD_FlushQueue);
  QF_BIND_HID(HidD_GetFeature);
  QF_BIND_HID(HidD_SetFeature);
  QF_BIND_HID(HidD_GetNumInputBuffers);
  QF_BIND_HID(HidD_SetNumInputBuffers);
  QF_BIND_HID(HidD_GetAttributes);
  QF_BIND_HID(HidD_GetManufacturerString);
  QF_BIND_HID(HidD_GetProductString);
  QF_BIND_HID(HidD_GetSerialNumberString);
  QF_BIND_HID(HidD_GetPhysicalDescriptor);
  QF_BIND_HID(HidD_GetIndexedString);
  QF_BIND_HID(HidP_GetCaps);
  QF_BIND_HID(HidP_GetLinkCollectionNodes);
  QF_BIND_HID(HidP_MaxDataListLength);
  QF_BIND_HID(HidP_MaxUsageListLength);
  QF_BIND_HID(HidD_GetInputReport);
  QF_BIND_HID(HidD_SetOutputReport);
#undef QF_BIND_HID
  return true;
}

}  // namespace hidplatform::windows
