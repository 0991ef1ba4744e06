#include "desktop/sysinfo/SystemFigures.h"

#include "platform/display/ScreenDepth.h"
#include "platform/volumes/Volumes.h"

#include <QGuiApplication>
#include <QScreen>

namespace kestrel {

TSystemFigures TSystemFigures::Now() {
  TSystemFigures figures;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    figures.ScreenWidth = screen->size().width();
    figures.ScreenHeight = screen->size().height();
  }
  figures.ScreenDepth = kestrel::ScreenDepth();
  figures.Memory = MemoryStatus();
  for (const TVolume& volume : MountedVolumes()) {
    const TVolumeSpace space = VolumeSpace(volume.Root);
    figures.Volumes.append({volume.Root, volume.Label, space.Size, space.Free});
  }
  return figures;
}

QString ByteText(qint64 bytes) {
  static const char* const units[] = {" Bytes", " KB", " MB", " GB", " TB"};
  double amount = double(bytes);
  int unit = 0;
  while (amount >= 1024 && unit < 4) {
    amount /= 1024;
    ++unit;
  }
  QString text = QString::number(amount, 'f', unit == 0 ? 0 : 2);
  if (text.contains('.')) {
    while (text.endsWith('0'))
      text.chop(1);
    if (text.endsWith('.')) text.chop(1);
  }
  return text + units[unit];
}

} // namespace kestrel
