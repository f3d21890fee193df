#pragma once

#include <QString>
#include <QWidget>
#include <vector>

class TSideTabPageControl;
class TSideTabStrip;

// One page of a TSideTabPageControl. Its tab can be hidden while the page itself stays.
class TTabSheet : public QWidget {
  Q_OBJECT

 public:
  // Adds the page at the end of the control's page order (none: a page of no control).
  explicit TTabSheet(TSideTabPageControl* pageControl = nullptr);
  ~TTabSheet() override;

  TSideTabPageControl* PageControl() const { return pageControl_; }

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);

  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool visible);

  // Position in the control's page order, -1 without a control.
  int PageIndex() const;
  // Position among the visible tabs, -1 while the tab is hidden.
  int TabIndex() const;

 private:
  friend class TSideTabPageControl;

  TSideTabPageControl* pageControl_ = nullptr;
  QString caption_;
  bool tabVisible_ = true;
};

// A stack of pages, one shown at a time, chosen through tabs down the left side.
class TSideTabPageControl : public QWidget {
  Q_OBJECT

 public:
  // alClient: the control fills its parent and follows its size; alNone: it keeps its geometry.
  enum TAlign { alNone, alClient };

  explicit TSideTabPageControl(QWidget* parent = nullptr);
  ~TSideTabPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // The page at index i, nullptr outside 0..PageCount()-1.
  TTabSheet* Pages(int i) const;

  // -1 when no page is active. Writing an index outside the pages means no page.
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* page);

  // Extent of every tab along the strip; 0 sizes each tab to its caption.
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int width);

  // Margin between the frame and the pages; the pages grow by 4 - ClientBorderWidth pixels on
  // every side beyond the frame's own page area.
  int ClientBorderWidth() const { return clientBorderWidth_; }
  void SetClientBorderWidth(int width);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  int Left() const { return x(); }
  void SetLeft(int left);

  // Thickness of the tab strip while at least one tab is visible.
  static constexpr int kTabStripThickness = 20;
  // The area the pages fill, in the control's coordinates.
  QRect PageRect() const;

 signals:
  // The active page changed (through a tab, the keyboard or a property).
  void OnChange();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TTabSheet;
  friend class TSideTabStrip;

  void AddPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void TabVisibilityChanged(TTabSheet* page, int oldTabIndex);
  std::vector<TTabSheet*> VisibleTabs() const;
  bool HasVisibleTabs() const;
  void SelectNextVisiblePage(bool forward);
  void MoveFocusInto(TTabSheet* page);
  void UpdateLayout();
  QRect DisplayRect() const;
  void FollowParent();

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
  TSideTabStrip* strip_ = nullptr;
  int tabWidth_ = 0;
  int clientBorderWidth_ = 4;
  TAlign align_ = alNone;
};
