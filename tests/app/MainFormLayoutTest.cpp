// The window as laid out at start: every named control's parent, place, size, text, font and
// visibility against the window's control tables; the cancel key, the key preview, the filter
// boxes, the brake load labels and the stacking of the Main page's panels.

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <array>
#include <string>
#include <vector>

#include "MainFormFixture.h"
#include "TCheckBox.h"
#include "TLabel.h"
#include "TPanel.h"
#include "TopAlignedStack.h"
#include "widgets/TNumericEdit.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSideTabPageControl.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

constexpr int kSizedToText = -1;

struct Font {
  const char* family;  // nullptr: not checked
  int pixels;
  bool bold;
};
constexpr Font kAny{nullptr, 0, false};
constexpr Font kWindowFont{"Tahoma", 11, false};
constexpr Font kSegoe12{"Segoe UI", 12, false};
constexpr Font kSegoe12Bold{"Segoe UI", 12, true};

struct ControlRow {
  std::string name;
  std::string parent;
  int left, top, width, height;  // kSizedToText: a label's own width or height
  std::string text;
  bool visible;
  bool enabled;
  Font font;
};

// One row of the pedal panels' table: values for throttle / brake / clutch; "" = no control.
struct PedalRow {
  std::array<const char*, 3> names;
  int left;
  std::array<int, 3> tops;
  std::array<int, 3> widths;
  int height;
  std::array<const char*, 3> texts;
  bool visible;
  bool enabled;
  Font font;
};

const std::array<const char*, 3> kPedalPanels{"TrottlePanel", "BrPanel", "ClPanel"};
const std::array<const char*, 3> kAdvancedPanels{"TrAdvPanel", "BrAdvPanel", "ClAdvPanel"};
constexpr int W = kSizedToText;

const std::vector<PedalRow> kPedalPanelRows{
    {{"TrLevLableText", "BrLevLableText", "ClLevLableText"},
     56,
     {8, 8, 8},
     {W, W, W},
     W,
     {"Throttle:", "Brake:", "Clutch:"},
     true,
     true,
     kSegoe12},
    {{"trabsvaluelable", "Brabsvaluelable", "Clabsvaluelable"},
     114,
     {8, 8, 8},
     {W, W, W},
     W,
     {"0%", "0kg", "0%"},
     true,
     true,
     kSegoe12Bold},
    {{"", "BrKgValueLabel", ""},
     222,
     {8, 8, 8},
     {W, W, W},
     W,
     {"", "0kg", ""},
     true,
     false,
     kSegoe12Bold},
    {{"TrInfoLable", "BrInfoLable", "ClInfoLable"},
     315,
     {9, 8, 8},
     {W, W, W},
     W,
     {"Press the pedal fully, release it and select \"Done\"",
      "Fully depress and release the pedal", "Fully depress and release the pedal"},
     false,
     true,
     kSegoe12},
    {{"TrProgressBar", "BrProgressBar", "ClProgressBar"},
     57,
     {32, 32, 32},
     {354, 354, 354},
     5,
     {"", "", ""},
     true,
     true,
     kAny},
    {{"TrRangeSlider", "BrRangeSlider", "ClRangeSlider"},
     54,
     {38, 38, 37},
     {360, 360, 360},
     30,
     {"", "", ""},
     true,
     true,
     kAny},
    {{"TrFromLableText", "BrFromLableText", "ClFromLableText"},
     13,
     {48, 48, 48},
     {W, W, W},
     W,
     {"From:", "From:", "From:"},
     true,
     true,
     kSegoe12},
    {{"TrFromLableValue", "BrFromLableValue", "ClFromLableValue"},
     22,
     {64, 64, 64},
     {W, W, W},
     W,
     {"0%", "0%", "0%"},
     true,
     true,
     kSegoe12Bold},
    {{"TrToLableText", "BrToLableText", "ClToLableText"},
     429,
     {48, 48, 48},
     {W, W, W},
     W,
     {"To:", "To:", "To:"},
     true,
     true,
     kSegoe12},
    {{"TrToLableValue", "BrToLableValue", "ClToLableValue"},
     429,
     {64, 64, 64},
     {W, W, W},
     W,
     {"100%", "100%", "100%"},
     true,
     true,
     kSegoe12Bold},
    {{"", "BrLSliderKgValueLable", ""},
     52,
     {73, 73, 73},
     {W, W, W},
     W,
     {"", "0kg", ""},
     true,
     false,
     kSegoe12Bold},
    {{"TrCalibrateBtn", "BrCalibrateBtn", "ClCalibrateBtn"},
     484,
     {30, 30, 29},
     {84, 84, 84},
     25,
     {"Calibrate", "Calibrate", "Calibrate"},
     true,
     true,
     kWindowFont},
    {{"TrAdvButt", "BrAdvButt", "ClAdvButt"},
     484,
     {60, 60, 60},
     {84, 84, 84},
     25,
     {"Advanced", "Advanced", "Advanced"},
     false,
     true,
     kWindowFont},
    {{"TrAdvPanel", "BrAdvPanel", "ClAdvPanel"},
     50,
     {71, 88, 60},
     {360, 360, 360},
     W,
     {"", "", ""},
     false,
     true,
     kAny},
};

