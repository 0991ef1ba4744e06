#include "app/gallery/Thumbform.h"

#include "app/fileops/FileOperations.h"
#include "app/gallery/ThumbView.h"
#include "app/view/Dpicture.h"
#include "browse/thumbs/ThumbFolder.h"
#include "browse/thumbs/ThumbLimit.h"
#include "browse/thumbs/ThumbPalette.h"
#include "platform/display/ScreenDepth.h"
#include "platform/process/Process.h"
#include "platform/settings/Settings.h"
#include "platform/text/SizeText.h"
#include "platform/ui/FullHeightToggle.h"
#include "platform/ui/MessageBox.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

namespace kestrel {
namespace {

const char kSection[] = "Thumbnails";
constexpr int kHiFiBit = 1, kForegroundBit = 2, kWatchBit = 4;
const char kMessageCaption[] = "Kestrel ThumbNails:";

TSettingKey Key(const char* name) {
  return {kSection, name};
}

QList<QRgb> ColorTable(const TPalette& palette) {
  QList<QRgb> table;
  for (const TPaletteEntry& e : palette.Entries())
    table.push_back(qRgb(e.Red, e.Green, e.Blue));
  return table;
}

// The tile as the window shows it (pixels of its own, not a view of the worker's bitmap): on a
// palette screen through the gallery's palette.
QImage ShownImage(const TBitmap& tile, const TPalette& palette) {
  const QImage image = tile.Image();
  if (palette.IsNull()) return image.copy();
  return image.convertToFormat(QImage::Format_Indexed8, ColorTable(palette), Qt::ThresholdDither);
}

} // namespace

TThumbform::TThumbform(TGalleryHost host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), host_(std::move(host)) {
  setWindowTitle(kCaption);
  new TFullHeightToggle(this,
                        [this] { return host_.FullScreenActive && host_.FullScreenActive(); });
  BuildControls();
  BuildMenus();
  ReadSettings();
  ShowFlags();
  ShowLimit();
  ShowStatus();
}

TThumbform::~TThumbform() {
  // A paused worker is stopped too, and its threads ended before the window goes.
  worker_.reset();
  if (writeSettings_) WriteSettings();
}

void TThumbform::showEvent(QShowEvent* event) {
  // Never wider than three quarters of the screen, whatever the user drags it to.
  if (const QScreen* shown = screen()) setMaximumWidth(shown->availableGeometry().width() * 3 / 4);
  QWidget::showEvent(event);
}

void TThumbform::BuildControls() {
  auto* top = new QHBoxLayout;
  const auto button = [&](const QString& text, const QString& hint = {}) {
    auto* b = new QPushButton(text, this);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    top->addWidget(b);
    return b;
  };
  Start1 = button("Start");
  Clear1 = button("Clear");
  Pause1 = button("Pause");
  Size1 = new QSpinBox(this);
  Size1->setRange(32, 200);
  Size1->setSingleStep(4);
  Size1->setValue(80);
  Size1->findChild<QLineEdit*>()->setReadOnly(true);
  top->addWidget(Size1);
  Counter1 = button("0", "Click Me");
  Watch1 = button("", "Watch as Added");
  HiFi1 = button("", "Hi-Fi Thumbnails");
  for (QPushButton* flag : {Watch1, HiFi1})
    flag->setFixedWidth(24);
  Options1 = button("Options");
  FindSelector1 = button("", "Find Selector");
  FindSelector1->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  top->addStretch();

  LimitPanel = new QWidget(this);
  auto* limit = new QHBoxLayout(LimitPanel);
  limit->addWidget(new QLabel("Stop when memory used reaches", LimitPanel));
  LimitEdit = new QLineEdit(LimitPanel);
  LimitEdit->setMaximumWidth(80);
  limit->addWidget(LimitEdit);
  limit->addWidget(new QLabel("MB ", LimitPanel));
  limit->addWidget(new QLabel("(0 = preset limit. Decimal point allowed)", LimitPanel));
  auto* ok = new QPushButton("OK", LimitPanel);
  limit->addWidget(ok);
  LimitPanel->hide();

  view_ = new TThumbView(this);
  status_ = new QStatusBar(this);
  status_->setSizeGripEnabled(false);
  for (QLabel*& panel : panels_) {
    panel = new QLabel(this);
    status_->addWidget(panel);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(top);
  layout->addWidget(LimitPanel);
  layout->addWidget(view_, 1);
  layout->addWidget(status_);

  connect(Start1, &QPushButton::clicked, this, [this] { StartClick(); });
  connect(Clear1, &QPushButton::clicked, this, [this] { ClearClick(); });
  connect(Pause1, &QPushButton::clicked, this, [this] { PauseClick(); });
  connect(Size1, &QSpinBox::valueChanged, this, [this] { ShowLimit(); });
  connect(Counter1, &QPushButton::clicked, this, [this] {
    counterMode_ = (counterMode_ + 1) % 3;
    ShowCounter();
  });
  connect(Watch1, &QPushButton::clicked, this, [this] { watchItem_->trigger(); });
  connect(HiFi1, &QPushButton::clicked, this, [this] { hiFiItem_->trigger(); });
  connect(FindSelector1, &QPushButton::clicked, this,
          [this] { view_->CentreCell(view_->Selected()); });
  connect(LimitEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (AcceptableLimitText(text.toStdString()))
      memoryLimit_ = text;
    else
      LimitEdit->setText(memoryLimit_); // only digits, one point, three digits without it
    ShowLimit();
  });
  connect(ok, &QPushButton::clicked, this, [this] {
    LimitPanel->hide();
    limitItem_->setChecked(false);
  });

  view_->OnPress = [this](int index, bool menu, QPoint global) {
    Selected(index);
    if (menu) CellMenu->popup(global);
  };
  view_->OnOpen = [this](int index) {
    Selected(index);
    OpenSelected();
  };
  view_->OnKey = [this](int key) { KeyPressed(key); };
  view_->OnLayout = [this] { ShowStatus(); };
}

void TThumbform::BuildMenus() {
  OptionsMenu = new QMenu(this);
  QMenu* palettes = OptionsMenu->addMenu("Thumbnail Palette");
  auto* group = new QActionGroup(this);
  const char* names[] = {"236 Colors",     "Grey 16 Shades",  "Grey 32 shades",
                         "Grey 64 shades", "Grey 128 Shades", "Grey 236 Shades"};
  for (int i = 0; i < 6; ++i) {
    QAction* item = palettes->addAction(names[i]);
    item->setCheckable(true);
    item->setData(kThumbPaletteChoices[i]);
    group->addAction(item);
    connect(item, &QAction::triggered, this, [this, item] {
      paletteChoice_ = item->data().toInt();
      palette_ = PaletteScreen() ? MakeThumbPalette(paletteChoice_) : TPalette();
      // The shown tiles take the new palette at once, as a realised palette would give them.
      if (!palette_.IsNull()) view_->Remap(ColorTable(palette_));
    });
  }
  palettes->setEnabled(PaletteScreen());
  foregroundItem_ = OptionsMenu->addAction("&Foreground Palette");
  foregroundItem_->setCheckable(true);
  foregroundItem_->setEnabled(PaletteScreen());
  connect(foregroundItem_, &QAction::toggled, this, [this](bool on) { foregroundPalette_ = on; });
  connect(OptionsMenu->addAction("&Find Selector"), &QAction::triggered, this,
          [this] { view_->CentreCell(view_->Selected()); });
  watchItem_ = OptionsMenu->addAction("&Watch as Added");
  watchItem_->setCheckable(true);
  connect(watchItem_, &QAction::toggled, this, [this](bool on) {
    watch_ = on;
    if (on) view_->ScrollToBottom();
    ShowFlags();
  });
  hiFiItem_ = OptionsMenu->addAction("&Hi-Fi Thumbnails (slower)");
  hiFiItem_->setCheckable(true);
  connect(hiFiItem_, &QAction::toggled, this, [this](bool on) {
    hiFi_ = on;
    ShowFlags();
  });
  cacheItem_ = OptionsMenu->addAction("&Shared Thumbnail Cache");
  cacheItem_->setCheckable(true);
  limitItem_ = OptionsMenu->addAction("&Limit Memory Use");
  limitItem_->setCheckable(true);
  connect(limitItem_, &QAction::toggled, this, [this](bool on) {
    LimitPanel->setVisible(on);
    if (on) LimitEdit->setFocus();
  });
  connect(Options1, &QPushButton::clicked, this,
          [this] { OptionsMenu->popup(Options1->mapToGlobal(QPoint(0, Options1->height()))); });

  CellMenu = new QMenu(this);
  const auto item = [this](QMenu* menu, const char* caption, void (TThumbform::*handler)()) {
    connect(menu->addAction(caption), &QAction::triggered, this, [this, handler] {
      if (view_->Selected() >= 0) (this->*handler)();
    });
  };
  item(CellMenu, "Move File", &TThumbform::MoveFileClick);
  item(CellMenu, "Copy File", &TThumbform::CopyFileClick);
  item(CellMenu, "Delete File", &TThumbform::DeleteFileClick);
  QMenu* find = CellMenu->addMenu("Find...");
  item(find, "Find Name Duplicate", &TThumbform::FindNameDuplicateClick);
  item(find, "Find Size Duplicate", &TThumbform::FindSizeDuplicateClick);
  item(CellMenu, "Save Thumbnail  As", &TThumbform::SaveThumbnailClick);
  item(CellMenu, "Save All Thumbnails", &TThumbform::SaveAllThumbnailsClick);
}

void TThumbform::ReadSettings() {
  const int width =
      ReadSetting(Key("ClientWidth"), style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 214);
  const int height = ReadSetting(Key("ClientHeight"), 420);
  resize(std::clamp(width, 200, 4000), std::clamp(height, 150, 4000));
  const int boxes = ReadSetting(Key("Checkboxes"), kWatchBit);
  hiFiItem_->setChecked(boxes & kHiFiBit);
  foregroundItem_->setChecked(boxes & kForegroundBit);
  watchItem_->setChecked(boxes & kWatchBit);
  paletteChoice_ = ValidThumbPalette(ReadSetting(Key("GreyScale"), kDefaultThumbPalette));
  for (QAction* item : OptionsMenu->actions().first()->menu()->actions())
    item->setChecked(item->data().toInt() == paletteChoice_);
  palette_ = PaletteScreen() ? MakeThumbPalette(paletteChoice_) : TPalette();
  SetThumbSize(ReadSetting(Key("ThumbSize"), 80));
  cacheItem_->setChecked(ReadFlag(Key("SharedCache"), true));
  memoryLimit_ = ReadSetting(Key("MemoryLimit"), QString());
  if (!AcceptableLimitText(memoryLimit_.toStdString())) memoryLimit_.clear();
  LimitEdit->setText(memoryLimit_);
}

void TThumbform::WriteSettings() const {
  WriteSetting(Key("ClientWidth"), width());
  WriteSetting(Key("ClientHeight"), height());
  WriteSetting(Key("Checkboxes"), (hiFi_ ? kHiFiBit : 0) |
                                      (foregroundPalette_ ? kForegroundBit : 0) |
                                      (watch_ ? kWatchBit : 0));
  WriteSetting(Key("GreyScale"), paletteChoice_);
  WriteSetting(Key("ThumbSize"), ThumbSize());
  WriteSetting(Key("MemoryLimit"), memoryLimit_);
  WriteFlag(Key("SharedCache"), SharedCache());
}

bool TThumbform::PaletteScreen() const {
  return ScreenDepth() <= 8;
}

int TThumbform::ThumbSize() const {
  return Size1->value();
}

void TThumbform::SetThumbSize(int size) {
  // The up/down goes in steps of 4 from 32.
  Size1->setValue(std::clamp(32 + (size - 32) / 4 * 4, 32, 200));
}

void TThumbform::SetMemoryLimit(const QString& megabytes) {
  if (!AcceptableLimitText(megabytes.toStdString())) return;
  memoryLimit_ = megabytes;
  LimitEdit->setText(megabytes);
  ShowLimit();
}

void TThumbform::SetHiFi(bool on) {
  hiFiItem_->setChecked(on);
}

bool TThumbform::HiFi() const {
  return hiFi_;
}

void TThumbform::SetSharedCache(bool on) {
  cacheItem_->setChecked(on);
}

bool TThumbform::SharedCache() const {
  return cacheItem_->isChecked();
}

bool TThumbform::Running() const {
  return worker_ && worker_->Running();
}

void TThumbform::SetBackground(TColor color) {
  view_->SetColors(color);
}

void TThumbform::ShowGallery(bool start) {
  SetBackground(host_.Background());
  show();
  raise();
  activateWindow();
  if (worker_) worker_->SetPaused(false);
  Pause1->setText("Pause");
  if (start) StartClick();
}

void TThumbform::StopAndWait(QPushButton* button) {
  if (!Running()) return;
  const QString caption = button->text();
  button->setText("Wait");
  worker_->Stop();
  worker_->SetPaused(false);
  Pause1->setText("Pause");
  // The worker never waits for this thread: its end arrives as a queued call.
  while (worker_->Running())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  button->setText(caption);
}

void TThumbform::StartClick() {
  if (clearing_) return;
  // The hint box itself shows it once per run at most, and never once the user has said so.
  if (PaletteScreen() && host_.LowColourNotice) host_.LowColourNotice();
  StopAndWait(Start1);
  started_ = std::chrono::steady_clock::now();
  host_.SetTimer(false);
  const bool selectedOnly = host_.ItemCount() >= 2 && host_.SelectedCount() > 1;
  const QStringList names = host_.Names(selectedOnly);
  view_->Reset(ThumbSize());
  folder_ = host_.Folder();
  if (!folder_.endsWith('/')) folder_ += '/';
  setWindowTitle(folder_);
  ShowLimit();
  ShowCounter();

  worker_ = std::make_unique<TThumbFolder>();
  worker_->Folder = QFile::encodeName(folder_).toStdString();
  worker_->Options = {ThumbSize(), hiFi_, host_.Background()};
  worker_->MaximumCount = maximumCount_;
  worker_->TilePalette = palette_;
  if (SharedCache()) worker_->Cache = std::make_shared<TThumbCache>();
  worker_->Reader = [depth = ScreenDepth()](const std::string& path) {
    return ReadPictureGraphic(path, depth);
  };
  std::vector<std::string> items;
  for (const QString& name : names)
    items.push_back(QFile::encodeName(name).toStdString());
  worker_->CollectNames(items);
  worker_->OnThumbnail = [this](const TThumbDelivery& delivery) { Delivered(delivery); };
  worker_->OnFinished = [this] { RunEnded(); };
  worker_->Start();
}

void TThumbform::Delivered(const TThumbDelivery& delivery) {
  const QString path = QFile::decodeName(delivery.Path.c_str());
  view_->Append({ShownImage(*delivery.Tile, palette_), path, QFileInfo(path).fileName()});
  ShowCounter();
  if (watch_) view_->ScrollToBottom();
}

void TThumbform::RunEnded() {
  host_.SetTimer(true);
  ShowCounter();
}

void TThumbform::ClearClick() {
  if (clearing_ || (worker_ && worker_->Stopping() && worker_->Running())) return;
  clearing_ = true;
  StopAndWait(Clear1);
  clearing_ = false;
  worker_.reset();
  view_->Reset(ThumbSize());
  started_ = std::chrono::steady_clock::now();
  ShowCounter();
  folder_.clear();
  Clear1->setText("Clear");
  setWindowTitle(kCaption);
  ShowStatus();
}

void TThumbform::PauseClick() {
  if (!Running()) return;
  const bool pause = !worker_->Paused();
  worker_->SetPaused(pause);
  Pause1->setText(pause ? "|" : "Pause");
}

void TThumbform::closeEvent(QCloseEvent* event) {
  // Closing keeps the run, paused, until the window comes back.
  if (Running()) {
    worker_->SetPaused(true);
    Pause1->setText("|");
  }
  event->accept();
}

void TThumbform::ShowLimit() {
  maximumCount_ = ThumbMaximumCount(memoryLimit_.toStdString(), ThumbSize(), ScreenDepth());
  panels_[0]->setText(QString("Limit: %1").arg(maximumCount_));
}

void TThumbform::ShowCounter() {
  static const char* labels[] = {"Memory", "Icons/min", "Time(sec)"};
  static const TColor colors[] = {0x000000, 0x800000, 0x000080};
  const int count = view_->Count();
  const double elapsed =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_)
          .count();
  QString text = "0";
  if (counterMode_ == 0 && count > 0)
    text = SizeText(0, static_cast<qint64>(count) * ThumbSize() * ThumbSize() * ScreenDepth() / 8);
  else if (counterMode_ == 1 && count > 0 && elapsed > 0)
    text = QString("%1").arg(count * 60000.0 / elapsed, 6, 'f', 1);
  else if (counterMode_ == 2 && count > 0 && elapsed > 0)
    text = QString("%1").arg(elapsed * 0.001, 6, 'f', 1);
  Counter1->setText(text);
  Counter1->setToolTip(QString("%1 (Click Me)").arg(labels[counterMode_]));
  const TColor color = colors[counterMode_];
  const bool light = ((color >> 8) & 0xFF) > 150;
  Counter1->setStyleSheet(QString("background: #%1%2%3; color: %4")
                              .arg(color & 0xFF, 2, 16, QChar('0'))
                              .arg((color >> 8) & 0xFF, 2, 16, QChar('0'))
                              .arg((color >> 16) & 0xFF, 2, 16, QChar('0'))
                              .arg(light ? "black" : "white"));
}

