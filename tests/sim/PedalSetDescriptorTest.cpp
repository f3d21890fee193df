#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sim/PedalSetIdentity.h"
#include "sim/ReportLengths.h"

namespace {

TEST(ReportLengthsTest, PedalSetDescriptorGives64ByteReportsOnAVendorPage) {
  const auto caps = sim::CapsFromDescriptor(sim::PedalSetReportDescriptor());
  EXPECT_EQ(caps.InputReportByteLength, 64);
  EXPECT_EQ(caps.OutputReportByteLength, 64);
  EXPECT_EQ(caps.FeatureReportByteLength, 0);
  EXPECT_EQ(caps.UsagePage, 0xFF00);
  EXPECT_EQ(caps.Usage, 1);
}

TEST(ReportLengthsTest, UnnumberedReportsStillCountAnIdByte) {
  // Usage Page (1), Usage (6), Collection; 8 x 1 bit in, 5 + 3 bits out; End Collection.
  const std::vector<std::uint8_t> keyboard = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x75, 0x01,
                                              0x95, 0x08, 0x81, 0x02, 0x95, 0x05, 0x91, 0x02,
                                              0x75, 0x03, 0x95, 0x01, 0x91, 0x01, 0xC0};
  const auto caps = sim::CapsFromDescriptor(keyboard);
  EXPECT_EQ(caps.InputReportByteLength, 2);
  EXPECT_EQ(caps.OutputReportByteLength, 2);
  EXPECT_EQ(caps.Usage, 6);
}

TEST(ReportLengthsTest, EveryTruncationReadsNoFurtherThanItsEnd) {
  const auto full = sim::PedalSetReportDescriptor();
  for (std::size_t size = 0; size < full.size(); ++size) {
    const std::vector<std::uint8_t> cut(full.begin(), full.begin() + size);
    const auto caps = sim::CapsFromDescriptor(cut);  // a heap copy: ASan sees any overread
    EXPECT_LE(caps.InputReportByteLength, 64) << size;
  }
}

}  // namespace
