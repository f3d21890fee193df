#include "widgets/TRangeSlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "widgets/DevicePixels.h"
#include "widgets/TRangeSliderAccessible.h"

namespace {

// Frame width (not drawn, but it counts) plus the inner margin.
constexpr int kInset = 1 + 2;
// Distance of the bar from the inner area's top, and its thickness.
constexpr int kBarOffset = 10;
constexpr int kBarSize = 7;
constexpr int kThumbWidth = 8;
constexpr int kThumbHeight = 16;
// Pixel coordinates are kept well inside int so that QRect arithmetic cannot overflow when a
// position lies far outside the range.
constexpr double kPixelLimit = 1 << 24;

const QColor kBarColor(0xFF, 0xFF, 0xFF);
const QColor kCompletedColor(0x00, 0x7A, 0xD9);
const QColor kThumbColor(0x00, 0x7D, 0xD7);
const QColor kThumbHotColor(0x00, 0x00, 0x00);
const QColor kThumbDownColor(0xD7, 0xD7, 0xD7);

int Saturate(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

int ToPixel(double value) { return static_cast<int>(std::clamp(value, -kPixelLimit, kPixelLimit)); }

}  // namespace

TRangeSlider::TRangeSlider(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  resize(sizeHint());
  InstallRangeSliderAccessibility();
}

QSize TRangeSlider::sizeHint() const { return {360, 30}; }

void TRangeSlider::SetPositionLeft(int value) {
  if (value == FPosition || value > FPositionRight) return;
  if (value < FMin) {
    value = FMin;
  } else if (value > FMax) {
    value = FMax;
  }
  FPosition = value;
  update();
  NotifyRangeSliderThumbMoved(this, false);
  emit OnChange();
}

void TRangeSlider::SetPositionRight(int value) {
  if (value == FPositionRight || value < FPosition) return;
  if (value < FMin) {
    value = FMin;
  } else if (value > FMax) {
    value = FMax;
  }
  FPositionRight = value;
  update();
  NotifyRangeSliderThumbMoved(this, true);
  emit OnChange();
}

void TRangeSlider::SetMin(int value) {
  if (value == FMin) return;
  FMin = value;
  if (value > FPosition) SetPositionLeft(value);
  update();
}

void TRangeSlider::SetMax(int value) {
  if (value == FMax) return;
  FMax = value;
  if (value < FPosition) SetPositionLeft(value);
  update();
}

void TRangeSlider::SetPageSize(int value) { FPageSize = value; }

QRect TRangeSlider::TrackRect() const {
  return rect().adjusted(kInset, kInset + kBarOffset, -kInset, -kInset);
}

QRect TRangeSlider::BarRect() const {
  const QRect track = TrackRect();
  return {track.left(), track.top(), track.width(), kBarSize};
}

int TRangeSlider::UsableLength() const { return TrackRect().width() - kThumbWidth; }

QRect TRangeSlider::LeftThumbRect() const {
  const QRect bar = BarRect();
  int left = bar.left();
  if (FMax != FMin) {
    const double offset = static_cast<double>(UsableLength()) *
                          (static_cast<double>(FPosition) - FMin) /
                          (static_cast<double>(FMax) - FMin);
    left += ToPixel(std::nearbyint(offset));
  }
  return {left, bar.top() + bar.height() / 2 - kThumbHeight / 2, kThumbWidth, kThumbHeight};
}

QRect TRangeSlider::RightThumbRect() const {
  const QRect bar = BarRect();
  int left = bar.left();
  if (FMax != FMin) {
    // Truncating integer division, unlike the left thumb: at equal positions the two thumbs may
    // stand a pixel apart. 64 bits keep wide ranges from overflowing.
    const std::int64_t offset =
        (std::int64_t{FPositionRight} - FMin) * UsableLength() / (std::int64_t{FMax} - FMin);
    left += ToPixel(static_cast<double>(offset));
  }
  return {left, bar.top() + bar.height() / 2 - kThumbHeight / 2, kThumbWidth, kThumbHeight};
}

QRegion TRangeSlider::LeftHitArea() const {
  QRegion area(LeftThumbRect());
  if (FPosition == FPositionRight && FOverlapThumb == tolRightUp) area -= RightThumbRect();
  return area;
}

QRegion TRangeSlider::RightHitArea() const {
  QRegion area(RightThumbRect());
  if (FPosition == FPositionRight && FOverlapThumb == tolLeftUp) area -= LeftThumbRect();
  return area;
}

int TRangeSlider::ValueAt(int x) const {
  const int length = UsableLength();
  double value = FMin;
  if (length > 0) {
    const double along = static_cast<double>(x - TrackRect().left() - kThumbWidth / 2) / length;
    value = std::nearbyint(along * (static_cast<double>(FMax) - FMin) + FMin);
  }
  if (value < FMin) {
    value = FMin;
  } else if (value > FMax) {
    value = FMax;
  }
  return static_cast<int>(value);
}

void TRangeSlider::mousePressEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  emit OnMouseDown(event->button(), event->modifiers(), point.x(), point.y());
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  equalAtLastPointerEvent = FPosition == FPositionRight;
  if (event->button() != Qt::LeftButton) return;

