#include "IndependentReader.h"

#include <QFile>
#include <QProcess>

namespace kestrel::test {

std::optional<std::vector<QByteArray>> ReadWithPillow(const QStringList& files,
                                                      std::string* error) {
  QProcess reader;
  reader.start("/usr/bin/python3",
               QStringList{"-c", "import sys\n"
                                 "from PIL import Image\n"
                                 "for p in sys.argv[1:]:\n"
                                 "    i = Image.open(p).convert('RGB')\n"
                                 "    open(p + '.rgb', 'wb').write(i.tobytes())\n"} +
                   files);
  if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
    if (error) *error = reader.readAllStandardError().toStdString();
    return std::nullopt;
  }
  std::vector<QByteArray> pixels;
  for (const QString& file : files) {
    QFile raw(file + ".rgb");
    if (!raw.open(QIODevice::ReadOnly)) {
      if (error) *error = "no pixels for " + file.toStdString();
      return std::nullopt;
    }
    pixels.push_back(raw.readAll());
  }
  return pixels;
}

} // namespace kestrel::test
