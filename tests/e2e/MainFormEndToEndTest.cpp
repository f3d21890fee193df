// The real settings window, offscreen, on the virtual HID platform with the virtual pedal set
// attached: what the window shows from start-up through the handshake, live readout,
// calibration, unplugging and closing. Reports travel the whole way: the pedal set's interface,
// the reading thread, the hand-off, the pedal link and the window's reactions.

#include <QPushButton>
#include <algorithm>
#include <chrono>

#include "EndToEndFixture.h"
#include "TLabel.h"
#include "sim/OtherVirtualDevices.h"
#include "widgets/TNumericEdit.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

// Raw positions in the middle and at the ends of the virtual pedal set's factory travel.
constexpr std::uint16_t kThrottleMiddle = (350 + 3750) / 2;
constexpr std::uint16_t kBrakeMiddle = (120 + 3980) / 2;
constexpr std::uint16_t kBrakeTop = 3980;
constexpr std::uint16_t kClutchBottom = 500;

// The pedal set shares the machine with a keyboard and a mouse, as it usually does.
class MainFormEndToEnd : public EndToEndFixture {
 protected:
  void SetUp() override {
    EndToEndFixture::SetUp();
    sim::AddVirtualKeyboard(*platform_);
    sim::AddVirtualMouse(*platform_);
  }

  bool SplashShown() const { return !form_->SplashPanel->isHidden(); }

  // A settings dump of `set`'s own settings but with the brake constant 2.0 and the clutch's
  // slider range ending at 777.
  static std::vector<std::uint8_t> ForeignDump(const sim::VirtualPedalSet& set) {
    const sim::SettingsData settings = set.Settings();
    // Sized first, then filled: g++ 12 -O3 (MinGW) misreads an insert behind one byte as a
    // write out of bounds.
    std::vector<std::uint8_t> dump(1 + settings.size());
    dump[0] = 3;
    std::copy(settings.begin(), settings.end(), dump.begin() + 1);
    dump[SettingsOffset::CommandOrStatus] = 0xD2;
    dump[SettingsOffset::BrakeKgTenths] = 20;
    const std::size_t clutchRangeMax = SettingsOffset::Pedal(PedalName::Clutch) + 7;
    dump[clutchRangeMax] = 777 & 0xFF;
    dump[clutchRangeMax + 1] = 777 >> 8;
    return dump;
  }

  // The clutch's slider range maximum as the pedal set stores it (its bytes follow no id).
  static std::uint16_t ClutchRangeMaxOf(const sim::SettingsData& settings) {
    const std::size_t at = SettingsOffset::Pedal(PedalName::Clutch) - 1 + 7;
    return static_cast<std::uint16_t>(settings[at] | settings[at + 1] << 8);
  }
};

TEST_F(MainFormEndToEnd, SplashIsOnScreenBeforeAnyDeviceIsLookedAtAndStaysUntilLive) {
  pedals_->PlugIn();
  CreateAndShowForm();
  EXPECT_TRUE(form_->isVisible());
  EXPECT_EQ(platform_->ListingCount(), 0) << "the first scan waits for the message loop";
  EXPECT_TRUE(SplashShown());
  EXPECT_EQ(form_->ConLabel->text(), "Connecting...");
  EXPECT_EQ(form_->SplashProgressBar->Style(), pbstMarquee);

  ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice() != nullptr; }));
  EXPECT_GE(platform_->ListingCount(), 1);
  while (!form_->Link.SettingsLoaded) {
    EXPECT_TRUE(SplashShown());
    ASSERT_LT(pedals_->ReceivedReports().size(), 20u) << "the handshake never completed";
    Step();
  }
  EXPECT_TRUE(pedals_->Acknowledged());
  EXPECT_TRUE(SplashShown()) << "the dump alone does not make the window live";

  Step();
  EXPECT_FALSE(SplashShown());
}

