#pragma once
// Devices that share the machine with the pedal set, for realism and for tests.

#include <memory>

#include "VirtualPedalSet.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"

namespace sim {

// A keyboard and a mouse interface. Both are added plugged in (call the platform's
// RaiseDeviceChange afterwards) and open only for queries, as the operating system keeps
// keyboards and mice for itself.
std::shared_ptr<hidplatform::VirtualInterface> AddVirtualKeyboard(
    hidplatform::VirtualHidPlatform& platform);
std::shared_ptr<hidplatform::VirtualInterface> AddVirtualMouse(
    hidplatform::VirtualHidPlatform& platform);

// A device with the pedal set's ids and firmware but another product string. Starts unplugged.
std::unique_ptr<VirtualPedalSet> MakeImpostorPedalSet(hidplatform::VirtualHidPlatform& platform);

inline constexpr char kImpostorProduct[] = "Quillfen Pedals (clone)";

}  // namespace sim
