#include "PedalSetIdentity.h"

#include <array>

namespace sim {

namespace {

constexpr std::array<std::uint8_t, 46> kDescriptor = {
    0x06, 0x00, 0xFF,              // Usage Page (Vendor Defined 0xFF00)
    0x09, 0x01,                    // Usage (0x01)
    0xA1, 0x01,                    // Collection (Application)
    0x85, 0x01,                    //   Report ID (1): positions
    0x09, 0x02,                    //   Usage (0x02)
    0x15, 0x00,                    //   Logical Minimum (0)
    0x27, 0xFF, 0xFF, 0x00, 0x00,  //   Logical Maximum (65535)
    0x75, 0x10,                    //   Report Size (16)
    0x95, 0x03,                    //   Report Count (3)
    0x81, 0x02,                    //   Input (Data, Variable, Absolute)
    0x85, 0x03,                    //   Report ID (3): settings
    0x09, 0x03,                    //   Usage (0x03)
    0x26, 0xFF, 0x00,              //   Logical Maximum (255)
    0x75, 0x08,                    //   Report Size (8)
    0x95, 0x3F,                    //   Report Count (63)
    0x81, 0x02,                    //   Input (Data, Variable, Absolute)
    0x85, 0x02,                    //   Report ID (2): command
    0x09, 0x04,                    //   Usage (0x04)
    0x95, 0x3F,                    //   Report Count (63)
    0x91, 0x02,                    //   Output (Data, Variable, Absolute)
    0xC0,                          // End Collection
};

}  // namespace

std::span<const std::uint8_t> PedalSetReportDescriptor() { return kDescriptor; }

}  // namespace sim
