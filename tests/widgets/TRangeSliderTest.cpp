#include "widgets/TRangeSlider.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <climits>
#include <string>
#include <utility>
#include <vector>
#include "support/PrintRowName.h"

namespace {

using qf_test::PrintTo;

const QRgb kThumb = qRgb(0x00, 0x7D, 0xD7);
const QRgb kThumbHot = qRgb(0x00, 0x00, 0x00);
const QRgb kThumbDown = qRgb(0xD7, 0xD7, 0xD7);
const QRgb kCompleted = qRgb(0x00, 0x7A, 0xD9);
const QRgb kWhite = qRgb(0xFF, 0xFF, 0xFF);
// Thumbs stand on rows 8-23, the bar on rows 13-19 (outline on 13 and 19).
constexpr int kThumbRow = 15;
constexpr int kAboveBarRow = 9;
constexpr int kBarRow = 16;

// A slider as the window configures it: 360 x 30, range 0-100, thumbs at 0 and 100.
class RangeSliderTest : public ::testing::Test {
 protected:
  RangeSliderTest() {
    slider.resize(360, 30);
    slider.SetMax(100);
    slider.SetPositionRight(100);
    QObject::connect(&slider, &TRangeSlider::OnChange, [this] { ++changes; });
  }

  void SetRange(int max, int left, int right) {
    slider.SetMax(max);
    slider.SetPositionRight(right);
    slider.SetPositionLeft(left);
    changes = 0;
  }

  void Mouse(QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held,
             int y = kThumbRow) {
    const QPointF point(x, y);
    QMouseEvent event(type, point, slider.mapToGlobal(point), button, held, Qt::NoModifier);
    QApplication::sendEvent(&slider, &event);
  }
  void Press(int x, int y = kThumbRow) {
    Mouse(QEvent::MouseButtonPress, x, Qt::LeftButton, Qt::LeftButton, y);
  }
  void DragTo(int x) { Mouse(QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton); }
  void Hover(int x) { Mouse(QEvent::MouseMove, x, Qt::NoButton, Qt::NoButton); }
  void Release(int x) { Mouse(QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton); }
  void Click(int x, int y = kThumbRow) {
    Press(x, y);
    Release(x);
  }

  void Wheel(int angle) {
    const QPointF point(180, kThumbRow);
    QWheelEvent event(point, slider.mapToGlobal(point), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&slider, &event);
  }

  QImage Picture() { return slider.grab().toImage().convertToFormat(QImage::Format_RGB32); }

