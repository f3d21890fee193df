#pragma once
// The window's fonts, by character height in pixels. Tahoma and Segoe UI fall back to the
// closest installed sans font where they are missing.

#include <QFont>

QFont WindowFont();  // Tahoma, 11 px
QFont SegoeUi(int pixels, bool bold = false);
void RegisterFontFallbacks();
