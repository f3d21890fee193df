// The pedal panels on the real window with the virtual pedal set: what the sliders, labels,
// buttons and advanced strips show, and what the pedal set receives for each user action.

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>
#include <ostream>

#include "EndToEndFixture.h"
#include "TCheckBox.h"
#include "TLabel.h"
#include "widgets/TRangeSlider.h"

namespace {

// The panels' sliders are 360 pixels wide: their thumbs travel 346 pixels, starting 7 pixels in.
constexpr int kSliderTravel = 346;
constexpr int kFirstThumbCentre = 7;
constexpr int kThumbRow = 16;

QPoint ThumbAt(int value) { return {kFirstThumbCentre + value, kThumbRow}; }

class Panels : public EndToEndFixture {
 protected:
  // Puts a pedal's slider range and thumbs into the window as a settings report would.
  void SetRange(PedalName pedal, std::uint16_t min, std::uint16_t max, std::uint16_t left,
                std::uint16_t right) {
    TPedal& object = form_->Link.Model.Pedal(pedal);
    object.data.SliderRangeMin = min;
    object.data.SliderRangeMax = max;
    object.data.SliderPosLeft = left;
    object.data.SliderPosRight = right;
    form_->ApplyPedalLimits(object);
  }

  // The pointer passes over the slider: the window takes the thumbs as they stand.
  // Two points, since a move to where the pointer already is may not be delivered.
  void HoverOver(TRangeSlider* slider) {
    QTest::mouseMove(slider, QPoint(1, 1));
    QTest::mouseMove(slider, QPoint(2, 1));
  }

  void EnterServiceModeAndConnect() {
    ASSERT_NO_FATAL_FAILURE(PlugInAndShow());
    QTest::keyClick(form_.get(), TMainForm::ServiceKey);
    ASSERT_NO_FATAL_FAILURE(StepUntilLoaded());
    ASSERT_NO_FATAL_FAILURE(Step());
  }

  static void SendKey(QWidget* to, QEvent::Type type, int key, bool autoRepeat) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(to, &event);
  }
};

TEST_F(Panels, ReleasingADraggedThumbSendsThePositionsTheUserSees) {
  ConnectAndGoLive();
  SetRange(PedalName::Throttle, 0, kSliderTravel, 20, 300);
  const std::size_t before = CommandCount();

  QTest::mousePress(form_->TrRangeSlider, Qt::LeftButton, {}, ThumbAt(20));
  QTest::mouseMove(form_->TrRangeSlider, ThumbAt(40));
  QTest::mouseMove(form_->TrRangeSlider, ThumbAt(45));
  QTest::mouseRelease(form_->TrRangeSlider, Qt::LeftButton, {}, ThumbAt(45));

  ASSERT_EQ(form_->TrRangeSlider->PositionLeft(), 45);
  EXPECT_EQ(CommandsFrom(before), std::vector<std::uint8_t>{PedalCommand::Update});
  EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Throttle).SliderPosLeft, 45);
  EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Throttle).SliderPosRight, 300);
  EXPECT_EQ(+form_->Link.Model.ThrottlePedal.data.SliderPosLeft, 45);
  EXPECT_EQ(form_->TrFromLableValue->text(), "13%");  // 45 of 346
}

TEST_F(Panels, KeyboardMoveIsSentOnceWhenTheKeyIsReleased) {
  ConnectAndGoLive();
  SetRange(PedalName::Clutch, 0, 200, 10, 190);
  const std::size_t before = CommandCount();

  // A held key: one press, then auto-repeated release and press pairs, then the real release.
  SendKey(form_->ClRangeSlider, QEvent::KeyPress, Qt::Key_Right, false);
  for (int repeat = 0; repeat < 4; ++repeat) {
    SendKey(form_->ClRangeSlider, QEvent::KeyRelease, Qt::Key_Right, true);
    SendKey(form_->ClRangeSlider, QEvent::KeyPress, Qt::Key_Right, true);
  }
  EXPECT_EQ(CommandCount(), before) << "nothing goes out while the key is held";
  SendKey(form_->ClRangeSlider, QEvent::KeyRelease, Qt::Key_Right, false);

  EXPECT_EQ(CommandsFrom(before), std::vector<std::uint8_t>{PedalCommand::Update});
  EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Clutch).SliderPosLeft, 15);
  EXPECT_EQ(form_->ClFromLableValue->text(), "8%");  // 7.5 goes to the even 8

  QTest::keyClick(form_->ClRangeSlider, Qt::Key_Tab);
  EXPECT_EQ(CommandCount(), before + 1) << "a key that moves nothing sends nothing";
}

