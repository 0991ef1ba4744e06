#include "browse/index/Thumbs.h"

#include "browse/index/IndexName.h"
#include "browse/index/IndexWallpaper.h"
#include "browse/index/ThumbEng.h"
#include "imaging/core/Screen.h"
#include "imaging/formats/FormatTable.h"
#include "platform/display/ScreenDepth.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SaveDialog.h"
#include "processing/busy/BusyFlag.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>
#include <cstdlib>
#include <exception>

namespace kestrel {
namespace {

QColor QColorOf(TColor color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor TColorOf(const QColor& color) {
  return TColor(color.red() | (color.green() << 8) | (color.blue() << 16));
}

void Paint(QWidget* widget, TColor color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, QColorOf(color));
  palette.setColor(QPalette::WindowText, QColorOf(IndexContrastColor(color)));
  widget->setPalette(palette);
}

void Write(QLineEdit* field, int value) {
  const QSignalBlocker quiet(field);
  field->setText(QString::number(value));
}

// The name of a colour as the font labels show it.
QString ColorName(TColor color) {
  static const std::pair<TColor, const char*> kNames[] = {
      {0x000000, "Black"},  {0x000080, "Maroon"},  {0x008000, "Green"}, {0x008080, "Olive"},
      {0x800000, "Navy"},   {0x800080, "Purple"},  {0x808000, "Teal"},  {0x808080, "Gray"},
      {0xC0C0C0, "Silver"}, {0x0000FF, "Red"},     {0x00FF00, "Lime"},  {0x00FFFF, "Yellow"},
      {0xFF0000, "Blue"},   {0xFF00FF, "Fuchsia"}, {0xFFFF00, "Aqua"},  {0xFFFFFF, "White"}};
  for (const auto& [value, name] : kNames)
    if (value == color) return name;
  return QColorOf(color).name().toUpper();
}

QString FontText(const TFont& font) {
  return QString::fromStdString(font.Name) + "  Size:" + QString::number(font.Size) +
         "  color: " + ColorName(font.Color);
}

QFont QFontOf(const TFont& font) {
  QFont q(QString::fromStdString(font.Name), font.Size);
  q.setBold(font.Style & fsBold);
  q.setItalic(font.Style & fsItalic);
  q.setUnderline(font.Style & fsUnderline);
  q.setStrikeOut(font.Style & fsStrikeOut);
  return q;
}

void TakeFace(TFont& font, const QFont& q) {
  font.Name = q.family().toStdString();
  const auto style = [](bool on, TFontStyle bit) {
    return on ? static_cast<TFontStyles>(bit) : 0u;
  };
  font.Style = style(q.bold(), fsBold) | style(q.italic(), fsItalic) |
               style(q.underline(), fsUnderline) | style(q.strikeOut(), fsStrikeOut);
}

} // namespace

TThumbs::TThumbs(TIndexHost& host, QSize screen, TColor programBackground, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      Host(host), settings_(TIndexSettings::Defaults(screen, programBackground)) {
  setObjectName("Thumbs");
  setWindowTitle(kCaption);
  setModal(false);
  try {
    settings_.Read();
  } catch (const std::exception&) {
    // A value stored with the wrong kind: the rest keep their defaults.
  }
  BuildLayout();
  ShowSettings();
  Connect();
  SetLight(TLight::Idle);
  ChooseColor = [this](TColor& color) {
    const QColor chosen = QColorDialog::getColor(QColorOf(color), this, "Color");
    if (!chosen.isValid()) return false;
    color = TColorOf(chosen);
    return true;
  };
  ChooseFont = [this](TFont& font) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, QFontOf(font), this, "Font");
    if (!ok) return false;
    TakeFace(font, chosen);
    font.Size = kFontSizeRange.Clamp(chosen.pointSize() > 0 ? chosen.pointSize() : font.Size);
    const QColor color = QColorDialog::getColor(QColorOf(font.Color), this, "Font Color");
    if (color.isValid()) font.Color = TColorOf(color);
    return true;
  };
  ChooseWallpaper = [this](QString& file) {
    const QString filter = QtNameFilters(QString::fromStdString(OpenFilter())).join(";;");
    const QString start = QDir(browseFolder_).filePath(browseName_);
    const QString chosen =
        QFileDialog::getOpenFileName(this, "Browse For Background", start, filter);
    if (chosen.isEmpty()) return false;
    file = chosen;
    return true;
  };
}

TThumbs::~TThumbs() {
  engine_.reset();
  ended_.reset();
  if (writeSettings_) settings_.Write();
}

