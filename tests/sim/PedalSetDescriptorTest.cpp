// What a host's parser makes of the virtual pedal set's report descriptor.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "hid/platform/ReportDescriptor.h"
#include "sim/PedalSetIdentity.h"

namespace {

hidplatform::HidCaps CapsFromDescriptor(std::span<const std::uint8_t> descriptor) {
  return hidplatform::ParseReportDescriptor(descriptor).Caps();
}

TEST(PedalSetDescriptorTest, PedalSetDescriptorGives64ByteReportsOnAVendorPage) {
  const auto caps = CapsFromDescriptor(sim::PedalSetReportDescriptor());
  EXPECT_EQ(caps.InputReportByteLength, 64);
  EXPECT_EQ(caps.OutputReportByteLength, 64);
  EXPECT_EQ(caps.FeatureReportByteLength, 0);
  EXPECT_EQ(caps.UsagePage, 0xFF00);
  EXPECT_EQ(caps.Usage, 1);
}

TEST(PedalSetDescriptorTest, EveryTruncationReadsNoFurtherThanItsEnd) {
  const auto full = sim::PedalSetReportDescriptor();
  for (std::size_t size = 0; size < full.size(); ++size) {
    const std::vector<std::uint8_t> cut(full.begin(), full.begin() + size);
    const auto caps = CapsFromDescriptor(cut);  // a heap copy: ASan sees any overread
    EXPECT_LE(caps.InputReportByteLength, 64) << size;
  }
}

}  // namespace
