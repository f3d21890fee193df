// The file version text from a loaded module's version resource.
#pragma once

#include <windows.h>

#include <string>

namespace hidplatform::windows {

// "StringFileInfo\040904E4\FileVersion", else the FileVersion of the first language the
// resource lists; empty when the module has no version text.
std::u16string ModuleFileVersion(HMODULE module);

}  // namespace hidplatform::windows
