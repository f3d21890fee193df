#include "ReadoutTexts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

#include "MapRange.h"
#include "Rounding.h"

namespace {
// Written in place with its unit, in one allocation: the readout formats three or four of these
// on every report.
QString OneDecimalTextWith(long double value, const NumberSymbols& symbols, QLatin1String unit) {
  const std::int64_t tenths = RoundHalfEven(value * 10.0L);
  const std::uint64_t magnitude =
      tenths < 0 ? 0 - static_cast<std::uint64_t>(tenths) : static_cast<std::uint64_t>(tenths);
  char whole[24];
  const auto wholeEnd = std::to_chars(std::begin(whole), std::end(whole), magnitude / 10).ptr;
  const QStringView sign = tenths < 0 ? QStringView(symbols.negativeSign) : QStringView();
  QString text(sign.size() + (wholeEnd - whole) + symbols.decimalPoint.size() + 1 + unit.size(),
               Qt::Uninitialized);
  QChar* out = std::copy(sign.begin(), sign.end(), text.data());
  out = std::copy(std::begin(whole), wholeEnd, out);
  out = std::copy(symbols.decimalPoint.cbegin(), symbols.decimalPoint.cend(), out);
  *out++ = QLatin1Char(static_cast<char>('0' + magnitude % 10));
  std::copy(unit.begin(), unit.end(), out);
  return text;
}
}  // namespace

NumberSymbols NumberSymbols::Of(const QLocale& locale) {
  return {locale.decimalPoint(), locale.negativeSign()};
}

const NumberSymbols& NumberSymbolsCache::For(const QLocale& locale) {
  if (!known_ || locale != locale_) {
    locale_ = locale;
    symbols_ = NumberSymbols::Of(locale);
    known_ = true;
  }
  return symbols_;
}

QString OneDecimalText(long double value, const QLocale& locale) {
  return OneDecimalText(value, NumberSymbols::Of(locale));
}

QString OneDecimalText(long double value, const NumberSymbols& symbols) {
  return OneDecimalTextWith(value, symbols, QLatin1String());
}

QString PercentText(double position, double minimum, double maximum, const QLocale& locale) {
  return PercentText(position, minimum, maximum, NumberSymbols::Of(locale));
}

QString PercentText(double position, double minimum, double maximum, const NumberSymbols& symbols) {
  const QLatin1String percent("%");
  if (minimum == maximum) return OneDecimalTextWith(0, symbols, percent);
  return OneDecimalTextWith(MapRange(position, minimum, maximum, 0, 100), symbols, percent);
}

QString BrakeLoadText(double position, double minimum, double maximum, std::uint16_t leftKg,
                      std::uint16_t rightKg, const QLocale& locale) {
  return BrakeLoadText(position, minimum, maximum, leftKg, rightKg, NumberSymbols::Of(locale));
}

QString BrakeLoadText(double position, double minimum, double maximum, std::uint16_t leftKg,
                      std::uint16_t rightKg, const NumberSymbols& symbols) {
  if (minimum == maximum) return QStringLiteral("min");
  const long double kg = MapRange(position, minimum, maximum, leftKg, rightKg);
  const std::int64_t wholeKg = RoundHalfEven(kg);
  if (wholeKg <= leftKg) return QStringLiteral("min");
  if (wholeKg >= rightKg) return QStringLiteral("max");
  return OneDecimalTextWith(kg, symbols, QLatin1String("kg"));
}