TEST_F(Panels, WheelMoveIsSentOnceTheWheelHasRested) {
  ConnectAndGoLive();
  SetRange(PedalName::Brake, 0, 200, 10, 190);
  const std::size_t before = CommandCount();
  const QPoint over = ThumbAt(50);
  for (int notch = 0; notch < 3; ++notch) {
    QWheelEvent wheel(over, form_->BrRangeSlider->mapToGlobal(over), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form_->BrRangeSlider, &wheel);
  }
  ASSERT_EQ(form_->BrRangeSlider->PositionLeft(), 13);
  EXPECT_EQ(CommandCount(), before) << "not once per notch";

  ASSERT_TRUE(WaitUntil([&] { return CommandCount() > before; }));
  EXPECT_EQ(CommandsFrom(before), std::vector<std::uint8_t>{PedalCommand::Update});
  EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Brake).SliderPosLeft, 13);
}

// The pointer passing over the slider before the gesture ends copies the thumbs into the pedal
// object; the pedal set must still receive them once.
TEST_F(Panels, KeyboardOrWheelMoveIsSentOnceWhateverThePointerDidMeanwhile) {
  ConnectAndGoLive();
  SetRange(PedalName::Clutch, 0, 200, 10, 190);
  SetRange(PedalName::Brake, 0, 200, 10, 190);
  ASSERT_TRUE(form_->Link.SendCommand(PedalCommand::Update));  // the pedal set holds these
  std::size_t before = CommandCount();

  SendKey(form_->ClRangeSlider, QEvent::KeyPress, Qt::Key_Right, false);
  HoverOver(form_->ClRangeSlider);
  SendKey(form_->ClRangeSlider, QEvent::KeyRelease, Qt::Key_Right, false);
  EXPECT_EQ(CommandsFrom(before), std::vector<std::uint8_t>{PedalCommand::Update});
  EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Clutch).SliderPosLeft, 11);

  before = CommandCount();
  const QPoint over = ThumbAt(50);
  QWheelEvent wheel(over, form_->BrRangeSlider->mapToGlobal(over), {}, {0, -120}, Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(form_->BrRangeSlider, &wheel);
  HoverOver(form_->BrRangeSlider);
  ASSERT_TRUE(WaitUntil([&] { return CommandCount() > before; }));
  EXPECT_EQ(CommandsFrom(before), std::vector<std::uint8_t>{PedalCommand::Update});
  EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Brake).SliderPosLeft, 11);
  // The pedal set's stored bytes start after the report id; the left thumb lies 9 bytes in.
  EXPECT_EQ(+pedals_->Settings()[SettingsOffset::Pedal(PedalName::Brake) - 1 + 9], 11)
      << "stored by the pedal set";
}

struct PercentCase {
  std::uint16_t left;
  std::uint16_t right;
  const char* from;
  const char* to;
};

void PrintTo(const PercentCase& c, std::ostream* out) { *out << c.left << "-" << c.right; }

class PanelPercentages : public Panels, public ::testing::WithParamInterface<PercentCase> {};

// The percentages round half to even on the range of the pedal's settings, here 0 to 200.
TEST_P(PanelPercentages, FromAndToLabels) {
  ConnectAndGoLive();
  const PercentCase c = GetParam();
  SetRange(PedalName::Throttle, 0, 200, c.left, c.right);
  HoverOver(form_->TrRangeSlider);
  EXPECT_EQ(form_->TrFromLableValue->text(), c.from);
  EXPECT_EQ(form_->TrToLableValue->text(), c.to);
}

INSTANTIATE_TEST_SUITE_P(ZeroTo200, PanelPercentages,
                         ::testing::Values(PercentCase{0, 199, "0%", "100%"},
                                           PercentCase{1, 197, "0%", "98%"},
                                           PercentCase{3, 200, "2%", "100%"},
                                           PercentCase{5, 200, "2%", "100%"}));

struct KgCase {
  double brakeKgConst;
  int sliderMax;
  int left;
  int right;
  const char* leftKg;
  const char* rightKg;
};

void PrintTo(const KgCase& c, std::ostream* out) {
  *out << c.brakeKgConst << "x96 on 0-" << c.sliderMax << " at " << c.left << "-" << c.right;
}

class BrakeKilograms : public Panels, public ::testing::WithParamInterface<KgCase> {};

