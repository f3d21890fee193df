#include "widgets/TRangeSliderAccessible.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <array>

#include "widgets/RangePercent.h"
#include "widgets/TRangeSlider.h"

namespace {

// One thumb: a child element of the slider's interface, with no object of its own.
class ThumbAccessible : public QAccessibleInterface, public QAccessibleValueInterface {
 public:
  ThumbAccessible(TRangeSlider* slider, bool right) : slider_(slider), right_(right) {}

  bool isValid() const override { return !slider_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    return slider_ ? slider_->window()->windowHandle() : nullptr;
  }
  QAccessibleInterface* parent() const override {
    return slider_ ? QAccessible::queryAccessibleInterface(slider_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    if (!slider_) return {};
    switch (t) {
      case QAccessible::Name:
        return right_ ? QStringLiteral("Upper end") : QStringLiteral("Lower end");
      case QAccessible::Value:
        return RangePercentText(Position(), slider_->Min(), slider_->Max());
      default:
        return {};
    }
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!slider_) return {};
    const QRect thumb = slider_->ThumbRect(right_);
    return QRect(slider_->mapToGlobal(thumb.topLeft()), thumb.size());
  }
  QAccessible::Role role() const override { return QAccessible::Slider; }
  QAccessible::State state() const override {
    QAccessible::State state;
    if (!slider_) return state;
    state.invisible = !slider_->isVisible();
    state.disabled = !slider_->isEnabled();
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                               : nullptr;
  }

  QVariant currentValue() const override { return Position(); }
  // Read-only here: the slider's keys move the thumbs and also send the range to the pedal set,
  // which a value written from outside would not.
  void setCurrentValue(const QVariant&) override {}
  QVariant maximumValue() const override { return slider_ ? slider_->Max() : 0; }
  QVariant minimumValue() const override { return slider_ ? slider_->Min() : 0; }
  QVariant minimumStepSize() const override { return 1; }

 private:
  int Position() const {
    if (!slider_) return 0;
    return right_ ? slider_->PositionRight() : slider_->PositionLeft();
  }

  QPointer<TRangeSlider> slider_;
  bool right_;
};

class RangeSliderAccessible : public QAccessibleWidget {
 public:
  explicit RangeSliderAccessible(TRangeSlider* slider)
      : QAccessibleWidget(slider, QAccessible::Slider) {
    thumbs_[0] = QAccessible::registerAccessibleInterface(new ThumbAccessible(slider, false));
    thumbs_[1] = QAccessible::registerAccessibleInterface(new ThumbAccessible(slider, true));
  }
  ~RangeSliderAccessible() override {
    for (QAccessible::Id id : thumbs_) QAccessible::deleteAccessibleInterface(id);
  }

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Value) return QAccessibleWidget::text(t);
    const auto* s = static_cast<const TRangeSlider*>(widget());
    return QStringLiteral("from %1 to %2")
        .arg(RangePercentText(s->PositionLeft(), s->Min(), s->Max()),
             RangePercentText(s->PositionRight(), s->Min(), s->Max()));
  }

  int childCount() const override { return static_cast<int>(thumbs_.size()); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    return QAccessible::accessibleInterface(thumbs_[static_cast<std::size_t>(index)]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int i = 0; i < childCount(); ++i) {
      if (this->child(i) == child) return i;
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int i = childCount() - 1; i >= 0; --i) {
      QAccessibleInterface* thumb = child(i);
      if (thumb && thumb->rect().contains(x, y)) return thumb;
    }
    return nullptr;
  }

 private:
  std::array<QAccessible::Id, 2> thumbs_{};
};

QAccessibleInterface* CreateRangeSliderAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("TRangeSlider") || !object || !object->isWidgetType())
    return nullptr;
  return new RangeSliderAccessible(static_cast<TRangeSlider*>(object));
}

}  // namespace

void InstallRangeSliderAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&CreateRangeSliderAccessible);
    return true;
  }();
  (void)installed;
}

void NotifyRangeSliderThumbMoved(TRangeSlider* slider, bool rightThumb) {
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* self = QAccessible::queryAccessibleInterface(slider);
  QAccessibleInterface* thumb = self ? self->child(rightThumb ? 1 : 0) : nullptr;
  if (!thumb) return;
  QAccessibleValueChangeEvent event(thumb, rightThumb ? slider->PositionRight()
                                                      : slider->PositionLeft());
  QAccessible::updateAccessibility(&event);
}
