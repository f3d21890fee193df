#include "TMainForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include "TPanel.h"
#include "hid/THidDeviceController.h"
#include "widgets/TSideTabPageControl.h"

TMainForm::TMainForm(std::shared_ptr<hidplatform::HidPlatform> platform, QWidget* parent)
    : QWidget(parent) {
  BuildWindow();
  BuildMainPage();
  BuildDebugPage();
  BuildSplash();
  DescribeControlsForAccessibility();
  SetTabOrder();
  WireHandlers();
  CreateController(std::move(platform));
  AttachReadoutReactions();
  AttachSettingsReactions();
  qApp->installEventFilter(this);
  FormCreate();
}

TMainForm::~TMainForm() {
  // Let go of the pedal set while every handler still has its window, then end the controller
  // before the controls it reports to.
  if (!closeQueried_) FormCloseQuery();
  delete hidController;
  hidController = nullptr;
}

void TMainForm::ShowCentred() {
  // Centres the whole window, frame included. Most platforms tell the frame only once the window
  // is shown: place it by its client area first, then correct the place if the frame is known by
  // then (before anything is painted). A frame a window manager adds later stays as it lands.
  const auto centre = [this] {
    const QRect desktop = screen()->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(desktop.x() + (desktop.width() - outer.width()) / 2,
         desktop.y() + (desktop.height() - outer.height()) / 2);
  };
  centre();
  show();
  if (frameGeometry().size() != size()) centre();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The splash keeps covering the whole client area when the window grows.
  CoverWindowWithSplash();
}

void TMainForm::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // A window manager that frames the window moves its client area.
  CoverWindowWithSplash();
}

void TMainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  CoverWindowWithSplash();
}

void TMainForm::CoverWindowWithSplash() {
  if (SplashPanel == nullptr) return;
  const QSize outer = frameGeometry().size().expandedTo(size());
  SplashPanel->resize(SplashPanel->size().expandedTo(outer));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
    return QWidget::eventFilter(watched, event);
  }
  auto* receiver = static_cast<QWidget*>(watched);
  if (receiver->window() != this) return QWidget::eventFilter(watched, event);

  // An ignored key travels up the receiver's parents as the same event: preview it only once.
  const bool propagated =
      event == lastPreviewedKey_ && lastKeyReceiver_ &&
      receiver == static_cast<QWidget*>(lastKeyReceiver_.data())->parentWidget();
  lastPreviewedKey_ = event;
  lastKeyReceiver_ = receiver;
  if (propagated) return QWidget::eventFilter(watched, event);
  return PreviewKeyPress(static_cast<QKeyEvent*>(event), receiver);
}

namespace {

// Held Ctrl, Shift, Alt or Meta make a key another one; the keypad's own keys do not.
bool Unmodified(const QKeyEvent& key) {
  return (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsEnter(const QKeyEvent& key) {
  return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// The keys that click a focused button: Space and Select on their release, Enter at once.
bool IsClickKey(const QKeyEvent& key) {
  return IsEnter(key) || key.key() == Qt::Key_Space || key.key() == Qt::Key_Select;
}

}  // namespace

bool TMainForm::PreviewKeyPress(QKeyEvent* key, QWidget* receiver) {
  emit OnKeyDown(key->key());
  // The splash covers every control: nothing under it may start what the pedal set never hears.
  const bool covered = !SplashPanel->isHidden();
  if (covered && (key->key() == Qt::Key_Escape ||
                  (IsClickKey(*key) && qobject_cast<QAbstractButton*>(receiver) != nullptr))) {
    return true;
  }
  auto* button = qobject_cast<QPushButton*>(receiver);
  if (button != nullptr && IsEnter(*key) && Unmodified(*key)) {
    if (!key->isAutoRepeat() && button->isEnabled()) button->click();
    return true;
  }
  if (key->key() != Qt::Key_Escape || !Unmodified(*key)) return false;
  return ClickCancelButton();
}

bool TMainForm::ClickCancelButton() {
  if (!TrCalibrateBtn->isEnabled() || MyPageControl->ActivePage() != TabSheet1) return false;
  TrCalibrateBtn->click();
  return true;
}
