#include "browse/filelists/DCombobox.h"

#include "browse/filelists/DListBox.h"
#include "browse/filelists/OwnerDrawList.h"
#include "platform/files/Folders.h"

#include <QEvent>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace kestrel {
namespace {

TGlyph GlyphOf(TDriveType type) {
  switch (type) {
  case TDriveType::Removable:
    return TGlyph::Floppy;
  case TDriveType::Remote:
    return TGlyph::Network;
  case TDriveType::CDRom:
    return TGlyph::CDRom;
  case TDriveType::RamDisk:
    return TGlyph::Ram;
  case TDriveType::Fixed:
    break;
  }
  return TGlyph::Hard;
}

QString Cased(const QString& text, TTextCase textCase) {
  return textCase == tcUpperCase ? text.toUpper() : text.toLower();
}

class TDriveDelegate : public QStyledItemDelegate {
public:
  explicit TDriveDelegate(TDCombobox* box) : QStyledItemDelegate(box), Box(box) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const auto& volumes = Box->Volumes();
    if (index.row() < 0 || index.row() >= volumes.size()) return;
    const TGlyph glyph = GlyphOf(volumes[index.row()].Type);
    const int glyphWidth = GlyphPixmap(glyph).isNull() ? 10 : GlyphPixmap(glyph).width();
    DrawOwnerDrawnItem(painter, option, glyph, index.data().toString(),
                       TItemLayout{2, glyphWidth + 6, true});
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), Box->ItemHeight()};
  }

private:
  TDCombobox* Box;
};

} // namespace

TDCombobox::TDCombobox(QWidget* parent) : QComboBox(parent), Source(&MountedVolumes) {
  setItemDelegate(new TDriveDelegate(this));
  setIconSize(QSize(16, 16));
  CurrentDrive = VolumeRootOf(CurrentDirectory());
  BuildList();
  connect(this, &QComboBox::activated, this, &TDCombobox::UserChoice);
}

void TDCombobox::SetDirList(TDListBox* list) {
  if (Dirs && Dirs != list) Dirs->Drives = nullptr;
  Dirs = list;
  if (Dirs) Dirs->Drives = this;
}

void TDCombobox::SetTextCase(TTextCase textCase) {
  if (textCase == Case) return;
  Case = textCase;
  BuildList();
}

void TDCombobox::SetVolumeSource(TVolumeSource source) {
  Source = std::move(source);
  BuildList();
}

QString TDCombobox::ItemText(const TVolume& volume, TTextCase textCase) {
  switch (volume.Type) {
  case TDriveType::Removable:
    return volume.Root;
  case TDriveType::Remote:
    if (!volume.Device.isEmpty()) return volume.Root + " " + Cased(volume.Device, textCase);
    break;
  default:
    break;
  }
  if (volume.Label.isEmpty()) return volume.Root;
  return volume.Root + " " + QString("[%1]").arg(Cased(volume.Label, textCase));
}

int TDCombobox::ItemHeight() const {
  return std::max(fontMetrics().height(), GlyphPixmap(TGlyph::Floppy).height());
}

void TDCombobox::BuildList() {
  Listed = Source ? Source() : QList<TVolume>();
  const QSignalBlocker quiet(this);
  clear();
  for (const TVolume& volume : Listed)
    addItem(QIcon(GlyphPixmap(GlyphOf(volume.Type))), ItemText(volume, Case));
  setCurrentIndex(IndexOfRoot(CurrentDrive));
}

int TDCombobox::IndexOfRoot(const QString& root) const {
  for (int i = 0; i < Listed.size(); ++i)
    if (Listed[i].Root == root) return i;
  return -1;
}

void TDCombobox::SelectQuietly(int index) {
  const QSignalBlocker quiet(this);
  setCurrentIndex(index);
}

void TDCombobox::SetDrive(const QString& root) {
  if (currentIndex() >= 0 && root == CurrentDrive) return;
  CurrentDrive = root;
  if (root.isEmpty()) {
    SelectQuietly(-1);
    return;
  }
  if (IndexOfRoot(root) < 0) BuildList(); // a volume mounted since the list was made
  SelectQuietly(IndexOfRoot(root));
  if (Dirs) Dirs->SetDrive(root);
  emit Change();
}

void TDCombobox::UserChoice(int index) {
  if (index < 0 || index >= Listed.size()) return;
  try {
    SetDrive(Listed[index].Root);
  } catch (const std::exception&) {
    // The volume went away or cannot be entered: show the folder list's volume again.
    CurrentDrive = Dirs ? Dirs->Drive() : VolumeRootOf(CurrentDirectory());
    BuildList();
  }
}

void TDCombobox::showPopup() {
  BuildList(); // volumes come and go
  QComboBox::showPopup();
}

void TDCombobox::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) BuildList();
  QComboBox::changeEvent(event);
}

TDListBox* TDCombobox::DirList() const {
  return Dirs;
}

} // namespace kestrel
