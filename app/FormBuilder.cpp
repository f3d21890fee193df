#include "FormBuilder.h"

#include <QComboBox>
#include <QCompleter>
#include <QPalette>
#include <QPushButton>

#include "TCheckBox.h"
#include "TLabel.h"
#include "TPanel.h"
#include "WindowFonts.h"
#include "widgets/TSmoothProgressBar.h"

void FormBuilder::Place(QWidget* control, const char* name, QRect at) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(at);
}

TLabel* FormBuilder::Label(Slot<TLabel> slot, QWidget* parent, QPoint at, const QString& text,
                           const QFont& font, int height) {
  TLabel* label = Make(slot, parent, QRect(at, QSize(0, height)));
  if (label == nullptr) return nullptr;
  label->setFont(font);
  label->setText(text);
  return label;
}

TLabel* FormBuilder::RightAlignedLabel(Slot<TLabel> slot, QWidget* parent, QPoint rightTop,
                                       const QString& text, const QFont& font, int height) {
  TLabel* label = Make(slot, parent, QRect(rightTop.x() - 1, rightTop.y(), 1, height));
  if (label == nullptr) return nullptr;
  label->setFont(font);
  label->SetRightAligned(true);
  label->setText(text);
  return label;
}

TPanel* FormBuilder::Panel(Slot<TPanel> slot, QWidget* parent, QRect at) {
  TPanel* panel = Make(slot, parent, at);
  // The button face, taken from the palette at paint time so that it follows a change of theme.
  if (panel != nullptr) panel->setBackgroundRole(QPalette::Button);
  return panel;
}

TSmoothProgressBar* FormBuilder::Bar(Slot<TSmoothProgressBar> slot, QWidget* parent, QRect at) {
  TSmoothProgressBar* bar = Make(slot, parent, at);
  if (bar == nullptr) return nullptr;
  bar->SetMinimum(0);
  bar->SetMaximum(100);
  bar->SetPosition(0);
  bar->SetStep(10);
  bar->setFocusPolicy(Qt::NoFocus);
  return bar;
}

QPushButton* FormBuilder::Button(Slot<QPushButton> slot, QWidget* parent, QRect at,
                                 const QString& text) {
  QPushButton* button = Make(slot, parent, at);
  if (button == nullptr) return nullptr;
  button->setFont(WindowFont());
  button->setText(text);
  button->setAutoDefault(false);
  return button;
}

QComboBox* FormBuilder::ComboBox(Slot<QComboBox> slot, QWidget* parent, QRect at,
                                 const QStringList& items) {
  QComboBox* box = Make(slot, parent, at);
  if (box == nullptr) return nullptr;
  box->setFont(WindowFont());
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->addItems(items);
  box->completer()->setCompletionMode(QCompleter::InlineCompletion);
  box->setCurrentIndex(-1);
  box->setEditText(QString());
  return box;
}

TCheckBox* FormBuilder::CheckBox(Slot<TCheckBox> slot, QWidget* parent, QRect at) {
  TCheckBox* box = Make(slot, parent, at);
  if (box != nullptr) box->setFont(WindowFont());
  return box;
}
