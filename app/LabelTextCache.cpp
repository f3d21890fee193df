#include "LabelTextCache.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QPen>
#include <cmath>

namespace {
// Enough for every percentage and load text of the readout in a few fonts; past it the cache
// starts over.
constexpr qsizetype kMaxTexts = 16384;

// The layouts every label has made, by font and text: the three pedals' labels share one font,
// so a value one of them has shown is laid out for all.
QHash<QString, QStaticText>& SharedLayouts() {
  static QHash<QString, QStaticText> layouts;
  return layouts;
}

bool PaintedAsOneLayout(const QLabel& label, const QString& text) {
#ifdef Q_OS_WIN
  // There the raster engine blends a coloured text drawn from a kept layout unlike one it lays
  // out itself (seen under Wine: grey and dark red labels differ by a shade, black ones not),
  // so QLabel paints every label.
  Q_UNUSED(label);
  Q_UNUSED(text);
  return false;
#else
  const Qt::Alignment horizontal = label.alignment() & Qt::AlignHorizontal_Mask;
  return !text.isEmpty() && LaysTextOutPlainly(label) && label.frameShape() == QFrame::NoFrame &&
         label.indent() <= 0 && (horizontal == Qt::AlignLeft || horizontal == Qt::AlignRight) &&
         (label.alignment() & Qt::AlignVertical_Mask) == Qt::AlignVCenter &&
         !text.isRightToLeft() && !text.contains(QLatin1Char('\n')) && !text.front().isSpace() &&
         !text.back().isSpace() && label.devicePixelRatioF() == 1.0 &&
         !label.testAttribute(Qt::WA_StyleSheet);
#endif
}
}  // namespace

bool LaysTextOutPlainly(const QLabel& label) {
  return label.textFormat() == Qt::PlainText && !label.wordWrap() && label.buddy() == nullptr &&
         !(label.textInteractionFlags() &
           (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard));
}

const QStaticText& LabelTextCache::LaidOut(const QLabel& label, const QString& text) {
  if (fontKey_.isEmpty()) fontKey_ = label.font().key() + QLatin1Char('\n');
  QHash<QString, QStaticText>& layouts = SharedLayouts();
  const QString key = fontKey_ + text;
  const auto known = layouts.constFind(key);
  if (known != layouts.constEnd()) return *known;
  if (layouts.size() >= kMaxTexts) layouts.clear();
  QStaticText laidOut(text);
  laidOut.setTextFormat(Qt::PlainText);
  laidOut.prepare(QTransform(), label.font());
  return *layouts.insert(key, laidOut);
}

std::optional<QSize> LabelTextCache::TextSize(const QLabel& label, const QString& text) {
  if (!PaintedAsOneLayout(label, text)) return std::nullopt;
  const QFontMetricsF metrics(label.font());
  for (const QChar c : text) {
    if (c.isSurrogate() || !metrics.inFont(c)) return std::nullopt;
  }
  // A one-line text in one font is as tall as that font; its width is the layout's, whole pixels.
  return QSize(static_cast<int>(std::ceil(LaidOut(label, text).size().width())),
               static_cast<int>(std::ceil(metrics.ascent() + metrics.descent())));
}

// What QLabel's paint and its style's text drawing come to for such a label: the palette's text
// role as pen, the text at the left or right of the margin-reduced contents, centred vertically.
const QStaticText* LabelTextCache::Placed(const QLabel& label, QPointF& at) {
  const QString text = label.text();
  if (!PaintedAsOneLayout(label, text)) return nullptr;
  const QStaticText& laidOut = LaidOut(label, text);
  const QRect area = label.contentsRect().adjusted(label.margin(), label.margin(), -label.margin(),
                                                   -label.margin());
  const QSizeF size = laidOut.size();
  // QLabel clips a text that overflows its area; a fitted label's never does.
  if (size.width() > area.width() || size.height() > area.height()) return nullptr;
  const bool right = (label.alignment() & Qt::AlignRight) != 0;
  at = QPointF(right ? area.x() + area.width() - size.width() : area.x(),
               area.y() + std::round((area.height() - size.height()) / 2));
  return &laidOut;
}

bool LabelTextCache::Paint(QLabel& label) {
  QPointF at;
  const QStaticText* laidOut = Placed(label, at);
  if (laidOut == nullptr) return false;
  QPainter painter(&label);
  Draw(label, painter, *laidOut, at);
  return true;
}

bool LabelTextCache::Paint(QLabel& label, QPainter& painter) {
  QPointF at;
  const QStaticText* laidOut = Placed(label, at);
  if (laidOut == nullptr) return false;
  Draw(label, painter, *laidOut, at);
  return true;
}

void LabelTextCache::Draw(const QLabel& label, QPainter& painter, const QStaticText& laidOut,
                          QPointF at) {
  painter.setPen(QPen(label.palette().brush(label.foregroundRole()), painter.pen().widthF()));
  painter.drawStaticText(at, laidOut);
}
