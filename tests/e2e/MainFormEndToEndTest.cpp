// The real settings window, offscreen, on the virtual HID platform with the virtual pedal set
// attached: what the window shows from start-up through the handshake, live readout,
// calibration, unplugging and closing. Reports travel the whole way: the pedal set's interface,
// the reading thread, the hand-off, the pedal link and the window's reactions.

#include <QPushButton>

#include "EndToEndFixture.h"
#include "TLabel.h"
#include "sim/OtherVirtualDevices.h"
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
