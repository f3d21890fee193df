#include "widgets/TSideTabPageControl.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <algorithm>

namespace {

// The frame the platform tab control draws around its page area.
constexpr int kFrameWidth = 4;
constexpr int kCaptionMargin = 12;

QStyleOptionTab::TabPosition PositionInStrip(std::size_t index, std::size_t count) {
  if (count == 1) return QStyleOptionTab::OnlyOneTab;
  if (index == 0) return QStyleOptionTab::Beginning;
  return index + 1 == count ? QStyleOptionTab::End : QStyleOptionTab::Middle;
}

// First widget inside the page that the keyboard can reach, in focus-chain order.
QWidget* FirstFocusableChild(QWidget* page) {
  for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
    if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(page) &&
        w->isEnabled()) {
      return w;
    }
  }
  return nullptr;
}

}  // namespace

// The column of tabs down the control's left edge: one tab per page whose tab is visible, drawn
// by the style as west-facing tabs. Unlike QTabBar it can show no selected tab while tabs are
// visible, which is the case when the active page's own tab is hidden.
class TSideTabStrip : public QWidget {
 public:
  explicit TSideTabStrip(TSideTabPageControl* control) : QWidget(control), control_(control) {
    setAttribute(Qt::WA_Hover);  // the style may light the tab under the pointer
    setMouseTracking(true);
  }

  QRect TabRect(std::size_t tabIndex) const {
    const std::vector<TTabSheet*> tabs = control_->VisibleTabs();
    int top = 0;
    for (std::size_t i = 0; i < tabIndex && i < tabs.size(); ++i) top += TabExtent(tabs[i]);
    return tabIndex < tabs.size() ? QRect(0, top, width(), TabExtent(tabs[tabIndex])) : QRect();
  }

 protected:
  // As a tab bar describes its tabs to the style: the style draws shape, caption and colours from
  // the strip's palette, so the tabs read in light and dark palettes alike.
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    const std::vector<TTabSheet*> tabs = control_->VisibleTabs();
    const auto selected = [&](std::size_t i) {
      return i < tabs.size() && tabs[i] == control_->ActivePage();
    };
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    for (std::size_t i = 0; i < tabs.size(); ++i) {
      QStyleOptionTab option;
      option.initFrom(this);
      option.shape = QTabBar::RoundedWest;
      option.rect = TabRect(i);
      option.text = tabs[i]->Caption();
      option.position = PositionInStrip(i, tabs.size());
      option.selectedPosition = i > 0 && selected(i - 1) ? QStyleOptionTab::PreviousIsSelected
                                : selected(i + 1)        ? QStyleOptionTab::NextIsSelected
                                                         : QStyleOptionTab::NotAdjacent;
      option.state.setFlag(QStyle::State_Selected, selected(i));
      option.state.setFlag(QStyle::State_Enabled, tabs[i]->isEnabled());
      option.state.setFlag(QStyle::State_MouseOver,
                           underMouse() && option.rect.contains(pointer) && tabs[i]->isEnabled());
      painter.drawControl(QStyle::CE_TabBarTab, option);
    }
  }

  void mouseMoveEvent(QMouseEvent*) override { update(); }
  void leaveEvent(QEvent*) override { update(); }

  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    const std::vector<TTabSheet*> tabs = control_->VisibleTabs();
    for (std::size_t i = 0; i < tabs.size(); ++i) {
      if (TabRect(i).contains(event->position().toPoint()) && tabs[i]->isEnabled()) {
        control_->SetActivePage(tabs[i]);
        return;
      }
    }
  }

 private:
  int TabExtent(const TTabSheet* page) const {
    if (control_->TabWidth() > 0) return control_->TabWidth();
    return fontMetrics().horizontalAdvance(page->Caption()) + 2 * kCaptionMargin;
  }

  TSideTabPageControl* control_;
};

// ---- TTabSheet ----

TTabSheet::TTabSheet(TSideTabPageControl* pageControl) : QWidget(pageControl) {
  if (pageControl) pageControl->AddPage(this);
}

TTabSheet::~TTabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetCaption(const QString& caption) {
  caption_ = caption;
  if (pageControl_) pageControl_->strip_->update();
}

void TTabSheet::SetTabVisible(bool visible) {
  if (visible == tabVisible_) return;
  const int oldTabIndex = TabIndex();
  tabVisible_ = visible;
  if (pageControl_) pageControl_->TabVisibilityChanged(this, oldTabIndex);
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

int TTabSheet::TabIndex() const {
  if (!pageControl_ || !tabVisible_) return -1;
  const std::vector<TTabSheet*> tabs = pageControl_->VisibleTabs();
  return static_cast<int>(std::find(tabs.begin(), tabs.end(), this) - tabs.begin());
}

// ---- TSideTabPageControl ----

TSideTabPageControl::TSideTabPageControl(QWidget* parent)
    : QWidget(parent), strip_(new TSideTabStrip(this)) {
  // As shortcuts the page keys reach the control before the focused control sees them: a combo
  // box on a page would otherwise take Ctrl+Tab as a search key and never pass it on. A control
  // that really wants the keys still claims them through its shortcut override.
  const auto pageKey = [this](QKeyCombination keys, bool forward) {
    auto* shortcut = new QShortcut(QKeySequence(keys), this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this,
            [this, forward] { SelectNextVisiblePage(forward); });
  };
  pageKey(Qt::CTRL | Qt::Key_Tab, true);
  pageKey(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, false);
  UpdateLayout();
}

TSideTabPageControl::~TSideTabPageControl() {
  // The pages are destroyed after this object as its children; they must not call back.
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
}

TTabSheet* TSideTabPageControl::Pages(int i) const {
  return i >= 0 && i < PageCount() ? pages_[static_cast<std::size_t>(i)] : nullptr;
}

int TSideTabPageControl::ActivePageIndex() const {
  return activePage_ ? activePage_->PageIndex() : -1;
}

void TSideTabPageControl::SetActivePageIndex(int index) { SetActivePage(Pages(index)); }

void TSideTabPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->pageControl_ != this) page = nullptr;
  if (page == activePage_) return;
  TTabSheet* const oldPage = activePage_;
  const QWidget* focus = QApplication::focusWidget();
  const bool focusWasInOldPage = oldPage && focus && oldPage->isAncestorOf(focus);
  if (focusWasInOldPage) {
    // Let the focused control finish (an edit tidies its text on leaving) before its page goes.
    oldPage->setFocus(Qt::OtherFocusReason);
    const QWidget* now = QApplication::focusWidget();
    if (now && now != oldPage && oldPage->isAncestorOf(now)) return;
  }
  activePage_ = page;
  UpdateLayout();
  if (focusWasInOldPage) MoveFocusInto(page);
  emit OnChange();
}