const std::vector<PedalRow> kAdvancedPanelRows{
    {{"Label1", "Label4", "Label7"},
     6,
     {7, 7, 7},
     {W, W, W},
     W,
     {"First filter stage:", "First filter stage:", "First filter stage:"},
     true,
     true,
     kWindowFont},
    {{"Label2", "Label5", "Label8"},
     134,
     {7, 8, 7},
     {W, W, W},
     W,
     {"Second filter stage:", "Second filter stage:", "Second filter stage:"},
     true,
     true,
     kWindowFont},
    {{"Label3", "Label6", "Label9"},
     265,
     {7, 7, 7},
     {W, W, W},
     W,
     {"Connection:", "Connection:", "Connection:"},
     true,
     true,
     kWindowFont},
    {{"TrFSValue", "BrFSValueBox", "ClFSValueBox"},
     4,
     {32, 32, 32},
     {91, 91, 91},
     21,
     {"", "", ""},
     true,
     true,
     kWindowFont},
    {{"TrSSValue", "BrSSValueBox", "ClSSValueBox"},
     134,
     {33, 33, 33},
     {91, 91, 91},
     21,
     {"", "", ""},
     true,
     true,
     kWindowFont},
    {{"TrConnectCheckBox", "BrConnectCheckBox", "ClConnectCheckBox"},
     265,
     {30, 30, 30},
     {97, 97, 97},
     17,
     {"", "", ""},
     true,
     true,
     kWindowFont},
};

std::vector<ControlRow> Expand(const std::vector<PedalRow>& rows,
                               const std::array<const char*, 3>& parents) {
  std::vector<ControlRow> out;
  for (const PedalRow& row : rows) {
    for (std::size_t pedal = 0; pedal < 3; ++pedal) {
      if (std::string(row.names[pedal]).empty()) continue;
      out.push_back({row.names[pedal], parents[pedal], row.left, row.tops[pedal], row.widths[pedal],
                     row.height, row.texts[pedal], row.visible, row.enabled, row.font});
    }
  }
  return out;
}

const std::vector<ControlRow> kWindowRows{
    {"MyPageControl", "MainForm", 0, 0, 621, 321, "", true, true, kAny},
    {"SplashPanel", "MainForm", 0, 0, 621, 321, "", true, true, kAny},
    {"ConLabel",
     "SplashPanel",
     264,
     142,
     W,
     W,
     "Connecting...",
     true,
     true,
     {"Segoe UI", 11, false}},
    {"SplashProgressBar", "SplashPanel", 135, 170, 354, 5, "", true, true, kAny},
    {"ButtonPanel", "TabSheet1", 0, 0, 601, 13, "", true, true, kAny},
    {"TrottlePanel", "TabSheet1", 0, 13, 601, 89, "", true, true, kAny},
    {"BrPanel", "TabSheet1", 0, 102, 601, 89, "", true, true, kAny},
    {"ClPanel", "TabSheet1", 0, 191, 601, 89, "", true, true, kAny},
    {"Panel1", "TabSheet1", 0, 280, 601, 41, "", true, true, kAny},
    {"DebugMemo", "TabSheet3", 3, 3, 335, 315, "", true, true, kAny},
    {"DebugDataPanel", "TabSheet3", 344, 4, 254, 314, "", true, true, kAny},
};

