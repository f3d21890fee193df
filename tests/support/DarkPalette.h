#pragma once
// A dark desktop palette of the kind dark themes give Qt: light texts on dark faces, in every
// colour role a widget paints with.

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace qf_test {

inline QPalette DarkPalette() {
  const QColor face(0x35, 0x35, 0x35);
  const QColor field(0x24, 0x24, 0x24);
  const QColor text(0xE6, 0xE6, 0xE6);
  const QColor greyed(0x80, 0x80, 0x80);
  QPalette look(text, face, QColor(0x50, 0x50, 0x50), QColor(0x1E, 0x1E, 0x1E),
                QColor(0x2A, 0x2A, 0x2A), text, QColor(0xFF, 0xFF, 0xFF), field, face);
  look.setColor(QPalette::Button, QColor(0x3C, 0x3C, 0x3C));
  look.setColor(QPalette::ButtonText, text);
  look.setColor(QPalette::AlternateBase, QColor(0x2C, 0x2C, 0x2C));
  look.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
  look.setColor(QPalette::HighlightedText, QColor(0xFF, 0xFF, 0xFF));
  look.setColor(QPalette::Link, QColor(0x5A, 0xA9, 0xF0));
  look.setColor(QPalette::ToolTipBase, face);
  look.setColor(QPalette::ToolTipText, text);
  look.setColor(QPalette::PlaceholderText, greyed);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    look.setColor(QPalette::Disabled, role, greyed);
  return look;
}

// The application runs with the dark palette while this object lives; the palette it had
// before comes back afterwards.
class ScopedDarkPalette {
 public:
  // Windows take a new palette on to their children as they handle its change event.
  ScopedDarkPalette() : saved_(QApplication::palette()) {
    QApplication::setPalette(DarkPalette());
    QCoreApplication::processEvents();
  }
  ~ScopedDarkPalette() {
    QApplication::setPalette(saved_);
    QCoreApplication::processEvents();
  }
  ScopedDarkPalette(const ScopedDarkPalette&) = delete;
  ScopedDarkPalette& operator=(const ScopedDarkPalette&) = delete;

  const QPalette& Before() const { return saved_; }

 private:
  QPalette saved_;
};

}  // namespace qf_test
