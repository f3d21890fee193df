#include "widgets/TSmoothProgressBar.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>
#include "support/PrintRowName.h"

namespace {

using qf_test::PrintTo;

const QRgb kWhite = qRgb(0xFF, 0xFF, 0xFF);
const QRgb kGreen = qRgb(0x28, 0xA0, 0x3C);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool WaitFor(const std::function<bool()>& condition) {
  QDeadlineTimer deadline(5000);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Exposes the paint count, the marquee step and the positions assistive tools are told of.
class ProbedBar : public TSmoothProgressBar {
 public:
  using TSmoothProgressBar::MarqueeTick;
  int paints = 0;
  std::vector<double> announced;

 protected:
  void paintEvent(QPaintEvent* event) override {
    ++paints;
    TSmoothProgressBar::paintEvent(event);
  }
  void TellAssistiveToolsOfMove() override {
    announced.push_back(Position());
    TSmoothProgressBar::TellAssistiveToolsOfMove();
  }
};

// A bar as the window configures it: 354 x 5, bounds 0-100.
class SmoothProgressBarTest : public ::testing::Test {
 protected:
  SmoothProgressBarTest() { bar.resize(354, 5); }

  QImage Picture() { return bar.grab().toImage().convertToFormat(QImage::Format_RGB32); }

  ProbedBar bar;
};

TEST_F(SmoothProgressBarTest, StartsEmptyInTheNormalStyle) {
  TSmoothProgressBar fresh;
  EXPECT_EQ(fresh.size(), QSize(150, 17));
  EXPECT_EQ(fresh.Minimum(), 0.0);
  EXPECT_EQ(fresh.Maximum(), 100.0);
  EXPECT_EQ(fresh.Position(), 0.0);
  EXPECT_EQ(fresh.Step(), 10.0);
  EXPECT_EQ(fresh.Style(), pbstNormal);
  EXPECT_EQ(fresh.GlowPos(), -40.0);
  EXPECT_EQ(fresh.MarqueeInterval(), 10);
  EXPECT_EQ(fresh.MarqueeSize(), 60);
  EXPECT_EQ(fresh.MarqueeColor(), QColor(0x00, 0xFF, 0x00));
}

// ---- Setters ----------------------------------------------------------------------------------

enum class Prop { Minimum, Maximum, Position };
struct Write {
  Prop prop;
  double value;
};
struct SetterCase {
  std::string name;
  std::vector<Write> writes;  // from bounds 0-100, position 0
  double expectMinimum, expectMaximum, expectPosition;
};

class SmoothProgressBarSetters : public SmoothProgressBarTest,
                                 public ::testing::WithParamInterface<SetterCase> {};

TEST_P(SmoothProgressBarSetters, KeepThePositionInsideTheBounds) {
  const SetterCase& c = GetParam();
  for (const Write& w : c.writes) {
    switch (w.prop) {
      case Prop::Minimum:
        bar.SetMinimum(w.value);
        break;
      case Prop::Maximum:
        bar.SetMaximum(w.value);
        break;
      case Prop::Position:
        bar.SetPosition(w.value);
        break;
    }
  }
  EXPECT_EQ(bar.Minimum(), c.expectMinimum);
  EXPECT_EQ(bar.Maximum(), c.expectMaximum);
  EXPECT_EQ(bar.Position(), c.expectPosition);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SmoothProgressBarSetters, ::testing::Values(
    SetterCase{"PositionInside", {{Prop::Position, 42.5}}, 0, 100, 42.5},
    SetterCase{"PositionBelowMinimum", {{Prop::Minimum, 10}, {Prop::Position, 3}}, 10, 100, 10},
    SetterCase{"PositionAboveMaximum", {{Prop::Position, 250}}, 0, 100, 100},
    SetterCase{"PositionAtMaximum", {{Prop::Position, 100}}, 0, 100, 100},
    SetterCase{"InvertedBoundsGiveMaximumFromBelow",
               {{Prop::Minimum, 10}, {Prop::Maximum, 5}, {Prop::Position, 0}}, 10, 5, 5},
    SetterCase{"InvertedBoundsGiveMaximumFromBetween",
               {{Prop::Minimum, 10}, {Prop::Maximum, 5}, {Prop::Position, 7}}, 10, 5, 5},
    SetterCase{"InvertedBoundsGiveMaximumFromAbove",
               {{Prop::Minimum, 10}, {Prop::Maximum, 5}, {Prop::Position, 20}}, 10, 5, 5},
    SetterCase{"MinimumPushesPosition", {{Prop::Minimum, 1000}}, 1000, 100, 1000},
    SetterCase{"MaximumAboveLeavesPosition",
               {{Prop::Minimum, 1000}, {Prop::Maximum, 3000}}, 1000, 3000, 1000},
    SetterCase{"MaximumPullsPosition",
               {{Prop::Maximum, 1000}, {Prop::Position, 800}, {Prop::Maximum, 500}}, 0, 500, 500},
    SetterCase{"InfinitePositionIsClamped", {{Prop::Position, kInf}}, 0, 100, 100},
    SetterCase{"NaNPositionIsIgnored", {{Prop::Position, 30}, {Prop::Position, kNaN}}, 0, 100, 30},
    SetterCase{"NaNBoundsAreIgnored", {{Prop::Minimum, kNaN}, {Prop::Maximum, kNaN}}, 0, 100, 0}),
    qf_test::RowName());
// clang-format on

// ---- Repaints ---------------------------------------------------------------------------------

// The bar shares a window with a sentinel: once the sentinel has painted, any pending repaint of
// the bar has been served too, so "no paint" is observed without waiting on a clock.
class SmoothProgressBarRepaint : public ::testing::Test {
 protected:
  void SetUp() override {
    bar = new ProbedBar;
    sentinel = new ProbedBar;
    bar->setParent(&window);
    sentinel->setParent(&window);
    bar->setGeometry(0, 0, 354, 5);
    sentinel->setGeometry(0, 10, 10, 5);
    window.resize(360, 20);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(WaitFor([this] { return bar->paints > 0; }));
  }

  // Paints of the bar caused by `action`, once everything it asked for has been painted.
  int PaintsAfter(const std::function<void()>& action) {
    Settle();
    bar->paints = 0;
    action();
    Settle();
    return bar->paints;
  }

  void Settle() {
    sentinel->paints = 0;
    sentinel->update();
    EXPECT_TRUE(WaitFor([this] { return sentinel->paints > 0; }));
  }

  QWidget window;
  ProbedBar* bar = nullptr;
  ProbedBar* sentinel = nullptr;
};

TEST_F(SmoothProgressBarRepaint, RepaintsOnlyWhenAskedAndAtMostOncePerTurn) {
  EXPECT_EQ(PaintsAfter([this] { bar->SetMinimum(0); }), 0);
  EXPECT_EQ(PaintsAfter([this] { bar->SetMaximum(100); }), 0);
  EXPECT_EQ(PaintsAfter([this] { bar->SetStyle(pbstNormal); }), 0);
  EXPECT_EQ(PaintsAfter([this] { bar->SetPosition(0); }), 1);  // same value still repaints
  EXPECT_EQ(PaintsAfter([this] { bar->SetMinimum(5); }), 1);
  EXPECT_EQ(PaintsAfter([this] {
              for (int i = 0; i < 1000; ++i) bar->SetPosition(i % 100);
            }),
            1);
}

// A report rate's worth of moves between two frames reaches assistive tools as one change, the
// last; a bar that is not painted tells of each move at once.
TEST_F(SmoothProgressBarRepaint, AShownBarTellsAssistiveToolsOfItsLastPositionOncePerPaint) {
  bar->SetMaximum(1000);
  Settle();
  bar->announced.clear();
  EXPECT_EQ(PaintsAfter([this] {
              for (int i = 1; i <= 500; ++i) bar->SetPosition(i);
            }),
            1);
  EXPECT_EQ(bar->announced, std::vector<double>{500});

  bar->SetPosition(300);
  bar->SetPosition(400);
  bar->hide();  // a move not yet painted is still told
  EXPECT_EQ(bar->announced, (std::vector<double>{500, 400}));

  bar->announced.clear();
  bar->SetPosition(7);
  bar->SetPosition(7);  // not a move
  bar->SetMaximum(5);   // clamps the position: a move
  EXPECT_EQ(bar->announced, (std::vector<double>{7, 5}));
}

// ---- Painting ---------------------------------------------------------------------------------

struct FillCase {
  std::string name;
  double minimum, maximum, position;
  double fillEnd;  // right edge of the fill in pixels; a pixel it cuts is not checked
};

class SmoothProgressBarFill : public SmoothProgressBarTest,
                              public ::testing::WithParamInterface<FillCase> {};

// The fill spans (value - Minimum) / (Maximum - Minimum) of the inner width, Width - 1, and the
// inner height, Height - 1.
TEST_P(SmoothProgressBarFill, FillsItsShareOfTheInnerWidth) {
  const FillCase& c = GetParam();
  bar.SetMaximum(c.maximum);
  bar.SetMinimum(c.minimum);
  bar.SetPosition(c.position);
  const QImage image = Picture();
  for (int x = 0; x < bar.width(); ++x) {
    ASSERT_EQ(image.pixel(x, 4), kWhite) << "x = " << x;
    if (x < c.fillEnd && x + 1 > c.fillEnd) continue;
    const QRgb expected = x + 1 <= c.fillEnd ? kGreen : kWhite;
    ASSERT_EQ(image.pixel(x, 0), expected) << "x = " << x;
    ASSERT_EQ(image.pixel(x, 3), expected) << "x = " << x;
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SmoothProgressBarFill, ::testing::Values(
    FillCase{"Full", 0, 100, 100, 353},
    FillCase{"Empty", 0, 100, 0, 0},
    FillCase{"PositionAtRaisedMinimum", 1000, 3000, 1000, 0},
    FillCase{"RaisedMinimum", 1000, 1400, 1100, 88.25},
    FillCase{"InvertedBounds", 10, 5, 7, 0}),
    qf_test::RowName());
// clang-format on

TEST_F(SmoothProgressBarTest, MarqueeBandStepsEightPixelsAndWrapsAroundTheBar) {
  EXPECT_EQ(bar.GlowPos(), -40.0);
  bar.MarqueeTick();
  EXPECT_EQ(bar.GlowPos(), -32.0);
  double last = bar.GlowPos();
  while (bar.GlowPos() >= last) {
    last = bar.GlowPos();
    bar.MarqueeTick();
  }
  EXPECT_EQ(last, 472.0);  // the last centre not beyond 354 + 2 x 60
  EXPECT_EQ(bar.GlowPos(), -120.0);
}

TEST_F(SmoothProgressBarTest, MarqueeRunsOnItsTimerAndIsNotRestartedByRewritingTheStyle) {
  bar.SetStyle(pbstMarquee);
  ASSERT_TRUE(WaitFor([this] { return bar.GlowPos() > -40.0; }));
  bar.SetStyle(pbstNormal);
  const double stoppedAt = bar.GlowPos();
  bar.SetStyle(pbstMarquee);
  bar.SetStyle(pbstMarquee);
  EXPECT_EQ(bar.GlowPos(), stoppedAt);
  EXPECT_TRUE(WaitFor([&] { return bar.GlowPos() > stoppedAt; }));
}

// The splash's bar sits on a panel that hides once the pedals report and shows again when they
// are lost: its band waits while hidden, by itself or with its parent, and moves once shown.
TEST(SmoothProgressBarVisibility, MarqueeHoldsWhileHiddenAndMovesAgainWhenShown) {
  QWidget panel;
  panel.resize(400, 40);
  auto* inner = new TSmoothProgressBar(&panel);
  inner->SetStyle(pbstMarquee);
  panel.show();
  ASSERT_TRUE(WaitFor([&] { return inner->GlowPos() > -40.0; }));

  const std::vector<std::pair<std::string, std::function<void(bool)>>> hiders = {
      {"parent", [&](bool visible) { panel.setVisible(visible); }},
      {"bar", [&](bool visible) { inner->setVisible(visible); }},
  };
  for (const auto& [who, setVisible] : hiders) {
    SCOPED_TRACE(who);
    setVisible(false);
    const double heldAt = inner->GlowPos();
    QTest::qWait(60);  // six periods of the marquee timer
    EXPECT_EQ(inner->GlowPos(), heldAt);
    setVisible(true);
    EXPECT_TRUE(WaitFor([&] { return inner->GlowPos() != heldAt; }));
  }

  // Leaving the marquee style while hidden and coming back while hidden keeps the band held.
  panel.hide();
  inner->SetStyle(pbstNormal);
  inner->SetStyle(pbstMarquee);
  const double heldAt = inner->GlowPos();
  QTest::qWait(60);
  EXPECT_EQ(inner->GlowPos(), heldAt);
  panel.show();
  EXPECT_TRUE(WaitFor([&] { return inner->GlowPos() != heldAt; }));
}

// A bar under an opaque panel (the splash over the pedal rows) is not painted, so its band does
// not move and asks for no frames; it moves again once it can be seen.
TEST(SmoothProgressBarVisibility, MarqueeHoldsWhileCoveredAndMovesAgainWhenUncovered) {
  QWidget window;
  window.resize(400, 40);
  auto* inner = new TSmoothProgressBar(&window);
  inner->setGeometry(10, 10, 354, 5);
  auto* cover = new QWidget(&window);
  cover->setAutoFillBackground(true);
  cover->setGeometry(window.rect());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  inner->SetStyle(pbstMarquee);

  QTest::qWait(60);
  const double heldAt = inner->GlowPos();
  QTest::qWait(60);  // several frames
  EXPECT_EQ(inner->GlowPos(), heldAt);
  cover->hide();
  EXPECT_TRUE(WaitFor([&] { return inner->GlowPos() != heldAt; }));
}

// Counts the wake-ups of every QTimer in the program.
class TimerWakeUps : public QObject {
 public:
  TimerWakeUps() { QCoreApplication::instance()->installEventFilter(this); }
  ~TimerWakeUps() override { QCoreApplication::instance()->removeEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Timer && qobject_cast<QTimer*>(watched) != nullptr) ++count;
    return false;
  }
};

// While the band travels outside the bar there is nothing to draw: a shown bar sleeps through
// that stretch (a wake-up where it wraps round and one where it comes in) instead of waking for
// every frame of it.
TEST(SmoothProgressBarVisibility, AMarqueeWakesOnlyForTheFramesItPaints) {
  QWidget window;
  window.resize(400, 40);
  auto* inner = new ProbedBar;
  inner->setParent(&window);
  inner->setGeometry(10, 10, 354, 5);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  inner->SetStyle(pbstMarquee);
  ASSERT_TRUE(WaitFor([&] { return inner->paints > 0; }));

  // About 750 ms a pass of 594 pixels at 8 pixels per 10 ms; 140 ms of it outside the bar.
  TimerWakeUps wakeUps;
  const int paintsBefore = inner->paints;
  int passes = 1;
  double last = inner->GlowPos();
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 2000) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (inner->GlowPos() < last) ++passes;
    last = inner->GlowPos();
  }
  const int painted = inner->paints - paintsBefore;
  ASSERT_GE(passes, 3);
  EXPECT_GT(painted, 10 * passes);
  EXPECT_LE(wakeUps.count - painted, 3 * passes) << painted << " frames painted";
}

