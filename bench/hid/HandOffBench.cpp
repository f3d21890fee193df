// Measures the reading thread's hand-off on the virtual platform:
// - throughput: reports delivered to the main thread's handler per second while a feeder keeps
//   the device's input queue full;
// - delay: from the moment the reading thread's read completes to the start of the handler on
//   the main thread, one report at a time; median and 99th percentile. Printed beside it, the
//   delay from queueing the report, which adds the device side's wake-up of the reading thread.
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "hid/THidDeviceController.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"

namespace {

using Clock = std::chrono::steady_clock;
using hidplatform::VirtualHidPlatform;
using hidplatform::VirtualInterface;

constexpr int kThroughputReports = 200000;
constexpr int kDelayReports = 20000;
constexpr std::uint16_t kReportLength = 16;

std::int64_t Now() { return Clock::now().time_since_epoch().count(); }

std::vector<std::uint8_t> StampedReport() {
  std::vector<std::uint8_t> report(kReportLength, 0);
  report[0] = 1;
  const std::int64_t now = Now();
  std::memcpy(report.data() + 1, &now, sizeof now);
  return report;
}

struct Sink {
  int received = 0;
  int target = 0;
  std::vector<double> delaysUs;        // from the completed read
  std::vector<double> queuedDelaysUs;  // from queueing the report
  bool recordDelay = false;
  std::atomic<std::int64_t> readCompletedAt{0};

  void OnData(THidDevice*, std::uint8_t, const std::uint8_t* data, std::uint16_t size) {
    const std::int64_t now = Now();
    if (recordDelay && size >= sizeof(std::int64_t)) {
      std::int64_t queuedAt = 0;
      std::memcpy(&queuedAt, data, sizeof queuedAt);
      queuedDelaysUs.push_back(static_cast<double>(now - queuedAt) / 1000.0);
      delaysUs.push_back(static_cast<double>(now - readCompletedAt.load()) / 1000.0);
    }
    if (++received == target) QCoreApplication::quit();
  }
};

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[index];
}

void RunThroughput(Sink& sink, VirtualInterface& iface) {
  sink.received = 0;
  sink.target = kThroughputReports;
  std::atomic<bool> feeding{true};
  std::thread feeder([&] {
    const std::vector<std::uint8_t> report = StampedReport();
    while (feeding) {
      if (iface.PendingInputReports() < 64) {
        iface.QueueInputReport(report);
      } else {
        std::this_thread::yield();
      }
    }
  });
  const auto start = Clock::now();
  QCoreApplication::exec();
  const std::chrono::duration<double> elapsed = Clock::now() - start;
  feeding = false;
  feeder.join();
  std::printf("throughput: %d reports in %.3f s = %.0f reports/s\n", sink.received, elapsed.count(),
              sink.received / elapsed.count());
}

void PrintDelays(const char* from, const std::vector<double>& delaysUs) {
  std::printf(
      "delay from %s to handler start over %zu reports: median %.1f us, 99th percentile %.1f us, "
      "max %.1f us\n",
      from, delaysUs.size(), Percentile(delaysUs, 0.5), Percentile(delaysUs, 0.99),
      Percentile(delaysUs, 1.0));
}

// Lets the reading thread deliver what is still queued, until it waits for a new report.
void Drain(VirtualInterface& iface) {
  while (iface.PendingInputReports() > 0 ||
         !iface.WaitUntilReadOutstanding(std::chrono::milliseconds(0))) {
    QCoreApplication::processEvents();
  }
  QCoreApplication::processEvents();
}

void RunDelay(Sink& sink, VirtualInterface& iface) {
  Drain(iface);
  sink.received = 0;
  sink.target = kDelayReports;
  sink.recordDelay = true;
  sink.delaysUs.reserve(kDelayReports);
  sink.queuedDelaysUs.reserve(kDelayReports);
  iface.SetReadCompletionObserver([&sink] { sink.readCompletedAt.store(Now()); });
  std::thread feeder([&] {
    for (int i = 0; i < kDelayReports; ++i) {
      // The reading thread waits for its next read only once the previous handler has run.
      while (!iface.WaitUntilReadOutstanding(std::chrono::seconds(1))) {
      }
      while (iface.PendingInputReports() > 0) std::this_thread::yield();
      iface.QueueInputReport(StampedReport());
    }
  });
  QCoreApplication::exec();
  feeder.join();
  iface.SetReadCompletionObserver(nullptr);
  PrintDelays("completed read", sink.delaysUs);
  PrintDelays("queued report", sink.queuedDelaysUs);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  auto platform = std::make_shared<VirtualHidPlatform>();
  hidplatform::VirtualInterfaceSpec spec;
  spec.Attributes = {0x0483, 0x574E, 0x0100};
  spec.Product = "Bench";
  spec.Caps.InputReportByteLength = kReportLength;
  auto iface = platform->AddInterface(spec);

  Sink sink;
  THidDeviceController::TStoredProperties stored;
  stored.OnDeviceData = {&sink, &Sink::OnData};
  THidDeviceController controller(platform, stored);
  QCoreApplication::processEvents();
  THidDevice* device = nullptr;
  if (!controller.CheckOut(device)) {
    std::fprintf(stderr, "no device to check out\n");
    return 1;
  }
  RunThroughput(sink, *iface);
  RunDelay(sink, *iface);
  controller.CheckIn(device);
  return 0;
}
