// A label sizes itself to its text; a right-aligned one keeps its right edge.
#include <gtest/gtest.h>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QLineEdit>
#include <QPalette>
#include <QTest>
#include <QWidget>
#include <functional>

#include "app/PaintPacer.h"
#include "app/TLabel.h"
#include "app/TPanel.h"

namespace {

QSize TextSize(const TLabel& label) {
  TLabel probe;
  probe.setFont(label.font());
  probe.setText(label.text());
  return probe.sizeHint();
}

TEST(TLabel, FitsEachTextAndKeepsTheRightEdgeWhenRightAligned) {
  QWidget parent;
  TLabel label(&parent);
  label.SetRightAligned(true);
  label.setGeometry(100, 10, 40, 20);
  const int right = label.geometry().right();

  for (const char* text : {"100.0%", "5.0%", "100.0%", "CALIBRATION..."}) {
    label.setText(text);
    EXPECT_EQ(label.width(), TextSize(label).width()) << text;
    EXPECT_EQ(label.geometry().right(), right) << text;
  }
}

TEST(TLabel, RefitsARepeatedTextAfterTheFontChanged) {
  TLabel label;
  label.setText("45.2%");
  const int smallWidth = label.width();
  label.setText("45.3%");

  QFont larger = label.font();
  larger.setPointSize(larger.pointSize() * 3);
  label.setFont(larger);
  label.setText("45.2%");  // seen before, in the old font

  EXPECT_GT(label.width(), smallWidth);
  EXPECT_EQ(label.width(), TextSize(label).width());
}

TEST(TLabel, RefitsARepeatedTextAfterItsLookChanged) {
  TLabel label;
  label.setText("45.2%");
  const int plainWidth = label.width();
  label.setText("45.3%");

  label.setMargin(6);
  label.setText("45.2%");  // seen before, without the margin

  EXPECT_EQ(label.width(), plainWidth + 12);
}

// Labels share what they have fitted: one that looks different (a margin, a larger font) must
// still fit a text another label has already fitted to its own look.
TEST(TLabel, LabelsThatLookDifferentFitTheSameTextEachToTheirOwnLook) {
  TLabel plain;
  TLabel withMargin;
  withMargin.setMargin(6);
  TLabel larger;
  QFont font = larger.font();
  font.setPointSize(font.pointSize() * 2);
  larger.setFont(font);

  for (TLabel* label : {&plain, &withMargin, &larger}) label->setText("45.2%");

  const QLabel& plainShown = plain;
  EXPECT_EQ(plain.width(), plainShown.sizeHint().width());
  EXPECT_EQ(withMargin.width(), plain.width() + 12);
  EXPECT_GT(larger.width(), plain.width());
  EXPECT_EQ(larger.width(), TextSize(larger).width());
}

// One way a label can look, applied alike to a TLabel and to the QLabel it is compared with.
struct Look {
  const char* name;
  std::function<void(QLabel&)> apply;
};

void BoldAndLarge(QLabel& label) {
  QFont font = label.font();
  font.setBold(true);
  font.setPointSize(font.pointSize() * 2);
  label.setFont(font);
}

// A plain QLabel in `look` showing `text`: what a TLabel must come to.
void ShowAsQLabel(QLabel& probe, const Look& look, const char* text) {
  probe.setTextFormat(Qt::PlainText);
  look.apply(probe);
  probe.setText(QString::fromUtf8(text));
}

// A label takes exactly the size QLabel asks for its text, whatever else decides that size.
TEST(TLabel, FitsToTheSizeQLabelAsksForInEveryLook) {
  QLineEdit buddy;
  const Look looks[] = {
      {"plain", [](QLabel&) {}},
      {"margin", [](QLabel& l) { l.setMargin(6); }},
      {"indent", [](QLabel& l) { l.setIndent(9); }},
      {"indent, right aligned",
       [](QLabel& l) {
         l.setIndent(9);
         l.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
       }},
      {"indent, top aligned",
       [](QLabel& l) {
         l.setIndent(7);
         l.setAlignment(Qt::AlignLeft | Qt::AlignTop);
       }},
      {"frame",
       [](QLabel& l) {
         l.setFrameStyle(QFrame::Box | QFrame::Plain);
         l.setLineWidth(2);
       }},
      {"frame and margin",
       [](QLabel& l) {
         l.setFrameStyle(QFrame::Panel | QFrame::Sunken);
         l.setMargin(1);
       }},
      {"contents margins", [](QLabel& l) { l.setContentsMargins(3, 4, 5, 6); }},
      {"minimum size", [](QLabel& l) { l.setMinimumSize(80, 40); }},
      {"minimum width", [](QLabel& l) { l.setMinimumWidth(30); }},
      {"right aligned", [](QLabel& l) { l.setAlignment(Qt::AlignRight | Qt::AlignVCenter); }},
      {"bold and large", BoldAndLarge},
      {"serif, 13 points", [](QLabel& l) { l.setFont(QFont(QStringLiteral("DejaVu Serif"), 13)); }},
      {"word wrap", [](QLabel& l) { l.setWordWrap(true); }},
      {"buddy", [&buddy](QLabel& l) { l.setBuddy(&buddy); }},
      {"selectable", [](QLabel& l) { l.setTextInteractionFlags(Qt::TextSelectableByMouse); }},
  };
  const char* texts[] = {"45.2%",
                         "100.0%",
                         "12.3 kg",
                         "max",
                         "\u4e2d 5%",  // a character the label's font lacks
                         "CALIBRATION...",
                         "&Range",
                         "two\nlines",
                         "\u05e9\u05dc\u05d5\u05dd 5%",
                         "a long text that a word-wrapping label breaks"};

  for (const Look& look : looks) {
    for (const char* text : texts) {
      QLabel probe;
      ShowAsQLabel(probe, look, text);
      TLabel label;
      look.apply(label);
      label.setGeometry(0, 0, 20, 12);  // lower than every text, roomier than every margin
      label.setText(QString::fromUtf8(text));
      EXPECT_EQ(label.size(), probe.sizeHint()) << look.name << ": " << text;
    }
  }
}

QImage Painted(QLabel& label) {
  QImage image(label.size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  label.render(&image);
  return image;
}

// A label paints its text pixel for pixel as QLabel does, in every look and state.
TEST(TLabel, PaintsItsTextAsQLabelDoes) {
  const Look looks[] = {
      {"plain", [](QLabel&) {}},
      {"right aligned", [](QLabel& l) { l.setAlignment(Qt::AlignRight | Qt::AlignVCenter); }},
      {"margin", [](QLabel& l) { l.setMargin(3); }},
      {"contents margins", [](QLabel& l) { l.setContentsMargins(4, 1, 2, 3); }},
      {"bold and large", BoldAndLarge},
      {"12 points",
       [](QLabel& l) {
         QFont font = l.font();
         font.setPointSize(12);
         l.setFont(font);
       }},
      {"coloured",
       [](QLabel& l) {
         QPalette palette = l.palette();
         palette.setColor(QPalette::WindowText, Qt::darkRed);
         l.setPalette(palette);
       }},
      {"disabled", [](QLabel& l) { l.setEnabled(false); }},
      {"frame", [](QLabel& l) { l.setFrameStyle(QFrame::Box | QFrame::Plain); }},
      {"indent", [](QLabel& l) { l.setIndent(5); }},
      {"centred", [](QLabel& l) { l.setAlignment(Qt::AlignCenter); }},
      {"top", [](QLabel& l) { l.setAlignment(Qt::AlignLeft | Qt::AlignTop); }},
  };
  const char* texts[] = {"0.0%",   "45.2%",      "100.0%",
                         "12.3kg", "min",        "CALIBRATION...",
                         " 5%",    "two\nlines", "\u05e9\u05dc\u05d5\u05dd 5%"};

  for (const Look& look : looks) {
    for (const char* text : texts) {
      TLabel label;
      look.apply(label);
      label.setText(QString::fromUtf8(text));
      label.resize(label.size() + QSize(7, 5));  // room on both axes to place the text in
      QLabel probe;
      ShowAsQLabel(probe, look, text);
      probe.resize(label.size());
      EXPECT_EQ(Painted(label), Painted(probe)) << look.name << ": " << text;
    }
  }
}

// The panel with the label on it, as the screen shows it.
QImage PanelOnScreen(QWidget& panel) {
  panel.repaint();
  return panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A label that paints its panel's colour itself leaves the panel looking as it does with a plain
// QLabel on it, as its texts come and go (a shorter text uncovers panel the label no longer
// covers); on a panel that is not one plain colour, the panel paints beneath it as before.
TEST(TLabel, PaintingItsPanelsColourLooksAsAQLabelOnThatPanel) {
  struct Panel {
    const char* name;
    QBrush brush;
  };
  QLinearGradient gradient(0, 0, 200, 0);
  gradient.setColorAt(0, Qt::yellow);
  gradient.setColorAt(1, Qt::blue);
  const Panel panels[] = {{"plain", QColor(236, 233, 216)},
                          {"see-through", QColor(20, 40, 200, 100)},
                          {"gradient", QBrush(gradient)}};
  const Look looks[] = {
      {"plain", [](QLabel&) {}},
      {"disabled", [](QLabel& l) { l.setEnabled(false); }},
      {"centred, which QLabel paints", [](QLabel& l) { l.setAlignment(Qt::AlignCenter); }}};
  for (const Panel& panelLook : panels) {
    for (const Look& labelLook : looks) {
      TPanel withTLabel;
      TPanel withQLabel;
      for (TPanel* panel : {&withTLabel, &withQLabel}) {
        QPalette palette = panel->palette();
        palette.setBrush(QPalette::Window, panelLook.brush);
        panel->setPalette(palette);
        panel->resize(200, 40);
      }
      auto* label = new TLabel(&withTLabel);
      labelLook.apply(*label);
      label->SetPaintsPanelColour(true);
      label->move(20, 10);
      auto* probe = new QLabel(&withQLabel);
      EXPECT_EQ(label->testAttribute(Qt::WA_OpaquePaintEvent),
                panelLook.brush.isOpaque() && panelLook.brush.style() == Qt::SolidPattern)
          << panelLook.name;
      for (const char* text : {"100.0%", "5.0%", "CALIBRATION...", "0.0%"}) {
        label->setText(QString::fromUtf8(text));
        ShowAsQLabel(*probe, labelLook, text);
        probe->setGeometry(label->geometry());
        EXPECT_EQ(PanelOnScreen(withTLabel), PanelOnScreen(withQLabel))
            << panelLook.name << ", " << labelLook.name << ": " << text;
      }
    }
  }
}

// In a paced window the text changes at once, and the label on screen (its painted text and its
// size) follows before the next frame is painted: a burst ends shown as its last text.
TEST(TLabel, InAPacedWindowEndsABurstShowingAndFittingItsLastText) {
  QWidget window;
  window.resize(300, 60);
  new PaintPacer(&window);
  auto* label = new TLabel(&window);
  label->SetRightAligned(true);
  label->setGeometry(100, 10, 40, 20);
  const int right = label->geometry().right();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  for (int percent = 0; percent <= 100; ++percent) {
    const QString text = QString::number(percent) + "%";
    label->setText(text);
    ASSERT_EQ(label->text(), text);
    QCoreApplication::processEvents();
  }
  const QLabel& onScreen = *label;
  EXPECT_TRUE(QTest::qWaitFor([&] { return onScreen.text() == "100%"; }));
  EXPECT_EQ(label->width(), TextSize(*label).width());
  EXPECT_EQ(label->geometry().right(), right);
}

}  // namespace
