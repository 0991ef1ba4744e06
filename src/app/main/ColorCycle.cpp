#include "app/main/ColorCycle.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <algorithm>

namespace kestrel {
namespace {

const TColor kCycle[TColorCycle::kCount] = {
    0xFFFF00, 0x000000, 0xFF0000, 0x808080, 0xFF00FF, 0x808080, 0x008000, 0x00FF00, 0xC0C0C0,
    0x000080, 0x800000, 0x008080, 0x800080, 0x0000FF, 0xC0C0C0, 0x808000, 0xFFFFFF, 0x00FFFF,
};

// System colours by the system's numbers (the code is the number with the top bit set).
QColor SystemColor(int number) {
  const QPalette palette = QApplication::palette();
  switch (number) {
  case 5: // window
    return palette.color(QPalette::Base);
  case 8: // window text
    return palette.color(QPalette::Text);
  case 13: // highlight
    return palette.color(QPalette::Highlight);
  case 14: // highlighted text
    return palette.color(QPalette::HighlightedText);
  case 18: // button text
    return palette.color(QPalette::ButtonText);
  default: // the face of panels and buttons
    return palette.color(QPalette::Button);
  }
}

} // namespace

QColor ToQColor(TColor color) {
  if (color < 0) return SystemColor(color & 0xFF);
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor FromQColor(const QColor& color) {
  return TColor(color.red() | (color.green() << 8) | (color.blue() << 16));
}

TColor ContrastColor(TColor background) {
  const int green = ToQColor(background).green();
  return green <= 150 ? 0xFFFFFF : 0x000000;
}

TColor TColorCycle::Entry(int position) {
  return kCycle[std::clamp(position, 0, kCount - 1)];
}

TColor TColorCycle::Step(bool rightButton) {
  Index = std::clamp(Index + (rightButton ? 1 : -1), 0, kCount - 1);
  return kCycle[Index];
}

void SetColors(QWidget* widget, const QColor& background, const QColor& text) {
  QPalette palette = widget->palette();
  for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
    palette.setColor(role, background);
  for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
    palette.setColor(role, text);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

} // namespace kestrel
