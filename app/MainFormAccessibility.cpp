// What screen readers announce for the window's controls. A control whose own text says what it
// is (a button's caption, a caption label) keeps that text as its name; the others get a name,
// and controls whose text is a bare value ("45.0%") a description of what the value is.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>

#include "TCheckBox.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "widgets/TNumericEdit.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSideTabPageControl.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

void Describe(QWidget* control, const QString& name, const QString& description) {
  if (control == nullptr) return;
  if (!name.isEmpty()) control->setAccessibleName(name);
  control->setAccessibleDescription(description);
}

// "Min Value:" -> "Min Value".
QString CaptionOf(const QLabel* label) {
  QString text = label->text();
  if (text.endsWith(QLatin1Char(':'))) text.chop(1);
  return text;
}

}  // namespace

void TMainForm::DescribeControlsForAccessibility() {
  Describe(SplashProgressBar, QStringLiteral("Connecting"),
           QStringLiteral("Shows that the pedal set is being looked for"));
  for (PedalName pedal : kAllPedals) {
    const TPedalControls& c = ControlsOf(pedal);
    const QString word = QString::fromStdString(Link.Model.Pedal(pedal).name);
    const QString lower = word.toLower();
    Describe(c.bar, word + QStringLiteral(" travel"),
             QStringLiteral("How far the %1 pedal is pressed").arg(lower));
    Describe(c.valueLabel, {}, word + QStringLiteral(" travel"));
    Describe(c.loadLabel, {}, QStringLiteral("Brake load"));
    Describe(c.slider, word + QStringLiteral(" range"),
             QStringLiteral("The working range of the %1 pedal. Arrow keys move the lower end, "
                            "Shift with the arrow keys the upper end")
                 .arg(lower));
    Describe(c.fromValue, {}, QStringLiteral("Lower end of the %1 range").arg(lower));
    Describe(c.toValue, {}, QStringLiteral("Upper end of the %1 range").arg(lower));
    Describe(c.leftThumbLoad, {}, QStringLiteral("Brake load at the lower end of the range"));
    Describe(c.rightThumbLoad, {}, QStringLiteral("Brake load at the upper end of the range"));
    Describe(c.calibrateButton, {},
             QStringLiteral("Starts or ends the %1 pedal's calibration").arg(lower));
    Describe(c.advancedButton, {},
             QStringLiteral("Shows or hides the %1 pedal's filter stages and connection").arg(lower));
    // The advanced strip: each field is named after its caption.
    const QString strip = word + QStringLiteral(" pedal");
    Describe(c.firstStage, CaptionOf(c.firstStageCaption), strip);
    Describe(c.secondStage, CaptionOf(c.secondStageCaption), strip);
    Describe(c.connection, CaptionOf(c.connectionCaption), strip);
  }

  // The Debug page: every field is named after its column's heading and its own caption.
  Describe(DebugMemo, QStringLiteral("Settings log"),
           QStringLiteral("The settings the pedal set sent, each time it sent them"));
  Describe(DebugPedalSelectorBox, QStringLiteral("Pedal"),
           QStringLiteral("The pedal whose raw values the fields show and edit"));
  struct Field {
    QWidget* edit;
    const QLabel *heading, *caption;
  };
  const std::array<Field, 8> fields{{
      {USBMinEdit, Label17, Label15},
      {USBMaxEdit, Label17, Label14},
      {SliderRangeMinEdit, Label10, Label16},
      {SliderRangeMaxEdit, Label10, Label18},
      {FanatecMinEdit, Label13, Label11},
      {FanatecMaxEdit, Label13, Label12},
      {SliderPosLeftEdit, Label19, Label20},
      {SliderPosRightEdit, Label19, Label21},
  }};
  const QString sendHint = QStringLiteral("Enter sends the value to the pedal set");
  for (const Field& f : fields) {
    Describe(f.edit, CaptionOf(f.heading) + QStringLiteral(", ") + CaptionOf(f.caption), sendHint);
  }
  Describe(BrCalEdit, CaptionOf(Label22), sendHint);
  Describe(FlashCountEdit, CaptionOf(Label23), {});
  Describe(VersionLable, {}, QStringLiteral("Firmware version of the pedal set"));
  Describe(MyPageControl, QStringLiteral("Pages"), {});
}
