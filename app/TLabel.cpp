#include "TLabel.h"

#include <QEvent>

#include "PaintPacer.h"

namespace {
// Enough for every percentage and load text the readout can show; past it the cache starts over.
constexpr qsizetype kMaxFittedSizes = 4096;
}  // namespace

TLabel::TLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TLabel::setText(const QString& text) {
  // The live readout writes every label on every report; most of the time nothing changes.
  if (text == text_) return;
  text_ = text;
  if (shownTextDue_) return;
  PaintPacer* pacer = isVisible() ? PaintPacer::Of(this) : nullptr;
  if (pacer == nullptr) {
    ShowText();
    return;
  }
  shownTextDue_ = true;
  pacer->BeforeNextFrame(this, [this] { ShowText(); });
  update();  // a frame comes only for a window with something to repaint
}

void TLabel::ShowText() {
  shownTextDue_ = false;
  if (text_ == QLabel::text()) return;
  QLabel::setText(text_);
  FitToText();
}

void TLabel::SetRightAligned(bool rightAligned) {
  rightAligned_ = rightAligned;
  setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

void TLabel::changeEvent(QEvent* event) {
  // The fitted sizes hold for one font and style only.
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    fittedSizes_.clear();
  }
  QLabel::changeEvent(event);
}

QSize TLabel::FittedSize() {
  const QString shown = QLabel::text();
  const auto known = fittedSizes_.constFind(shown);
  if (known != fittedSizes_.constEnd()) return *known;
  if (fittedSizes_.size() >= kMaxFittedSizes) fittedSizes_.clear();
  return *fittedSizes_.insert(shown, sizeHint());
}

void TLabel::FitToText() {
  const QSize fitted = FittedSize();
  const int right = geometry().right();
  resize(fitted.width(), qMax(height(), fitted.height()));
  if (rightAligned_) move(right - width() + 1, y());
}