void TThumbform::ShowStatus() {
  const TThumbGrid& grid = view_->Grid();
  panels_[1]->setText(QString::number(grid.Count));
  panels_[2]->setText(QString("R: %1").arg(grid.Rows));
  panels_[3]->setText(QString("C: %1").arg(grid.Columns));
  panels_[4]->setText(folder_);
}

void TThumbform::ShowFlags() {
  Watch1->setText(watch_ ? "W" : "");
  Watch1->setStyleSheet(watch_ ? "background: red; color: white" : "");
  HiFi1->setText(hiFi_ ? "H" : "");
  HiFi1->setStyleSheet(hiFi_ ? "background: green; color: white" : "");
}

QString TThumbform::StatusText(int panel) const {
  return panels_[panel]->text();
}

QString TThumbform::CounterText() const {
  return Counter1->text();
}

QString TThumbform::SelectedPath() const {
  const int index = view_->Selected();
  return index < 0 ? QString() : QFileInfo(view_->Tile(index).Path).absoluteFilePath();
}

void TThumbform::Selected(int index) {
  view_->Select(index);
  if (index >= 0) setWindowTitle(view_->Tile(index).Name);
}

void TThumbform::KeyPressed(int key) {
  const int index = view_->Selected();
  const TThumbGrid& grid = view_->Grid();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (index >= 0) OpenSelected();
    return;
  }
  if (key == Qt::Key_Delete) {
    if (index >= 0) DeleteFileClick();
    return;
  }
  if (index < 0 || grid.Empty()) return;
  int next = index;
  const int column = index % grid.Columns;
  if (key == Qt::Key_Left && column > 0) next = index - 1;
  if (key == Qt::Key_Right && column < grid.Columns - 1 && index + 1 < grid.Count) next = index + 1;
  if (key == Qt::Key_Up && index >= grid.Columns) next = index - grid.Columns;
  if (key == Qt::Key_Down && index + grid.Columns < grid.Count) next = index + grid.Columns;
  if (next == index) return;
  Selected(next);
  view_->ShowCell(next);
}

