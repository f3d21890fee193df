#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

#include "pedal/PedalModel.h"

namespace {

// A received settings report's data bytes (the 63 bytes after the id), each byte distinct so
// that any misplaced copy shows.
std::vector<std::uint8_t> DistinctSettingsData(std::uint8_t status) {
  std::vector<std::uint8_t> data(kSettingsReportDataSize);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(0x40 + i);
  data[0] = status;
  data[1] = 25;  // brake constant 2.5
  return data;
}

TEST(PedalModelTest, StartsWithThreeNamedPedalsAndZeroSettings) {
  PedalModel model;
  EXPECT_EQ(model.ThrottlePedal.name, "Throttle");
  EXPECT_EQ(model.BrakePedal.name, "Brake");
  EXPECT_EQ(model.ClutchPedal.name, "Clutch");
  EXPECT_EQ(model.ClutchPedal.mainname, PedalName::Clutch);
  EXPECT_EQ(&model.Pedal(PedalName::Brake), &model.BrakePedal);
  EXPECT_EQ(model.BrakePedal.nPosition, 0);
  EXPECT_FALSE(model.BrakePedal.calibration);
  EXPECT_EQ(model.BrakePedal.data, PedalData{});
  EXPECT_EQ(model.SettingsReport, TSettingsReport{});
}

TEST(PedalModelTest, CommandBeforeAnyReportIsZeroExceptIdAndCode) {
  PedalModel model;
  TSettingsReport expected{};
  expected[0] = 2;
  expected[1] = PedalCommand::SettingsRequest;
  EXPECT_EQ(model.BuildCommandReport(PedalCommand::SettingsRequest), expected);
}

TEST(PedalModelTest, PedalSlicesAreLittleEndianAtTheirOffsets) {
  PedalModel model;
  model.BrakePedal.data = PedalData{.ConnectStatus = 1,
                                    .ProgressBarValMin = 0x1234,
                                    .ProgressBarValMax = 0x5678,
                                    .SliderRangeMin = 0x0102,
                                    .SliderRangeMax = 0x0304,
                                    .SliderPosLeft = 0x0506,
                                    .SliderPosRight = 0x0708,
                                    .FirstFilterStageKoeff = 9,
                                    .SecondFilterStageKoeff = 8,
                                    .DACRangeMin = 0x0A0B,
                                    .DACRangeMax = 0xFFEE};
  const TSettingsReport report = model.BuildCommandReport(PedalCommand::Update);
  const std::vector<std::uint8_t> brakeSlice(report.begin() + 22, report.begin() + 41);
  const std::vector<std::uint8_t> expected = {1,    0x34, 0x12, 0x78, 0x56, 0x02, 0x01,
                                              0x04, 0x03, 0x06, 0x05, 0x08, 0x07, 9,
                                              8,    0x0B, 0x0A, 0xEE, 0xFF};
  EXPECT_EQ(brakeSlice, expected);
  EXPECT_TRUE(std::all_of(report.begin() + 3, report.begin() + 22, [](auto b) { return b == 0; }));
  EXPECT_TRUE(std::all_of(report.begin() + 41, report.end(), [](auto b) { return b == 0; }));
}

struct BrakeConstCase {
  double brakeKgConst;
  std::uint8_t expectedByte;
};
void PrintTo(const BrakeConstCase& c, std::ostream* out) { *out << c.brakeKgConst; }

class BrakeConstByteTest : public ::testing::TestWithParam<BrakeConstCase> {};

TEST_P(BrakeConstByteTest, TravelsAsRoundedTenthsInOneByte) {
  PedalModel model;
  model.BrakeKgConst = GetParam().brakeKgConst;
  EXPECT_EQ(model.BuildCommandReport(PedalCommand::Update)[2], GetParam().expectedByte);
}

INSTANTIATE_TEST_SUITE_P(Cases, BrakeConstByteTest,
                         ::testing::Values(BrakeConstCase{2.25, 22},   // 22.5 rounds to even
                                           BrakeConstCase{2.75, 28},   // 27.5 rounds to even
                                           BrakeConstCase{30.0, 44},   // 300 keeps its low 8 bits
                                           BrakeConstCase{25.5, 255},  // the largest that fits
                                           BrakeConstCase{2.5, 25},
                                           // The decimal value typed, not its binary neighbour.
                                           BrakeConstCase{0.15, 2}, BrakeConstCase{2.45, 24},
                                           BrakeConstCase{4.35, 44}, BrakeConstCase{0.05, 0}));

// Every value 0.00-25.50 a user can type gives the tenths of the decimal number typed, ties to
// even, whatever precision the compiler's extended floating type has.
TEST(BrakeConstByteTest, EveryTypableHundredthGivesTheTenthsOfTheDecimalTyped) {
  for (int hundredths = 0; hundredths <= 2550; ++hundredths) {
    const int below = hundredths / 10;
    const int rest = hundredths % 10;
    const int expected = rest > 5 || (rest == 5 && below % 2 != 0) ? below + 1 : below;
    PedalModel model;
    model.BrakeKgConst = hundredths / 100.0;  // the double "x.yz" reads as
    ASSERT_EQ(model.BuildCommandReport(PedalCommand::Update)[2], expected & 0xFF)
        << hundredths / 100 << "." << hundredths % 100 / 10 << hundredths % 10;
  }
}

TEST(PedalModelTest, AcceptedReportFillsTheModelEvenWithoutDumpStatus) {
  PedalModel model;
  const auto data = DistinctSettingsData(0x01);
  ASSERT_TRUE(model.AcceptSettingsReport(data.data(), data.size()));

  EXPECT_EQ(model.SettingsReport[0], 0);  // the id is not taken from the device
  EXPECT_TRUE(std::equal(data.begin(), data.end(), model.SettingsReport.begin() + 1));
  EXPECT_TRUE(std::all_of(model.SettingsReport.begin() + 64, model.SettingsReport.end(),
                          [](auto b) { return b == 0; }));
  EXPECT_DOUBLE_EQ(model.BrakeKgConst, 2.5);
  // Throttle slice starts at record byte 3 = data byte 2 (0x42): ConnectStatus, then 0x4443.
  EXPECT_EQ(model.ThrottlePedal.data.ConnectStatus, 0x42);
  EXPECT_EQ(model.ThrottlePedal.data.ProgressBarValMin, 0x4443);
  EXPECT_EQ(model.BrakePedal.data.ConnectStatus, 0x40 + 21);
  EXPECT_EQ(model.ClutchPedal.data.DACRangeMax, (0x40 + 58) << 8 | (0x40 + 57));
}

TEST(PedalModelTest, CommandEchoesEveryReceivedByteButIdCodeAndEdits) {
  PedalModel model;
  const auto data = DistinctSettingsData(PedalCommand::SettingsDumpStatus);
  ASSERT_TRUE(model.AcceptSettingsReport(data.data(), data.size()));

  TSettingsReport expected{};
  std::copy(data.begin(), data.end(), expected.begin() + 1);
  expected[0] = 2;
  expected[1] = PedalCommand::Acknowledge;
  EXPECT_EQ(model.BuildCommandReport(PedalCommand::Acknowledge), expected);

  model.ClutchPedal.data.SliderPosLeft = 0xBEEF;
  model.BrakeKgConst = 3.0;
  const TSettingsReport edited = model.BuildCommandReport(PedalCommand::Update);
  EXPECT_EQ(edited[2], 30);
  EXPECT_EQ(edited[41 + 9], 0xEF);
  EXPECT_EQ(edited[41 + 10], 0xBE);
  // Flash count and firmware version go back exactly as they came.
  EXPECT_TRUE(std::equal(edited.begin() + 60, edited.begin() + 64, expected.begin() + 60));
  EXPECT_EQ(model.SettingsReport[1], PedalCommand::SettingsDumpStatus);  // template untouched
}

TEST(PedalModelTest, DecodesLowByteFirstPositions) {
  PedalModel model;
  const std::uint8_t data[] = {0x34, 0x12, 0x01, 0x00, 0xFF, 0xFF};
  ASSERT_TRUE(model.DecodePositions(data, sizeof data));
  EXPECT_EQ(model.ThrottlePedal.nPosition, 4660);
  EXPECT_EQ(model.BrakePedal.nPosition, 1);
  EXPECT_EQ(model.ClutchPedal.nPosition, 65535);
}

// Every report is copied into a heap block of exactly its size, so the address sanitizer
// reports any read past its end.
struct ReportSizeCase {
  std::size_t size;
  bool taken;
};
void PrintTo(const ReportSizeCase& c, std::ostream* out) { *out << c.size << " bytes"; }

class SettingsReportSizeTest : public ::testing::TestWithParam<ReportSizeCase> {};

TEST_P(SettingsReportSizeTest, ShortReportIsRefusedAndNothingBeyondSizeIsRead) {
  PedalModel model;
  model.BrakeKgConst = 7.0;
  model.ThrottlePedal.data.SliderPosLeft = 77;
  const std::size_t size = GetParam().size;
  auto bytes = std::make_unique<std::uint8_t[]>(size);
  std::fill_n(bytes.get(), size, std::uint8_t{0x11});

  EXPECT_EQ(model.AcceptSettingsReport(bytes.get(), size), GetParam().taken);
  if (GetParam().taken) {
    EXPECT_DOUBLE_EQ(model.BrakeKgConst, 1.7);
    EXPECT_EQ(model.SettingsReport[63], 0x11);
    EXPECT_EQ(model.SettingsReport[64], 0);  // nothing beyond the 63rd data byte is taken
  } else {
    EXPECT_DOUBLE_EQ(model.BrakeKgConst, 7.0);
    EXPECT_EQ(model.ThrottlePedal.data.SliderPosLeft, 77);
    EXPECT_EQ(model.SettingsReport, TSettingsReport{});
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, SettingsReportSizeTest,
                         ::testing::Values(ReportSizeCase{0, false}, ReportSizeCase{1, false},
                                           ReportSizeCase{6, false}, ReportSizeCase{62, false},
                                           ReportSizeCase{63, true}, ReportSizeCase{64, true},
                                           ReportSizeCase{1000, true}));

class PositionsReportSizeTest : public ::testing::TestWithParam<ReportSizeCase> {};

TEST_P(PositionsReportSizeTest, ShortReportIsRefusedAndNothingBeyondSizeIsRead) {
  PedalModel model;
  model.ClutchPedal.nPosition = 99;
  const std::size_t size = GetParam().size;
  auto bytes = std::make_unique<std::uint8_t[]>(size);
  std::fill_n(bytes.get(), size, std::uint8_t{0x22});

  EXPECT_EQ(model.DecodePositions(bytes.get(), size), GetParam().taken);
  EXPECT_EQ(model.ClutchPedal.nPosition, GetParam().taken ? 0x2222 : 99);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PositionsReportSizeTest,
                         ::testing::Values(ReportSizeCase{0, false}, ReportSizeCase{1, false},
                                           ReportSizeCase{5, false}, ReportSizeCase{6, true},
                                           ReportSizeCase{63, true}));

TEST(PedalModelTest, NullDataIsRefused) {
  PedalModel model;
  EXPECT_FALSE(model.AcceptSettingsReport(nullptr, 63));
  EXPECT_FALSE(model.DecodePositions(nullptr, 6));
}

}  // namespace
