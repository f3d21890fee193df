#pragma once
// The texts of the live readout: a pedal's travel in percent and the brake's load. Both map a
// bar position through the bar's range; a bar whose Minimum equals its Maximum has no such
// mapping, and then reads as its lowest value (0.0% and "min") instead of showing NaN.

#include <QLocale>
#include <QString>
#include <cstdint>

// `value` with one decimal (ties to even) and the locale's decimal separator, e.g. "50.5".
QString OneDecimalText(long double value, const QLocale& locale);

// The bar position as percent of the bar's range, e.g. "50.0%".
QString PercentText(double position, double minimum, double maximum, const QLocale& locale);

// "min" at or below the left thumb's kilograms, "max" at or above the right thumb's, otherwise
// the kilograms the position stands for with one decimal, e.g. "50.5kg".
QString BrakeLoadText(double position, double minimum, double maximum, std::uint16_t leftKg,
                      std::uint16_t rightKg, const QLocale& locale);
