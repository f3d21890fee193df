// The settings window on the virtual platform in one of the troubles its splash explains, for
// screenshots (not a test): `splash-trouble-show no-pedal-set` or `splash-trouble-show
// may-not-open` (a pedal set at /dev/hidraw3 that this user may not open).

#include <QString>
#include <memory>

#include "ProgramStart.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"
#include "sim/OtherVirtualDevices.h"
#include "sim/VirtualPedalSet.h"

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  auto platform = std::make_shared<hidplatform::VirtualHidPlatform>();
  sim::AddVirtualKeyboard(*platform);
  sim::AddVirtualMouse(*platform);
  sim::VirtualPedalSet pedals(*platform, {.devicePath = u"/dev/hidraw3"});
  if (argc > 1 && QString::fromLocal8Bit(argv[1]) == "may-not-open") {
    pedals.Interface().SetReadWriteAccess(false);
    pedals.PlugIn();
    pedals.StartMoving();
  }
  const int exitCode = RunSettingsWindow(app, platform);
  pedals.StopMoving();
  return exitCode;
}
