#pragma once
// The machine's memory as the system reports it (/proc/meminfo here).

#include <QByteArray>

namespace kestrel {

struct TMemoryStatus {
  qint64 Physical = 0;  // bytes of memory in the machine
  qint64 Available = 0; // bytes a program can have without the system swapping
};

// The figures of a meminfo text ("MemTotal:  16314060 kB" lines); a figure it lacks is 0. Older
// systems without "MemAvailable" count free memory and the page cache instead.
TMemoryStatus ParseMemInfo(const QByteArray& text);
// The figures now; zeros when they cannot be read.
TMemoryStatus MemoryStatus();

} // namespace kestrel
