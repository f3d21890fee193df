// The window as laid out at start: every named control's parent, place, size, text, font and
// visibility against the window's control tables; the cancel key, the key preview, the filter
// boxes, the brake load labels and the stacking of the Main page's panels.

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <array>
#include <string>
#include <vector>

#include "MainFormFixture.h"
#include "TCheckBox.h"
#include "TLabel.h"
#include "TPanel.h"
#include "TopAlignedStack.h"
#include "support/PrintRowName.h"
#include "widgets/TNumericEdit.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSideTabPageControl.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

using qf_test::PrintTo;

constexpr int W = -1;      // a label's own width or height: it sizes itself to its text
constexpr int Outer = -2;  // the window's outer width or height, frame and title bar included

struct Font {
  const char* family;  // nullptr: not checked
  int pixels;
  bool bold;
};
constexpr Font kAny{nullptr, 0, false};
constexpr Font kWindowFont{"Tahoma", 11, false};
constexpr Font kSegoe11{"Segoe UI", 11, false};
constexpr Font kSegoe12{"Segoe UI", 12, false};
constexpr Font kSegoe12Bold{"Segoe UI", 12, true};

enum State { kShown, kHidden, kDisabled };

struct ControlRow {
  std::string name;
  std::string parent;
  int left, top, width, height;
  std::string text;
  State state;
  Font font;
};

// A value the three pedal panels share, or one per panel: throttle, brake, clutch.
template <class T>
struct PerPedal {
  PerPedal(T all) : values{all, all, all} {}  // implicit: a shared value stands bare in a row
  PerPedal(T throttle, T brake, T clutch) : values{throttle, brake, clutch} {}
  std::array<T, 3> values;
};

// One row of a pedal panel table; a name "" means that panel has no such control.
struct PedalRow {
  std::array<const char*, 3> names;
  int left;
  PerPedal<int> top;
  PerPedal<int> width;
  int height;
  PerPedal<const char*> text;
  State state;
  Font font;
};

PedalRow Row(std::array<const char*, 3> names, int left, PerPedal<int> top, PerPedal<int> width,
             int height, PerPedal<const char*> text, State state, Font font) {
  return {names, left, top, width, height, text, state, font};
}

const std::array<const char*, 3> kPedalPanels{"TrottlePanel", "BrPanel", "ClPanel"};
const std::array<const char*, 3> kAdvancedPanels{"TrAdvPanel", "BrAdvPanel", "ClAdvPanel"};

const std::vector<PedalRow> kPedalPanelRows{
    Row({"TrLevLableText", "BrLevLableText", "ClLevLableText"}, 56, 8, W, W,
        {"Throttle:", "Brake:", "Clutch:"}, kShown, kSegoe12),
    Row({"trabsvaluelable", "Brabsvaluelable", "Clabsvaluelable"}, 114, 8, W, W,
        {"0%", "0kg", "0%"}, kShown, kSegoe12Bold),
    Row({"", "BrKgValueLabel", ""}, 222, 8, W, W, "0kg", kDisabled, kSegoe12Bold),
    Row({"TrInfoLable", "BrInfoLable", "ClInfoLable"}, 315, {9, 8, 8}, W, W,
        {"Press the pedal fully, release it and select \"Done\"",
         "Fully depress and release the pedal", "Fully depress and release the pedal"},
        kHidden, kSegoe12),
    Row({"TrProgressBar", "BrProgressBar", "ClProgressBar"}, 57, 32, 354, 5, "", kShown, kAny),
    Row({"TrRangeSlider", "BrRangeSlider", "ClRangeSlider"}, 54, {38, 38, 37}, 360, 30, "", kShown,
        kAny),
    Row({"TrFromLableText", "BrFromLableText", "ClFromLableText"}, 13, 48, W, W, "From:", kShown,
        kSegoe12),
    Row({"TrFromLableValue", "BrFromLableValue", "ClFromLableValue"}, 22, 64, W, W, "0%", kShown,
        kSegoe12Bold),
    Row({"TrToLableText", "BrToLableText", "ClToLableText"}, 429, 48, W, W, "To:", kShown,
        kSegoe12),
    Row({"TrToLableValue", "BrToLableValue", "ClToLableValue"}, 429, 64, W, W, "100%", kShown,
        kSegoe12Bold),
    Row({"", "BrLSliderKgValueLable", ""}, 52, 73, W, W, "0kg", kDisabled, kSegoe12Bold),
    Row({"TrCalibrateBtn", "BrCalibrateBtn", "ClCalibrateBtn"}, 484, {30, 30, 29}, 84, 25,
        "Calibrate", kShown, kWindowFont),
    Row({"TrAdvButt", "BrAdvButt", "ClAdvButt"}, 484, 60, 84, 25, "Advanced", kHidden, kWindowFont),
    Row({"TrAdvPanel", "BrAdvPanel", "ClAdvPanel"}, 50, {71, 88, 60}, 360, W, "", kHidden, kAny),
};

