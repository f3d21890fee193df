// One system library bound by name at run time, all or nothing: either every required function
// was found, or the library is released again and the binding is empty.
#pragma once

#include <windows.h>

#include <span>

namespace hidplatform::windows {

class LibraryBinding {
 public:
  LibraryBinding() = default;
  ~LibraryBinding();
  LibraryBinding(const LibraryBinding&) = delete;
  LibraryBinding& operator=(const LibraryBinding&) = delete;

  // Loads fileName from the system folder, with the platform's error boxes suppressed, and
  // checks that every name in requiredNames is exported. False (and nothing held) otherwise.
  bool Load(const wchar_t* fileName, std::span<const char* const> requiredNames);
  bool IsLoaded() const { return module_ != nullptr; }
  HMODULE Module() const { return module_; }

  // The exported function name of type Fn, or nullptr.
  template <typename Fn>
  Fn Find(const char* name) const {
    if (module_ == nullptr) return nullptr;
    // Through void(*)(): the one function pointer type that converts to any other without a
    // cast-function-type warning.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_ = nullptr;
};

}  // namespace hidplatform::windows
