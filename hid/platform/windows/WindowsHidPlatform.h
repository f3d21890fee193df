// The Windows backend of the HID platform layer: the device-setup and HID services bound by name
// at run time, file handles with overlapped reads, and a hidden window for device changes.
#pragma once

#include <memory>

#include "hid/platform/HidPlatform.h"
#include "hid/platform/windows/WindowsHidServices.h"

namespace hidplatform {

namespace windows {

class WindowsHidPlatform final : public HidPlatform {
 public:
  // Binds the services (shared with every other instance in the process).
  WindowsHidPlatform();

  bool IsAvailable() const override { return services_->IsAvailable(); }
  ClassGuid HidClassGuid() const override;
  std::u16string HidVersion() const override;
  std::u16string LanguageName(std::uint16_t languageId) const override;
  bool ListInterfaces(std::vector<InterfaceInfo>& interfaces) override;
  HandlePtr Open(const std::u16string& devicePath, OpenMode mode,
                 std::uint32_t* error = nullptr) override;
  std::unique_ptr<Waker> CreateWaker() override;
  std::unique_ptr<DeviceChangeWatch> WatchDeviceChanges(DeviceChangeCallback callback) override;

 private:
  std::shared_ptr<const HidServices> services_;
  GUID hidGuid_{};
};

}  // namespace windows

std::unique_ptr<HidPlatform> CreateWindowsHidPlatform();

}  // namespace hidplatform
