#pragma once
// The name proposed for saving an index page: "!" + the folder's name + "_idx.jpg" in the folder
// of the file list's current file, numbered "(1)", "(2)", ... while a file of that name exists.

#include <QString>

#include <functional>

namespace kestrel {

// The folder's part of the name: the folder's name without its extension; for the root of a
// volume the volume's label, else the last part of its root ("Root" for "/"), followed by
// "_Drive".
QString IndexNameStem(const QString& folder, const QString& volumeRoot, const QString& volumeLabel);

// folder + "/!" + stem + suffix + "_idx.jpg", the suffix empty or the first "(n)" for which
// exists says no.
QString ProposeIndexName(const QString& folder, const QString& stem,
                         const std::function<bool(const QString& path)>& exists);

// The proposal for the folder holding currentFile, on the disk as it is; empty when there is no
// current file.
QString ProposeIndexNameFor(const QString& currentFile);

} // namespace kestrel
