#include "PedalMotion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace sim {

namespace {

struct Stroke {
  double low;     // raw position at rest
  double high;    // raw position fully pressed
  double period;  // seconds per press and release
  double phase;   // fraction of a period at time 0
};

// Physical travel a little wider than the factory limits, so a calibration finds new limits.
constexpr std::array<Stroke, kPedalCount> kStrokes = {
    Stroke{300, 3800, 2.3, 0.0}, Stroke{90, 4010, 3.1, 0.4}, Stroke{460, 3650, 4.7, 0.7}};

std::uint16_t PositionOf(const Stroke& stroke, double seconds) {
  const double turn = seconds / stroke.period + stroke.phase;
  const double pressed = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * turn);
  return static_cast<std::uint16_t>(std::lround(stroke.low + (stroke.high - stroke.low) * pressed));
}

}  // namespace

PedalMotion::PedalMotion(int reportRateHz) : secondsPerReport_(1.0 / std::max(reportRateHz, 1)) {}

RawPositions PedalMotion::At(std::uint64_t reportIndex) const {
  const double seconds = static_cast<double>(reportIndex) * secondsPerReport_;
  RawPositions positions{};
  for (std::size_t pedal = 0; pedal < kPedalCount; ++pedal) {
    positions[pedal] = PositionOf(kStrokes[pedal], seconds);
  }
  return positions;
}

}  // namespace sim
