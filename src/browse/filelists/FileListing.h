#pragma once
// Reading a folder for the lists. These run on a worker thread: plain data in, plain data out.

#include "browse/filelists/FileType.h"
#include "browse/filelists/ListItem.h"

#include <QString>
#include <QStringList>

namespace kestrel {

struct TListing {
  std::vector<TListItem> Items; // sorted
  QString Error;                // why the folder could not be read; empty when it could
};

// The entries of directory that match mask (patterns split at ";", each pattern in turn, so a
// name matching two is listed twice) and that types admits: a folder as "[name]", a file as its
// name, with their glyphs when showGlyphs is on.
TListing ReadFileListing(const QString& directory, const QString& mask, TFileType types,
                         bool showGlyphs);

// The sub-folders of directory as closed-folder items with the given indent, except "." and "..",
// hidden ones and any whose lower-cased name is "recycled"; shown in lower case when lowerCase.
TListing ReadSubFolders(const QString& directory, int indent, bool lowerCase);

} // namespace kestrel
