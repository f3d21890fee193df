// Registry values as the types of the fields they fill, whatever form the registry stores them
// in: no raw bytes ever end up in a text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hid/platform/windows/WindowsDeviceProperties.h"
#include "tests/support/PrintRowName.h"

namespace hidplatform::windows {
namespace {

std::vector<BYTE> BytesOf(std::u16string_view units) {
  std::vector<BYTE> bytes(units.size() * sizeof(char16_t));
  std::memcpy(bytes.data(), units.data(), bytes.size());
  return bytes;
}

std::vector<BYTE> BytesOf(DWORD number) {
  std::vector<BYTE> bytes(sizeof number);
  std::memcpy(bytes.data(), &number, sizeof number);
  return bytes;
}

std::vector<BYTE> BytesOf(const GUID& guid) {
  std::vector<BYTE> bytes(sizeof guid);
  std::memcpy(bytes.data(), &guid, sizeof guid);
  return bytes;
}

constexpr GUID kUsbBusType = {
    0x9D7DEBBC, 0xC85D, 0x11D1, {0x9E, 0xB4, 0x00, 0x60, 0x08, 0xC3, 0xA1, 0x9A}};

struct ValueCase {
  const char* name;
  PropertyKind kind;
  DWORD registryType;
  std::vector<BYTE> bytes;
  std::optional<DeviceProperty> expected;
};

class WindowsPropertyValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(WindowsPropertyValue, ConvertsToTheFieldType) {
  const ValueCase& c = GetParam();
  EXPECT_EQ(ConvertRegistryValue(c.kind, c.registryType, c.bytes), c.expected);
}

using List = std::vector<std::u16string>;

INSTANTIATE_TEST_SUITE_P(
    Values, WindowsPropertyValue,
    ::testing::Values(
        ValueCase{"TextUpToItsZero", PropertyKind::Text, REG_SZ, BytesOf(u"HIDClass\0junk"),
                  DeviceProperty(u"HIDClass")},
        ValueCase{"TextWithoutAZero", PropertyKind::Text, REG_SZ, BytesOf(u"abc"),
                  DeviceProperty(u"abc")},
        ValueCase{"TextWithAnOddByteCount",
                  PropertyKind::Text,
                  REG_SZ,
                  {'a', 0, 'b'},
                  DeviceProperty(u"a")},
        ValueCase{"TextStoredAsANumber", PropertyKind::Text, REG_DWORD, BytesOf(DWORD{4}),
                  DeviceProperty(u"4")},
        ValueCase{"TextStoredAsAClassId", PropertyKind::Text, REG_BINARY, BytesOf(kUsbBusType),
                  DeviceProperty(u"{9D7DEBBC-C85D-11D1-9EB4-006008C3A19A}")},
        ValueCase{"ListOfTexts", PropertyKind::TextList, REG_MULTI_SZ,
                  BytesOf(std::u16string_view(u"HID\\VID_0483\0HID\0\0", 19)),
                  DeviceProperty(List{u"HID\\VID_0483", u"HID"})},
        ValueCase{"ListMissingItsFinalZeros", PropertyKind::TextList, REG_MULTI_SZ,
                  BytesOf(std::u16string_view(u"a\0b", 3)), DeviceProperty(List{u"a", u"b"})},
        ValueCase{"EmptyList", PropertyKind::TextList, REG_MULTI_SZ,
                  BytesOf(std::u16string_view(u"\0\0", 2)), DeviceProperty(List{})},
        ValueCase{"ListStoredAsOneText", PropertyKind::TextList, REG_SZ, BytesOf(u"only"),
                  DeviceProperty(List{u"only"})},
        ValueCase{"Number", PropertyKind::Number, REG_DWORD, BytesOf(DWORD{0x84}),
                  DeviceProperty(std::uint32_t{0x84})},
        ValueCase{"NumberStoredAsText", PropertyKind::Number, REG_SZ, BytesOf(u"12"), std::nullopt},
        ValueCase{"NumberOfTheWrongSize", PropertyKind::Number, REG_DWORD, {1, 2}, std::nullopt}),
    qf_test::RowName());

}  // namespace
}  // namespace hidplatform::windows
