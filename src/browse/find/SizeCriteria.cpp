#include "browse/find/SizeCriteria.h"

#include <algorithm>

namespace kestrel {
namespace {

qint64 Kilobytes(const QString& field) {
  return std::max<qint64>(field.toLongLong(), 0);
}

} // namespace

TSizeCriteria::TSizeCriteria() {
  BoundsFromFields();
}

void TSizeCriteria::BoundsFromFields() {
  Bounds = {Kilobytes(AtLeast) * 1024, Kilobytes(AtMost) * 1024};
}

bool TSizeCriteria::AtLeastChanged() {
  if (AtLeast.isEmpty()) return false;
  if (Exact) return true;
  if (AtMost.isEmpty()) AtMost = "0";
  AtLeast = QString::number(Kilobytes(AtLeast));
  if (Kilobytes(AtMost) < Kilobytes(AtLeast)) AtMost = AtLeast;
  BoundsFromFields();
  return true;
}

bool TSizeCriteria::AtMostChanged() {
  if (AtMost.isEmpty()) return false;
  if (Exact) return true;
  if (AtLeast.isEmpty()) AtLeast = "0";
  AtMost = QString::number(std::max(Kilobytes(AtMost), Kilobytes(AtLeast)));
  BoundsFromFields();
  return true;
}

void TSizeCriteria::SetReference(qint64 size, bool exact) {
  Exact = exact;
  AtLeast = QString::number(size / 1024);
  AtMost = QString::number(size / 1024 + 1);
  if (exact)
    Bounds = {size, size};
  else
    BoundsFromFields();
}

} // namespace kestrel
