#pragma once
// Identity, strings and surroundings of a hidraw node as sysfs shows them. Everything here is
// readable by any user without opening the node, so a node the user may not open still lists
// with its identity.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace linuxhid {

inline constexpr std::uint16_t kBusUsb = 0x03;

struct SysfsHidNode {
  std::filesystem::path nodeDir;    // .../hidraw/hidrawN, symlinks resolved
  std::filesystem::path hidDevice;  // the HID device the node belongs to
  std::uint16_t busType = 0;
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t versionNumber = 0;  // bcdDevice of the USB device; 0 elsewhere
  // From the HID device's uevent.
  std::string hidName, hidPhys, hidUniq, driver, modalias;
  // Set when the HID device sits on a USB device.
  bool onUsb = false;
  std::string usbInterfaceModalias, usbInterfaceDriver;
  std::uint32_t usbBusNumber = 0;
  // The device's strings: the USB device's string descriptors when on USB, else the kernel's
  // HID name and unique id. Absent when the device has no such string.
  std::optional<std::string> manufacturer, product, serialNumber;
};

// Reads the node whose sysfs directory (or a symlink to it) is given; nothing when it is no
// hidraw node of a HID device.
std::optional<SysfsHidNode> ReadSysfsHidNode(const std::filesystem::path& hidrawSysPath);

// The HID device's report descriptor as the kernel holds it; empty when it cannot be read.
std::vector<std::uint8_t> ReadReportDescriptor(const std::filesystem::path& hidDevice);

}  // namespace linuxhid