TEST_F(MainFormEndToEnd, BarsAndLabelsFollowThePedals) {
  ASSERT_NO_FATAL_FAILURE(ConnectAndGoLive());
  form_->BrakeLeftKg = 0;
  form_->BrakeRightKg = 101;  // half the brake's travel stands for 50.5 kg
  Hold(kThrottleMiddle, kBrakeMiddle, kClutchBottom);
  Step(2);  // the brake's texts follow one report behind its bar

  EXPECT_EQ(form_->TrProgressBar->Position(), kThrottleMiddle);
  EXPECT_EQ(form_->trabsvaluelable->text(), "50.0%");
  EXPECT_EQ(form_->Clabsvaluelable->text(), "0.0%");
  EXPECT_EQ(form_->Brabsvaluelable->text(), "50.0%");
  EXPECT_EQ(form_->BrKgValueLabel->text(), "50.5kg");
  EXPECT_FALSE(form_->BrKgValueLabel->isHidden());

  Hold(kThrottleMiddle, kBrakeTop, kClutchBottom);
  Step();
  EXPECT_EQ(form_->BrProgressBar->Position(), kBrakeTop);
  EXPECT_EQ(form_->BrKgValueLabel->text(), "50.5kg") << "one report behind";
  Step();
  EXPECT_EQ(form_->Brabsvaluelable->text(), "100.0%");
  EXPECT_EQ(form_->BrKgValueLabel->text(), "max");

  Hold(kThrottleMiddle, 120, kClutchBottom);
  Step(2);
  EXPECT_EQ(form_->BrKgValueLabel->text(), "min");
  // Whatever they show, the brake's load labels draw greyed.
  for (TLabel* label :
       {form_->BrKgValueLabel, form_->BrLSliderKgValueLable, form_->BrRSliderKgValueLable}) {
    EXPECT_FALSE(label->isEnabled()) << label->objectName().toStdString();
  }
}

TEST_F(MainFormEndToEnd, CalibratingPedalShowsTheMarqueeWithItsThumbsAtTheEnds) {
  ASSERT_NO_FATAL_FAILURE(ConnectAndGoLive());
  ASSERT_EQ(form_->TrCalibrateBtn->text(), "Calibrate");
  form_->TrCalibrateBtn->click();
  ASSERT_TRUE(WaitUntil([&] { return pedals_->IsCalibrating(0); }));
  const PedalData& data = form_->Link.Model.ThrottlePedal.data;

  for (std::uint16_t position : {std::uint16_t{400}, std::uint16_t{3700}}) {
    Hold(position, kBrakeMiddle, kClutchBottom);
    Step();
    EXPECT_EQ(form_->trabsvaluelable->text(), "CALIBRATION...");
    EXPECT_EQ(form_->TrProgressBar->Style(), pbstMarquee);
    EXPECT_EQ(form_->TrProgressBar->Position(), form_->TrProgressBar->Minimum());
    EXPECT_EQ(form_->TrRangeSlider->PositionLeft(), data.SliderRangeMin);
    EXPECT_EQ(form_->TrRangeSlider->PositionRight(), data.SliderRangeMax);
    EXPECT_EQ(form_->TrFromLableValue->text(), "0%");
    EXPECT_EQ(form_->TrToLableValue->text(), "100%");
    // The other pedals go on as usual.
    EXPECT_EQ(form_->BrProgressBar->Style(), pbstNormal);
  }

  form_->TrCalibrateBtn->click();  // "Done": the handshake runs again
  ASSERT_TRUE(WaitUntil([&] { return !pedals_->IsCalibrating(0); }));
  ASSERT_NO_FATAL_FAILURE(StepUntilLoaded());
  Hold(kThrottleMiddle, kBrakeMiddle, kClutchBottom);
  Step();
  EXPECT_EQ(form_->TrProgressBar->Style(), pbstNormal);
  EXPECT_NE(form_->trabsvaluelable->text(), "CALIBRATION...");
}

TEST_F(MainFormEndToEnd, UnplugShowsTheSplashOverTheLastReadingsAndReplugRecovers) {
  ASSERT_NO_FATAL_FAILURE(ConnectAndGoLive());
  Hold(kThrottleMiddle, kBrakeTop, kClutchBottom);
  Step(2);
  const QString throttleText = form_->trabsvaluelable->text();

  pedals_->Unplug();
  ASSERT_TRUE(WaitUntil([&] { return SplashShown(); }));
  EXPECT_EQ(form_->Link.PedalsDevice(), nullptr);
  EXPECT_EQ(form_->TrProgressBar->Position(), kThrottleMiddle);
  EXPECT_EQ(form_->BrProgressBar->Position(), kBrakeTop);
  EXPECT_EQ(form_->trabsvaluelable->text(), throttleText);

  Hold(kThrottleMiddle, kBrakeMiddle, 3600);
  pedals_->PlugIn();
  ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice() != nullptr; }));
  ASSERT_NO_FATAL_FAILURE(StepUntilLoaded());
  EXPECT_TRUE(SplashShown());
  Step();
  EXPECT_FALSE(SplashShown());
  EXPECT_EQ(form_->ClProgressBar->Position(), 3600);
  EXPECT_EQ(form_->Clabsvaluelable->text(), "100.0%");
}

