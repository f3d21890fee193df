#include "widgets/TSideTabPageControl.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <ostream>
#include <vector>
#include "support/PrintRowName.h"

// Readable failure messages for geometry.
void PrintTo(const QRect& r, std::ostream* out) {
  *out << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}

namespace {

using qf_test::PrintTo;

// The window's page control: 621 x 321, tabs 108 long, no client border, first page active.
class PageControlTest : public testing::Test {
 protected:
  explicit PageControlTest(int pageCount = 2) {
    control_.resize(621, 321);
    control_.SetTabWidth(108);
    control_.SetClientBorderWidth(0);
    const char* captions[] = {"Main", "Debug", "Third"};
    for (int i = 0; i < pageCount; ++i) {
      auto* page = new TTabSheet(&control_);
      page->SetCaption(QString::fromLatin1(captions[i]));
    }
    control_.SetActivePage(control_.Pages(0));
  }

  TTabSheet* Page(int i) { return control_.Pages(i); }
  bool Shown(int i) { return !Page(i)->isHidden(); }
  int ShownCount() {
    int shown = 0;
    for (int i = 0; i < control_.PageCount(); ++i) shown += Shown(i) ? 1 : 0;
    return shown;
  }
  void CtrlTab(QWidget* target, bool backwards = false) {
    if (backwards) {
      QTest::keyClick(target, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    } else {
      QTest::keyClick(target, Qt::Key_Tab, Qt::ControlModifier);
    }
  }

  TSideTabPageControl control_;
};

TEST_F(PageControlTest, StartsWithMainShownAndBothTabsInTheStrip) {
  EXPECT_EQ(control_.PageCount(), 2);
  EXPECT_EQ(control_.ActivePageIndex(), 0);
  EXPECT_TRUE(Shown(0));
  EXPECT_FALSE(Shown(1));
  EXPECT_EQ(Page(0)->TabIndex(), 0);
  EXPECT_EQ(Page(1)->TabIndex(), 1);
  EXPECT_EQ(control_.Pages(2), nullptr);
  EXPECT_EQ(control_.Pages(-1), nullptr);
}

TEST_F(PageControlTest, WindowSequenceHidesTabsThenShowsMainWithoutStrip) {
  for (int round = 0; round < 2; ++round) {  // the window repeats it; the second changes nothing
    Page(0)->SetTabVisible(false);
    if (round == 0) {
      EXPECT_EQ(control_.ActivePageIndex(), 1) << "the Debug tab moved into Main's place";
      EXPECT_TRUE(Shown(1));
    }
    Page(1)->SetTabVisible(false);
    if (round == 0) {
      EXPECT_EQ(control_.ActivePageIndex(), -1);
      EXPECT_EQ(ShownCount(), 0);
    }
    control_.SetActivePageIndex(0);
    control_.SetAlign(TSideTabPageControl::alNone);
    control_.SetLeft(20);

    EXPECT_EQ(control_.ActivePageIndex(), 0);
    EXPECT_TRUE(Shown(0));
    EXPECT_EQ(ShownCount(), 1);
    EXPECT_EQ(Page(0)->TabIndex(), -1);
    EXPECT_EQ(Page(0)->geometry(), QRect(0, 0, 621, 321)) << "no strip: pages take its place";
    EXPECT_EQ(control_.geometry(), QRect(20, 0, 621, 321));
  }
}

struct HideTabCase {
  const char* name;
  std::vector<int> alreadyHidden;
  int active;
  int hide;
  int expectedActive;
};

class HideTabTest : public PageControlTest, public testing::WithParamInterface<HideTabCase> {
 protected:
  HideTabTest() : PageControlTest(3) {}
};

TEST_P(HideTabTest, ActivatesTheTabThatTakesTheHiddenOnesPlace) {
  const HideTabCase& c = GetParam();
  for (int i : c.alreadyHidden) Page(i)->SetTabVisible(false);
  control_.SetActivePageIndex(c.active);
  Page(c.hide)->SetTabVisible(false);
  EXPECT_EQ(control_.ActivePageIndex(), c.expectedActive);
  EXPECT_EQ(ShownCount(), c.expectedActive < 0 ? 0 : 1);
  if (c.expectedActive >= 0) {
    EXPECT_TRUE(Shown(c.expectedActive));
  }
  EXPECT_TRUE(Page(c.hide)->TabVisible() == false && Page(c.hide)->TabIndex() == -1);
}

INSTANTIATE_TEST_SUITE_P(Cases, HideTabTest,
                         testing::Values(HideTabCase{"FirstActive", {}, 0, 0, 1},
                                         HideTabCase{"MiddleActive", {}, 1, 1, 2},
                                         HideTabCase{"LastActiveTakesNewLast", {}, 2, 2, 1},
                                         HideTabCase{"OtherTabKeepsActive", {}, 0, 1, 0},
                                         HideTabCase{"SkipsAlreadyHidden", {1}, 0, 0, 2},
                                         HideTabCase{"LastVisibleLeavesNone", {0, 1}, 2, 2, -1},
                                         HideTabCase{"ActiveWithHiddenTabStays", {0}, 0, 1, 0}),
                         qf_test::RowName());

TEST_F(PageControlTest, ShowingATabAgainRestoresItsPlaceAndKeepsActivePage) {
  Page(0)->SetTabVisible(false);
  ASSERT_EQ(control_.ActivePageIndex(), 1);
  Page(0)->SetTabVisible(true);
  EXPECT_EQ(Page(0)->TabIndex(), 0);
  EXPECT_EQ(Page(1)->TabIndex(), 1);
  EXPECT_EQ(control_.ActivePageIndex(), 1);
}

TEST_F(PageControlTest, OutOfRangeOrForeignPageMeansNoPage) {
  control_.SetActivePageIndex(5);
  EXPECT_EQ(control_.ActivePageIndex(), -1);
  EXPECT_EQ(control_.ActivePage(), nullptr);
  EXPECT_EQ(ShownCount(), 0);

  control_.SetActivePageIndex(1);
  TTabSheet stray;
  control_.SetActivePage(&stray);
  EXPECT_EQ(control_.ActivePageIndex(), -1);
  EXPECT_EQ(stray.PageIndex(), -1);
}

TEST_F(PageControlTest, ActivatingAPageWithHiddenTabShowsItWithoutSelectingATab) {
  Page(1)->SetTabVisible(false);
  control_.SetActivePageIndex(1);
  EXPECT_TRUE(Shown(1));
  EXPECT_FALSE(Shown(0));
  EXPECT_EQ(control_.ActivePage()->TabIndex(), -1);
}

TEST_F(PageControlTest, CtrlTabCyclesThroughVisibleTabsFromInsideAPage) {
  auto* mainEdit = new QLineEdit(Page(0));
  auto* debugEdit = new QLineEdit(Page(1));
  CtrlTab(mainEdit);
  EXPECT_EQ(control_.ActivePageIndex(), 1);
  CtrlTab(debugEdit);
  EXPECT_EQ(control_.ActivePageIndex(), 0) << "wraps from the last page to the first";
  CtrlTab(mainEdit, true);
  EXPECT_EQ(control_.ActivePageIndex(), 1) << "and back from the first to the last";
}

// A combo box takes every key it is given as a search key, so the control must see Ctrl+Tab first.
TEST_F(PageControlTest, CtrlTabSwitchesPagesFromAFocusedComboBox) {
  auto* mainCombo = new QComboBox(Page(0));
  mainCombo->addItems({QStringLiteral("a"), QStringLiteral("b")});
  auto* debugCombo = new QComboBox(Page(1));
  debugCombo->addItems({QStringLiteral("a"), QStringLiteral("b")});
  control_.show();
  control_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&control_));
  mainCombo->setFocus();
  ASSERT_TRUE(mainCombo->hasFocus());