const std::vector<PedalRow> kAdvancedPanelRows{
    Row({"Label1", "Label4", "Label7"}, 6, 7, W, W, "First filter stage:", kShown, kWindowFont),
    Row({"Label2", "Label5", "Label8"}, 134, {7, 8, 7}, W, W, "Second filter stage:", kShown,
        kWindowFont),
    Row({"Label3", "Label6", "Label9"}, 265, 7, W, W, "Connection:", kShown, kWindowFont),
    Row({"TrFSValue", "BrFSValueBox", "ClFSValueBox"}, 4, 32, 91, 21, "", kShown, kWindowFont),
    Row({"TrSSValue", "BrSSValueBox", "ClSSValueBox"}, 134, 33, 91, 21, "", kShown, kWindowFont),
    Row({"TrConnectCheckBox", "BrConnectCheckBox", "ClConnectCheckBox"}, 265, 30, 97, 17, "",
        kShown, kWindowFont),
};

std::vector<ControlRow> Expand(const std::vector<PedalRow>& rows,
                               const std::array<const char*, 3>& parents) {
  std::vector<ControlRow> out;
  for (const PedalRow& row : rows) {
    for (std::size_t pedal = 0; pedal < 3; ++pedal) {
      if (std::string(row.names[pedal]).empty()) continue;
      out.push_back({row.names[pedal], parents[pedal], row.left, row.top.values[pedal],
                     row.width.values[pedal], row.height, row.text.values[pedal], row.state,
                     row.font});
    }
  }
  return out;
}

const std::vector<ControlRow> kWindowRows{
    {"MyPageControl", "MainForm", 0, 0, 621, 321, "", kShown, kAny},
    {"SplashPanel", "MainForm", 0, 0, Outer, Outer, "", kShown, kAny},
    {"ConLabel", "SplashPanel", 264, 142, W, W, "Connecting...", kShown, kSegoe11},
    {"SplashProgressBar", "SplashPanel", 135, 170, 354, 5, "", kShown, kAny},
    {"ButtonPanel", "TabSheet1", 0, 0, 601, 13, "", kShown, kAny},
    {"TrottlePanel", "TabSheet1", 0, 13, 601, 89, "", kShown, kAny},
    {"BrPanel", "TabSheet1", 0, 102, 601, 89, "", kShown, kAny},
    {"ClPanel", "TabSheet1", 0, 191, 601, 89, "", kShown, kAny},
    {"Panel1", "TabSheet1", 0, 280, 601, 41, "", kShown, kAny},
    {"DebugMemo", "TabSheet3", 3, 3, 335, 315, "", kShown, kAny},
    {"DebugDataPanel", "TabSheet3", 344, 4, 254, 314, "", kShown, kAny},
};

