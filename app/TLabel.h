#pragma once
// A static text that sizes itself to its text. A right-aligned label keeps its right edge when
// its text changes; every other label keeps its left edge.

#include <QHash>
#include <QLabel>
#include <QSize>
#include <QString>
#include <array>

#include "LabelTextCache.h"

class TLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TLabel(QWidget* parent = nullptr);

  // Hide QLabel's text and setText on purpose. The text changes at once; the label on screen
  // (its painted text, its fitted size, what assistive tools read) follows it once per frame
  // while the label is shown in a paced window, and at once otherwise: the live readout
  // rewrites its labels up to a thousand times a second for a screen that shows sixty.
  void setText(const QString& text);
  QString text() const { return text_; }

  bool RightAligned() const { return rightAligned_; }
  void SetRightAligned(bool rightAligned);

  // For a label on a panel of one plain colour with nothing else beneath the label: the label
  // paints that colour beneath its text itself, so a new text repaints the label alone, not the
  // panel's background under it as well (a readout frame repaints four labels). Holds while the
  // panel fills its background with an opaque solid brush; otherwise the panel paints it.
  void SetPaintsPanelColour(bool paints);

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void ShowText();
  void FitToText();
  bool StandsOnPlainPanel() const;
  void UpdateOpaqueness();
  QSize FittedSize();
  QSize SharedFittedSize();
  QSize TextSizeHint();
  using LookNumbers = std::array<int, 14>;
  LookNumbers CurrentLookNumbers() const;
  const QString& FitLook();

  LabelTextCache paintedTexts_;
  QString text_;
  bool shownTextDue_ = false;  // the next frame shows text_
  bool rightAligned_ = false;
  bool paintsPanelColour_ = false;
  // Texts repeat ("45.2%"): laying each one out again costs more than the rest of a report's
  // work.
  QHash<QString, QSize> fittedSizes_;
  QString fitLook_;  // empty until needed and after a change of font, style or look numbers
  LookNumbers fitLookNumbers_{};
};
