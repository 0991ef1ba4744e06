#include "app/main/ColorCycle.h"

#include "support/TestApplication.h"

#include <QPalette>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(ColorCycle, StepsByButtonAndStopsAtTheEnds) {
  TColorCycle cycle;
  EXPECT_EQ(cycle.Step(false), 0xFFFF00); // already at the start: stays
  EXPECT_EQ(cycle.Position(), 0);
  EXPECT_EQ(cycle.Step(true), 0x000000);
  EXPECT_EQ(cycle.Step(true), 0xFF0000);
  EXPECT_EQ(cycle.Step(false), 0x000000);
  for (int i = 0; i < 30; ++i)
    cycle.Step(true);
  EXPECT_EQ(cycle.Position(), 17);
  EXPECT_EQ(cycle.Step(true), 0x00FFFF); // does not wrap
  EXPECT_EQ(TColorCycle::Entry(8), 0xC0C0C0);
  EXPECT_EQ(TColorCycle::Entry(13), 0x0000FF);
}

TEST(ColorCycle, ContrastDependsOnTheGreenByte) {
  EXPECT_EQ(ContrastColor(0x000000), 0xFFFFFF);
  EXPECT_EQ(ContrastColor(0x009600), 0xFFFFFF); // green 150
  EXPECT_EQ(ContrastColor(0x009700), 0x000000); // green 151
  EXPECT_EQ(ContrastColor(0xFF00FF), 0xFFFFFF); // bright, but no green
  EXPECT_EQ(ContrastColor(0x00FFFF), 0x000000);
}

TEST(ColorCycle, StoredColoursAreBlueGreenRed) {
  test::TestApplication();
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(FromQColor(QColor(1, 2, 3)), 0x030201);
  // A system colour is resolved first: the window colour of the palette.
  EXPECT_EQ(ToQColor(qint32(0x80000005)), QApplication::palette().color(QPalette::Base));
  const QColor window = QApplication::palette().color(QPalette::Base);
  EXPECT_EQ(ContrastColor(qint32(0x80000005)), window.green() <= 150 ? 0xFFFFFF : 0x000000);
}

} // namespace
} // namespace kestrel
