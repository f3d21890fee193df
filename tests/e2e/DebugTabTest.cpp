// The Debug tab and the service mode on the real window with the virtual pedal set: which tabs
// and buttons show, the log of settings dumps, the raw fields and the brake constant, and what
// the pedal set receives for each of them.

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <ostream>

#include "EndToEndFixture.h"
#include "TLabel.h"
#include "widgets/TNumericEdit.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSideTabPageControl.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

class DebugTab : public EndToEndFixture {
 protected:
  bool TabsShown() const {
    return form_->TabSheet1->TabVisible() && form_->TabSheet3->TabVisible();
  }
  bool AdvancedButtonsShown() const {
    return !form_->TrAdvButt->isHidden() && !form_->BrAdvButt->isHidden() &&
           !form_->ClAdvButt->isHidden();
  }
  QStringList MemoLines() const {
    return form_->DebugMemo->toPlainText().split('\n');
  }
  void Choose(int pedalIndex) {
    form_->DebugPedalSelectorBox->setCurrentIndex(pedalIndex);
    emit form_->DebugPedalSelectorBox->activated(pedalIndex);  // the user picks the pedal
  }
  void Enter(TNumericEdit* edit, const QString& text) {
    edit->SetText(text);
    QTest::keyClick(edit, Qt::Key_Return);
  }
};

TEST_F(DebugTab, ServiceKeyFirstKeepsBothTabsAndShowsTheAdvancedButtons) {
  PlugInAndShow();
  QTest::keyClick(form_.get(), TMainForm::ServiceKey);
  EXPECT_TRUE(form_->ServiceKeyPressed);
  EXPECT_TRUE(TabsShown());
  EXPECT_TRUE(AdvancedButtonsShown());

  const QRect pageArea = form_->MyPageControl->geometry();
  StepUntilLoaded();
  QTest::keyClick(form_.get(), Qt::Key_A);
  EXPECT_TRUE(TabsShown());
  EXPECT_TRUE(AdvancedButtonsShown());
  EXPECT_EQ(form_->MyPageControl->geometry(), pageArea);
}

TEST_F(DebugTab, AnyOtherKeyFirstHidesTheTabsForGood) {
  PlugInAndShow();
  QTest::keyClick(form_.get(), Qt::Key_Space);
  QTest::keyClick(form_.get(), TMainForm::ServiceKey);
  StepUntilLoaded();
  EXPECT_FALSE(form_->TabSheet1->TabVisible());
  EXPECT_FALSE(form_->TabSheet3->TabVisible());
  EXPECT_EQ(form_->MyPageControl->ActivePage(), form_->TabSheet1);
  EXPECT_EQ(form_->MyPageControl->Left(), 20);
  EXPECT_EQ(form_->MyPageControl->Align(), TSideTabPageControl::alNone);
  EXPECT_FALSE(AdvancedButtonsShown());
}

TEST_F(DebugTab, WithoutAKeyTheFirstDumpHidesTheTabs) {
  ConnectAndGoLive();
  EXPECT_FALSE(form_->TabSheet1->TabVisible());
  EXPECT_EQ(form_->MyPageControl->Left(), 20);
  EXPECT_FALSE(AdvancedButtonsShown());
}

TEST_F(DebugTab, EveryDumpAddsItsBlockOfEighteenLines) {
  Hold(1111, 2222, 3333);
  ConnectAndGoLive();
  const QStringList first = MemoLines();
  ASSERT_EQ(first.size(), 18);
  const QString separator(26, '-');
  EXPECT_EQ(first[0], separator);
  EXPECT_EQ(first[2], "TrPedal.USB.Min: 350");
  EXPECT_EQ(first[3], "TrPedal.USB.Max: 3750");
  EXPECT_EQ(first[4], "TrPedal.Fanatec.Min: 0");
  EXPECT_EQ(first[5], "TrPedal.Fanatec.Max: 65535");
  EXPECT_EQ(first[6], separator);
  EXPECT_EQ(first[8], "BrPedal.USB.Min: 120");
  EXPECT_EQ(first[12], separator);
  EXPECT_EQ(first[17], "ClPedal.Fanatec.Max: 65535");
  EXPECT_EQ(form_->FlashCountEdit->Text(), "3");
  EXPECT_EQ(form_->TrFSValue->currentIndex(), 2);
  EXPECT_EQ(form_->TrSSValue->currentIndex(), 1);

  Step(3);
  QTest::mouseClick(form_->ReadSetButton, Qt::LeftButton);
  StepUntilLoaded();
  const QStringList both = MemoLines();
  ASSERT_EQ(both.size(), 36);
  EXPECT_EQ(both[18], separator);
  EXPECT_EQ(both[19], "TrPedal.Position: 1111") << "the last live position";
  EXPECT_EQ(both[25], "BrPedal.Position: 2222");
}

