#pragma once
// The picture types Kestrel opens and the installation window's check boxes that make it their
// default program. Every MIME type comes from the one list the build compiles in.

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrel {

// One check box of the "Extensions" page.
struct TFileTypeBox {
  const char* Group;   // the list's group: "tiff"
  const char* Name;    // "ChkTiff"
  const char* Caption; // "TIFF(.tiff)"
  int Bit;             // its bit of "Associations"/"Extensions"
};

// The boxes in the page's order.
const std::vector<TFileTypeBox>& FileTypeBoxes();
// Every box checked.
inline constexpr int kAllFileTypes = 4095;

// Every type of the list, in its order: the launcher's MIME list.
QStringList AllMimeTypes();
// The types of one group.
QStringList MimeTypesOf(const QString& group);
// The types the checked bits make Kestrel's default, in the list's order.
QStringList DefaultTypes(int extensionBits);

} // namespace kestrel
