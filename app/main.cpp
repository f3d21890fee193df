// quillfen-settings: the settings window on the machine's own HID devices.

#include "ProgramStart.h"
#include "hid/platform/NativeHidPlatform.h"

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  return RunSettingsWindow(app, hidplatform::CreateNativeHidPlatform());
}