void TThumbs::ShowSettings() {
  const TIndexSettings& s = settings_;
  Write(Width1, s.PageWidth);
  Write(Height1, s.PageHeight);
  Write(ImagesX, s.Columns);
  Write(ImagesY, s.Rows);
  const auto setSpin = [](QSpinBox* spin, int value) {
    const QSignalBlocker quiet(spin);
    spin->setValue(value);
  };
  setSpin(Border1, s.PageBorder);
  setSpin(Border2, s.ThumbBorder);
  setSpin(Spacing1, s.Spacing);
  const auto setCheck = [&s](QAbstractButton* box, TIndexCheckBox bit) {
    const QSignalBlocker quiet(box);
    box->setChecked(s.Checked(bit));
  };
  setCheck(Backgraphic, cbBackgroundGraphic);
  setCheck(Tile1, cbTile);
  setCheck(ClipBrdGraphic, cbFromClipboard);
  setCheck(QuickThumbs, cbQuickThumbnails);
  setCheck(CheckBox1, cbManualLayout);
  setCheck(Transparent1, cbTransparentTitle);
  setCheck(Transparent2, cbTransparentFooter);
  setCheck(Transparent3, cbTransparentCaptions);
  setCheck(CommonFontStyle, cbOneFont);
  setCheck(CommonFontColor, cbOneColor);
  setCheck(LeftJustify1, cbLeftJustify);
  setCheck(Centre1, cbCentre);
  if (!s.Checked(cbLeftJustify) && !s.Checked(cbCentre)) Centre1->setChecked(true);
  {
    const QSignalBlocker quiet1(Edit1), quiet2(Edit2);
    Edit1->setText(s.TitleText);
    Edit2->setText(s.FooterText);
  }
  BackgraphicClick();
  ShowColors();
  ShowFonts();
  ShowCounts();
}

void TThumbs::Connect() {
  const auto number = [this](QLineEdit* field, int& value, TIndexRange range, int fallback,
                             bool propose) {
    connect(field, &QLineEdit::textEdited, this,
            [=, this, &value] { NumberEdited(field, value, range, fallback, propose); });
    connect(field, &QLineEdit::editingFinished, this,
            [=, this, &value] { NumberLeft(field, value, range); });
  };
  number(Width1, settings_.PageWidth, kPageSideRange, 1, true);
  number(Height1, settings_.PageHeight, kPageSideRange, 1, true);
  number(ImagesX, settings_.Columns, kGridRange, 1, false);
  number(ImagesY, settings_.Rows, kGridRange, 1, false);
  const auto spin = [this](QSpinBox* field, int& value) {
    connect(field, &QSpinBox::valueChanged, this, [this, &value](int v) {
      value = v;
      ShowColors();
      ProposeGrid();
    });
  };
  spin(Border1, settings_.PageBorder);
  spin(Border2, settings_.ThumbBorder);
  spin(Spacing1, settings_.Spacing);
  const auto check = [this](QAbstractButton* box, TIndexCheckBox bit) {
    connect(box, &QAbstractButton::toggled, this, [this, bit](bool on) { SetCheck(bit, on); });
  };
  check(Backgraphic, cbBackgroundGraphic);
  check(Tile1, cbTile);
  check(ClipBrdGraphic, cbFromClipboard);
  check(QuickThumbs, cbQuickThumbnails);
  check(CheckBox1, cbManualLayout);
  check(Transparent1, cbTransparentTitle);
  check(Transparent2, cbTransparentFooter);
  check(Transparent3, cbTransparentCaptions);
  check(CommonFontStyle, cbOneFont);
  check(CommonFontColor, cbOneColor);
  check(LeftJustify1, cbLeftJustify);
  check(Centre1, cbCentre);
  connect(Edit1, &QLineEdit::textChanged, this,
          [this](const QString& t) { settings_.TitleText = t; });
  connect(Edit2, &QLineEdit::textChanged, this,
          [this](const QString& t) { settings_.FooterText = t; });
  connect(BackgroundColor1, &QPushButton::clicked, this,
          [this] { PickColor(settings_.Background); });
  connect(PageBorderColor1, &QPushButton::clicked, this,
          [this] { PickColor(settings_.PageBorderColor); });
  connect(ThumbBorderColor1, &QPushButton::clicked, this,
          [this] { PickColor(settings_.ThumbBorderColor); });
  connect(TitleFont1, &QPushButton::clicked, this, [this] { PickFont(settings_.TitleFont); });
  connect(FooterFont1, &QPushButton::clicked, this, [this] { PickFont(settings_.FooterFont); });
  connect(ThumbsFont1, &QPushButton::clicked, this, [this] { PickFont(settings_.CaptionFont); });
  connect(Browse1, &QPushButton::clicked, this, [this] { BrowseClick(); });
  connect(Start1, &QPushButton::clicked, this, [this] { Start1Click(); });
  connect(SaveAs1, &QPushButton::clicked, this, [this] { SaveAs1Click(); });
}

