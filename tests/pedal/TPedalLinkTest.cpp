// The pedal link against the virtual pedal set, through the real transport: the controller's
// pass, the reading thread, the hand-off to the main thread and back out to the pedal set.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "hid/THidDevice.h"
#include "hid/THidDeviceController.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"
#include "pedal/TPedalLink.h"
#include "sim/OtherVirtualDevices.h"
#include "sim/VirtualPedalSet.h"

namespace {

constexpr int kGenerousTimeoutMs = 20000;

bool WaitUntil(const std::function<bool()>& condition) {
  return QTest::qWaitFor(condition, kGenerousTimeoutMs);
}

std::size_t CountOf(const std::vector<std::uint8_t>& codes, std::uint8_t code) {
  return static_cast<std::size_t>(std::count(codes.begin(), codes.end(), code));
}

class PedalLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AttachLoggingReactions();
    link.FormCreate();
  }

  void TearDown() override {
    pedals->StopMoving();
    impostor->StopMoving();
    // The window's order: release the pedal set, then the controller goes.
    link.FormCloseQuery();
    controller.reset();
  }

  // Two reactions per notification, so their order shows.
  void AttachLoggingReactions() {
    const std::pair<TLinkNotification*, std::string> notifications[] = {
        {&link.OnSettingsTaken, "SettingsTaken"},
        {&link.OnSettingsDumpTaken, "SettingsDumpTaken"},
        {&link.OnPositionsReceived, "PositionsReceived"},
        {&link.OnPositionsDecoded, "PositionsDecoded"},
        {&link.OnReadoutDue, "ReadoutDue"},
        {&link.OnConnectionLost, "ConnectionLost"}};
    for (const auto& [notification, name] : notifications) {
      notification->Add([this, name] { log.push_back(name + "#1"); });
      notification->Add([this, name] { log.push_back(name + "#2"); });
    }
  }

  // Creates the controller as the window does; its start-up pass runs when the loop turns.
  void StartController() {
    controller = std::make_unique<THidDeviceController>(platform, link.ControllerEvents());
  }

  void StartWithPedalsAttached() {
    pedals->PlugIn();
    StartController();
    ASSERT_TRUE(WaitUntil([&] { return link.PedalsDevice() != nullptr; }));
  }

  // Steps the pedal set by `count` reports and waits until the link has handled them all.
  void Step(sim::VirtualPedalSet& set, int count = 1) {
    for (int i = 0; i < count; ++i) {
      set.SendReports(1);
      ASSERT_TRUE(WaitUntil([&] { return set.HostCaughtUp(); }));
    }
  }

  void QueueRaw(sim::VirtualPedalSet& set, std::vector<std::uint8_t> report) {
    set.Interface().QueueInputReport(std::move(report));
    ASSERT_TRUE(WaitUntil([&] { return set.HostCaughtUp(); }));
  }

  // A settings dump as `set` would send it, but with the brake constant in tenths changed.
  static std::vector<std::uint8_t> DumpOf(const sim::VirtualPedalSet& set,
                                          std::uint8_t brakeTenths) {
    const sim::SettingsData settings = set.Settings();
    // Sized first, then filled: g++ 12 -O3 (MinGW) misreads an insert behind one byte as a
    // write out of bounds.
    std::vector<std::uint8_t> dump(1 + settings.size());
    dump[0] = 3;
    std::copy(settings.begin(), settings.end(), dump.begin() + 1);
    dump[1] = 0xD2;
    dump[2] = brakeTenths;
    return dump;
  }

  void StepUntilLoaded() {
    for (int i = 0; i < 40 && !link.SettingsLoaded; ++i) Step(*pedals);
    ASSERT_TRUE(link.SettingsLoaded);
  }

  std::size_t LogCount(const std::string& entry) const {
    return static_cast<std::size_t>(std::count(log.begin(), log.end(), entry));
  }

  std::shared_ptr<hidplatform::VirtualHidPlatform> platform =
      std::make_shared<hidplatform::VirtualHidPlatform>();
  std::unique_ptr<sim::VirtualPedalSet> pedals =
      std::make_unique<sim::VirtualPedalSet>(*platform, sim::VirtualPedalSet::Options{});
  std::unique_ptr<sim::VirtualPedalSet> impostor = sim::MakeImpostorPedalSet(*platform);
  TPedalLink link;
  std::unique_ptr<THidDeviceController> controller;
  std::vector<std::string> log;
};

