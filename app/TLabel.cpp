#include "TLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

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

void TLabel::SetPaintsPanelColour(bool paints) {
  paintsPanelColour_ = paints;
  UpdateOpaqueness();
}

bool TLabel::StandsOnPlainPanel() const {
  const QWidget* panel = parentWidget();
  if (panel == nullptr || !panel->autoFillBackground()) return false;
  const QBrush& brush = panel->palette().brush(panel->backgroundRole());
  return brush.style() == Qt::SolidPattern && brush.isOpaque();
}

// Qt paints nothing of the panel beneath an opaque label.
void TLabel::UpdateOpaqueness() {
  setAttribute(Qt::WA_OpaquePaintEvent, paintsPanelColour_ && StandsOnPlainPanel());
}

void TLabel::changeEvent(QEvent* event) {
  // The fitted sizes and kept layouts hold for one font and style only.
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    fittedSizes_.clear();
    fitLook_.clear();
    paintedTexts_.Clear();
  }
  // A panel's new palette reaches the labels on it as a change of their own.
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) {
    UpdateOpaqueness();
  }
  QLabel::changeEvent(event);
}

void TLabel::paintEvent(QPaintEvent* event) {
  if (testAttribute(Qt::WA_OpaquePaintEvent)) {
    QPainter painter(this);
    const QWidget* panel = parentWidget();
    // Every device pixel Qt left to the label, at any scale: the clip keeps the fill inside them.
    painter.fillRect(rect().adjusted(-1, -1, 1, 1),
                     panel->palette().brush(panel->backgroundRole()));
    if (paintedTexts_.Paint(*this, painter)) return;
  }
  if (!paintedTexts_.Paint(*this)) QLabel::paintEvent(event);
}

QSize TLabel::FittedSize() {
  // What this label fitted holds for its look at the time; the numbers are cheap to compare.
  const LookNumbers numbers = CurrentLookNumbers();
  if (numbers != fitLookNumbers_) {
    fitLookNumbers_ = numbers;
    fittedSizes_.clear();
    fitLook_.clear();
  }
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
  return *sizes.insert(key, TextSizeHint());
}

// What QLabel::sizeHint answers for a one-line plain text, from one text layout where QLabel
// makes three (its hint, and its minimum hint at two widths that give a one-line text the same
// size), and where the label's text is painted from a kept layout, from that one. A new value
// text costs the readout's frame this one layout. Whatever that one layout does not cover (rich
// or selectable text, word wrap, a mnemonic for a buddy) asks QLabel itself.
QSize TLabel::TextSizeHint() {
  if (!LaysTextOutPlainly(*this)) return sizeHint();
  ensurePolished();
  const QString shown = QLabel::text();
  const QFontMetrics metrics = fontMetrics();
  const int align = static_cast<int>(QStyle::visualAlignment(
      shown.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight, alignment()));
  int hextra = 2 * margin();
  int vextra = hextra;
  int extraIndent = indent();
  if (extraIndent < 0 && frameWidth() != 0) {
    extraIndent = metrics.horizontalAdvance(QLatin1Char('x')) - 2 * margin();
  }
  if (extraIndent > 0) {
    if (align & (Qt::AlignLeft | Qt::AlignRight)) hextra += extraIndent;
    if (align & (Qt::AlignTop | Qt::AlignBottom)) vextra += extraIndent;
  }
  const QMargins m = contentsMargins();
  // The width to lay out in does not change a text that never wraps; it is QLabel's anyway.
  const int width = (minimumWidth() > 0 ? minimumWidth() : 2000) - hextra - m.left() - m.right();
  const int flags = align & ~(Qt::AlignVCenter | Qt::AlignHCenter);
  const std::optional<QSize> kept = paintedTexts_.TextSize(*this, shown);
  const QSize bounds = kept ? *kept : metrics.boundingRect(0, 0, width, 2000, flags, shown).size();
  const QSize contents(bounds.width() + hextra + m.left() + m.right(),
                       bounds.height() + vextra + m.top() + m.bottom());
  return contents.expandedTo(minimumSize());
}

// Everything besides its text and font that decides a label's size hint (with a buddy, '&'
// marks a mnemonic and takes no room).
TLabel::LookNumbers TLabel::CurrentLookNumbers() const {
  const QMargins m = contentsMargins();
  const QSize least = minimumSize();
  return {margin(),
          indent(),
          static_cast<int>(alignment()),
          frameWidth(),
          wordWrap() ? 1 : 0,
          m.left(),
          m.top(),
          m.right(),
          m.bottom(),
          least.width(),
          least.height(),
          static_cast<int>(textFormat()),
          static_cast<int>(textInteractionFlags()),
          buddy() != nullptr ? 1 : 0};
}

// The look's key in the shared sizes, kept until the font, style or look numbers change.
const QString& TLabel::FitLook() {
  if (fitLook_.isEmpty()) {
    fitLook_ = font().key();
    for (const int number : fitLookNumbers_) fitLook_ += QLatin1Char('|') + QString::number(number);
  }
  return fitLook_;
}

void TLabel::FitToText() {
  const QSize fitted = FittedSize();
  const int right = geometry().right();
  resize(fitted.width(), qMax(height(), fitted.height()));
  if (rightAligned_) move(right - width() + 1, y());
}
