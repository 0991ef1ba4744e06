#pragma once
// The rename window: renames the selected picture file of the file list, or the selected folder of
// the folder list, never over an existing name. Besides typing a whole new name, the user can edit
// the name as three parts (base, number, extension) and let the number count up after each rename
// ("Autoincrement"), which makes renaming a series of files quick. Modeless, above the main window;
// it sees the keys of its fields first.
//
// It renames the file or folder it shows: the lists' selection at the time it was opened or last
// refreshed (ListClicked), not whatever a list selects when "Rename" is pressed.

#include "browse/filelists/RefreshPause.h"

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel {

class TDListBox;
class TFListBox;

// What the window needs of the window that owns the lists.
struct TRenameHooks {
  TAutoRefresh* AutoRefresh = nullptr;   // paused while a rename runs
  std::function<bool()> RefreshPending;  // the disk changed while the refresh was paused
  std::function<void()> RefreshFileView; // the file-list refresh
  std::function<void(const QString& path)> FileRenamed;         // the file shown is now path
  std::function<void(const QString& folder)> SetCopyMoveTarget; // "Set As Copy/Move Target"
};

class TRenameDialog : public QWidget {
  Q_OBJECT
public:
  enum TMode { mdNone = 0, mdFolder = 1, mdFile = 2 };

  TRenameDialog(TDListBox* folders, TFListBox* files, TRenameHooks hooks, QWidget* parent);
  ~TRenameDialog() override;

  // Shows the window for a file or a folder.
  void Open(TMode mode);
  // The selection of a list changed: a window open for that kind of item shows the new one.
  void ListClicked(TMode list);
  // Holds pause until the window closes: a new folder keeps the lists still until it is named.
  void HoldPause(std::unique_ptr<TRefreshPause> pause);

  TMode Mode() const { return CurrentMode; }
  // The file or folder a rename now renames; empty when none is selected.
  QString Target() const { return TargetPath; }
  // The new name: the whole name, or the parts joined while they are edited.
  QString NewName() const;
  QString NormalCaption() const { return Caption; }

  // Fills the fields for the mode from the lists' selection (the window's show handler).
  void FormShow();
  void CheckBox1Click();
  void Autoincrement1Click();
  void Button1Click();
  void CopyMoveButtonClick();

  QLabel* Edit1Label = nullptr;
  QLineEdit* Edit1 = nullptr; // the whole new name
  QLineEdit* Edit2 = nullptr; // base
  QLineEdit* Edit3 = nullptr; // number, digits only
  QLineEdit* Edit4 = nullptr; // extension without the dot, read-only
  QCheckBox* CheckBox1 = nullptr;
  QCheckBox* Autoincrement1 = nullptr;
  QPushButton* Button1 = nullptr;
  QLabel* CopyMoveLabel = nullptr;
  QPushButton* CopyMoveButton = nullptr;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void BuildLayout();
  void ShowModeTexts();
  void TakeSelection();
  void SplitIntoParts();
  void EnableFields();
  void ShowError(const QString& text);
  void RestoreCaption();
  void FolderRenamed(const QString& from, const QString& to);
  void FormClose();

  TDListBox* Folders;
  TFListBox* Files;
  TRenameHooks Hooks;
  TMode CurrentMode = mdNone;
  QString Caption;
  QString TargetPath;
  std::unique_ptr<TRefreshPause> Held;
};

} // namespace kestrel
