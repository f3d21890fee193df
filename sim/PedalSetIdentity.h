#pragma once
// What the virtual pedal set presents to the host: its ids, strings and report descriptor.

#include <cstdint>
#include <span>
#include <string>

namespace sim {

inline constexpr std::uint16_t kPedalSetVendorId = 0x0483;
inline constexpr std::uint16_t kPedalSetProductId = 0x574E;
inline constexpr std::uint16_t kPedalSetVersion = 0x0200;
inline constexpr char kPedalSetProductString[] = "Quillfen Pedals";
inline constexpr char kPedalSetManufacturerString[] = "Quillfen";

// A full-speed vendor-defined HID interface: input report 1 (three 16-bit raw positions),
// input report 3 (63 settings bytes) and output report 2 (63 command bytes). The longest input
// and output reports are 63 bytes plus the id, so both report lengths come out as 64.
std::span<const std::uint8_t> PedalSetReportDescriptor();

}  // namespace sim
