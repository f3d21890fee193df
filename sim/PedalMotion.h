#pragma once
// A believable pedal motion: each pedal is pressed and released smoothly over its travel, the
// three at different paces, as a driver's feet would through a lap.

#include <cstdint>

#include "PedalFirmware.h"

namespace sim {

class PedalMotion {
 public:
  // reportRateHz: how many positions reports make one second of motion.
  explicit PedalMotion(int reportRateHz);

  // The raw positions at report number `reportIndex`.
  RawPositions At(std::uint64_t reportIndex) const;

 private:
  double secondsPerReport_;
};

}  // namespace sim
