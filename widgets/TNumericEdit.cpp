#include "widgets/TNumericEdit.h"

#include <QAction>
#include <QByteArray>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

bool IsAsciiDigit(QChar ch) { return ch >= QLatin1Char('0') && ch <= QLatin1Char('9'); }

// Huge inputs must still give a finite number: callers round the value into integers.
double ClampToFinite(double value) {
  if (std::isinf(value)) return std::copysign(DBL_MAX, value);
  return std::isnan(value) ? 0.0 : value;
}

// Reads a number whose decimal point is always '.', as the raw-limit fields expect whatever the
// locale. Text that does not fit the number pattern yields the digits read before the first
// misfit, joined into one whole number (sign and decimal point ignored).
class FullStopNumberScanner {
 public:
  explicit FullStopNumberScanner(const QString& text) : text_(text) {}

  double Value() {
    while (Peek() == QLatin1Char(' ')) ++pos_;
    if (Peek() == QLatin1Char('+') || Peek() == QLatin1Char('-')) {
      negative_ = Peek() == QLatin1Char('-');
      ++pos_;
    }
    if (AtEnd()) return LeadingDigits();
    const QString integerDigits = ReadDigits();
    QString fractionDigits;
    if (Peek() == QLatin1Char('.')) {
      ++pos_;
      fractionDigits = ReadDigits();
    }
    QString exponent;
    if (Peek() == QLatin1Char('e') || Peek() == QLatin1Char('E')) {
      ++pos_;
      if (Peek() == QLatin1Char('+') || Peek() == QLatin1Char('-')) exponent += text_[pos_++];
      const QString exponentDigits = ReadDigits();
      if (exponentDigits.isEmpty()) return LeadingDigits();
      exponent += exponentDigits;
    }
    if (!AtEnd()) return LeadingDigits();
    return WholeValue(integerDigits, fractionDigits, exponent);
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  QChar Peek() const { return AtEnd() ? QChar() : text_[pos_]; }

  QString ReadDigits() {
    const qsizetype start = pos_;
    while (IsAsciiDigit(Peek())) digitsSeen_ += text_[pos_++];
    return text_.mid(start, pos_ - start);
  }

  double LeadingDigits() const {
    double value = 0;
    for (QChar digit : digitsSeen_) value = value * 10 + (digit.unicode() - '0');
    return ClampToFinite(value);
  }

  // Written without a decimal point (digits and a power of ten), strtod reads it the same way
  // whatever the C locale says.
  double WholeValue(const QString& integerDigits, const QString& fractionDigits,
                    const QString& exponent) const {
    const QString digits = integerDigits + fractionDigits;
    if (digits.isEmpty()) return 0;
    const long long powerOfTen = ClampedExponent(exponent) - fractionDigits.size();
    const QByteArray plain = (negative_ ? QByteArrayLiteral("-") : QByteArray()) +
                             digits.toLatin1() + 'e' + QByteArray::number(powerOfTen);
    return ClampToFinite(std::strtod(plain.constData(), nullptr));
  }

  // Beyond a billion the result is infinity or zero anyway; this keeps the sum from overflowing.
  static long long ClampedExponent(const QString& exponent) {
    if (exponent.isEmpty()) return 0;
    const bool negative = exponent.front() == QLatin1Char('-');
    long long value = 0;
    for (QChar ch : exponent) {
      if (IsAsciiDigit(ch)) value = std::min(value * 10 + (ch.unicode() - '0'), 1'000'000'000LL);
    }
    return negative ? -value : value;
  }

  const QString& text_;
  qsizetype pos_ = 0;
  bool negative_ = false;
  QString digitsSeen_;
};

// Whether every thousand separator in the whole part of `text` stands between groups of three
// digits ("1,234,567"). One that does not ("2,5" in a full-stop locale) is no grouping but most
// likely another locale's decimal point: dropping it would read a number ten or a hundred times
// too large.
bool GroupsDigitsInThrees(const QString& text, const QString& group, const QString& decimal) {
  if (group.isEmpty() || !text.contains(group)) return true;
  QStringView number = QStringView(text).trimmed();
  if (number.startsWith(QLatin1Char('-')) || number.startsWith(QLatin1Char('+'))) {
    number = number.mid(1);
  }
  const qsizetype decimalAt = number.indexOf(decimal);
  if (decimalAt >= 0) {
    if (number.mid(decimalAt).contains(group)) return false;
    number = number.left(decimalAt);
  }
  const QList<QStringView> groups = number.split(group);
  for (qsizetype i = 0; i < groups.size(); ++i) {
    const qsizetype size = groups[i].size();
    if (i == 0 ? (size < 1 || size > 3) : size != 3) return false;
    if (!std::all_of(groups[i].begin(), groups[i].end(), IsAsciiDigit)) return false;
  }
  return true;
}

// With `eitherPoint` both '.' and ',' are the decimal point, and there are no thousands.
QString WithEitherPointAsLocales(QString text, bool eitherPoint) {
  if (!eitherPoint) return text;
  const QString decimal = QLocale().decimalPoint();
  return text.replace(QLatin1Char('.'), decimal).replace(QLatin1Char(','), decimal);
}

// The number the text stands for in the user's locale, or nothing when it is none.
std::optional<double> ReadLocaleNumber(const QString& written, bool eitherPoint) {
  QString text = WithEitherPointAsLocales(written.trimmed(), eitherPoint);
  if (text.isEmpty() || text == QLatin1String("-")) return std::nullopt;
  QLocale locale;
  const QString group = eitherPoint ? QString() : locale.groupSeparator();
  if (!GroupsDigitsInThrees(text, group, locale.decimalPoint())) return std::nullopt;
  if (!group.isEmpty()) text.remove(group);
  locale.setNumberOptions(QLocale::RejectGroupSeparator);
  bool ok = false;
  const double value = locale.toDouble(text, &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

QString WithLocaleDecimalPoint(QString text) {
  return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

// printf's "%g" and "%.Nf" in the C locale (correctly rounded, ties to even), then the user's
// decimal separator.
QString FormatForPrecision(double value, int precision) {
  const bool general = precision < 0;
  std::string buffer(static_cast<std::size_t>(std::max(precision, 0)) + 400, '\0');
  const std::to_chars_result written =
      general ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                              std::chars_format::general, 6)
              : std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                              std::chars_format::fixed, precision);
  return WithLocaleDecimalPoint(
      QString::fromLatin1(buffer.data(), static_cast<qsizetype>(written.ptr - buffer.data())));
}

// The fewest digits that read back as the same number, written out as a plain decimal ('100000',
// '0.0005'); only numbers of 16 or more whole digits or below 0.0001 take an exponent. Qt's
// shortest 'g' would pick '1e+05' for a round count just because it is fewer characters.
QString FormatShortest(double value) {
  if (value == 0) value = 0;  // no "-0"
  const double magnitude = std::fabs(value);
  const bool plain = value == 0 || (magnitude >= 1e-4 && magnitude < 1e15);
  char buffer[64];
  const std::to_chars_result written =
      std::to_chars(buffer, buffer + sizeof buffer, value,
                    plain ? std::chars_format::fixed : std::chars_format::scientific);
  return WithLocaleDecimalPoint(
      QString::fromLatin1(buffer, static_cast<qsizetype>(written.ptr - buffer)));
}

// Digits with at most one decimal separator and thousand separators that group the digits in
// threes, nothing else.
bool IsPlainLocaleNumber(const QString& written, bool eitherPoint) {
  const QString text = WithEitherPointAsLocales(written, eitherPoint);
  const QLocale locale;
  const QString decimal = locale.decimalPoint();
  const QString group = eitherPoint ? QString() : locale.groupSeparator();
  int decimals = 0;
  bool digits = false;
  for (qsizetype i = 0; i < text.size();) {
    if (QStringView(text).mid(i).startsWith(decimal)) {
      ++decimals;
      i += decimal.size();
    } else if (!group.isEmpty() && QStringView(text).mid(i).startsWith(group)) {
      i += group.size();
    } else if (IsAsciiDigit(text[i])) {
      digits = true;
      ++i;
    } else {
      return false;
    }
  }
  return digits && decimals <= 1 && GroupsDigitsInThrees(text, group, decimal);
}

QString FirstLine(const QString& text) {
  qsizetype end = 0;
  while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n')) {
    ++end;
  }
  return text.left(end);
}

bool IsEnterKey(const QKeyEvent& event) {
  return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

int KeyCodeOf(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return vkReturn;
    case Qt::Key_Escape:
      return vkEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return vkTab;
    case Qt::Key_Backspace:
      return vkBack;
    default:
      return event.key();
  }
}

// Text typed by a key, not a Ctrl shortcut (AltGr arrives as Ctrl+Alt on some platforms and
// still types text) nor an editing key (Backspace, Delete, Tab and Esc carry control characters).
// Whatever else the text holds (format or private-use characters, surrogate pairs) is typed text
// and goes through the filter.
bool IsTypedText(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.isEmpty()) return false;
  const bool control = std::any_of(text.begin(), text.end(), [](QChar ch) {
    return ch.category() == QChar::Other_Control;
  });
  if (control) return false;
  const Qt::KeyboardModifiers mods = event.modifiers();
  const bool shortcut =
      (mods & (Qt::ControlModifier | Qt::MetaModifier)) && !(mods & Qt::AltModifier);
  return !shortcut;
}

// Newer Qt names the standard menu's actions; older ones are known only by their caption.
bool IsStandardPasteAction(const QAction& action) {
  if (action.objectName() == QLatin1String("edit-paste")) return true;
  const QString caption = action.text().section(QLatin1Char('\t'), 0, 0);
  return caption == QCoreApplication::translate("QLineEdit", "&Paste");
}

bool IsFocusChangeWithinWindow(Qt::FocusReason reason) {
  return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

}  // namespace

TNumericEdit::TNumericEdit(QWidget* parent) : QLineEdit(parent) {
  // A plain edit control takes no dropped text, which would bypass the typing rules.
  setAcceptDrops(false);
}

void TNumericEdit::SetEditType(TNumericEditType type) { editType_ = type; }

void TNumericEdit::SetPrecision(std::int16_t precision) { precision_ = precision; }

void TNumericEdit::SetPrecisionDisplay(TPrecisionDisplay display) { precisionDisplay_ = display; }

QString TNumericEdit::Text() const { return QLineEdit::text(); }

void TNumericEdit::SetText(const QString& text) {
  QString shown = text;
  if (IsFloat() && shown.isEmpty()) shown = QStringLiteral("0");
  if (IsFloat() && precisionDisplay_ == pdShortest)
    shown = FormatShortest(ReadLocaleNumber(shown, eitherPoint_).value_or(0.0));
  QLineEdit::setText(shown);  // also clears the modified flag
}

bool TNumericEdit::HasFloatValue() const {
  if (IsFloat()) return ReadLocaleNumber(Text(), eitherPoint_).has_value();
  return !Text().trimmed().isEmpty();
}

double TNumericEdit::FloatValue() const {
  if (IsFloat()) return ReadLocaleNumber(Text(), eitherPoint_).value_or(0.0);
  if (Text().isEmpty()) return 0;
  return FullStopNumberScanner(Text()).Value();
}

void TNumericEdit::SetFloatValue(double value) {
  SetText(FormatForPrecision(value, precision_));
  setModified(true);
}

void TNumericEdit::keyPressEvent(QKeyEvent* event) {
  emit OnKeyDown(KeyCodeOf(*event), event->modifiers());
  if (IsEnterKey(*event)) {
    // Enter is consumed here: no text change, no focus move, nothing for the parent.
    if (!(event->modifiers() & Qt::ControlModifier)) emit OnKeyPress(QChar(vkReturn));
    event->accept();
    return;
  }
  if (event->matches(QKeySequence::Paste)) {
    PasteFromClipboard();
    event->accept();
    return;
  }
  const QString text = event->text();
  if (!text.isEmpty() && text.front() != QChar(0x7f)) emit OnKeyPress(text.front());
  if (IsFloat() && !isReadOnly() && IsTypedText(*event)) {
    for (QChar ch : text) TypeFloatCharacter(ch);
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
  if (event->key() == Qt::Key_Escape) event->accept();  // Esc, like Enter, stays in the edit
}

void TNumericEdit::keyReleaseEvent(QKeyEvent* event) {
  // One key-up per key press, however long the key was held.
  if (!event->isAutoRepeat()) emit OnKeyUp(KeyCodeOf(*event), event->modifiers());
  QLineEdit::keyReleaseEvent(event);
}

void TNumericEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (IsFocusChangeWithinWindow(event->reason())) selectAll();
}

void TNumericEdit::focusOutEvent(QFocusEvent* event) {
  if (IsFloat() && IsFocusChangeWithinWindow(event->reason())) {
    if (Text().isEmpty()) {
      SetFloatValue(0);
    } else if (precision_ > 0) {
      const bool modified = isModified();
      SetFloatValue(FloatValue());
      setModified(modified);
    }
  }
  QLineEdit::focusOutEvent(event);
}

void TNumericEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  for (QAction* action : menu->actions()) {
    if (!IsStandardPasteAction(*action)) continue;
    disconnect(action, &QAction::triggered, nullptr, nullptr);
    connect(action, &QAction::triggered, this, &TNumericEdit::PasteFromClipboard);
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

// Dead keys, compose sequences and input methods deliver their characters here rather than as
// key presses; a number edit lets them through the same filter as typed ones and shows no
// half-composed text meanwhile.
void TNumericEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!IsFloat() || isReadOnly()) {
    QLineEdit::inputMethodEvent(event);
    return;
  }
  for (QChar ch : event->commitString()) TypeFloatCharacter(ch);
  event->accept();
}