  TRangeSlider slider;
  int changes = 0;
};

TEST_F(RangeSliderTest, StartsAsCreatedAndTakesTheWindowSettingsInOrder) {
  TRangeSlider fresh;
  EXPECT_EQ(fresh.Min(), 0);
  EXPECT_EQ(fresh.Max(), 10);
  EXPECT_EQ(fresh.PositionLeft(), 0);
  EXPECT_EQ(fresh.PositionRight(), 8);
  EXPECT_EQ(fresh.PageSize(), 1);
  // Max first, so the right thumb is not clamped to the initial Max of 10.
  EXPECT_EQ(slider.Max(), 100);
  EXPECT_EQ(slider.PositionRight(), 100);
}

// ---- Setter rules -----------------------------------------------------------------------------

enum class Prop { Left, Right, Min, Max };
struct Write {
  Prop prop;
  int value;
};
struct SetterCase {
  std::string name;
  int left, right;  // start in the range 0-100
  std::vector<Write> writes;
  int min, max, expectLeft, expectRight, expectChanges;
};

class RangeSliderSetters : public RangeSliderTest,
                           public ::testing::WithParamInterface<SetterCase> {};

TEST_P(RangeSliderSetters, FollowOrderAndClampRules) {
  const SetterCase& c = GetParam();
  SetRange(100, c.left, c.right);
  for (const Write& w : c.writes) {
    switch (w.prop) {
      case Prop::Left:
        slider.SetPositionLeft(w.value);
        break;
      case Prop::Right:
        slider.SetPositionRight(w.value);
        break;
      case Prop::Min:
        slider.SetMin(w.value);
        break;
      case Prop::Max:
        slider.SetMax(w.value);
        break;
    }
  }
  EXPECT_EQ(slider.Min(), c.min);
  EXPECT_EQ(slider.Max(), c.max);
  EXPECT_EQ(slider.PositionLeft(), c.expectLeft);
  EXPECT_EQ(slider.PositionRight(), c.expectRight);
  EXPECT_EQ(changes, c.expectChanges);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, RangeSliderSetters, ::testing::Values(
    SetterCase{"LeftAboveRightIsIgnored", 20, 50, {{Prop::Left, 60}}, 0, 100, 20, 50, 0},
    SetterCase{"LeftEqualToRightIsAccepted", 20, 50, {{Prop::Left, 50}}, 0, 100, 50, 50, 1},
    SetterCase{"LeftBelowMinIsClamped", 20, 50, {{Prop::Left, -5}}, 0, 100, 0, 50, 1},
    SetterCase{"SameLeftChangesNothing", 20, 50, {{Prop::Left, 20}}, 0, 100, 20, 50, 0},
    SetterCase{"RightBelowLeftIsIgnored", 20, 50, {{Prop::Right, 10}}, 0, 100, 20, 50, 0},
    SetterCase{"RightAboveMaxIsClamped", 20, 50, {{Prop::Right, 500}}, 0, 100, 20, 100, 1},
    SetterCase{"RightEqualToLeftIsAccepted", 20, 50, {{Prop::Right, 20}}, 0, 100, 20, 20, 1},
    SetterCase{"MaxAboveLeftLeavesBoth", 20, 80, {{Prop::Max, 50}}, 0, 50, 20, 80, 0},
    SetterCase{"MaxBelowLeftPullsLeftOnly", 20, 80, {{Prop::Max, 10}}, 0, 10, 10, 80, 1},
    SetterCase{"MinAboveLeftPushesLeft", 20, 50, {{Prop::Min, 30}}, 30, 100, 30, 50, 1},
    SetterCase{"MinAboveRightLeavesLeftBelowMin", 20, 50, {{Prop::Min, 60}}, 60, 100, 20, 50, 0},
    SetterCase{"LeftClampsToMaxWhileRightLiesAbove", 20, 80,
               {{Prop::Max, 50}, {Prop::Left, 70}}, 0, 50, 50, 80, 1},
    SetterCase{"PairWrittenOnceEndsHalfway", 10, 20,
               {{Prop::Left, 40}, {Prop::Right, 60}}, 0, 100, 10, 60, 1},
    SetterCase{"PairWrittenTwiceArrives", 10, 20,
               {{Prop::Left, 40}, {Prop::Right, 60}, {Prop::Left, 40}, {Prop::Right, 60}},
               0, 100, 40, 60, 2}),
    qf_test::RowName());
// clang-format on

// ---- Layout -----------------------------------------------------------------------------------

struct ThumbCase {
  std::string name;
  int max, left, right;
  bool checkRight;
  int expectX;  // the thumb's left edge
};

class RangeSliderThumbLayout : public RangeSliderTest,
                               public ::testing::WithParamInterface<ThumbCase> {};

// The left thumb rounds to nearest (ties to even); the right one truncates.
TEST_P(RangeSliderThumbLayout, PlacesTheThumbAtItsRoundedOffset) {
  const ThumbCase& c = GetParam();
  SetRange(c.max, c.left, c.right);
  const QImage image = Picture();
  const int x = c.expectX;
  EXPECT_EQ(image.pixel(x, kAboveBarRow), kThumb);
  EXPECT_EQ(image.pixel(x + 7, kAboveBarRow), kThumb);
  EXPECT_NE(image.pixel(x - 1, kAboveBarRow), kThumb);
  EXPECT_NE(image.pixel(x + 8, kAboveBarRow), kThumb);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, RangeSliderThumbLayout, ::testing::Values(
    ThumbCase{"LeftRoundsUp", 3, 2, 3, false, 3 + 231},         // 230.67
    ThumbCase{"RightTruncates", 3, 0, 2, true, 3 + 230},        // 230.67
    ThumbCase{"LeftTieGoesDownToEven", 4, 1, 4, false, 3 + 86}, // 86.5
    ThumbCase{"LeftTieGoesUpToEven", 4, 3, 4, false, 3 + 260},  // 259.5
    ThumbCase{"RightTieTruncates", 4, 0, 3, true, 3 + 259},     // 259.5
    ThumbCase{"RightAtMaxEndsTrack", 100, 0, 100, true, 3 + 346},
    ThumbCase{"LeftAtMinStartsTrack", 100, 0, 100, false, 3}),
    qf_test::RowName());
// clang-format on

TEST_F(RangeSliderTest, ThumbsStandAcrossTheBarAndTheSegmentJoinsTheirCentres) {
  SetRange(100, 25, 75);  // left thumb at 89 (86.5 -> 86), right thumb at 262 (259.5 -> 259)
  const QImage image = Picture();
  EXPECT_EQ(image.pixel(90, 8), kThumb);
  EXPECT_EQ(image.pixel(90, 23), kThumb);
  EXPECT_NE(image.pixel(90, 7), kThumb);
  EXPECT_NE(image.pixel(90, 24), kThumb);
  EXPECT_EQ(image.pixel(97, kBarRow), kCompleted);
  EXPECT_EQ(image.pixel(261, kBarRow), kCompleted);
  EXPECT_EQ(image.pixel(88, kBarRow), kWhite);
  EXPECT_EQ(image.pixel(270, kBarRow), kWhite);
  // The outline sits on the bar's edge pixels in the button-face colour.
  EXPECT_EQ(image.pixel(150, 13), slider.palette().color(QPalette::Button).rgb());
}

TEST_F(RangeSliderTest, DrawsNoSegmentWhenBothThumbsStandAtAnEnd) {
  for (int both : {0, 100}) {
    SetRange(100, both, both);
    const QImage image = Picture();
    for (int x = 4; x < 356; ++x) EXPECT_NE(image.pixel(x, kBarRow), kCompleted) << both << x;
  }
}

// ---- Pointer ----------------------------------------------------------------------------------

struct PointerCase {
  int x, expect;
};
void PrintTo(const PointerCase& c, std::ostream* out) { *out << "x=" << c.x; }

class RangeSliderPointer : public RangeSliderTest,
                           public ::testing::WithParamInterface<PointerCase> {};

// The thumb's centre follows the pointer: value = round((x - 7) / 346 * 4095).
TEST_P(RangeSliderPointer, MapsThePointerOntoTheRange) {
  SetRange(4095, 0, 4095);
  Press(352);  // right thumb at 349-356
  DragTo(GetParam().x);
  EXPECT_EQ(slider.PositionRight(), GetParam().expect);
}

INSTANTIATE_TEST_SUITE_P(Cases, RangeSliderPointer,
                         ::testing::Values(PointerCase{7, 0}, PointerCase{353, 4095},
                                           PointerCase{180, 2048},  // 2047.5 to even
                                           PointerCase{8, 12}, PointerCase{-50, 0},
                                           PointerCase{500, 4095}));

TEST_F(RangeSliderTest, MouseMoveEventSeesThePositionsFromBeforeTheMove) {
  SetRange(100, 20, 50);  // left thumb at 72-79
  std::vector<int> seenByMove;
  std::vector<int> seenByUp;
  QObject::connect(&slider, &TRangeSlider::OnMouseMove, [&](Qt::KeyboardModifiers, int, int) {
    seenByMove.push_back(slider.PositionLeft());
  });
  QObject::connect(&slider, &TRangeSlider::OnMouseUp,
                   [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
                     seenByUp.push_back(slider.PositionLeft());
                   });
  Press(75);
  EXPECT_EQ(slider.PositionLeft(), 20);  // a press does not move the thumb
  DragTo(7 + 104);                       // value 30
  DragTo(7 + 138);                       // value 40
  Release(7 + 138);
  EXPECT_EQ(seenByMove, (std::vector<int>{20, 30}));
  EXPECT_EQ(seenByUp, (std::vector<int>{40}));
  EXPECT_EQ(changes, 2);

  Hover(7 + 173);  // the drag ended with the release
  EXPECT_EQ(slider.PositionLeft(), 40);
}

TEST_F(RangeSliderTest, LeftThumbDraggedPastTheRightStaysAtItsLastAcceptedValue) {
  SetRange(100, 20, 50);
  Press(75);
  DragTo(7 + 138);  // 40
  DragTo(7 + 242);  // 70: beyond the right thumb, dropped
  EXPECT_EQ(slider.PositionLeft(), 40);
  Release(7 + 242);
}

TEST_F(RangeSliderTest, PressOnTheBareTrackMovesNothing) {
  SetRange(100, 20, 50);
  Click(300, 20);
  EXPECT_EQ(slider.PositionLeft(), 20);
  EXPECT_EQ(slider.PositionRight(), 50);
  EXPECT_EQ(changes, 0);
}

TEST_F(RangeSliderTest, CoincidingThumbsGiveThePressToTheLeftOneUntilTheRightWasPressed) {
  SetRange(100, 40, 60);  // left thumb at 141, right thumb at 210
  Press(180);             // common spot after both stand at 50: 176-183
  Release(180);
  slider.SetPositionRight(50);
  slider.SetPositionLeft(50);

  // Never pressed on top: the left thumb is tested first. Moving it up is dropped, down moves it.
  Press(180);
  DragTo(7 + 207);  // 60
  EXPECT_EQ(slider.PositionRight(), 50);
  DragTo(7 + 138);  // 40
  EXPECT_EQ(slider.PositionLeft(), 40);
  Release(7 + 138);

  // Press the right thumb once and bring it back onto the left one.
  slider.SetPositionLeft(30);  // left thumb at 107
  Press(180);
  DragTo(7 + 104);  // right to 30: now both at 30
  Release(7 + 104);
  ASSERT_EQ(slider.PositionRight(), 30);

  Press(7 + 104);
  DragTo(7 + 173);  // 50: only the right thumb may go up
  EXPECT_EQ(slider.PositionLeft(), 30);
  EXPECT_EQ(slider.PositionRight(), 50);
  Release(7 + 173);
}

TEST_F(RangeSliderTest, ThumbLooksFollowHoverPressAndRelease) {
  SetRange(100, 20, 50);  // left thumb at 72-79
  Hover(75);
  EXPECT_EQ(Picture().pixel(75, kAboveBarRow), kThumbHot);
  Press(75);
  EXPECT_EQ(Picture().pixel(75, kAboveBarRow), kThumbDown);
  Release(75);
  EXPECT_EQ(Picture().pixel(75, kAboveBarRow), kThumbHot);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&slider, &leave);
  EXPECT_EQ(Picture().pixel(75, kAboveBarRow), kThumb);
}

