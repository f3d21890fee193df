// Identity, strings and registry-like properties of hidraw nodes, read from a sysfs-like tree
// that each test writes into a temporary folder.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

#include "DeviceProperties.h"
#include "SysfsHidNode.h"
#include "hid/platform/ReportDescriptor.h"

namespace fs = std::filesystem;
namespace property = hidplatform::property;
using linuxhid::DevicePropertiesOf;
using linuxhid::ReadSysfsHidNode;
using linuxhid::SysfsHidNode;

namespace {

const std::vector<std::uint8_t> pedalDescriptor = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x01, 0x15, 0x00,
    0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F, 0x81, 0x02, 0x85, 0x02, 0x09, 0x02,
    0x95, 0x3F, 0x91, 0x02, 0x85, 0x03, 0x09, 0x03, 0x95, 0x3F, 0x81, 0x02, 0xC0};

class SysfsTree : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "sysfs-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  void Write(const fs::path& file, const std::string& text) const {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }

  // A hidraw node below a HID device, with the "device" link the kernel puts there.
  fs::path AddHidrawNode(const fs::path& hidDevice, const std::string& hidUevent) const {
    Write(hidDevice / "uevent", hidUevent);
    const fs::path nodeDir = hidDevice / "hidraw" / "hidraw0";
    Write(nodeDir / "uevent", "MAJOR=243\nMINOR=0\nDEVNAME=hidraw0\n");
    fs::create_directory_symlink("../..", nodeDir / "device");
    return nodeDir;
  }

  // The pedal set on USB bus 1, port 2: USB device, its interface 0, the HID device, the node.
  fs::path AddUsbPedalSet(bool withStrings = true) const {
    const fs::path usbDevice = root_ / "devices/pci0000:00/0000:00:14.0/usb1/1-2";
    Write(usbDevice / "uevent",
          "MAJOR=189\nMINOR=4\nDEVNAME=bus/usb/001/005\nDEVTYPE=usb_device\nDRIVER=usb\n"
          "PRODUCT=483/574e/200\nBUSNUM=001\nDEVNUM=005\n");
    Write(usbDevice / "bcdDevice", "0200\n");
    Write(usbDevice / "busnum", "1\n");
    if (withStrings) {
      Write(usbDevice / "manufacturer", "STMicroelectronics\n");
      Write(usbDevice / "product", "Quillfen Pedals\n");
      Write(usbDevice / "serial", "3276385E3133\n");
    }
    const fs::path usbInterface = usbDevice / "1-2:1.0";
    Write(usbInterface / "uevent",
          "DEVTYPE=usb_interface\nDRIVER=usbhid\nPRODUCT=483/574e/200\nINTERFACE=3/0/0\n"
          "MODALIAS=usb:v0483p574Ed0200dc00dsc00dp00ic03isc00ip00in00\n");
    const fs::path hidDevice = usbInterface / "0003:0483:574E.0001";
    Write(hidDevice / "report_descriptor",
          std::string(pedalDescriptor.begin(), pedalDescriptor.end()));
    return AddHidrawNode(hidDevice,
                         "DRIVER=hid-generic\nHID_ID=0003:00000483:0000574E\n"
                         "HID_NAME=STMicroelectronics Quillfen Pedals\n"
                         "HID_PHYS=usb-0000:00:14.0-2/input0\nHID_UNIQ=3276385E3133\n"
                         "MODALIAS=hid:b0003g0001v00000483p0000574E\n");
  }

  // A Bluetooth gamepad behind the kernel's user-space HID driver: no USB device above it.
  fs::path AddBluetoothGamepad() const {
    const fs::path hidDevice = root_ / "devices/virtual/misc/uhid/0005:054C:09CC.0002";
    Write(root_ / "devices/virtual/misc/uhid/uevent", "MAJOR=10\nMINOR=239\nDEVNAME=uhid\n");
    return AddHidrawNode(hidDevice,
                         "DRIVER=playstation\nHID_ID=0005:0000054C:000009CC\n"
                         "HID_NAME=Wireless Controller\nHID_PHYS=a4:c3:f0:11:22:33\n"
                         "HID_UNIQ=90:89:5f:aa:bb:cc\n"
                         "MODALIAS=hid:b0005g0000v0000054Cp000009CC\n");
  }

  fs::path root_;
};

std::u16string TextOf(const std::map<std::uint32_t, hidplatform::DeviceProperty>& properties,
                      std::uint32_t code) {
  const auto it = properties.find(code);
  if (it == properties.end()) return u"<absent>";
  return std::get<std::u16string>(it->second);
}

TEST_F(SysfsTree, UsbNodeTakesIdentityAndStringsFromItsUsbDevice) {
  const std::optional<SysfsHidNode> node = ReadSysfsHidNode(AddUsbPedalSet());
  ASSERT_TRUE(node);
  EXPECT_TRUE(node->onUsb);
  EXPECT_EQ(node->busType, 0x0003);
  EXPECT_EQ(node->vendorId, 0x0483);
  EXPECT_EQ(node->productId, 0x574E);
  EXPECT_EQ(node->versionNumber, 0x0200);
  EXPECT_EQ(node->manufacturer, "STMicroelectronics");
  EXPECT_EQ(node->product, "Quillfen Pedals");
  EXPECT_EQ(node->serialNumber, "3276385E3133");
}

