#pragma once
// TFindDialogX, "Find In Files": searches the local drives or a folder tree for files or folders
// whose names match a pattern, optionally within a size range or at the size of a reference file,
// and lists the hits with icon, location and size. From the list the user opens, previews,
// copies, moves or deletes the hits. The walk runs on a worker (TFindSearch); the list fills while
// it runs, and Stop, Esc or closing the window end it at once.

#include "browse/find/FindHost.h"
#include "browse/find/FindOrder.h"
#include "browse/find/SizeCriteria.h"

#include <QDialog>

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeView;

namespace kestrel {

class TFindLocations;
class TFindResults;
class TFindSearch;

class TFindDialogX : public QDialog {
  Q_OBJECT
public:
  static constexpr const char* kCaption = "Find In Files";
  static constexpr int kMostHits = 4096;
  enum class TState { Idle, Preparing, Searching };

  explicit TFindDialogX(TFindHost host, QWidget* parent = nullptr);
  ~TFindDialogX() override;

  // Entry points of the other windows.
  // Shows the window; the user starts the search.
  void ShowFind();
  // Set for a size duplicate of file: pattern "*" + its extension, the exact size of the file,
  // "Files", the "Location" page.
  void SetSizeDuplicate(const QString& file);
  // "Find Name Duplicate": no size details, the file's name as the pattern; then shown.
  void ShowNameDuplicate(const QString& name);
  // The pattern becomes text ("Find In Files" on a folder; a double-click on a picture, unless
  // "Include Size Details" is checked).
  void SetPattern(const QString& text);
  void OfferPattern(const QString& text);
  // "Find In Subtree": the folder becomes the location, then the window is shown.
  void SetSubtree(const QString& folder);
  // The reference file of "Size Similar to File:" (the file on show, or the gallery's choice);
  // the size bounds follow it.
  void SetReferenceFile(const QString& file);

  // Starts a search, or stops the one running.
  void FindClick();
  void BrowseClick();
  void AltDriveClick();
  void HeaderClick(int column);
  TState State() const { return Now; }
  bool Searching() const { return Now != TState::Idle; }
  const TSizeBounds& SizeBounds() const { return Size.Bounds; }
  TFindResults& Results() const { return *Rows; }
  // The rows selected in the list, in list order.
  std::vector<int> SelectedRows() const;

  // Result commands, on the selected rows.
  void MoveFileClick();
  void CopyFileClick();
  void DeleteFileClick();
  void SetExternalViewerClick();
  void ShowInViewerClick();
  void MoveCopyDialogClick();
  void ClipBoardClick();
  void IndexBackgroundClick();
  void OpenInNewViewerClick();
  void ExploreClick();
  // Double-click or Enter on a row; in a new viewer with Shift.
  void OpenRow(int row, bool newViewer);

  QComboBox* PatternBox = nullptr;
  QPushButton* FindButton = nullptr;
  QFrame* Light = nullptr;
  QTabWidget* Pages = nullptr;
  TFindLocations* Locations = nullptr;
  QPushButton* BrowseButton = nullptr;
  QCheckBox* IncludeCd = nullptr;
  QPushButton* AltDrive = nullptr;
  QLabel* AltDriveLabel = nullptr;
  QRadioButton* FilesKind = nullptr;
  QRadioButton* FoldersKind = nullptr;
  QRadioButton* ContainingKind = nullptr;
  QCheckBox* IncludeSize = nullptr;
  QLineEdit* AtLeastEdit = nullptr;
  QLineEdit* AtMostEdit = nullptr;
  QCheckBox* SimilarSize = nullptr;
  QLineEdit* ReferenceName = nullptr;
  QCheckBox* ExactSize = nullptr;
  QTreeView* ResultsView = nullptr;
  std::array<QLabel*, 3> Status{}; // the root walked; "Searching..." or "Done"; the hit count
  QMenu* ResultMenu = nullptr;

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void BuildLayout();
  QWidget* BuildLocationPage();
  QWidget* BuildSizePage();
  void BuildResultMenu();
  void ConnectControls();
  void SetState(TState state);
  TFindCriteria Criteria() const;
  void RememberPattern();
  void HitsFound(const std::vector<TFindHit>& hits);
  void SearchFinished();
  void EnableChoices();
  void ShowSizeFields();
  void ReferenceChanged();
  void SizeFieldLeft(QLineEdit* field);
  void RowChosen(int row);
  void ShowResultMenu(const QPoint& at);
  bool ResultsKey(QKeyEvent* event);
  void Transfer(TFindTransferKind kind);
  QString RowPath(int row) const;
  QString RowFolder(int row) const;
  int CurrentRow() const;

  TFindHost Host;
  TFindResults* Rows = nullptr;
  TFindSearch* Search = nullptr;
  TSizeCriteria Size;
  TState Now = TState::Idle;
  int Count = 0;
  QString ReferenceFile;
  QString AltRemembered; // the location "Search Alt Drive" goes back to
  int AltRememberedRow = -1;
  std::array<bool, 3> Descending{}; // per column: the next sort of it goes down
  bool CloseWhenDone = false;
  QAction* SetViewerAction = nullptr;
};

} // namespace kestrel
