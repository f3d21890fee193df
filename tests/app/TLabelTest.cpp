// A label sizes itself to its text; a right-aligned one keeps its right edge.
#include <gtest/gtest.h>
#include <QFont>
#include <QTest>
#include <QWidget>

#include "app/PaintPacer.h"
#include "app/TLabel.h"

namespace {

QSize TextSize(const TLabel& label) {
  TLabel probe;
  probe.setFont(label.font());
  probe.setText(label.text());
  return probe.sizeHint();
}

TEST(TLabel, FitsEachTextAndKeepsTheRightEdgeWhenRightAligned) {
  QWidget parent;
  TLabel label(&parent);
  label.SetRightAligned(true);
  label.setGeometry(100, 10, 40, 20);
  const int right = label.geometry().right();

  for (const char* text : {"100.0%", "5.0%", "100.0%", "CALIBRATION..."}) {
    label.setText(text);
    EXPECT_EQ(label.width(), TextSize(label).width()) << text;
    EXPECT_EQ(label.geometry().right(), right) << text;
  }
}

TEST(TLabel, RefitsARepeatedTextAfterTheFontChanged) {
  TLabel label;
  label.setText("45.2%");
  const int smallWidth = label.width();
  label.setText("45.3%");

  QFont larger = label.font();
  larger.setPointSize(larger.pointSize() * 3);
  label.setFont(larger);
  label.setText("45.2%");  // seen before, in the old font

  EXPECT_GT(label.width(), smallWidth);
  EXPECT_EQ(label.width(), TextSize(label).width());
}

// Labels share what they have fitted: one that looks different (a margin, a larger font) must
// still fit a text another label has already fitted to its own look.
TEST(TLabel, LabelsThatLookDifferentFitTheSameTextEachToTheirOwnLook) {
  TLabel plain;
  TLabel withMargin;
  withMargin.setMargin(6);
  TLabel larger;
  QFont font = larger.font();
  font.setPointSize(font.pointSize() * 2);
  larger.setFont(font);

  for (TLabel* label : {&plain, &withMargin, &larger}) label->setText("45.2%");

  const QLabel& plainShown = plain;
  EXPECT_EQ(plain.width(), plainShown.sizeHint().width());
  EXPECT_EQ(withMargin.width(), plain.width() + 12);
  EXPECT_GT(larger.width(), plain.width());
  EXPECT_EQ(larger.width(), TextSize(larger).width());
}

// In a paced window the text changes at once, and the label on screen (its painted text and its
// size) follows before the next frame is painted: a burst ends shown as its last text.
TEST(TLabel, InAPacedWindowEndsABurstShowingAndFittingItsLastText) {
  QWidget window;
  window.resize(300, 60);
  new PaintPacer(&window);
  auto* label = new TLabel(&window);
  label->SetRightAligned(true);
  label->setGeometry(100, 10, 40, 20);
  const int right = label->geometry().right();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  for (int percent = 0; percent <= 100; ++percent) {
    const QString text = QString::number(percent) + "%";
    label->setText(text);
    ASSERT_EQ(label->text(), text);
    QCoreApplication::processEvents();
  }
  const QLabel& onScreen = *label;
  EXPECT_TRUE(QTest::qWaitFor([&] { return onScreen.text() == "100%"; }));
  EXPECT_EQ(label->width(), TextSize(*label).width());
  EXPECT_EQ(label->geometry().right(), right);
}

}  // namespace
