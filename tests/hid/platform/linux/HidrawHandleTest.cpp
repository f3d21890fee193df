// The hidraw handle on a SOCK_SEQPACKET socket pair that stands in for a node: like a hidraw
// node it hands over one whole message per read and reports a vanished peer in poll().

#include "HidrawHandle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <thread>
#include <vector>

#include "ConditionWaker.h"
#include "EventFdWaker.h"
#include "HidrawIdentity.h"
#include "hid/platform/ReportDescriptor.h"

using hidplatform::OpenMode;
using hidplatform::ReadWait;
using linuxhid::HidrawHandle;
using linuxhid::UniqueFd;

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// Numbered reports of 64 bytes with the id (input 1 and 3, output 2).
const Bytes numberedDescriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x09,
                                  0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F,
                                  0x81, 0x02, 0x85, 0x02, 0x09, 0x02, 0x95, 0x3F, 0x91, 0x02,
                                  0x85, 0x03, 0x09, 0x03, 0x95, 0x3F, 0x81, 0x02, 0xC0};
// 64 data bytes each way without report ids: 65 bytes with the id byte.
const Bytes unnumberedDescriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02,
                                    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40,
                                    0x81, 0x02, 0x09, 0x03, 0x95, 0x40, 0x91, 0x02, 0xC0};

// Long enough that a test relying on it to end would hang rather than pass by luck.
constexpr auto endless = std::chrono::milliseconds(std::chrono::hours(1));

class SocketNode : public testing::Test {
 protected:
  void Open(OpenMode mode, const Bytes& descriptor,
            std::optional<linuxhid::SysfsHidNode> sysfs = std::nullopt) {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
    ASSERT_EQ(::fcntl(fds[0], F_SETFL, O_NONBLOCK), 0);
    nodeFd_ = fds[0];
    device_.Reset(fds[1]);
    linuxhid::HidrawNodeInfo info;
    info.sysfs = std::move(sysfs);
    info.preparsed = std::make_shared<linuxhid::LayoutPreparsedData>(
        hidplatform::ParseReportDescriptor(descriptor));
    handle_ = std::make_shared<HidrawHandle>(UniqueFd(fds[0]), linuxhid::MakeEventFd(), mode,
                                             std::move(info));
  }

  void DeviceSends(const Bytes& report) const {
    ASSERT_EQ(::send(device_.Get(), report.data(), report.size(), 0),
              static_cast<ssize_t>(report.size()));
  }

  Bytes DeviceReceives() const {
    Bytes received(512);
    const ssize_t n = ::recv(device_.Get(), received.data(), received.size(), MSG_DONTWAIT);
    received.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return received;
  }

  // Starts a read into buffer_ and waits for it without a time limit.
  ReadWait ReadOnce() {
    EXPECT_EQ(handle_->StartRead(buffer_), hidplatform::kErrorSuccess);
    return handle_->WaitRead(endless, waker_);
  }

  Bytes Received() const {
    const std::uint32_t count = handle_->LastTransferCount();
    return Bytes(buffer_.begin(), buffer_.begin() + count);
  }

  int nodeFd_ = -1;
  UniqueFd device_;
  std::shared_ptr<HidrawHandle> handle_;
  linuxhid::EventFdWaker waker_{linuxhid::MakeEventFd()};
  std::array<std::uint8_t, 65> buffer_{};
};

TEST_F(SocketNode, EachReadCompletesWithExactlyOneReport) {
  Open(OpenMode::OverlappedRead, numberedDescriptor);
  const Bytes positions = {1, 0x10, 0x27, 0x00, 0x00};
  const Bytes settings = {3, 0xD2, 0x01};
  DeviceSends(positions);
  DeviceSends(settings);
  ASSERT_EQ(ReadOnce(), ReadWait::Completed);
  EXPECT_EQ(Received(), positions);
  ASSERT_EQ(ReadOnce(), ReadWait::Completed);
  EXPECT_EQ(Received(), settings);
}

TEST_F(SocketNode, UnnumberedReportGetsAZeroIdInFront) {
  Open(OpenMode::OverlappedRead, unnumberedDescriptor);
  Bytes data(64);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i + 1);
  DeviceSends(data);
  ASSERT_EQ(ReadOnce(), ReadWait::Completed);
  Bytes expected = {0};
  expected.insert(expected.end(), data.begin(), data.end());
  EXPECT_EQ(Received(), expected);
}