// Both thumbs map from the slider's own range onto 96 times the brake constant.
TEST_P(BrakeKilograms, UnderEachThumb) {
  ConnectAndGoLive();
  const KgCase c = GetParam();
  form_->Link.Model.BrakeKgConst = c.brakeKgConst;
  SetRange(PedalName::Brake, 0, static_cast<std::uint16_t>(c.sliderMax), 0,
           static_cast<std::uint16_t>(c.right));
  form_->BrRangeSlider->SetPositionLeft(c.left);
  HoverOver(form_->BrRangeSlider);
  EXPECT_EQ(form_->BrLSliderKgValueLable->text(), c.leftKg);
  EXPECT_EQ(form_->BrRSliderKgValueLable->text(), c.rightKg);
  EXPECT_EQ(QString::number(form_->BrakeRightKg) + "kg", c.rightKg);
}

INSTANTIATE_TEST_SUITE_P(Examples, BrakeKilograms,
                         ::testing::Values(KgCase{1.0, 32767, 16384, 32767, "48kg", "96kg"},
                                           KgCase{1.0, 1000, 500, 1000, "48kg", "96kg"},
                                           KgCase{1.0, 1000, 500, 500, "48kg",
                                                  "48kg"},  // the same thumb, both sides
                                           KgCase{2.5, 32767, 0, 32767, "0kg", "240kg"}));

TEST_F(Panels, EmptyRangesReadZeroInsteadOfGarbage) {
  ConnectAndGoLive();
  SetRange(PedalName::Throttle, 500, 500, 500, 500);
  SetRange(PedalName::Brake, 300, 300, 300, 300);
  HoverOver(form_->TrRangeSlider);
  HoverOver(form_->BrRangeSlider);
  EXPECT_EQ(form_->TrFromLableValue->text(), "0%");
  EXPECT_EQ(form_->TrToLableValue->text(), "0%");
  EXPECT_EQ(form_->BrLSliderKgValueLable->text(), "0kg");
  EXPECT_EQ(form_->BrRSliderKgValueLable->text(), "0kg");
}

struct DumpedThumbsCase {
  std::uint16_t left;
  std::uint16_t right;
  int shownLeft;
  int shownRight;
  const char* from;
  const char* to;
};

void PrintTo(const DumpedThumbsCase& c, std::ostream* out) { *out << c.left << "-" << c.right; }

class DumpedThumbs : public Panels, public ::testing::WithParamInterface<DumpedThumbsCase> {};

// The pedal set holds the thumbs at 20 and 980 of 0 to 1000 until it is told otherwise. A pair
// wholly beyond the old one still lands where the pedal set put it; a pair that is no range
// shows the whole range, while the pedal object keeps what was received.
TEST_P(DumpedThumbs, SettingsDumpPlacesThemAndValidatesThem) {
  ConnectAndGoLive();
  const DumpedThumbsCase c = GetParam();
  PedalData& throttle = form_->Link.Model.ThrottlePedal.data;
  throttle.SliderPosLeft = c.left;
  throttle.SliderPosRight = c.right;
  ASSERT_TRUE(form_->Link.SendCommand(PedalCommand::Update));
  QTest::mouseClick(form_->ReadSetButton, Qt::LeftButton);
  StepUntilLoaded();

  EXPECT_EQ(form_->TrRangeSlider->PositionLeft(), c.shownLeft);
  EXPECT_EQ(form_->TrRangeSlider->PositionRight(), c.shownRight);
  EXPECT_EQ(form_->TrFromLableValue->text(), c.from);
  EXPECT_EQ(form_->TrToLableValue->text(), c.to);
  EXPECT_EQ(+throttle.SliderPosLeft, c.left);
  EXPECT_EQ(+throttle.SliderPosRight, c.right);
}

INSTANTIATE_TEST_SUITE_P(
    From20To980, DumpedThumbs,
    ::testing::Values(DumpedThumbsCase{990, 995, 990, 995, "99%", "100%"},  // 99.5 to even 100
                      DumpedThumbsCase{5, 10, 5, 10, "0%", "1%"},           // 0.5 to even 0
                      DumpedThumbsCase{500, 500, 0, 1000, "0%", "100%"}));

struct CalibrationCase {
  PedalName pedal;
  std::uint8_t start;
  std::uint8_t end;
  bool validatesFirst;
};

void PrintTo(const CalibrationCase& c, std::ostream* out) {
  *out << int{c.start} << "/" << int{c.end};
}

