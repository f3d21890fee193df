#pragma once
// Paints a window at the display's pace instead of the pedal set's: lets at most one repaint of
// the window through per frame and defers (never drops) the rest to the end of the frame.
// Values and texts still change at once; only the painting waits.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

class PaintPacer : public QObject {
  Q_OBJECT
 public:
  static constexpr int kFrameMilliseconds = 16;

  explicit PaintPacer(QWidget* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RepaintNow();

  QWidget* window_;
  QElapsedTimer sinceLastPaint_;
  QTimer deferred_;
};
