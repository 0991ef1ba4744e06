#include "desktop/rename/NameParts.h"

namespace kestrel {

TNameParts TNameParts::Split(const QString& name) {
  TNameParts parts;
  QString stem = name;
  const qsizetype dot = name.lastIndexOf('.');
  if (dot >= 0) {
    stem = name.left(dot);
    parts.Extension = name.mid(dot + 1);
  }
  qsizetype digits = stem.size();
  while (digits > 0 && stem[digits - 1] >= '0' && stem[digits - 1] <= '9')
    --digits;
  parts.Base = stem.left(digits);
  parts.Number = stem.mid(digits);
  return parts;
}

QString TNameParts::Joined() const {
  return Base + Number + (Extension.isEmpty() ? QString() : "." + Extension);
}

QString NextNumber(const QString& digits) {
  QString next = digits;
  for (qsizetype i = next.size() - 1; i >= 0; --i) {
    if (next[i] != '9') {
      next[i] = QChar(next[i].unicode() + 1);
      return next;
    }
    next[i] = '0';
  }
  return digits.isEmpty() ? digits : "1" + next;
}

QString NameProblem(const QString& name) {
  if (name.isEmpty()) return "Empty Name";
  if (name == "." || name == "..") return "Invalid Name";
  if (name.contains('/') || name.contains(QChar(0))) return "Invalid Name";
  return {};
}

} // namespace kestrel