const std::vector<ControlRow> kDebugPanelRows{
    {"DebugPedalSelectorBox", "DebugDataPanel", 0, 0, 105, 21, "Select the pedal", kShown,
     kWindowFont},
    {"VersionLable", "DebugDataPanel", 136, 3, W, W, "MCU Version:", kShown, kWindowFont},
    {"Label17", "DebugDataPanel", 0, 40, W, W, "USB Range Limits:", kShown, kWindowFont},
    {"Label10", "DebugDataPanel", 136, 40, W, W, "Slider Range Limits:", kShown, kWindowFont},
    {"Label15", "DebugDataPanel", 0, 59, W, W, "Min Value:", kShown, kWindowFont},
    {"Label14", "DebugDataPanel", 64, 59, W, W, "Max Value:", kShown, kWindowFont},
    {"Label16", "DebugDataPanel", 136, 59, W, W, "Min Value:", kShown, kWindowFont},
    {"Label18", "DebugDataPanel", 200, 61, W, W, "Max Value:", kShown, kWindowFont},
    {"USBMinEdit", "DebugDataPanel", 0, 78, 49, 21, "0", kShown, kWindowFont},
    {"USBMaxEdit", "DebugDataPanel", 65, 78, 49, 21, "0", kShown, kWindowFont},
    {"SliderRangeMinEdit", "DebugDataPanel", 136, 78, 49, 21, "0", kShown, kWindowFont},
    {"SliderRangeMaxEdit", "DebugDataPanel", 201, 78, 49, 21, "0", kShown, kWindowFont},
    {"Label13", "DebugDataPanel", 0, 113, W, W, "Fanatec Range Limits:", kShown, kWindowFont},
    {"Label19", "DebugDataPanel", 136, 113, W, W, "Slider Positions:", kShown, kWindowFont},
    {"Label11", "DebugDataPanel", 0, 132, W, W, "Min Value:", kShown, kWindowFont},
    {"Label12", "DebugDataPanel", 64, 132, W, W, "Max Value:", kShown, kWindowFont},
    {"Label20", "DebugDataPanel", 136, 133, W, W, "Left:", kShown, kWindowFont},
    {"Label21", "DebugDataPanel", 200, 133, W, W, "Right:", kShown, kWindowFont},
    {"FanatecMinEdit", "DebugDataPanel", 0, 151, 49, 21, "0", kShown, kWindowFont},
    {"FanatecMaxEdit", "DebugDataPanel", 65, 151, 49, 21, "0", kShown, kWindowFont},
    {"SliderPosLeftEdit", "DebugDataPanel", 136, 152, 49, 21, "0", kShown, kWindowFont},
    {"SliderPosRightEdit", "DebugDataPanel", 201, 152, 49, 21, "0", kShown, kWindowFont},
    {"Label22", "DebugDataPanel", 0, 228, W, W, "Brake Kg Const:", kShown, kWindowFont},
    {"Label23", "DebugDataPanel", 192, 228, W, W, "Flash Count:", kShown, kWindowFont},
    {"BrCalEdit", "DebugDataPanel", 0, 247, 49, 21, "0", kShown, kWindowFont},
    {"FlashCountEdit", "DebugDataPanel", 200, 247, 49, 21, "0", kShown, kWindowFont},
    {"ResetCalibrButt", "DebugDataPanel", 0, 274, 90, 25, "Reset Calibration", kShown, kWindowFont},
    {"ReadSetButton", "DebugDataPanel", 123, 274, 130, 25, "Read Settings", kShown, kWindowFont},
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
  const QSize outer = form_->frameGeometry().size();
  if (row.width != W) {
    EXPECT_EQ(control->width(), row.width == Outer ? outer.width() : row.width);
  }
  if (row.height != W) {
    EXPECT_EQ(control->height(), row.height == Outer ? outer.height() : row.height);
  }
  if (auto* label = qobject_cast<QLabel*>(control)) {
    EXPECT_GE(label->width(), label->sizeHint().width()) << "a label shows its whole text";
  }
  EXPECT_EQ(TextOf(control).toStdString(), row.text);
  EXPECT_EQ(!control->isHidden(), row.state != kHidden);
  EXPECT_EQ(control->isEnabled(), row.state != kDisabled);
  if (row.font.family != nullptr) {
    EXPECT_EQ(control->font().family().toStdString(), row.font.family);
    EXPECT_EQ(control->font().pixelSize(), row.font.pixels);
    EXPECT_EQ(control->font().bold(), row.font.bold);
  }
}

