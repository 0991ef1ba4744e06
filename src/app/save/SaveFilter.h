#pragma once
// The filter of the "Save Image As" dialog, the entry it preselects for a name, and the name it
// proposes.

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace kestrel {

// The 14 entries, each "description|patterns|" (the last without its closing bar). The filter has
// no GIF entry: a name typed with ".gif" is still written as GIF, since the extension decides.
const std::vector<std::string>& SaveFilterEntries();
// The entries joined: the dialog's filter.
std::string SaveFilter();
// The 1-based entry to preselect for a name, by its kind: BMP 1, JPEG 2, GIF and icons 3 (the icon
// entry), WMF 4, EMF 5, PNG 6, TIFF 7, TGA 8, VST 9, AFI 10, PCC 11, PCX 12, DCX 13, WAVE 14
// ("All Files"), any other 15.
int FilterIndexFor(const std::string& name);

// The name "Save Image As" proposes: the first selected file, else the window's caption when it
// names an existing file, else "unknown.bmp".
QString ProposedSaveName(const QStringList& selectedFiles, const QString& caption);

} // namespace kestrel
