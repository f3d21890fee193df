// What a screen reader finds in the window: walking the accessibility tree from the window down,
// every control a user acts on has a name, the sliders and bars carry their values, and the
// names say which pedal or which field a control belongs to.

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <functional>
#include <set>
#include <string>

#include "MainFormFixture.h"
#include "TCheckBox.h"
#include "TPanel.h"
#include "widgets/TNumericEdit.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSideTabPageControl.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

// Every interface below `root`, depth first.
void Walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit) {
  visit(root);
  for (int i = 0; i < root->childCount(); ++i) {
    if (QAccessibleInterface* child = root->child(i)) Walk(child, visit);
  }
}

// A control the user can reach with the keyboard or reads a value from. The edit and the list
// of a combo box are parts of the box.
bool IsInteractive(const QWidget* widget) {
  for (const QWidget* w = widget->parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (qobject_cast<const QComboBox*>(w)) return false;
  }
  return (widget->focusPolicy() & Qt::TabFocus) || qobject_cast<const TSmoothProgressBar*>(widget);
}

using MainFormAccessibility = MainFormFixture;

TEST_F(MainFormAccessibility, EveryControlHasANameAndSlidersAndBarsTheirValues) {
  ShowForm();
  form_->SplashPanel->hide();
  form_->BrRangeSlider->SetPositionLeft(2);
  form_->BrRangeSlider->SetPositionRight(98);
  form_->BrProgressBar->SetPosition(45);

  std::set<const QObject*> visited;
  int sliders = 0, bars = 0;
  // The advanced strips are folded and the Debug page is behind the Main page: walk each view.
  const auto walkAll = [&] {
    Walk(QAccessible::queryAccessibleInterface(form_.get()), [&](QAccessibleInterface* node) {
      auto* widget = qobject_cast<QWidget*>(node->object());
      if (widget == nullptr || !IsInteractive(widget)) return;
      if (!visited.insert(widget).second) return;
      const std::string who = widget->objectName().toStdString() + " (" +
                              widget->metaObject()->className() + " in " +
                              widget->parentWidget()->objectName().toStdString() + ")";
      EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << who << " has no name";
      if (qobject_cast<TRangeSlider*>(widget)) {
        ++sliders;
        EXPECT_TRUE(node->text(QAccessible::Value).contains(
            QRegularExpression("^from -?\\d+ % to -?\\d+ %$")))
            << who << ": " << node->text(QAccessible::Value).toStdString();
        ASSERT_EQ(node->childCount(), 2) << who;
        for (int thumb = 0; thumb < 2; ++thumb)
          EXPECT_NE(node->child(thumb)->valueInterface(), nullptr) << who << " thumb " << thumb;
      }
      if (qobject_cast<TSmoothProgressBar*>(widget) && widget != form_->SplashProgressBar) {
        ++bars;
        ASSERT_NE(node->valueInterface(), nullptr) << who;
        EXPECT_TRUE(node->text(QAccessible::Value).endsWith(" %")) << who;
      }
    });
  };
  walkAll();
  for (PedalName pedal : kAllPedals) form_->ControlsOf(pedal).advancedPanel->show();
  for (PedalName pedal : kAllPedals) form_->ControlsOf(pedal).advancedButton->show();
  walkAll();
  form_->MyPageControl->SetActivePage(form_->TabSheet3);
  walkAll();
  EXPECT_EQ(sliders, 3);
  EXPECT_EQ(bars, 3);

  // Nothing a user can reach was left out of the tree.
  for (const QWidget* widget : form_->findChildren<QWidget*>()) {
    if (IsInteractive(widget) && widget->isVisibleTo(form_.get()) &&
        widget != form_->SplashProgressBar) {
      EXPECT_TRUE(visited.count(widget)) << widget->objectName().toStdString() << " not in tree";
    }
  }

  // What a screen reader announces.
  const auto said = [](QWidget* widget) {
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
    return (node->text(QAccessible::Name) + ", " + node->text(QAccessible::Value)).toStdString();
  };
  EXPECT_EQ(said(form_->BrRangeSlider), "Brake range, from 2 % to 98 %");
  EXPECT_EQ(said(form_->BrProgressBar), "Brake travel, 45 %");
  const auto name = [](QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).toStdString();
  };
  EXPECT_EQ(name(form_->USBMinEdit), "USB Range Limits, Min Value");
  EXPECT_EQ(name(form_->SliderPosRightEdit), "Slider Positions, Right");
  EXPECT_EQ(name(form_->BrFSValueBox), "First filter stage");
  EXPECT_EQ(name(form_->ClConnectCheckBox), "Connection");
  EXPECT_EQ(name(form_->TrCalibrateBtn), "Calibrate");
  EXPECT_FALSE(QAccessible::queryAccessibleInterface(form_->TrCalibrateBtn)
                   ->text(QAccessible::Description)
                   .isEmpty());
}

}  // namespace