  CtrlTab(mainCombo);
  EXPECT_EQ(control_.ActivePageIndex(), 1);
  ASSERT_TRUE(debugCombo->hasFocus());
  CtrlTab(debugCombo, true);
  EXPECT_EQ(control_.ActivePageIndex(), 0);
  EXPECT_EQ(mainCombo->currentIndex(), 0) << "the keys are not taken as a search";
}

TEST_F(PageControlTest, CtrlTabWithEveryTabHiddenKeepsMainShown) {
  Page(0)->SetTabVisible(false);
  Page(1)->SetTabVisible(false);
  control_.SetActivePageIndex(0);
  CtrlTab(&control_);
  CtrlTab(&control_, true);
  EXPECT_EQ(control_.ActivePageIndex(), 0);
  EXPECT_TRUE(Shown(0));
}

TEST_F(PageControlTest, CtrlTabSkipsPagesWhoseTabIsHidden) {
  TTabSheet third(&control_);
  Page(1)->SetTabVisible(false);
  CtrlTab(&control_);
  EXPECT_EQ(control_.ActivePageIndex(), 2);
}

TEST_F(PageControlTest, PagesFillTheAreaBesideTheStripGrownByTheBorderWidth) {
  EXPECT_EQ(control_.PageRect(), QRect(20, 0, 601, 321));
  EXPECT_EQ(Page(0)->geometry(), control_.PageRect());
  control_.SetClientBorderWidth(4);
  const QRect withBorder = control_.PageRect();
  EXPECT_EQ(withBorder, QRect(24, 4, 593, 313));
  EXPECT_EQ(Page(1)->geometry(), withBorder) << "hidden pages are laid out too";
}

