// A window that shows each widget in the look the main window gives it, for screenshots and for
// checking the drawing by eye. Each widget has one section function; add yours and one call.
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "widgets/TNumericEdit.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSideTabPageControl.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

// A titled box whose rows pair a caption with a widget shown at its fixed size.
class Section : public QGroupBox {
 public:
  explicit Section(const QString& title) : QGroupBox(title), grid(new QGridLayout(this)) {
    grid->setColumnStretch(2, 1);
  }

  void AddRow(const QString& caption, QWidget* widget, QSize size) {
    const int row = grid->rowCount();
    widget->setFixedSize(size);
    grid->addWidget(new QLabel(caption), row, 0);
    grid->addWidget(widget, row, 1);
  }

 private:
  QGridLayout* grid;
};

TRangeSlider* RangeSlider(int min, int max, int left, int right) {
  auto* slider = new TRangeSlider;
  // Max before the positions, as the window does, so nothing is clamped to the initial range.
  slider->SetMax(max);
  slider->SetMin(min);
  slider->SetPositionRight(right);
  slider->SetPositionLeft(left);
  return slider;
}

QWidget* RangeSliderSection() {
  auto* section = new Section("TRangeSlider (360 x 30)");
  const QSize size(360, 30);
  section->AddRow("0-100, at 0 / 100 (start)", RangeSlider(0, 100, 0, 100), size);
  section->AddRow("0-100, at 20 / 80", RangeSlider(0, 100, 20, 80), size);
  section->AddRow("0-4095, at 1000 / 3000", RangeSlider(0, 4095, 1000, 3000), size);
  section->AddRow("0-100, both at 50", RangeSlider(0, 100, 50, 50), size);
  return section;
}

TSmoothProgressBar* ProgressBar(double position, TProgressBarStyle style) {
  auto* bar = new TSmoothProgressBar;
  bar->SetPosition(position);
  bar->SetStyle(style);
  return bar;
}

QWidget* SmoothProgressBarSection() {
  auto* section = new Section("TSmoothProgressBar (354 x 5)");
  const QSize size(354, 5);
  section->AddRow("0 of 0-100", ProgressBar(0, pbstNormal), size);
  section->AddRow("40 of 0-100", ProgressBar(40, pbstNormal), size);
  section->AddRow("100 of 0-100", ProgressBar(100, pbstNormal), size);
  section->AddRow("marquee (splash, calibration)", ProgressBar(0, pbstMarquee), size);
  return section;
}

TNumericEdit* NumericEdit(TNumericEditType type, double value) {
  auto* edit = new TNumericEdit;
  if (type == etFloat) {
    edit->SetEditType(etFloat);
    edit->SetPrecision(4);
    edit->SetPrecisionDisplay(pdShortest);
  }
  edit->SetFloatValue(value);
  return edit;
}

QWidget* NumericEditSection() {
  auto* section = new Section("TNumericEdit (49 x 21)");
  const QSize size(49, 21);
  section->AddRow("raw limit, etString, 4095", NumericEdit(etString, 4095), size);
  section->AddRow("brake constant, etFloat, 12.3", NumericEdit(etFloat, 12.3), size);
  section->AddRow("flash count, etFloat, 17", NumericEdit(etFloat, 17), size);
  return section;
}

// A page control as the window configures it, with one label per page to show the page area.
TSideTabPageControl* PageControl(bool tabsVisible) {
  auto* control = new TSideTabPageControl;
  control->SetTabWidth(108);
  control->SetClientBorderWidth(0);
  for (const char* caption : {"Main", "Debug"}) {
    auto* page = new TTabSheet(control);
    page->SetCaption(caption);
    page->setBackgroundRole(QPalette::Base);
    page->setAutoFillBackground(true);
    auto* label = new QLabel(QString("%1 page").arg(caption), page);
    label->move(8, 8);
    page->SetTabVisible(tabsVisible);
  }
  control->SetActivePageIndex(0);
  return control;
}

QWidget* SideTabPageControlSection() {
  auto* section = new Section("TSideTabPageControl (tabs 108 long, strip 20 wide)");
  section->AddRow("service mode: both tabs", PageControl(true), QSize(300, 228));
  section->AddRow("user mode: tabs hidden", PageControl(false), QSize(300, 100));
  return section;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Widget gallery");
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(RangeSliderSection());
  layout->addWidget(SmoothProgressBarSection());
  layout->addWidget(NumericEditSection());
  layout->addWidget(SideTabPageControlSection());
  layout->addStretch(1);
  window.show();
  return QApplication::exec();
}
