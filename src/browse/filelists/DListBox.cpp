#include "browse/filelists/DListBox.h"

#include "browse/filelists/DCombobox.h"
#include "browse/filelists/FListBox.h"
#include "browse/filelists/FileListing.h"
#include "browse/filelists/PathText.h"
#include "platform/files/Folders.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>

namespace kestrel {
namespace {

// The folder last shown on each volume, as a process keeps one current folder per drive.
QHash<QString, QString>& LastFolderOnVolume() {
  static QHash<QString, QString> folders;
  return folders;
}

// The folders of path below the volume root.
QStringList ComponentsBelow(const QString& root, const QString& path) {
  return path.mid(root.size()).split('/', Qt::SkipEmptyParts);
}

} // namespace

TDListBox::TDListBox(QWidget* parent) : TOwnerDrawList(parent) {
  resize(145, height());
  RecomputeItemHeight();
  Dir = CurrentDirectory();
  BuildList();
  connect(this, &TOwnerDrawList::DblClick, this, &TDListBox::OpenCurrent);
}

void TDListBox::SetFileList(TFListBox* list) {
  if (Files && Files != list) Files->Dirs = nullptr;
  Files = list;
  if (Files) Files->Dirs = this;
}

void TDListBox::SetDirLabel(QLabel* label) {
  Label = label;
  ShowDirLabel();
}

int TDListBox::GlyphHeight() const {
  return GlyphPixmap(TGlyph::OpenFolder).height() + 1;
}

TItemLayout TDListBox::LayoutOf(const TListItem& item) const {
  const int glyphWidth = GlyphPixmap(item.Glyph).width();
  return {item.Indent, glyphWidth + item.Indent + 4, false};
}

bool TDListBox::SamePath(const QString& a, const QString& b) const {
  return a.compare(b, Rules.CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

void TDListBox::BuildList() {
  Root = VolumeRootOf(Dir);
  Rules = CaseRulesOfPath(Dir);
  LastFolderOnVolume()[Root] = Dir;
  auto shown = [this](const QString& name) {
    return Rules.PreservesCase || Rules.CaseSensitive ? name : name.toLower();
  };
  const QStringList components = ComponentsBelow(Root, Dir);
  std::vector<TListItem> items;
  items.push_back(
      {Root, Root, components.isEmpty() ? TGlyph::CurrentFolder : TGlyph::OpenFolder, 2});
  for (int i = 0; i < components.size(); ++i) {
    const bool current = i == components.size() - 1;
    const int index = i + 1;
    items.push_back({shown(components[i]), components[i],
                     current ? TGlyph::CurrentFolder : TGlyph::OpenFolder, index * 4 + 2});
  }
  FirstSubFolder = int(items.size());
  Error.clear();
  Model.SetItems(std::move(items));
  SetItemIndex(CurrentFolderIndex());

  // The separators of the path, counted as a drive path counts them ("C:\a\b" has two).
  const int indent = (int(components.size()) + 1) * 4 + 6;
  const QString folder = Dir;
  const bool lowerCase = !Rules.PreservesCase && !Rules.CaseSensitive;
  SubFolders.Start([this, folder, indent, lowerCase]() -> TBackgroundRead::TApply {
    TListing listing = ReadSubFolders(folder, indent, lowerCase);
    return [this, listing = std::move(listing)]() mutable {
      Error = listing.Error;
      Model.Append(std::move(listing.Items));
    };
  });
}

QString TDListBox::ItemPath(int index) const {
  if (index <= 0) return Root;
  if (index < FirstSubFolder) {
    const QStringList components = ComponentsBelow(Root, Dir);
    QString path = Root;
    for (int i = 0; i < index && i < components.size(); ++i)
      path = JoinPath(path, components[i]);
    return path;
  }
  if (index >= Count()) return {};
  return JoinPath(Dir, Item(index).Name);
}

void TDListBox::SetDirectory(const QString& path) {
  if (path.isEmpty()) return;
  const QString target = QDir::cleanPath(QDir(Dir).absoluteFilePath(path));
  if (SamePath(target, Dir)) {
    Update();
    return;
  }
  ChangeDirectory(target); // raises, and nothing has changed
  const QString root = VolumeRootOf(target);
  if (root != Root) {
    ChangingDrive = true;
    try {
      if (Drives)
        Drives->SetDrive(root);
      else
        SetDrive(root);
    } catch (...) {
      ChangingDrive = false;
      throw;
    }
    ChangingDrive = false;
  }
  Dir = CurrentDirectory();
  BuildList();
  ReportChange();
}

void TDListBox::SetDrive(const QString& root) {
  if (ChangingDrive || root == Root) return; // a folder change under way moves there itself
  const QString last = LastFolderOnVolume().value(root);
  const QString target = !last.isEmpty() && QFileInfo(last).isDir() ? last : root;
  ChangeDirectory(target);
  Dir = CurrentDirectory();
  BuildList();
  ReportChange();
}

void TDListBox::Update() {
  BuildList();
}

void TDListBox::OpenCurrent() {
  const int index = ItemIndex();
  if (index < 0) return;
  try {
    SetDirectory(ItemPath(index));
  } catch (const EInOutError& error) {
    emit OpenFailed(QString::fromStdString(error.what()));
  }
}

void TDListBox::ReportChange() {
  if (Files) Files->SetDirectory(Dir);
  ShowDirLabel();
  emit Change();
}

void TDListBox::ShowDirLabel() {
  if (!Label) return;
  const int width = Label->width() > 0 ? Label->width() : this->width();
  const QFontMetrics metrics = Label->fontMetrics();
  Label->setText(MinimizeName(
      Dir, [&](const QString& text) { return metrics.horizontalAdvance(text); }, width));
}

void TDListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    OpenCurrent();
    return;
  }
  TOwnerDrawList::keyPressEvent(event);
}

void TDListBox::resizeEvent(QResizeEvent* event) {
  TOwnerDrawList::resizeEvent(event);
  ShowDirLabel();
}

TFListBox* TDListBox::FileList() const {
  return Files;
}

TDCombobox* TDListBox::DriveCombo() const {
  return Drives;
}

} // namespace kestrel