  if (LeftHitArea().contains(point)) {
    FThumbDown = FSliding = true;
    FOverlapThumb = tolLeftUp;
    update();
  } else if (RightHitArea().contains(point)) {
    FThumbRightDown = FSlidingRight = true;
    FActiveThumb = atRight;
    FOverlapThumb = tolRightUp;
    update();
  } else if (TrackRect().contains(point)) {
    FActiveThumb = atLeft;
  }
}

void TRangeSlider::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  emit OnMouseMove(event->modifiers(), point.x(), point.y());
  const bool wasEqual = equalAtLastPointerEvent;
  if (FSliding || FSlidingRight) {
    DragTo(point.x());
  } else {
    UpdateHover(point);
  }
  equalAtLastPointerEvent = FPosition == FPositionRight;
  // Coinciding thumbs swap which one is on top, so the whole control is stale.
  if (wasEqual) update();
}

void TRangeSlider::DragTo(int x) {
  const int value = ValueAt(x);
  if (FSliding) {
    // A move past the other thumb is dropped, not stopped at it.
    if (value <= FPositionRight) SetPositionLeft(value);
  } else if (value >= FPosition) {
    SetPositionRight(value);
  }
}

void TRangeSlider::UpdateHover(const QPoint& point) {
  const bool leftHot = LeftHitArea().contains(point);
  const bool rightHot = !leftHot && RightHitArea().contains(point);
  SetLooks(leftHot, rightHot, FThumbDown, FThumbRightDown);
}

void TRangeSlider::SetLooks(bool leftHot, bool rightHot, bool leftDown, bool rightDown) {
  if (leftHot == FThumbHot && rightHot == FThumbRightHot && leftDown == FThumbDown &&
      rightDown == FThumbRightDown) {
    return;
  }
  FThumbHot = leftHot;
  FThumbRightHot = rightHot;
  FThumbDown = leftDown;
  FThumbRightDown = rightDown;
  update();
}

void TRangeSlider::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    FSliding = FSlidingRight = false;
    const bool leftHot = LeftHitArea().contains(point);
    const bool rightHot = !leftHot && RightHitArea().contains(point);
    SetLooks(leftHot, rightHot, false, false);
  }
  emit OnMouseUp(event->button(), event->modifiers(), point.x(), point.y());
}

void TRangeSlider::leaveEvent(QEvent* event) {
  if (!FSliding && !FSlidingRight) SetLooks(false, false, false, false);
  QWidget::leaveEvent(event);
}

void TRangeSlider::keyPressEvent(QKeyEvent* event) {
  const bool right = event->modifiers().testFlag(Qt::ShiftModifier);
  if (MoveByKey(event->key(), right)) {
    event->accept();
  } else {
    QWidget::keyPressEvent(event);
  }
}

bool TRangeSlider::MoveByKey(int key, bool right) {
  const int position = right ? FPositionRight : FPosition;
  auto write = [this, right](std::int64_t value) {
    right ? SetPositionRight(Saturate(value)) : SetPositionLeft(Saturate(value));
  };
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Down:
      if (position > FMin) write(std::int64_t{position} - 1);
      return true;
    case Qt::Key_Right:
    case Qt::Key_Up:
      if (position < FMax) write(std::int64_t{position} + 1);
      return true;
    case Qt::Key_PageUp:
      write(std::int64_t{position} + FPageSize);
      return true;
    case Qt::Key_PageDown:
      write(std::int64_t{position} - FPageSize);
      return true;
    case Qt::Key_Home:
      write(right ? std::max(FPosition, FMin) : FMin);
      return true;
    case Qt::Key_End:
      write(right ? FMax : std::min(FMax, FPositionRight));
      return true;
    default:
      return false;
  }
}

