#pragma once
// The undo file of a running copy: "Kestrel.dat" in the undo folder, or "Kestrel(1).dat",
// "Kestrel(2).dat"... the first name no other copy holds.

#include <QFile>
#include <QString>

#include <memory>

namespace kestrel {

// Creates the first free name new (so a copy starting at the same moment cannot take the same
// one) and opens it for reading and writing; null when the folder cannot be written.
std::unique_ptr<QFile> OpenUndoFile(const QString& folder);
// Deletes the undo files earlier runs left behind ("*.dat").
void ClearUndoFolder(const QString& folder);

} // namespace kestrel
