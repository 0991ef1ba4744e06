#pragma once
// The folder list: the drive root, each folder of the current path (the last one marked current),
// then the sub-folders of the current folder. It works on the process's current folder: it changes
// it and reads it back. Its sub-folders are read on a worker thread (see TBackgroundRead).

#include "browse/filelists/BackgroundRead.h"
#include "browse/filelists/OwnerDrawList.h"
#include "platform/volumes/Volumes.h"

#include <QPointer>
#include <QStringList>

#include <QLabel>

namespace kestrel {

class TDCombobox;
class TFListBox;

class TDListBox : public TOwnerDrawList {
  Q_OBJECT
public:
  explicit TDListBox(QWidget* parent = nullptr);

  TFListBox* FileList() const;
  // Links the file list (and makes it point back here); a previous list loses its back link.
  void SetFileList(TFListBox* list);
  QLabel* DirLabel() const { return Label; }
  void SetDirLabel(QLabel* label);
  TDCombobox* DriveCombo() const;

  QString Directory() const { return Dir; }
  // Makes path (absolute, or relative to the current folder) the current folder and reports a
  // change. Raises EInOutError, leaving everything as it was, when it cannot be entered.
  void SetDirectory(const QString& path);
  // The root of the volume of the current folder.
  QString Drive() const { return Root; }
  // Goes to the volume with this root (to the folder last shown on it, else its root).
  void SetDrive(const QString& root);
  // Reads the list again for the same folder.
  void Update();

  // The folder an item stands for.
  QString ItemPath(int index) const;
  int CurrentFolderIndex() const { return FirstSubFolder - 1; }
  // Double-click or Enter: the selected item's folder becomes the current one; when it cannot be
  // entered, OpenFailed says why and nothing changes.
  void OpenCurrent();

  bool Reading() const { return SubFolders.Busy(); }
  void FinishReading() { SubFolders.Finish(); }
  // Why the sub-folders could not be read; empty when they could.
  QString ReadError() const { return Error; }

  TItemLayout LayoutOf(const TListItem& item) const override;

signals:
  void Change();
  void OpenFailed(const QString& message);

protected:
  int GlyphHeight() const override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  friend class TDCombobox; // keeps the back link
  void BuildList();
  void ReportChange();
  void ShowDirLabel();
  bool SamePath(const QString& a, const QString& b) const;

  QString Dir;
  QString Root;
  TCaseRules Rules;
  int FirstSubFolder = 1;
  QString Error;
  QPointer<TFListBox> Files;
  QPointer<QLabel> Label;
  QPointer<TDCombobox> Drives;
  bool ChangingDrive = false;
  TBackgroundRead SubFolders;
};

} // namespace kestrel
