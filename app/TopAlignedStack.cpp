#include "TopAlignedStack.h"

#include <QEvent>

TopAlignedStack::TopAlignedStack(QWidget* container, std::vector<QWidget*> topPanels,
                                 QWidget* fillPanel)
    : QObject(container), container_(container), fillPanel_(fillPanel) {
  container_->installEventFilter(this);
  for (QWidget* panel : topPanels) {
    topPanels_.emplace_back(panel);
    panel->installEventFilter(this);
  }
  Restack();
}

void TopAlignedStack::Restack() {
  // Moving and resizing the panels raises the very events that call us.
  if (restacking_) return;
  restacking_ = true;
  const int width = container_->width();
  int top = 0;
  for (const auto& panel : topPanels_) {
    if (!panel) continue;
    panel->setGeometry(0, top, width, panel->height());
    if (panel->isVisibleTo(container_)) top += panel->height();
  }
  if (fillPanel_) fillPanel_->setGeometry(0, top, width, qMax(0, container_->height() - top));
  restacking_ = false;
}

bool TopAlignedStack::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
      Restack();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
