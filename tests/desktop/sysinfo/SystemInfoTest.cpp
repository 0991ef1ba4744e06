// The system-information window: real figures, taken afresh each time it opens.

#include "desktop/sysinfo/SystemInfoDlg.h"

#include "support/TestApplication.h"

#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdio>

namespace kestrel {
namespace {

// MemTotal of /proc/meminfo in bytes, read here on its own.
qint64 MemTotal() {
  QFile file("/proc/meminfo");
  if (!file.open(QIODevice::ReadOnly)) return -1;
  long long kilobytes = -1;
  for (const QByteArray& line : file.readAll().split('\n'))
    if (std::sscanf(line.constData(), "MemTotal: %lld kB", &kilobytes) == 1) break;
  return kilobytes * 1024;
}

TEST(SystemFigures, AreTheSystemsOwn) {
  test::TestApplication();
  const TSystemFigures figures = TSystemFigures::Now();
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(QSize(figures.ScreenWidth, figures.ScreenHeight), screen->size());
  EXPECT_EQ(figures.ScreenDepth, screen->depth());
  EXPECT_EQ(figures.Memory.Physical, MemTotal());
  EXPECT_GT(figures.Memory.Available, 0);
  EXPECT_LE(figures.Memory.Available, figures.Memory.Physical);
  const QStorageInfo root = QStorageInfo::root();
  bool listed = false;
  for (const TVolumeFigures& volume : figures.Volumes) {
    if (volume.Root != "/") continue;
    listed = true;
    EXPECT_EQ(volume.Size, root.bytesTotal());
    // Other programs write meanwhile.
    EXPECT_NEAR(double(volume.Free), double(root.bytesAvailable()), 64.0 * 1024 * 1024);
  }
  EXPECT_TRUE(listed);
}

TEST(SystemInfoDlg, IsModalAndTakesItsFiguresAfreshEachTimeItOpens) {
  test::TestApplication();
  int taken = 0;
  TSystemInfoDlg dialog(nullptr, [&taken] {
    ++taken;
    TSystemFigures figures;
    figures.ScreenWidth = 800 * taken;
    figures.ScreenHeight = 600;
    figures.ScreenDepth = 16;
    figures.Memory = {8LL << 30, qint64(taken) << 30};
    figures.Volumes = {{"/", "", 100LL << 30, 1536}, {"/mnt/stick", "STICK", 2048, 1024 * taken}};
    return figures;
  });
  for (int open = 1; open <= 2; ++open) {
    bool modal = false;
    QTimer::singleShot(0, &dialog, [&] {
      modal = QApplication::activeModalWidget() == &dialog;
      dialog.accept();
    });
    dialog.exec();
    EXPECT_TRUE(modal);
    EXPECT_EQ(taken, open);
    EXPECT_EQ(dialog.Display->text(), QString("%1 x 600, 16 bits per pixel").arg(800 * open));
    EXPECT_EQ(dialog.Physical->text(), "8 GB");
    EXPECT_EQ(dialog.Available->text(), QString("%1 GB").arg(open));
    ASSERT_EQ(dialog.Drives->topLevelItemCount(), 2);
    const QTreeWidgetItem* system = dialog.Drives->topLevelItem(0);
    EXPECT_EQ(QStringList({system->text(0), system->text(1), system->text(2)}),
              QStringList({"/", "100 GB", "1.5 KB"}));
    const QTreeWidgetItem* stick = dialog.Drives->topLevelItem(1);
    EXPECT_EQ(QStringList({stick->text(0), stick->text(1), stick->text(2)}),
              QStringList({"/mnt/stick [STICK]", "2 KB", QString("%1 KB").arg(open)}));
  }
}

} // namespace
} // namespace kestrel
