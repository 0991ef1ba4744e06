#include "app/main/RecentFolders.h"

#include "platform/settings/Settings.h"

#include <QFileInfo>

namespace kestrel {
namespace {

const char kSection[] = "Recent Folders";

QString Letter(int position) {
  return QString(QChar(65 + position));
}

} // namespace

void TRecentFolders::Add(const QString& folder) {
  Folders.removeAll(folder);
  Folders.prepend(folder);
  while (Folders.size() > kLimit)
    Folders.removeLast();
  Store();
}

void TRecentFolders::Store() const {
  std::vector<std::pair<QString, TSettingValue>> values;
  for (int i = 0; i < Folders.size(); ++i)
    values.emplace_back(Letter(i), Folders[i]);
  ReplaceSection(kSection, values);
}

void TRecentFolders::Load() {
  Folders.clear();
  const int count = ListSection(kSection).NumValues;
  for (int position = 0; position < count; ++position) {
    TSettingValue value = QString();
    ReadSetting(kSection, Letter(position), value);
    const QString folder = std::get<QString>(value);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) Folders.append(folder);
  }
}

} // namespace kestrel