// A blended pixel can come out one step apart when painted through a smaller clip; a trail of
// the band is a difference of a hundred steps or more.
int LargestChannelDifference(const QImage& a, const QImage& b) {
  int largest = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
    }
  }
  return largest;
}

// How far what the screen shows of `bar` is from the bar painted whole; a shown area of another
// size is as far as can be.
int ScreenDifferenceFromWhole(const QWidget& window, TSmoothProgressBar& bar) {
  const QRect at = bar.geometry();
  const QImage shown = window.screen()
                           ->grabWindow(window.winId(), at.x(), at.y(), at.width(), at.height())
                           .toImage()
                           .convertToFormat(QImage::Format_RGB32);
  const QImage whole = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
  if (shown.size() != whole.size()) return std::numeric_limits<int>::max();
  return LargestChannelDifference(shown, whole);
}

// Each frame repaints only where the band was and is: what the screen shows must still be the
// whole bar as it stands, across a full pass of the band, in and out at both ends.
TEST(SmoothProgressBarVisibility, AMovingMarqueeLeavesNoTrailOnScreen) {
  QWidget window;
  window.resize(400, 40);
  auto* inner = new TSmoothProgressBar(&window);
  inner->setGeometry(10, 10, 354, 5);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  inner->SetStyle(pbstMarquee);

  int compared = 0;
  bool wrapped = false;
  double last = inner->GlowPos();
  QDeadlineTimer deadline(5000);
  while (!(wrapped && inner->GlowPos() > 200) && !deadline.hasExpired()) {
    QTest::qWait(23);
    wrapped = wrapped || inner->GlowPos() < last;
    last = inner->GlowPos();
    ASSERT_LE(ScreenDifferenceFromWhole(window, *inner), 2) << "band at " << inner->GlowPos();
    ++compared;
  }
  EXPECT_TRUE(wrapped);
  EXPECT_GT(compared, 20);
}