TEST_F(RangeSliderTest, ReleaseOfAnyButtonRaisesMouseUp) {
  std::vector<Qt::MouseButton> released;
  QObject::connect(
      &slider, &TRangeSlider::OnMouseUp,
      [&](Qt::MouseButton button, Qt::KeyboardModifiers, int, int) { released.push_back(button); });
  Mouse(QEvent::MouseButtonPress, 300, Qt::RightButton, Qt::RightButton);
  Mouse(QEvent::MouseButtonRelease, 300, Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(released, std::vector<Qt::MouseButton>{Qt::RightButton});
}

TEST_F(RangeSliderTest, ExtremeRangeMapsAndPaintsSafely) {
  slider.SetMin(INT_MIN);
  slider.SetMax(INT_MAX);
  slider.SetPositionRight(INT_MAX);
  slider.SetPositionLeft(INT_MIN);
  Picture();
  Press(352);
  DragTo(180);
  EXPECT_EQ(slider.PositionRight(), 0);  // the middle of the range, 0.5 going to even
  Release(180);
}

// ---- Keys and wheel ---------------------------------------------------------------------------

struct KeyCase {
  std::string name;
  int left, right, pageSize;
  Qt::Key key;
  bool shift;
  int expectLeft, expectRight;
};

class RangeSliderKeys : public RangeSliderTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(RangeSliderKeys, MoveTheLeftThumbOrWithShiftTheRight) {
  const KeyCase& c = GetParam();
  SetRange(100, c.left, c.right);
  slider.SetPageSize(c.pageSize);
  QTest::keyClick(&slider, c.key, c.shift ? Qt::ShiftModifier : Qt::NoModifier);
  EXPECT_EQ(slider.PositionLeft(), c.expectLeft);
  EXPECT_EQ(slider.PositionRight(), c.expectRight);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, RangeSliderKeys, ::testing::Values(
    KeyCase{"Left", 20, 50, 10, Qt::Key_Left, false, 19, 50},
    KeyCase{"Down", 20, 50, 10, Qt::Key_Down, false, 19, 50},
    KeyCase{"Right", 20, 50, 10, Qt::Key_Right, false, 21, 50},
    KeyCase{"Up", 20, 50, 10, Qt::Key_Up, false, 21, 50},
    KeyCase{"PageUp", 20, 50, 10, Qt::Key_PageUp, false, 30, 50},
    KeyCase{"PageDown", 20, 50, 10, Qt::Key_PageDown, false, 10, 50},
    KeyCase{"PageDownClampsToMin", 5, 50, 10, Qt::Key_PageDown, false, 0, 50},
    KeyCase{"PageUpPastRightIsIgnored", 45, 50, 10, Qt::Key_PageUp, false, 45, 50},
    KeyCase{"Home", 20, 50, 10, Qt::Key_Home, false, 0, 50},
    KeyCase{"EndStopsAtRight", 20, 50, 10, Qt::Key_End, false, 50, 50},
    KeyCase{"LeftAtMin", 0, 50, 10, Qt::Key_Left, false, 0, 50},
    KeyCase{"RightOntoRightThumb", 50, 50, 10, Qt::Key_Right, false, 50, 50},
    KeyCase{"ShiftLeft", 20, 50, 10, Qt::Key_Left, true, 20, 49},
    KeyCase{"ShiftUp", 20, 50, 10, Qt::Key_Up, true, 20, 51},
    KeyCase{"ShiftPageUp", 20, 50, 10, Qt::Key_PageUp, true, 20, 60},
    KeyCase{"ShiftPageUpClampsToMax", 20, 95, 10, Qt::Key_PageUp, true, 20, 100},
    KeyCase{"ShiftPageDownPastLeftIsIgnored", 45, 50, 10, Qt::Key_PageDown, true, 45, 50},
    KeyCase{"ShiftHomeStopsAtLeft", 20, 50, 10, Qt::Key_Home, true, 20, 20},
    KeyCase{"ShiftEnd", 20, 50, 10, Qt::Key_End, true, 20, 100},
    KeyCase{"ShiftRightAtMax", 20, 100, 10, Qt::Key_Right, true, 20, 100},
    KeyCase{"HugePageUpDoesNotWrap", 20, 50, INT_MAX, Qt::Key_PageUp, false, 20, 50},
    KeyCase{"HugePageDownDoesNotWrap", 20, 50, INT_MIN, Qt::Key_PageDown, true, 20, 100}),
    qf_test::RowName());
// clang-format on

struct WheelCase {
  std::string name;
  int left, right;
  std::vector<int> pressesAt;  // x of presses before the wheel turns
  int angle;                   // negative: toward the user
  int expectLeft, expectRight;
};

class RangeSliderWheel : public RangeSliderTest, public ::testing::WithParamInterface<WheelCase> {};

TEST_P(RangeSliderWheel, MovesTheActiveThumbByOne) {
  const WheelCase& c = GetParam();
  SetRange(100, c.left, c.right);
  for (int x : c.pressesAt) Click(x, 20);
  Wheel(c.angle);
  EXPECT_EQ(slider.PositionLeft(), c.expectLeft);
  EXPECT_EQ(slider.PositionRight(), c.expectRight);
}

// With 20/50 the left thumb stands at 72-79 and the right one at 176-183; x = 300 is bare track.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, RangeSliderWheel, ::testing::Values(
    WheelCase{"LeftTowardUser", 20, 50, {}, -120, 21, 50},
    WheelCase{"LeftAway", 20, 50, {}, 120, 19, 50},
    WheelCase{"LeftStopsAtRight", 50, 50, {}, -120, 50, 50},
    WheelCase{"LeftStopsAtMin", 0, 50, {}, 120, 0, 50},
    WheelCase{"RightAfterItsPress", 20, 50, {179}, -120, 20, 51},
    WheelCase{"RightAwayAfterItsPress", 20, 50, {179}, 120, 20, 49},
    WheelCase{"LeftPressKeepsRightActive", 20, 50, {179, 75}, -120, 20, 51},
    WheelCase{"TrackPressMakesLeftActive", 20, 50, {179, 300}, -120, 21, 50},
    WheelCase{"RightStopsAtMax", 20, 100, {352}, -120, 20, 100}),
    qf_test::RowName());
