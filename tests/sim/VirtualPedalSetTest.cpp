#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "hid/platform/virtual/VirtualHidPlatform.h"
#include "sim/OtherVirtualDevices.h"
#include "sim/VirtualPedalSet.h"

namespace {

using namespace std::chrono_literals;
using hidplatform::OpenMode;

// Reads input reports the way the transport's reading thread does, on the calling thread.
class HostReader {
 public:
  HostReader(hidplatform::VirtualHidPlatform& platform, hidplatform::VirtualInterface& iface)
      : handle_(platform.Open(iface.DevicePath(), OpenMode::OverlappedRead)),
        waker_(platform.CreateWaker()),
        buffer_(iface.Caps().InputReportByteLength) {}

  // The next report, or an empty one when none arrives within a generous timeout.
  std::vector<std::uint8_t> Next() {
    if (handle_ == nullptr || handle_->StartRead(buffer_) != hidplatform::kErrorSuccess) return {};
    if (handle_->WaitRead(10s, *waker_) != hidplatform::ReadWait::Completed) {
      handle_->CancelRead();
      return {};
    }
    return {buffer_.begin(), buffer_.begin() + handle_->LastTransferCount()};
  }

 private:
  hidplatform::HandlePtr handle_;
  std::unique_ptr<hidplatform::Waker> waker_;
  std::vector<std::uint8_t> buffer_;
};

std::vector<std::uint8_t> Command(std::uint8_t code) {
  std::vector<std::uint8_t> report(64, 0);
  report[0] = 2;
  report[1] = code;
  return report;
}

class VirtualPedalSetTest : public ::testing::Test {
 protected:
  void Write(const std::vector<std::uint8_t>& report) {
    auto handle = platform.Open(pedals.Interface().DevicePath(), OpenMode::ReadWrite);
    ASSERT_NE(handle, nullptr);
    std::uint32_t written = 0;
    ASSERT_TRUE(handle->Write(report, written));
  }

