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
constexpr int kMarqueePeakAlpha = 120;

}  // namespace

TSmoothProgressBar::TSmoothProgressBar(QWidget* parent) : QWidget(parent) {
  // The bar paints every pixel itself, so Qt need not erase first (no flicker).
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::TabFocus);
  resize(sizeHint());
  FMarqueeTimer.setInterval(10);
  connect(&FMarqueeTimer, &QTimer::timeout, this, &TSmoothProgressBar::MarqueeTick);
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
  update();
  if (moved) NotifySmoothProgressBarMoved(this);
}

void TSmoothProgressBar::SetMinimum(double value) {
  if (std::isnan(value) || value == FMinimum) return;
  FMinimum = value;
  if (value > FPosition) {
    FPosition = value;
    NotifySmoothProgressBarMoved(this);
  }
  update();
}

void TSmoothProgressBar::SetMaximum(double value) {
  if (std::isnan(value) || value == FMaximum) return;
  FMaximum = value;
  if (value < FPosition) {
    FPosition = value;
    NotifySmoothProgressBarMoved(this);
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
  // A band nobody can see need not wake the event loop 100 times a second: a bar that has been
  // hidden (itself or with its parent, such as the splash once the pedals report) holds its
  // band until it is shown again. A bar that was never shown moves as before.
  const bool run = FStyle == pbstMarquee && !FHiddenAfterShown;
  if (run == FMarqueeTimer.isActive()) return;
  if (run) {
    FMarqueeTimer.start();
  } else {
    FMarqueeTimer.stop();
  }
}

void TSmoothProgressBar::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FHiddenAfterShown = false;
  UpdateMarqueeTimer();
}

void TSmoothProgressBar::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  FHiddenAfterShown = true;
  UpdateMarqueeTimer();
}

void TSmoothProgressBar::SetMarqueeInterval(int milliseconds) {
  // Zero would tick on every turn of the event loop.
  FMarqueeTimer.setInterval(std::max(1, milliseconds));
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
  FGlowPos += kMarqueeStep;
  if (FGlowPos > width() + 2.0 * FMarqueeSize) FGlowPos = -2.0 * FMarqueeSize;
  update();
}

double TSmoothProgressBar::ProgressWidth(double value, double innerWidth) const {
  const double range = FMaximum - FMinimum;
  if (!(range > 0)) return 0;
  const double fraction = (value - FMinimum) / range;
  if (std::isnan(fraction)) return 0;
  return std::min(fraction * innerWidth, innerWidth);
}

void TSmoothProgressBar::paintEvent(QPaintEvent*) {
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