TEST_F(PageControlTest, ClickingATabActivatesItsPageUnlessThePageIsDisabled) {
  QWidget* strip = control_.childAt(10, 150);
  ASSERT_NE(strip, nullptr);
  QTest::mouseClick(strip, Qt::LeftButton, {}, strip->mapFrom(&control_, QPoint(10, 162)));
  EXPECT_EQ(control_.ActivePageIndex(), 1);
  Page(0)->setEnabled(false);
  QTest::mouseClick(strip, Qt::LeftButton, {}, strip->mapFrom(&control_, QPoint(10, 54)));
  EXPECT_EQ(control_.ActivePageIndex(), 1);
}

TEST_F(PageControlTest, FocusInsideTheOldPageMovesToTheFirstControlOfTheNewPage) {
  auto* mainEdit = new QLineEdit(Page(0));
  new QWidget(Page(1));  // takes no focus
  auto* debugFirst = new QLineEdit(Page(1));
  new QLineEdit(Page(1));
  control_.show();
  control_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&control_));
  mainEdit->setFocus();
  ASSERT_TRUE(mainEdit->hasFocus());

  control_.SetActivePageIndex(1);
  EXPECT_TRUE(debugFirst->hasFocus());

  control_.SetActivePageIndex(-1);
  EXPECT_TRUE(control_.hasFocus()) << "no page left: the control itself keeps the focus";
}

TEST_F(PageControlTest, FocusOutsideThePagesStaysWhereItIs) {
  QWidget window;
  control_.setParent(&window);
  auto* outside = new QLineEdit(&window);
  outside->move(0, 330);
  auto* debugEdit = new QLineEdit(Page(1));
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  outside->setFocus();
  control_.SetActivePageIndex(1);
  EXPECT_TRUE(outside->hasFocus());
  EXPECT_FALSE(debugEdit->hasFocus());
  control_.setParent(nullptr);
}

TEST(PageControlAlign, ClientAlignFollowsTheParentUntilSetToNone) {
  QWidget window;
  window.resize(621, 321);
  auto* control = new TSideTabPageControl(&window);
  window.show();  // hidden widgets defer their resize events
  control->SetAlign(TSideTabPageControl::alClient);
  EXPECT_EQ(control->geometry(), QRect(0, 0, 621, 321));
  window.resize(621, 400);
  EXPECT_EQ(control->geometry(), QRect(0, 0, 621, 400));

  control->SetAlign(TSideTabPageControl::alNone);
  control->SetLeft(20);
  window.resize(621, 500);
  EXPECT_EQ(control->geometry(), QRect(20, 0, 621, 400));
  EXPECT_EQ(control->Left(), 20);
}

TEST(PageControlLifetime, DestroyingPagesOrTheControlLeavesNoDanglingPage) {
  auto control = std::make_unique<TSideTabPageControl>();
  auto* first = new TTabSheet(control.get());
  auto* second = new TTabSheet(control.get());
  control->SetActivePage(second);
  delete second;
  EXPECT_EQ(control->PageCount(), 1);
  EXPECT_EQ(control->ActivePageIndex(), -1);
  EXPECT_EQ(first->PageIndex(), 0);
  control.reset();  // deletes `first` as a child; must not call back into the dead control
}

}  // namespace
