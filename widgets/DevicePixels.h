#pragma once
// Rectangles moved onto whole device pixels. At a fractional scale factor a widget's origin and
// its logical pixel edges fall inside device pixels; a fill whose edge lies there blends with
// what is beneath and shows as a light seam row or column. Snapped fills cover whole pixels.

#include <QRectF>

class QPainter;

// `rect` in the painter's logical coordinates with every edge on the nearest device-pixel edge.
// Two rectangles that share an edge still share it after snapping.
QRectF SnapToDevicePixels(const QPainter& painter, const QRectF& rect);

// `rect` grown to every device pixel it touches: for a background that must leave no pixel of a
// widget that paints itself opaquely unpainted.
QRectF GrowToDevicePixels(const QPainter& painter, const QRectF& rect);

// The device-pixel edge at or left of the logical `x`, in logical coordinates.
double DevicePixelEdgeLeftOf(const QPainter& painter, double x);