void TRangeSlider::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) {
    QWidget::wheelEvent(event);
    return;
  }
  // A negative delta is the wheel turned toward the user.
  MoveByWheel(delta < 0);
  event->accept();
}

void TRangeSlider::MoveByWheel(bool towardUser) {
  if (FActiveThumb == atLeft) {
    if (towardUser && FPosition < FPositionRight) SetPositionLeft(FPosition + 1);
    if (!towardUser && FPosition > FMin) SetPositionLeft(FPosition - 1);
  } else {
    if (towardUser && FPositionRight < FMax) SetPositionRight(FPositionRight + 1);
    if (!towardUser && FPositionRight > FPosition) SetPositionRight(FPositionRight - 1);
  }
}

void TRangeSlider::paintEvent(QPaintEvent*) {
  // No background: the control is transparent and the parent shows through.
  QPainter painter(this);
  // Under the track and thumbs: some styles fill the mark, which must not tint them.
  PaintFocusMark(painter);
  PaintBar(painter);
  const QRect left = LeftThumbRect();
  PaintThumb(painter, left, FThumbHot, FThumbDown);
  PaintThumb(painter, RightThumbRect(), FThumbRightHot, FThumbRightDown);
  if (FPosition == FPositionRight && FOverlapThumb == tolLeftUp) {
    PaintThumb(painter, left, FThumbHot, FThumbDown);
  }
}

QRect TRangeSlider::FocusMarkRect() const {
  const QRect track = TrackRect();
  const int thumbsTop = BarRect().top() + kBarSize / 2 - kThumbHeight / 2;
  const QRect thumbs(track.left(), thumbsTop, track.width(), kThumbHeight);
  return (track | thumbs).adjusted(-2, -2, 2, 2) & rect();
}

// As the toolkit's own sliders: a mark only while the focus came from the keyboard, so that a
// click does not leave a frame behind.
void TRangeSlider::PaintFocusMark(QPainter& painter) const {
  if (!hasFocus() || !window()->testAttribute(Qt::WA_KeyboardFocusChange)) return;
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.rect = FocusMarkRect();
  option.backgroundColor = palette().color(backgroundRole());
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void TRangeSlider::PaintBar(QPainter& painter) const {
  const QRect bar = BarRect();
  const QRectF outer = SnapToDevicePixels(painter, bar);
  painter.fillRect(outer, kBarColor);
  const bool bothAtMin = FPosition == FMin && FPositionRight == FMin;
  const bool bothAtMax = FPosition == FMax && FPositionRight == FMax;
  if (!bothAtMin && !bothAtMax) {
    const int from = LeftThumbRect().left() + kThumbWidth / 2;
    const int to = RightThumbRect().left() + kThumbWidth / 2;
    if (to > from) {
      painter.fillRect(SnapToDevicePixels(painter, QRect(from, bar.top(), to - from, bar.height())),
                       kCompletedColor);
    }
  }
  // The one-pixel outline as four fills that meet the snapped bar exactly: a pen would straddle
  // device pixels at fractional scales and leave a blended row beside it.
  const QRectF inner = SnapToDevicePixels(painter, bar.adjusted(1, 1, -1, -1));
  const QColor outline = palette().color(QPalette::Button);
  painter.fillRect(QRectF(outer.topLeft(), QPointF(outer.right(), inner.top())), outline);
  painter.fillRect(QRectF(QPointF(outer.left(), inner.bottom()), outer.bottomRight()), outline);
  painter.fillRect(QRectF(QPointF(outer.left(), inner.top()), inner.bottomLeft()), outline);
  painter.fillRect(QRectF(inner.topRight(), QPointF(outer.right(), inner.bottom())), outline);
}

void TRangeSlider::PaintThumb(QPainter& painter, const QRect& rect, bool hot, bool down) const {
  painter.fillRect(SnapToDevicePixels(painter, rect),
                   down ? kThumbDownColor : hot ? kThumbHotColor : kThumbColor);
}
