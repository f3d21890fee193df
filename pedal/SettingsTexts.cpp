#include "SettingsTexts.h"

#include "MapRange.h"

namespace {

// An empty interval has no mapping: it reads as 0 instead of an overflowed infinity.
std::int64_t MapOrZero(long double x, long double fromLow, long double fromHigh, long double toLow,
                       long double toHigh) {
  if (fromLow == fromHigh) return 0;
  return MapRangeRounded(x, fromLow, fromHigh, toLow, toHigh);
}

QString PercentLabel(std::int64_t percent) {
  return QString::number(static_cast<std::int32_t>(percent)) + QLatin1Char('%');
}

}  // namespace

QString FromText(int positionLeft, const PedalData& settings) {
  return PercentLabel(
      MapOrZero(positionLeft, settings.SliderRangeMin, settings.SliderRangeMax, 0, 100));
}

QString ToText(int positionRight, const PedalData& settings) {
  return PercentLabel(
      MapOrZero(positionRight, settings.SliderRangeMax, settings.SliderRangeMin, 100, 0));
}

std::uint16_t ThumbKg(int position, int minimum, int maximum, double brakeKgConst) {
  const std::int64_t kg =
      MapOrZero(position, minimum, maximum, 0, kFullScaleKgPerBrakeConst * brakeKgConst);
  return static_cast<std::uint16_t>(static_cast<std::uint64_t>(kg) & 0xFFFF);
}

QString KgLabel(std::uint16_t kg) { return QString::number(kg) + QStringLiteral("kg"); }

QString VersionText(std::uint16_t version) {
  return QStringLiteral("MCU Version: %1.%2.%3")
      .arg(version / 10000)
      .arg(version % 10000 / 100)
      .arg(version % 100);
}
