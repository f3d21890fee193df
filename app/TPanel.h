#pragma once
// A container that paints its background (the palette colour of its background role), optionally
// with a raised one-pixel bevel.
// `Tag` is a free integer the window keeps per panel (the advanced strip's folded state).

#include <QWidget>

class TPanel : public QWidget {
  Q_OBJECT
 public:
  explicit TPanel(QWidget* parent = nullptr);

  bool RaisedBevel() const { return raisedBevel_; }
  void SetRaisedBevel(bool raised);

  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool raisedBevel_ = false;
  int tag_ = 0;
};
