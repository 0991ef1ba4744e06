#pragma once
// Stand-in programs for tests: PATH pointing at one folder for a while, and small scripts to put
// there.

#include "support/TempEnvironment.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kestrel::test {

// PATH pointing at one folder for the life of the object.
class TSearchPath {
public:
  explicit TSearchPath(const QString& folder) : saved_(qgetenv("PATH")) {
    qputenv("PATH", QFile::encodeName(folder));
  }
  ~TSearchPath() { qputenv("PATH", saved_); }
  TSearchPath(const TSearchPath&) = delete;
  TSearchPath& operator=(const TSearchPath&) = delete;

private:
  QByteArray saved_;
};

// An executable shell script at path.
inline void WriteScript(const QString& path, const QString& body) {
  WriteFile(path, ("#!/bin/sh\n" + body).toUtf8());
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace kestrel::test