TEST_F(PedalLinkTest, HandshakeOnLiveThreadsLoadsTheDumpAcknowledgesItAndShowsPositions) {
  pedals->PlugIn();
  pedals->StartMoving();
  StartController();
  ASSERT_TRUE(WaitUntil([&] { return LogCount("PositionsDecoded#2") >= 3; }));
  pedals->StopMoving();

  EXPECT_TRUE(link.SettingsLoaded);
  const auto received = pedals->ReceivedReports();
  ASSERT_GE(received.size(), 2u);
  EXPECT_EQ(received.front()[1], 209);
  const auto ack = std::find_if(received.begin(), received.end(),
                                [](const auto& report) { return report[1] == 211; });
  ASSERT_NE(ack, received.end());
  EXPECT_EQ(std::count_if(received.begin(), received.end(),
                          [](const auto& report) { return report[1] == 211; }),
            1);
  EXPECT_TRUE(std::all_of(ack + 1, received.end(), [](const auto& r) { return r[1] != 209; }));
  // The acknowledgement is the dump sent back: 64 bytes, id 2, code 211, every setting echoed.
  const sim::SettingsData settings = pedals->Settings();
  ASSERT_EQ(ack->size(), 64u);
  EXPECT_EQ((*ack)[0], 2);
  EXPECT_TRUE(std::equal(ack->begin() + 2, ack->end(), settings.begin() + 1));
  EXPECT_DOUBLE_EQ(link.Model.BrakeKgConst, settings[1] / 10.0);
  EXPECT_EQ(link.Model.BrakePedal.data.ProgressBarValMax, pedals->RawLimitsOf(1).max);
  EXPECT_GT(link.Model.BrakePedal.nPosition, 0);

  // Each notification's reactions run in the order attached, and the notifications in the
  // order of the data events: the dump is taken, and since the settings are loaded from that
  // moment its own event already refreshes the readout; then each positions report.
  const std::vector<std::string> expected = {
      "SettingsTaken#1",    "SettingsTaken#2",    "SettingsDumpTaken#1", "SettingsDumpTaken#2",
      "ReadoutDue#1",       "ReadoutDue#2",       "PositionsReceived#1", "PositionsReceived#2",
      "PositionsDecoded#1", "PositionsDecoded#2", "ReadoutDue#1",        "ReadoutDue#2"};
  ASSERT_GE(log.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 12), expected);
}

TEST_F(PedalLinkTest, SilentPedalSetGetsRequestsOnThe1st11thAnd21stDataEventOnly) {
  pedals = std::make_unique<sim::VirtualPedalSet>(*platform,
                                                  sim::VirtualPedalSet::Options{.dumpDelay = -1});
  StartWithPedalsAttached();
  std::vector<int> requestEvents;
  for (int event = 1; event <= 25; ++event) {
    const std::size_t before = CountOf(pedals->ReceivedCommands(), 209);
    Step(*pedals);
    if (CountOf(pedals->ReceivedCommands(), 209) > before) requestEvents.push_back(event);
  }
  EXPECT_EQ(requestEvents, (std::vector<int>{1, 11, 21}));
  EXPECT_EQ(link.DataEventCount, 5);  // kept to its phase: it cannot overflow
  EXPECT_FALSE(link.SettingsLoaded);
  EXPECT_TRUE(log.empty());  // no readout before the settings are loaded
}

TEST_F(PedalLinkTest, SettingsReportWithoutDumpStatusIsTakenButTheRequestsGoOn) {
  pedals = std::make_unique<sim::VirtualPedalSet>(*platform,
                                                  sim::VirtualPedalSet::Options{.dumpDelay = -1});
  StartWithPedalsAttached();
  Step(*pedals);  // data event 1: the first request
  std::vector<std::uint8_t> report(64, 0);
  report[0] = 3;
  report[1] = 0x01;           // not a dump
  report[2] = 25;             // brake constant 2.5
  report[3 + 19 + 3] = 0xA0;  // brake ProgressBarValMax, low byte
  report[3 + 19 + 4] = 0x0F;
  QueueRaw(*pedals, report);  // data event 2

  EXPECT_EQ(LogCount("SettingsTaken#2"), 1u);
  EXPECT_EQ(LogCount("SettingsDumpTaken#1"), 0u);
  EXPECT_FALSE(link.SettingsLoaded);
  EXPECT_DOUBLE_EQ(link.Model.BrakeKgConst, 2.5);
  EXPECT_EQ(link.Model.BrakePedal.data.ProgressBarValMax, 0x0FA0);
  EXPECT_EQ(CountOf(pedals->ReceivedCommands(), 211), 0u);

  // The settings report counted as a data event of the cycle: the next request is the 11th's.
  Step(*pedals, 8);
  EXPECT_EQ(CountOf(pedals->ReceivedCommands(), 209), 1u);
  Step(*pedals);
  EXPECT_EQ(CountOf(pedals->ReceivedCommands(), 209), 2u);
  // It carried the received values back, with the request's code.
  EXPECT_EQ(pedals->ReceivedReports().back()[2], 25);
  EXPECT_EQ(pedals->ReceivedReports().back()[3 + 19 + 3], 0xA0);
}

