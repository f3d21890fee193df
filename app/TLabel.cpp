#include "TLabel.h"

#include <QEvent>

#include "PaintPacer.h"

namespace {
// Enough for every percentage and load text the readout can show; past it the cache starts over.
constexpr qsizetype kMaxFittedSizes = 4096;

// Everything besides its text that decides a plain-text label's size hint.
QString FitLookOf(const QLabel& label) {
  const QMargins m = label.contentsMargins();
  const QSize least = label.minimumSize();
  return label.font().key() + QStringLiteral("|%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11")
                                  .arg(label.margin())
                                  .arg(label.indent())
                                  .arg(static_cast<int>(label.alignment()))
                                  .arg(label.frameWidth())
                                  .arg(label.wordWrap() ? 1 : 0)
                                  .arg(m.left())
                                  .arg(m.top())
                                  .arg(m.right())
                                  .arg(m.bottom())
                                  .arg(least.width())
                                  .arg(least.height());
}

// The sizes every label has fitted so far, by look and text. A pedal's readout shows its texts
// at frame rate, so a label meets a value it has not shown before for minutes of pressing; the
// three pedals' labels, and any window opened later, share what each of them has laid out.
QSize SharedFittedSize(const QLabel& label) {
  static QHash<QString, QSize> sizes;
  const QString key = FitLookOf(label) + QLatin1Char('\n') + label.text();
  const auto known = sizes.constFind(key);
  if (known != sizes.constEnd()) return *known;
  if (sizes.size() >= 4 * kMaxFittedSizes) sizes.clear();
  return *sizes.insert(key, label.sizeHint());
}
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
  return *fittedSizes_.insert(shown, SharedFittedSize(*this));
}

void TLabel::FitToText() {
  const QSize fitted = FittedSize();
  const int right = geometry().right();
  resize(fitted.width(), qMax(height(), fitted.height()));
  if (rightAligned_) move(right - width() + 1, y());
}
