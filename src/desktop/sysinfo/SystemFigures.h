#pragma once
// The figures the system-information window shows: the screen, the memory and each mounted
// volume, as the system reports them at the moment they are taken.

#include "platform/memory/MemoryStatus.h"

#include <QList>
#include <QString>

namespace kestrel {

struct TVolumeFigures {
  QString Root;  // the mount point
  QString Label; // empty when the volume has none
  qint64 Size = 0;
  qint64 Free = 0; // what a user may still write
};

struct TSystemFigures {
  int ScreenWidth = 0;
  int ScreenHeight = 0;
  int ScreenDepth = 0; // bits per pixel
  TMemoryStatus Memory;
  QList<TVolumeFigures> Volumes;

  // The figures now: the primary screen, /proc's memory and the mounted volumes.
  static TSystemFigures Now();
};

// A byte count in the largest unit that keeps it at 1 or more, with up to two decimals:
// "512 Bytes", "1.5 KB", "7.63 GB".
QString ByteText(qint64 bytes);

} // namespace kestrel