TEST_F(PedalLinkTest, PositionsAreDecodedOnlyOnceLoaded) {
  StartWithPedalsAttached();
  pedals->HoldPedals(sim::RawPositions{0x1234, 0x0222, 0x0333});
  Step(*pedals);
  EXPECT_EQ(link.Model.ThrottlePedal.nPosition, 0);
  StepUntilLoaded();
  EXPECT_EQ(LogCount("PositionsReceived#1"), 0u);

  Step(*pedals);
  EXPECT_EQ(link.Model.ThrottlePedal.nPosition, 4660);
  EXPECT_EQ(link.Model.BrakePedal.nPosition, 0x0222);
  EXPECT_EQ(link.Model.ClutchPedal.nPosition, 0x0333);
  EXPECT_EQ(LogCount("PositionsReceived#1"), 1u);
}

TEST_F(PedalLinkTest, DumpArrivingWhileLoadedIsNotTakenButStillRefreshesTheReadout) {
  StartWithPedalsAttached();
  StepUntilLoaded();
  const PedalData brakeBefore = link.Model.BrakePedal.data;
  const std::size_t readouts = LogCount("ReadoutDue#1");

  std::vector<std::uint8_t> dump(64, 0x77);
  dump[0] = 3;
  dump[1] = 0xD2;
  QueueRaw(*pedals, dump);

  EXPECT_EQ(link.Model.BrakePedal.data, brakeBefore);
  EXPECT_EQ(CountOf(pedals->ReceivedCommands(), 211), 1u);
  EXPECT_EQ(LogCount("SettingsTaken#1"), 1u);
  EXPECT_EQ(LogCount("ReadoutDue#1"), readouts + 1);
}

TEST_F(PedalLinkTest, ClearingSettingsLoadedRequestsAtTheVeryNextEventAndPausesTheReadout) {
  StartWithPedalsAttached();
  StepUntilLoaded();
  const std::size_t requests = CountOf(pedals->ReceivedCommands(), 209);
  const std::size_t readouts = LogCount("ReadoutDue#1");

  link.SettingsLoaded = false;  // "Read Settings"
  Step(*pedals);
  EXPECT_EQ(CountOf(pedals->ReceivedCommands(), 209), requests + 1);
  EXPECT_EQ(pedals->ReceivedCommands().back(), 209);
  EXPECT_EQ(LogCount("ReadoutDue#1"), readouts);

  StepUntilLoaded();
  EXPECT_EQ(CountOf(pedals->ReceivedCommands(), 211), 2u);
}

TEST_F(PedalLinkTest, UnplugRaisesConnectionLostReleasesTheSetAndReplugRunsTheHandshakeAgain) {
  pedals->PlugIn();
  pedals->StartMoving();
  StartController();
  ASSERT_TRUE(WaitUntil([&] { return LogCount("PositionsDecoded#1") >= 1; }));
  bool deviceHeldWhenLost = false;
  link.OnConnectionLost.Add([&] { deviceHeldWhenLost = link.PedalsDevice() != nullptr; });

  pedals->Unplug();  // the device-change notification runs the pass on this thread
  const std::uint16_t lastBrake = link.Model.BrakePedal.nPosition;
  EXPECT_EQ(LogCount("ConnectionLost#1"), 1u);
  const auto lost = std::find(log.begin(), log.end(), "ConnectionLost#1");
  ASSERT_NE(lost + 1, log.end());
  EXPECT_EQ(*(lost + 1), "ConnectionLost#2");
  EXPECT_TRUE(deviceHeldWhenLost);  // raised first, then the device is let go
  EXPECT_EQ(link.PedalsDevice(), nullptr);
  EXPECT_FALSE(link.SettingsLoaded);
  EXPECT_EQ(controller->NumCheckedOutDevices(), 0);
  EXPECT_EQ(link.Model.BrakePedal.nPosition, lastBrake);  // the bars keep their last positions

  log.clear();
  pedals->PlugIn();
  ASSERT_TRUE(WaitUntil([&] { return LogCount("PositionsDecoded#1") >= 1; }));
  EXPECT_NE(link.PedalsDevice(), nullptr);
  EXPECT_EQ(CountOf(pedals->ReceivedCommands(), 211), 2u);
}

