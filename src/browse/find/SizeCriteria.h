#pragma once
// The size fields of the find window: "At Least" and "At most" in kilobytes as typed, and the
// inclusive bounds in bytes they give, or the exact size of a reference file.

#include "browse/find/FindCriteria.h"

#include <QString>

namespace kestrel {

class TSizeCriteria {
public:
  static constexpr int kDigits = 12; // kilobytes: bounds far beyond any file, still in 64 bits

  TSizeCriteria();

  // A field was changed (and left). False when it is empty: the change is refused. With Exact
  // nothing else happens; otherwise "At most" never stays below "At Least", and both bounds
  // follow the fields.
  bool AtLeastChanged();
  bool AtMostChanged();

  // A reference file of size bytes: its whole kilobyte and the next ("At Least" s / 1024, "At
  // most" s / 1024 + 1, the bounds from them), or with exact only s itself.
  void SetReference(qint64 size, bool exact);

  QString AtLeast = "0";
  QString AtMost = "1048576"; // 1 GB
  bool Exact = false;
  TSizeBounds Bounds;

private:
  void BoundsFromFields();
};

} // namespace kestrel
