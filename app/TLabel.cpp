#include "TLabel.h"

#include <QEvent>

#include "PaintPacer.h"

namespace {
// Enough for every percentage and load text the readout can show; past it the cache starts over.
constexpr qsizetype kMaxFittedSizes = 4096;

// The sizes every label has fitted so far, by look (TLabel::FitLook) and text. A pedal's readout
// shows its texts at frame rate, so a label meets a value it has not shown before for minutes of
// pressing; the three pedals' labels, and any window opened later, share what each of them has
// laid out.
QHash<QString, QSize>& SharedFittedSizes() {
  static QHash<QString, QSize> sizes;
  return sizes;
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
    fitLook_.clear();
  }
  QLabel::changeEvent(event);
}

QSize TLabel::FittedSize() {
  const QString shown = QLabel::text();
  const auto known = fittedSizes_.constFind(shown);
  if (known != fittedSizes_.constEnd()) return *known;
  if (fittedSizes_.size() >= kMaxFittedSizes) fittedSizes_.clear();
  return *fittedSizes_.insert(shown, SharedFittedSize());
}

QSize TLabel::SharedFittedSize() {
  QHash<QString, QSize>& sizes = SharedFittedSizes();
  const QString key = FitLook() + QLatin1Char('\n') + QLabel::text();
  const auto known = sizes.constFind(key);
  if (known != sizes.constEnd()) return *known;
  if (sizes.size() >= 4 * kMaxFittedSizes) sizes.clear();
  return *sizes.insert(key, sizeHint());
}

// Everything besides its text that decides a plain-text label's size hint. The font's part is
// kept until the font or style changes; the numbers are cheap to look at every time.
const QString& TLabel::FitLook() {
  const QMargins m = contentsMargins();
  const QSize least = minimumSize();
  const std::array<int, 11> numbers = {margin(),
                                       indent(),
                                       static_cast<int>(alignment()),
                                       frameWidth(),
                                       wordWrap() ? 1 : 0,
                                       m.left(),
                                       m.top(),
                                       m.right(),
                                       m.bottom(),
                                       least.width(),
                                       least.height()};
  if (fitLook_.isEmpty() || numbers != fitLookNumbers_) {
    fitLookNumbers_ = numbers;
    fitLook_ = font().key();
    for (const int number : numbers) fitLook_ += QLatin1Char('|') + QString::number(number);
  }
  return fitLook_;
}

void TLabel::FitToText() {
  const QSize fitted = FittedSize();
  const int right = geometry().right();
  resize(fitted.width(), qMax(height(), fitted.height()));
  if (rightAligned_) move(right - width() + 1, y());
}
