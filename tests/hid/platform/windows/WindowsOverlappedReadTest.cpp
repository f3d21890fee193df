// The reading thread's asynchronous read: outstanding across slices, interrupted by its waker,
// ended by a close from another thread, and cancelled before its buffer goes.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "WindowsHidTestDevice.h"

namespace hidplatform::windows {
namespace {

using namespace std::chrono_literals;

// Nothing moves Wine's virtual mouse here, so a read stays outstanding until it is ended.
class WindowsOverlappedRead : public WindowsHidDeviceTest {
 protected:
  void SetUp() override {
    WindowsHidDeviceTest::SetUp();
    if (HasFatalFailure()) return;
    reader = OpenOrFail(OpenMode::OverlappedRead);
    ASSERT_NE(reader, nullptr);
    buffer.resize(CapsOf(*reader).InputReportByteLength);
    ASSERT_FALSE(buffer.empty());
    waker = platform.CreateWaker();
    ASSERT_EQ(reader->StartRead(buffer), kErrorSuccess);
  }

  void TearDown() override {
    if (reader) reader->CancelRead();
  }

  HandlePtr reader;
  std::vector<std::uint8_t> buffer;
  std::unique_ptr<Waker> waker;
};

TEST_F(WindowsOverlappedRead, StaysOutstandingUntilCancelled) {
  EXPECT_EQ(reader->WaitRead(20ms, *waker), ReadWait::TimedOut);
  EXPECT_EQ(reader->LastTransferCount(), 0u);
  EXPECT_TRUE(reader->CancelRead());
  EXPECT_EQ(reader->WaitRead(20ms, *waker), ReadWait::Completed);
  EXPECT_EQ(reader->LastTransferCount(), 0u);
  // The handle takes the next read.
  EXPECT_EQ(reader->StartRead(buffer), kErrorSuccess);
}

TEST_F(WindowsOverlappedRead, WakerSignalledFromAnotherThreadInterruptsTheWait) {
  std::thread stopper([this] {
    std::this_thread::sleep_for(30ms);
    waker->Signal();
  });
  EXPECT_EQ(reader->WaitRead(10s, *waker), ReadWait::Interrupted);
  stopper.join();
  // Signalled stays signalled: the next wait returns at once.
  EXPECT_EQ(reader->WaitRead(10s, *waker), ReadWait::Interrupted);
}

TEST_F(WindowsOverlappedRead, CloseFromAnotherThreadCompletesTheReadWithNoData) {
  std::thread closer([this] {
    std::this_thread::sleep_for(30ms);
    reader->Close();
  });
  EXPECT_EQ(reader->WaitRead(10s, *waker), ReadWait::Completed);
  closer.join();
  EXPECT_EQ(reader->LastTransferCount(), 0u);
  EXPECT_EQ(reader->StartRead(buffer), kErrorInvalidHandle);
}

TEST_F(WindowsOverlappedRead, ASecondReadWhileOneIsOutstandingIsRefused) {
  std::vector<std::uint8_t> other(buffer.size());
  EXPECT_NE(reader->StartRead(other), kErrorSuccess);
}

TEST_F(WindowsOverlappedRead, HandleReleasedWithAReadOutstandingCancelsIt) {
  reader.reset();  // must neither hang nor let the read write into the freed buffer later
  buffer.clear();
  buffer.shrink_to_fit();
  ::SleepEx(50, TRUE);  // a stray completion routine would run here
}

}  // namespace
}  // namespace hidplatform::windows