// Fields and checks

void TThumbs::NumberEdited(QLineEdit* field, int& value, TIndexRange range, int fallback,
                           bool propose) {
  (void)range; // held to it when the field is left
  bool ok = false;
  const int read = field->text().toInt(&ok);
  value = ok ? read : fallback;
  ShowCounts();
  if (propose) ProposeGrid();
}

void TThumbs::NumberLeft(QLineEdit* field, int& value, TIndexRange range) {
  if (field->text().isEmpty()) return; // Start tells the user what is missing
  value = range.Clamp(value);
  Write(field, value);
  ShowCounts();
  if (field == Width1 || field == Height1) ProposeGrid();
}

void TThumbs::SetCheck(TIndexCheckBox box, bool on) {
  settings_.SetChecked(box, on);
  if (box == cbBackgroundGraphic || box == cbFromClipboard) BackgraphicClick();
  if (box == cbManualLayout && !on) ProposeGrid();
  if (box == cbLeftJustify || box == cbCentre) {
    settings_.SetChecked(cbLeftJustify, LeftJustify1->isChecked());
    settings_.SetChecked(cbCentre, Centre1->isChecked());
  }
}

void TThumbs::BackgraphicClick() {
  const bool on = Backgraphic->isChecked();
  Tile1->setEnabled(on);
  ClipBrdGraphic->setEnabled(on);
  Browse1->setEnabled(on && !ClipBrdGraphic->isChecked());
}

void TThumbs::PickColor(TColor& color) {
  if (ChooseColor && ChooseColor(color)) ShowColors();
}

void TThumbs::PickFont(TFont& font) {
  TFont chosen = font;
  if (!ChooseFont || !ChooseFont(chosen)) return;
  for (TFont* each : {&settings_.TitleFont, &settings_.FooterFont, &settings_.CaptionFont}) {
    if (each == &font) continue;
    // One face for all keeps each font's own size and colour.
    if (CommonFontStyle->isChecked()) {
      each->Name = chosen.Name;
      each->Style = chosen.Style;
    }
    if (CommonFontColor->isChecked()) each->Color = chosen.Color;
  }
  font = chosen;
  ShowFonts();
}

void TThumbs::BrowseClick() {
  QString file;
  if (!ChooseWallpaper || !ChooseWallpaper(file)) return;
  SetWallpaperFile(file);
  browseFolder_ = QFileInfo(file).absolutePath();
}

void TThumbs::SetWallpaperFile(const QString& path) {
  settings_.WallpaperFile = path;
  Browse1->setToolTip(path);
}

void TThumbs::SetBrowseFolder(const QString& folder, const QString& name) {
  browseFolder_ = folder;
  browseName_ = name;
}

void TThumbs::ShowColors() {
  Paint(Sample1, settings_.Background);
  Paint(IndiColor1, settings_.PageBorderColor);
  IndiColor1->setText(QString::number(settings_.PageBorder));
  Paint(Indicolor2, settings_.ThumbBorderColor);
  Indicolor2->setText(QString::number(std::abs(settings_.ThumbBorder)));
}

void TThumbs::ShowFonts() {
  TitleFontLabel->setText(FontText(settings_.TitleFont));
  FooterFontLabel->setText(FontText(settings_.FooterFont));
  ThumbsFontLabel->setText(FontText(settings_.CaptionFont));
}

void TThumbs::ShowCounts() {
  FilesSelected->setText(QString::number(Host.SelectedFiles().size()));
  FilesAvailable->setText(QString::number(Host.FilesAvailable()));
  Memory->setText(IndexMemoryText(settings_.PageWidth, settings_.PageHeight));
}

void TThumbs::ProposeGrid() {
  if (settings_.Checked(cbManualLayout)) return;
  const auto grid = ProposeIndexGrid(static_cast<int>(Host.SelectedFiles().size()),
                                     settings_.PageWidth, settings_.PageHeight);
  if (!grid) return;
  settings_.Columns = grid->Columns;
  settings_.Rows = grid->Rows;
  Write(ImagesX, settings_.Columns);
  Write(ImagesY, settings_.Rows);
}

void TThumbs::ShowForm() {
  ShowCounts();
  ProposeGrid();
  adjustSize(); // the size to centre is the laid-out one
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  closeReason_ = 0;
  show();
  raise();
  activateWindow();
}

// Runs

QString TThumbs::Refusal() const {
  if (Host.SlideShowRunning()) return "Please Turn Off The SlideShow";
  if (!TBusyClaim::NotBusy() || !TThumbEng::EngineFree())
    return "Please Wait Canvas is in Use by another thread";
  if (Host.SelectedFiles().isEmpty()) return "No Files Have Been Selected";
  if (Height1->text().isEmpty()) return "You have not set the page height correctly";
  if (Width1->text().isEmpty()) return "You have not set the page width correctly";
  return {};
}