TEST_F(SocketNode, SignalledWakerEndsAWaitAtOnceAndLeavesTheReadOutstanding) {
  Open(OpenMode::OverlappedRead, numberedDescriptor);
  std::thread stopper([this] { waker_.Signal(); });
  EXPECT_EQ(ReadOnce(), ReadWait::Interrupted);
  stopper.join();
  EXPECT_EQ(handle_->LastTransferCount(), 0u);
  // The read that was interrupted still takes the next report.
  DeviceSends({1, 7});
  EXPECT_EQ(handle_->WaitRead(endless, waker_), ReadWait::Completed);
  EXPECT_EQ(Received(), (Bytes{1, 7}));
}

TEST_F(SocketNode, WakerWithoutADescriptorEndsAWaitToo) {
  Open(OpenMode::OverlappedRead, numberedDescriptor);
  linuxhid::ConditionWaker waker;
  ASSERT_EQ(handle_->StartRead(buffer_), hidplatform::kErrorSuccess);
  std::thread stopper([&waker] { waker.Signal(); });
  EXPECT_EQ(handle_->WaitRead(endless, waker), ReadWait::Interrupted);
  stopper.join();
}

TEST_F(SocketNode, ClosingFromAnotherThreadCompletesTheWaitWithNothing) {
  Open(OpenMode::OverlappedRead, numberedDescriptor);
  // The read is under way before the closer starts: the close may land before or during the wait.
  ASSERT_EQ(handle_->StartRead(buffer_), hidplatform::kErrorSuccess);
  std::thread closer([this] { handle_->Close(); });
  EXPECT_EQ(handle_->WaitRead(endless, waker_), ReadWait::Completed);
  closer.join();
  EXPECT_EQ(handle_->LastTransferCount(), 0u);
  EXPECT_EQ(handle_->StartRead(buffer_), hidplatform::kErrorInvalidHandle);
  // The descriptor stays open while the handle has an owner, so its number is not reused.
  EXPECT_NE(::fcntl(nodeFd_, F_GETFD), -1);
  handle_.reset();
  EXPECT_EQ(::fcntl(nodeFd_, F_GETFD), -1);
}

TEST_F(SocketNode, ReportReadBeforeTheHandleClosedKeepsItsCount) {
  Open(OpenMode::OverlappedRead, numberedDescriptor);
  DeviceSends({1, 5, 6});
  ASSERT_EQ(ReadOnce(), ReadWait::Completed);
  handle_->Close();
  EXPECT_EQ(Received(), (Bytes{1, 5, 6}));
}

TEST_F(SocketNode, VanishedDeviceIsSeenAsUnpluggedAfterItsLastReport) {
  Open(OpenMode::OverlappedRead, numberedDescriptor);
  DeviceSends({1, 42});
  device_.Reset();
  ASSERT_EQ(ReadOnce(), ReadWait::Completed);
  EXPECT_EQ(Received(), (Bytes{1, 42}));
  ASSERT_EQ(ReadOnce(), ReadWait::Completed);
  EXPECT_EQ(handle_->LastTransferCount(), 0u);
  EXPECT_EQ(handle_->StartRead(buffer_), hidplatform::kErrorDeviceNotConnected);
}

TEST_F(SocketNode, QuietDeviceLetsTheSlicePass) {
  Open(OpenMode::OverlappedRead, numberedDescriptor);
  ASSERT_EQ(handle_->StartRead(buffer_), hidplatform::kErrorSuccess);
  EXPECT_EQ(handle_->WaitRead(0ms, waker_), ReadWait::TimedOut);
  EXPECT_EQ(handle_->LastTransferCount(), 0u);
}

TEST_F(SocketNode, ReadIntoABufferShorterThanTheReportIsRefused) {
  Open(OpenMode::OverlappedRead, numberedDescriptor);
  std::array<std::uint8_t, 63> shortBuffer{};
  EXPECT_EQ(handle_->StartRead(shortBuffer), hidplatform::kErrorInvalidUserBuffer);
}

