#include "hid/platform/windows/WindowsLibraryBinding.h"

namespace hidplatform::windows {
namespace {

// Only the system folder: a same-named library planted beside the program or in the working
// folder must never be loaded in place of the system's.
HMODULE LoadSystemLibraryQuietly(const wchar_t* fileName) {
  const UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = ::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  ::SetErrorMode(previousMode);
  return module;
}

}  // namespace

LibraryBinding::~LibraryBinding() {
  if (module_ != nullptr) ::FreeLibrary(module_);
}

bool LibraryBinding::Load(const wchar_t* fileName, std::span<const char* const> requiredNames) {
  if (module_ != nullptr) return true;
  HMODULE module = LoadSystemLibraryQuietly(fileName);
  if (module == nullptr) return false;
  for (const char* name : requiredNames) {
    if (::GetProcAddress(module, name) == nullptr) {
      ::FreeLibrary(module);
      return false;
    }
  }
  module_ = module;
  return true;
}

}  // namespace hidplatform::windows
