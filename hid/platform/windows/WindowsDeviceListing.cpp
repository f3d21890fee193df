#include "hid/platform/windows/WindowsDeviceListing.h"

#include <cstddef>
#include <cstdio>
#include <vector>

#include "hid/platform/windows/WindowsDeviceProperties.h"
#include "hid/platform/windows/WindowsText.h"

namespace hidplatform::windows {
namespace {

// The listing handle, released on every path out of the listing.
class DeviceInfoSet {
 public:
  DeviceInfoSet(const HidServices& services, const GUID& interfaceClass)
      : services_(services),
        handle_(services.SetupDiGetClassDevsW(&interfaceClass, nullptr, nullptr,
                                              DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) {}
  ~DeviceInfoSet() {
    if (IsValid()) services_.SetupDiDestroyDeviceInfoList(handle_);
  }
  DeviceInfoSet(const DeviceInfoSet&) = delete;
  DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;

  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HDEVINFO Get() const { return handle_; }

 private:
  const HidServices& services_;
  HDEVINFO handle_;
};

// The interface's path and its device node; false when the detail cannot be read. The record
// sizes are those of the build's own platform (the detail record's fixed part is 6 bytes in a
// 32-bit program, 8 in a 64-bit one), which is what the service checks them against.
bool ReadInterfaceDetail(const HidServices& services, HDEVINFO set,
                         SP_DEVICE_INTERFACE_DATA& interfaceData, std::u16string& devicePath,
                         SP_DEVINFO_DATA& deviceInfo) {
  deviceInfo = {};
  deviceInfo.cbSize = sizeof(SP_DEVINFO_DATA);
  DWORD required = 0;
  services.SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, nullptr, 0, &required,
                                            &deviceInfo);
  constexpr DWORD kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
  if (required <= kPathOffset || ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;

  std::vector<BYTE> buffer(required, 0);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  if (!services.SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail, required, &required,
                                                 &deviceInfo)) {
    return false;
  }
  const auto* path = reinterpret_cast<const wchar_t*>(buffer.data() + kPathOffset);
  devicePath = TextUpToZero({path, (buffer.size() - kPathOffset) / sizeof(wchar_t)});
  return !devicePath.empty();
}

}  // namespace

bool ListPresentInterfaces(const HidServices& services, const GUID& interfaceClass,
                           std::vector<InterfaceInfo>& interfaces) {
  interfaces.clear();
  if (!services.IsAvailable()) return false;
  const DeviceInfoSet set(services, interfaceClass);
  if (!set.IsValid()) return false;

  SP_DEVICE_INTERFACE_DATA interfaceData{};
  interfaceData.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
  for (DWORD index = 0; services.SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &interfaceClass,
                                                             index, &interfaceData);
       ++index) {
    InterfaceInfo info;
    SP_DEVINFO_DATA deviceInfo;
    if (!ReadInterfaceDetail(services, set.Get(), interfaceData, info.DevicePath, deviceInfo)) {
      continue;
    }
    info.DeviceInstance = deviceInfo.DevInst;
    info.Properties = ReadDeviceProperties(services, set.Get(), deviceInfo);
    interfaces.push_back(std::move(info));
  }
  return true;
}

std::u16string GuidText(const GUID& guid) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                guid.Data4[6], guid.Data4[7]);
  const std::string narrow(text);
  return std::u16string(narrow.begin(), narrow.end());
}

}  // namespace hidplatform::windows
