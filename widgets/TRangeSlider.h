// A horizontal slider with two thumbs on one track, holding a whole-number range and two
// positions inside it. The track between the thumbs is highlighted.
#pragma once

#include <QRect>
#include <QRegion>
#include <QWidget>

class QPainter;

enum TActiveThumb { atLeft, atRight };
enum TThumbOverlap { tolNone, tolLeftUp, tolRightUp };

class TRangeSlider : public QWidget {
  Q_OBJECT

 public:
  explicit TRangeSlider(QWidget* parent = nullptr);

  int Min() const { return FMin; }
  void SetMin(int value);
  int Max() const { return FMax; }
  void SetMax(int value);
  int PositionLeft() const { return FPosition; }
  void SetPositionLeft(int value);
  int PositionRight() const { return FPositionRight; }
  void SetPositionRight(int value);
  int PageSize() const { return FPageSize; }
  void SetPageSize(int value);

  // Where the left or the right thumb stands, in the slider's coordinates.
  QRect ThumbRect(bool right) const { return right ? RightThumbRect() : LeftThumbRect(); }

  QSize sizeHint() const override;

 signals:
  // After every accepted change of either position, whatever caused it.
  void OnChange();
  // Before the press is evaluated.
  void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  // Before the move is applied to a dragged thumb: handlers see the positions of the last move.
  void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
  // After the drag has ended; a release changes no position.
  void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QRect TrackRect() const;
  QRect BarRect() const;
  int UsableLength() const;
  QRect LeftThumbRect() const;
  QRect RightThumbRect() const;
  QRegion LeftHitArea() const;
  QRegion RightHitArea() const;
  int ValueAt(int x) const;

  void DragTo(int x);
  void UpdateHover(const QPoint& point);
  bool MoveByKey(int key, bool right);
  void MoveByWheel(bool towardUser);
  void SetLooks(bool leftHot, bool rightHot, bool leftDown, bool rightDown);

  QRect FocusMarkRect() const;
  void PaintBar(QPainter& painter) const;
  void PaintFocusMark(QPainter& painter) const;
  void PaintThumb(QPainter& painter, const QRect& rect, bool hot, bool down) const;

  int FMin = 0;
  int FMax = 10;
  int FPosition = 0;
  int FPositionRight = 8;
  int FPageSize = 1;
  bool FSliding = false;
  bool FSlidingRight = false;
  bool FThumbHot = false;
  bool FThumbRightHot = false;
  bool FThumbDown = false;
  bool FThumbRightDown = false;
  TActiveThumb FActiveThumb = atLeft;
  TThumbOverlap FOverlapThumb = tolNone;
  bool equalAtLastPointerEvent = false;
};
