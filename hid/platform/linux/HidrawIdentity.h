#pragma once
// The identity the kernel gives an open hidraw node.

#include <linux/hidraw.h>

#include <cstdint>

#include "hid/platform/HidPlatform.h"

namespace linuxhid {

// The kernel keeps vendor and product ids in signed 16-bit fields: ids from 0x8000 up arrive
// negative and are taken back bit for bit.
inline hidplatform::HidAttributes AttributesFromRawInfo(const hidraw_devinfo& info,
                                                        std::uint16_t versionNumber) {
  hidplatform::HidAttributes attributes;
  attributes.VendorID = static_cast<std::uint16_t>(info.vendor);
  attributes.ProductID = static_cast<std::uint16_t>(info.product);
  attributes.VersionNumber = versionNumber;
  return attributes;
}

}  // namespace linuxhid
