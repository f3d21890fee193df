#pragma once
// A static text that sizes itself to its text. A right-aligned label keeps its right edge when
// its text changes; every other label keeps its left edge.

#include <QHash>
#include <QLabel>
#include <QSize>

class TLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TLabel(QWidget* parent = nullptr);

  // Hides QLabel::setText on purpose: every text change through a TLabel re-fits the label.
  void setText(const QString& text);

  bool RightAligned() const { return rightAligned_; }
  void SetRightAligned(bool rightAligned);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void FitToText();
  QSize FittedSize();

  bool rightAligned_ = false;
  // The readout rewrites its labels up to a thousand times a second with texts that repeat
  // ("45.2%"); laying each one out again costs more than the rest of the report's work.
  QHash<QString, QSize> fittedSizes_;
};