TEST_F(SysfsTree, UsbNodeWithoutStringDescriptorsHasNoStrings) {
  // The kernel's name for the device is not the device's product string.
  const std::optional<SysfsHidNode> node = ReadSysfsHidNode(AddUsbPedalSet(false));
  ASSERT_TRUE(node);
  EXPECT_FALSE(node->product);
  EXPECT_FALSE(node->manufacturer);
  EXPECT_FALSE(node->serialNumber);
}

TEST_F(SysfsTree, NodeOffUsbTakesTheKernelsNameAndUniqueId) {
  const std::optional<SysfsHidNode> node = ReadSysfsHidNode(AddBluetoothGamepad());
  ASSERT_TRUE(node);
  EXPECT_FALSE(node->onUsb);
  EXPECT_EQ(node->vendorId, 0x054C);
  EXPECT_EQ(node->productId, 0x09CC);
  EXPECT_EQ(node->versionNumber, 0);
  EXPECT_EQ(node->product, "Wireless Controller");
  EXPECT_EQ(node->serialNumber, "90:89:5f:aa:bb:cc");
  EXPECT_FALSE(node->manufacturer);
}

TEST_F(SysfsTree, ClassLinkLeadsToTheSameNode) {
  const fs::path nodeDir = AddUsbPedalSet();
  fs::create_directories(root_ / "class/hidraw");
  fs::create_directory_symlink(nodeDir, root_ / "class/hidraw/hidraw0");
  const std::optional<SysfsHidNode> viaClass = ReadSysfsHidNode(root_ / "class/hidraw/hidraw0");
  ASSERT_TRUE(viaClass);
  EXPECT_EQ(viaClass->nodeDir, fs::canonical(nodeDir));
  EXPECT_EQ(viaClass->product, "Quillfen Pedals");
}

TEST_F(SysfsTree, WhatIsNoHidNodeIsNotRead) {
  EXPECT_FALSE(ReadSysfsHidNode(root_ / "missing/hidraw9"));
  const fs::path hidDevice = root_ / "devices/odd/0003:0483:574E.0003";
  EXPECT_FALSE(ReadSysfsHidNode(AddHidrawNode(hidDevice, "DRIVER=hid-generic\n")));
  const fs::path garbled = root_ / "devices/odd/0003:0483:574E.0004";
  EXPECT_FALSE(ReadSysfsHidNode(AddHidrawNode(garbled, "HID_ID=0003:zz:0000574E\n")));
}

TEST_F(SysfsTree, ReportDescriptorIsReadFromTheHidDevice) {
  const std::optional<SysfsHidNode> node = ReadSysfsHidNode(AddUsbPedalSet());
  ASSERT_TRUE(node);
  const std::vector<std::uint8_t> descriptor = linuxhid::ReadReportDescriptor(node->hidDevice);
  EXPECT_EQ(descriptor, pedalDescriptor);
  EXPECT_EQ(hidplatform::ParseReportDescriptor(descriptor).output.byteLength, 64);
  EXPECT_TRUE(linuxhid::ReadReportDescriptor(root_ / "nowhere").empty());
}

TEST_F(SysfsTree, UsbNodePropertiesHaveTheirLinuxCounterparts) {
  const std::optional<SysfsHidNode> node = ReadSysfsHidNode(AddUsbPedalSet());
  ASSERT_TRUE(node);
  const auto properties = DevicePropertiesOf(*node);
  EXPECT_EQ(TextOf(properties, property::kDeviceDesc), u"STMicroelectronics Quillfen Pedals");
  EXPECT_EQ(TextOf(properties, property::kFriendlyName), u"STMicroelectronics Quillfen Pedals");
  EXPECT_EQ(TextOf(properties, property::kDriver), u"hid-generic");
  EXPECT_EQ(TextOf(properties, property::kService), u"usbhid");
  EXPECT_EQ(TextOf(properties, property::kLocationInformation), u"usb-0000:00:14.0-2/input0");
  EXPECT_EQ(TextOf(properties, property::kClass), u"hidraw");
  EXPECT_EQ(TextOf(properties, property::kEnumeratorName), u"HID");
  EXPECT_EQ(TextOf(properties, property::kPhysicalDeviceObjectName),
            fs::canonical(node->hidDevice).u16string());
  EXPECT_EQ(std::get<std::uint32_t>(properties.at(property::kBusNumber)), 1u);
  const std::vector<std::u16string> hardwareIds = {
      u"hid:b0003g0001v00000483p0000574E", u"usb:v0483p574Ed0200dc00dsc00dp00ic03isc00ip00in00"};
  EXPECT_EQ(std::get<std::vector<std::u16string>>(properties.at(property::kHardwareId)),
            hardwareIds);
  // Nothing on Linux stands for these.
  for (std::uint32_t code : {property::kMfg, property::kClassGuid, property::kCompatibleIds,
                             property::kCapabilities, property::kUiNumber})
    EXPECT_EQ(properties.count(code), 0u) << "property " << code;
}

TEST_F(SysfsTree, NodeOffUsbHasNoUsbProperties) {
  const std::optional<SysfsHidNode> node = ReadSysfsHidNode(AddBluetoothGamepad());
  ASSERT_TRUE(node);
  const auto properties = DevicePropertiesOf(*node);
  EXPECT_EQ(TextOf(properties, property::kDeviceDesc), u"Wireless Controller");
  EXPECT_EQ(TextOf(properties, property::kService), u"<absent>");
  EXPECT_EQ(properties.count(property::kBusNumber), 0u);
  EXPECT_EQ(std::get<std::vector<std::u16string>>(properties.at(property::kHardwareId)),
            std::vector<std::u16string>{u"hid:b0005g0000v0000054Cp000009CC"});
}

}  // namespace
