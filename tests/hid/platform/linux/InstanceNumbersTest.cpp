// Device instance numbers: kept while a node is present, never handed out twice.

#include "InstanceNumbers.h"

#include <gtest/gtest.h>

#include <set>

using linuxhid::InstanceNumbers;

namespace {

TEST(InstanceNumbersTest, PresentNodeKeepsItsNumberAndEachNodeHasItsOwn) {
  InstanceNumbers numbers;
  const auto first = numbers.AssignForListing({"hidraw0", "hidraw1"});
  const auto second = numbers.AssignForListing({"hidraw1", "hidraw2", "hidraw0"});
  ASSERT_EQ(first.size(), 2u);
  ASSERT_EQ(second.size(), 3u);
  EXPECT_NE(first[0], first[1]);
  EXPECT_EQ(second[0], first[1]);
  EXPECT_EQ(second[2], first[0]);
  EXPECT_NE(second[1], first[0]);
  EXPECT_NE(second[1], first[1]);
}

TEST(InstanceNumbersTest, NodeThatComesBackGetsANumberNeverSeenBefore) {
  InstanceNumbers numbers;
  std::set<std::uint32_t> handedOut;
  for (int round = 0; round < 50; ++round) {
    const auto present = numbers.AssignForListing({"hidraw0"});
    EXPECT_TRUE(handedOut.insert(present[0]).second) << "round " << round;
    numbers.AssignForListing({});
  }
}

TEST(InstanceNumbersTest, TwoPlatformsNeverShareANumber) {
  InstanceNumbers one;
  InstanceNumbers other;
  EXPECT_NE(one.AssignForListing({"hidraw0"})[0], other.AssignForListing({"hidraw0"})[0]);
}

}  // namespace