const std::vector<ControlRow> kDebugPanelRows{
    {"DebugPedalSelectorBox", "DebugDataPanel", 0, 0, 105, 21, "Select the pedal", true, true,
     kWindowFont},
    {"VersionLable", "DebugDataPanel", 136, 3, W, W, "MCU Version:", true, true, kWindowFont},
    {"Label17", "DebugDataPanel", 0, 40, W, W, "USB Range Limits:", true, true, kWindowFont},
    {"Label10", "DebugDataPanel", 136, 40, W, W, "Slider Range Limits:", true, true, kWindowFont},
    {"Label15", "DebugDataPanel", 0, 59, W, W, "Min Value:", true, true, kWindowFont},
    {"Label14", "DebugDataPanel", 64, 59, W, W, "Max Value:", true, true, kWindowFont},
    {"Label16", "DebugDataPanel", 136, 59, W, W, "Min Value:", true, true, kWindowFont},
    {"Label18", "DebugDataPanel", 200, 61, W, W, "Max Value:", true, true, kWindowFont},
    {"USBMinEdit", "DebugDataPanel", 0, 78, 49, 21, "0", true, true, kWindowFont},
    {"USBMaxEdit", "DebugDataPanel", 65, 78, 49, 21, "0", true, true, kWindowFont},
    {"SliderRangeMinEdit", "DebugDataPanel", 136, 78, 49, 21, "0", true, true, kWindowFont},
    {"SliderRangeMaxEdit", "DebugDataPanel", 201, 78, 49, 21, "0", true, true, kWindowFont},
    {"Label13", "DebugDataPanel", 0, 113, W, W, "Fanatec Range Limits:", true, true, kWindowFont},
    {"Label19", "DebugDataPanel", 136, 113, W, W, "Slider Positions:", true, true, kWindowFont},
    {"Label11", "DebugDataPanel", 0, 132, W, W, "Min Value:", true, true, kWindowFont},
    {"Label12", "DebugDataPanel", 64, 132, W, W, "Max Value:", true, true, kWindowFont},
    {"Label20", "DebugDataPanel", 136, 133, W, W, "Left:", true, true, kWindowFont},
    {"Label21", "DebugDataPanel", 200, 133, W, W, "Right:", true, true, kWindowFont},
    {"FanatecMinEdit", "DebugDataPanel", 0, 151, 49, 21, "0", true, true, kWindowFont},
    {"FanatecMaxEdit", "DebugDataPanel", 65, 151, 49, 21, "0", true, true, kWindowFont},
    {"SliderPosLeftEdit", "DebugDataPanel", 136, 152, 49, 21, "0", true, true, kWindowFont},
    {"SliderPosRightEdit", "DebugDataPanel", 201, 152, 49, 21, "0", true, true, kWindowFont},
    {"Label22", "DebugDataPanel", 0, 228, W, W, "Brake Kg Const:", true, true, kWindowFont},
    {"Label23", "DebugDataPanel", 192, 228, W, W, "Flash Count:", true, true, kWindowFont},
    {"BrCalEdit", "DebugDataPanel", 0, 247, 49, 21, "0", true, true, kWindowFont},
    {"FlashCountEdit", "DebugDataPanel", 200, 247, 49, 21, "0", true, true, kWindowFont},
    {"ResetCalibrButt", "DebugDataPanel", 0, 274, 90, 25, "Reset Calibration", true, true,
     kWindowFont},
    {"ReadSetButton", "DebugDataPanel", 123, 274, 130, 25, "Read Settings", true, true,
     kWindowFont},
};

