#pragma once
// The start-up both programs share: the window on the given HID platform, centred on screen
// before any device is looked at, then the message loop until the window has closed.

#include <memory>

#include "TApplication.h"

namespace hidplatform {
class HidPlatform;
}

int RunSettingsWindow(TApplication& app, std::shared_ptr<hidplatform::HidPlatform> platform);
