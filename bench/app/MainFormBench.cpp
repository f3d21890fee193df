// The settings window fed by the virtual pedal set, on whatever Qt platform is chosen
// (QT_QPA_PLATFORM=offscreen, or a real or virtual X display):
//   bench_main_form [--reports N] [--seconds S]
// 1. Full path, as fast as the hand-off allows: N positions reports, each read
//    by the reading thread, handed to the main thread, decoded and shown on three pedals.
//    Prints reports per second and the main thread's CPU time per report.
// 2. At the pedal set's own rate (1 kHz) for S seconds, in a real event loop as the program runs
//    it: reports shown per second, the longest gap between two of them, the process's CPU share
//    of one core and its peak resident memory.

#include <sys/resource.h>

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "TMainForm.h"
#include "TPanel.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"
#include "sim/OtherVirtualDevices.h"
#include "sim/VirtualPedalSet.h"

namespace {

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long PeakResidentKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// CPU ticks (user + system) of each thread of this process, by thread id.
std::map<long, long> ThreadTicks() {
  std::map<long, long> ticks;
  for (const QString& tid : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile stat("/proc/self/task/" + tid + "/stat");
    if (!stat.open(QIODevice::ReadOnly)) continue;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which stands in parentheses and may hold blanks.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() > 12) ticks[tid.toLong()] = fields[11].toLong() + fields[12].toLong();
  }
  return ticks;
}

struct Setup {
  std::shared_ptr<hidplatform::VirtualHidPlatform> platform =
      std::make_shared<hidplatform::VirtualHidPlatform>();
  std::unique_ptr<sim::VirtualPedalSet> pedals;
  std::unique_ptr<TMainForm> form;
  long readouts = 0;
  std::chrono::steady_clock::time_point lastReadout;
  std::chrono::steady_clock::duration longestGap{};

  bool ConnectAndGoLive() {
    sim::AddVirtualKeyboard(*platform);
    sim::AddVirtualMouse(*platform);
    pedals = std::make_unique<sim::VirtualPedalSet>(*platform);
    pedals->PlugIn();
    form = std::make_unique<TMainForm>(platform);
    form->Link.OnReadoutDue.Add([this] {
      ++readouts;
      const auto now = std::chrono::steady_clock::now();
      longestGap = std::max(longestGap, now - lastReadout);
      lastReadout = now;
    });
    form->ShowCentred();
    if (!QTest::qWaitFor([&] { return form->Link.PedalsDevice() != nullptr; }, 10000)) return false;
    for (int i = 0; i < 100 && form->SplashPanel->isVisible(); ++i) {
      pedals->SendReports(1);
      if (!QTest::qWaitFor([&] { return pedals->HostCaughtUp(); }, 10000)) return false;
    }
    return !form->SplashPanel->isVisible();
  }
};

void MeasureFullPath(Setup& s, long reports) {
  // The pedal set's host buffer holds a few dozen reports: a feeder thread keeps it topped up,
  // so the reading thread never waits for input and the hand-off sets the pace.
  const long target = s.readouts + reports;
  std::atomic<bool> stop{false};
  const double cpuBefore = ThreadCpuSeconds();
  QElapsedTimer wall;
  wall.start();
  std::thread feeder([&] {
    while (!stop.load(std::memory_order_relaxed)) {
      if (s.pedals->Interface().PendingInputReports() < 32) {
        s.pedals->SendReports(1);
      } else {
        std::this_thread::yield();
      }
    }
  });
  while (s.readouts < target) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const double seconds = static_cast<double>(wall.nsecsElapsed()) * 1e-9;
  const double cpu = ThreadCpuSeconds() - cpuBefore;
  stop = true;
  feeder.join();
  const double handled = static_cast<double>(reports);
  std::printf("full path: %ld reports in %.3f s = %.0f reports/s; main thread %.2f us CPU/report\n",
              reports, seconds, handled / seconds, cpu / handled * 1e6);
}

// Runs the event loop the way QApplication::exec does. QTest::qWait would not do: it sleeps
// 10 ms between its passes over the events, during which the reading thread waits in its
// hand-off and the pedal set's 64-report buffer fills, so the set holds reports back (about 20 %
// of them under Xvfb) that the program itself would show.
void RunEventLoop(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void MeasureAtPedalRate(Setup& s, int seconds) {
  const std::map<long, long> before = ThreadTicks();  // the virtual pedal set's thread is new
  s.pedals->StartMoving();
  RunEventLoop(500);  // settle
  std::map<long, long> ticksBefore = ThreadTicks();
  const long readoutsBefore = s.readouts;
  const double cpuBefore = ProcessCpuSeconds();
  const double mainCpuBefore = ThreadCpuSeconds();
  s.lastReadout = std::chrono::steady_clock::now();
  s.longestGap = {};
  QElapsedTimer wall;
  wall.start();
  RunEventLoop(seconds * 1000);
  const double elapsed = static_cast<double>(wall.nsecsElapsed()) * 1e-9;
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  const double mainCpu = ThreadCpuSeconds() - mainCpuBefore;
  double deviceCpu = 0;
  for (const auto& [tid, ticks] : ThreadTicks()) {
    if (!before.contains(tid) && ticksBefore.contains(tid)) {
      deviceCpu +=
          static_cast<double>(ticks - ticksBefore[tid]) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
  }
  s.pedals->StopMoving();
  std::printf(
      "at 1 kHz: %.0f reports/s shown for %.1f s, longest gap %.1f ms; process CPU %.1f %% of one "
      "core, of which "
      "the virtual pedal set's own thread %.1f %% and the window's thread %.1f %%; "
      "peak resident %.1f MB (platform %s)\n",
      static_cast<double>(s.readouts - readoutsBefore) / elapsed, elapsed,
      std::chrono::duration<double, std::milli>(s.longestGap).count(), cpu / elapsed * 100.0,
      deviceCpu / elapsed * 100.0, mainCpu / elapsed * 100.0,
      static_cast<double>(PeakResidentKilobytes()) / 1024.0,
      qPrintable(QGuiApplication::platformName()));
}

}  // namespace

int main(int argc, char** argv) {
  long reports = 100000;
  int seconds = 10;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--reports") == 0) reports = std::stol(argv[i + 1]);
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::stoi(argv[i + 1]);
  }
  QApplication app(argc, argv);
  Setup setup;
  if (!setup.ConnectAndGoLive()) {
    std::fprintf(stderr, "the window did not go live on the virtual pedal set\n");
    return 1;
  }
  if (reports > 0) MeasureFullPath(setup, reports);
  if (seconds > 0) MeasureAtPedalRate(setup, seconds);
  setup.form.reset();
  return 0;
}
