#include "ControlGestures.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>

GestureEndWatcher::GestureEndWatcher(QWidget* control, std::vector<int> keys,
                                     std::chrono::milliseconds wheelRest,
                                     std::function<void()> onEnd)
    : QObject(control), keys_(std::move(keys)), onEnd_(std::move(onEnd)) {
  wheelRest_.setSingleShot(true);
  wheelRest_.setInterval(wheelRest);
  connect(&wheelRest_, &QTimer::timeout, this, [this] { onEnd_(); });
  control->installEventFilter(this);
}

bool GestureEndWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool watchedKey = std::find(keys_.begin(), keys_.end(), key->key()) != keys_.end();
    // The control handles the key press after this filter: its release comes later, so the
    // move has happened by then.
    if (watchedKey && !key->isAutoRepeat()) onEnd_();
  } else if (event->type() == QEvent::Wheel) {
    wheelRest_.start();  // every notch restarts the wait
  }
  return QObject::eventFilter(watched, event);
}

KeyboardClickWatcher::KeyboardClickWatcher(QAbstractButton* button, std::function<void()> onClick)
    : QObject(button), button_(button), onClick_(std::move(onClick)) {
  button->installEventFilter(this);
}

bool KeyboardClickWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (watched != button_ || event->type() != QEvent::KeyRelease) {
    return QObject::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool clickKey = key->key() == Qt::Key_Space || key->key() == Qt::Key_Select;
  if (!clickKey || key->isAutoRepeat() || !button_->isDown()) {
    return QObject::eventFilter(watched, event);
  }
  // Taken here, so the button never toggles itself: the handler decides what it shows.
  button_->setDown(false);
  onClick_();
  return true;
}

void KeepChosenItemText(QComboBox* box, const QString& noItemText) {
  // Connected after the box's own handling of the finished edit, which chooses the item a
  // matching text names (and raises its activation) before this runs.
  QObject::connect(box->lineEdit(), &QLineEdit::editingFinished, box, [box, noItemText] {
    const int chosen = box->currentIndex();
    const QString shown = chosen >= 0 ? box->itemText(chosen) : noItemText;
    if (box->currentText() != shown) box->setEditText(shown);
  });
}
