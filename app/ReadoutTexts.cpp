#include "ReadoutTexts.h"

#include <cmath>

#include "pedal/MapRange.h"
#include "pedal/Rounding.h"

QString OneDecimalText(long double value, const QLocale& locale) {
  const std::int64_t tenths = RoundHalfEven(value * 10.0L);
  const std::uint64_t magnitude =
      tenths < 0 ? 0 - static_cast<std::uint64_t>(tenths) : static_cast<std::uint64_t>(tenths);
  QString text = tenths < 0 ? locale.negativeSign() : QString();
  text += QString::number(magnitude / 10) + locale.decimalPoint() + QString::number(magnitude % 10);
  return text;
}

QString PercentText(double position, double minimum, double maximum, const QLocale& locale) {
  if (minimum == maximum) return OneDecimalText(0, locale) + '%';
  return OneDecimalText(MapRange(position, minimum, maximum, 0, 100), locale) + '%';
}

QString BrakeLoadText(double position, double minimum, double maximum, std::uint16_t leftKg,
                      std::uint16_t rightKg, const QLocale& locale) {
  if (minimum == maximum) return QStringLiteral("min");
  const long double kg = MapRange(position, minimum, maximum, leftKg, rightKg);
  const std::int64_t wholeKg = RoundHalfEven(kg);
  if (wholeKg <= leftKg) return QStringLiteral("min");
  if (wholeKg >= rightKg) return QStringLiteral("max");
  return OneDecimalText(kg, locale) + QStringLiteral("kg");
}
