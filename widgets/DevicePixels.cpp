#include "widgets/DevicePixels.h"

#include <QPainter>
#include <QTransform>
#include <cmath>

namespace {

// `rect` taken to device pixels, its edges moved by `left`/`top` and `right`/`bottom` rounding,
// and taken back.
template <class RoundStart, class RoundEnd>
QRectF OnDevicePixels(const QPainter& painter, const QRectF& rect, RoundStart start, RoundEnd end) {
  const QTransform toDevice = painter.deviceTransform();
  bool invertible = false;
  const QTransform toLogical = toDevice.inverted(&invertible);
  if (!invertible) return rect;
  const QRectF device = toDevice.mapRect(rect);
  const QRectF moved(QPointF(start(device.left()), start(device.top())),
                     QPointF(end(device.right()), end(device.bottom())));
  return toLogical.mapRect(moved);
}

}  // namespace

QRectF SnapToDevicePixels(const QPainter& painter, const QRectF& rect) {
  const auto nearest = [](double v) { return std::round(v); };
  return OnDevicePixels(painter, rect, nearest, nearest);
}

QRectF GrowToDevicePixels(const QPainter& painter, const QRectF& rect) {
  return OnDevicePixels(painter, rect, [](double v) { return std::floor(v); },
                        [](double v) { return std::ceil(v); });
}

double DevicePixelEdgeLeftOf(const QPainter& painter, double x) {
  const auto floor = [](double v) { return std::floor(v); };
  return OnDevicePixels(painter, QRectF(x, 0, 0, 0), floor, floor).left();
}
