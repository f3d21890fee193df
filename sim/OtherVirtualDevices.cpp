#include "OtherVirtualDevices.h"

#include <cstdint>
#include <vector>

#include "hid/platform/ReportDescriptor.h"

namespace sim {

namespace {

// Test ids from the open shared vendor id range, so no real product is imitated.
constexpr std::uint16_t kDeskVendorId = 0x1209;

// A boot-protocol keyboard: modifiers, a reserved byte and six key codes in; five LEDs out.
const std::vector<std::uint8_t> kKeyboardDescriptor = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};

// A three-button mouse with relative X, Y and wheel.
const std::vector<std::uint8_t> kMouseDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19,
    0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09,
    0x38, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06, 0xC0, 0xC0};

std::shared_ptr<hidplatform::VirtualInterface> AddDeskDevice(
    hidplatform::VirtualHidPlatform& platform, std::uint16_t productId, const char* product,
    const std::vector<std::uint8_t>& descriptor) {
  hidplatform::VirtualInterfaceSpec spec;
  spec.Attributes = {.VendorID = kDeskVendorId, .ProductID = productId, .VersionNumber = 0x0110};
  spec.Product = product;
  spec.Manufacturer = "Generic";
  spec.Caps = hidplatform::ParseReportDescriptor(descriptor).Caps();
  spec.ReadWrite = false;
  return platform.AddInterface(spec);
}

}  // namespace

std::shared_ptr<hidplatform::VirtualInterface> AddVirtualKeyboard(
    hidplatform::VirtualHidPlatform& platform) {
  return AddDeskDevice(platform, 0x0001, "USB Keyboard", kKeyboardDescriptor);
}

std::shared_ptr<hidplatform::VirtualInterface> AddVirtualMouse(
    hidplatform::VirtualHidPlatform& platform) {
  return AddDeskDevice(platform, 0x0002, "USB Optical Mouse", kMouseDescriptor);
}

std::unique_ptr<VirtualPedalSet> MakeImpostorPedalSet(hidplatform::VirtualHidPlatform& platform) {
  VirtualPedalSet::Options options;
  options.product = kImpostorProduct;
  return std::make_unique<VirtualPedalSet>(platform, options);
}

}  // namespace sim