// A middle click pastes the X11 selection; it goes through the same rules as any other paste
// (the press has already put the caret at the click).
void TNumericEdit::mouseReleaseEvent(QMouseEvent* event) {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (event->button() == Qt::MiddleButton && clipboard->supportsSelection() && !isReadOnly()) {
    deselect();
    PasteText(clipboard->text(QClipboard::Selection));
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void TNumericEdit::PasteFromClipboard() { PasteText(QGuiApplication::clipboard()->text()); }

void TNumericEdit::PasteText(const QString& clipboardText) {
  if (isReadOnly()) return;
  const QString pasted = FirstLine(clipboardText);
  if (!IsFloat()) {
    insert(pasted);
    return;
  }
  QString result = Text();
  const int start = hasSelectedText() ? selectionStart() : cursorPosition();
  result.replace(start, selectedText().size(), pasted);
  result = result.trimmed();
  if (!IsPlainLocaleNumber(result, eitherPoint_)) return;
  QLineEdit::setText(result);
  ReformatFloat();
}

void TNumericEdit::ReformatFloat() { SetFloatValue(FloatValue()); }

void TNumericEdit::TypeFloatCharacter(QChar ch) {
  const QLocale locale;
  const bool eitherPointTyped =
      eitherPoint_ && (ch == QLatin1Char('.') || ch == QLatin1Char(','));
  if (IsAsciiDigit(ch)) {
    if (!TypeDigitIntoDecimals(ch)) insert(QString(ch));
  } else if (eitherPointTyped || QString(ch) == locale.decimalPoint()) {
    TypeDecimalSeparator();
  } else if (!eitherPoint_ && QString(ch) == locale.groupSeparator()) {
    TypeThousandSeparator();
  } else if (ch == QLatin1Char('-') && signed_) {
    TypeMinusSign();
  }
  // Anything else is dropped.
}

// The text with the current selection taken out, and where the caret then stands.
TNumericEdit::TextAroundCaret TNumericEdit::TextWithoutSelection() const {
  const QString text = Text();
  if (!hasSelectedText()) return {text, cursorPosition()};
  const int start = selectionStart();
  return {text.left(start) + text.mid(start + selectedText().size()), start};
}

void TNumericEdit::TypeDecimalSeparator() {
  const QString decimal = QLocale().decimalPoint();
  const TextAroundCaret rest = TextWithoutSelection();
  const qsizetype existing = rest.text.indexOf(decimal);
  if (existing >= 0) {
    // Index into the full text: the separator lies outside the selection.
    const int selectionLength = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    const qsizetype inText = existing < rest.caret ? existing : existing + selectionLength;
    setCursorPosition(static_cast<int>(inText + decimal.size()));
    return;
  }
  insert(rest.text.isEmpty() ? QStringLiteral("0") + decimal : decimal);
}

bool TNumericEdit::TypeDigitIntoDecimals(QChar digit) {
  if (precision_ <= 0 || hasSelectedText()) return false;
  const QString text = Text();
  const QString decimal = QLocale().decimalPoint();
  const qsizetype separator = text.indexOf(decimal);
  const int caret = cursorPosition();
  if (separator < 0 || caret < separator + decimal.size()) return false;
  if (text.size() - separator - decimal.size() < precision_) return false;
  if (caret < text.size()) {
    setSelection(caret, 1);
    insert(QString(digit));
  }
  return true;
}

// Thousand separators are only cosmetic (reading drops them), so only obvious misplacements are
// refused: after the decimal separator, at the start, or next to another separator.
void TNumericEdit::TypeThousandSeparator() {
  const QLocale locale;
  const QString group = locale.groupSeparator();
  const TextAroundCaret rest = TextWithoutSelection();
  const qsizetype decimalAt = rest.text.indexOf(locale.decimalPoint());
  if (rest.caret == 0 || (decimalAt >= 0 && rest.caret > decimalAt)) return;
  const QStringView before = QStringView(rest.text).left(rest.caret);
  const QStringView after = QStringView(rest.text).mid(rest.caret);
  if (before.endsWith(group) || after.startsWith(group) || after.startsWith(locale.decimalPoint()))
    return;
  insert(group);
}

void TNumericEdit::TypeMinusSign() {
  const TextAroundCaret rest = TextWithoutSelection();
  if (rest.caret == 0 && !rest.text.startsWith(QLatin1Char('-'))) insert(QStringLiteral("-"));
}
