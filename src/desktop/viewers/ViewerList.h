#pragma once
// The stored list of external viewers (section "External Viewer": the programs' paths as values
// "A", "B", ... in list order, and "checked" = 0), and opening a file with one of them.

#include <QString>
#include <QStringList>

#include <chrono>

namespace kestrel {

// The letters "A".."Z" give the list room for this many programs.
inline constexpr int kMaxViewers = 26;
// How long one check for a stored program may take: a dead network mount answers late or never.
inline constexpr std::chrono::milliseconds kExistenceLimit{200};

// The stored programs in order: gaps and empty values skipped, each program once, the ones no
// longer there dropped. A check that does not answer in time keeps its program.
QStringList LoadViewers();
// Replaces the stored list with programs, lettered from "A".
void SaveViewers(const QStringList& programs);
// The paths whose file exists, in order; all are checked at once, none waited for longer than
// limit (a late one counts as existing).
QStringList ExistingFiles(const QStringList& paths, std::chrono::milliseconds limit);

// Opens file with program in file's folder. With no program or no file the folder (file's, or
// currentFolder) opens in the desktop's file manager. Empty, or what went wrong.
QString OpenInViewer(const QString& program, const QString& file, const QString& currentFolder);

} // namespace kestrel
