#include "hid/platform/windows/WindowsHidPlatform.h"

#include "hid/platform/windows/WindowsDeviceChangeWatch.h"
#include "hid/platform/windows/WindowsDeviceListing.h"
#include "hid/platform/windows/WindowsFileVersion.h"
#include "hid/platform/windows/WindowsHidHandle.h"
#include "hid/platform/windows/WindowsText.h"
#include "hid/platform/windows/WindowsWaker.h"

namespace hidplatform {
namespace windows {
namespace {

struct OpenParameters {
  DWORD access;
  DWORD flags;
};

OpenParameters ParametersFor(OpenMode mode) {
  switch (mode) {
    case OpenMode::ReadWrite:
      return {GENERIC_READ | GENERIC_WRITE, 0};
    case OpenMode::QueryOnly:
      return {0, 0};
    case OpenMode::OverlappedRead:
      return {GENERIC_READ, FILE_FLAG_OVERLAPPED};
    case OpenMode::OverlappedWrite:
      return {GENERIC_WRITE, FILE_FLAG_OVERLAPPED};
  }
  return {0, 0};
}

void SetError(std::uint32_t* error, std::uint32_t code) {
  if (error != nullptr) *error = code;
}

}  // namespace

WindowsHidPlatform::WindowsHidPlatform() : services_(HidServices::Acquire()) {
  if (services_->IsAvailable()) services_->HidD_GetHidGuid(&hidGuid_);
}

ClassGuid WindowsHidPlatform::HidClassGuid() const {
  return IsAvailable() ? GuidText(hidGuid_) : DefaultHidClassGuid();
}

std::u16string WindowsHidPlatform::HidVersion() const {
  return ModuleFileVersion(services_->HidModule());
}

std::u16string WindowsHidPlatform::LanguageName(std::uint16_t languageId) const {
  wchar_t name[128] = {};
  const LCID locale = MAKELCID(languageId, SORT_DEFAULT);
  if (::GetLocaleInfoW(locale, LOCALE_SLANGUAGE, name, 128) == 0) return {};
  return TextUpToZero(name);
}

bool WindowsHidPlatform::ListInterfaces(std::vector<InterfaceInfo>& interfaces) {
  return ListPresentInterfaces(*services_, hidGuid_, interfaces);
}

HandlePtr WindowsHidPlatform::Open(const std::u16string& devicePath, OpenMode mode,
                                   std::uint32_t* error) {
  if (!IsAvailable()) {
    SetError(error, kErrorNotSupported);
    return nullptr;
  }
  const OpenParameters parameters = ParametersFor(mode);
  const HANDLE handle = ::CreateFileW(ToWide(devicePath).c_str(), parameters.access,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      parameters.flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    SetError(error, ::GetLastError());
    return nullptr;
  }
  SetError(error, kErrorSuccess);
  return std::make_shared<WindowsHidHandle>(services_, handle, mode);
}

std::unique_ptr<Waker> WindowsHidPlatform::CreateWaker() {
  return std::make_unique<WindowsWaker>();
}

std::unique_ptr<DeviceChangeWatch> WindowsHidPlatform::WatchDeviceChanges(
    DeviceChangeCallback callback) {
  if (!IsAvailable()) return nullptr;
  auto watch = std::make_unique<WindowsDeviceChangeWatch>(std::move(callback));
  if (!watch->IsValid()) return nullptr;
  return watch;
}

}  // namespace windows

std::unique_ptr<HidPlatform> CreateWindowsHidPlatform() {
  return std::make_unique<windows::WindowsHidPlatform>();
}

}  // namespace hidplatform
