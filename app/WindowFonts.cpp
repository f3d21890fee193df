#include "WindowFonts.h"

#include <QStringList>

namespace {
QFont FontOf(const QString& family, int pixels, bool bold) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}
}  // namespace

void RegisterFontFallbacks() {
  // Liberation Sans is metric-compatible with the fonts these two were designed beside, so the
  // texts keep about the widths the layout was drawn for.
  const QStringList fallbacks{"Liberation Sans", "Arial", "DejaVu Sans"};
  for (const char* family : {"Tahoma", "Segoe UI"}) {
    if (QFont::substitutes(family).isEmpty()) QFont::insertSubstitutions(family, fallbacks);
  }
}

QFont WindowFont() { return FontOf("Tahoma", 11, false); }

QFont SegoeUi(int pixels, bool bold) { return FontOf("Segoe UI", pixels, bold); }
