// How the window reads away from the default look. In a dark palette every system colour follows
// the palette, also when the palette changes while the window is open, and the tab captions stay
// legible; at fractional scale factors the bars and the slider tracks paint solid, without a
// blended seam row.

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "MainFormFixture.h"
#include "TPanel.h"
#include "support/DarkPalette.h"
#include "widgets/TRangeSlider.h"
#include "widgets/TSideTabPageControl.h"
#include "widgets/TSmoothProgressBar.h"

namespace {

const QRgb kBarGreen = qRgb(0x28, 0xA0, 0x3C);
const QRgb kTrackBlue = qRgb(0x00, 0x7A, 0xD9);
const QRgb kWhite = qRgb(0xFF, 0xFF, 0xFF);

QImage Render(QWidget* widget, double ratio) {
  const QSize pixels(static_cast<int>(std::ceil(widget->width() * ratio)),
                     static_cast<int>(std::ceil(widget->height() * ratio)));
  QImage image(pixels, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::magenta);
  widget->render(&image);
  return image;
}

double Luminance(QRgb rgb) {
  const auto channel = [](int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
         0.0722 * channel(qBlue(rgb));
}

// The contrast ratio of two colours as the accessibility guidelines define it (1 to 21).
double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of a caption against its background: the commonest colour of the area is the
// background, the colour farthest from it the caption's ink.
double CaptionContrast(const QImage& image, const QRect& area) {
  std::map<QRgb, int> counts;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y)];
  const QRgb background =
      std::max_element(counts.begin(), counts.end(),
                       [](const auto& a, const auto& b) { return a.second < b.second; })
          ->first;
  double best = 1;
  for (const auto& [colour, count] : counts) best = std::max(best, Contrast(colour, background));
  return best;
}

using MainFormLook = MainFormFixture;

TEST_F(MainFormLook, DarkPaletteGivesADarkWindowWithLegibleTabs) {
  ShowForm();
  form_->SplashPanel->hide();
  const QImage lightImage = Render(form_.get(), 1);
  const qf_test::ScopedDarkPalette dark;  // the desktop turns dark while the window is open
  const QPalette& light = dark.Before();
  const std::set<QRgb> lightSystemColours{qRgb(0xF0, 0xF0, 0xF0),
                                          light.color(QPalette::Window).rgb(),
                                          light.color(QPalette::Button).rgb()};

  struct Look {
    const char* name;
    std::function<void()> show;
  };
  const std::vector<Look> looks{
      {"main page", [this] { form_->MyPageControl->SetActivePage(form_->TabSheet1); }},
      {"debug page", [this] { form_->MyPageControl->SetActivePage(form_->TabSheet3); }},
      {"splash", [this] { form_->SplashPanel->show(); }},
  };
  for (const Look& look : looks) {
    look.show();
    const QImage image = Render(form_.get(), 1);
    int lightPixels = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (!lightSystemColours.count(image.pixel(x, y))) continue;
        if (lightPixels++ == 0) {
          const QWidget* at = form_->childAt(x, y);
          ADD_FAILURE() << look.name << ": light system colour " << std::hex << image.pixel(x, y) << std::dec << " at " << x << "," << y << " in "
                        << (at ? at->objectName().toStdString() : "the window");
        }
      }
    }
    EXPECT_EQ(lightPixels, 0) << look.name;
  }

  // Both tab captions, in the strip along the left edge (tabs 108 pixels long), read at least
  // 4.5 : 1 against their tab, selected or not, in both palettes.
  form_->SplashPanel->hide();
  form_->MyPageControl->SetActivePage(form_->TabSheet1);
  const QImage darkImage = Render(form_.get(), 1);
  for (int tab = 0; tab < 2; ++tab) {
    const QRect caption(3, tab * 108 + 20, TSideTabPageControl::kTabStripThickness - 6, 68);
    EXPECT_GE(CaptionContrast(darkImage, caption), 4.5) << "dark, tab " << tab;
    EXPECT_GE(CaptionContrast(lightImage, caption), 4.5) << "light, tab " << tab;
  }
}

