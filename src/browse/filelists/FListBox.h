#pragma once
// The file list: the entries of its folder that match the mask and the file types, sorted. The
// folder is read on a worker thread (see TBackgroundRead); WhenRead runs code once the list holds
// the folder's entries.

#include "browse/filelists/BackgroundRead.h"
#include "browse/filelists/FileType.h"
#include "browse/filelists/OwnerDrawList.h"

#include <QPointer>

#include <functional>
#include <vector>

#include <QLineEdit>

namespace kestrel {

class TDListBox;

class TFListBox : public TOwnerDrawList {
  Q_OBJECT
public:
  explicit TFListBox(QWidget* parent = nullptr);

  QString Mask() const { return FileMask; }
  void SetMask(const QString& mask);
  TFileType FileType() const { return Types; }
  void SetFileType(TFileType types);
  bool ShowGlyphs() const { return Glyphs; }
  void SetShowGlyphs(bool show);
  bool MultiSelect() const;
  void SetMultiSelect(bool multi);
  QLineEdit* FileEdit() const { return Edit; }
  void SetFileEdit(QLineEdit* edit);
  TDListBox* DirList() const;

  QString Directory() const { return Dir; }
  // Goes to the folder and reads it, when it is not the list's folder already. Raises EInOutError
  // when it cannot be entered.
  void SetDirectory(const QString& path);
  // Reads the folder's entries again. The list is empty until they arrive; a folder that cannot
  // be entered any more leaves it empty, with ReadFailed.
  void ReadFileNames();
  // Takes mask and reads the folder's entries again as one update: the present items stay until
  // the new ones replace them at once, and beforeReplace runs just before that (the list is then
  // as the user left it while the read ran). A folder that cannot be read any more empties the
  // list and reports done(false) to WhenRead, without ReadFailed: the caller decides what follows.
  void Reread(const QString& mask, std::function<void()> beforeReplace = {});

  bool Reading() const { return Reader.Busy(); }
  void FinishReading() { Reader.Finish(); }
  // Runs done(ok) once the list holds its folder's entries: at once when it does already, else
  // when the read in progress ends. A later read drops what was waiting for an earlier one.
  void WhenRead(std::function<void(bool ok)> done);
  // Why the folder could not be read; empty when it could.
  QString ReadError() const { return Error; }

  // The name of the item under the caret when it is selected, else empty.
  QString SelectedName() const;
  // The folder joined with the selected name; empty when nothing is selected.
  QString FileName() const;
  // Goes to the folder of text; a name with "*" or "?" becomes the mask, any other is selected.
  // Raises EInvalidOperation "Invalid FileName" when that file does not exist.
  void SetFileName(const QString& text);
  // The first item whose text equals text without regard to case; -1 when there is none.
  int IndexOfText(const QString& text) const;

  TItemLayout LayoutOf(const TListItem& item) const override;

signals:
  void Change();
  // The folder could not be read (the message says why); the list is empty.
  void ReadFailed(const QString& message);

protected:
  int GlyphHeight() const override;

private:
  friend class TDListBox; // keeps the back link
  void Read(bool keepItems, bool announceFailure, std::function<void()> beforeReplace = {});
  void Apply(std::vector<TListItem> items, const QString& error, bool announceFailure);
  void ReportChange();
  void SelectName(const QString& name);

  QString Dir;
  QString FileMask = "*.*";
  TFileType Types{ftNormal};
  bool Glyphs = false;
  int LastSel = -1;
  QString Error;
  QPointer<QLineEdit> Edit;
  QPointer<TDListBox> Dirs;
  std::vector<std::function<void(bool)>> Waiting;
  std::function<void()> BeforeReplace; // of the read in progress
  TBackgroundRead Reader;
};

} // namespace kestrel
