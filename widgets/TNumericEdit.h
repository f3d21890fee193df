#pragma once

#include <QLineEdit>
#include <QString>
#include <cstdint>

class QContextMenuEvent;
class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;

// Input modes. Only etString (free text) and etFloat (an unsigned decimal number in the user's
// locale) have rules of their own; the other modes behave like etString.
enum TNumericEditType {
  etString,
  etNumeric,
  etFloat,
  etUppercase,
  etMixedCase,
  etLowerCase,
  etPassword,
  etMoney,
  etRange,
  etHex,
  etAlphaNumeric,
  etValidChars
};

// pdShortest: the text of an etFloat edit is kept in its shortest decimal form ('12.3', '17').
enum TPrecisionDisplay { pdNormal, pdShortest };

// Key codes raised by OnKeyDown and OnKeyUp: the control keys use their classic virtual-key
// numbers so handlers can test for Enter as 13; every other key keeps its Qt::Key value (which
// for letters, digits and space is the same number).
inline constexpr int vkBack = 8;
inline constexpr int vkTab = 9;
inline constexpr int vkReturn = 13;
inline constexpr int vkEscape = 27;

// A single-line edit with a typed input mode and a number conversion (FloatValue).
class TNumericEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TNumericEdit(QWidget* parent = nullptr);

  TNumericEditType EditType() const { return editType_; }
  void SetEditType(TNumericEditType type);

  // Decimals written by SetFloatValue; negative means general format.
  std::int16_t Precision() const { return precision_; }
  void SetPrecision(std::int16_t precision);

  TPrecisionDisplay PrecisionDisplay() const { return precisionDisplay_; }
  void SetPrecisionDisplay(TPrecisionDisplay display);

  // Whether a minus sign may be typed into a numeric mode.
  bool Signed() const { return signed_; }
  void SetSigned(bool value) { signed_ = value; }

  // Whether both '.' and ',' are an etFloat edit's decimal point, whatever the locale; such an
  // edit has no thousand separators. For a field whose range has no thousands, so that a number
  // typed with another locale's decimal point reads as typed.
  bool EitherDecimalPoint() const { return eitherPoint_; }
  void SetEitherDecimalPoint(bool value) { eitherPoint_ = value; }

  // The value text. Setting it clears the modified flag.
  QString Text() const;
  void SetText(const QString& text);

  // Always a finite number; text that does not convert yields 0 (or, in etString, its leading
  // digits).
  double FloatValue() const;
  // Whether the text stands for a number (an etFloat edit's text that does not convert, or an
  // empty text, does not): FloatValue's 0 is then no value the user typed.
  bool HasFloatValue() const;
  // Formats the number into the text and marks the edit modified.
  void SetFloatValue(double value);

 signals:
  void OnKeyDown(int key, Qt::KeyboardModifiers shift);
  void OnKeyPress(QChar key);
  void OnKeyUp(int key, Qt::KeyboardModifiers shift);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool IsFloat() const { return editType_ == etFloat; }
  void PasteFromClipboard();
  void PasteText(const QString& clipboardText);
  void ReformatFloat();

  struct TextAroundCaret {
    QString text;
    int caret;
  };
  TextAroundCaret TextWithoutSelection() const;
  void TypeFloatCharacter(QChar ch);
  void TypeDecimalSeparator();
  bool TypeDigitIntoDecimals(QChar digit);
  void TypeThousandSeparator();
  void TypeMinusSign();

  TNumericEditType editType_ = etString;
  std::int16_t precision_ = 0;
  TPrecisionDisplay precisionDisplay_ = pdNormal;
  bool signed_ = false;
  bool eitherPoint_ = false;
};
