#pragma once
// A file name as three parts the rename window edits apart: the base, the number at the end of
// the stem, and the extension ("photo012.jpg" is photo, 012 and jpg), and the checks a new name
// must pass.

#include <QString>

namespace kestrel {

struct TNameParts {
  QString Base;
  QString Number;    // decimal digits only, possibly empty
  QString Extension; // without its dot

  static TNameParts Split(const QString& name);
  // Base + Number + "." + Extension, the dot left out without an extension.
  QString Joined() const;
};

// The digit string plus one, as long as it was (leading zeros kept: 009 gives 010) unless it
// needs one more digit (99 gives 100). Works on the digits themselves, so any length counts on;
// an empty string stays empty.
QString NextNumber(const QString& digits);

// Why name cannot be a file or folder name: empty when it can. An empty name, "." and "..", and a
// name holding "/" or a zero character are refused.
QString NameProblem(const QString& name);

} // namespace kestrel