void TSideTabPageControl::MoveFocusInto(TTabSheet* page) {
  if (!page) {
    setFocus(Qt::OtherFocusReason);
    return;
  }
  QWidget* target = FirstFocusableChild(page);
  (target ? target : static_cast<QWidget*>(page))->setFocus(Qt::TabFocusReason);
}

void TSideTabPageControl::SetTabWidth(int width) {
  tabWidth_ = std::max(0, width);
  strip_->update();
}

void TSideTabPageControl::SetClientBorderWidth(int width) {
  clientBorderWidth_ = width;
  UpdateLayout();
}

void TSideTabPageControl::SetAlign(TAlign align) {
  align_ = align;
  QWidget* parent = parentWidget();
  if (!parent) return;
  if (align_ == alClient) {
    parent->installEventFilter(this);
    FollowParent();
  } else {
    parent->removeEventFilter(this);
  }
}

void TSideTabPageControl::SetLeft(int left) { move(left, y()); }

QRect TSideTabPageControl::DisplayRect() const {
  const int strip = HasVisibleTabs() ? kTabStripThickness : 0;
  return rect().adjusted(strip + kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
}

QRect TSideTabPageControl::PageRect() const {
  const int growth = kFrameWidth - clientBorderWidth_;
  return DisplayRect().adjusted(-growth, -growth, growth, growth);
}

void TSideTabPageControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  frame.shape = QTabBar::RoundedWest;
  frame.rect = DisplayRect().adjusted(-kFrameWidth, -kFrameWidth, kFrameWidth, kFrameWidth);
  style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

void TSideTabPageControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UpdateLayout();
}

void TSideTabPageControl::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  if (ctrl && event->key() == Qt::Key_Tab) {
    SelectNextVisiblePage(!shift);
  } else if (ctrl && event->key() == Qt::Key_Backtab) {
    SelectNextVisiblePage(false);
  } else {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
}

bool TSideTabPageControl::eventFilter(QObject* watched, QEvent* event) {
  if (align_ == alClient && watched == parentWidget() && event->type() == QEvent::Resize) {
    FollowParent();
  }
  return QWidget::eventFilter(watched, event);
}

void TSideTabPageControl::AddPage(TTabSheet* page) {
  page->pageControl_ = this;
  pages_.push_back(page);
  UpdateLayout();
}

void TSideTabPageControl::RemovePage(TTabSheet* page) {
  pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
  page->pageControl_ = nullptr;
  if (activePage_ == page) activePage_ = nullptr;
  UpdateLayout();
}

void TSideTabPageControl::TabVisibilityChanged(TTabSheet* page, int oldTabIndex) {
  if (!page->TabVisible() && page == activePage_) {
    // The tab that moves into the removed tab's place takes over (the last one at the end).
    const std::vector<TTabSheet*> tabs = VisibleTabs();
    const std::size_t next = std::min<std::size_t>(static_cast<std::size_t>(oldTabIndex),
                                                   tabs.empty() ? 0 : tabs.size() - 1);
    SetActivePage(tabs.empty() ? nullptr : tabs[next]);
  }
  UpdateLayout();
}

std::vector<TTabSheet*> TSideTabPageControl::VisibleTabs() const {
  std::vector<TTabSheet*> tabs;
  std::copy_if(pages_.begin(), pages_.end(), std::back_inserter(tabs),
               [](const TTabSheet* page) { return page->TabVisible(); });
  return tabs;
}

bool TSideTabPageControl::HasVisibleTabs() const {
  return std::any_of(pages_.begin(), pages_.end(),
                     [](const TTabSheet* page) { return page->TabVisible(); });
}

void TSideTabPageControl::SelectNextVisiblePage(bool forward) {
  if (!HasVisibleTabs()) return;
  const int count = PageCount();
  const int step = forward ? 1 : -1;
  int index = activePage_ ? ActivePageIndex() : (forward ? -1 : count);
  for (int tried = 0; tried < count; ++tried) {
    index = (index + step + count) % count;
    if (pages_[static_cast<std::size_t>(index)]->TabVisible()) {
      SetActivePage(pages_[static_cast<std::size_t>(index)]);
      return;
    }
  }
}

void TSideTabPageControl::UpdateLayout() {
  strip_->setGeometry(0, 0, kTabStripThickness, height());
  strip_->setVisible(HasVisibleTabs());
  strip_->update();
  const QRect pageRect = PageRect();
  for (TTabSheet* page : pages_) {
    page->setGeometry(pageRect);
    if (page != activePage_) page->hide();
  }
  if (activePage_) {
    activePage_->raise();
    activePage_->show();
  }
  update();
}

void TSideTabPageControl::FollowParent() { setGeometry(parentWidget()->rect()); }
