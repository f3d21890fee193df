// A device's setters, strings, handles and writes.
#include "hid/EControllerError.h"
#include "tests/hid/HidTestSupport.h"

namespace hidtest {
namespace {

using hidplatform::OpenMode;

struct RangeCase {
  bool threadSleep;  // else PollingDelayTime
  std::int32_t value;
  bool taken;
};
class DeviceRangeTest : public ControllerTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(DeviceRangeTest, SettersTakeOnlyValuesInTheirRange) {
  Add(1);
  Start();
  THidDevice* device = Listed(0);
  const auto& c = GetParam();
  const std::int32_t before = c.threadSleep ? device->ThreadSleepTime() : 1;
  if (!c.threadSleep) device->SetPollingDelayTime(1);
  c.threadSleep ? device->SetThreadSleepTime(c.value) : device->SetPollingDelayTime(c.value);
  const std::int32_t after = c.threadSleep ? device->ThreadSleepTime() : device->PollingDelayTime();
  EXPECT_EQ(after, c.taken ? c.value : before);
}
INSTANTIATE_TEST_SUITE_P(Ranges, DeviceRangeTest,
                         ::testing::Values(RangeCase{true, 9, false}, RangeCase{true, 10, true},
                                           RangeCase{true, 10000, true},
                                           RangeCase{true, 10001, false},
                                           RangeCase{false, -1, false}, RangeCase{false, 0, true},
                                           RangeCase{false, 10000, true},
                                           RangeCase{false, 10001, false}));

TEST_F(ControllerTest, DirectCreationIsRefused) { EXPECT_THROW(THidDevice(), EControllerError); }

TEST_F(ControllerTest, ProductNameIsCachedAfterTheFirstSuccessOnly) {
  auto iface = Add(1, "Pedals");
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOut(device));
  device->SetOnData({});  // no reading thread: count only the synchronous opens
  const int opensBefore = iface->OpenCount(OpenMode::ReadWrite);
  iface->SetStringsFail(true);
  EXPECT_EQ(device->ProductName(), "");
  EXPECT_EQ(device->ProductName(), "");
  EXPECT_EQ(iface->OpenCount(OpenMode::ReadWrite), opensBefore + 2);
  EXPECT_EQ(device->HidFileHandle(), nullptr);
  iface->SetStringsFail(false);
  EXPECT_EQ(device->ProductName(), "Pedals");
  iface->SetStringsFail(true);
  EXPECT_EQ(device->ProductName(), "Pedals");
  EXPECT_EQ(iface->OpenCount(OpenMode::ReadWrite), opensBefore + 3);
  controller->CheckIn(device);
}

TEST_F(ControllerTest, ProductNameAfterAWriteClosesTheHandleAndTheNextWriteReopensIt) {
  auto iface = Add(1, "Pedals");
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOut(device));
  device->SetOnData({});
  const std::uint8_t report[4] = {2, 11, 12, 13};
  std::uint32_t written = 0;
  ASSERT_TRUE(device->WriteFile(report, 4, written));
  EXPECT_EQ(written, 4u);
  EXPECT_NE(device->HidFileHandle(), nullptr);
  EXPECT_EQ(device->ProductName(), "Pedals");
  EXPECT_EQ(device->HidFileHandle(), nullptr);
  ASSERT_TRUE(device->WriteFile(report, 4, written));
  EXPECT_EQ(iface->WrittenReports().size(), 2u);
  EXPECT_EQ(iface->WrittenReports()[1], std::vector<std::uint8_t>(report, report + 4));
  controller->CheckIn(device);
}

TEST_F(ControllerTest, WriteToADeviceNobodyHoldsWritesNothing) {
  auto iface = Add(1);
  Start();
  const std::uint8_t report[4] = {2, 0, 0, 0};
  std::uint32_t written = 77;
  EXPECT_FALSE(Listed(0)->WriteFile(report, 4, written));
  EXPECT_EQ(written, 77u);
  EXPECT_TRUE(iface->WrittenReports().empty());
}

TEST_F(ControllerTest, QueryOnlyDeviceChecksOutWithoutThreadAndRefusesWrites) {
  auto iface = Add(1, "Sensor", /*readWrite=*/false);
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOut(device));
  EXPECT_FALSE(device->HasReadWriteAccess());
  EXPECT_EQ(device->DataThread(), nullptr);
  EXPECT_EQ(device->ProductName(), "Sensor");
  EXPECT_EQ(device->Caps().InputReportByteLength, 8);
  EXPECT_EQ(device->Attributes().ProductID, 1);
  const std::uint8_t report[4] = {2, 0, 0, 0};
  std::uint32_t written = 0;
  EXPECT_FALSE(device->WriteFile(report, 4, written));
  iface->QueueInputReport({1, 2, 3});
  QCoreApplication::processEvents();
  EXPECT_TRUE(rec.data.empty());
  controller->CheckIn(device);
}