std::vector<ControlRow> AllRows() {
  std::vector<ControlRow> rows = kWindowRows;
  for (const auto& part : {Expand(kPedalPanelRows, kPedalPanels),
                           Expand(kAdvancedPanelRows, kAdvancedPanels), kDebugPanelRows}) {
    rows.insert(rows.end(), part.begin(), part.end());
  }
  return rows;
}

QString TextOf(const QWidget* control) {
  if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (auto* box = qobject_cast<const QComboBox*>(control)) return box->currentText();
  if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
  if (auto* memo = qobject_cast<const QPlainTextEdit*>(control)) return memo->toPlainText();
  return QString();
}

class MainFormControlTable : public MainFormFixture,
                             public ::testing::WithParamInterface<ControlRow> {};

TEST_P(MainFormControlTable, ControlStandsAsLaidOut) {
  ShowForm();
  const ControlRow& row = GetParam();
  auto* control = form_->findChild<QWidget*>(QString::fromStdString(row.name));
  ASSERT_NE(control, nullptr) << row.name;
  ASSERT_NE(control->parentWidget(), nullptr);
  EXPECT_EQ(control->parentWidget()->objectName().toStdString(), row.parent);
  EXPECT_EQ(control->x(), row.left);
  EXPECT_EQ(control->y(), row.top);
  if (row.width != kSizedToText) {
    EXPECT_EQ(control->width(), row.width);
  }
  if (row.height != kSizedToText) {
    EXPECT_EQ(control->height(), row.height);
  }
  if (auto* label = qobject_cast<QLabel*>(control)) {
    EXPECT_GE(label->width(), label->sizeHint().width()) << "a label shows its whole text";
  }
  EXPECT_EQ(TextOf(control).toStdString(), row.text);
  EXPECT_EQ(!control->isHidden(), row.visible);
  EXPECT_EQ(control->isEnabled(), row.enabled);
  if (row.font.family != nullptr) {
    EXPECT_EQ(control->font().family().toStdString(), row.font.family);
    EXPECT_EQ(control->font().pixelSize(), row.font.pixels);
    EXPECT_EQ(control->font().bold(), row.font.bold);
  }
}

INSTANTIATE_TEST_SUITE_P(Window, MainFormControlTable, ::testing::ValuesIn(AllRows()),
                         [](const ::testing::TestParamInfo<ControlRow>& row) {
                           return row.param.name;
                         });

using MainFormLayout = MainFormFixture;

