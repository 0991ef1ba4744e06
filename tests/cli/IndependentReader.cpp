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

std::optional<std::vector<QByteArray>> ReadWithImageMagick(const QStringList& files,
                                                           std::string* error) {
  std::vector<QByteArray> pixels;
  for (const QString& file : files) {
    QProcess reader;
    // The first page only, as 8-bit red, green, blue.
    reader.start("/usr/bin/convert", {file + "[0]", "-depth", "8", "rgb:-"});
    if (!reader.waitForFinished(60000) || reader.exitStatus() != QProcess::NormalExit ||
        reader.exitCode() != 0) {
      if (error) *error = reader.errorString().toStdString() + " " +
                          reader.readAllStandardError().toStdString();
      return std::nullopt;
    }
    pixels.push_back(reader.readAllStandardOutput());
  }
  return pixels;
}

} // namespace kestrel::test