struct VersionCase {
  std::uint16_t version;
  const char* text;
};

void PrintTo(const VersionCase& c, std::ostream* out) { *out << c.version; }

class FirmwareVersion : public DebugTab, public ::testing::WithParamInterface<VersionCase> {};

// Two decimal digits per part: 10203 is 1.2.3.
TEST_P(FirmwareVersion, ShownAsThreeParts) {
  CreateAndShowForm();
  TSettingsReport& report = form_->Link.Model.SettingsReport;
  report[SettingsOffset::McuVersion] = static_cast<std::uint8_t>(GetParam().version & 0xFF);
  report[SettingsOffset::McuVersion + 1] = static_cast<std::uint8_t>(GetParam().version >> 8);
  form_->DumpSettingsToDebug();
  EXPECT_EQ(form_->VersionLable->text(), QString("MCU Version: ") + GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Examples, FirmwareVersion,
                         ::testing::Values(VersionCase{10203, "1.2.3"}, VersionCase{0, "0.0.0"},
                                           VersionCase{12550, "1.25.50"},
                                           VersionCase{15050, "1.50.50"},
                                           VersionCase{10099, "1.0.99"},
                                           VersionCase{65535, "6.55.35"}));

TEST_F(DebugTab, SelectorFillsTheRawFieldsFromTheChosenPedal) {
  ConnectAndGoLive();
  EXPECT_EQ(form_->DebugPedalSelectorBox->currentText(), "Select the pedal");
  Choose(0);
  EXPECT_EQ(form_->USBMinEdit->Text(), "350");
  EXPECT_EQ(form_->USBMaxEdit->Text(), "3750");
  EXPECT_EQ(form_->FanatecMaxEdit->Text(), "65535");
  EXPECT_EQ(form_->SliderRangeMaxEdit->Text(), "1000");
  EXPECT_EQ(form_->SliderPosLeftEdit->Text(), "20");
  EXPECT_EQ(form_->SliderPosRightEdit->Text(), "980");
  Choose(2);
  EXPECT_EQ(form_->USBMinEdit->Text(), "500");
  EXPECT_EQ(form_->USBMaxEdit->Text(), "3600");

  // A typed name of no pedal chooses none: the selector names the clutch again, whose fields
  // they still are.
  QLineEdit* typed = form_->DebugPedalSelectorBox->lineEdit();
  typed->selectAll();
  QTest::keyClicks(typed, "Brakes");
  QTest::keyClick(typed, Qt::Key_Return);
  EXPECT_EQ(form_->DebugPedalSelectorBox->currentText(), "Clutch");
  EXPECT_EQ(form_->USBMinEdit->Text(), "500");

  // A dump refills them for the pedal still chosen.
  form_->USBMinEdit->SetText("7");
  QTest::mouseClick(form_->ReadSetButton, Qt::LeftButton);
  StepUntilLoaded();
  EXPECT_EQ(form_->USBMinEdit->Text(), "500");
}

struct RawCase {
  const char* typed;
  int stored;  // -1: refused
};

void PrintTo(const RawCase& c, std::ostream* out) { *out << '"' << c.typed << '"'; }

class RawField : public DebugTab, public ::testing::WithParamInterface<RawCase> {};

TEST_P(RawField, EnterStoresAndSendsOnlyAValueThatRoundsIntoSixteenBits) {
  ConnectAndGoLive();
  Choose(1);
  const std::size_t before = CommandCount();
  const TRangeSlider* slider = form_->BrRangeSlider;
  const int sliderLeft = slider->PositionLeft();

  Enter(form_->SliderPosLeftEdit, GetParam().typed);
  const std::uint16_t stored = form_->Link.Model.BrakePedal.data.SliderPosLeft;
  if (GetParam().stored >= 0) {
    EXPECT_EQ(stored, GetParam().stored);
    EXPECT_EQ(CommandsFrom(before), std::vector<std::uint8_t>{PedalCommand::Update});
    EXPECT_EQ(+LastSent(PedalCommand::Update, PedalName::Brake).SliderPosLeft, stored);
    EXPECT_EQ(slider->PositionLeft(), sliderLeft) << "the Main page waits for the next settings";
  } else {
    EXPECT_EQ(stored, 20);
    EXPECT_EQ(CommandCount(), before);
    EXPECT_EQ(form_->SliderPosLeftEdit->Text(), "20") << "the field shows the value again";
  }
}

INSTANTIATE_TEST_SUITE_P(Values, RawField,
                         ::testing::Values(RawCase{"1234", 1234}, RawCase{"0", 0},
                                           RawCase{"65535", 65535}, RawCase{"1234.5", 1234},
                                           RawCase{"1235.5", 1236}, RawCase{"-0.4", 0},
                                           RawCase{"65535.5", -1}, RawCase{"65536", -1},
                                           RawCase{"-1", -1}, RawCase{"12ab", -1},
                                           RawCase{"", -1}));

TEST_F(DebugTab, RawFieldOnlyActsOnEnterAndWithoutAPedalChangesNothingButSends) {
  ConnectAndGoLive();
  const PedalModel before = form_->Link.Model;
  const std::size_t sent = CommandCount();
  form_->USBMinEdit->SetText("42");
  QTest::keyClick(form_->USBMinEdit, Qt::Key_2);
  EXPECT_EQ(CommandCount(), sent);
  QTest::keyClick(form_->USBMinEdit, Qt::Key_Return);
  EXPECT_EQ(CommandsFrom(sent), std::vector<std::uint8_t>{PedalCommand::Update});
  for (PedalName pedal : kAllPedals) {
    EXPECT_EQ(form_->Link.Model.Pedal(pedal).data, before.Pedal(pedal).data);
  }
}

TEST_F(DebugTab, BrakeConstantFollowsTheLabelsAtOnceAndTravelsInTenths) {
  ConnectAndGoLive();
  EXPECT_EQ(form_->BrCalEdit->Text(), "1.5");
  form_->BrRangeSlider->SetPositionRight(1000);
  const std::size_t before = CommandCount();

  Enter(form_->BrCalEdit, "2.57");
  EXPECT_DOUBLE_EQ(form_->Link.Model.BrakeKgConst, 2.57);
  EXPECT_EQ(form_->BrRSliderKgValueLable->text(), "247kg");  // 96 x 2.57 = 246.72
  EXPECT_EQ(CommandsFrom(before), std::vector<std::uint8_t>{PedalCommand::Update});
  EXPECT_EQ(pedals_->ReceivedReports().back()[SettingsOffset::BrakeKgTenths], 26);

  QTest::mouseClick(form_->ReadSetButton, Qt::LeftButton);
  StepUntilLoaded();
  EXPECT_EQ(form_->BrCalEdit->Text(), "2.6");
}

TEST_F(DebugTab, BrakeConstantOutOfOneByteOfTenthsIsRefused) {
  ConnectAndGoLive();
  const std::size_t before = CommandCount();
  Enter(form_->BrCalEdit, "25.6");
  EXPECT_EQ(CommandCount(), before);
  EXPECT_DOUBLE_EQ(form_->Link.Model.BrakeKgConst, 1.5);
  EXPECT_EQ(form_->BrCalEdit->Text(), "1.5");

  Enter(form_->BrCalEdit, "25.5");
  EXPECT_EQ(pedals_->ReceivedReports().back()[SettingsOffset::BrakeKgTenths], 255);
}

// Typed the user's way or the other locale's way, the constant reaches the pedal set as typed:
// never ten times too large.
TEST_F(DebugTab, BrakeConstantTypedWithEitherDecimalPointTravelsAsTyped) {
  ConnectAndGoLive();
  for (const char* locale : {"de_DE", "en_US"}) {
    QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
    for (const char* typed : {"2.5", "2,5", "0.15"}) {
      form_->BrCalEdit->setFocus();
      form_->BrCalEdit->selectAll();
      QTest::keyClicks(form_->BrCalEdit, QString::fromLatin1(typed));
      QTest::keyClick(form_->BrCalEdit, Qt::Key_Return);
      const int tenths = typed[2] == '1' ? 2 : 25;  // 1.5 tenths go to the even 2
      EXPECT_EQ(pedals_->ReceivedReports().back()[SettingsOffset::BrakeKgTenths], tenths)
          << locale << " '" << typed << "'";
    }
  }
}

// A character the edit's filter does not admit never reaches the field, however it is typed.
TEST_F(DebugTab, StrayCharacterInTheBrakeConstantNeverSendsZero) {
  ConnectAndGoLive();
  form_->BrCalEdit->setFocus();
  form_->BrCalEdit->selectAll();
  QTest::keyClicks(form_->BrCalEdit, QStringLiteral("2"));
  QKeyEvent mark(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x200E)));
  QApplication::sendEvent(form_->BrCalEdit, &mark);
  QTest::keyClicks(form_->BrCalEdit, QStringLiteral(".5"));
  QTest::keyClick(form_->BrCalEdit, Qt::Key_Return);
  EXPECT_EQ(form_->BrCalEdit->Text(), "2.5");
  EXPECT_EQ(pedals_->ReceivedReports().back()[SettingsOffset::BrakeKgTenths], 25);
}

