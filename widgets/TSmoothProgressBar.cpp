#include "widgets/TSmoothProgressBar.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "widgets/DevicePixels.h"
#include "widgets/TSmoothProgressBarAccessible.h"

namespace {

const QColor kBackgroundColor(0xFF, 0xFF, 0xFF);
const QColor kProgressColor(0x28, 0xA0, 0x3C);
constexpr double kMarqueeStep = 8.0;
constexpr int kMarqueeFrameMilliseconds = 16;
// A band that was held (hidden, covered, minimised) carries on from where it was instead of
// jumping ahead by the time it could not be seen: a frame moves it by at most one frame more than
// the wait it was planned after.
constexpr qint64 kLongestMarqueeOverrunMilliseconds = kMarqueeFrameMilliseconds;
constexpr int kMarqueePeakAlpha = 120;
// However slow the band, a sleeping bar looks again now and then (a resize may bring it nearer).
constexpr double kLongestMarqueeSleepMilliseconds = 1000.0;

}  // namespace

TSmoothProgressBar::TSmoothProgressBar(QWidget* parent) : QWidget(parent) {
  // The bar paints every pixel itself, so Qt need not erase first (no flicker).
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::TabFocus);
  resize(sizeHint());
  // The pacer of the window lets a paint through once 16 ms have passed since the last one: a
  // precise timer started at a paint never comes early and so costs no deferred repaint.
  FMarqueeTimer.setSingleShot(true);
  FMarqueeTimer.setTimerType(Qt::PreciseTimer);
  connect(&FMarqueeTimer, &QTimer::timeout, this, &TSmoothProgressBar::MarqueeFrame);
  InstallSmoothProgressBarAccessibility();
}

QSize TSmoothProgressBar::sizeHint() const { return {150, 17}; }

// A NaN would poison every reading taken from the bar, so such writes are dropped.
void TSmoothProgressBar::SetPosition(double value) {
  if (std::isnan(value)) return;
  if (FMinimum > value) value = FMinimum;
  if (value >= FMaximum) value = FMaximum;
  const bool moved = value != FPosition;
  FPosition = value;
  RequestRepaint();
  if (moved) AnnounceMove();
}

// Assistive tools hear of a shown bar's new position with the frame that paints it, once for
// however many reports moved it meanwhile: at a thousand reports a second, one event per report
// would flood them. A bar that is not painted tells them at once.
void TSmoothProgressBar::AnnounceMove() {
  if (FRepaintPending) {
    FMoveUnannounced = true;
    return;
  }
  TellAssistiveToolsOfMove();
}

void TSmoothProgressBar::AnnounceMoveIfDue() {
  if (!FMoveUnannounced) return;
  FMoveUnannounced = false;
  TellAssistiveToolsOfMove();
}

void TSmoothProgressBar::TellAssistiveToolsOfMove() { NotifySmoothProgressBarMoved(this); }

// Three bars take a new position on every report, thousands of times a second at high report
// rates: one pending repaint covers every write until it is painted.
void TSmoothProgressBar::RequestRepaint() {
  if (FRepaintPending) return;
  FRepaintPending = isVisible() && updatesEnabled();
  update();
}

void TSmoothProgressBar::SetMinimum(double value) {
  if (std::isnan(value) || value == FMinimum) return;
  FMinimum = value;
  if (value > FPosition) {
    FPosition = value;
    AnnounceMove();
  }
  update();
}

void TSmoothProgressBar::SetMaximum(double value) {
  if (std::isnan(value) || value == FMaximum) return;
  FMaximum = value;
  if (value < FPosition) {
    FPosition = value;
    AnnounceMove();
  }
  update();
}

void TSmoothProgressBar::SetStep(double value) { FStep = value; }

void TSmoothProgressBar::SetStyle(TProgressBarStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  UpdateMarqueeTimer();
  update();
  NotifySmoothProgressBarStyleChanged(this);
}

void TSmoothProgressBar::UpdateMarqueeTimer() {
  // A band nobody can see need not wake the event loop: a bar that has been hidden (itself or
  // with its parent, such as the splash once the pedals report) holds its band until it is
  // shown again. A bar that was never shown moves as before.
  const bool run = FStyle == pbstMarquee && !FHiddenAfterShown;
  if (!run) {
    FMarqueeTimer.stop();
    return;
  }
  FMarqueeClock.start();
  if (isVisible()) {
    update();  // its paint asks for the next frame
  } else {
    FMarqueeTimer.start(kMarqueeFrameMilliseconds);
  }
}

// A shown bar asks for its next frame when a frame of it is painted, so a bar that is covered
// (by the splash, by another window) or minimised, and therefore not painted, wakes nothing; its
// first paint once it can be seen again sets it moving. A bar never shown is never painted and
// keeps its own pace.
void TSmoothProgressBar::AskForNextMarqueeFrame() {
  if (FStyle == pbstMarquee && !FHiddenAfterShown && !FMarqueeTimer.isActive()) {
    FMarqueeTimer.start(kMarqueeFrameMilliseconds);
  }
}

void TSmoothProgressBar::MarqueeFrame() {
  const QRect bandBefore = MarqueeBandRect();
  const qint64 longest = FMarqueeTimer.interval() + kLongestMarqueeOverrunMilliseconds;
  const qint64 elapsed = std::min(FMarqueeClock.restart(), longest);
  AdvanceBand(kMarqueeStep * static_cast<double>(elapsed) / FMarqueeInterval);
  if (!isVisible()) {
    FMarqueeTimer.start(kMarqueeFrameMilliseconds);
    return;
  }
  // Only the band changes between frames: where it was and where it is now. While it travels
  // outside the bar there is nothing to paint, and the bar sleeps until the band reaches it.
  // Each is cut to the bar first: where the band wraps round, from past the right end to before
  // the left, their union would span the whole bar.
  const QRect changed = (bandBefore & rect()) | (MarqueeBandRect() & rect());
  if (changed.isEmpty()) {
    FMarqueeTimer.start(MillisecondsUntilBandReachesBar());
    return;
  }
  // Painted from this wake-up instead of a posted request that would turn the event loop once
  // more per frame. A paced window still decides whether this frame is painted now.
  repaint(changed);
}

