// A device streams reports while the main thread unplugs, re-plugs, checks in and destroys it
// again and again. Bounded in rounds; meant to be run under ThreadSanitizer.
#include <atomic>
#include <thread>

#include "tests/hid/HidTestSupport.h"

namespace hidtest {
namespace {

constexpr int kRounds = 40;

TEST_F(ControllerTest, StreamingSurvivesUnplugReplugCheckInAndDestruction) {
  auto iface = Add(1);
  auto stored = Stored();
  stored.OnArrival = {};
  stored.OnDeviceUnplug = {};
  stored.DevThreadSleepTime = 10;
  Start(stored);
  std::atomic<bool> streaming{true};
  std::thread feeder([&] {
    std::uint8_t counter = 0;
    while (streaming) {
      if (iface->PendingInputReports() < 4) iface->QueueInputReport({1, counter++, 0, 0});
      std::this_thread::yield();
    }
  });
  for (int round = 0; round < kRounds; ++round) {
    THidDevice* device = nullptr;
    ASSERT_TRUE(controller->CheckOut(device)) << "round " << round;
    device->SetOnDataError({&rec, &Recorder::OnError});
    const std::size_t seen = rec.data.size();
    ASSERT_TRUE(WaitFor([&] { return rec.data.size() > seen; })) << "round " << round;
    switch (round % 4) {
      case 0:
        controller->CheckIn(device);
        break;
      case 1:
        delete device;
        break;
      case 2:  // unplugged while held, then checked in
        Unplug(*iface);
        controller->CheckIn(device);
        Replug(*iface);
        break;
      default:  // unplugged while held, re-plugged beside it, then destroyed
        Unplug(*iface);
        Replug(*iface);
        QCoreApplication::processEvents();
        delete device;
        break;
    }
    ASSERT_EQ(Counters(), (std::vector<int>{1, 0, 0})) << "round " << round;
  }
  streaming = false;
  feeder.join();
  for (const auto& report : rec.data) EXPECT_EQ(report.reportId, 1);
}

}  // namespace
}  // namespace hidtest
