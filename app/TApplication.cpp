#include "TApplication.h"

#include <QMessageBox>
#include <exception>

#include "hid/THandOff.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

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