// The screen shows the whole bar as it stands after small steps, jumps to either end, reversals
// and rewrites of the same value, however many of them fall between two frames.
TEST(SmoothProgressBarVisibility, AMovingFillLeavesNoTrailOnScreen) {
  QWidget window;
  window.resize(400, 40);
  auto* inner = new TSmoothProgressBar(&window);
  inner->setGeometry(10, 10, 354, 5);
  inner->SetMinimum(1000);
  inner->SetMaximum(3000);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  struct Step {
    double position;
    int writesBeforeTheFrame;  // each a step of 7 further on, the last at `position`
  };
  const Step steps[] = {{1500, 1}, {1507, 1}, {1506.5, 1}, {3000, 1}, {2990, 1}, {1000, 1},
                        {999, 1},  {2200, 40}, {1300, 40}, {1300, 3}, {2999.9, 1}, {1000.1, 2}};
  for (const Step& step : steps) {
    for (int i = step.writesBeforeTheFrame - 1; i >= 0; --i) {
      inner->SetPosition(step.position + 7.0 * i);
    }
    QTest::qWait(40);  // past the frame that paints it
    EXPECT_LE(ScreenDifferenceFromWhole(window, *inner), 2) << "at " << step.position;
  }
}

TEST_F(SmoothProgressBarTest, MarqueeDrawsARampedBandInsteadOfThePosition) {
  bar.SetStyle(pbstMarquee);
  bar.SetPosition(50);
  EXPECT_EQ(bar.Position(), 50.0);  // still written and read, just not drawn
  while (bar.GlowPos() < 200.0) bar.MarqueeTick();
  const QImage image = Picture();

  EXPECT_EQ(image.pixel(10, 2), kWhite);   // no fill
  EXPECT_EQ(image.pixel(130, 2), kWhite);  // left of the band
  EXPECT_EQ(image.pixel(270, 2), kWhite);  // right of the band
  EXPECT_EQ(image.pixel(200, 4), kWhite);  // the band is as high as the inner rectangle
  const QColor peak = image.pixelColor(200, 2);
  EXPECT_EQ(peak.green(), 255);
  EXPECT_NEAR(peak.red(), 255 - 120, 6);  // white under #00FF00 at alpha ~120
  // Lighter toward both ends.
  EXPECT_GT(image.pixelColor(170, 2).red(), peak.red());
  EXPECT_GT(image.pixelColor(230, 2).red(), peak.red());
  EXPECT_GT(image.pixelColor(150, 2).red(), image.pixelColor(170, 2).red());

  bar.SetStyle(pbstNormal);
  EXPECT_EQ(Picture().pixel(10, 2), kGreen);  // the position shows again at once
}

}  // namespace

