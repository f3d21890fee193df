#pragma once
// A value as a whole percentage of a range, the way the widgets tell it to screen readers.

#include <QString>

// `value` in [low, high] as a whole number of percent (ties to even) followed by " %", e.g.
// "45 %"; an empty or inverted range reads "0 %".
QString RangePercentText(double value, double low, double high);
