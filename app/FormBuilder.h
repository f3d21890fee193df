#pragma once
// Creates the window's controls with the properties they share, so that the layout files state
// only what differs: where each control stands, what it says and how it looks.

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QStringList>

class QComboBox;
class QPushButton;
class QWidget;
class TCheckBox;
class TLabel;
class TPanel;
class TSmoothProgressBar;

// Where a control lives in TMainForm and the name it goes by.
template <class T>
struct Slot {
  T** control;
  const char* name;
};

class FormBuilder {
 public:
  template <class T>
  T* Make(Slot<T> slot, QWidget* parent, QRect at) {
    if (slot.control == nullptr) return nullptr;
    T* control = new T(parent);
    Place(control, slot.name, at);
    *slot.control = control;
    return control;
  }

  // A label sized to its text, its top-left corner at `at`.
  TLabel* Label(Slot<TLabel> slot, QWidget* parent, QPoint at, const QString& text,
                const QFont& font, int height = 15);
  // A right-aligned label sized to its text, its right edge at x = `right`.
  TLabel* RightAlignedLabel(Slot<TLabel> slot, QWidget* parent, QPoint rightTop,
                            const QString& text, const QFont& font, int height = 15);
  TPanel* Panel(Slot<TPanel> slot, QWidget* parent, QRect at);
  TSmoothProgressBar* Bar(Slot<TSmoothProgressBar> slot, QWidget* parent, QRect at);
  QPushButton* Button(Slot<QPushButton> slot, QWidget* parent, QRect at, const QString& text);
  // An editable drop-down list with completion of typed text; no item selected, text empty.
  QComboBox* ComboBox(Slot<QComboBox> slot, QWidget* parent, QRect at, const QStringList& items);
  TCheckBox* CheckBox(Slot<TCheckBox> slot, QWidget* parent, QRect at);

 private:
  static void Place(QWidget* control, const char* name, QRect at);
};
