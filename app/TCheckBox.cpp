#include "TCheckBox.h"

#include <QMouseEvent>

TCheckBox::TCheckBox(QWidget* parent) : QCheckBox(parent) {}

void TCheckBox::mouseReleaseEvent(QMouseEvent* event) {
  QCheckBox::mouseReleaseEvent(event);
  const QPoint at = event->position().toPoint();
  if (rect().contains(at)) emit OnMouseUp(event->button(), event->modifiers(), at.x(), at.y());
}
