#include "browse/filelists/FListBox.h"

#include "browse/filelists/DListBox.h"
#include "browse/filelists/FileListing.h"
#include "browse/filelists/PathText.h"
#include "platform/files/Folders.h"
#include "platform/volumes/Volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <utility>

namespace kestrel {

TFListBox::TFListBox(QWidget* parent) : TOwnerDrawList(parent), Dir(CurrentDirectory()) {
  resize(145, height());
  RecomputeItemHeight();
  connect(this, &TOwnerDrawList::Click, this, [this] {
    if (ItemIndex() != LastSel) ReportChange();
  });
  ReadFileNames();
}

void TFListBox::SetMask(const QString& mask) {
  if (mask == FileMask) return;
  FileMask = mask;
  ReadFileNames();
}

void TFListBox::SetFileType(TFileType types) {
  if (types == Types) return;
  Types = types;
  ReadFileNames();
}

void TFListBox::SetShowGlyphs(bool show) {
  if (show == Glyphs) return;
  Glyphs = show;
  RecomputeItemHeight();
  ReadFileNames();
}

bool TFListBox::MultiSelect() const {
  return selectionMode() == ExtendedSelection;
}

void TFListBox::SetMultiSelect(bool multi) {
  setSelectionMode(multi ? ExtendedSelection : SingleSelection);
}

void TFListBox::SetFileEdit(QLineEdit* edit) {
  Edit = edit;
  ReportChange();
}

int TFListBox::GlyphHeight() const {
  return Glyphs ? GlyphPixmap(TGlyph::Executable).height() + 1 : 0;
}

TItemLayout TFListBox::LayoutOf(const TListItem& item) const {
  if (!Glyphs) return {2, 2, false};
  return {2, GlyphPixmap(item.Glyph).width() + 6, false};
}

void TFListBox::SetDirectory(const QString& path) {
  const QString target = QDir::cleanPath(QDir(Dir).absoluteFilePath(path));
  const bool caseSensitive = CaseRulesOfPath(target).CaseSensitive;
  if (target.compare(Dir, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) return;
  ChangeDirectory(target);
  Dir = CurrentDirectory();
  ReadFileNames();
}

void TFListBox::ReadFileNames() {
  Read(false, true);
}

void TFListBox::Reread(const QString& mask, std::function<void()> beforeReplace) {
  FileMask = mask;
  Read(true, false, std::move(beforeReplace));
}

void TFListBox::Read(bool keepItems, bool announceFailure, std::function<void()> beforeReplace) {
  Waiting.clear();
  BeforeReplace = std::move(beforeReplace);
  LastSel = -1;
  try {
    ChangeDirectory(Dir);
  } catch (const EInOutError& error) {
    // Gone or closed since it was entered: an empty list that says why.
    Apply({}, QString::fromStdString(error.what()), announceFailure);
    return;
  }
  if (!keepItems) Model.SetItems({});
  const QString folder = Dir, mask = FileMask;
  const TFileType types = Types;
  const bool glyphs = Glyphs;
  Reader.Start([this, folder, mask, types, glyphs, announceFailure]() -> TBackgroundRead::TApply {
    TListing listing = ReadFileListing(folder, mask, types, glyphs);
    return [this, listing = std::move(listing), announceFailure]() mutable {
      Apply(std::move(listing.Items), listing.Error, announceFailure);
    };
  });
}

void TFListBox::Apply(std::vector<TListItem> items, const QString& error, bool announceFailure) {
  if (const auto before = std::exchange(BeforeReplace, {})) before();
  Error = error;
  Model.SetItems(std::move(items));
  ReportChange();
  if (!Error.isEmpty() && announceFailure) emit ReadFailed(Error);
  auto waiting = std::move(Waiting);
  Waiting.clear();
  for (auto& done : waiting)
    done(Error.isEmpty());
}

void TFListBox::WhenRead(std::function<void(bool ok)> done) {
  if (Reader.Busy())
    Waiting.push_back(std::move(done));
  else
    done(Error.isEmpty());
}

void TFListBox::ReportChange() {
  LastSel = ItemIndex();
  if (Edit) {
    const QString name = SelectedName();
    Edit->setText(name.isEmpty() ? FileMask : name);
    Edit->selectAll();
  }
  emit Change();
}

QString TFListBox::SelectedName() const {
  const int index = ItemIndex();
  return index >= 0 && Selected(index) ? Item(index).Name : QString();
}

QString TFListBox::FileName() const {
  const QString name = SelectedName();
  return name.isEmpty() ? QString() : JoinPath(Dir, name);
}

int TFListBox::IndexOfText(const QString& text) const {
  for (int i = 0; i < Count(); ++i)
    if (Item(i).Text.compare(text, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

void TFListBox::SetFileName(const QString& text) {
  if (text.isEmpty() || text == FileName()) return;
  const QFileInfo info(QDir(Dir).absoluteFilePath(text));
  const QString folder = info.path();
  const QString name = info.fileName();
  if (Dirs)
    Dirs->SetDirectory(folder);
  else
    SetDirectory(folder);
  if (name.contains('*') || name.contains('?')) {
    SetMask(name);
    return;
  }
  if (name.isEmpty()) return;
  if (!QFileInfo::exists(JoinPath(Dir, name))) throw EInvalidOperation("Invalid FileName");
  WhenRead([this, name](bool) { SelectName(name); });
}

void TFListBox::SelectName(const QString& name) {
  const int index = IndexOfText(name);
  if (index < 0) {
    // Hidden by the mask: the name becomes the mask, and then it is there.
    if (FileMask == name) return;
    SetMask(name);
    WhenRead([this, name](bool) { SelectName(name); });
    return;
  }
  clearSelection();
  SetItemIndex(index);
  ReportChange();
}

TDListBox* TFListBox::DirList() const {
  return Dirs;
}

} // namespace kestrel
