// A label sizes itself to its text; a right-aligned one keeps its right edge.
#include <gtest/gtest.h>
#include <QFont>
#include <QWidget>

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

}  // namespace
