// The Debug page and the service mode: a log of every settings dump, the eight raw 16-bit
// fields of one chosen pedal, the brake's load constant, the flash count and firmware version,
// "Read Settings" and "Reset Calibration". The tab strip stays only for someone who presses the
// service key first.

#include <QComboBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <cmath>
#include <optional>

#include "TLabel.h"
#include "TMainForm.h"
#include "pedal/Rounding.h"
#include "pedal/SettingsTexts.h"
#include "widgets/TNumericEdit.h"
#include "widgets/TSideTabPageControl.h"

namespace {

const QString kSeparatorLine = QString(26, QLatin1Char('-'));
constexpr int kNormalModePageLeft = 20;
// The constant travels as one byte in tenths.
constexpr double kMaxBrakeKgConst = 25.5;

std::uint16_t ReadRawLimit(const PedalData& data, TMainForm::TRawLimit field) {
  using F = TMainForm::TRawLimit;
  switch (field) {
    case F::UsbMin:
      return data.ProgressBarValMin;
    case F::UsbMax:
      return data.ProgressBarValMax;
    case F::DacMin:
      return data.DACRangeMin;
    case F::DacMax:
      return data.DACRangeMax;
    case F::RangeMin:
      return data.SliderRangeMin;
    case F::RangeMax:
      return data.SliderRangeMax;
    case F::PosLeft:
      return data.SliderPosLeft;
    case F::PosRight:
      return data.SliderPosRight;
  }
  return 0;
}

void WriteRawLimit(PedalData& data, TMainForm::TRawLimit field, std::uint16_t value) {
  using F = TMainForm::TRawLimit;
  switch (field) {
    case F::UsbMin:
      data.ProgressBarValMin = value;
      break;
    case F::UsbMax:
      data.ProgressBarValMax = value;
      break;
    case F::DacMin:
      data.DACRangeMin = value;
      break;
    case F::DacMax:
      data.DACRangeMax = value;
      break;
    case F::RangeMin:
      data.SliderRangeMin = value;
      break;
    case F::RangeMax:
      data.SliderRangeMax = value;
      break;
    case F::PosLeft:
      data.SliderPosLeft = value;
      break;
    case F::PosRight:
      data.SliderPosRight = value;
      break;
  }
}

constexpr std::array<TMainForm::TRawLimit, 8> kRawLimitsInFillOrder{
    TMainForm::TRawLimit::UsbMin,  TMainForm::TRawLimit::UsbMax,   TMainForm::TRawLimit::DacMin,
    TMainForm::TRawLimit::DacMax,  TMainForm::TRawLimit::RangeMin, TMainForm::TRawLimit::RangeMax,
    TMainForm::TRawLimit::PosLeft, TMainForm::TRawLimit::PosRight};

// A raw field takes a number (full stop as decimal point, whatever the locale) that rounds, ties
// to even, to a value its 16 bits can hold: 1234.5 is 1234. Text that is no number, or a value
// outside 0-65535 that would otherwise be cut to its low 16 bits, is no value for it.
std::optional<std::uint16_t> ParseRawLimit(const QString& text) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  const std::int64_t rounded = RoundHalfEven(value);
  if (rounded < 0 || rounded > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(rounded);
}

void AppendPedalLines(QPlainTextEdit& memo, const char* prefix, const TPedal& pedal) {
  const QString p = QLatin1String(prefix);
  memo.appendPlainText(kSeparatorLine);
  memo.appendPlainText(p + "Position: " + QString::number(pedal.nPosition));
  memo.appendPlainText(p + "USB.Min: " + QString::number(pedal.data.ProgressBarValMin));
  memo.appendPlainText(p + "USB.Max: " + QString::number(pedal.data.ProgressBarValMax));
  memo.appendPlainText(p + "Fanatec.Min: " + QString::number(pedal.data.DACRangeMin));
  memo.appendPlainText(p + "Fanatec.Max: " + QString::number(pedal.data.DACRangeMax));
}

// A value with no item leaves the box with no item selected.
void ShowStoredIndex(QComboBox* box, std::uint8_t index) {
  box->setCurrentIndex(index < box->count() ? index : -1);
}

}  // namespace

// ---- Service mode ----------------------------------------------------------------------------

void TMainForm::FormKeyDown(int key) {
  if (key == ServiceKey) ServiceKeyPressed = true;
  ApplyServiceMode();
}

void TMainForm::ApplyServiceMode() {
  if (!ServiceKeyPressed) {
    for (int i = 0; i < MyPageControl->PageCount(); ++i)
      MyPageControl->Pages(i)->SetTabVisible(false);
    MyPageControl->SetActivePageIndex(0);
    MyPageControl->SetAlign(TSideTabPageControl::alNone);
    MyPageControl->SetLeft(kNormalModePageLeft);
  }
  // Only reached with the Main tab still shown while the service key came first.
  if (MyPageControl->Pages(0)->TabVisible()) {
    for (PedalName pedal : kAllPedals) ControlsOf(pedal).advancedButton->show();
  }
}

// ---- Settings dump ---------------------------------------------------------------------------

