#include "TPanel.h"

#include <QPainter>
#include <QPalette>

TPanel::TPanel(QWidget* parent) : QWidget(parent) { setAutoFillBackground(true); }

void TPanel::SetRaisedBevel(bool raised) {
  raisedBevel_ = raised;
  update();
}

void TPanel::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (!raisedBevel_) return;
  QPainter painter(this);
  const QRect edge = rect().adjusted(0, 0, -1, -1);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawLine(edge.topLeft(), edge.topRight());
  painter.drawLine(edge.topLeft(), edge.bottomLeft());
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawLine(edge.bottomLeft(), edge.bottomRight());
  painter.drawLine(edge.topRight(), edge.bottomRight());
}
