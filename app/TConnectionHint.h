#pragma once
// The splash's second line, under "Connecting...": why there is no connection yet and what to
// do about it. While the splash shows, the line is read again once a second and after every
// controller pass the window reports; the timer stops when the splash hides, so a connected
// program is never woken by it. It only reads: it changes nothing and sends nothing.

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>

#include "pedal/ConnectionTrouble.h"

class QFont;
class QLabel;
class QWidget;

class TConnectionHint : public QObject {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kRefreshInterval{1000};
  enum class TWording { Linux, Windows };
#if defined(Q_OS_WIN)
  static constexpr TWording kPlatformWording = TWording::Windows;
#else
  static constexpr TWording kPlatformWording = TWording::Linux;
#endif

  // Puts the (empty) line on `splash`, centred under its bar, in a smaller size of `font`.
  // `facts` tells what the link and the controller see at the moment of the call.
  TConnectionHint(QWidget* splash, const QFont& font, std::function<TConnectionFacts()> facts);

  QLabel* Line() const { return line_; }
  // Reads the facts again and shows what they mean.
  void Refresh();
  bool IsRefreshing() const { return timer_.isActive(); }

  // The line for a verdict; `path` is the pedal set's device path.
  static QString TextFor(const TConnectionVerdict& verdict, const QString& path,
                         TWording wording = kPlatformWording);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* splash_;
  QLabel* line_;
  QTimer timer_;
  std::function<TConnectionFacts()> facts_;
};
