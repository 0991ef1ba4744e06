#pragma once
// Colours as the settings store keeps them (0x00BBGGRR, negative values naming system colours),
// the 18-entry cycle that Shift-clicks step through, and the text colour that reads on a
// background.

#include <QColor>

class QWidget;

namespace kestrel {

using TColor = qint32;

// 0x00BBGGRR, or a negative system-colour code, resolved to the colour it stands for now.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

// White when the background's green byte is 150 or less, else black.
TColor ContrastColor(TColor background);
// Gives a control a background and a text colour.
void SetColors(QWidget* widget, const QColor& background, const QColor& text);

class TColorCycle {
public:
  static constexpr int kCount = 18;
  static TColor Entry(int position);

  int Position() const { return Index; }
  // One step back for the left button, forward for the right one, stopping at the ends.
  TColor Step(bool rightButton);

private:
  int Index = 0;
};

} // namespace kestrel