class Calibration : public Panels, public ::testing::WithParamInterface<CalibrationCase> {};

TEST_P(Calibration, CalibrateThenDoneSendsTheCodesAndReadsTheSettingsAgain) {
  ConnectAndGoLive();
  const CalibrationCase c = GetParam();
  const TMainForm::TPedalControls controls = form_->ControlsOf(c.pedal);
  const std::size_t before = CommandCount();

  controls.calibrateButton->click();
  EXPECT_EQ(controls.calibrateButton->text(), "Done");
  EXPECT_FALSE(controls.infoLabel->isHidden());
  EXPECT_TRUE(form_->Link.Model.Pedal(c.pedal).calibration);

  // Thumbs that stand on each other are invalid: only the brake puts them right before 164.
  controls.slider->SetPositionLeft(controls.slider->PositionRight());
  controls.calibrateButton->click();
  EXPECT_EQ(CommandsFrom(before), (std::vector<std::uint8_t>{c.start, c.end}));
  EXPECT_EQ(controls.calibrateButton->text(), "Calibrate");
  EXPECT_TRUE(controls.infoLabel->isHidden());
  EXPECT_FALSE(form_->Link.SettingsLoaded);
  EXPECT_EQ(controls.slider->PositionLeft() < controls.slider->PositionRight(), c.validatesFirst);

  const int dumps = pedals_->DumpsSent();
  StepUntilLoaded();
  EXPECT_EQ(pedals_->DumpsSent(), dumps + 1);
}

INSTANTIATE_TEST_SUITE_P(EachPedal, Calibration,
                         ::testing::Values(CalibrationCase{PedalName::Throttle, 161, 162, false},
                                           CalibrationCase{PedalName::Brake, 163, 164, true},
                                           CalibrationCase{PedalName::Clutch, 165, 166, false}));

TEST_F(Panels, EscapeStartsAndEndsTheThrottleCalibration) {
  ConnectAndGoLive();
  const std::size_t before = CommandCount();
  QTest::keyClick(form_->BrRangeSlider, Qt::Key_Escape);
  EXPECT_EQ(form_->TrCalibrateBtn->text(), "Done");
  QTest::keyClick(form_->BrRangeSlider, Qt::Key_Escape);
  EXPECT_EQ(CommandsFrom(before), (std::vector<std::uint8_t>{161, 162}));
}

TEST_F(Panels, DumpDuringAnotherPedalsCalibrationResetsOnlyTheCaption) {
  ConnectAndGoLive();
  form_->TrCalibrateBtn->click();
  form_->BrCalibrateBtn->click();
  form_->BrCalibrateBtn->click();  // Done: the settings are read again
  StepUntilLoaded();

  EXPECT_EQ(form_->TrCalibrateBtn->text(), "Calibrate");
  EXPECT_TRUE(form_->Link.Model.ThrottlePedal.calibration);
  EXPECT_FALSE(form_->TrInfoLable->isHidden());

  const std::size_t before = CommandCount();
  form_->TrCalibrateBtn->click();
  EXPECT_EQ(CommandsFrom(before), std::vector<std::uint8_t>{161});
  EXPECT_EQ(form_->TrCalibrateBtn->text(), "Done");
}

TEST_F(Panels, AdvancedStripsGrowPanelAndWindowAndEveryPairOfClicksUndoesIt) {
  EnterServiceModeAndConnect();
  struct Strip {
    QPushButton* button;
    TPanel* panel;
    TPanel* strip;
    int panelGrowth;
    int windowGrowth;
  };
  const Strip strips[] = {{form_->TrAdvButt, form_->TrottlePanel, form_->TrAdvPanel, 41, 41},
                          {form_->BrAdvButt, form_->BrPanel, form_->BrAdvPanel, 61, 40},
                          {form_->ClAdvButt, form_->ClPanel, form_->ClAdvPanel, 41, 41}};
  const int windowHeight = form_->height();
  for (const Strip& s : strips) {
    ASSERT_TRUE(s.button->isVisible());
    const int panelHeight = s.panel->height();
    for (int pair = 0; pair < 3; ++pair) {
      QTest::mouseClick(s.button, Qt::LeftButton);
      EXPECT_EQ(s.panel->height(), panelHeight + s.panelGrowth);
      EXPECT_EQ(form_->height(), windowHeight + s.windowGrowth);
      EXPECT_TRUE(s.strip->isVisible());
      EXPECT_EQ(s.strip->height(), 60);
      QTest::mouseClick(s.button, Qt::LeftButton);
      EXPECT_EQ(s.panel->height(), panelHeight);
      EXPECT_EQ(form_->height(), windowHeight);
      EXPECT_FALSE(s.strip->isVisible());
    }
  }
}

