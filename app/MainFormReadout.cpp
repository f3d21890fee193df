// The live readout: every accepted data event moves each pedal's bar to its raw position and
// labels it in percent; the brake also shows its load; a calibrating pedal shows a marquee.

#include <QLocale>

#include "pedal/ReadoutTexts.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSmoothProgressBar.h"

namespace {
const QString kCalibrationText = QStringLiteral("CALIBRATION...");

// While calibrating, every report puts the thumbs back at the ends of the slider range.
void ShowCalibration(const TMainForm::TPedalControls& c, const PedalData& data) {
  c.bar->SetStyle(pbstMarquee);
  c.slider->SetPositionLeft(data.SliderRangeMin);
  c.slider->SetPositionRight(data.SliderRangeMax);
  c.fromValue->setText("0%");
  c.toValue->setText("100%");
  c.bar->SetPosition(c.bar->Minimum());
}

QString BarPercent(const TSmoothProgressBar& bar, const NumberSymbols& symbols) {
  return PercentText(bar.Position(), bar.Minimum(), bar.Maximum(), symbols);
}
}  // namespace

void TMainForm::UpdateBrakeLoadText() {
  // The bar still holds the previous report's position here: the brake's texts lag one report.
  BrakeKgText =
      BrakeLoadText(BrProgressBar->Position(), BrProgressBar->Minimum(), BrProgressBar->Maximum(),
                    BrakeLeftKg, BrakeRightKg, readoutSymbols_.For(QLocale()));
}

void TMainForm::UpdatePedalReadout(TPedal& pedal) {
  const TPedalControls& c = ControlsOf(pedal.mainname);
  const bool isBrake = pedal.mainname == PedalName::Brake;
  if (pedal.calibration) {
    c.valueLabel->setText(kCalibrationText);
    if (isBrake) c.loadLabel->hide();
    ShowCalibration(c, pedal.data);
    return;
  }
  c.bar->SetStyle(pbstNormal);
  if (isBrake) {
    // show() asks the platform for a window state first, even for a label that is shown.
    if (c.loadLabel->isHidden()) c.loadLabel->show();
    c.valueLabel->setText(BarPercent(*c.bar, readoutSymbols_.For(QLocale())));
    c.loadLabel->setText(BrakeKgText);
    c.bar->SetPosition(pedal.nPosition);
  } else {
    c.bar->SetPosition(pedal.nPosition);
    c.valueLabel->setText(BarPercent(*c.bar, readoutSymbols_.For(QLocale())));
  }
}