void TMainForm::DumpSettingsToDebug() {
  const PedalModel& model = Link.Model;
  for (PedalName pedal : kAllPedals) {
    const TPedal& object = model.Pedal(pedal);
    const TPedalControls& c = ControlsOf(pedal);
    AppendPedalLines(*DebugMemo, c.dumpPrefix, object);
    ShowStoredIndex(c.firstStage, object.data.FirstFilterStageKoeff);
    ShowStoredIndex(c.secondStage, object.data.SecondFilterStageKoeff);
  }
  FlashCountEdit->SetFloatValue(model.FlashCount());
  VersionLable->setText(VersionText(model.McuVersion()));
}

// ---- Raw-limit fields ------------------------------------------------------------------------

// The selector lists the pedals in the order of kAllPedals.
TPedal* TMainForm::SelectedDebugPedal() {
  const int index = DebugPedalSelectorBox->currentIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= kAllPedals.size()) return nullptr;
  return &Link.Model.Pedal(kAllPedals[static_cast<std::size_t>(index)]);
}

TNumericEdit* TMainForm::RawLimitEdit(TRawLimit field) const {
  switch (field) {
    case TRawLimit::UsbMin:
      return USBMinEdit;
    case TRawLimit::UsbMax:
      return USBMaxEdit;
    case TRawLimit::DacMin:
      return FanatecMinEdit;
    case TRawLimit::DacMax:
      return FanatecMaxEdit;
    case TRawLimit::RangeMin:
      return SliderRangeMinEdit;
    case TRawLimit::RangeMax:
      return SliderRangeMaxEdit;
    case TRawLimit::PosLeft:
      return SliderPosLeftEdit;
    case TRawLimit::PosRight:
      return SliderPosRightEdit;
  }
  return nullptr;
}

void TMainForm::DebugPedalSelectorBoxChange() {
  const TPedal* pedal = SelectedDebugPedal();
  if (pedal == nullptr) return;
  for (TRawLimit field : kRawLimitsInFillOrder) {
    RawLimitEdit(field)->SetFloatValue(ReadRawLimit(pedal->data, field));
  }
}

// The Main page's slider and bar keep their limits until the next settings report applies them.
void TMainForm::OnRawLimitEnter(TRawLimit field, int key) {
  if (key != vkReturn) return;
  TNumericEdit* edit = RawLimitEdit(field);
  TPedal* pedal = SelectedDebugPedal();
  const std::optional<std::uint16_t> value = ParseRawLimit(edit->Text());
  if (!value) {
    // Refused: the field shows what the pedal holds (with no pedal chosen, its start value).
    if (pedal != nullptr) {
      edit->SetFloatValue(ReadRawLimit(pedal->data, field));
    } else {
      edit->SetText(QStringLiteral("0"));
    }
    return;
  }
  if (pedal != nullptr) WriteRawLimit(pedal->data, field, *value);
  Link.SendCommand(PedalCommand::Update);
}

void TMainForm::USBMinEditKeyUp(int key) { OnRawLimitEnter(TRawLimit::UsbMin, key); }
void TMainForm::USBMaxEditKeyUp(int key) { OnRawLimitEnter(TRawLimit::UsbMax, key); }
void TMainForm::FanatecMinEditKeyUp(int key) { OnRawLimitEnter(TRawLimit::DacMin, key); }
void TMainForm::FanatecMaxEditKeyUp(int key) { OnRawLimitEnter(TRawLimit::DacMax, key); }
void TMainForm::SliderRangeMinEditKeyUp(int key) { OnRawLimitEnter(TRawLimit::RangeMin, key); }
void TMainForm::SliderRangeMaxEditKeyUp(int key) { OnRawLimitEnter(TRawLimit::RangeMax, key); }
void TMainForm::SliderPosLeftEditKeyUp(int key) { OnRawLimitEnter(TRawLimit::PosLeft, key); }
void TMainForm::SliderPosRightEditKeyUp(int key) { OnRawLimitEnter(TRawLimit::PosRight, key); }

// ---- Brake constant ---------------------------------------------------------------------------

// Raised by BrCalEdit and by FlashCountEdit alike: the flash count typed is never sent, only the
// constant in BrCalEdit.
void TMainForm::BrCalEditKeyUp(int key) {
  if (key != vkReturn) return;
  const double value = BrCalEdit->FloatValue();
  if (!BrCalEdit->HasFloatValue() || value < 0 || value > kMaxBrakeKgConst) {
    BrCalEdit->SetFloatValue(Link.Model.BrakeKgConst);
    return;
  }
  Link.Model.BrakeKgConst = value;
  Link.SendCommand(PedalCommand::Update);
  RefreshSliderLabels(PedalName::Brake);
}

// ---- Buttons ---------------------------------------------------------------------------------

// Nothing is sent here: the request cycle starts again with the next data event.
void TMainForm::ReadSetButtonClick() { Link.SettingsLoaded = false; }

void TMainForm::ResetCalibrButtClick() {
  const bool written = Link.SendCommand(PedalCommand::ResetCalibration);
  Link.SettingsLoaded = false;
  if (written) {
    ShowMessage(TMessageKind::Information, QStringLiteral("Saved successfuly"));
  } else {
    ShowMessage(TMessageKind::Error,
                QStringLiteral("The calibration could not be reset: the pedal set is not "
                               "connected or did not take the command."));
  }
}

void TMainForm::ShowDefaultMessageBox(TMessageKind kind, const QString& text) {
  if (kind == TMessageKind::Error) {
    QMessageBox::critical(this, windowTitle(), text);
  } else {
    QMessageBox::information(this, windowTitle(), text);
  }
}
