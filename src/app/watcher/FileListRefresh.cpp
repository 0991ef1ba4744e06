#include "app/watcher/FileListRefresh.h"

#include "app/watcher/UpThread.h"
#include "browse/filelists/FListBox.h"

#include <QDir>
#include <QFileInfo>
#include <QScrollBar>

namespace kestrel {

TListMemory TListMemory::Of(const TFListBox& list) {
  TListMemory memory;
  memory.Scroll = list.verticalScrollBar()->value();
  for (int i = 0; i < list.Count(); ++i) {
    if (list.Selected(i)) {
      memory.Position = i;
      memory.Name = list.Item(i).Name;
      break;
    }
  }
  return memory;
}

void TListMemory::RestoreIn(TFListBox& list) const {
  int index = -1;
  if (!Name.isEmpty()) {
    for (int i = 0; i < list.Count() && index < 0; ++i)
      if (list.Item(i).Name == Name) index = i;
  }
  if (index < 0 && Position >= 0 && Position < list.Count()) index = Position;
  list.clearSelection();
  if (index >= 0) list.SetItemIndex(index);
  // The scroll range follows the new items only once they are laid out.
  list.doItemsLayout();
  list.verticalScrollBar()->setValue(Scroll);
}

QString NearestExistingFolder(const QString& folder) {
  QString path = QDir::cleanPath(folder);
  for (;;) {
    const QFileInfo info(path);
    if (info.isDir() && info.isExecutable()) return path;
    const QString parent = TUpThread::ParentFolder(path);
    if (parent == path) return path;
    path = parent;
  }
}

bool LiesIn(const QString& file, const QString& folder) {
  return !file.isEmpty() &&
         QDir::cleanPath(QFileInfo(file).absolutePath()) == QDir::cleanPath(folder);
}

TFileStamp TFileStamp::Of(const QString& path) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isFile()) return {path, -1, {}};
  return {path, info.size(), info.lastModified()};
}

} // namespace kestrel
