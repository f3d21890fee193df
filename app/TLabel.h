#pragma once
// A static text that sizes itself to its text. A right-aligned label keeps its right edge when
// its text changes; every other label keeps its left edge.

#include <QLabel>

class TLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TLabel(QWidget* parent = nullptr);

  // Hides QLabel::setText on purpose: every text change through a TLabel re-fits the label.
  void setText(const QString& text);

  bool RightAligned() const { return rightAligned_; }
  void SetRightAligned(bool rightAligned);

 private:
  void FitToText();

  bool rightAligned_ = false;
};
