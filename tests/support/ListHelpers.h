#pragma once
// Reading the lists of the file view in tests.

#include "browse/filelists/OwnerDrawList.h"

#include <QDir>
#include <QStringList>

namespace kestrel::test {

inline QStringList Texts(const TOwnerDrawList& list) {
  QStringList texts;
  for (int i = 0; i < list.Count(); ++i)
    texts << list.Item(i).Text;
  return texts;
}

// Restores the process's current folder, which the lists change, when a test ends.
class TKeepCurrentFolder {
public:
  ~TKeepCurrentFolder() { QDir::setCurrent(Saved); }

private:
  QString Saved = QDir::currentPath();
};

} // namespace kestrel::test