void TThumbform::OpenSelected() {
  const QString path = SelectedPath();
  if (path.isEmpty()) return;
  if (!QFileInfo(path).isFile()) {
    ShowMessage("File Does Not Exist", kMessageCaption, TMsgIcon::Warning, this);
    return;
  }
  host_.OpenFile(path);
}

void TThumbform::RemoveSelected() {
  view_->Remove(view_->Selected());
  view_->Select(-1);
  if (host_.FilesChanged) host_.FilesChanged();
}

bool TThumbform::Transfer(bool move) {
  const QString path = SelectedPath();
  const QString action = move ? "Move" : "Copy";
  const QString target = host_.ChooseTarget(action + " File", path);
  if (target.isEmpty()) return false;
  TFileOperations operations(this);
  operations.AskToContinue = [&](const TFileFailure& failure) {
    ShowMessage("Cannot " + action + "File " + path + "\rError: file " +
                    SystemErrorText(failure.Error),
                kMessageCaption, TMsgIcon::Error, this);
    return false;
  };
  const TOperationResult result =
      move ? operations.MoveReplacing(path, target) : operations.CopyReplacing(path, target);
  return !result.Done.isEmpty();
}

void TThumbform::MoveFileClick() {
  if (Transfer(true)) RemoveSelected();
}