bool TThumbs::CellsFit() {
  TIndexPageConfig config = settings_.Config();
  for (const QString& file : Host.SelectedFiles())
    config.Files.push_back(file.toStdString());
  TIndexGeometry geometry;
  try {
    geometry = TIndexComposer(config, {}).Measure();
  } catch (const std::exception& e) {
    ShowMessage(QString::fromStdString(e.what()), kCaption, TMsgIcon::Error, this);
    return false;
  }
  if (geometry.CellWidth >= 2 && geometry.CellHeight >= 2) return true;
  ShowMessage(QString("The pictures do not fit: each would have %1 x %2 pixels.\r"
                      "Make the page larger, or use fewer images per row or fewer rows.")
                  .arg(geometry.CellWidth)
                  .arg(geometry.CellHeight),
              kCaption, TMsgIcon::Warning, this);
  return false;
}

void TThumbs::Start1Click() {
  if (engine_)
    StopAndWait();
  else
    StartRun();
}

void TThumbs::StartRun() {
  const QString refusal = Refusal();
  if (!refusal.isEmpty()) {
    ShowMessage(refusal, kCaption, TMsgIcon::Information, this);
    return;
  }
  if (Host.PictureModified() &&
      !AskYesNo("The shown picture has changes that are not saved.\rReplace it with the index "
                "page?",
                kCaption, TMsgIcon::Question, this))
    return;
  // A grid of no columns or rows has no cells to divide the page into.
  settings_.Columns = std::max(settings_.Columns, 1);
  settings_.Rows = std::max(settings_.Rows, 1);
  Write(ImagesX, settings_.Columns);
  Write(ImagesY, settings_.Rows);
  if (!CellsFit()) return;
  ended_.reset();
  std::unique_ptr<TThumbEng> engine = TThumbEng::Create();
  TBusyClaim claim;
  if (!engine || !claim.Held()) return;
  TIndexPageConfig config = settings_.Config();
  for (const QString& file : Host.SelectedFiles())
    config.Files.push_back(file.toStdString());
  config.PalettePage = ScreenDepth() <= 8;
  // The clipboard belongs to this thread: its picture is read now.
  if (config.FromClipboard) config.ClipboardWallpaper = ReadClipboardWallpaper();
  Host.IndexStarted();
  engine->Config = std::move(config);
  engine->Reader = Host.Reader();
  engine->Target = &Host.PageBitmap();
  engine->OnProgress = [this] { Host.IndexProgress(); };
  engine->OnMessage = [this](const QString& message) {
    ShowMessage(message, kCaption, TMsgIcon::Error, this);
  };
  engine->OnTerminate = [this](int code) { RunEnded(code); };
  engine_ = std::move(engine);
  SetLight(TLight::Running);
  Start1->setText("Stop");
  closeReason_ = 2;
  hide();
  engine_->Start(std::move(claim));
}

void TThumbs::RunEnded(int code) {
  lastCells_ = engine_->Cells();
  lastCode_ = code;
  // The engine is inside its own call: it is let go at the next start or with the window.
  ended_ = std::move(engine_);
  if (IndexCodeShown(code))
    ShowMessage(QString::fromStdString(IndexCodeText(code)), kCaption, TMsgIcon::Error, this);
  SetLight(TLight::Idle);
  Start1->setText("Start");
  Start1->setEnabled(true);
  Host.IndexEnded();
  if (Host.ApplicationMinimized()) {
    showOnRestore_ = true;
  } else {
    closeReason_ = 0;
    show();
  }
}

void TThumbs::StopAndWait() {
  if (!engine_) return;
  SetLight(TLight::Stopping);
  Start1->setEnabled(false);
  engine_->Stop();
  while (engine_)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  Start1->setEnabled(true);
}

void TThumbs::ApplicationRestored() {
  if (!showOnRestore_) return;
  showOnRestore_ = false;
  closeReason_ = 0;
  show();
}

void TThumbs::SaveAs1Click() {
  const QString proposed = ProposeIndexNameFor(Host.CurrentFile());
  if (!proposed.isEmpty()) Host.SaveIndexPage(proposed);
}

void TThumbs::SetLight(TLight light) {
  light_ = light;
  Paint(Light1, light == TLight::Idle ? 0x00FF00 : light == TLight::Running ? 0x0000FF : 0x00FFFF);
}

void TThumbs::closeEvent(QCloseEvent* event) {
  if (closeReason_ != 2) {
    closeReason_ = 1;
    Host.RestoreFileViewUpdate();
  }
  QDialog::closeEvent(event);
}

} // namespace kestrel
