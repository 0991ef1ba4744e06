#pragma once
// Pictures read back by programs that are not ours (Pillow, ImageMagick), for tests that check
// what kestrel-tool writes.

#include <QByteArray>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

// Each file's pixels as Pillow reads them, converted to RGB: 3 bytes a pixel, rows from the top.
// Nothing (and the reason in error) when Pillow is not there or fails.
std::optional<std::vector<QByteArray>> ReadWithPillow(const QStringList& files,
                                                      std::string* error = nullptr);

// The same through ImageMagick's convert (whose DCX reader takes pages of 256 colours, which
// Pillow's misreads).
std::optional<std::vector<QByteArray>> ReadWithImageMagick(const QStringList& files,
                                                           std::string* error = nullptr);

} // namespace kestrel::test
