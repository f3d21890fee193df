// The live readout as the window shows it: bars, percentages, the brake's load one report
// behind its bar, and the calibration marquee with the thumbs held at the range ends.

#include <QLocale>

#include "MainFormFixture.h"
#include "TLabel.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

class MainFormReadout : public MainFormFixture {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale::c());
    MainFormFixture::SetUp();
  }
  void TearDown() override { QLocale::setDefault(QLocale::system()); }

  static void SetRange(TSmoothProgressBar* bar, double minimum, double maximum) {
    bar->SetMinimum(minimum);
    bar->SetMaximum(maximum);
  }
  TPedal& Throttle() { return form_->Link.Model.ThrottlePedal; }
  TPedal& Brake() { return form_->Link.Model.BrakePedal; }
};

TEST_F(MainFormReadout, ThrottleBarMovesFirstAndLabelsTheNewPosition) {
  SetRange(form_->TrProgressBar, 1000, 3000);
  Throttle().nPosition = 2000;
  form_->UpdatePedalReadout(Throttle());
  EXPECT_EQ(form_->TrProgressBar->Position(), 2000);
  EXPECT_EQ(form_->trabsvaluelable->text(), "50.0%");
  EXPECT_EQ(form_->TrProgressBar->Style(), pbstNormal);
}

// The readout keeps its locale's symbols between reports; a new locale shows with the next one.
TEST_F(MainFormReadout, TheNextReportAfterALocaleChangeWritesItsSymbols) {
  SetRange(form_->TrProgressBar, 1000, 3000);
  SetRange(form_->BrProgressBar, 0, 1000);
  form_->BrakeRightKg = 100;
  Throttle().nPosition = 2000;
  form_->UpdatePedalReadout(Throttle());
  ASSERT_EQ(form_->trabsvaluelable->text(), "50.0%");

  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  Throttle().nPosition = 2010;
  form_->UpdatePedalReadout(Throttle());
  form_->BrProgressBar->SetPosition(505);
  form_->UpdateBrakeLoadText();
  form_->UpdatePedalReadout(Brake());
  EXPECT_EQ(form_->trabsvaluelable->text(), "50,5%");
  EXPECT_EQ(form_->BrKgValueLabel->text(), "50,5kg");
}

TEST_F(MainFormReadout, PercentIsOfThePositionTheBarReportsBack) {
  SetRange(form_->ClProgressBar, 1000, 3000);
  form_->Link.Model.ClutchPedal.nPosition = 60000;  // beyond the bar: the bar clamps it
  form_->UpdatePedalReadout(form_->Link.Model.ClutchPedal);
  EXPECT_EQ(form_->Clabsvaluelable->text(), "100.0%");
}

struct BrakeCase {
  double previousPosition;
  const char* load;
};

class MainFormBrakeLoad : public MainFormReadout,
                          public ::testing::WithParamInterface<BrakeCase> {};

TEST_P(MainFormBrakeLoad, LoadAndPercentComeFromThePreviousPosition) {
  SetRange(form_->BrProgressBar, 0, 1000);
  form_->BrakeLeftKg = 0;
  form_->BrakeRightKg = 100;
  form_->BrProgressBar->SetPosition(GetParam().previousPosition);
  Brake().nPosition = 250;  // the new report

  form_->UpdateBrakeLoadText();
  form_->UpdatePedalReadout(Brake());

  EXPECT_EQ(form_->BrKgValueLabel->text(), GetParam().load);
  EXPECT_EQ(form_->Brabsvaluelable->text(),
            QLocale::c().toString(GetParam().previousPosition / 10, 'f', 1) + "%");
  EXPECT_FALSE(form_->BrKgValueLabel->isHidden());
  EXPECT_EQ(form_->BrProgressBar->Position(), 250) << "the bar moves after the texts";
}

INSTANTIATE_TEST_SUITE_P(Cases, MainFormBrakeLoad,
                         ::testing::Values(BrakeCase{1000, "max"}, BrakeCase{0, "min"},
                                           BrakeCase{505, "50.5kg"}));

TEST_F(MainFormReadout, BrakeLoadIsEmptyBeforeTheFirstPositionsReport) {
  form_->UpdatePedalReadout(Brake());
  EXPECT_EQ(form_->BrKgValueLabel->text(), "");
}

TEST_F(MainFormReadout, CalibratingPedalShowsTheMarqueeAndHoldsItsThumbs) {
  SetRange(form_->BrProgressBar, 100, 900);
  form_->BrRangeSlider->SetMax(1000);
  form_->BrRangeSlider->SetPositionLeft(300);
  form_->BrRangeSlider->SetPositionRight(400);
  Brake().data.SliderRangeMin = 0;
  Brake().data.SliderRangeMax = 1000;
  Brake().data.SliderPosLeft = 300;
  Brake().calibration = true;
  form_->BrFromLableValue->setText("30%");

  for (int position : {500, 900, 0}) {
    Brake().nPosition = static_cast<std::uint16_t>(position);
    form_->UpdatePedalReadout(Brake());
    EXPECT_EQ(form_->Brabsvaluelable->text(), "CALIBRATION...");
    EXPECT_TRUE(form_->BrKgValueLabel->isHidden());
    EXPECT_EQ(form_->BrProgressBar->Style(), pbstMarquee);
    EXPECT_EQ(form_->BrProgressBar->Position(), 100);
    EXPECT_EQ(form_->BrRangeSlider->PositionLeft(), 0);
    EXPECT_EQ(form_->BrRangeSlider->PositionRight(), 1000);
    EXPECT_EQ(form_->BrFromLableValue->text(), "0%");
    EXPECT_EQ(form_->BrToLableValue->text(), "100%");
  }
  EXPECT_EQ(Brake().data.SliderPosLeft, 300) << "the pedal's stored positions stay";

  Brake().calibration = false;
  Brake().nPosition = 500;
  form_->UpdatePedalReadout(Brake());
  EXPECT_EQ(form_->BrProgressBar->Style(), pbstNormal);
  EXPECT_FALSE(form_->BrKgValueLabel->isHidden());
}

TEST_F(MainFormReadout, EmptyBarRangeShowsZeroPercentAndMin) {
  for (TSmoothProgressBar* bar : {form_->TrProgressBar, form_->BrProgressBar}) {
    SetRange(bar, 700, 700);
  }
  form_->BrakeLeftKg = 0;
  form_->BrakeRightKg = 100;
  Throttle().nPosition = 900;
  Brake().nPosition = 900;
  for (int report = 0; report < 2; ++report) {
    form_->UpdateBrakeLoadText();
    form_->UpdatePedalReadout(Throttle());
    form_->UpdatePedalReadout(Brake());
  }
  EXPECT_EQ(form_->trabsvaluelable->text(), "0.0%");
  EXPECT_EQ(form_->Brabsvaluelable->text(), "0.0%");
  EXPECT_EQ(form_->BrKgValueLabel->text(), "min");
}

}  // namespace
