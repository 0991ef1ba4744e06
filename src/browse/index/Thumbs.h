#pragma once
// TThumbs: the "Kestrel! Picture Index Maker" window. It holds the settings of an index page
// (size, background, borders, grid, headings, fonts), keeps them in the settings store between
// runs, proposes a grid for the number of selected files, starts and stops the engine
// (TThumbEng) that builds the page in the viewer's display, and proposes a name for saving the
// page. A run hides the window; the window comes back when the run ends.

#include "browse/index/IndexComposer.h"
#include "browse/index/IndexSettings.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace kestrel {

class TBitmap;
class TThumbEng;

// What the window needs of the viewer.
class TIndexHost {
public:
  virtual ~TIndexHost() = default;
  // The selected files of the file list, full paths in list order, and the number of its items.
  virtual QStringList SelectedFiles() const = 0;
  virtual int FilesAvailable() const = 0;
  // The full name of the file list's current file; empty when there is none.
  virtual QString CurrentFile() const = 0;
  virtual bool SlideShowRunning() const = 0;
  // The shown picture has edits that were not saved.
  virtual bool PictureModified() const = 0;
  // Reads a picture file on any thread (null for a file without a picture, such as a sound).
  virtual TIndexReader Reader() const = 0;
  // The display bitmap the page is built in.
  virtual TBitmap& PageBitmap() = 0;
  // A run starts: the viewer shows "Picture Index" unscaled, its file list and its timer stop,
  // its file view stops following the disk, its display bitmaps become 24-bit.
  virtual void IndexStarted() = 0;
  // More of the page is drawn: the viewer shows it as an edited picture.
  virtual void IndexProgress() = 0;
  // The run has ended: the file list and the timer run again.
  virtual void IndexEnded() = 0;
  // The window closed: the file view follows the disk again unless the user stopped that.
  virtual void RestoreFileViewUpdate() = 0;
  // Opens the viewer's save dialog, titled "Save Thumbnail Index As", on the proposed path.
  virtual void SaveIndexPage(const QString& proposedPath) = 0;
  virtual bool ApplicationMinimized() const = 0;
};

class TThumbs : public QDialog {
public:
  // Reads the stored settings over the defaults for screen and the program's background.
  TThumbs(TIndexHost& host, QSize screen, TColor programBackground, QWidget* parent = nullptr);
  ~TThumbs() override; // ends a run; writes the settings unless told not to

  static constexpr const char* kCaption = "Kestrel! Picture Index Maker";

  // Shows the window centred, with the counts and the grid proposal taken again.
  void ShowForm();
  // Starts a run, or stops the one under way.
  void Start1Click();
  void SaveAs1Click();
  // The engine is at work.
  bool Running() const { return engine_ != nullptr; }
  // Ends a run and waits for it, processing events meanwhile.
  void StopAndWait();
  // The background picture file; the folder and name the "Browse For Background" dialog opens
  // with.
  void SetWallpaperFile(const QString& path);
  void SetBrowseFolder(const QString& folder, const QString& name = {});
  QString BrowseFolder() const { return browseFolder_; }
  QString BrowseName() const { return browseName_; }
  // Settings are not written when the window goes (uninstalling, a second copy).
  void SetWriteSettings(bool write) { writeSettings_ = write; }
  // The application was restored: the window comes back if a run ended while minimised.
  void ApplicationRestored();

  const TIndexSettings& Settings() const { return settings_; }
  // The grid proposal from the selected files and the page size (when "Manual Layout" is off).
  void ProposeGrid();
  // What became of each cell of the last run.
  const std::vector<TIndexCell>& LastCells() const { return lastCells_; }
  int LastCode() const { return lastCode_; }

  // The user's choices, replaceable in automated runs: a colour, a font (face, style, size and
  // colour), a background picture file. Each returns false when cancelled.
  std::function<bool(TColor& color)> ChooseColor;
  std::function<bool(TFont& font)> ChooseFont;
  std::function<bool(QString& file)> ChooseWallpaper;

  // Busy light round "Start".
  enum class TLight { Idle, Running, Stopping };
  TLight Light() const { return light_; }

  // Controls, named as the layout names them.
  QTabWidget* Pages = nullptr;
  QLineEdit* Width1 = nullptr;
  QLineEdit* Height1 = nullptr;
  QLabel* Memory = nullptr;
  QLabel* FilesSelected = nullptr;
  QLabel* FilesAvailable = nullptr;
  QPushButton* BackgroundColor1 = nullptr;
  QFrame* Sample1 = nullptr;
  QSpinBox* Border1 = nullptr;
  QLabel* IndiColor1 = nullptr;
  QPushButton* PageBorderColor1 = nullptr;
  QCheckBox* Backgraphic = nullptr;
  QCheckBox* Tile1 = nullptr;
  QCheckBox* ClipBrdGraphic = nullptr;
  QPushButton* Browse1 = nullptr;
  QLineEdit* ImagesX = nullptr;
  QLineEdit* ImagesY = nullptr;
  QSpinBox* Spacing1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QCheckBox* QuickThumbs = nullptr;
  QSpinBox* Border2 = nullptr;
  QLabel* Indicolor2 = nullptr;
  QPushButton* ThumbBorderColor1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QRadioButton* LeftJustify1 = nullptr;
  QRadioButton* Centre1 = nullptr;
  QPushButton* TitleFont1 = nullptr;
  QPushButton* FooterFont1 = nullptr;
  QPushButton* ThumbsFont1 = nullptr;
  QLabel* TitleFontLabel = nullptr;
  QLabel* FooterFontLabel = nullptr;
  QLabel* ThumbsFontLabel = nullptr;
  QCheckBox* Transparent1 = nullptr;
  QCheckBox* Transparent2 = nullptr;
  QCheckBox* Transparent3 = nullptr;
  QCheckBox* CommonFontStyle = nullptr;
  QCheckBox* CommonFontColor = nullptr;
  QFrame* Light1 = nullptr;
  QPushButton* Start1 = nullptr;
  QPushButton* SaveAs1 = nullptr;

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void BuildLayout();
  QWidget* BuildPagePage();
  QWidget* BuildHeadingsPage();
  void Connect();
  void ShowSettings();
  void ShowCounts();
  void ShowColors();
  void ShowFonts();
  void NumberEdited(QLineEdit* field, int& value, TIndexRange range, int fallback, bool propose);
  void NumberLeft(QLineEdit* field, int& value, TIndexRange range);
  void SetCheck(TIndexCheckBox box, bool on);
  void BackgraphicClick();
  void PickColor(TColor& color);
  void PickFont(TFont& font);
  void BrowseClick();
  QString Refusal() const;
  bool CellsFit();
  void StartRun();
  void RunEnded(int code);
  void SetLight(TLight light);

  TIndexHost& Host;
  TIndexSettings settings_;
  std::unique_ptr<TThumbEng> engine_;
  std::unique_ptr<TThumbEng> ended_; // the last run's engine, let go at the next start
  int closeReason_ = 0;              // 0 shown, 1 closed by the user, 2 hidden for a run
  bool showOnRestore_ = false;
  bool writeSettings_ = true;
  QString browseFolder_;
  QString browseName_;
  TLight light_ = TLight::Idle;
  std::vector<TIndexCell> lastCells_;
  int lastCode_ = 0;
};

} // namespace kestrel