TEST_F(MainFormLayout, WindowHasItsCaptionFixedSizeAndPages) {
  EXPECT_EQ(form_->windowTitle(), "Quillfen pedals settings");
  EXPECT_EQ(form_->minimumSize(), QSize(621, 321));
  EXPECT_EQ(form_->maximumSize(), QSize(621, 321));
  EXPECT_FALSE(form_->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(form_->palette().color(QPalette::Window), QColor(0xF0, 0xF0, 0xF0));
  EXPECT_FALSE(form_->windowIcon().isNull());
  ASSERT_EQ(form_->MyPageControl->PageCount(), 2);
  EXPECT_EQ(form_->MyPageControl->Pages(0)->Caption(), "Main");
  EXPECT_EQ(form_->MyPageControl->Pages(1)->Caption(), "Debug");
  EXPECT_EQ(form_->MyPageControl->ActivePage(), form_->TabSheet1);
  EXPECT_TRUE(form_->TabSheet1->TabVisible());
  EXPECT_TRUE(form_->TabSheet3->TabVisible());
}

TEST_F(MainFormLayout, EveryEventOfTheWiringTableReachesItsHandler) {
  EXPECT_EQ(form_->UnwiredHandlers(), QStringList());
}

TEST_F(MainFormLayout, SplashCoversTheWholeClientAreaTabStripIncluded) {
  ShowForm();
  EXPECT_TRUE(form_->SplashPanel->geometry().contains(form_->rect()));
  EXPECT_EQ(form_->SplashProgressBar->Style(), pbstMarquee);
  // Nothing of the page control may be drawn over the splash.
  EXPECT_EQ(form_->childAt(form_->rect().center()), form_->SplashPanel);
  EXPECT_EQ(form_->childAt(5, 5), form_->SplashPanel);
}

TEST_F(MainFormLayout, FilterBoxesOfferTenAndNineStagesAndStartEmpty) {
  for (QComboBox* first : {form_->TrFSValue, form_->BrFSValueBox, form_->ClFSValueBox}) {
    ASSERT_EQ(first->count(), 10);
    EXPECT_EQ(first->itemText(0), "OFF");
    EXPECT_EQ(first->itemText(8), "8");
    EXPECT_EQ(first->itemText(9), "");
    EXPECT_EQ(first->currentIndex(), -1);
    EXPECT_TRUE(first->isEditable());
  }
  for (QComboBox* second : {form_->TrSSValue, form_->BrSSValueBox, form_->ClSSValueBox}) {
    ASSERT_EQ(second->count(), 9);
    EXPECT_EQ(second->itemText(8), "8");
    EXPECT_EQ(second->currentIndex(), -1);
  }
  EXPECT_EQ(form_->DebugPedalSelectorBox->count(), 3);
  EXPECT_EQ(form_->DebugPedalSelectorBox->currentIndex(), -1);
}

TEST_F(MainFormLayout, RightThumbLoadKeepsItsRightEdgeForAnyText) {
  TLabel* label = form_->BrRSliderKgValueLable;
  EXPECT_EQ(label->x() + label->width(), 416);
  for (const char* text : {"1kg", "240kg", "65535kg", ""}) {
    label->setText(text);
    EXPECT_EQ(label->x() + label->width(), 416) << text;
  }
  // Other labels keep their left edge.
  form_->BrLSliderKgValueLable->setText("12345kg");
  EXPECT_EQ(form_->BrLSliderKgValueLable->x(), 52);
}

TEST_F(MainFormLayout, BrakeLoadLabelsDrawGreyed) {
  for (TLabel* label :
       {form_->BrKgValueLabel, form_->BrLSliderKgValueLable, form_->BrRSliderKgValueLable}) {
    EXPECT_FALSE(label->isEnabled());
  }
}

TEST_F(MainFormLayout, PanelsStayStackedWhenOneGrows) {
  ShowForm();
  form_->TrottlePanel->resize(601, 130);
  EXPECT_EQ(form_->BrPanel->y(), 143);
  EXPECT_EQ(form_->ClPanel->y(), 232);
  EXPECT_EQ(form_->Panel1->y(), 321);
  form_->BrPanel->resize(601, 150);
  EXPECT_EQ(form_->ClPanel->y(), 293);
  form_->TrottlePanel->resize(601, 89);
  form_->BrPanel->resize(601, 89);
  EXPECT_EQ(form_->ClPanel->y(), 191);
  EXPECT_EQ(form_->Panel1->geometry(), QRect(0, 280, 601, 41));
}

TEST_F(MainFormLayout, PanelsRestackOnRequestBeforeTheWindowIsShown) {
  form_->ClPanel->resize(601, 130);
  form_->MainPageStack->Restack();
  EXPECT_EQ(form_->Panel1->y(), 321);
}

TEST_F(MainFormLayout, TabKeyVisitsBrakeThenClutchThenThrottle) {
  ShowForm();
  // With every strip open (as in the service mode), all of a panel's controls take part.
  for (PedalName pedal : kAllPedals) {
    form_->ControlsOf(pedal).advancedButton->show();
    form_->ControlsOf(pedal).advancedPanel->show();
  }
  form_->SplashPanel->hide();
  QApplication::setActiveWindow(form_.get());
  // The first key press settles the window's mode (and the active page): get it behind us.
  QTest::keyClick(form_.get(), Qt::Key_Shift);
  form_->BrCalibrateBtn->setFocus(Qt::TabFocusReason);
  std::vector<QWidget*> visited;
  for (int i = 0; i < 18; ++i) {
    // An editable box hands its focus to its text field: count the box.
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    if (qobject_cast<QComboBox*>(focused->parentWidget())) focused = focused->parentWidget();
    visited.push_back(focused);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  const std::vector<QWidget*> expected{
      form_->BrCalibrateBtn, form_->BrRangeSlider, form_->BrAdvButt,
      form_->BrFSValueBox,   form_->BrSSValueBox,  form_->BrConnectCheckBox,
      form_->ClCalibrateBtn, form_->ClAdvButt,     form_->ClRangeSlider,
      form_->ClFSValueBox,   form_->ClSSValueBox,  form_->ClConnectCheckBox,
      form_->TrCalibrateBtn, form_->TrAdvButt,     form_->TrRangeSlider,
      form_->TrFSValue,      form_->TrSSValue,     form_->TrConnectCheckBox};
  EXPECT_EQ(visited, expected);
}

// ---- Keys -----------------------------------------------------------------------------------

class MainFormKeys : public MainFormFixture {
 protected:
  void SetUp() override {
    MainFormFixture::SetUp();
    ShowForm();
  }
  // Keys go where the platform sends them: to the focused control, else to the window.
  void Press(Qt::Key key) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form_.get();
    QTest::keyClick(target, key);
  }
};

TEST_F(MainFormKeys, EscClicksTheThrottleCalibrateButtonOnTheMainPage) {
  QSignalSpy throttle(form_->TrCalibrateBtn, &QPushButton::clicked);
  QSignalSpy brake(form_->BrCalibrateBtn, &QPushButton::clicked);
  QSignalSpy clutch(form_->ClCalibrateBtn, &QPushButton::clicked);
  form_->BrCalibrateBtn->setFocus();
  Press(Qt::Key_Escape);
  EXPECT_EQ(throttle.count(), 1);
  EXPECT_EQ(brake.count(), 0);
  EXPECT_EQ(clutch.count(), 0);
}

TEST_F(MainFormKeys, EscClicksAlsoWhileTheSplashIsShown) {
  ASSERT_FALSE(form_->SplashPanel->isHidden());
  QSignalSpy throttle(form_->TrCalibrateBtn, &QPushButton::clicked);
  QTest::keyClick(form_.get(), Qt::Key_Escape);
  EXPECT_EQ(throttle.count(), 1);
}

TEST_F(MainFormKeys, EscDoesNothingWhileTheButtonIsDisabledOrAnotherPageIsActive) {
  // Only the service mode keeps the Debug page reachable.
  QTest::keyClick(form_.get(), static_cast<Qt::Key>(TMainForm::ServiceKey));
  QSignalSpy throttle(form_->TrCalibrateBtn, &QPushButton::clicked);
  form_->TrCalibrateBtn->setEnabled(false);
  Press(Qt::Key_Escape);
  form_->TrCalibrateBtn->setEnabled(true);
  form_->MyPageControl->SetActivePage(form_->TabSheet3);
  Press(Qt::Key_Escape);
  EXPECT_EQ(throttle.count(), 0);
}

TEST_F(MainFormKeys, WindowSeesEveryKeyOnceBeforeTheFocusedControl) {
  QSignalSpy keyDown(form_.get(), &TMainForm::OnKeyDown);
  form_->USBMinEdit->setFocus();
  QTest::keyClick(form_->USBMinEdit, Qt::Key_5);
  // A button ignores letters, so the key travels up through its parents to the window.
  form_->ClAdvButt->show();
  form_->ClAdvButt->setFocus();
  QTest::keyClick(form_->ClAdvButt, Qt::Key_Q);
  QTest::keyClick(form_.get(), Qt::Key_F12);
  ASSERT_EQ(keyDown.count(), 3);
  EXPECT_EQ(keyDown[0][0].toInt(), Qt::Key_5);
  EXPECT_EQ(keyDown[1][0].toInt(), Qt::Key_Q);
  EXPECT_EQ(keyDown[2][0].toInt(), Qt::Key_F12);
  // The focused control still got its key.
  EXPECT_TRUE(form_->USBMinEdit->text().contains(QLatin1Char('5')));
}

TEST_F(MainFormKeys, KeysOfOtherWindowsAreNotPreviewed) {
  QSignalSpy keyDown(form_.get(), &TMainForm::OnKeyDown);
  QWidget other;
  QTest::keyClick(&other, Qt::Key_A);
  EXPECT_EQ(keyDown.count(), 0);
}

}  // namespace