// clang-format on

}  // namespace

// ---- Focus mark -------------------------------------------------------------------------------

// A window with a button before the slider, so that Tab can bring the focus to the slider.
class RangeSliderFocus : public ::testing::Test {
 protected:
  RangeSliderFocus() {
    window.resize(360, 70);
    before->setGeometry(0, 0, 80, 25);
    slider->setGeometry(0, 40, 360, 30);
    slider->SetMax(100);
    slider->SetPositionRight(100);
  }

  void SetUp() override {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    before->setFocus(Qt::OtherFocusReason);
  }

  QImage Picture() { return slider->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  // Pixels that differ between two pictures of the slider.
  static std::vector<QPoint> Differences(const QImage& a, const QImage& b) {
    std::vector<QPoint> points;
    for (int y = 0; y < a.height(); ++y) {
      for (int x = 0; x < a.width(); ++x) {
        if (a.pixel(x, y) != b.pixel(x, y)) points.emplace_back(x, y);
      }
    }
    return points;
  }

  QWidget window;
  QPushButton* before = new QPushButton("before", &window);
  TRangeSlider* slider = new TRangeSlider(&window);
};

// As with the toolkit's own controls, a window shows focus marks once the keyboard has moved the
// focus in it; before that a click gives the focus without a mark.
TEST_F(RangeSliderFocus, KeyboardFocusFramesTheTrackAndMouseFocusDoesNot) {
  const QImage unfocused = Picture();
  QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(180, 25));
  ASSERT_TRUE(slider->hasFocus());
  EXPECT_TRUE(Differences(unfocused, Picture()).empty()) << "a click left a focus mark";

