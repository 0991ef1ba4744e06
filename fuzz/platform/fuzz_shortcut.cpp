// The shortcut readers: any bytes give a target or nothing, never a read past the data.

#include "platform/files/Shortcut.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > size_t(kestrel::kLongestShortcut)) return 0;
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  kestrel::ShellLinkTarget(bytes);
  kestrel::DesktopLinkTarget(bytes);
  return 0;
}