TEST_F(SocketNode, CancelledReadTakesNoReport) {
  Open(OpenMode::OverlappedRead, numberedDescriptor);
  ASSERT_EQ(handle_->StartRead(buffer_), hidplatform::kErrorSuccess);
  EXPECT_TRUE(handle_->CancelRead());
  DeviceSends({1, 9});
  EXPECT_EQ(handle_->WaitRead(endless, waker_), ReadWait::Completed);
  EXPECT_EQ(handle_->LastTransferCount(), 0u);
  EXPECT_EQ(buffer_[0], 0);
}

TEST_F(SocketNode, WriteSendsTheWholeReportAsGiven) {
  Open(OpenMode::ReadWrite, unnumberedDescriptor);
  const Bytes report = {0, 0xAA, 0xBB, 0xCC};
  std::uint32_t written = 0;
  ASSERT_TRUE(handle_->Write(report, written));
  EXPECT_EQ(written, report.size());
  EXPECT_EQ(DeviceReceives(), report);
}

TEST_F(SocketNode, WriteFailsOnAQueryOnlyHandleAndAfterTheDeviceHasGone) {
  Open(OpenMode::QueryOnly, numberedDescriptor);
  std::uint32_t written = 99;
  EXPECT_FALSE(handle_->Write(Bytes{2, 1}, written));
  EXPECT_EQ(written, 99u);
  Open(OpenMode::ReadWrite, numberedDescriptor);
  device_.Reset();
  // A socket, unlike a hidraw node, would raise SIGPIPE for a write to a vanished peer.
  std::signal(SIGPIPE, SIG_IGN);
  EXPECT_FALSE(handle_->Write(Bytes{2, 1}, written));
  EXPECT_EQ(written, 99u);
}

TEST_F(SocketNode, IdentityAndStringsComeFromSysfsWhenTheNodeTakesNoIoctl) {
  linuxhid::SysfsHidNode sysfs;
  sysfs.vendorId = 0x0483;
  sysfs.productId = 0x574E;
  sysfs.versionNumber = 0x0200;
  sysfs.product = "Quillfen Pedals";
  Open(OpenMode::QueryOnly, numberedDescriptor, sysfs);
  hidplatform::HidAttributes attributes;
  ASSERT_TRUE(handle_->GetAttributes(attributes));
  EXPECT_EQ(attributes.VendorID, 0x0483);
  EXPECT_EQ(attributes.ProductID, 0x574E);
  EXPECT_EQ(attributes.VersionNumber, 0x0200);
  std::u16string text;
  ASSERT_TRUE(handle_->GetProductString(text));
  EXPECT_EQ(text, u"Quillfen Pedals");
  EXPECT_FALSE(handle_->GetManufacturerString(text));
  ASSERT_NE(handle_->GetPreparsedData(), nullptr);
  EXPECT_EQ(handle_->GetPreparsedData()->Caps().InputReportByteLength, 64);
  handle_->Close();
  EXPECT_FALSE(handle_->GetAttributes(attributes));
  EXPECT_FALSE(handle_->GetProductString(text));
  EXPECT_EQ(handle_->GetPreparsedData(), nullptr);
}

struct RawIdCase {
  std::int16_t kernelValue;
  std::uint16_t id;
};

class RawInfoIdTest : public testing::TestWithParam<RawIdCase> {};

TEST_P(RawInfoIdTest, SignedKernelIdIsTakenBackBitForBit) {
  hidraw_devinfo info{};
  info.vendor = GetParam().kernelValue;
  info.product = GetParam().kernelValue;
  const hidplatform::HidAttributes attributes = linuxhid::AttributesFromRawInfo(info, 0x0100);
  EXPECT_EQ(attributes.VendorID, GetParam().id);
  EXPECT_EQ(attributes.ProductID, GetParam().id);
  EXPECT_EQ(attributes.VersionNumber, 0x0100);
}

INSTANTIATE_TEST_SUITE_P(Ids, RawInfoIdTest,
                         testing::Values(RawIdCase{0x0483, 0x0483}, RawIdCase{0x574E, 0x574E},
                                         RawIdCase{-1, 0xFFFF}, RawIdCase{-32768, 0x8000},
                                         RawIdCase{-4370, 0xEEEE}));

}  // namespace
