// quillfen-settings-demo: the settings window on the virtual HID platform, with a virtual pedal
// set moving its pedals and a keyboard and a mouse beside it, for trying the program without
// the hardware.

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
  sim::VirtualPedalSet pedals(*platform);
  pedals.PlugIn();
  pedals.StartMoving();
  const int exitCode = RunSettingsWindow(app, platform);
  pedals.StopMoving();
  return exitCode;
}
