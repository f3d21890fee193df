// The three pedal panels of the Main page, built from one description. Where the panels differ,
// the differences are the rows of kPedalLooks; everything else is the same for all three.

#include <QComboBox>
#include <QPushButton>
#include <array>

#include "FormBuilder.h"
#include "TCheckBox.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "TPanel.h"
#include "WindowFonts.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

// What differs between the throttle, brake and clutch panels.
struct PedalLook {
  const char* nameText;
  const char* readingText;
  const char* hintText;
  int hintTop;
  int sliderTop;
  int calibrateTop;
  int advancedPanelTop;
  int advancedPanelHeight;
  int secondStageCaptionTop;
  bool hasLoadLabels;
};

constexpr std::array<PedalLook, 3> kPedalLooks{{
    {"Throttle:", "0%", "Press the pedal fully, release it and select \"Done\"", 9, 38, 30, 71, 12,
     7, false},
    {"Brake:", "0kg", "Fully depress and release the pedal", 8, 38, 30, 88, 1, 8, true},
    {"Clutch:", "0%", "Fully depress and release the pedal", 8, 37, 29, 60, 29, 7, false},
}};

// The panel table's row of one pedal: where each of its controls lives in TMainForm, with its
// name. A control without a TMainForm member of its own is built all the same when it has a name.
using PedalMembers = TMainForm::TPedalControlSet<Slot>;
using PedalControls = TMainForm::TPedalControls;

constexpr int kLiveBarTop = 32;
constexpr int kCaptionTop = 48;
constexpr int kValueTop = 64;
constexpr int kButtonLeft = 484;

void BuildTopRow(FormBuilder& build, const PedalMembers& m, const PedalLook& look,
                 PedalControls& c) {
  QWidget* panel = c.panel;
  c.nameLabel = build.Label(m.nameLabel, panel, {56, 8}, look.nameText, SegoeUi(12));
  c.valueLabel = build.Label(m.valueLabel, panel, {114, 8}, look.readingText, SegoeUi(12, true));
  // The live readout's texts change every frame; nothing else lies beneath them.
  c.valueLabel->SetPaintsPanelColour(true);
  if (look.hasLoadLabels) {
    c.loadLabel = build.Label(m.loadLabel, panel, {222, 8}, "0kg", SegoeUi(12, true));
    c.loadLabel->setEnabled(false);
    c.loadLabel->SetPaintsPanelColour(true);
  }
  c.infoLabel = build.Label(m.infoLabel, panel, {315, look.hintTop}, look.hintText, SegoeUi(12));
  c.infoLabel->hide();
}

void BuildRangeRow(FormBuilder& build, const PedalMembers& m, const PedalLook& look,
                   PedalControls& c) {
  QWidget* panel = c.panel;
  c.bar = build.Bar(m.bar, panel, {57, kLiveBarTop, 354, 5});
  c.slider = build.Make(m.slider, panel, {54, look.sliderTop, 360, 30});
  c.slider->SetMin(0);
  c.slider->SetMax(100);
  c.slider->SetPositionLeft(0);
  c.slider->SetPositionRight(100);

  c.fromCaption = build.Label(m.fromCaption, panel, {13, kCaptionTop}, "From:", SegoeUi(12));
  c.fromValue = build.Label(m.fromValue, panel, {22, kValueTop}, "0%", SegoeUi(12, true));
  c.toCaption = build.Label(m.toCaption, panel, {429, kCaptionTop}, "To:", SegoeUi(12));
  c.toValue = build.Label(m.toValue, panel, {429, kValueTop}, "100%", SegoeUi(12, true));
  if (look.hasLoadLabels) {
    c.leftThumbLoad = build.Label(m.leftThumbLoad, panel, {52, 73}, "0kg", SegoeUi(12, true));
    c.leftThumbLoad->setEnabled(false);
    // Right-aligned: its right edge stays under the slider's right end (x = 416).
    c.rightThumbLoad =
        build.RightAlignedLabel(m.rightThumbLoad, panel, {416, 73}, "100kg", SegoeUi(12, true));
    c.rightThumbLoad->setEnabled(false);
  }
}

void BuildButtons(FormBuilder& build, const PedalMembers& m, const PedalLook& look,
                  PedalControls& c) {
  QWidget* panel = c.panel;
  c.calibrateButton =
      build.Button(m.calibrateButton, panel, {kButtonLeft, look.calibrateTop, 84, 25}, "Calibrate");
  c.advancedButton = build.Button(m.advancedButton, panel, {kButtonLeft, 60, 84, 25}, "Advanced");
  c.advancedButton->hide();
}

QComboBox* FilterStageBox(FormBuilder& build, Slot<QComboBox> slot, QWidget* parent, QRect at,
                          bool withEmptyTenth) {
  QStringList items{"OFF", "1", "2", "3", "4", "5", "6", "7", "8"};
  if (withEmptyTenth) items << QString();
  return build.ComboBox(slot, parent, at, items);
}

