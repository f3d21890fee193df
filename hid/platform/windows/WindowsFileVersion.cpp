#include "hid/platform/windows/WindowsFileVersion.h"

#include <cstdio>
#include <vector>

#include "hid/platform/windows/WindowsText.h"

namespace hidplatform::windows {
namespace {

std::wstring ModulePath(HMODULE module) {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return std::wstring(path.data(), length);
    path.resize(path.size() * 2);
  }
}

std::vector<BYTE> VersionResource(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<BYTE> resource(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, resource.data())) return {};
  return resource;
}

bool QueryText(std::vector<BYTE>& resource, const wchar_t* subBlock, std::u16string& text) {
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(resource.data(), subBlock, &value, &length) || length == 0) return false;
  text = TextUpToZero({static_cast<const wchar_t*>(value), length});
  return !text.empty();
}

// The resource's own language and code page, for resources not stored under 040904E4.
std::wstring FirstTranslationBlock(std::vector<BYTE>& resource) {
  struct Translation {
    WORD language;
    WORD codePage;
  };
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(resource.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
      length < sizeof(Translation)) {
    return {};
  }
  const auto* translation = static_cast<const Translation*>(value);
  wchar_t block[64];
  std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translation->language,
                translation->codePage);
  return block;
}

}  // namespace

std::u16string ModuleFileVersion(HMODULE module) {
  if (module == nullptr) return {};
  std::vector<BYTE> resource = VersionResource(ModulePath(module));
  if (resource.empty()) return {};
  std::u16string text;
  if (QueryText(resource, L"\\StringFileInfo\\040904E4\\FileVersion", text)) return text;
  const std::wstring fallback = FirstTranslationBlock(resource);
  if (!fallback.empty() && QueryText(resource, fallback.c_str(), text)) return text;
  return {};
}

}  // namespace hidplatform::windows
