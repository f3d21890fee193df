// Lists the present interfaces of a device interface class through the device-setup service,
// with each one's path, the instance number of its device node and the node's registry
// properties.
#pragma once

#include <vector>

#include "hid/platform/HidPlatform.h"
#include "hid/platform/windows/WindowsHidServices.h"

namespace hidplatform::windows {

// False when the listing itself cannot be made; an interface whose details cannot be read is
// left out.
bool ListPresentInterfaces(const HidServices& services, const GUID& interfaceClass,
                           std::vector<InterfaceInfo>& interfaces);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::u16string GuidText(const GUID& guid);

}  // namespace hidplatform::windows
