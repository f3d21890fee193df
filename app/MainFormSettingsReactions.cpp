// The pedal panels' and the Debug tab's reactions to the settings the pedal set sends, in the
// order the link raises them, and the rest of their start-up.

#include <QComboBox>

#include "ControlGestures.h"
#include "TMainForm.h"
#include "widgets/TNumericEdit.h"

void TMainForm::AttachSettingsReactions() {
  Link.OnSettingsTaken.Add([this] {
    for (PedalName pedal : kAllPedals) ApplyPedalLimits(Link.Model.Pedal(pedal));
    BrCalEdit->SetFloatValue(Link.Model.BrakeKgConst);
  });
  Link.OnSettingsDumpTaken.Add([this] {
    DumpSettingsToDebug();
    DebugPedalSelectorBoxChange();
    ValidateSliderPositions();
    ApplyServiceMode();
    ShowConnectionStates();
  });
  Link.OnConnectionLost.Add([this] { LeaveCalibrations(); });
  // This is the one hook the window calls at construction for its parts.
  WatchPanelGestures();
  // Until a pedal is chosen the selector shows its prompt.
  KeepChosenItemText(DebugPedalSelectorBox, DebugPedalSelectorBox->currentText());
  ShowMessage = [this](TMessageKind kind, const QString& text) {
    ShowDefaultMessageBox(kind, text);
  };
}
