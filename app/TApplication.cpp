#include "TApplication.h"

#include <QMessageBox>
#include <QtGlobal>
#include <exception>

#include "hid/THandOff.h"

namespace {

// On X11, Qt hands painted areas to the display server through shared memory and, before it
// paints over an area it handed over, waits for a round trip to the server: a second wake-up
// for every frame of an animation (the splash's marquee doubles the waiting program's wake-ups).
// The window is small, so sending its pixels over the connection costs nothing noticeable.
// Must be decided before the application object connects to the display; a user's own choice
// stands.
int& PaintWithoutWaitingForTheDisplay(int& argc) {
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  return argc;
}

}  // namespace

TApplication::TApplication(int& argc, char** argv)
    : QApplication(PaintWithoutWaitingForTheDisplay(argc), argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  THandOff::MarkDelivery(receiver);
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowError(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowError(QStringLiteral("An unknown error occurred."));
  }
  return false;
}

void TApplication::ShowError(const QString& text) {
  if (errorBox_) {
    errorBox_(text);
    return;
  }
  QMessageBox::critical(activeWindow(), applicationDisplayName(), text);
}