// ---- Accessibility ----------------------------------------------------------------------------

TEST_F(SmoothProgressBarTest, ScreenReadersReadThePositionAsAShareOfTheRange) {
  bar.setAccessibleName("Brake travel");
  bar.SetMinimum(1000);
  bar.SetMaximum(3000);
  bar.SetPosition(1900);
  QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&bar);
  ASSERT_NE(access, nullptr);
  EXPECT_EQ(access->role(), QAccessible::ProgressBar);
  EXPECT_EQ(access->text(QAccessible::Name), "Brake travel");
  EXPECT_EQ(access->text(QAccessible::Value), "45 %");
  QAccessibleValueInterface* value = access->valueInterface();
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->currentValue().toDouble(), 1900);
  EXPECT_EQ(value->minimumValue().toDouble(), 1000);
  EXPECT_EQ(value->maximumValue().toDouble(), 3000);

  bar.SetPosition(5000);  // clamped: the value is what the bar shows
  EXPECT_EQ(value->currentValue().toDouble(), 3000);
  EXPECT_EQ(access->text(QAccessible::Value), "100 %");

  // A marquee shows activity, not a value.
  bar.SetStyle(pbstMarquee);
  EXPECT_TRUE(access->state().busy);
  EXPECT_EQ(access->text(QAccessible::Value), "");
  bar.SetStyle(pbstNormal);
  EXPECT_FALSE(access->state().busy);
}
