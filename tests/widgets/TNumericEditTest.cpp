#include "widgets/TNumericEdit.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QLocale>
#include <QMenu>
#include <QTest>
#include <cfloat>
#include <string>
#include <vector>

namespace {

// Switches the user's locale for one test and restores it afterwards.
class LocaleScope {
 public:
  explicit LocaleScope(const char* name) : saved_(QLocale()) {
    QLocale::setDefault(QLocale(QString::fromLatin1(name)));
  }
  ~LocaleScope() { QLocale::setDefault(saved_); }

 private:
  QLocale saved_;
};

// The configurations the window uses: raw limits, floating fields (the flash count), and the
// brake constant, a floating field with either decimal point.
void ConfigureRawLimitEdit(TNumericEdit& edit) { edit.SetText(QStringLiteral("0")); }

void ConfigureFloatEdit(TNumericEdit& edit) {
  edit.SetEditType(etFloat);
  edit.SetPrecision(4);
  edit.SetPrecisionDisplay(pdShortest);
  edit.SetText(QStringLiteral("0"));
}

void ConfigureBrakeConstantEdit(TNumericEdit& edit) {
  ConfigureFloatEdit(edit);
  edit.SetEitherDecimalPoint(true);
}

// ---- Reading FloatValue in etString: full stop whatever the locale, leading-digits fallback ----

struct StringReadCase {
  const char* text;
  double expected;
};

class StringReadTest : public testing::TestWithParam<std::tuple<const char*, StringReadCase>> {};

TEST_P(StringReadTest, ReadsWithFullStopOrLeadingDigits) {
  const auto& [locale, c] = GetParam();
  LocaleScope scope(locale);
  TNumericEdit edit;
  ConfigureRawLimitEdit(edit);
  edit.setText(QString::fromUtf8(c.text));
  EXPECT_DOUBLE_EQ(edit.FloatValue(), c.expected) << "text '" << c.text << "'";
}

const StringReadCase kStringReadCases[] = {
    {"4095", 4095},     {"", 0},
    {"40x95", 40},      {"-12", -12},
    {"-12x", 12},       {"1,5", 1},
    {"1.5", 1.5},       {" 12", 12},
    {"+5", 5},          {"1e3", 1000},
    {"2.5", 2.5},       {".", 0},
    {"12 ", 12},        {"-7x", 7},
    {"1.5x", 15},       {"1e", 1},
    {"-", 0},           {"abc", 0},
    {" ", 0},           {"1E-2", 0.01},
    {"1e400", DBL_MAX}, {"-1e400", -DBL_MAX},
    {"1e-400", 0},      {"٣", 0},
};

INSTANTIATE_TEST_SUITE_P(FullStopAndCommaLocales, StringReadTest,
                         testing::Combine(testing::Values("en_US", "de_DE"),
                                          testing::ValuesIn(kStringReadCases)));

// ---- Reading FloatValue in etFloat: the user's separators, 0 when it does not convert ----

struct FloatReadCase {
  const char* locale;
  const char* text;
  double expected;  // 0 with no value: the text is no number
  bool hasValue = true;
  bool eitherPoint = false;
};

class FloatReadTest : public testing::TestWithParam<FloatReadCase> {};

TEST_P(FloatReadTest, ReadsWithLocaleSeparators) {
  const FloatReadCase& c = GetParam();
  LocaleScope scope(c.locale);
  TNumericEdit edit;
  ConfigureFloatEdit(edit);
  edit.SetEitherDecimalPoint(c.eitherPoint);
  edit.setText(QString::fromUtf8(c.text));
  EXPECT_DOUBLE_EQ(edit.FloatValue(), c.expected) << c.locale << " '" << c.text << "'";
  EXPECT_EQ(edit.HasFloatValue(), c.hasValue) << c.locale << " '" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FloatReadTest,
    testing::Values(FloatReadCase{"en_US", "12.3", 12.3}, FloatReadCase{"en_US", "1,234.5", 1234.5},
                    FloatReadCase{"en_US", "1,234,567", 1234567},
                    FloatReadCase{"en_US", " 2.5 ", 2.5}, FloatReadCase{"en_US", "-3", -3},
                    FloatReadCase{"en_US", "1e2", 100}, FloatReadCase{"en_US", "", 0, false},
                    FloatReadCase{"en_US", "-", 0, false}, FloatReadCase{"en_US", "12,3x", 0, false},
                    FloatReadCase{"en_US", "nan", 0, false}, FloatReadCase{"en_US", "inf", 0, false},
                    FloatReadCase{"en_US", "1e999", 0, false},
                    FloatReadCase{"de_DE", "12,3", 12.3}, FloatReadCase{"de_DE", "1.234,5", 1234.5},
                    FloatReadCase{"de_DE", "2.5x", 0, false},
                    // A separator that groups no three digits is no thousand separator: never
                    // dropped to read "2,5" as 25.
                    FloatReadCase{"en_US", "2,5", 0, false}, FloatReadCase{"en_US", "12,34", 0, false},
                    FloatReadCase{"en_US", "1,2345", 0, false},
                    FloatReadCase{"en_US", ",123", 0, false},
                    FloatReadCase{"en_US", "1234,567", 0, false},
                    FloatReadCase{"en_US", "1.5,00", 0, false},
                    FloatReadCase{"de_DE", "2.5", 0, false}, FloatReadCase{"de_DE", "1.50", 0, false},
                    // Either decimal point, and no thousands.
                    FloatReadCase{"de_DE", "2.5", 2.5, true, true},
                    FloatReadCase{"de_DE", "2,5", 2.5, true, true},
                    FloatReadCase{"en_US", "2,5", 2.5, true, true},
                    FloatReadCase{"en_US", "2.5", 2.5, true, true},
                    FloatReadCase{"en_US", "1,234.5", 0, false, true}));

// ---- Writing FloatValue: precision formatting, pdShortest, the locale's decimal separator ----

struct WriteCase {
  const char* locale;
  TNumericEditType type;
  int precision;
  TPrecisionDisplay display;
  double value;
  const char* shown;
};

class WriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteTest, FormatsAndMarksModified) {
  const WriteCase& c = GetParam();
  LocaleScope scope(c.locale);
  TNumericEdit edit;
  edit.SetEditType(c.type);
  edit.SetPrecision(static_cast<std::int16_t>(c.precision));
  edit.SetPrecisionDisplay(c.display);
  edit.SetFloatValue(c.value);
  EXPECT_EQ(edit.Text().toStdString(), c.shown);
  EXPECT_TRUE(edit.isModified());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteTest,
    testing::Values(WriteCase{"en_US", etString, 0, pdNormal, 1234, "1234"},
                    WriteCase{"en_US", etString, 0, pdNormal, 4095, "4095"},
                    WriteCase{"de_DE", etString, 0, pdNormal, 65535, "65535"},
                    WriteCase{"en_US", etString, 0, pdNormal, 2.5, "2"},
                    WriteCase{"en_US", etString, -1, pdNormal, 0.5, "0.5"},
                    WriteCase{"de_DE", etString, 2, pdNormal, 0.5, "0,50"},
                    WriteCase{"en_US", etFloat, 4, pdShortest, 12.3, "12.3"},
                    WriteCase{"de_DE", etFloat, 4, pdShortest, 12.3, "12,3"},
                    WriteCase{"en_US", etFloat, 4, pdShortest, 17, "17"},
                    WriteCase{"en_US", etFloat, 4, pdShortest, 0, "0"},
                    WriteCase{"en_US", etFloat, 4, pdShortest, -0.0, "0"},
                    WriteCase{"en_US", etFloat, 4, pdShortest, 2.56789, "2.5679"},
                    WriteCase{"en_US", etFloat, 4, pdShortest, 1234567, "1234567"},
                    // Round counts and small constants stay plain decimals, not '1e+05', '5e-04'.
                    WriteCase{"en_US", etFloat, 4, pdShortest, 100000, "100000"},
                    WriteCase{"en_US", etFloat, 4, pdShortest, 2e6, "2000000"},
                    WriteCase{"de_DE", etFloat, 4, pdShortest, 0.0005, "0,0005"},
                    WriteCase{"en_US", etFloat, 4, pdShortest, 1e15, "1e+15"},
                    WriteCase{"en_US", etFloat, 4, pdNormal, 17, "17.0000"}));

