// quillfen-settings-demo: the settings window on the virtual HID platform, with a virtual pedal
// set moving its pedals and a keyboard and a mouse beside it, for trying the program without
// the hardware.

#include <QTimer>
#include <QtGlobal>
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
  auto plugIn = [&pedals] {
    pedals.PlugIn();
    pedals.StartMoving();
  };
  // QF_DEMO_PLUG_IN_AFTER_MS delays the pedal set's arrival, leaving time to press the service
  // key while "Connecting..." shows (the mode is decided at the first settings dump).
  const int plugInDelayMs = qEnvironmentVariableIntValue("QF_DEMO_PLUG_IN_AFTER_MS");
  if (plugInDelayMs > 0) {
    QTimer::singleShot(plugInDelayMs, plugIn);
  } else {
    plugIn();
  }
  const int exitCode = RunSettingsWindow(app, platform);
  pedals.StopMoving();
  return exitCode;
}
