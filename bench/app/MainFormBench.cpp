// The settings window fed by the virtual pedal set, on whatever Qt platform is chosen
// (QT_QPA_PLATFORM=offscreen, or a real or virtual X display):
//   bench_main_form [--reports N] [--seconds S] [--rounds R] [--warm-up W]
//   bench_main_form --frames F
// 1. Full path, as fast as the hand-off allows: N positions reports, each read
//    by the reading thread, handed to the main thread, decoded and shown on three pedals.
//    Prints reports per second and the main thread's CPU time per report.
// 2. The floor and the window at the pedal set's own rate (1 kHz), R rounds of S seconds each,
//    in a real event loop as the program runs it, after W seconds (30 unless told) of the window
//    alone at that rate: in its first half minute a window meets most of its value texts for the
//    first time and lays each one out once, a cost of its start and not of a report. The rounds
//    measure a window past that; the warm-up's own cost is printed before them. The floor is the
//    least this architecture can cost: the same virtual pedal set, reading thread and blocking
//    hand-off into the same event loop, with a handler that does nothing. Prints the window
//    thread's CPU share of one core, the floor's and their ratio per round and as medians,
//    reports shown per second and the longest gap between two of them.
// 3. High report rates (1, 2, 4 and 8 kHz, S seconds each), the floor and then the window:
//    reports shown per second, the deepest queue of reports waiting for the reading thread, and
//    the reports the pedal set had to hold back because that queue was full.
// With --frames, only this: F times, 16 reports through the window and then exactly one frame,
// paced by the program's own frame clock (CountedFrames). Its instructions do not depend on the
// machine's speed: run under callgrind, with collection toggled on CountedFrames, twice with
// different F, the difference per frame is what one frame and its 16 reports cost the window's
// thread, comparable between two builds on a machine whose timings are too noisy to be.
// CPU times are per thread, from the scheduler's accounting (ThreadCpu.h). Beside each stretch:
// the time the host of this virtual machine kept its cores from it (MachineCpu.h), to which a
// lost report on a shared machine is often owed more than to the program.

#include <unistd.h>

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "MachineCpu.h"
#include "PaintPacer.h"
#include "TApplication.h"
#include "TMainForm.h"
#include "TPanel.h"
#include "ThreadCpu.h"
#include "hid/THidDeviceController.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"
#include "sim/OtherVirtualDevices.h"
#include "sim/VirtualPedalSet.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kReadingThread[] = "THidDeviceRead";
constexpr char kPedalSetThread[] = "VirtualPedalSet";

double Percent(double cpuSeconds, double wallSeconds) { return cpuSeconds / wallSeconds * 100.0; }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

long PeakResidentKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
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

// What one measured stretch cost, per thread, and how the reports came through.
struct Stretch {
  double seconds = 0;
  ThreadCpu main;
  ThreadCpu reading;
  ThreadCpu pedalSet;
  long handled = 0;
  std::uint64_t heldBack = 0;
  double longestGapMs = 0;
  std::size_t deepestQueue = 0;
  double stealSeconds = 0;  // time the host kept this machine's cores from it
};

// Counts what reaches the main thread and how long it waited for the next report.
struct ArrivalLog {
  long handled = 0;
  Clock::time_point last;
  Clock::duration longestGap{};
  std::size_t deepestQueue = 0;
  hidplatform::VirtualInterface* watchedQueue = nullptr;  // sampled per report when set

  void Reset() {
    handled = 0;
    last = Clock::now();
    longestGap = {};
    deepestQueue = 0;
  }
  void Arrived() {
    ++handled;
    const auto now = Clock::now();
    longestGap = std::max(longestGap, now - last);
    last = now;
    if (watchedQueue != nullptr) {
      deepestQueue = std::max(deepestQueue, watchedQueue->PendingInputReports());
    }
  }
};