// ---- Fractional scale factors -----------------------------------------------------------------

struct Run {
  QRgb colour;
  int length;
};

// The colours down one device-pixel column of `widget`, over the device pixels that lie wholly
// inside it, as runs of equal colour.
std::vector<Run> ColumnRuns(const QImage& image, const QWidget* widget, int logicalX) {
  const double ratio = image.devicePixelRatio();
  const QPoint origin = widget->mapTo(widget->window(), QPoint(0, 0));
  const int x = static_cast<int>(std::floor((origin.x() + logicalX + 0.5) * ratio));
  const int top = static_cast<int>(std::ceil(origin.y() * ratio));
  const int bottom = static_cast<int>(std::floor((origin.y() + widget->height()) * ratio));
  std::vector<Run> runs;
  for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y) {
    const QRgb colour = image.pixel(x, y);
    if (runs.empty() || runs.back().colour != colour) {
      runs.push_back({colour, 1});
    } else {
      ++runs.back().length;
    }
  }
  return runs;
}

// Solid: every pixel of the column is one of the colours the widget and its parent paint with
// (a blended edge is none of them), and `fill` covers one unbroken run about `rows` high.
void ExpectSolid(const std::vector<Run>& runs, QRgb fill, const std::set<QRgb>& others,
                 double rows, const char* what) {
  std::string column;
  for (const Run& run : runs) column += QString::number(run.colour & 0xFFFFFF, 16).toStdString() + "x" + std::to_string(run.length) + " ";
  SCOPED_TRACE(column);
  int fillRuns = 0;
  for (const Run& run : runs) {
    if (run.colour == fill) {
      ++fillRuns;
      EXPECT_GE(run.length, std::floor(rows) - 1) << what;
    } else {
      EXPECT_TRUE(others.count(run.colour))
          << what << ": blended row " << std::hex << run.colour << " (" << std::dec << run.length
          << " px)";
    }
  }
  EXPECT_EQ(fillRuns, 1) << what;
}

class MainFormAtScale : public MainFormFixture, public ::testing::WithParamInterface<double> {};

TEST_P(MainFormAtScale, BarsAndTracksPaintSolid) {
  const double ratio = GetParam();
  ShowForm();
  form_->SplashPanel->hide();
  const qf_test::ScopedDarkPalette dark;
  const TMainForm::TPedalControls pedals[] = {form_->ControlsOf(PedalName::Throttle),
                                              form_->ControlsOf(PedalName::Brake),
                                              form_->ControlsOf(PedalName::Clutch)};
  for (const auto& c : pedals) {
    c.bar->SetPosition(50);
    c.slider->SetPositionLeft(20);
    c.slider->SetPositionRight(80);
  }
  const QImage image = Render(form_.get(), ratio);
  for (const auto& c : pedals) {
    const QRgb panel = c.panel->palette().color(QPalette::Button).rgb();
    const QRgb outline = c.slider->palette().color(QPalette::Button).rgb();
    // The bar: the fill is its inner height (4 of 5 rows), on white.
    ExpectSolid(ColumnRuns(image, c.bar, 100), kBarGreen, {kWhite, panel}, 4 * ratio, "bar");
    // The track: five rows inside the outline, blue between the thumbs and white beyond them.
    ExpectSolid(ColumnRuns(image, c.slider, 180), kTrackBlue, {outline, panel}, 5 * ratio,
                "track between the thumbs");
    ExpectSolid(ColumnRuns(image, c.slider, 330), kWhite, {outline, panel}, 5 * ratio,
                "track beyond the thumbs");
  }
}

INSTANTIATE_TEST_SUITE_P(Ratios, MainFormAtScale, ::testing::Values(1.0, 1.25, 1.5, 1.75, 2.0),
                         [](const ::testing::TestParamInfo<double>& row) {
                           // Appended, not "x" + ...: g++ 12 -O3 (MinGW) warns falsely on that.
                           std::string name = "x";
                           name += std::to_string(static_cast<int>(row.param * 100));
                           return name;
                         });

}  // namespace