  hidplatform::VirtualHidPlatform platform;
  sim::VirtualPedalSet pedals{platform, {.dumpDelay = 2}};
};

TEST_F(VirtualPedalSetTest, PresentsThePedalSetsIdentityAnd64ByteReports) {
  pedals.PlugIn();
  auto handle = platform.Open(pedals.Interface().DevicePath(), OpenMode::QueryOnly);
  ASSERT_NE(handle, nullptr);
  hidplatform::HidAttributes attributes;
  ASSERT_TRUE(handle->GetAttributes(attributes));
  EXPECT_EQ(attributes.VendorID, 0x0483);
  EXPECT_EQ(attributes.ProductID, 0x574E);
  std::u16string product;
  ASSERT_TRUE(handle->GetProductString(product));
  EXPECT_EQ(product, u"Quillfen Pedals");
  const auto caps = handle->GetPreparsedData()->Caps();
  EXPECT_EQ(caps.InputReportByteLength, 64);
  EXPECT_EQ(caps.OutputReportByteLength, 64);
}

TEST_F(VirtualPedalSetTest, SteppedReportsCarryHeldPositionsThenTheRequestedDump) {
  pedals.PlugIn();
  HostReader host(platform, pedals.Interface());
  pedals.HoldPedals(sim::RawPositions{0x0102, 0x0304, 0x0506});
  pedals.SendReports(1);
  EXPECT_EQ(host.Next(), (std::vector<std::uint8_t>{1, 0x02, 0x01, 0x04, 0x03, 0x06, 0x05}));

  Write(Command(209));
  pedals.SendReports(3);
  EXPECT_EQ(host.Next().at(0), 1);
  EXPECT_EQ(host.Next().at(0), 1);
  const auto dump = host.Next();
  ASSERT_EQ(dump.size(), 64u);
  EXPECT_EQ(dump[0], 3);
  EXPECT_EQ(dump[1], 0xD2);
  EXPECT_EQ(pedals.ReceivedCommands(), std::vector<std::uint8_t>{209});
}

TEST_F(VirtualPedalSetTest, RecordsEveryOutputReportAndAppliesIt) {
  pedals.PlugIn();
  const std::uint16_t flashBefore = pedals.FlashCount();
  Write(Command(11));
  Write(Command(211));
  ASSERT_EQ(pedals.ReceivedReports().size(), 2u);
  EXPECT_EQ(pedals.ReceivedReports()[0], Command(11));
  EXPECT_EQ(pedals.FlashCount(), flashBefore + 1);
  EXPECT_TRUE(pedals.Acknowledged());
}

TEST_F(VirtualPedalSetTest, StreamsSmoothMotionOnItsOwnThreadWhileTakingCommands) {
  pedals.PlugIn();
  HostReader host(platform, pedals.Interface());
  pedals.StartMoving();
  std::vector<sim::RawPositions> seen;
  for (int i = 0; i < 50; ++i) {
    if (i == 10) Write(Command(163));  // the brake calibrates while the streamer runs
    const auto report = host.Next();
    ASSERT_EQ(report.size(), 7u);
    seen.push_back({static_cast<std::uint16_t>(report[1] | report[2] << 8),
                    static_cast<std::uint16_t>(report[3] | report[4] << 8),
                    static_cast<std::uint16_t>(report[5] | report[6] << 8)});
  }
  Write(Command(164));
  pedals.StopMoving();
  EXPECT_FALSE(pedals.IsMoving());
  EXPECT_FALSE(pedals.IsCalibrating(1));
  // Smooth: a 1 kHz report moves no pedal by more than a few raw steps.
  for (std::size_t i = 1; i < seen.size(); ++i) {
    for (std::size_t pedal = 0; pedal < 3; ++pedal) {
      EXPECT_LE(std::abs(seen[i][pedal] - seen[i - 1][pedal]), 20) << "report " << i;
    }
  }
}

TEST_F(VirtualPedalSetTest, DueDumpWaitsForRoomInTheHostsBufferInsteadOfBeingLost) {
  pedals.PlugIn();
  pedals.SendReports(200);  // nobody reads: the host's buffer fills up
  const std::size_t full = pedals.Interface().PendingInputReports();
  Write(Command(209));
  pedals.SendReports(10);  // no room: these turns pass without a report
  EXPECT_EQ(pedals.Interface().PendingInputReports(), full);
  EXPECT_EQ(pedals.DumpsSent(), 0);

  HostReader host(platform, pedals.Interface());
  for (std::size_t i = 0; i < full; ++i) ASSERT_EQ(host.Next().at(0), 1);
  pedals.SendReports(3);
  EXPECT_EQ(host.Next().at(0), 1);
  EXPECT_EQ(host.Next().at(0), 1);
  EXPECT_EQ(host.Next().at(0), 3);
}

TEST_F(VirtualPedalSetTest, UnpluggedSetQueuesNothing) {
  pedals.SendReports(5);
  EXPECT_EQ(pedals.Interface().PendingInputReports(), 0u);
  pedals.PlugIn();
  pedals.Unplug();
  EXPECT_FALSE(pedals.IsPluggedIn());
  pedals.SendReports(5);
  EXPECT_EQ(pedals.Interface().PendingInputReports(), 0u);
}

TEST_F(VirtualPedalSetTest, ReplugPowersUpAgainKeepingOnlyTheStoredSettings) {
  pedals.PlugIn();
  HostReader host(platform, pedals.Interface());
  Write(Command(11));  // stored: survives the power cycle
  const std::uint16_t flashCount = pedals.FlashCount();
  Write(Command(211));
  Write(Command(161));  // a throttle calibration never finished
  Write(Command(209));  // a request not answered yet
  pedals.Unplug();

  pedals.PlugIn();
  HostReader replugged(platform, pedals.Interface());
  EXPECT_FALSE(pedals.Acknowledged());
  EXPECT_FALSE(pedals.IsCalibrating(0));
  EXPECT_EQ(pedals.FlashCount(), flashCount);
  pedals.SendReports(4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(replugged.Next().at(0), 1) << "report " << i;
  EXPECT_EQ(pedals.DumpsSent(), 0);  // only a new request brings a dump
}

TEST(OtherVirtualDevicesTest, KeyboardAndMouseOpenOnlyForQueries) {
  hidplatform::VirtualHidPlatform platform;
  for (const auto& device : {sim::AddVirtualKeyboard(platform), sim::AddVirtualMouse(platform)}) {
    EXPECT_EQ(platform.Open(device->DevicePath(), OpenMode::ReadWrite), nullptr);
    EXPECT_NE(platform.Open(device->DevicePath(), OpenMode::QueryOnly), nullptr);
    EXPECT_GT(device->Caps().InputReportByteLength, 1);
  }
}

TEST(OtherVirtualDevicesTest, ImpostorHasThePedalSetsIdsButAnotherName) {
  hidplatform::VirtualHidPlatform platform;
  auto impostor = sim::MakeImpostorPedalSet(platform);
  impostor->PlugIn();
  auto handle = platform.Open(impostor->Interface().DevicePath(), OpenMode::QueryOnly);
  ASSERT_NE(handle, nullptr);
  hidplatform::HidAttributes attributes;
  ASSERT_TRUE(handle->GetAttributes(attributes));
  EXPECT_EQ(attributes.ProductID, 0x574E);
  std::u16string product;
  ASSERT_TRUE(handle->GetProductString(product));
  EXPECT_NE(product, u"Quillfen Pedals");
}

}  // namespace
