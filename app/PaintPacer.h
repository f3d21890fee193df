#pragma once
// Paints a window at the display's pace instead of the pedal set's: lets at most one repaint of
// the window through per frame and defers (never drops) the rest to the end of the frame.
// Values and texts still change at once; only the painting waits, and with it the work that
// only the screen needs (a label's new geometry), which runs once per frame just before the
// frame is painted.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

class QWidget;

class PaintPacer : public QObject {
  Q_OBJECT
 public:
  static constexpr int kFrameMilliseconds = 16;

  explicit PaintPacer(QWidget* window);

  // The pacer of the window `widget` sits in, or nullptr.
  static PaintPacer* Of(const QWidget* widget);

  // Runs `work` just before the window's next frame is painted, unless `owner` is gone by then.
  // Only a window with something to repaint gets a frame: the caller also asks for a repaint.
  void BeforeNextFrame(QObject* owner, std::function<void()> work);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RepaintNow();
  void RunFrameWork();

  QWidget* window_;
  QElapsedTimer sinceLastPaint_;
  QTimer deferred_;
  std::vector<std::pair<QPointer<QObject>, std::function<void()>>> frameWork_;
};
