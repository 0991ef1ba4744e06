#include "platform/memory/MemoryStatus.h"

#include <QFile>
#include <QHash>
#include <QList>

#include <limits>

namespace kestrel {

TMemoryStatus ParseMemInfo(const QByteArray& text) {
  QHash<QByteArray, qint64> kilobytes;
  for (const QByteArray& line : text.split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) continue;
    const QList<QByteArray> value = line.mid(colon + 1).simplified().split(' ');
    bool ok = false;
    const qint64 amount = value[0].toLongLong(&ok);
    // Beyond this the byte count would not fit: a figure no machine has is left out.
    if (!ok || amount < 0 || amount > std::numeric_limits<qint64>::max() / 1024) continue;
    kilobytes.insert(line.left(colon), amount);
  }
  TMemoryStatus status;
  status.Physical = kilobytes.value("MemTotal") * 1024;
  status.Available =
      kilobytes.contains("MemAvailable")
          ? kilobytes.value("MemAvailable") * 1024
          : (kilobytes.value("MemFree") + kilobytes.value("Buffers") + kilobytes.value("Cached")) *
                1024;
  return status;
}

TMemoryStatus MemoryStatus() {
  QFile info("/proc/meminfo");
  // A file of the proc system reports no size: it is read to its end.
  if (!info.open(QIODevice::ReadOnly)) return {};
  return ParseMemInfo(info.readAll());
}

} // namespace kestrel
