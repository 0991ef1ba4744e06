// Writes the desktop integration a package installs, with the code the installation window
// uses: OUTDIR/kestrel.desktop (the launcher with the MIME list, shown in the menu, starting
// "kestrel" from PATH) and OUTDIR/icons/hicolor/NxN/apps/kestrel.png at the theme's sizes.

#include "desktop/install/AppIcon.h"
#include "desktop/install/DesktopEntry.h"
#include "desktop/install/FileTypes.h"
#include "desktop/install/FileWriting.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstdio>

namespace {

bool Write(const QString& file, const QByteArray& bytes) {
  const QString problem = kestrel::WriteWholeFile(file, bytes, std::nullopt);
  if (!problem.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(problem));
  return problem.isEmpty();
}

QByteArray Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const kestrel::TDesktopEntry entry{"kestrel", "kestrel", kestrel::AllMimeTypes(), true, false};
  bool written = Write(out + "/kestrel.desktop", entry.Text());
  for (const int size : kestrel::kAppIconSizes)
    written =
        written && Write(QString("%1/icons/hicolor/%2x%2/apps/kestrel.png").arg(out).arg(size),
                         Png(kestrel::AppIcon(size)));
  return written ? 0 : 1;
}
