#include "ReportLengths.h"

#include "hid/platform/ReportDescriptor.h"

namespace sim {

hidplatform::HidCaps CapsFromDescriptor(std::span<const std::uint8_t> descriptor) {
  return hidplatform::ParseReportDescriptor(descriptor).Caps();
}

}  // namespace sim
