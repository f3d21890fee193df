// The pedal panels: each pedal's working range on its range slider with From and To
// percentages (the brake also in kilograms under the thumbs), its calibrate button, and in the
// service mode the advanced strip with the filter stages and the connection flag. Every change
// goes into the pedal object and out to the pedal set at once.

#include <QComboBox>
#include <QPushButton>

#include "ControlGestures.h"
#include "TCheckBox.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "TPanel.h"
#include "pedal/SettingsTexts.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

const QString kCalibrateCaption = QStringLiteral("Calibrate");
const QString kDoneCaption = QStringLiteral("Done");
const QString kNotConnectedCaption = QStringLiteral("Not connected");

// The keys the range slider moves a thumb with.
const std::vector<int> kSliderKeys{Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down,
                                   Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};

}  // namespace

// ---- Labels -------------------------------------------------------------------------------

// Left side first, as the left thumb's own change would refresh it, then the right.
void TMainForm::RefreshSliderLabels(PedalName pedal) {
  const TPedalControls& c = ControlsOf(pedal);
  const PedalData& settings = Link.Model.Pedal(pedal).data;
  const bool isBrake = pedal == PedalName::Brake;
  c.fromValue->setText(FromText(c.slider->PositionLeft(), settings));
  if (isBrake) {
    BrakeLeftKg = ThumbKg(c.slider->PositionLeft(), c.slider->Min(), c.slider->Max(),
                          Link.Model.BrakeKgConst);
    c.leftThumbLoad->setText(KgLabel(BrakeLeftKg));
  }
  c.toValue->setText(ToText(c.slider->PositionRight(), settings));
  if (isBrake) {
    BrakeRightKg = ThumbKg(c.slider->PositionRight(), c.slider->Min(), c.slider->Max(),
                           Link.Model.BrakeKgConst);
    c.rightThumbLoad->setText(KgLabel(BrakeRightKg));
  }
}

// ---- Sliders --------------------------------------------------------------------------------

void TMainForm::StoreSliderPositions(PedalName pedal) {
  PedalData& settings = Link.Model.Pedal(pedal).data;
  const TRangeSlider* slider = ControlsOf(pedal).slider;
  settings.SliderPosLeft = static_cast<std::uint16_t>(slider->PositionLeft());
  settings.SliderPosRight = static_cast<std::uint16_t>(slider->PositionRight());
  RefreshSliderLabels(pedal);
}

void TMainForm::TrRangeSliderMouseMove() { StoreSliderPositions(PedalName::Throttle); }
void TMainForm::BrRangeSliderMouseMove() { StoreSliderPositions(PedalName::Brake); }
void TMainForm::ClRangeSliderMouseMove() { StoreSliderPositions(PedalName::Clutch); }

// The move events come before the slider applies the last movement: the release stores the
// thumbs as they finally stand, so the pedal set receives what the user sees.
void TMainForm::TrRangeSliderMouseUp() {
  StoreSliderPositions(PedalName::Throttle);
  Link.SendCommand(PedalCommand::Update);
}

void TMainForm::BrRangeSliderMouseUp() {
  StoreSliderPositions(PedalName::Brake);
  Link.SendCommand(PedalCommand::Update);
}

void TMainForm::ClRangeSliderMouseUp() {
  StoreSliderPositions(PedalName::Clutch);
  Link.SendCommand(PedalCommand::Update);
}

// Compared with what the pedal set holds, not with the pedal object: the pointer passing over
// the slider meanwhile copies the thumbs into the object without sending them.
void TMainForm::CommitKeyboardGesture(PedalName pedal) {
  const PedalData& held = Link.HeldByPedalSet(pedal);
  const TRangeSlider* slider = ControlsOf(pedal).slider;
  const bool received = slider->PositionLeft() == held.SliderPosLeft &&
                        slider->PositionRight() == held.SliderPosRight;
  if (received) return;
  StoreSliderPositions(pedal);
  Link.SendCommand(PedalCommand::Update);
}

// ---- Calibration -----------------------------------------------------------------------------

void TMainForm::BeginCalibration(TPedal& pedal) {
  pedal.calibration = true;
  Link.SendCommand(PedalCommand::CalibrationStart(pedal.mainname));
}

