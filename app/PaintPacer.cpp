#include "PaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

PaintPacer::PaintPacer(QWidget* window) : QObject(window), window_(window) {
  deferred_.setSingleShot(true);
  connect(&deferred_, &QTimer::timeout, this, &PaintPacer::RepaintNow);
  window_->installEventFilter(this);
}

PaintPacer* PaintPacer::Of(const QWidget* widget) {
  return widget->window()->findChild<PaintPacer*>(QString(), Qt::FindDirectChildrenOnly);
}

void PaintPacer::BeforeNextFrame(QObject* owner, std::function<void()> work) {
  frameWork_.emplace_back(owner, std::move(work));
}

bool PaintPacer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::UpdateRequest) return false;
  if (!sinceLastPaint_.isValid() || sinceLastPaint_.elapsed() >= kFrameMilliseconds) {
    sinceLastPaint_.start();
    // What this work changes on screen is painted in the frame that follows at once.
    RunFrameWork();
    return false;
  }
  if (!deferred_.isActive()) {
    deferred_.start(kFrameMilliseconds - static_cast<int>(sinceLastPaint_.elapsed()));
  }
  return true;
}

void PaintPacer::RunFrameWork() {
  // Work may ask for the next frame's work; that waits for the next frame.
  auto due = std::move(frameWork_);
  frameWork_.clear();
  for (auto& [owner, work] : due) {
    if (owner) work();
  }
}

void PaintPacer::RepaintNow() {
  // The swallowed request left the window's pending repaint in place: ask for it once more.
  QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
