#include "DeviceProperties.h"

#include <string>
#include <vector>

#include "hid/platform/TextConversion.h"

namespace linuxhid {

namespace property = hidplatform::property;
using hidplatform::DeviceProperty;
using hidplatform::Utf8ToUtf16;

namespace {

void PutText(std::map<std::uint32_t, DeviceProperty>& properties, std::uint32_t code,
             const std::string& text) {
  if (!text.empty()) properties[code] = Utf8ToUtf16(text);
}

// Most specific first, as hardware ids are: the HID device's, then its USB interface's.
std::vector<std::u16string> HardwareIdsOf(const SysfsHidNode& node) {
  std::vector<std::u16string> ids;
  for (const std::string& alias : {node.modalias, node.usbInterfaceModalias})
    if (!alias.empty()) ids.push_back(Utf8ToUtf16(alias));
  return ids;
}

}  // namespace

std::map<std::uint32_t, DeviceProperty> DevicePropertiesOf(const SysfsHidNode& node) {
  std::map<std::uint32_t, DeviceProperty> properties;
  PutText(properties, property::kDeviceDesc, node.hidName);
  PutText(properties, property::kFriendlyName, node.hidName);
  PutText(properties, property::kDriver, node.driver);
  PutText(properties, property::kService, node.usbInterfaceDriver);
  PutText(properties, property::kLocationInformation, node.hidPhys);
  PutText(properties, property::kPhysicalDeviceObjectName, node.hidDevice.string());
  // Every hidraw node is the raw face of a device on the kernel's "hid" bus.
  PutText(properties, property::kClass, "hidraw");
  PutText(properties, property::kEnumeratorName, "HID");
  if (std::vector<std::u16string> ids = HardwareIdsOf(node); !ids.empty())
    properties[property::kHardwareId] = std::move(ids);
  if (node.onUsb) properties[property::kBusNumber] = node.usbBusNumber;
  return properties;
}

}  // namespace linuxhid