void TMainForm::EndCalibration(TPedal& pedal) {
  pedal.calibration = false;
  Link.SendCommand(PedalCommand::CalibrationEnd(pedal.mainname));
  // The calibration's outcome comes back with the next settings dump.
  Link.SettingsLoaded = false;
}

// The caption is the button's state.
void TMainForm::OnCalibrateClicked(PedalName pedal) {
  const TPedalControls& c = ControlsOf(pedal);
  TPedal& object = Link.Model.Pedal(pedal);
  if (c.calibrateButton->text() == kCalibrateCaption) {
    BeginCalibration(object);
    c.calibrateButton->setText(kDoneCaption);
    c.infoLabel->show();
  } else if (c.calibrateButton->text() == kDoneCaption) {
    if (pedal == PedalName::Brake) ValidateSliderPositions();
    EndCalibration(object);
    c.calibrateButton->setText(kCalibrateCaption);
    c.infoLabel->hide();
  }
}

// The pedal set forgets a calibration when it powers up again: the window does too when the
// connection is lost, and tells the pedal set nothing.
void TMainForm::LeaveCalibrations() {
  for (PedalName pedal : kAllPedals) {
    TPedal& object = Link.Model.Pedal(pedal);
    const TPedalControls& c = ControlsOf(pedal);
    if (c.calibrateButton->text() == kDoneCaption) c.calibrateButton->setText(kCalibrateCaption);
    c.infoLabel->hide();
    if (!object.calibration) continue;
    object.calibration = false;
    UpdatePedalReadout(object);
  }
}

void TMainForm::TrCalibrateBtnClick() { OnCalibrateClicked(PedalName::Throttle); }
void TMainForm::BrCalibrateBtnClick() { OnCalibrateClicked(PedalName::Brake); }
void TMainForm::ClCalibrateBtnClick() { OnCalibrateClicked(PedalName::Clutch); }

// ---- Advanced strip ----------------------------------------------------------------------------

// The brake panel grows by 61 pixels but the window by 40 only: the page's bottom panel gives up
// the rest.
void TMainForm::ToggleAdvancedPanel(TPedal& pedal) {
  const bool isBrake = pedal.mainname == PedalName::Brake;
  const int expandedHeight = isBrake ? ExpandedBrakePanelHeight : ExpandedPanelHeight;
  const int windowGrowth = isBrake ? ExpandedBrakePanelHeight - ExpandedPanelHeight + 20
                                   : ExpandedPanelHeight - CollapsedPanelHeight;
  const TPedalControls& c = ControlsOf(pedal.mainname);
  if (c.panel->Tag() == 0) {
    c.panel->resize(c.panel->width(), expandedHeight);
    setFixedHeight(height() + windowGrowth);
    c.advancedPanel->resize(c.advancedPanel->width(), 60);
    c.advancedPanel->show();
    c.panel->SetTag(1);
  } else {
    c.panel->resize(c.panel->width(), CollapsedPanelHeight);
    setFixedHeight(height() - windowGrowth);
    c.advancedPanel->hide();
    c.panel->SetTag(0);
  }
}

void TMainForm::TrAdvButtClick() { ToggleAdvancedPanel(Link.Model.ThrottlePedal); }
void TMainForm::BrAdvButtClick() { ToggleAdvancedPanel(Link.Model.BrakePedal); }
void TMainForm::ClAdvButtClick() { ToggleAdvancedPanel(Link.Model.ClutchPedal); }

// ---- Filter stages ---------------------------------------------------------------------------

// Only an index of an item is stored: typed text that matches no item changes nothing, and the
// box shows the stored value again.
void TMainForm::OnFilterStageChosen(PedalName pedal, bool firstStage, int index) {
  QComboBox* box = firstStage ? ControlsOf(pedal).firstStage : ControlsOf(pedal).secondStage;
  PedalData& settings = Link.Model.Pedal(pedal).data;
  std::uint8_t& stored =
      firstStage ? settings.FirstFilterStageKoeff : settings.SecondFilterStageKoeff;
  if (index < 0 || index >= box->count()) {
    box->setCurrentIndex(stored < box->count() ? stored : -1);
    box->setEditText(box->itemText(box->currentIndex()));
    return;
  }
  stored = static_cast<std::uint8_t>(index);
  Link.SendCommand(PedalCommand::Update);
}