TEST_F(DebugTab, EnterInTheFlashCountSendsTheBrakeConstantNotTheCount) {
  ConnectAndGoLive();
  form_->BrCalEdit->SetText("2");
  Enter(form_->FlashCountEdit, "999");
  const auto report = pedals_->ReceivedReports().back();
  EXPECT_EQ(report[1], PedalCommand::Update);
  EXPECT_EQ(report[SettingsOffset::BrakeKgTenths], 20);
  EXPECT_EQ(report[SettingsOffset::FlashCount], 3) << "the count goes back as received";
}

TEST_F(DebugTab, ReadSettingsPausesTheReadoutUntilTheNextDump) {
  Hold(1000, 1000, 1000);
  ConnectAndGoLive();
  const std::size_t before = CommandCount();
  QTest::mouseClick(form_->ReadSetButton, Qt::LeftButton);
  EXPECT_EQ(CommandCount(), before) << "the button itself sends nothing";

  Hold(3000, 3000, 3000);
  Step();
  EXPECT_EQ(CommandsFrom(before), std::vector<std::uint8_t>{PedalCommand::SettingsRequest});
  EXPECT_EQ(form_->TrProgressBar->Position(), 1000);

  StepUntilLoaded();
  EXPECT_EQ(MemoLines().size(), 36);
  Step();
  EXPECT_EQ(form_->TrProgressBar->Position(), 3000);
}

TEST_F(DebugTab, ResetCalibrationReportsSuccessOnlyWhenWritten) {
  ConnectAndGoLive();
  const std::size_t before = CommandCount();
  QTest::mouseClick(form_->ResetCalibrButt, Qt::LeftButton);
  EXPECT_EQ(CommandsFrom(before), std::vector<std::uint8_t>{PedalCommand::ResetCalibration});
  EXPECT_FALSE(form_->Link.SettingsLoaded);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].first, TMainForm::TMessageKind::Information);
  EXPECT_EQ(messages_[0].second, "Saved successfuly");
  StepUntilLoaded();

  pedals_->Unplug();
  ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice() == nullptr; }));
  QTest::mouseClick(form_->ResetCalibrButt, Qt::LeftButton);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1].first, TMainForm::TMessageKind::Error);
  EXPECT_NE(messages_[1].second, "Saved successfuly");
}

}  // namespace