TEST_F(ControllerTest, DeviceCheckOutNeedsAControllerAPluggedDeviceAndAFreeOne) {
  auto iface = Add(1);
  Start();
  THidDevice* device = Listed(0);
  ASSERT_TRUE(device->CheckOut());
  EXPECT_EQ(Counters(), (std::vector<int>{0, 1, 0}));
  EXPECT_FALSE(device->CheckOut());
  Unplug(*iface);
  EXPECT_FALSE(device->CheckOut());
  delete device;
  EXPECT_EQ(Counters(), (std::vector<int>{0, 0, 0}));
}

TEST_F(ControllerTest, SerialNumberAndLanguagesComeFromTheDeviceStrings) {
  auto spec = Spec(1);
  spec.LanguageIds = {0x0409, 0x0407};
  platform->AddInterface(spec);
  auto noSerial = Spec(2);
  noSerial.SerialNumber = "\xD0\x89\xD0\x87";  // answers with its language list
  noSerial.LanguageIds = {0x0409, 0x0407};
  platform->AddInterface(noSerial);
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOutByIndex(device, 0));
  EXPECT_EQ(device->SerialNumber(), "SN1");
  EXPECT_EQ(device->LanguageStrings(),
            (QStringList{"English (United States)", "Unknown Locale ID $0407"}));
  EXPECT_EQ(device->DeviceStrings(2), "Device");
  EXPECT_EQ(device->DeviceStrings(0), "");
  THidDevice* other = nullptr;
  ASSERT_TRUE(controller->CheckOutByIndex(other, 1));
  EXPECT_EQ(other->SerialNumber(), "");
  controller->CheckIn(device);
  controller->CheckIn(other);
}

TEST_F(ControllerTest, InputBufferCountsFollowTheOpenHandles) {
  Add(1);
  Start();
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOut(device));
  device->SetOnData({});
  device->SetNumInputBuffers(64);
  EXPECT_EQ(device->NumInputBuffers(), 64);
  device->CloseFile();
  EXPECT_EQ(device->NumInputBuffers(), 0);
  device->SetNumOverlappedBuffers(1);  // refused by the platform: its count is read back
  EXPECT_EQ(device->NumOverlappedBuffers(), 32);
  controller->CheckIn(device);
  device = Listed(0);
  device->SetNumInputBuffers(16);  // cannot be opened: not remembered
  EXPECT_EQ(device->NumInputBuffers(), 0);
}

TEST_F(ControllerTest, CancelIOEndsTheCallersOwnReadSoTheNextOneCanStart) {
  Add(1);
  auto stored = Stored();
  stored.OnDeviceData = {};  // no reading thread: the main thread reads for itself
  Start(stored);
  THidDevice* device = nullptr;
  ASSERT_TRUE(controller->CheckOut(device));
  std::vector<std::uint8_t> buffer(8);
  EXPECT_FALSE(device->CancelIO(THidOpenExMode::omhRead));  // no handle yet
  ASSERT_EQ(device->ReadFileEx(buffer.data(), 8), hidplatform::kErrorSuccess);
  EXPECT_TRUE(device->CancelIO(THidOpenExMode::omhRead));
  EXPECT_EQ(device->ReadFileEx(buffer.data(), 8), hidplatform::kErrorSuccess);
  EXPECT_TRUE(device->CancelIO(THidOpenExMode::omhRead));
  controller->CheckIn(device);
}

TEST_F(ControllerTest, ParserCallsAnswerNullUntilTheDeviceIsAccessible) {
  Add(1);
  Start();
  THidDevice* device = Listed(0);
  std::uint16_t usages[4] = {};
  std::uint32_t length = 4;
  std::uint8_t report[8] = {};
  std::uint32_t value = 0;
  std::uint16_t count = 0;
  EXPECT_EQ(device->GetButtons(usages, length, report, 8), hidplatform::kHidpStatusNull);
  EXPECT_EQ(device->GetUsageValue(value, report, 8), hidplatform::kHidpStatusNull);
  EXPECT_EQ(device->GetValueCaps(nullptr, count), hidplatform::kHidpStatusNull);
  ASSERT_TRUE(device->CheckOut());
  EXPECT_EQ(device->GetButtons(usages, length, report, 8), hidplatform::kHidpStatusNotImplemented);
  EXPECT_EQ(device->GetUsageValue(value, report, 8), hidplatform::kHidpStatusNotImplemented);
  EXPECT_EQ(device->GetValueCaps(nullptr, count), hidplatform::kHidpStatusNotImplemented);
  controller->CheckIn(device);
}

}  // namespace
}  // namespace hidtest