INSTANTIATE_TEST_SUITE_P(Window, MainFormControlTable, ::testing::ValuesIn(AllRows()),
                         qf_test::RowName());

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

TEST_F(MainFormLayout, ShowsCentredOnTheDesktopFrameIncluded) {
  form_->ShowCentred();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  const QRect desktop = form_->screen()->availableGeometry();
  const QRect outer = form_->frameGeometry();
  EXPECT_EQ(outer.x() - desktop.x(), (desktop.width() - outer.width()) / 2);
  EXPECT_EQ(outer.y() - desktop.y(), (desktop.height() - outer.height()) / 2);
}

TEST_F(MainFormLayout, SplashCoversTheWholeClientAreaTabStripIncluded) {
  ShowForm();
  EXPECT_TRUE(form_->SplashPanel->geometry().contains(form_->rect()));
  // As large as the window with its frame and title bar, as far as the platform tells them.
  EXPECT_EQ(form_->SplashPanel->size(), form_->frameGeometry().size());
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

// The keyboard order of one page, from its first control on.
struct TabWalk {
  const char* page;
  std::vector<const char*> order;
};

void PrintTo(const TabWalk& walk, std::ostream* out) { *out << walk.page; }

class MainFormTabOrder : public MainFormFixture, public ::testing::WithParamInterface<TabWalk> {};

TEST_P(MainFormTabOrder, TabKeyVisitsThePageInItsOrder) {
  ShowForm();
  // In the service mode both pages stay reachable and every Advanced button shows; open every
  // strip as well, so that all of a panel's controls take part.
  QApplication::setActiveWindow(form_.get());
  QTest::keyClick(form_.get(), static_cast<Qt::Key>(TMainForm::ServiceKey));
  for (PedalName pedal : kAllPedals) form_->ControlsOf(pedal).advancedPanel->show();
  form_->SplashPanel->hide();
  const TabWalk& walk = GetParam();
  form_->MyPageControl->SetActivePage(walk.page == std::string("Main") ? form_->TabSheet1
                                                                       : form_->TabSheet3);
  form_->findChild<QWidget*>(walk.order.front())->setFocus(Qt::TabFocusReason);
  std::vector<std::string> visited;
  for (std::size_t i = 0; i < walk.order.size(); ++i) {
    // An editable box hands its focus to its text field: count the box.
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    if (qobject_cast<QComboBox*>(focused->parentWidget())) focused = focused->parentWidget();
    visited.push_back(focused->objectName().toStdString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(visited, std::vector<std::string>(walk.order.begin(), walk.order.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, MainFormTabOrder,
    ::testing::Values(
        // The brake panel first, then the clutch panel, then the throttle panel.
        TabWalk{"Main",
                {"BrCalibrateBtn", "BrRangeSlider", "BrAdvButt", "BrFSValueBox", "BrSSValueBox",
                 "BrConnectCheckBox", "ClCalibrateBtn", "ClAdvButt", "ClRangeSlider",
                 "ClFSValueBox", "ClSSValueBox", "ClConnectCheckBox", "TrCalibrateBtn", "TrAdvButt",
                 "TrRangeSlider", "TrFSValue", "TrSSValue", "TrConnectCheckBox"}},
        // The log, then the fields, each pair of Min and Max edits Max first.
        TabWalk{"Debug",
                {"DebugMemo", "DebugPedalSelectorBox", "USBMaxEdit", "USBMinEdit", "FanatecMaxEdit",
                 "FanatecMinEdit", "SliderRangeMaxEdit", "SliderRangeMinEdit", "SliderPosRightEdit",
                 "SliderPosLeftEdit", "BrCalEdit", "ReadSetButton", "ResetCalibrButt",
                 "FlashCountEdit"}}),
    [](const ::testing::TestParamInfo<TabWalk>& walk) { return std::string(walk.param.page); });

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

TEST_F(MainFormKeys, EscClicksOnlyTheThrottleCalibrateButtonOnceTheSplashIsGone) {
  QSignalSpy throttle(form_->TrCalibrateBtn, &QPushButton::clicked);
  QSignalSpy brake(form_->BrCalibrateBtn, &QPushButton::clicked);
  QSignalSpy clutch(form_->ClCalibrateBtn, &QPushButton::clicked);
  form_->SplashPanel->hide();
  form_->BrCalibrateBtn->setFocus();
  Press(Qt::Key_Escape);
  EXPECT_EQ(throttle.count(), 1);
  EXPECT_EQ(brake.count(), 0);
  EXPECT_EQ(clutch.count(), 0);

  form_->BrCalibrateBtn->clearFocus();
  QTest::keyClick(form_.get(), Qt::Key_Escape);
  EXPECT_EQ(throttle.count(), 2);
  EXPECT_EQ(brake.count() + clutch.count(), 0);
}

// Nothing under the splash may start what the pedal set would never hear of.
TEST_F(MainFormKeys, WhileTheSplashCoversTheWindowEscAndTheCoveredButtonsDoNothing) {
  ASSERT_FALSE(form_->SplashPanel->isHidden());
  QApplication::setActiveWindow(form_.get());
  QSignalSpy keyDown(form_.get(), &TMainForm::OnKeyDown);
  QSignalSpy throttle(form_->TrCalibrateBtn, &QPushButton::clicked);
  QSignalSpy brake(form_->BrCalibrateBtn, &QPushButton::clicked);
  QSignalSpy connection(form_->BrConnectCheckBox, &QAbstractButton::clicked);
  form_->BrAdvPanel->show();
  Press(Qt::Key_Escape);
  for (QWidget* covered : std::initializer_list<QWidget*>{form_->BrCalibrateBtn,
                                                          form_->BrConnectCheckBox}) {
    covered->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), covered);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      Press(key);
    }
  }
  EXPECT_EQ(throttle.count() + brake.count() + connection.count(), 0);
  EXPECT_EQ(form_->TrCalibrateBtn->text(), "Calibrate");
  EXPECT_FALSE(form_->Link.Model.ThrottlePedal.calibration);
  EXPECT_EQ(keyDown.count(), 9) << "the window still sees every key (the service key among them)";
}

// As on the desktop the window was made for: Enter and Space click the focused button; Esc
// with Ctrl or Shift held is another key and clicks no cancel button.
TEST_F(MainFormKeys, EnterOrSpaceClickTheFocusedButtonAndModifiedEscClicksNothing) {
  form_->SplashPanel->hide();
  QApplication::setActiveWindow(form_.get());
  QSignalSpy throttle(form_->TrCalibrateBtn, &QPushButton::clicked);
  QSignalSpy brake(form_->BrCalibrateBtn, &QPushButton::clicked);
  form_->BrCalibrateBtn->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), form_->BrCalibrateBtn);
  // (The focus leaves the button after a click here: give it back each time.)
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    form_->BrCalibrateBtn->setFocus();
    Press(key);
  }
  EXPECT_EQ(brake.count(), 3);
  EXPECT_EQ(form_->BrCalibrateBtn->text(), "Done") << "three clicks: Calibrate, Done, Calibrate";

  for (Qt::KeyboardModifier held : {Qt::ControlModifier, Qt::ShiftModifier}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape, held);
  }
  EXPECT_EQ(throttle.count(), 0);
  EXPECT_EQ(brake.count(), 3);
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
