#pragma once
// The texts of the live readout: a pedal's travel in percent and the brake's load. Both map a
// bar position through the bar's range; a bar whose Minimum equals its Maximum has no such
// mapping, and then reads as its lowest value (0.0% and "min") instead of showing NaN.

#include <QLocale>
#include <QString>
#include <cstdint>

// The locale's symbols the readout's numbers are written with. Asking a locale for them costs
// more than formatting the number (the system locale answers through a query every time), so
// the readout keeps them (NumberSymbolsCache) instead of asking for every text.
struct NumberSymbols {
  QString decimalPoint;
  QString negativeSign;

  static NumberSymbols Of(const QLocale& locale);
};

// The symbols of the last locale asked for, until another locale is asked for or Forget (a change
// of the system's locale keeps QLocale() equal while its symbols change).
class NumberSymbolsCache {
 public:
  const NumberSymbols& For(const QLocale& locale);
  void Forget() { known_ = false; }

 private:
  QLocale locale_;
  NumberSymbols symbols_;
  bool known_ = false;
};

// `value` with one decimal (ties to even) and the locale's decimal separator, e.g. "50.5".
QString OneDecimalText(long double value, const QLocale& locale);
QString OneDecimalText(long double value, const NumberSymbols& symbols);

// The bar position as percent of the bar's range, e.g. "50.0%".
QString PercentText(double position, double minimum, double maximum, const QLocale& locale);
QString PercentText(double position, double minimum, double maximum, const NumberSymbols& symbols);

// "min" at or below the left thumb's kilograms, "max" at or above the right thumb's, otherwise
// the kilograms the position stands for with one decimal, e.g. "50.5kg".
QString BrakeLoadText(double position, double minimum, double maximum, std::uint16_t leftKg,
                      std::uint16_t rightKg, const QLocale& locale);
QString BrakeLoadText(double position, double minimum, double maximum, std::uint16_t leftKg,
                      std::uint16_t rightKg, const NumberSymbols& symbols);