TEST_F(Panels, FilterBoxesStoreTheChosenItemAndSendIt) {
  EnterServiceModeAndConnect();
  for (int index = 0; index < form_->TrFSValue->count(); ++index) {
    emit form_->TrFSValue->activated(index);  // the user picks item `index` from the list
    EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Throttle).FirstFilterStageKoeff, index);
  }
  EXPECT_EQ(form_->TrFSValue->count(), 10) << "the empty tenth item stores 9";
  emit form_->ClSSValueBox->activated(8);
  EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Clutch).SecondFilterStageKoeff, 8);
}

TEST_F(Panels, FilterBoxTextMatchingNoItemIsNeverStored) {
  EnterServiceModeAndConnect();
  QTest::mouseClick(form_->BrAdvButt, Qt::LeftButton);
  const std::uint8_t stored = form_->Link.Model.BrakePedal.data.SecondFilterStageKoeff;
  const std::size_t before = CommandCount();
  form_->BrSSValueBox->lineEdit()->clear();
  QTest::keyClicks(form_->BrSSValueBox->lineEdit(), "fast");
  QTest::keyClick(form_->BrSSValueBox->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(CommandCount(), before);
  EXPECT_EQ(+form_->Link.Model.BrakePedal.data.SecondFilterStageKoeff, stored);
  EXPECT_EQ(form_->BrSSValueBox->currentIndex(), stored);
  EXPECT_EQ(form_->BrSSValueBox->currentText(), form_->BrSSValueBox->itemText(stored))
      << "the box names the stored item again";

  emit form_->BrSSValueBox->activated(-1);  // an index of no item, should one ever come
  EXPECT_EQ(CommandCount(), before);
  EXPECT_EQ(+form_->Link.Model.BrakePedal.data.SecondFilterStageKoeff, stored);
  EXPECT_EQ(form_->BrSSValueBox->currentText(), form_->BrSSValueBox->itemText(stored));

  // A typed text that names an item chooses it.
  form_->BrSSValueBox->lineEdit()->clear();
  QTest::keyClicks(form_->BrSSValueBox->lineEdit(), "5");
  QTest::keyClick(form_->BrSSValueBox->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Brake).SecondFilterStageKoeff, 5);
  EXPECT_EQ(form_->BrSSValueBox->currentText(), "5");
}

class ConnectionBox : public Panels, public ::testing::WithParamInterface<bool> {
 protected:
  void Toggle(TCheckBox* box) {
    if (GetParam()) {
      QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    } else {
      box->setFocus();
      QTest::keyClick(box, Qt::Key_Space);
    }
  }
};

// By mouse and by keyboard alike, the tick, the button and the pedal set follow ConnectStatus.
TEST_P(ConnectionBox, TogglesTheConnectionFlag) {
  EnterServiceModeAndConnect();
  QTest::mouseClick(form_->BrAdvButt, Qt::LeftButton);
  ASSERT_EQ(+form_->Link.Model.BrakePedal.data.ConnectStatus, 1);
  ASSERT_TRUE(form_->BrConnectCheckBox->isChecked());

  Toggle(form_->BrConnectCheckBox);
  EXPECT_EQ(+form_->Link.Model.BrakePedal.data.ConnectStatus, 0);
  EXPECT_FALSE(form_->BrConnectCheckBox->isChecked());
  EXPECT_EQ(form_->BrCalibrateBtn->text(), "Not connected");
  EXPECT_FALSE(form_->BrCalibrateBtn->isEnabled());
  EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Brake).ConnectStatus, 0);

  Toggle(form_->BrConnectCheckBox);
  EXPECT_EQ(+form_->Link.Model.BrakePedal.data.ConnectStatus, 1);
  EXPECT_TRUE(form_->BrConnectCheckBox->isChecked());
  EXPECT_EQ(form_->BrCalibrateBtn->text(), "Calibrate");
  EXPECT_TRUE(form_->BrCalibrateBtn->isEnabled());
  EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Brake).ConnectStatus, 1);
}

INSTANTIATE_TEST_SUITE_P(MouseAndKeyboard, ConnectionBox, ::testing::Bool(),
                         [](const auto& test) { return test.param ? "Mouse" : "Keyboard"; });

}  // namespace
