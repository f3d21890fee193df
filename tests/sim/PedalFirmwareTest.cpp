#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "sim/PedalFirmware.h"

namespace {

using sim::PedalFirmware;
using sim::RawPositions;

std::vector<std::uint8_t> Command(std::uint8_t code) {
  std::vector<std::uint8_t> report(64, 0);
  report[0] = 2;
  report[1] = code;
  return report;
}

class PedalFirmwareTest : public ::testing::Test {
 protected:
  // Sends n input reports with the pedals at `at`; returns the ids in order.
  std::vector<std::uint8_t> SendReports(int n, RawPositions at = {1000, 2000, 3000}) {
    std::vector<std::uint8_t> ids;
    for (int i = 0; i < n; ++i) ids.push_back(firmware.NextInputReport(at).at(0));
    return ids;
  }

  PedalFirmware firmware{2};
};

TEST_F(PedalFirmwareTest, AnswersARequestWithOneDumpAfterAFewReports) {
  EXPECT_EQ(SendReports(3), (std::vector<std::uint8_t>{1, 1, 1}));
  firmware.ReceiveOutputReport(Command(PedalFirmware::kSettingsRequest));
  firmware.ReceiveOutputReport(Command(PedalFirmware::kSettingsRequest));  // repeated: one dump
  EXPECT_EQ(SendReports(5), (std::vector<std::uint8_t>{1, 1, 3, 1, 1}));
  EXPECT_EQ(firmware.DumpsSent(), 1);
}

TEST_F(PedalFirmwareTest, DumpCarriesTheStoredSettingsWithDumpStatus) {
  firmware.ReceiveOutputReport(Command(PedalFirmware::kSettingsRequest));
  SendReports(2);
  const auto dump = firmware.NextInputReport({});
  ASSERT_EQ(dump.size(), 64u);
  EXPECT_EQ(dump[0], 3);
  EXPECT_EQ(dump[1], PedalFirmware::kDumpStatus);
  EXPECT_TRUE(std::equal(dump.begin() + 2, dump.end(), firmware.Settings().begin() + 1));
  EXPECT_FALSE(firmware.Acknowledged());
  firmware.ReceiveOutputReport(Command(PedalFirmware::kAcknowledge));
  EXPECT_TRUE(firmware.Acknowledged());
}

TEST_F(PedalFirmwareTest, PositionsReportIsThreeLittleEndianValues) {
  EXPECT_EQ(firmware.NextInputReport({0x1234, 0x0001, 0xFFFF}),
            (std::vector<std::uint8_t>{1, 0x34, 0x12, 0x01, 0x00, 0xFF, 0xFF}));
}

TEST_F(PedalFirmwareTest, UpdateIsStoredWholeAndCountsAFlashWrite) {
  const std::uint16_t flashBefore = firmware.FlashCount();
  auto update = Command(PedalFirmware::kUpdate);
  for (std::size_t i = 2; i < 60; ++i) update[i] = static_cast<std::uint8_t>(i);
  update[60] = 0xEE;  // the host's copy of the flash count does not overwrite the firmware's
  firmware.ReceiveOutputReport(update);

  EXPECT_TRUE(std::equal(update.begin() + 2, update.begin() + 60, firmware.Settings().begin() + 1));
  EXPECT_EQ(firmware.FlashCount(), flashBefore + 1);
}

TEST_F(PedalFirmwareTest, CalibrationMakesTheTravelSeenThePedalsLimits) {
  const std::uint16_t flashBefore = firmware.FlashCount();
  const sim::RawLimits throttleBefore = firmware.RawLimitsOf(0);
  firmware.ReceiveOutputReport(Command(PedalFirmware::kFirstCalibrationStart + 2));  // brake
  EXPECT_TRUE(firmware.IsCalibrating(1));
  firmware.NextInputReport({0, 700, 0});
  firmware.NextInputReport({0, 3100, 0});
  firmware.NextInputReport({0, 1500, 0});
  firmware.ReceiveOutputReport(Command(PedalFirmware::kFirstCalibrationStart + 3));

  EXPECT_FALSE(firmware.IsCalibrating(1));
  EXPECT_EQ(firmware.RawLimitsOf(1), (sim::RawLimits{700, 3100}));
  EXPECT_EQ(firmware.RawLimitsOf(0), throttleBefore);  // travel of other pedals is not taken
  EXPECT_EQ(firmware.FlashCount(), flashBefore + 1);
}

TEST_F(PedalFirmwareTest, ResetCalibrationRestoresFactoryLimits) {
  const sim::RawLimits factory = firmware.RawLimitsOf(2);
  firmware.ReceiveOutputReport(Command(PedalFirmware::kFirstCalibrationStart + 4));
  firmware.NextInputReport({0, 0, 10});
  firmware.NextInputReport({0, 0, 20});
  firmware.ReceiveOutputReport(Command(PedalFirmware::kFirstCalibrationStart + 5));
  ASSERT_EQ(firmware.RawLimitsOf(2), (sim::RawLimits{10, 20}));

  firmware.ReceiveOutputReport(Command(PedalFirmware::kResetCalibration));
  EXPECT_EQ(firmware.RawLimitsOf(2), factory);
}

TEST_F(PedalFirmwareTest, IgnoresReportsThatAreNotWholeCommands) {
  const auto before = firmware.Settings();
  firmware.ReceiveOutputReport(std::vector<std::uint8_t>{});
  firmware.ReceiveOutputReport(std::vector<std::uint8_t>{2});
  firmware.ReceiveOutputReport(std::vector<std::uint8_t>{2, PedalFirmware::kUpdate, 1, 2});
  firmware.ReceiveOutputReport(std::vector<std::uint8_t>{5, PedalFirmware::kSettingsRequest});
  EXPECT_EQ(firmware.Settings(), before);
  EXPECT_EQ(SendReports(4), (std::vector<std::uint8_t>{1, 1, 1, 1}));
}

TEST(PedalFirmwareFactoryTest, HoldsBelievableSettings) {
  const PedalFirmware firmware;
  for (std::size_t pedal = 0; pedal < sim::kPedalCount; ++pedal) {
    const sim::RawLimits limits = firmware.RawLimitsOf(pedal);
    EXPECT_LT(limits.min, limits.max);
    EXPECT_LE(limits.max, 4095);  // 12-bit sensors
  }
  EXPECT_EQ(firmware.Settings()[1], 15);  // brake constant 1.5
  EXPECT_GT(firmware.FlashCount(), 0);
}

}  // namespace
