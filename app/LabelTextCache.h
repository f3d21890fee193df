#pragma once
// Paints a label's plain one-line text exactly as QLabel does, from a layout kept per text:
// QLabel lays its text out again on every paint, which is most of what a readout frame costs
// the four value labels. Anything it does not cover is left to QLabel.

#include <QPointF>
#include <QSize>
#include <QStaticText>
#include <QString>
#include <optional>

class QLabel;
class QPainter;

// QLabel lays this label's text out as plain text in one text layout: no rich text, no text
// control for selecting it, no word wrap, no mnemonic for a buddy.
bool LaysTextOutPlainly(const QLabel& label);

class LabelTextCache {
 public:
  // Paints `label`'s text and returns true, or returns false and paints nothing when the label
  // is one QLabel must paint itself (a frame, an indent, rich or selectable text, word wrap, a
  // mnemonic, several lines, right-to-left text, a centred or justified alignment, a text that
  // does not fit, a scaled screen, Windows).
  bool Paint(QLabel& label);
  // The same with a painter already open on the label.
  bool Paint(QLabel& label, QPainter& painter);
  // The size QFontMetrics::boundingRect gives `text` on one line in the label's font, from the
  // layout Paint will paint it from: a new readout text is then laid out once, not twice. Empty
  // for a label Paint leaves to QLabel, and for a text the font lacks a character of (another
  // font's glyph may stand taller).
  std::optional<QSize> TextSize(const QLabel& label, const QString& text);
  // After a change of the label's font or style.
  void Clear() { fontKey_.clear(); }

 private:
  const QStaticText& LaidOut(const QLabel& label, const QString& text);
  // The label's text laid out and where it goes, or nullptr for a label QLabel must paint.
  const QStaticText* Placed(const QLabel& label, QPointF& at);
  static void Draw(const QLabel& label, QPainter& painter, const QStaticText& laidOut, QPointF at);

  QString fontKey_;  // the label's font's part of the shared layouts' keys; empty until needed
};
