#include "PaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

PaintPacer::PaintPacer(QWidget* window) : QObject(window), window_(window) {
  deferred_.setSingleShot(true);
  connect(&deferred_, &QTimer::timeout, this, &PaintPacer::RepaintNow);
  window_->installEventFilter(this);
}

bool PaintPacer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::UpdateRequest) return false;
  if (!sinceLastPaint_.isValid() || sinceLastPaint_.elapsed() >= kFrameMilliseconds) {
    sinceLastPaint_.start();
    return false;
  }
  if (!deferred_.isActive()) {
    deferred_.start(kFrameMilliseconds - static_cast<int>(sinceLastPaint_.elapsed()));
  }
  return true;
}

void PaintPacer::RepaintNow() {
  // The swallowed request left the window's pending repaint in place: ask for it once more.
  QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