void TMainForm::TrFSValueChang(int index) { OnFilterStageChosen(PedalName::Throttle, true, index); }
void TMainForm::BrFSValueBoxChange(int index) {
  OnFilterStageChosen(PedalName::Brake, true, index);
}
void TMainForm::ClFSValueBoxChange(int index) {
  OnFilterStageChosen(PedalName::Clutch, true, index);
}
void TMainForm::TrSSValueChange(int index) {
  OnFilterStageChosen(PedalName::Throttle, false, index);
}
void TMainForm::BrSSValueBoxChange(int index) {
  OnFilterStageChosen(PedalName::Brake, false, index);
}
void TMainForm::ClSSValueBoxChange(int index) {
  OnFilterStageChosen(PedalName::Clutch, false, index);
}

// ---- Connection ------------------------------------------------------------------------------

void TMainForm::ToggleConnection(PedalName pedal) {
  std::uint8_t& status = Link.Model.Pedal(pedal).data.ConnectStatus;
  status = status == 1 ? 0 : 1;
  ShowConnectionStates();
  Link.SendCommand(PedalCommand::Update);
}

void TMainForm::TrConnectCheckBoxMouseUp() { ToggleConnection(PedalName::Throttle); }
void TMainForm::BrConnectCheckBoxMouseUp() { ToggleConnection(PedalName::Brake); }
void TMainForm::ClConnectCheckBoxMouseUp() { ToggleConnection(PedalName::Clutch); }

void TMainForm::ShowConnectionStates() {
  for (PedalName pedal : kAllPedals) {
    const TPedalControls& c = ControlsOf(pedal);
    const bool connected = Link.Model.Pedal(pedal).data.ConnectStatus != 0;
    c.calibrateButton->setText(connected ? kCalibrateCaption : kNotConnectedCaption);
    c.calibrateButton->setEnabled(connected);
    c.connection->setChecked(connected);
  }
}

// ---- Settings into the controls ----------------------------------------------------------

void TMainForm::ApplyPedalLimits(TPedal& pedal) {
  const TPedalControls& c = ControlsOf(pedal.mainname);
  const PedalData& settings = pedal.data;
  c.bar->SetMinimum(settings.ProgressBarValMin);
  c.bar->SetMaximum(settings.ProgressBarValMax);
  c.slider->SetMin(settings.SliderRangeMin);
  c.slider->SetMax(settings.SliderRangeMax);
  // The slider refuses a left thumb beyond the right one and the reverse: a second pass places
  // a pair that lies wholly beyond the old one.
  for (int pass = 0; pass < 2; ++pass) {
    c.slider->SetPositionLeft(settings.SliderPosLeft);
    c.slider->SetPositionRight(settings.SliderPosRight);
  }
}

void TMainForm::ValidateSliderPositions() {
  for (PedalName pedal : kAllPedals) {
    TRangeSlider* slider = ControlsOf(pedal).slider;
    const bool valid = slider->PositionLeft() < slider->PositionRight() &&
                       slider->PositionLeft() >= slider->Min() &&
                       slider->PositionRight() <= slider->Max();
    if (valid) continue;
    slider->SetPositionLeft(slider->Min());
    slider->SetPositionRight(slider->Max());
  }
  for (PedalName pedal : kAllPedals) RefreshSliderLabels(pedal);
}

// ---- Keyboard and wheel gestures --------------------------------------------------------------

void TMainForm::WatchPanelGestures() {
  for (PedalName pedal : kAllPedals) {
    const TPedalControls& c = ControlsOf(pedal);
    new GestureEndWatcher(c.slider, kSliderKeys, std::chrono::milliseconds(WheelRestMs),
                          [this, pedal] { CommitKeyboardGesture(pedal); });
    new KeyboardClickWatcher(c.connection, [this, pedal] { ToggleConnection(pedal); });
    KeepChosenItemText(c.firstStage, QString());
    KeepChosenItemText(c.secondStage, QString());
  }
}
