// Repaints at the display's pace: a burst of changes is painted, and its last state is never
// left unpainted.

#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>
#include <QWidget>

#include "PaintPacer.h"

namespace {

class CountingWindow : public QWidget {
 public:
  int paints = 0;
  int shownValue = -1;  // the value the last paint drew
  int value = 0;

 protected:
  void paintEvent(QPaintEvent*) override {
    ++paints;
    shownValue = value;
    QPainter(this).fillRect(rect(), Qt::white);
  }
};

TEST(PaintPacer, BurstOfChangesEndsPaintedInItsLastState) {
  CountingWindow window;
  window.resize(100, 40);
  new PaintPacer(&window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  for (int i = 1; i <= 200; ++i) {
    window.value = i;
    window.update();
    QCoreApplication::processEvents();
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.shownValue == 200; }, 5000))
      << "the deferred repaint must come";
}

}  // namespace