// Streams the pedal set for `seconds` after a short settling time and measures the stretch.
Stretch Measure(sim::VirtualPedalSet& pedals, ArrivalLog& log, int seconds) {
  pedals.StartMoving();
  RunEventLoop(300);
  const ThreadCpuTable before = ReadThreadCpu();
  const MachineCpu machineBefore = ReadMachineCpu();
  const std::uint64_t heldBackBefore = pedals.ReportsHeldBack();
  log.Reset();
  QElapsedTimer wall;
  wall.start();
  RunEventLoop(seconds * 1000);
  Stretch s;
  s.seconds = static_cast<double>(wall.nsecsElapsed()) * 1e-9;
  const ThreadCpuTable after = ReadThreadCpu();
  s.stealSeconds = MachineCpuBetween(machineBefore, ReadMachineCpu()).stealSeconds;
  s.handled = log.handled;
  s.longestGapMs = std::chrono::duration<double, std::milli>(log.longestGap).count();
  s.deepestQueue = log.deepestQueue;
  s.heldBack = pedals.ReportsHeldBack() - heldBackBefore;
  pedals.StopMoving();
  s.main = CpuBetween(before, after, getpid());
  s.reading = CpuBetween(before, after, kReadingThread);
  s.pedalSet = CpuBetween(before, after, kPedalSetThread);
  return s;
}

// The window on a virtual pedal set of its own.
struct WindowSetup {
  std::shared_ptr<hidplatform::VirtualHidPlatform> platform =
      std::make_shared<hidplatform::VirtualHidPlatform>();
  std::unique_ptr<sim::VirtualPedalSet> pedals;
  std::unique_ptr<TMainForm> form;
  ArrivalLog log;

  bool ConnectAndGoLive(int reportRateHz) {
    sim::AddVirtualKeyboard(*platform);
    sim::AddVirtualMouse(*platform);
    sim::VirtualPedalSet::Options options;
    options.reportRateHz = reportRateHz;
    pedals = std::make_unique<sim::VirtualPedalSet>(*platform, options);
    pedals->PlugIn();
    form = std::make_unique<TMainForm>(platform);
    form->Link.OnReadoutDue.Add([this] { log.Arrived(); });
    form->ShowCentred();
    if (!QTest::qWaitFor([&] { return form->Link.PedalsDevice() != nullptr; }, 10000)) return false;
    for (int i = 0; i < 100 && form->SplashPanel->isVisible(); ++i) {
      pedals->SendReports(1);
      if (!QTest::qWaitFor([&] { return pedals->HostCaughtUp(); }, 10000)) return false;
    }
    return !form->SplashPanel->isVisible();
  }
};

// The floor: the same pedal set, reading thread and hand-off, and a handler that only counts.
struct FloorSetup {
  std::shared_ptr<hidplatform::VirtualHidPlatform> platform =
      std::make_shared<hidplatform::VirtualHidPlatform>();
  std::unique_ptr<sim::VirtualPedalSet> pedals;
  std::unique_ptr<THidDeviceController> controller;
  THidDevice* device = nullptr;
  ArrivalLog log;

  void OnData(THidDevice*, std::uint8_t, const std::uint8_t*, std::uint16_t) { log.Arrived(); }

  bool CheckOut(int reportRateHz = 1000) {
    sim::VirtualPedalSet::Options options;
    options.reportRateHz = reportRateHz;
    pedals = std::make_unique<sim::VirtualPedalSet>(*platform, options);
    pedals->PlugIn();
    THidDeviceController::TStoredProperties events;
    events.OnDeviceData = THidDataEvent(this, &FloorSetup::OnData);
    controller = std::make_unique<THidDeviceController>(platform, events);
    QCoreApplication::processEvents();  // the controller's first scan
    return controller->CheckOut(device);
  }
  ~FloorSetup() {
    if (device != nullptr) controller->CheckIn(device);
  }
};