TEST(NumericEditText, BrakeConstantReadsBackWhatWasWrittenInEitherLocale) {
  for (const char* locale : {"en_US", "de_DE"}) {
    LocaleScope scope(locale);
    TNumericEdit edit;
    ConfigureFloatEdit(edit);
    edit.SetFloatValue(12.3);
    EXPECT_DOUBLE_EQ(edit.FloatValue(), 12.3) << locale;
  }
}

TEST(NumericEditText, FloatEditShowsZeroForEmptyOrUnconvertibleTextAndClearsModified) {
  LocaleScope scope("en_US");
  TNumericEdit edit;
  ConfigureFloatEdit(edit);
  edit.SetFloatValue(3);
  edit.SetText(QString());
  EXPECT_EQ(edit.Text(), QStringLiteral("0"));
  EXPECT_FALSE(edit.isModified());
  edit.SetText(QStringLiteral("2.5000"));
  EXPECT_EQ(edit.Text(), QStringLiteral("2.5"));
  edit.SetText(QStringLiteral("abc"));
  EXPECT_EQ(edit.Text(), QStringLiteral("0"));
}

TEST(NumericEditText, StringEditKeepsTextAsGiven) {
  TNumericEdit edit;
  edit.SetText(QString());
  EXPECT_EQ(edit.Text(), QString());
  edit.SetText(QStringLiteral("12.50"));
  EXPECT_EQ(edit.Text(), QStringLiteral("12.50"));
}

