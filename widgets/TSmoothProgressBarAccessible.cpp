#include "widgets/TSmoothProgressBarAccessible.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include "widgets/RangePercent.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

class SmoothProgressBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit SmoothProgressBarAccessible(TSmoothProgressBar* bar)
      : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Value) return QAccessibleWidget::text(t);
    if (Bar()->Style() == pbstMarquee) return {};
    return RangePercentText(Bar()->Position(), Bar()->Minimum(), Bar()->Maximum());
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    if (Bar()->Style() == pbstMarquee) state.busy = state.animated = true;
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QVariant currentValue() const override { return Bar()->Position(); }
  void setCurrentValue(const QVariant&) override {}  // the bar shows the pedal; nobody sets it
  QVariant maximumValue() const override { return Bar()->Maximum(); }
  QVariant minimumValue() const override { return Bar()->Minimum(); }
  QVariant minimumStepSize() const override { return 0; }

 private:
  const TSmoothProgressBar* Bar() const { return static_cast<const TSmoothProgressBar*>(widget()); }
};

QAccessibleInterface* CreateSmoothProgressBarAccessible(const QString& className,
                                                        QObject* object) {
  if (className != QLatin1String("TSmoothProgressBar") || !object || !object->isWidgetType())
    return nullptr;
  return new SmoothProgressBarAccessible(static_cast<TSmoothProgressBar*>(object));
}

}  // namespace

void InstallSmoothProgressBarAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&CreateSmoothProgressBarAccessible);
    return true;
  }();
  (void)installed;
}

void NotifySmoothProgressBarMoved(TSmoothProgressBar* bar) {
  if (!QAccessible::isActive()) return;
  QAccessibleValueChangeEvent event(bar, bar->Position());
  QAccessible::updateAccessibility(&event);
}

void NotifySmoothProgressBarStyleChanged(TSmoothProgressBar* bar) {
  if (!QAccessible::isActive()) return;
  QAccessible::State changed;
  changed.busy = changed.animated = true;
  QAccessibleStateChangeEvent event(bar, changed);
  QAccessible::updateAccessibility(&event);
}
