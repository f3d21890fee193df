// The Debug page: the log on the left and the grid of raw-value fields on the right.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>

#include "FormBuilder.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "TPanel.h"
#include "WindowFonts.h"
#include "widgets/TNumericEdit.h"
#include "widgets/TSideTabPageControl.h"

namespace {

struct CaptionRow {
  Slot<TLabel> label;
  QPoint at;
  const char* text;
};

struct EditRow {
  Slot<TNumericEdit> edit;
  QRect at;
  bool floating;
};

TNumericEdit* NumericEdit(FormBuilder& build, const EditRow& row, QWidget* parent) {
  TNumericEdit* edit = build.Make(row.edit, parent, row.at);
  edit->setFont(WindowFont());
  if (row.floating) {
    edit->SetEditType(etFloat);
    edit->SetPrecision(4);
    edit->SetPrecisionDisplay(pdShortest);
  }
  edit->SetText("0");
  return edit;
}

}  // namespace

void TMainForm::BuildDebugPage() {
  FormBuilder build;
  DebugMemo = build.Make<QPlainTextEdit>({&DebugMemo, "DebugMemo"}, TabSheet3, {3, 3, 335, 315});
  DebugMemo->setReadOnly(true);
  DebugMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  DebugDataPanel =
      build.Make<TPanel>({&DebugDataPanel, "DebugDataPanel"}, TabSheet3, {344, 4, 254, 314});
  DebugDataPanel->setAutoFillBackground(false);  // shows the page's background

  build.ComboBox({&DebugPedalSelectorBox, "DebugPedalSelectorBox"}, DebugDataPanel, {0, 0, 105, 21},
                 {"Throttle", "Brake", "Clutch"});
  DebugPedalSelectorBox->setEditText("Select the pedal");

  const std::array<CaptionRow, 15> captions{{
      {{&VersionLable, "VersionLable"}, {136, 3}, "MCU Version:"},
      {{&Label17, "Label17"}, {0, 40}, "USB Range Limits:"},
      {{&Label10, "Label10"}, {136, 40}, "Slider Range Limits:"},
      {{&Label15, "Label15"}, {0, 59}, "Min Value:"},
      {{&Label14, "Label14"}, {64, 59}, "Max Value:"},
      {{&Label16, "Label16"}, {136, 59}, "Min Value:"},
      {{&Label18, "Label18"}, {200, 61}, "Max Value:"},
      {{&Label13, "Label13"}, {0, 113}, "Fanatec Range Limits:"},
      {{&Label19, "Label19"}, {136, 113}, "Slider Positions:"},
      {{&Label11, "Label11"}, {0, 132}, "Min Value:"},
      {{&Label12, "Label12"}, {64, 132}, "Max Value:"},
      {{&Label20, "Label20"}, {136, 133}, "Left:"},
      {{&Label21, "Label21"}, {200, 133}, "Right:"},
      {{&Label22, "Label22"}, {0, 228}, "Brake Kg Const:"},
      {{&Label23, "Label23"}, {192, 228}, "Flash Count:"},
  }};
  for (const CaptionRow& row : captions) {
    build.Label(row.label, DebugDataPanel, row.at, row.text, WindowFont(), 13);
  }

  const std::array<EditRow, 10> edits{{
      {{&USBMinEdit, "USBMinEdit"}, {0, 78, 49, 21}, false},
      {{&USBMaxEdit, "USBMaxEdit"}, {65, 78, 49, 21}, false},
      {{&SliderRangeMinEdit, "SliderRangeMinEdit"}, {136, 78, 49, 21}, false},
      {{&SliderRangeMaxEdit, "SliderRangeMaxEdit"}, {201, 78, 49, 21}, false},
      {{&FanatecMinEdit, "FanatecMinEdit"}, {0, 151, 49, 21}, false},
      {{&FanatecMaxEdit, "FanatecMaxEdit"}, {65, 151, 49, 21}, false},
      {{&SliderPosLeftEdit, "SliderPosLeftEdit"}, {136, 152, 49, 21}, false},
      {{&SliderPosRightEdit, "SliderPosRightEdit"}, {201, 152, 49, 21}, false},
      {{&BrCalEdit, "BrCalEdit"}, {0, 247, 49, 21}, true},
      {{&FlashCountEdit, "FlashCountEdit"}, {200, 247, 49, 21}, true},
  }};
  for (const EditRow& row : edits) NumericEdit(build, row, DebugDataPanel);
  // The constant lies between 0 and 25.5: it has no thousands, so '.' and ',' are both its
  // decimal point and a number typed the other locale's way reads as typed.
  BrCalEdit->SetEitherDecimalPoint(true);

  build.Button({&ResetCalibrButt, "ResetCalibrButt"}, DebugDataPanel, {0, 274, 90, 25},
               "Reset Calibration");
  build.Button({&ReadSetButton, "ReadSetButton"}, DebugDataPanel, {123, 274, 130, 25},
               "Read Settings");
}