// ---- Typed characters in the brake-constant edit ----

struct TypingCase {
  const char* locale;
  const char* before;
  int selectionStart;
  int selectionLength;  // 0: just the caret at selectionStart
  const char* typed;
  const char* after;
  int caretAfter;
};

class TypingTest : public testing::TestWithParam<TypingCase> {};

TEST_P(TypingTest, FiltersTypedCharacters) {
  const TypingCase& c = GetParam();
  LocaleScope scope(c.locale);
  TNumericEdit edit;
  ConfigureFloatEdit(edit);
  edit.setText(QString::fromUtf8(c.before));
  if (c.selectionLength > 0) {
    edit.setSelection(c.selectionStart, c.selectionLength);
  } else {
    edit.setCursorPosition(c.selectionStart);
  }
  QTest::keyClicks(&edit, QString::fromUtf8(c.typed));
  EXPECT_EQ(edit.Text().toStdString(), c.after) << "typed '" << c.typed << "'";
  EXPECT_EQ(edit.cursorPosition(), c.caretAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypingTest,
    testing::Values(
        TypingCase{"en_US", "12", 2, 0, "-", "12", 2},           // no minus sign
        TypingCase{"en_US", "", 0, 0, "1a2b", "12", 2},          // letters dropped
        TypingCase{"en_US", "12.5", 4, 0, ".", "12.5", 3},       // second separator: caret jumps
        TypingCase{"en_US", "12.5", 0, 0, ".", "12.5", 3},       //   also from before it
        TypingCase{"en_US", "1.5", 1, 2, ".", "1.", 2},          // the selected one is replaced
        TypingCase{"en_US", "", 0, 0, ".5", "0.5", 3},           // leading zero added
        TypingCase{"en_US", "1.2345", 6, 0, "6", "1.2345", 6},   // fifth decimal at the end
        TypingCase{"en_US", "1.2345", 3, 0, "9", "1.2945", 4},   // fifth decimal overwrites
        TypingCase{"en_US", "1.23", 4, 0, "456", "1.2345", 6},   // fourth accepted, fifth not
        TypingCase{"en_US", "", 0, 0, "1,234.5", "1,234.5", 7},  // thousand separator
        TypingCase{"en_US", "1,", 2, 0, ",", "1,", 2},           // not twice in a row
        TypingCase{"en_US", "1.5", 3, 0, ",", "1.5", 3},         // not among the decimals
        TypingCase{"de_DE", "", 0, 0, "3,5", "3,5", 3},          // comma locale
        TypingCase{"de_DE", "3,5", 3, 0, ",", "3,5", 2},         // second comma
        TypingCase{"fr_FR", "", 0, 0, "3.5", "35", 2}));         // '.' is no separator there

TEST(NumericEditTyping, BrakeConstantTakesEitherDecimalPointAndNoThousands) {
  struct Case {
    const char* locale;
    const char* typed;
    const char* shown;
  };
  for (const Case& c : {Case{"de_DE", "2.5", "2,5"}, Case{"de_DE", "2,5", "2,5"},
                        Case{"en_US", "2,5", "2.5"}, Case{"en_US", "2.5", "2.5"},
                        Case{"fr_FR", "3.5", "3,5"}, Case{"en_US", "2,5.", "2.5"}}) {
    LocaleScope scope(c.locale);
    TNumericEdit edit;
    ConfigureBrakeConstantEdit(edit);
    edit.setText(QString());
    QTest::keyClicks(&edit, QString::fromUtf8(c.typed));
    EXPECT_EQ(edit.Text().toStdString(), c.shown) << c.locale << " typed '" << c.typed << "'";
    EXPECT_DOUBLE_EQ(edit.FloatValue(), c.typed[0] == '3' ? 3.5 : 2.5) << c.locale;
  }
}

// Text that is no printable character, typed, composed or pasted: format characters (a
// left-to-right mark some layouts type), private-use characters and characters beyond the Basic
// Multilingual Plane.
TEST(NumericEditTyping, FloatEditHoldsOnlyWhatItsFilterAdmitsWhateverTheKeyText) {
  LocaleScope scope("en_US");
  using Deliver = void (*)(TNumericEdit&, const QString&);
  const std::pair<const char*, Deliver> channels[] = {
      {"key", [](TNumericEdit& edit, const QString& text) {
         QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
         QApplication::sendEvent(&edit, &press);
       }},
      {"input method", [](TNumericEdit& edit, const QString& text) {
         QInputMethodEvent composed;
         composed.setCommitString(text);
         QApplication::sendEvent(&edit, &composed);
       }},
      {"paste", [](TNumericEdit& edit, const QString& text) {
         QApplication::clipboard()->setText(text);
         QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
       }}};
  const QString mark(QChar(0x200E));
  const std::pair<QString, const char*> strays[] = {
      {mark, "2.5"},
      {QString(QChar(0xE000)), "2.5"},
      {QString::fromUcs4(U"\U0001F600"), "2.5"},
      {QString::fromUcs4(U"\U00010030"), "2.5"},
      {mark + QStringLiteral("7"), "27.5"}};
  for (const auto& [stray, kept] : strays) {
    for (const auto& [channel, deliver] : channels) {
      TNumericEdit edit;
      ConfigureFloatEdit(edit);
      edit.SetText(QStringLiteral("2.5"));
      edit.setCursorPosition(1);
      deliver(edit, stray);
      // A paste with anything but a number in it is refused whole.
      const bool refusedWhole = std::string(channel) == "paste";
      EXPECT_EQ(edit.Text().toStdString(), refusedWhole ? "2.5" : kept)
          << channel << " U+" << std::hex << stray.toUcs4().front();
      EXPECT_TRUE(edit.HasFloatValue()) << channel;
    }
  }
  // The editing keys still edit.
  TNumericEdit edit;
  ConfigureFloatEdit(edit);
  edit.SetText(QStringLiteral("2.5"));
  edit.end(false);
  QTest::keyClick(&edit, Qt::Key_Backspace);
  EXPECT_EQ(edit.Text(), QStringLiteral("2."));
}

TEST(NumericEditTyping, StringEditTakesEveryCharacter) {
  TNumericEdit edit;
  edit.setText(QString());
  QTest::keyClicks(&edit, QStringLiteral("-1.5,x"));
  EXPECT_EQ(edit.Text(), QStringLiteral("-1.5,x"));
}

// Dead keys and compose sequences arrive as input-method text, not as key presses.
TEST(NumericEditTyping, ComposedCharactersPassTheSameFilter) {
  LocaleScope scope("en_US");
  TNumericEdit floatEdit;
  ConfigureFloatEdit(floatEdit);
  floatEdit.setText(QStringLiteral("12"));
  QInputMethodEvent composed;
  composed.setCommitString(QString::fromUtf8("é-.5x"));
  QApplication::sendEvent(&floatEdit, &composed);
  EXPECT_EQ(floatEdit.Text(), QStringLiteral("12.5"));

  TNumericEdit stringEdit;
  stringEdit.setText(QString());
  QApplication::sendEvent(&stringEdit, &composed);
  EXPECT_EQ(stringEdit.Text(), QString::fromUtf8("é-.5x"));
}

// ---- Keys: event order around Enter ----

class KeyEventRecorder {
 public:
  explicit KeyEventRecorder(TNumericEdit& edit) {
    QObject::connect(&edit, &TNumericEdit::OnKeyDown, [this](int key, Qt::KeyboardModifiers) {
      events.push_back("down " + std::to_string(key));
    });
    QObject::connect(&edit, &TNumericEdit::OnKeyPress, [this](QChar ch) {
      events.push_back("press " + std::to_string(ch.unicode()));
    });
    QObject::connect(&edit, &TNumericEdit::OnKeyUp, [this](int key, Qt::KeyboardModifiers) {
      events.push_back("up " + std::to_string(key));
    });
  }
  std::vector<std::string> events;
};

class EnterKeyTest : public testing::TestWithParam<void (*)(TNumericEdit&)> {};

TEST_P(EnterKeyTest, RaisesKeyPressThenKeyUpThirteenAndKeepsText) {
  TNumericEdit edit;
  GetParam()(edit);
  edit.setText(QStringLiteral("42"));
  edit.setModified(false);
  KeyEventRecorder recorder(edit);
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(&edit, &press);
    EXPECT_TRUE(press.isAccepted()) << "Enter must not reach the parent";
    QTest::keyRelease(&edit, key);
  }
  const std::vector<std::string> expected = {"down 13", "press 13", "up 13",
                                             "down 13", "press 13", "up 13"};
  EXPECT_EQ(recorder.events, expected);
  EXPECT_EQ(edit.Text(), QStringLiteral("42"));
  EXPECT_FALSE(edit.isModified());
}

