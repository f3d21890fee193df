// Which handler each event of the window's controls calls: one typed list, so a misspelt handler
// or one whose arguments do not fit its event fails to compile. A handler may take the leading
// arguments of its event or none. A control that was never built leaves its handler unwired,
// and UnwiredHandlers() names it.

#include <QComboBox>
#include <QPushButton>

#include "TCheckBox.h"
#include "TMainForm.h"
#include "widgets/TNumericEdit.h"
#include "widgets/TRangeSlider.h"

void TMainForm::WireHandlers() {
  unwiredHandlers_.clear();
  const auto wire = [this](auto* control, auto signal, auto handler, const char* handlerName) {
    if (control == nullptr || !connect(control, signal, this, handler))
      unwiredHandlers_ << QString::fromLatin1(handlerName);
  };
  // The handler's name is written once: the member it points to and the name it is reported by.
#define QF_WIRE(control, event, handler) wire(control, event, &TMainForm::handler, #handler)
  QF_WIRE(this, &TMainForm::OnKeyDown, FormKeyDown);

  QF_WIRE(TrCalibrateBtn, &QPushButton::clicked, TrCalibrateBtnClick);
  QF_WIRE(BrCalibrateBtn, &QPushButton::clicked, BrCalibrateBtnClick);
  QF_WIRE(ClCalibrateBtn, &QPushButton::clicked, ClCalibrateBtnClick);
  QF_WIRE(TrAdvButt, &QPushButton::clicked, TrAdvButtClick);
  QF_WIRE(BrAdvButt, &QPushButton::clicked, BrAdvButtClick);
  QF_WIRE(ClAdvButt, &QPushButton::clicked, ClAdvButtClick);
  QF_WIRE(TrRangeSlider, &TRangeSlider::OnMouseMove, TrRangeSliderMouseMove);
  QF_WIRE(BrRangeSlider, &TRangeSlider::OnMouseMove, BrRangeSliderMouseMove);
  QF_WIRE(ClRangeSlider, &TRangeSlider::OnMouseMove, ClRangeSliderMouseMove);
  QF_WIRE(TrRangeSlider, &TRangeSlider::OnMouseUp, TrRangeSliderMouseUp);
  QF_WIRE(BrRangeSlider, &TRangeSlider::OnMouseUp, BrRangeSliderMouseUp);
  QF_WIRE(ClRangeSlider, &TRangeSlider::OnMouseUp, ClRangeSliderMouseUp);
  QF_WIRE(TrFSValue, &QComboBox::activated, TrFSValueChang);
  QF_WIRE(BrFSValueBox, &QComboBox::activated, BrFSValueBoxChange);
  QF_WIRE(ClFSValueBox, &QComboBox::activated, ClFSValueBoxChange);
  QF_WIRE(TrSSValue, &QComboBox::activated, TrSSValueChange);
  QF_WIRE(BrSSValueBox, &QComboBox::activated, BrSSValueBoxChange);
  QF_WIRE(ClSSValueBox, &QComboBox::activated, ClSSValueBoxChange);
  QF_WIRE(TrConnectCheckBox, &TCheckBox::OnMouseUp, TrConnectCheckBoxMouseUp);
  QF_WIRE(BrConnectCheckBox, &TCheckBox::OnMouseUp, BrConnectCheckBoxMouseUp);
  QF_WIRE(ClConnectCheckBox, &TCheckBox::OnMouseUp, ClConnectCheckBoxMouseUp);

  QF_WIRE(DebugPedalSelectorBox, &QComboBox::activated, DebugPedalSelectorBoxChange);
  QF_WIRE(USBMinEdit, &TNumericEdit::OnKeyUp, USBMinEditKeyUp);
  QF_WIRE(USBMaxEdit, &TNumericEdit::OnKeyUp, USBMaxEditKeyUp);
  QF_WIRE(FanatecMinEdit, &TNumericEdit::OnKeyUp, FanatecMinEditKeyUp);
  QF_WIRE(FanatecMaxEdit, &TNumericEdit::OnKeyUp, FanatecMaxEditKeyUp);
  QF_WIRE(SliderRangeMinEdit, &TNumericEdit::OnKeyUp, SliderRangeMinEditKeyUp);
  QF_WIRE(SliderRangeMaxEdit, &TNumericEdit::OnKeyUp, SliderRangeMaxEditKeyUp);
  QF_WIRE(SliderPosLeftEdit, &TNumericEdit::OnKeyUp, SliderPosLeftEditKeyUp);
  QF_WIRE(SliderPosRightEdit, &TNumericEdit::OnKeyUp, SliderPosRightEditKeyUp);
  QF_WIRE(BrCalEdit, &TNumericEdit::OnKeyUp, BrCalEditKeyUp);
  QF_WIRE(FlashCountEdit, &TNumericEdit::OnKeyUp, BrCalEditKeyUp);
  QF_WIRE(ReadSetButton, &QPushButton::clicked, ReadSetButtonClick);
  QF_WIRE(ResetCalibrButt, &QPushButton::clicked, ResetCalibrButtClick);
#undef QF_WIRE
}
