#include "ProgramStart.h"

#include "ProgramIcon.h"
#include "TMainForm.h"
#include "WindowFonts.h"
#include "hid/platform/HidPlatform.h"

int RunSettingsWindow(TApplication& app, std::shared_ptr<hidplatform::HidPlatform> platform) {
  app.setApplicationName(QStringLiteral("quillfen-settings"));
  app.setApplicationDisplayName(QStringLiteral("Quillfen pedals settings"));
  app.setDesktopFileName(QStringLiteral(QF_APP_ID));
  app.setWindowIcon(ProgramIcon());
  RegisterFontFallbacks();

  // The window is on screen before the controller's first scan, which waits for the loop.
  TMainForm MainForm(std::move(platform));
  MainForm.ShowCentred();
  return app.exec();
}
