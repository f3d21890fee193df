#include "widgets/RangePercent.h"

#include <cmath>

QString RangePercentText(double value, double low, double high) {
  double percent = 0;
  if (high > low) percent = std::nearbyint((value - low) / (high - low) * 100.0);
  if (!std::isfinite(percent)) percent = 0;
  return QString::number(percent, 'f', 0) + QStringLiteral(" %");
}