TEST_F(MainFormEndToEnd, DumpInFlightAtTheUnplugLeavesTheReplugToAFreshHandshake) {
  ASSERT_NO_FATAL_FAILURE(PlugInAndShow());
  Step();  // the first request
  // Read by the reading thread, handed over only while the device is being released.
  pedals_->Interface().QueueInputReport(ForeignDump(*pedals_));
  ASSERT_TRUE(pedals_->Interface().WaitUntilInputConsumed(std::chrono::seconds(20)));
  pedals_->Unplug();
  EXPECT_FALSE(form_->Link.SettingsLoaded);

  const std::size_t before = CommandCount();
  pedals_->PlugIn();
  ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice() != nullptr; }));
  ASSERT_NO_FATAL_FAILURE(StepUntilLoaded());
  const std::vector<std::uint8_t> sent = CommandsFrom(before);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), PedalCommand::SettingsRequest), 1);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), PedalCommand::Acknowledge), 1);
  Step();
  EXPECT_FALSE(SplashShown());
  EXPECT_EQ(form_->BrCalEdit->Text(), "1.5");
  EXPECT_EQ(form_->ClRangeSlider->Max(), ClutchRangeMaxOf(pedals_->Settings()));
}

TEST_F(MainFormEndToEnd, SameIdsDeviceAttachedFirstNeverPutsItsSettingsIntoThePedalSet) {
  std::unique_ptr<sim::VirtualPedalSet> other = sim::MakeImpostorPedalSet(*platform_);
  other->PlugIn();
  CreateAndShowForm();
  ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice() != nullptr; }));
  other->SendReports(1);
  other->Interface().QueueInputReport(ForeignDump(*other));
  ASSERT_TRUE(WaitUntil([&] { return form_->Link.SettingsLoaded; }));

  pedals_->PlugIn();
  ASSERT_TRUE(WaitUntil([&] { return form_->hidController->NumCheckedOutDevices() == 2; }));
  for (int i = 0; i < 40 && !pedals_->Acknowledged(); ++i) {
    other->Interface().QueueInputReport(ForeignDump(*other));
    ASSERT_TRUE(WaitUntil([&] { return other->HostCaughtUp(); }));
    Step();
  }
  ASSERT_TRUE(pedals_->Acknowledged());
  Step();
  EXPECT_EQ(form_->BrCalEdit->Text(), "1.5");
  const sim::SettingsData own = pedals_->Settings();
  EXPECT_EQ(form_->ClRangeSlider->Max(), ClutchRangeMaxOf(own));

  // The user's next change writes the pedal set's own settings back with it.
  form_->BrCalEdit->SetText("1.5");
  QTest::keyClick(form_->BrCalEdit, Qt::Key_Return);
  ASSERT_EQ(pedals_->ReceivedCommands().back(), PedalCommand::Update);
  EXPECT_EQ(pedals_->Settings()[SettingsOffset::BrakeKgTenths - 1], 15);
  EXPECT_EQ(ClutchRangeMaxOf(pedals_->Settings()), ClutchRangeMaxOf(own));
  form_.reset();  // lets go of both devices before the other one goes
}

TEST_F(MainFormEndToEnd, EscWhileConnectingStartsNoCalibration) {
  ASSERT_NO_FATAL_FAILURE(PlugInAndShow());
  QTest::keyClick(form_.get(), Qt::Key_Escape);
  ASSERT_NO_FATAL_FAILURE(StepUntilLoaded());
  ASSERT_NO_FATAL_FAILURE(Step());
  EXPECT_FALSE(pedals_->IsCalibrating(0));
  const std::vector<std::uint8_t> sent = pedals_->ReceivedCommands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), PedalCommand::CalibrationStart(PedalName::Throttle)),
            0);
  EXPECT_EQ(form_->TrCalibrateBtn->text(), "Calibrate");
  EXPECT_NE(form_->trabsvaluelable->text(), "CALIBRATION...");
}

