// The least a Qt window that draws at the display's pace costs on this machine, to set beside
// the waiting program (bench/app/idle_wakeups.sh measures either): a bare window whose one
// 354 x 5 child repaints a band-sized stretch of itself, white, as often as the marquee does (a
// precise single-shot timer of one frame, started when a frame is painted), sweeping across it.
// With --wake-only it paints nothing and only wakes once a frame: what the event loop costs.
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstring>

#include "app/TApplication.h"

namespace {

constexpr int kFrameMilliseconds = 16;
constexpr int kStretchWidth = 140;  // the band with its edges and one frame's travel
constexpr int kStepPixels = 13;     // 8 pixels per 10 ms, one frame's worth

class SweepingStretch : public QWidget {
 public:
  explicit SweepingStretch(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(135, 170, 354, 5);
    next_.setSingleShot(true);
    next_.setTimerType(Qt::PreciseTimer);
    connect(&next_, &QTimer::timeout, this, &SweepingStretch::Frame);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(rect(), Qt::white);
    next_.start(kFrameMilliseconds);
  }

 private:
  // The stretch always starts inside the child, so every frame paints and asks for the next.
  void Frame() {
    left_ = (left_ + kStepPixels) % width();
    repaint(QRect(left_, 0, kStretchWidth, height()) & rect());
  }

  QTimer next_;
  int left_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);  // the program's own, which sets up its painting
  const bool wakeOnly = argc > 1 && std::strcmp(argv[1], "--wake-only") == 0;
  QWidget window;
  window.resize(624, 420);
  QTimer wake;
  if (wakeOnly) {
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(kFrameMilliseconds);
  } else {
    new SweepingStretch(&window);
  }
  window.show();
  return TApplication::exec();
}
