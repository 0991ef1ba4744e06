#pragma once
// TThumbform: the "Thumbnail Gallery" window. It shows square tiles of the pictures of the main
// window's folder in a scrolling grid, filled while the worker (TThumbFolder) makes them, and
// offers opening, moving, copying and deleting the files, duplicate searches and saving the tiles.
// Its settings live in the "Thumbnails" section.

#include "app/gallery/GalleryHost.h"
#include "imaging/core/Palette.h"

#include <QWidget>

#include <chrono>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QWidget;

namespace kestrel {

class TThumbFolder;
class TThumbView;
struct TThumbDelivery;

class TThumbform : public QWidget {
public:
  explicit TThumbform(TGalleryHost host, QWidget* parent = nullptr);
  ~TThumbform() override; // stops a run and waits for it; writes the settings unless told not to

  static constexpr const char* kCaption = "Thumbnail Gallery";

  // Shows the window; with start, presses Start.
  void ShowGallery(bool start);
  void StartClick();
  void ClearClick();
  void PauseClick();
  void SetWriteSettings(bool write) { writeSettings_ = write; }
  // The program's background colour changed.
  void SetBackground(TColor color);

  // The cell commands on the selected tile.
  void OpenSelected();
  void MoveFileClick();
  void CopyFileClick();
  void DeleteFileClick();
  void FindNameDuplicateClick();
  void FindSizeDuplicateClick();
  void SaveThumbnailClick();
  void SaveAllThumbnailsClick();

  // The state a test or the main window may look at.
  TThumbView& View() { return *view_; }
  bool Running() const;
  int MaximumCount() const { return maximumCount_; }
  int ThumbSize() const;
  void SetThumbSize(int size);
  QString SelectedPath() const;
  QString StatusText(int panel) const;
  QString CounterText() const;
  void SetMemoryLimit(const QString& megabytes);
  void SetHiFi(bool on);
  bool HiFi() const;
  // The desktop's shared thumbnail cache is read and filled (on unless the user turned it off).
  void SetSharedCache(bool on);
  bool SharedCache() const;

  // Controls, named as the layout names them.
  QPushButton* Start1 = nullptr;
  QPushButton* Clear1 = nullptr;
  QPushButton* Pause1 = nullptr;
  QSpinBox* Size1 = nullptr;
  QPushButton* Counter1 = nullptr;
  QPushButton* Watch1 = nullptr;
  QPushButton* HiFi1 = nullptr;
  QPushButton* Options1 = nullptr;
  QPushButton* FindSelector1 = nullptr;
  QWidget* LimitPanel = nullptr;
  QLineEdit* LimitEdit = nullptr;
  QMenu* OptionsMenu = nullptr;
  QMenu* CellMenu = nullptr;

protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void BuildControls();
  void BuildMenus();
  void ReadSettings();
  void WriteSettings() const;
  void Delivered(const TThumbDelivery& delivery);
  void RunEnded();
  void StopAndWait(QPushButton* button);
  void ShowLimit();
  void ShowCounter();
  void ShowStatus();
  void ShowFlags();
  void Selected(int index);
  void KeyPressed(int key);
  void RemoveSelected();
  bool Transfer(bool move);
  std::unique_ptr<TBitmap> SelectedTile() const;
  bool PaletteScreen() const;

  TGalleryHost host_;
  TThumbView* view_ = nullptr;
  QStatusBar* status_ = nullptr;
  QLabel* panels_[5] = {};
  QAction* watchItem_ = nullptr;
  QAction* hiFiItem_ = nullptr;
  QAction* foregroundItem_ = nullptr;
  QAction* limitItem_ = nullptr;
  QAction* cacheItem_ = nullptr;
  std::unique_ptr<TThumbFolder> worker_;
  QString folder_;
  QString memoryLimit_;
  int paletteChoice_ = 31;
  TPalette palette_;
  int maximumCount_ = 0;
  int counterMode_ = 0;
  std::chrono::steady_clock::time_point started_;
  bool watch_ = true;
  bool hiFi_ = false;
  bool foregroundPalette_ = false;
  bool clearing_ = false;
  bool writeSettings_ = true;
};

} // namespace kestrel
