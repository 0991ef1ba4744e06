#pragma once
// Points the settings, data (the Trash among them), cache and runtime folders (and the home folder)
// at a fresh temporary folder for one test, so no test ever reads or writes the user's own files,
// and restores the environment afterwards.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <map>

namespace kestrel::test {

class TTempEnvironment {
public:
  TTempEnvironment() {
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "HOME"}) {
      Saved[name] = qgetenv(name);
      const QString folder = Root.path() + "/" + QString(name).toLower();
      QDir().mkpath(folder);
      QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      qputenv(name, QFile::encodeName(folder));
    }
  }
  ~TTempEnvironment() {
    for (const auto& [name, value] : Saved) {
      if (value.isNull())
        qunsetenv(name.c_str());
      else
        qputenv(name.c_str(), value);
    }
  }
  TTempEnvironment(const TTempEnvironment&) = delete;
  TTempEnvironment& operator=(const TTempEnvironment&) = delete;

  QString Path() const { return Root.path(); }
  QString ConfigHome() const { return Root.path() + "/xdg_config_home"; }
  QString DataHome() const { return Root.path() + "/xdg_data_home"; }
  QString CacheHome() const { return Root.path() + "/xdg_cache_home"; }
  QString RuntimeDir() const { return Root.path() + "/xdg_runtime_dir"; }
  QString Home() const { return Root.path() + "/home"; }
  QString StoreFile() const { return ConfigHome() + "/Brackwell/Kestrel.reg"; }

  // A folder of its own under the temporary root, created on demand.
  QString Folder(const QString& relative) const {
    const QString path = Root.path() + "/" + relative;
    QDir().mkpath(path);
    return path;
  }

private:
  QTemporaryDir Root;
  std::map<std::string, QByteArray> Saved;
};

// The whole content of a file, empty when it does not exist.
inline QByteArray FileBytes(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteFile(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

// A file of size bytes (sparse: only its size matters), with the folders above it; false when it
// cannot be made.
inline bool WriteSizedFile(const QString& name, qint64 size) {
  QDir().mkpath(QFileInfo(name).absolutePath());
  QFile file(name);
  return file.open(QIODevice::WriteOnly) && file.resize(size);
}

} // namespace kestrel::test
