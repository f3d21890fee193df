#pragma once
// Watchers that turn keyboard and mouse-wheel gestures on a control into one notification each.
// A change that costs the pedal set a flash write must go out once per gesture, not once per
// auto-repeated key press or per wheel notch.

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QWidget;

// Calls `onEnd` when one of `keys` is released (auto-repeats aside) over `control`, and when the
// mouse wheel has rested for `wheelRest` after turning over it.
class GestureEndWatcher : public QObject {
 public:
  GestureEndWatcher(QWidget* control, std::vector<int> keys, std::chrono::milliseconds wheelRest,
                    std::function<void()> onEnd);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<int> keys_;
  std::function<void()> onEnd_;
  QTimer wheelRest_;
};

// A button clicked from the keyboard (the release of Space while it is held down) calls
// `onClick` instead of clicking itself, so the keyboard does exactly what a mouse release over
// the button does.
class KeyboardClickWatcher : public QObject {
 public:
  KeyboardClickWatcher(QAbstractButton* button, std::function<void()> onClick);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAbstractButton* button_;
  std::function<void()> onClick_;
};

// An editable combo box whose typed text names none of its items shows the chosen item's text
// again when the editing ends (Enter, or the focus leaving it): the box never names one item
// while another is the one in use. `noItemText` is shown while no item is chosen.
void KeepChosenItemText(QComboBox* box, const QString& noItemText);