// The band with its ramps' blended edge pixels, and a margin for a fractional scale.
QRect TSmoothProgressBar::MarqueeBandRect() const {
  const double size = FMarqueeSize;
  return QRectF(FGlowPos - size - 3, 0, 2 * size + 6, height()).toAlignedRect();
}

// From past the right end the band travels on to where it starts again left of the bar; from
// there it comes in once its right edge passes the left one. The first whole millisecond after
// that distance, so that the frame it wakes for has moved the band past it.
int TSmoothProgressBar::MillisecondsUntilBandReachesBar() const {
  const double size = FMarqueeSize;
  const double comesInAfter = -size - 3;
  const double startsAgainAfter = width() + 2.0 * size;
  const double distance =
      FGlowPos <= comesInAfter ? comesInAfter - FGlowPos : startsAgainAfter - FGlowPos;
  const double pixelsPerMillisecond = kMarqueeStep / FMarqueeInterval;
  const double wait = std::max(0.0, distance) / pixelsPerMillisecond;
  return static_cast<int>(std::min(wait, kLongestMarqueeSleepMilliseconds)) + 1;
}

void TSmoothProgressBar::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FHiddenAfterShown = false;
  UpdateMarqueeTimer();
}

void TSmoothProgressBar::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  FRepaintPending = false;
  AnnounceMoveIfDue();
  FHiddenAfterShown = true;
  UpdateMarqueeTimer();
}

void TSmoothProgressBar::SetMarqueeInterval(int milliseconds) {
  // Zero would move the band infinitely fast.
  FMarqueeInterval = std::max(1, milliseconds);
}

void TSmoothProgressBar::SetMarqueeSize(int pixels) {
  FMarqueeSize = std::max(0, pixels);
  update();
}

void TSmoothProgressBar::SetMarqueeColor(const QColor& color) {
  FMarqueeColor = color;
  update();
}

void TSmoothProgressBar::MarqueeTick() {
  AdvanceBand(kMarqueeStep);
  update();
}

void TSmoothProgressBar::AdvanceBand(double pixels) {
  FGlowPos += pixels;
  if (FGlowPos > width() + 2.0 * FMarqueeSize) FGlowPos = -2.0 * FMarqueeSize;
}

double TSmoothProgressBar::ProgressWidth(double value, double innerWidth) const {
  const double range = FMaximum - FMinimum;
  if (!(range > 0)) return 0;
  const double fraction = (value - FMinimum) / range;
  if (std::isnan(fraction)) return 0;
  return std::min(fraction * innerWidth, innerWidth);
}

void TSmoothProgressBar::paintEvent(QPaintEvent*) {
  FRepaintPending = false;
  AnnounceMoveIfDue();
  QPainter painter(this);
  const double innerWidth = width() - 1;
  const double innerHeight = height() - 1;
  // Every device pixel the bar touches: Qt paints nothing beneath an opaque widget.
  painter.fillRect(GrowToDevicePixels(painter, QRectF(-1, -1, width() + 1, height() + 1)),
                   kBackgroundColor);

  const double value = FStyle == pbstMarquee ? 0.0 : FPosition;
  if (value > FMinimum) {
    const double progress = ProgressWidth(value, innerWidth);
    if (progress > 0) PaintProgress(painter, progress, innerHeight);
  }
  painter.setRenderHint(QPainter::Antialiasing);
  if (FStyle == pbstMarquee) PaintMarquee(painter, innerHeight);
  AskForNextMarqueeFrame();
}

// Whole device pixels up to the last one the fill covers entirely, unblended, so that no edge
// shows a seam at a fractional scale; the moving end alone is blended, so the fill stays smooth.
void TSmoothProgressBar::PaintProgress(QPainter& painter, double progress,
                                       double innerHeight) const {
  QRectF body = SnapToDevicePixels(painter, QRectF(0, 0, progress, innerHeight));
  body.setRight(std::max(body.left(), DevicePixelEdgeLeftOf(painter, progress)));
  painter.fillRect(body, kProgressColor);
  if (progress > body.right()) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(body.right(), body.top(), progress - body.right(), body.height()),
                     kProgressColor);
    painter.setRenderHint(QPainter::Antialiasing, false);
  }
}

void TSmoothProgressBar::PaintMarquee(QPainter& painter, double innerHeight) const {
  QColor clear = FMarqueeColor;
  clear.setAlpha(0);
  QColor peak = FMarqueeColor;
  peak.setAlpha(kMarqueePeakAlpha);
  const double size = FMarqueeSize;
  const QRectF rows = SnapToDevicePixels(painter, QRectF(0, 0, 1, innerHeight));

  // Each ramp spans its rectangle grown by one pixel on either side.
  QLinearGradient rising(FGlowPos - size - 1, 0, FGlowPos + 1, 0);
  rising.setColorAt(0, clear);
  rising.setColorAt(1, peak);
  painter.fillRect(QRectF(FGlowPos - size, rows.top(), size, rows.height()), rising);

  QLinearGradient falling(FGlowPos - 1, 0, FGlowPos + size + 1, 0);
  falling.setColorAt(0, peak);
  falling.setColorAt(1, clear);
  painter.fillRect(QRectF(FGlowPos, rows.top(), size, rows.height()), falling);
}
