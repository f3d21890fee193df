#include "ReadoutTexts.h"

#include <charconv>
#include <cmath>
#include <iterator>

#include "MapRange.h"
#include "Rounding.h"

namespace {
// Built in place with its unit, in one allocation: the readout formats three or four of these on
// every report.
QString OneDecimalTextWith(long double value, const QLocale& locale, QLatin1String unit) {
  const std::int64_t tenths = RoundHalfEven(value * 10.0L);
  const std::uint64_t magnitude =
      tenths < 0 ? 0 - static_cast<std::uint64_t>(tenths) : static_cast<std::uint64_t>(tenths);
  char whole[24];
  const auto wholeEnd = std::to_chars(std::begin(whole), std::end(whole), magnitude / 10).ptr;
  QString text;
  text.reserve(static_cast<qsizetype>(wholeEnd - whole) + 6 + unit.size());
  if (tenths < 0) text += locale.negativeSign();
  text += QLatin1String(whole, wholeEnd);
  text += locale.decimalPoint();
  text += QChar(static_cast<char16_t>(u'0' + magnitude % 10));
  text += unit;
  return text;
}
}  // namespace

QString OneDecimalText(long double value, const QLocale& locale) {
  return OneDecimalTextWith(value, locale, QLatin1String());
}

QString PercentText(double position, double minimum, double maximum, const QLocale& locale) {
  const QLatin1String percent("%");
  if (minimum == maximum) return OneDecimalTextWith(0, locale, percent);
  return OneDecimalTextWith(MapRange(position, minimum, maximum, 0, 100), locale, percent);
}

QString BrakeLoadText(double position, double minimum, double maximum, std::uint16_t leftKg,
                      std::uint16_t rightKg, const QLocale& locale) {
  if (minimum == maximum) return QStringLiteral("min");
  const long double kg = MapRange(position, minimum, maximum, leftKg, rightKg);
  const std::int64_t wholeKg = RoundHalfEven(kg);
  if (wholeKg <= leftKg) return QStringLiteral("min");
  if (wholeKg >= rightKg) return QStringLiteral("max");
  return OneDecimalTextWith(kg, locale, QLatin1String("kg"));
}
