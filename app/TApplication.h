#pragma once
// The program's application object. An error that escapes a handler dispatched by the message
// loop is caught here, in one place, shown in a message box with its text, and the loop goes on.

#include <QApplication>
#include <QString>
#include <functional>

class TApplication : public QApplication {
  Q_OBJECT
 public:
  // Shows an error's text to the user. The default is a modal message box; tests answer it.
  using ErrorBox = std::function<void(const QString& text)>;

  TApplication(int& argc, char** argv);

  void SetErrorBox(ErrorBox box) { errorBox_ = std::move(box); }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void ShowError(const QString& text);

  ErrorBox errorBox_;
};
