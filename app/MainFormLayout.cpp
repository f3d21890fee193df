// The window itself, the splash over it and the Main page's stack of panels.

#include <QApplication>
#include <QEvent>
#include <QPalette>

#include "FormBuilder.h"
#include "PaintPacer.h"
#include "ProgramIcon.h"
#include "TConnectionHint.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "TPanel.h"
#include "TopAlignedStack.h"
#include "WindowFonts.h"
#include "hid/THidDeviceController.h"
#include "widgets/TSideTabPageControl.h"
#include "widgets/TSmoothProgressBar.h"

namespace {
constexpr int kClientWidth = 621;
constexpr int kClientHeight = 321;
constexpr int kPageWidth = 601;
// The face colour of the light desktop the layout was drawn for.
const QColor kLightWindowBackground(0xF0, 0xF0, 0xF0);

bool IsLight(const QPalette& look) {
  return look.color(QPalette::Window).lightness() > look.color(QPalette::WindowText).lightness();
}

void NameAndPlace(QWidget* control, const char* name, QRect at) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(at);
}
}  // namespace

void TMainForm::BuildWindow() {
  setObjectName("MainForm");
  setWindowTitle("Quillfen pedals settings");
  setWindowIcon(ProgramIcon());
  new PaintPacer(this);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(WindowFont());
  ApplyWindowPalette();
  setAutoFillBackground(true);

  MyPageControl = new TSideTabPageControl(this);
  NameAndPlace(MyPageControl, "MyPageControl", {0, 0, kClientWidth, kClientHeight});
  MyPageControl->SetTabWidth(108);
  MyPageControl->SetClientBorderWidth(0);
  MyPageControl->SetAlign(TSideTabPageControl::alClient);
  TabSheet1 = new TTabSheet(MyPageControl);
  TabSheet1->setObjectName("TabSheet1");
  TabSheet1->SetCaption("Main");
  TabSheet3 = new TTabSheet(MyPageControl);
  TabSheet3->setObjectName("TabSheet3");
  TabSheet3->SetCaption("Debug");
  MyPageControl->SetActivePage(TabSheet1);
}

// In a light palette the window keeps the face colour of its layout; in a dark one it takes the
// palette's own, so that panels, tabs and texts, which follow the palette, stay readable on it.
// Only the window's background is set: every other colour keeps following the palette.
void TMainForm::ApplyWindowPalette() {
  const QPalette desktop = QApplication::palette(this);
  const QColor background =
      IsLight(desktop) ? kLightWindowBackground : desktop.color(QPalette::Window);
  if (testAttribute(Qt::WA_SetPalette) && palette().color(QPalette::Window) == background) return;
  QPalette look;
  if (background != desktop.color(QPalette::Window)) look.setColor(QPalette::Window, background);
  setPalette(look);
}

void TMainForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // A new desktop palette reaches a top-level window as a change of its own palette.
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
    ApplyWindowPalette();
  // The system's locale may have changed its symbols while QLocale() stays equal to itself.
  if (event->type() == QEvent::LocaleChange) readoutSymbols_.Forget();
}

void TMainForm::BuildSplash() {
  FormBuilder build;
  SplashPanel = build.Panel({&SplashPanel, "SplashPanel"}, this, rect());
  SplashPanel->setBackgroundRole(QPalette::Window);  // the window's background
  SplashPanel->SetRaisedBevel(true);
  build.Label({&ConLabel, "ConLabel"}, SplashPanel, {264, 142}, "Connecting...", SegoeUi(11), 13);
  build.Bar({&SplashProgressBar, "SplashProgressBar"}, SplashPanel, {135, 170, 354, 5})
      ->SetStyle(pbstMarquee);
  ConnectionHint = new TConnectionHint(SplashPanel, ConLabel->font(), [this] {
    return hidController != nullptr ? Link.ConnectionFacts(*hidController) : TConnectionFacts{};
  });
  SplashPanel->raise();
}

void TMainForm::BuildMainPage() {
  FormBuilder build;
  build.Panel({&ButtonPanel, "ButtonPanel"}, TabSheet1, {0, 0, kPageWidth, 13});
  build.Panel({&TrottlePanel, "TrottlePanel"}, TabSheet1, {0, 13, kPageWidth, 89});
  build.Panel({&BrPanel, "BrPanel"}, TabSheet1, {0, 102, kPageWidth, 89});
  build.Panel({&ClPanel, "ClPanel"}, TabSheet1, {0, 191, kPageWidth, 89});
  build.Panel({&Panel1, "Panel1"}, TabSheet1, {0, 280, kPageWidth, 41});
  BuildPedalPanels();
  MainPageStack =
      new TopAlignedStack(TabSheet1, {ButtonPanel, TrottlePanel, BrPanel, ClPanel}, Panel1);
}