void TThumbform::CopyFileClick() {
  Transfer(false);
}

void TThumbform::DeleteFileClick() {
  const QString path = SelectedPath();
  if (path.isEmpty()) return;
  TFileOperations operations(this);
  if (!operations.ConfirmTrash({path})) return;
  if (!operations.Trash({path}).Done.isEmpty()) RemoveSelected();
}

void TThumbform::FindNameDuplicateClick() {
  host_.FindNameDuplicate(SelectedPath());
}

void TThumbform::FindSizeDuplicateClick() {
  host_.FindSizeDuplicate(SelectedPath());
}

std::unique_ptr<TBitmap> TThumbform::SelectedTile() const {
  auto bitmap = std::make_unique<TBitmap>();
  const int index = view_->Selected();
  if (index < 0) return bitmap;
  bitmap->LoadFromImage(view_->Tile(index).Image);
  if (!palette_.IsNull()) bitmap->SetPalette(palette_);
  return bitmap;
}

void TThumbform::SaveThumbnailClick() {
  const int index = view_->Selected();
  if (index < 0) return;
  host_.SaveWithDialog("Save Thumbnail", "t" + view_->Tile(index).Name, *SelectedTile());
}

void TThumbform::SaveAllThumbnailsClick() {
  if (view_->Count() == 0) return;
  const int selected = view_->Selected();
  view_->Select(0);
  const QString first =
      host_.SaveWithDialog("Save All Thumbnails", "t" + view_->Tile(0).Name, *SelectedTile());
  if (first.isEmpty()) {
    view_->Select(selected);
    return;
  }
  // The rest go beside the first, with its extension, never over a file unasked.
  const QFileInfo chosen(first);
  const QString extension = chosen.suffix().isEmpty() ? QString() : "." + chosen.suffix();
  for (int i = 1; i < view_->Count(); ++i) {
    const QString path =
        chosen.dir().filePath("t" + QFileInfo(view_->Tile(i).Name).completeBaseName() + extension);
    if (QFileInfo::exists(path) && !AskYesNo(path + " already exists.\rDo you want to replace it?",
                                             "Save All Thumbnails", TMsgIcon::Question, this))
      continue;
    view_->Select(i);
    if (!host_.SaveWithoutDialog(path, *SelectedTile())) break;
  }
  view_->Select(selected);
}

} // namespace kestrel
