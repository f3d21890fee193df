// Reading threads and the hand-off to the main thread.
#include <thread>

#include "tests/hid/HidTestSupport.h"

namespace hidtest {
namespace {

class ReadThreadTest : public ControllerTest {
 protected:
  std::shared_ptr<VirtualInterface> iface;
  THidDevice* device = nullptr;

  void SetUp() override {
    iface = Add(1);
    Start();
    ASSERT_TRUE(controller->CheckOut(device));
    ASSERT_NE(device->DataThread(), nullptr);
  }
  void TearDown() override {
    if (device != nullptr) controller->CheckIn(device);
  }
  // Queues a report and runs the main loop until the reading thread asks for the next one.
  void Feed(std::vector<std::uint8_t> report) {
    iface->QueueInputReport(std::move(report));
    ASSERT_TRUE(WaitFor([&] { return iface->PendingInputReports() == 0; }));
  }
};

struct ReportCase {
  std::vector<std::uint8_t> report;
  std::vector<std::uint8_t> expectedData;
};
class ReportShapeTest : public ReadThreadTest, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ReportShapeTest, EachReportGivesOneEventWithIdAndTheBytesAfterIt) {
  const std::size_t before = rec.data.size();
  iface->QueueInputReport(GetParam().report);
  ASSERT_TRUE(WaitFor([&] { return rec.data.size() == before + 1; }));
  EXPECT_EQ(rec.data.back().device, device);
  EXPECT_EQ(rec.data.back().reportId, GetParam().report[0]);
  EXPECT_EQ(rec.data.back().bytes, GetParam().expectedData);
}
INSTANTIATE_TEST_SUITE_P(
    Shapes, ReportShapeTest,
    ::testing::Values(ReportCase{{3}, {}}, ReportCase{{1, 10, 20}, {10, 20}},
                      ReportCase{{1, 1, 2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5, 6, 7}},
                      // longer than the input report: cut to its length, never past the buffer
                      ReportCase{{1, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7}}));

TEST_F(ReadThreadTest, ReportsArriveInOrderAndEmptyReadsRaiseNothing) {
  iface->QueueInputReport({1, 1});
  iface->QueueInputReport({});
  iface->QueueInputReport({1, 2});
  ASSERT_TRUE(WaitFor([&] { return rec.data.size() == 2; }));
  EXPECT_EQ(rec.data[0].bytes, std::vector<std::uint8_t>{1});
  EXPECT_EQ(rec.data[1].bytes, std::vector<std::uint8_t>{2});
  EXPECT_TRUE(rec.errors.empty());
}

TEST_F(ReadThreadTest, ClearingOnDataStopsTheThreadAndAssigningItStartsANewOne) {
  device->SetOnData({});
  EXPECT_EQ(device->DataThread(), nullptr);
  iface->QueueInputReport({1, 5});
  QCoreApplication::processEvents();
  EXPECT_TRUE(rec.data.empty());
  device->SetOnData({&rec, &Recorder::OnData});
  ASSERT_TRUE(WaitFor([&] { return rec.data.size() == 1; }));
}

TEST_F(ReadThreadTest, AHandlerErrorEndsTheThreadUntilItIsRestarted) {
  rec.throwOnData = true;
  Feed({1, 1});
  ASSERT_TRUE(WaitFor([&] { return device->DataThread()->Finished(); }));
  rec.throwOnData = false;
  iface->QueueInputReport({1, 2});
  QCoreApplication::processEvents();
  EXPECT_EQ(rec.data.size(), 1u);
  device->SetOnData({});
  device->SetOnData({&rec, &Recorder::OnData});
  ASSERT_TRUE(WaitFor([&] { return rec.data.size() == 2; }));
}

TEST_F(ReadThreadTest, StoppingServesAReportAlreadyRead) {
  // Without the main loop turning, the reading thread stays blocked in its hand-off.
  iface->QueueInputReport({1, 42});
  ASSERT_TRUE(iface->WaitUntilInputConsumed(kWait));
  EXPECT_TRUE(rec.data.empty());
  controller->CheckIn(device);
  ASSERT_EQ(rec.data.size(), 1u);
  EXPECT_EQ(rec.data[0].bytes, std::vector<std::uint8_t>{42});
}

TEST_F(ReadThreadTest, DestroyingTheHeldDeviceInsideItsUnplugEventStopsItsThread) {
  rec.destroyOnUnplug = device;
  iface->QueueInputReport({1, 7});
  ASSERT_TRUE(iface->WaitUntilInputConsumed(kWait));
  Unplug(*iface);  // the delivery already read runs inside the destruction
  device = nullptr;
  ASSERT_EQ(rec.data.size(), 1u);
  EXPECT_TRUE(controller->Devices().empty());
}

TEST_F(ReadThreadTest, UnpluggedDeviceStillHeldRaisesErrorEventsAndNoData) {
  device->SetOnDataError({&rec, &Recorder::OnError});
  device->SetThreadSleepTime(10);
  ASSERT_TRUE(iface->WaitUntilReadOutstanding(kWait));
  const int reads = iface->ReadsStarted();
  Unplug(*iface);
  ASSERT_TRUE(WaitFor([&] { return rec.errors.size() >= 3; }));
  // A request made before the pass noticed the unplug may fail on the closed handle instead.
  EXPECT_EQ(rec.errors.back(), hidplatform::kErrorDeviceNotConnected);
  EXPECT_TRUE(rec.data.empty());
  EXPECT_EQ(iface->ReadsStarted(), reads);  // refused requests never reach the platform
  EXPECT_EQ(iface->OpenHandleCount(), 0);
}

TEST_F(ReadThreadTest, AHeldDeviceMarkedGoneNeverOpensItsReadHandleAgain) {
  // The listing fails while the interface stays present, so only the device's own state keeps
  // its reading thread, woken by the aborted read, from opening the handle again.
  using hidplatform::OpenMode;
  ASSERT_TRUE(iface->WaitUntilReadOutstanding(kWait));
  const std::uint8_t report[4] = {2, 0, 0, 0};
  ASSERT_TRUE(device->WriteFileEx(report, 4));  // closed after the read handle, in the pass
  const int readOpens = iface->OpenCount(OpenMode::OverlappedRead);
  const THidDeviceReadThread* thread = device->DataThread();
  iface->SetCloseObserver([&](OpenMode mode) {
    if (mode != OpenMode::OverlappedWrite) return;
    // Hold the pass until the reading thread has either opened the handle or been refused.
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (iface->OpenCount(OpenMode::OverlappedRead) == readOpens && thread->Err() == 0 &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::yield();
    }
  });
  platform->SetListingFails(true);
  platform->RaiseDeviceChange();
  iface->SetCloseObserver(nullptr);
  EXPECT_FALSE(device->IsPluggedIn());
  EXPECT_EQ(thread->Err(), hidplatform::kErrorDeviceNotConnected);
  EXPECT_EQ(iface->OpenCount(OpenMode::OverlappedRead), readOpens);
  EXPECT_EQ(iface->OpenHandleCount(), 0);
}

TEST_F(ReadThreadTest, RefusedReadRequestsRaiseOneErrorEachWithThePlatformCode) {
  device->SetOnDataError({&rec, &Recorder::OnError});
  device->SetThreadSleepTime(10);
  device->SetOnData({});  // restart the thread so that its first request meets the error
  iface->SetReadError(hidplatform::kErrorGenFailure);
  device->SetOnData({&rec, &Recorder::OnData});
  ASSERT_TRUE(WaitFor([&] { return rec.errors.size() >= 2; }));
  EXPECT_EQ(rec.errors[0], hidplatform::kErrorGenFailure);
  iface->SetReadError(hidplatform::kErrorSuccess);
  Feed({1, 9});
  ASSERT_TRUE(WaitFor([&] { return rec.data.size() == 1; }));
}

}  // namespace
}  // namespace hidtest