void MeasureFullPath(WindowSetup& s, long reports) {
  // The pedal set's host buffer holds 64 reports: a feeder thread tops it up every 200 us, so
  // the reading thread never waits for input and the hand-off sets the pace. The feeder sleeps
  // between top-ups, as a device costs the host no CPU: spinning on a yield instead kept one of
  // this 2-core machine's cores from the two threads being measured.
  constexpr int kTopUpTo = 60;  // below the 64 the buffer holds, so nothing is held back
  const long target = s.log.handled + reports;
  std::atomic<bool> stop{false};
  const ThreadCpuTable before = ReadThreadCpu();
  const MachineCpu machineBefore = ReadMachineCpu();
  QElapsedTimer wall;
  wall.start();
  std::thread feeder([&] {
    while (!stop.load(std::memory_order_relaxed)) {
      const auto pending = static_cast<int>(s.pedals->Interface().PendingInputReports());
      if (pending < kTopUpTo) s.pedals->SendReports(kTopUpTo - pending);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  while (s.log.handled < target) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const double seconds = static_cast<double>(wall.nsecsElapsed()) * 1e-9;
  const double cpu = CpuBetween(before, ReadThreadCpu(), getpid()).seconds;
  const double steal = MachineCpuBetween(machineBefore, ReadMachineCpu()).stealSeconds;
  stop = true;
  feeder.join();
  const double handled = static_cast<double>(reports);
  std::printf(
      "full path: %ld reports in %.3f s = %.0f reports/s; main thread %.2f us CPU/report; host "
      "steal %.1f %% of a core\n",
      reports, seconds, handled / seconds, cpu / handled * 1e6, Percent(steal, seconds));
}

double PerReport(long count, const Stretch& s) {
  return s.handled > 0 ? static_cast<double>(count) / static_cast<double>(s.handled) : 0;
}

std::string StolenByTheHost(const Stretch& s) {
  char text[64];
  std::snprintf(text, sizeof text, "host steal %.1f %% of a core",
                Percent(s.stealSeconds, s.seconds));
  return text;
}

void PrintStretch(const char* what, const Stretch& s) {
  std::printf(
      "  %-6s %6.0f reports/s, longest gap %5.1f ms; CPU %% of a core: main thread %5.2f, "
      "reading thread %5.2f, virtual pedal set %5.2f; wake-ups per report: main thread %.2f, "
      "reading thread %.2f; %s\n",
      what, static_cast<double>(s.handled) / s.seconds, s.longestGapMs,
      Percent(s.main.seconds, s.seconds), Percent(s.reading.seconds, s.seconds),
      Percent(s.pedalSet.seconds, s.seconds), PerReport(s.main.sleeps, s),
      PerReport(s.reading.sleeps, s), StolenByTheHost(s).c_str());
}

void WarmUp(WindowSetup& window, int seconds) {
  if (seconds <= 0) return;
  const Stretch w = Measure(*window.pedals, window.log, seconds);
  std::printf("warm-up, the window alone at 1 kHz for %d s: main thread %.2f %% of a core; %s\n",
              seconds, Percent(w.main.seconds, w.seconds), StolenByTheHost(w).c_str());
}

void MeasureAgainstTheFloor(WindowSetup& window, FloorSetup& floor, int rounds, int seconds) {
  std::printf("at 1 kHz, the window against the floor (%d rounds of %d s, platform %s):\n", rounds,
              seconds, qPrintable(QGuiApplication::platformName()));
  std::vector<double> windowShares, floorShares, ratios, gaps, shown;
  for (int round = 1; round <= rounds; ++round) {
    const Stretch f = Measure(*floor.pedals, floor.log, seconds);
    const Stretch w = Measure(*window.pedals, window.log, seconds);
    std::printf(" round %d:\n", round);
    PrintStretch("floor", f);
    PrintStretch("window", w);
    const double windowShare = Percent(w.main.seconds, w.seconds);
    const double floorShare = Percent(f.main.seconds, f.seconds);
    std::printf("  window thread / floor: %.2f\n", windowShare / floorShare);
    windowShares.push_back(windowShare);
    floorShares.push_back(floorShare);
    ratios.push_back(windowShare / floorShare);
    gaps.push_back(w.longestGapMs);
    shown.push_back(static_cast<double>(w.handled) / w.seconds);
  }
  std::printf(
      "median: window thread %.2f %% of a core, floor %.2f %%, ratio %.2f; window shows %.0f "
      "reports/s, longest gap %.1f ms\n",
      Median(windowShares), Median(floorShares), Median(ratios), Median(shown), Median(gaps));
}

void PrintHighRate(const char* what, int rate, const Stretch& s) {
  std::printf(
      "  %4d Hz %-6s %6.0f reports/s shown, deepest queue %2zu of 64, held back %llu; main "
      "thread %5.2f %%, reading thread %5.2f %%; wake-ups per report: main %.2f, reading %.2f; "
      "%s\n",
      rate, what, static_cast<double>(s.handled) / s.seconds, s.deepestQueue,
      static_cast<unsigned long long>(s.heldBack), Percent(s.main.seconds, s.seconds),
      Percent(s.reading.seconds, s.seconds), PerReport(s.main.sleeps, s),
      PerReport(s.reading.sleeps, s), StolenByTheHost(s).c_str());
}

// The floor at each rate too: what it loses, the machine loses (a core held by something else
// for longer than the 64-report buffer lasts), not the window's work.
void MeasureHighRates(int seconds) {
  std::printf("high report rates (%d s each):\n", seconds);
  for (const int rate : {1000, 2000, 4000, 8000}) {
    {
      FloorSetup floor;
      if (!floor.CheckOut(rate)) {
        std::printf("  %d Hz: the floor found no device to check out\n", rate);
        continue;
      }
      floor.log.watchedQueue = &floor.pedals->Interface();
      PrintHighRate("floor", rate, Measure(*floor.pedals, floor.log, seconds));
    }
    WindowSetup s;
    if (!s.ConnectAndGoLive(rate)) {
      std::printf("  %d Hz: the window did not go live\n", rate);
      continue;
    }
    s.log.watchedQueue = &s.pedals->Interface();
    PrintHighRate("window", rate, Measure(*s.pedals, s.log, seconds));
  }
}

// Counts the paint events of one widget.
struct PaintCount : QObject {
  long paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Each round sends 16 reports, waits until the window has handled them, lets a frame's time
// pass and paints the frame the pacer held back.
void HandReportsAndPaint(WindowSetup& s, int rounds) {
  for (int i = 0; i < rounds; ++i) {
    const long target = s.log.handled + 16;
    s.pedals->SendReports(16);
    while (s.log.handled < target) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::this_thread::sleep_for(std::chrono::milliseconds(PaintPacer::kFrameMilliseconds + 4));
    QCoreApplication::processEvents();  // the pacer's timer asks for the frame
    QCoreApplication::processEvents();  // the frame
  }
}

// Never inlined: callgrind's --toggle-collect names it.
__attribute__((noinline)) void CountedFrames(WindowSetup& s, int frames) {
  HandReportsAndPaint(s, frames);
}

void CountFrames(WindowSetup& window, int frames) {
  PaintCount barPaints;
  window.form->TrProgressBar->installEventFilter(&barPaints);
  HandReportsAndPaint(window, 20);  // settles the window's caches and the pedal motion
  const long paintsBefore = barPaints.paints;
  const long handledBefore = window.log.handled;
  CountedFrames(window, frames);
  std::printf("%d rounds of 16 reports: %ld frames painted, %ld reports handled\n", frames,
              barPaints.paints - paintsBefore, window.log.handled - handledBefore);
}
}  // namespace

int main(int argc, char** argv) {
  long reports = 100000;
  int seconds = 5;
  int rounds = 3;
  int frames = 0;
  int warmUp = 30;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--frames") == 0) frames = std::stoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--reports") == 0) reports = std::stol(argv[i + 1]);
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::stoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::stoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--warm-up") == 0) warmUp = std::stoi(argv[i + 1]);
  }
  TApplication app(argc, argv);  // the program's own, which sets up its painting
  {
    WindowSetup window;
    if (!window.ConnectAndGoLive(1000)) {
      std::fprintf(stderr, "the window did not go live on the virtual pedal set\n");
      return 1;
    }
    if (frames > 0) {
      CountFrames(window, frames);
      return 0;
    }
    if (reports > 0) MeasureFullPath(window, reports);
    FloorSetup floor;
    if (!floor.CheckOut()) {
      std::fprintf(stderr, "the floor found no device to check out\n");
      return 1;
    }
    if (seconds > 0 && rounds > 0) {
      WarmUp(window, warmUp);
      MeasureAgainstTheFloor(window, floor, rounds, seconds);
    }
  }
  if (seconds > 0) MeasureHighRates(seconds);
  std::printf("peak resident %.1f MB\n", static_cast<double>(PeakResidentKilobytes()) / 1024.0);
  return 0;
}
