#include "TLabel.h"

TLabel::TLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TLabel::setText(const QString& text) {
  // The live readout writes every label on every report; most of the time nothing changes.
  if (text == QLabel::text()) return;
  QLabel::setText(text);
  FitToText();
}

void TLabel::SetRightAligned(bool rightAligned) {
  rightAligned_ = rightAligned;
  setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

void TLabel::FitToText() {
  const QSize fitted = sizeHint();
  const int right = geometry().right();
  resize(fitted.width(), qMax(height(), fitted.height()));
  if (rightAligned_) move(right - width() + 1, y());
}
