// A custom-drawn bar showing a floating-point value between two bounds, or, in the marquee
// style, a soft band of light sweeping across it to show activity without a value.
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QPainter;

enum TProgressBarStyle { pbstNormal = 0, pbstMarquee = 1 };

class TSmoothProgressBar : public QWidget {
  Q_OBJECT

 public:
  explicit TSmoothProgressBar(QWidget* parent = nullptr);

  double Minimum() const { return FMinimum; }
  void SetMinimum(double value);
  double Maximum() const { return FMaximum; }
  void SetMaximum(double value);
  double Position() const { return FPosition; }
  void SetPosition(double value);
  double Step() const { return FStep; }
  void SetStep(double value);
  TProgressBarStyle Style() const { return FStyle; }
  void SetStyle(TProgressBarStyle value);

  // The band moves 8 pixels per MarqueeInterval milliseconds, drawn at the display's frame rate.
  int MarqueeInterval() const { return FMarqueeInterval; }
  void SetMarqueeInterval(int milliseconds);
  int MarqueeSize() const { return FMarqueeSize; }
  void SetMarqueeSize(int pixels);
  QColor MarqueeColor() const { return FMarqueeColor; }
  void SetMarqueeColor(const QColor& color);

  // Horizontal centre of the marquee band, in pixels from the left edge.
  double GlowPos() const { return FGlowPos; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // One MarqueeInterval's step of the marquee band.
  void MarqueeTick();
  // Tells assistive tools of the position: once per painted frame of a shown bar, at once for a
  // bar that is not painted.
  virtual void TellAssistiveToolsOfMove();

 private:
  void RequestRepaint();
  void AnnounceMove();
  void AnnounceMoveIfDue();
  void UpdateMarqueeTimer();
  void MarqueeFrame();
  QRect MarqueeBandRect() const;
  void AskForNextMarqueeFrame();
  int MillisecondsUntilBandReachesBar() const;
  void AdvanceBand(double pixels);
  double ProgressWidth(double value, double innerWidth) const;
  void PaintProgress(QPainter& painter, double progress, double innerHeight) const;
  void PaintMarquee(QPainter& painter, double innerHeight) const;

  double FMinimum = 0.0;
  double FMaximum = 100.0;
  double FPosition = 0.0;
  double FStep = 10.0;
  TProgressBarStyle FStyle = pbstNormal;
  double FGlowPos = -40.0;
  int FMarqueeInterval = 10;
  int FMarqueeSize = 60;
  QColor FMarqueeColor{0x00, 0xFF, 0x00};
  QTimer FMarqueeTimer;          // the next frame of the band
  QElapsedTimer FMarqueeClock;   // since the band last moved
  bool FRepaintPending = false;   // a repaint was asked for and has not been painted yet
  bool FMoveUnannounced = false;  // moved since assistive tools last heard of its position
  bool FHiddenAfterShown = false;  // hidden (itself or with its parent) since it was last shown
};
