// Listing the present HID interfaces through the device-setup service.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <variant>

#include "hid/platform/NativeHidPlatform.h"
#include "hid/platform/windows/WindowsHidPlatform.h"

namespace hidplatform::windows {
namespace {

// The type each of the 26 properties is given in.
enum class Kind { Number, Text, TextList };
const std::map<std::uint32_t, Kind> kPropertyKinds = {
    {property::kCapabilities, Kind::Number},
    {property::kClass, Kind::Text},
    {property::kClassGuid, Kind::Text},
    {property::kCompatibleIds, Kind::TextList},
    {property::kConfigFlags, Kind::Number},
    {property::kDeviceDesc, Kind::Text},
    {property::kDriver, Kind::Text},
    {property::kFriendlyName, Kind::Text},
    {property::kHardwareId, Kind::TextList},
    {property::kLowerFilters, Kind::TextList},
    {property::kMfg, Kind::Text},
    {property::kUpperFilters, Kind::TextList},
    {property::kService, Kind::Text},
    {property::kAddress, Kind::Text},
    {property::kBusNumber, Kind::Number},
    {property::kBusTypeGuid, Kind::Text},
    {property::kCharacteristics, Kind::Text},
    {property::kDevType, Kind::Number},
    {property::kEnumeratorName, Kind::Text},
    {property::kExclusive, Kind::Number},
    {property::kLegacyBusType, Kind::Number},
    {property::kLocationInformation, Kind::Text},
    {property::kPhysicalDeviceObjectName, Kind::Text},
    {property::kSecuritySds, Kind::Text},
    {property::kUiNumber, Kind::Number},
    {property::kUiNumberDescFormat, Kind::Text},
};

Kind KindOf(const DeviceProperty& value) {
  if (std::holds_alternative<std::uint32_t>(value)) return Kind::Number;
  if (std::holds_alternative<std::u16string>(value)) return Kind::Text;
  return Kind::TextList;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

class WindowsListing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform.IsAvailable());
    ASSERT_TRUE(platform.ListInterfaces(interfaces));
  }

  WindowsHidPlatform platform;
  std::vector<InterfaceInfo> interfaces;
};

TEST_F(WindowsListing, FindsThePresentHidInterfacesWithPathsAndDistinctInstanceNumbers) {
  ASSERT_GE(interfaces.size(), 2u);
  std::set<std::uint32_t> instances;
  for (const InterfaceInfo& info : interfaces) {
    const std::string path = Narrow(info.DevicePath);
    SCOPED_TRACE(path);
    EXPECT_EQ(path.rfind("\\\\?\\", 0), 0u);
    EXPECT_NE(path.find("{4d1e55b2-f16f-11cf-88cb-001111000030}"), std::string::npos);
    instances.insert(info.DeviceInstance);
  }
  EXPECT_EQ(instances.size(), interfaces.size());
}

TEST_F(WindowsListing, InstanceNumbersAndPathsStayTheSameFromOneListingToTheNext) {
  std::vector<InterfaceInfo> again;
  ASSERT_TRUE(platform.ListInterfaces(again));
  ASSERT_EQ(again.size(), interfaces.size());
  for (std::size_t i = 0; i < again.size(); ++i) {
    EXPECT_EQ(again[i].DeviceInstance, interfaces[i].DeviceInstance);
    EXPECT_EQ(again[i].DevicePath, interfaces[i].DevicePath);
  }
}

TEST_F(WindowsListing, RegistryPropertiesComeInTheirFieldTypes) {
  for (const InterfaceInfo& info : interfaces) {
    SCOPED_TRACE(Narrow(info.DevicePath));
    EXPECT_FALSE(info.Properties.empty());
    for (const auto& [code, value] : info.Properties) {
      SCOPED_TRACE(code);
      ASSERT_TRUE(kPropertyKinds.contains(code));
      EXPECT_EQ(KindOf(value), kPropertyKinds.at(code));
    }
  }
}

// What every HID device node says of itself, on Windows and under Wine alike.
TEST_F(WindowsListing, DeviceNodesDescribeThemselvesAsHidClassDevices) {
  for (const InterfaceInfo& info : interfaces) {
    SCOPED_TRACE(Narrow(info.DevicePath));
    const auto& properties = info.Properties;
    ASSERT_TRUE(properties.contains(property::kClass));
    EXPECT_EQ(std::get<std::u16string>(properties.at(property::kClass)), u"HIDClass");
    ASSERT_TRUE(properties.contains(property::kClassGuid));
    EXPECT_EQ(std::get<std::u16string>(properties.at(property::kClassGuid)),
              u"{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}");
    ASSERT_TRUE(properties.contains(property::kHardwareId));
    const auto& hardwareIds =
        std::get<std::vector<std::u16string>>(properties.at(property::kHardwareId));
    ASSERT_FALSE(hardwareIds.empty());
    EXPECT_EQ(Narrow(hardwareIds.front()).rfind("HID\\VID_", 0), 0u);
    for (const std::u16string& id : hardwareIds) EXPECT_FALSE(id.empty());
  }
}

TEST(WindowsPlatform, IsTheNativePlatformAndNamesTheHidClass) {
  const std::unique_ptr<HidPlatform> platform = CreateNativeHidPlatform();
  ASSERT_NE(dynamic_cast<WindowsHidPlatform*>(platform.get()), nullptr);
  EXPECT_TRUE(platform->IsAvailable());
  EXPECT_EQ(platform->HidClassGuid(), u"{4D1E55B2-F16F-11CF-88CB-001111000030}");
  EXPECT_FALSE(platform->HidVersion().empty());
  EXPECT_FALSE(platform->LanguageName(0x0409).empty());
}

}  // namespace
}  // namespace hidplatform::windows