  before->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(before, Qt::Key_Tab);
  ASSERT_TRUE(slider->hasFocus());
  const QImage focused = Picture();
  // The mark's frame stands around the thumbs (rows 8-23) and the track, and leaves the bar
  // and the thumbs (at 0 and 100) as they were.
  EXPECT_NE(focused.pixel(180, 6), unfocused.pixel(180, 6)) << "no focus mark after Tab";
  EXPECT_NE(focused.pixel(1, 16), unfocused.pixel(1, 16)) << "no focus mark after Tab";
  const QRect bar(3, 13, 354, 7), leftThumb(3, 8, 8, 16), rightThumb(349, 8, 8, 16);
  for (const QPoint& p : Differences(unfocused, focused)) {
    EXPECT_FALSE(bar.contains(p) || leftThumb.contains(p) || rightThumb.contains(p))
        << p.x() << "," << p.y();
  }

  before->setFocus(Qt::OtherFocusReason);
  EXPECT_TRUE(Differences(unfocused, Picture()).empty()) << "the mark stayed without the focus";
}

// ---- Accessibility ----------------------------------------------------------------------------

TEST_F(RangeSliderTest, ScreenReadersReadTheRangeAndEachThumb) {
  slider.setAccessibleName("Brake range");
  slider.SetMin(1000);
  slider.SetMax(3000);
  slider.SetPositionRight(2960);  // 98 %
  slider.SetPositionLeft(1040);   // 2 %
  QAccessibleInterface* range = QAccessible::queryAccessibleInterface(&slider);
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->role(), QAccessible::Slider);
  EXPECT_EQ(range->text(QAccessible::Name), "Brake range");
  EXPECT_EQ(range->text(QAccessible::Value), "from 2 % to 98 %");
  ASSERT_EQ(range->childCount(), 2);

  struct Thumb {
    int index;
    int value;
  };
  for (const Thumb& t : {Thumb{0, 1040}, Thumb{1, 2960}}) {
    QAccessibleInterface* thumb = range->child(t.index);
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->parent(), range);
    EXPECT_EQ(range->indexOfChild(thumb), t.index);
    EXPECT_FALSE(thumb->text(QAccessible::Name).isEmpty());
    QAccessibleValueInterface* value = thumb->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), t.value);
    EXPECT_EQ(value->minimumValue().toInt(), 1000);
    EXPECT_EQ(value->maximumValue().toInt(), 3000);
  }

  // The values follow the slider, however it moved.
  Press(3 + 346 / 25);  // the left thumb stands at 1/25 of the usable length
  DragTo(180);          // 2000
  Release(180);
  EXPECT_EQ(range->text(QAccessible::Value), "from 50 % to 98 %");
  EXPECT_EQ(range->child(0)->valueInterface()->currentValue().toInt(), 2000);
}