// The pedal set forgets a calibration when it powers up: the window must not go on showing one.
TEST_F(MainFormEndToEnd, UnplugEndsEveryCalibrationInTheWindowAndSendsNothingForIt) {
  ASSERT_NO_FATAL_FAILURE(ConnectAndGoLive());
  form_->TrCalibrateBtn->click();
  form_->ClCalibrateBtn->click();
  ASSERT_NO_FATAL_FAILURE(Step());
  ASSERT_EQ(form_->TrProgressBar->Style(), pbstMarquee);
  const std::size_t before = CommandCount();

  pedals_->Unplug();
  for (PedalName pedal : kAllPedals) {
    const TMainForm::TPedalControls c = form_->ControlsOf(pedal);
    EXPECT_FALSE(form_->Link.Model.Pedal(pedal).calibration);
    EXPECT_EQ(c.calibrateButton->text(), "Calibrate");
    EXPECT_EQ(c.bar->Style(), pbstNormal);
    EXPECT_TRUE(c.infoLabel->isHidden());
    EXPECT_NE(c.valueLabel->text(), "CALIBRATION...");
  }

  Hold(kThrottleMiddle, kBrakeMiddle, 3600);
  pedals_->PlugIn();
  ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice() != nullptr; }));
  ASSERT_NO_FATAL_FAILURE(StepUntilLoaded());
  ASSERT_NO_FATAL_FAILURE(Step());
  EXPECT_EQ(CommandsFrom(before),
            (std::vector<std::uint8_t>{PedalCommand::SettingsRequest, PedalCommand::Acknowledge}));
  EXPECT_EQ(form_->ClProgressBar->Position(), 3600);
  // The thumbs are free again: they show the pedal set's range, not the calibration's ends.
  const PedalData& clutch = form_->Link.Model.ClutchPedal.data;
  EXPECT_EQ(form_->ClRangeSlider->PositionLeft(), clutch.SliderPosLeft);
  EXPECT_EQ(form_->ClRangeSlider->PositionRight(), clutch.SliderPosRight);
}

TEST_F(MainFormEndToEnd, ClosingWhileReportsArriveChangesNothingAfterwards) {
  ASSERT_NO_FATAL_FAILURE(ConnectAndGoLive());
  pedals_->StartMoving();
  ASSERT_TRUE(WaitUntil([&] { return form_->TrProgressBar->Position() != 0; }));

  form_->close();
  const double throttle = form_->TrProgressBar->Position();
  const double brake = form_->BrProgressBar->Position();
  const QString throttleText = form_->trabsvaluelable->text();
  const QString brakeLoad = form_->BrKgValueLabel->text();

  // With the pedal set released nobody reads any more: its reports pile up.
  ASSERT_TRUE(WaitUntil([&] { return pedals_->Interface().PendingInputReports() >= 20; }));
  EXPECT_EQ(form_->Link.PedalsDevice(), nullptr);
  EXPECT_EQ(form_->TrProgressBar->Position(), throttle);
  EXPECT_EQ(form_->BrProgressBar->Position(), brake);
  EXPECT_EQ(form_->trabsvaluelable->text(), throttleText);
  EXPECT_EQ(form_->BrKgValueLabel->text(), brakeLoad);
}

TEST_F(MainFormEndToEnd, EscStartsAndEndsTheThrottleCalibration) {
  ASSERT_NO_FATAL_FAILURE(ConnectAndGoLive());
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form_.get();
  QTest::keyClick(target, Qt::Key_Escape);
  ASSERT_TRUE(WaitUntil([&] { return pedals_->IsCalibrating(0); }));
  EXPECT_EQ(form_->TrCalibrateBtn->text(), "Done");
  target = QApplication::focusWidget() ? QApplication::focusWidget() : form_.get();
  QTest::keyClick(target, Qt::Key_Escape);
  ASSERT_TRUE(WaitUntil([&] { return !pedals_->IsCalibrating(0); }));
  EXPECT_FALSE(pedals_->IsCalibrating(1));
}

}  // namespace
