#pragma once
// What the window shows of the stored settings: the From and To percentages of a pedal's working
// range, the kilograms the brake slider's thumbs stand for, and the firmware version. The window
// only puts these texts on its labels.

#include <QString>
#include <cstdint>

#include "PedalTypes.h"

// The brake's load at full scale is this many times its constant, in kilograms.
inline constexpr long double kFullScaleKgPerBrakeConst = 96.0L;

// The left thumb as a whole percentage of the pedal's own slider range, e.g. "25%". The range is
// the stored one, which the Debug page may have changed since the slider took it, so the result
// is not limited to 0-100; an empty range reads "0%".
QString FromText(int positionLeft, const PedalData& settings);

// The right thumb on the same straight line as FromText, taken from the range's upper end.
QString ToText(int positionRight, const PedalData& settings);

// The kilograms a brake thumb at `position` stands for: the slider's `minimum`-`maximum` maps
// onto 0 - 96 x the brake constant, rounded half to even and kept to 16 bits as the label
// shows them. An empty slider range reads 0.
std::uint16_t ThumbKg(int position, int minimum, int maximum, double brakeKgConst);

// "<kg>kg", e.g. "100kg".
QString KgLabel(std::uint16_t kg);

// The firmware writes its version as one decimal number, two digits a part: 10203 is
// "MCU Version: 1.2.3".
QString VersionText(std::uint16_t version);