TEST_F(PedalLinkTest, DumpInFlightAtTheUnplugIsNotTakenAndTheReplugRunsAFreshHandshake) {
  StartWithPedalsAttached();
  Step(*pedals);  // the first request
  // The reading thread has read this dump and waits to hand it over when the unplug comes;
  // releasing the device still delivers it.
  pedals->Interface().QueueInputReport(DumpOf(*pedals, 20));
  ASSERT_TRUE(pedals->Interface().WaitUntilInputConsumed(std::chrono::seconds(20)));
  pedals->Unplug();
  EXPECT_FALSE(link.SettingsLoaded);
  EXPECT_EQ(LogCount("SettingsTaken#1"), 0u);
  EXPECT_DOUBLE_EQ(link.Model.BrakeKgConst, 0.0);

  const std::size_t before = pedals->ReceivedCommands().size();
  pedals->PlugIn();
  ASSERT_TRUE(WaitUntil([&] { return link.PedalsDevice() != nullptr; }));
  StepUntilLoaded();
  const std::vector<std::uint8_t> all = pedals->ReceivedCommands();
  const std::vector<std::uint8_t> afterReplug(all.begin() + static_cast<std::ptrdiff_t>(before),
                                              all.end());
  EXPECT_EQ(CountOf(afterReplug, 209), 1u);
  EXPECT_EQ(CountOf(afterReplug, 211), 1u);
  EXPECT_TRUE(pedals->Acknowledged());
  EXPECT_DOUBLE_EQ(link.Model.BrakeKgConst, pedals->Settings()[1] / 10.0);
}

TEST_F(PedalLinkTest, SameIdsDeviceBesideThePedalSetNeverLoadsSettingsIntoIt) {
  // Held alone, the other device runs the handshake with settings of its own.
  impostor->PlugIn();
  StartController();
  ASSERT_TRUE(WaitUntil([&] { return link.PedalsDevice() != nullptr; }));
  Step(*impostor);
  QueueRaw(*impostor, DumpOf(*impostor, 20));
  ASSERT_TRUE(link.SettingsLoaded);

  // The pedal set arrives and is held; the other device keeps streaming its own dumps.
  pedals->PlugIn();
  ASSERT_TRUE(WaitUntil([&] {
    return link.PedalsDevice() != nullptr &&
           link.PedalsDevice()->ProductName() == QLatin1String(kPedalSetProductName);
  }));
  for (int i = 0; i < 40 && !link.SettingsLoaded; ++i) {
    QueueRaw(*impostor, DumpOf(*impostor, 20));
    Step(*pedals);
  }
  ASSERT_TRUE(link.SettingsLoaded);
  EXPECT_TRUE(pedals->Acknowledged());
  EXPECT_DOUBLE_EQ(link.Model.BrakeKgConst, 1.5);
  QueueRaw(*impostor, DumpOf(*impostor, 20));

  const sim::SettingsData own = pedals->Settings();
  ASSERT_TRUE(link.SendCommand(PedalCommand::Update));
  EXPECT_EQ(pedals->Settings()[1], own[1]);
  for (const auto& report : pedals->ReceivedReports()) {
    if (report[1] == PedalCommand::Update || report[1] == PedalCommand::Acknowledge) {
      EXPECT_EQ(report[2], own[1]);
    }
  }
}

