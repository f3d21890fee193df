#pragma once
// What a HID report descriptor says about the reports a device sends and takes: the lengths a
// host's HID parser derives from it, for the Linux backend and for virtual devices alike.

#include <cstdint>
#include <span>

#include "HidPlatform.h"

namespace hidplatform {

enum class ReportKind { input = 0, output = 1, feature = 2 };

struct ReportKindLayout {
  // Full report length in bytes as the Windows HID parser gives it: the longest report of this
  // kind plus one byte for the report id, counted also when the reports carry no id on the wire.
  // 0 when the device has no report of this kind.
  std::uint16_t byteLength = 0;
  // Reports of this kind start with a report id byte on the wire. Linux leaves the byte out
  // of unnumbered input reports, so the reader puts a 0 in front of them.
  bool numbered = false;
};

struct ReportLayout {
  ReportKindLayout input;
  ReportKindLayout output;
  ReportKindLayout feature;
  // Usage page and usage of the first application collection.
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  std::uint16_t collectionCount = 0;
  // False when the descriptor was cut short or malformed; the layout then describes the items
  // read before the fault.
  bool wellFormed = true;

  const ReportKindLayout& Of(ReportKind kind) const;
  // The capabilities a host's HID parser reports for such a device.
  HidCaps Caps() const;
};

// Never reads outside `descriptor`, whatever its content.
ReportLayout ParseReportDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace hidplatform
