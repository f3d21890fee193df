#pragma once
// A check box that reports the release of a mouse button over it as an event of its own, apart
// from changes of its tick (which the keyboard can make too).

#include <QCheckBox>

class TCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  explicit TCheckBox(QWidget* parent = nullptr);

 signals:
  // Any button released over the box, after the box has toggled its tick.
  void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};