TEST_F(PedalLinkTest, ClosingIgnoresEveryLaterDataEvent) {
  pedals->PlugIn();
  impostor->PlugIn();  // both carry the pedal set's ids: both are checked out
  StartController();
  ASSERT_TRUE(WaitUntil([&] { return controller->NumCheckedOutDevices() == 2; }));
  // The link holds the one that arrived last; the other keeps its reading thread.
  const bool holdsImpostor =
      link.PedalsDevice()->ProductName() == QString::fromLatin1(sim::kImpostorProduct);
  sim::VirtualPedalSet& stillStreaming = holdsImpostor ? *pedals : *impostor;

  link.FormCloseQuery();
  const QString lastSender = link.joyPn;
  const std::size_t written = pedals->ReceivedReports().size() + impostor->ReceivedReports().size();
  Step(stillStreaming, 15);

  EXPECT_EQ(link.joyPn, lastSender);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(pedals->ReceivedReports().size() + impostor->ReceivedReports().size(), written);
}

TEST_F(PedalLinkTest, ImpostorTakesPartInTheHandshakeButNeverReachesTheReadout) {
  impostor->PlugIn();
  StartController();
  ASSERT_TRUE(WaitUntil([&] { return link.PedalsDevice() != nullptr; }));
  for (int i = 0; i < 40 && !link.SettingsLoaded; ++i) Step(*impostor);
  ASSERT_TRUE(link.SettingsLoaded);  // the request cycle does not look at the product string
  Step(*impostor, 5);

  EXPECT_EQ(link.joyPn, QString::fromLatin1(sim::kImpostorProduct));
  EXPECT_EQ(LogCount("PositionsReceived#1"), 0u);
  EXPECT_EQ(LogCount("ReadoutDue#1"), 0u);
  EXPECT_EQ(link.Model.ThrottlePedal.nPosition, 0);
}

TEST_F(PedalLinkTest, DeviceChangeEnumeratesAgainAndFindsThePedalSetAmongOthers) {
  sim::AddVirtualKeyboard(*platform);
  StartWithPedalsAttached();
  THidDevice* const found = link.PedalsDevice();
  int enumerated = 0;
  auto countingEnumerate = [&](THidDevice* device, std::int32_t index) {
    ++enumerated;
    return link.hidControllerEnumerate(device, index);
  };
  controller->SetOnEnumerate(THidEnumerateEvent::Callable(&countingEnumerate));

  sim::AddVirtualMouse(*platform);
  platform->RaiseDeviceChange();

  EXPECT_EQ(enumerated, 3);  // keyboard, pedal set, mouse
  EXPECT_EQ(link.PedalsDevice(), found);
  EXPECT_TRUE(found->IsCheckedOut());
  EXPECT_EQ(controller->NumCheckedOutDevices(), 1);
}

TEST_F(PedalLinkTest, SendCommandWritesAWholeOutputReportAndTellsWhetherItWent) {
  EXPECT_FALSE(link.SendCommand(PedalCommand::Update));  // no pedal set held
  StartWithPedalsAttached();
  ASSERT_TRUE(link.SendCommand(PedalCommand::Update));
  ASSERT_FALSE(pedals->ReceivedReports().empty());
  EXPECT_EQ(pedals->ReceivedReports().back().size(), 64u);
  EXPECT_EQ(pedals->ReceivedCommands().back(), PedalCommand::Update);

  pedals->Interface().SetWriteFails(true);
  EXPECT_FALSE(link.SendCommand(PedalCommand::ResetCalibration));
}

TEST_F(PedalLinkTest, ShortReportsAreIgnoredWithoutEndingTheHandshakeOrTheReadingThread) {
  StartWithPedalsAttached();
  Step(*pedals);  // the first request
  QueueRaw(*pedals, {3, 0xD2, 25});
  EXPECT_EQ(LogCount("SettingsTaken#1"), 0u);
  EXPECT_FALSE(link.SettingsLoaded);
  EXPECT_DOUBLE_EQ(link.Model.BrakeKgConst, 0.0);

  StepUntilLoaded();
  const std::uint16_t clutch = link.Model.ClutchPedal.nPosition;
  QueueRaw(*pedals, {1, 0x34, 0x12, 0x00});
  EXPECT_EQ(LogCount("PositionsReceived#1"), 0u);
  EXPECT_EQ(link.Model.ClutchPedal.nPosition, clutch);

  pedals->HoldPedals(sim::RawPositions{1, 2, 3});
  Step(*pedals);  // the reading thread is still alive
  EXPECT_EQ(link.Model.ClutchPedal.nPosition, 3);
}

}  // namespace
