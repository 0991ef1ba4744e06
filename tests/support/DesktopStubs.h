#pragma once
// Stand-ins for the desktop's tools (xdg-mime, update-mime-database, update-desktop-database):
// scripts on a PATH of their own that log their arguments, so a test sees what was asked of the
// desktop without touching it. XDG_DATA_DIRS names an empty folder of the test's, so what the
// machine has installed stays out; a test may put a package's files there.

#include "support/TempEnvironment.h"

#include <QDirIterator>
#include <QStringList>

namespace kestrel::test {

class TDesktopStubs {
public:
  explicit TDesktopStubs(const TTempEnvironment& env)
      : Bin(env.Folder("bin")), Log(env.Path() + "/tools.log"), System(env.Folder("system")) {
    for (const char* name : {"PATH", "XDG_DATA_DIRS"})
      Saved[name] = qgetenv(name);
    qputenv("PATH", QFile::encodeName(Bin));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(System));
    for (const char* tool : {"xdg-mime", "update-mime-database", "update-desktop-database"})
      Stub(tool);
  }
  ~TDesktopStubs() {
    for (const auto& [name, value] : Saved)
      value.isNull() ? qunsetenv(name.c_str()) : qputenv(name.c_str(), value);
  }
  TDesktopStubs(const TDesktopStubs&) = delete;
  TDesktopStubs& operator=(const TDesktopStubs&) = delete;

  // The tool logs "tool arg arg ..." and then runs body.
  void Stub(const QString& tool, const QString& body = "exit 0") const {
    const QString script = "#!/bin/sh\n"
                           "{ printf '%s' '" +
                           tool +
                           "'; for a in \"$@\"; do printf ' %s' \"$a\"; "
                           "done; printf '\\n'; } >> '" +
                           Log + "'\n" + body + "\n";
    WriteFile(Bin + "/" + tool, script.toUtf8());
    QFile::setPermissions(Bin + "/" + tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  void Remove(const QString& tool) const { QFile::remove(Bin + "/" + tool); }
  QStringList Calls() const {
    return QString::fromUtf8(FileBytes(Log)).split('\n', Qt::SkipEmptyParts);
  }
  void ClearCalls() const { QFile::remove(Log); }
  QString SystemData() const { return System; }

private:
  QString Bin, Log, System;
  std::map<std::string, QByteArray> Saved;
};

// Writes the file, making its folder first.
inline void WriteFileInFolder(const QString& name, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(name).path());
  WriteFile(name, bytes);
}

// A program that records how it was started: the number of its arguments, each argument and its
// working folder, one a line. The record appears whole (written aside, then renamed).
inline void WriteRecordingProgram(const QString& program, const QString& record) {
  const QString script = "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" \"$(pwd)\" > '" + record +
                         ".new'\n/bin/mv '" + record + ".new' '" + record + "'\n";
  WriteFile(program, script.toUtf8());
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Every folder and file under root, one "relative path: content" line each (a folder's content
// is "folder"), leaving out the names in skip.
inline QStringList FileTree(const QString& root, const QStringList& skip = {}) {
  QStringList tree;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString relative = path.mid(root.size() + 1);
    bool skipped = false;
    for (const QString& name : skip)
      skipped = skipped || relative == name || relative.startsWith(name + "/");
    if (skipped) continue;
    const QString content = it.fileInfo().isDir()
                                ? QString("folder")
                                : QString::fromUtf8(FileBytes(path)).replace('\n', "|");
    tree << relative + ": " + content;
  }
  tree.sort();
  return tree;
}

} // namespace kestrel::test
