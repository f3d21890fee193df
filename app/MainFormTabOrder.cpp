// The keyboard order. Within each container the controls follow their tab order; on the Main
// page that visits the brake panel first, then the clutch panel, then the throttle panel.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <vector>

#include "TCheckBox.h"
#include "TMainForm.h"
#include "widgets/TNumericEdit.h"
#include "widgets/TRangeSlider.h"

void TMainForm::SetTabOrder() {
  const std::vector<QWidget*> order{
      // Main page: BrPanel (0), ButtonPanel (1, empty), ClPanel (2), TrottlePanel (3).
      BrCalibrateBtn, BrRangeSlider, BrAdvButt, BrFSValueBox, BrSSValueBox, BrConnectCheckBox,
      ClCalibrateBtn, ClAdvButt, ClRangeSlider, ClFSValueBox, ClSSValueBox, ClConnectCheckBox,
      TrCalibrateBtn, TrAdvButt, TrRangeSlider, TrFSValue, TrSSValue, TrConnectCheckBox,
      // Debug page: the memo, then the fields of DebugDataPanel.
      DebugMemo, DebugPedalSelectorBox, USBMaxEdit, USBMinEdit, FanatecMaxEdit, FanatecMinEdit,
      SliderRangeMaxEdit, SliderRangeMinEdit, SliderPosRightEdit, SliderPosLeftEdit, BrCalEdit,
      ReadSetButton, ResetCalibrButt, FlashCountEdit};
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}