void BuildAdvancedPanel(FormBuilder& build, const PedalMembers& m, const PedalLook& look,
                        PedalControls& c) {
  TPanel* strip = build.Panel(m.advancedPanel, c.panel,
                              {50, look.advancedPanelTop, 360, look.advancedPanelHeight});
  c.advancedPanel = strip;
  strip->hide();
  c.firstStageCaption =
      build.Label(m.firstStageCaption, strip, {6, 7}, "First filter stage:", WindowFont(), 13);
  c.secondStageCaption = build.Label(m.secondStageCaption, strip, {134, look.secondStageCaptionTop},
                                     "Second filter stage:", WindowFont(), 13);
  c.connectionCaption =
      build.Label(m.connectionCaption, strip, {265, 7}, "Connection:", WindowFont(), 13);
  c.firstStage = FilterStageBox(build, m.firstStage, strip, {4, 32, 91, 21}, true);
  c.secondStage = FilterStageBox(build, m.secondStage, strip, {134, 33, 91, 21}, false);
  c.connection = build.CheckBox(m.connection, strip, {265, 30, 97, 17});
}

PedalControls BuildPedalPanel(FormBuilder& build, const PedalMembers& m, const PedalLook& look) {
  PedalControls c;
  c.panel = *m.panel.control;
  c.dumpPrefix = m.dumpPrefix;
  BuildTopRow(build, m, look, c);
  BuildRangeRow(build, m, look, c);
  BuildButtons(build, m, look, c);
  BuildAdvancedPanel(build, m, look, c);
  // The opened advanced strip of the clutch lies over the slider's lowest rows.
  c.advancedPanel->raise();
  return c;
}

}  // namespace

void TMainForm::BuildPedalPanels() {
  FormBuilder build;
  const std::array<PedalMembers, 3> members{{
      {{&TrottlePanel, "TrottlePanel"},
       {&TrLevLableText, "TrLevLableText"},
       {&trabsvaluelable, "trabsvaluelable"},
       {nullptr, nullptr},
       {&TrInfoLable, "TrInfoLable"},
       {&TrProgressBar, "TrProgressBar"},
       {&TrRangeSlider, "TrRangeSlider"},
       {&TrFromLableText, "TrFromLableText"},
       {&TrFromLableValue, "TrFromLableValue"},
       {&TrToLableText, "TrToLableText"},
       {&TrToLableValue, "TrToLableValue"},
       {nullptr, nullptr},
       {nullptr, nullptr},
       {&TrCalibrateBtn, "TrCalibrateBtn"},
       {&TrAdvButt, "TrAdvButt"},
       {&TrAdvPanel, "TrAdvPanel"},
       {&Label1, "Label1"},
       {&Label2, "Label2"},
       {&Label3, "Label3"},
       {&TrFSValue, "TrFSValue"},
       {&TrSSValue, "TrSSValue"},
       {&TrConnectCheckBox, "TrConnectCheckBox"},
       "TrPedal."},
      {{&BrPanel, "BrPanel"},
       {&BrLevLableText, "BrLevLableText"},
       {&Brabsvaluelable, "Brabsvaluelable"},
       {&BrKgValueLabel, "BrKgValueLabel"},
       {&BrInfoLable, "BrInfoLable"},
       {&BrProgressBar, "BrProgressBar"},
       {&BrRangeSlider, "BrRangeSlider"},
       {&BrFromLableText, "BrFromLableText"},
       {&BrFromLableValue, "BrFromLableValue"},
       {&BrToLableText, "BrToLableText"},
       {&BrToLableValue, "BrToLableValue"},
       {&BrLSliderKgValueLable, "BrLSliderKgValueLable"},
       {&BrRSliderKgValueLable, "BrRSliderKgValueLable"},
       {&BrCalibrateBtn, "BrCalibrateBtn"},
       {&BrAdvButt, "BrAdvButt"},
       {&BrAdvPanel, "BrAdvPanel"},
       {&Label4, "Label4"},
       {&Label5, "Label5"},
       {&Label6, "Label6"},
       {&BrFSValueBox, "BrFSValueBox"},
       {&BrSSValueBox, "BrSSValueBox"},
       {&BrConnectCheckBox, "BrConnectCheckBox"},
       "BrPedal."},
      {{&ClPanel, "ClPanel"},
       {&ClLevLableText, "ClLevLableText"},
       {&Clabsvaluelable, "Clabsvaluelable"},
       {nullptr, nullptr},
       {&ClInfoLable, "ClInfoLable"},
       {&ClProgressBar, "ClProgressBar"},
       {&ClRangeSlider, "ClRangeSlider"},
       {&ClFromLableText, "ClFromLableText"},
       {&ClFromLableValue, "ClFromLableValue"},
       {&ClToLableText, "ClToLableText"},
       {&ClToLableValue, "ClToLableValue"},
       {nullptr, nullptr},
       {nullptr, nullptr},
       {&ClCalibrateBtn, "ClCalibrateBtn"},
       {&ClAdvButt, "ClAdvButt"},
       {&ClAdvPanel, "ClAdvPanel"},
       {&Label7, "Label7"},
       {&Label8, "Label8"},
       {&Label9, "Label9"},
       {&ClFSValueBox, "ClFSValueBox"},
       {&ClSSValueBox, "ClSSValueBox"},
       {&ClConnectCheckBox, "ClConnectCheckBox"},
       "ClPedal."},
  }};
  for (PedalName pedal : kAllPedals) {
    const auto i = static_cast<std::size_t>(pedal);
    pedalControls_[i] = BuildPedalPanel(build, members[i], kPedalLooks[i]);
  }
}