INSTANTIATE_TEST_SUITE_P(BothConfigurations, EnterKeyTest,
                         testing::Values(&ConfigureRawLimitEdit, &ConfigureFloatEdit));

TEST(NumericEditKeys, CtrlEnterRaisesNoKeyPressAndHeldKeysReleaseOnce) {
  TNumericEdit edit;
  KeyEventRecorder recorder(edit);
  QKeyEvent ctrlEnter(QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier, QStringLiteral("\n"));
  QApplication::sendEvent(&edit, &ctrlEnter);
  QKeyEvent ctrlEnterUp(QEvent::KeyRelease, Qt::Key_Return, Qt::ControlModifier);
  QApplication::sendEvent(&edit, &ctrlEnterUp);
  QKeyEvent repeatedRelease(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(&edit, &repeatedRelease);
  const std::vector<std::string> expected = {"down 13", "up 13"};
  EXPECT_EQ(recorder.events, expected);
}

// ---- Focus ----

void SendFocus(QWidget& widget, QEvent::Type type, Qt::FocusReason reason) {
  QFocusEvent event(type, reason);
  QApplication::sendEvent(&widget, &event);
}

TEST(NumericEditFocus, LeavingTidiesFloatTextAndKeepsModifiedFlag) {
  LocaleScope scope("en_US");
  TNumericEdit edit;
  ConfigureFloatEdit(edit);
  edit.setText(QStringLiteral("12.30"));
  edit.setModified(false);
  SendFocus(edit, QEvent::FocusOut, Qt::TabFocusReason);
  EXPECT_EQ(edit.Text(), QStringLiteral("12.3"));
  EXPECT_FALSE(edit.isModified());
}

TEST(NumericEditFocus, LeavingAnEmptyFloatEditShowsZero) {
  LocaleScope scope("de_DE");
  TNumericEdit edit;
  ConfigureFloatEdit(edit);
  edit.setText(QString());
  SendFocus(edit, QEvent::FocusOut, Qt::MouseFocusReason);
  EXPECT_EQ(edit.Text(), QStringLiteral("0"));
  EXPECT_TRUE(edit.isModified());
}

TEST(NumericEditFocus, MenuOrWindowSwitchAndStringEditsLeaveTextAlone) {
  TNumericEdit floatEdit;
  ConfigureFloatEdit(floatEdit);
  floatEdit.setText(QString());
  SendFocus(floatEdit, QEvent::FocusOut, Qt::PopupFocusReason);
  SendFocus(floatEdit, QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  EXPECT_EQ(floatEdit.Text(), QString());

  TNumericEdit stringEdit;
  stringEdit.setText(QString());
  SendFocus(stringEdit, QEvent::FocusOut, Qt::TabFocusReason);
  EXPECT_EQ(stringEdit.Text(), QString());
}

TEST(NumericEditFocus, GainingSelectsAllText) {
  TNumericEdit edit;
  edit.setText(QStringLiteral("1234"));
  edit.setCursorPosition(2);
  SendFocus(edit, QEvent::FocusIn, Qt::MouseFocusReason);
  EXPECT_EQ(edit.selectedText(), QStringLiteral("1234"));
}

// ---- Paste ----

struct PasteCase {
  const char* locale;
  TNumericEditType type;
  const char* before;
  int selectionStart;
  int selectionLength;
  const char* clipboard;
  const char* after;
};

class PasteTest : public testing::TestWithParam<PasteCase> {};

TEST_P(PasteTest, InsertsFirstLineAndKeepsFloatEditNumeric) {
  const PasteCase& c = GetParam();
  LocaleScope scope(c.locale);
  TNumericEdit edit;
  if (c.type == etFloat) ConfigureFloatEdit(edit);
  edit.setText(QString::fromUtf8(c.before));
  if (c.selectionLength > 0) {
    edit.setSelection(c.selectionStart, c.selectionLength);
  } else {
    edit.setCursorPosition(c.selectionStart);
  }
  QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
  QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit.Text().toStdString(), c.after) << "pasted '" << c.clipboard << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasteTest,
    testing::Values(PasteCase{"en_US", etString, "", 0, 0, "abc\r\ndef", "abc"},
                    PasteCase{"en_US", etString, "12", 1, 0, "x", "1x2"},
                    PasteCase{"en_US", etString, "12", 0, 2, "line\nnext", "line"},
                    PasteCase{"en_US", etFloat, "", 0, 0, "1,234.50\r\n", "1234.5"},
                    PasteCase{"en_US", etFloat, "", 0, 0, "  7  ", "7"},
                    PasteCase{"en_US", etFloat, "12", 0, 2, "3", "3"},
                    PasteCase{"en_US", etFloat, "1", 1, 0, ".25", "1.25"},
                    PasteCase{"en_US", etFloat, "12", 2, 0, "-3", "12"},
                    PasteCase{"en_US", etFloat, "1.5", 3, 0, "2.5", "1.5"},
                    PasteCase{"en_US", etFloat, "5", 1, 0, "abc", "5"},
                    PasteCase{"en_US", etFloat, "5", 0, 1, "", "5"},
                    PasteCase{"de_DE", etFloat, "", 0, 0, "2,75", "2,75"},
                    // A separator that groups no three digits is refused, not dropped.
                    PasteCase{"de_DE", etFloat, "", 0, 0, "2.5", ""},
                    PasteCase{"en_US", etFloat, "", 0, 0, "2,5", ""},
                    PasteCase{"en_US", etFloat, "", 0, 0, "12,345", "12345"}));

TEST(NumericEditPaste, BrakeConstantTakesEitherDecimalPoint) {
  for (const char* locale : {"de_DE", "en_US"}) {
    LocaleScope scope(locale);
    for (const char* pasted : {"2.5", "2,5"}) {
      TNumericEdit edit;
      ConfigureBrakeConstantEdit(edit);
      edit.setText(QString());
      QApplication::clipboard()->setText(QString::fromLatin1(pasted));
      QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
      EXPECT_DOUBLE_EQ(edit.FloatValue(), 2.5) << locale << " pasted '" << pasted << "'";
    }
  }
}

// Only platforms with a selection clipboard (X11) paste on a middle click.
TEST(NumericEditPaste, MiddleClickPasteFollowsTheSameRules) {
  QClipboard* clipboard = QApplication::clipboard();
  if (!clipboard->supportsSelection()) GTEST_SKIP() << "no selection clipboard on this platform";
  LocaleScope scope("en_US");
  TNumericEdit floatEdit;
  ConfigureFloatEdit(floatEdit);
  floatEdit.setText(QStringLiteral("12"));
  floatEdit.show();
  clipboard->setText(QStringLiteral("-3x\nmore"), QClipboard::Selection);
  QTest::mouseClick(&floatEdit, Qt::MiddleButton);
  EXPECT_EQ(floatEdit.Text(), QStringLiteral("12"));

  TNumericEdit stringEdit;
  stringEdit.show();
  QTest::mouseClick(&stringEdit, Qt::MiddleButton);
  EXPECT_EQ(stringEdit.Text(), QStringLiteral("-3x")) << "the first line only";
}

TEST(NumericEditPaste, ContextMenuPasteFollowsTheSameRules) {
  LocaleScope scope("en_US");
  TNumericEdit edit;
  ConfigureFloatEdit(edit);
  edit.setText(QStringLiteral("12"));
  edit.show();
  QApplication::clipboard()->setText(QStringLiteral("-3"));
  QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                              edit.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&edit, &menuEvent);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  QAction* paste = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->text().startsWith(QLatin1String("&Paste"))) paste = action;
  }
  ASSERT_NE(paste, nullptr);
  paste->trigger();
  menu->close();
  EXPECT_EQ(edit.Text(), QStringLiteral("12"));
}

}  // namespace
