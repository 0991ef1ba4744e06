#include "app/main/KestrelMain.h"

#include "app/canvas/NewCanvasDlg.h"
#include "app/editing/EditingTools.h"
#include "app/editing/PictureEditor.h"
#include "app/filecommands/FileCommands.h"
#include "app/main/ImageMask.h"
#include "app/main/MainSettings.h"
#include "app/paintbox/ColorDlg.h"
#include "app/resample/ResampleDialog.h"
#include "app/rotate/RotateDialog.h"
#include "app/saveas/SaveImageAs.h"
#include "app/saveas/ViewerSaveQuestions.h"
#include "app/undo/Undo.h"
#include "app/view/Dpicture.h"
#include "app/view/PictureLoader.h"
#include "browse/filelists/DCombobox.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "browse/index/Thumbs.h"
#include "desktop/capture/Capture.h"
#include "desktop/wallpaper/Wallpaper.h"
#include "platform/paths/Paths.h"
#include "platform/registry/RegistryFile.h"
#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrel {
namespace {

TKestrelMain* instance = nullptr;

QFrame* Panel(const char* name, QWidget* parent) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  return panel;
}

} // namespace

TKestrelMain* TKestrelMain::Instance() {
  return instance;
}

TKestrelMain::TKestrelMain(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), Arguments(arguments), ProgramFile(ExecutableFile()),
      Mutex("BrackwellKestrelMutex1") {
  instance = this;
  // What goes wrong with the settings file is told, and the program starts all the same. Set
  // before anything here reads a setting.
  TRegistryFile::SetReporter([](const QString& message) {
    ShowMessage(message, "Kestrel!: Settings", TMsgIcon::Warning);
  });
  // The folder list moves the process's current folder at start; a relative path names a file
  // from where the program was started.
  if (Arguments.size() > 1 && !Arguments[1].isEmpty())
    Arguments[1] = QFileInfo(Arguments[1]).absoluteFilePath();
  setObjectName("KestrelMain");
  setWindowTitle(kCaption);
  resize(MainSettings::kLayoutWidth, MainSettings::kLayoutHeight);
  BuildLayout();
  CommandSet = std::make_unique<TCommandSet>(this, menuBar(), ToolBar1);
  WatchControls();
  CreateView();
  CreateSaving();
  CreateFileCommands();
  CreateViewers();
  CreateFind();
}

TKestrelMain::~TKestrelMain() {
  qApp->removeEventFilter(this);
  CloseResampler();
  CloseIndexMaker();
  CloseGallery();
  ClosePaintWindows();
  // The tools window reads the editor, which goes with this object.
  delete EditingTools;
  EditingTools = nullptr;
  // The children's last events (hide, resize) come after this object is gone: the view's hook
  // must not hand them on.
  delete ViewEvents;
  ViewEvents = nullptr;
  if (instance == this) instance = nullptr;
}

QWidget* TKestrelMain::ActiveControl() const {
  QWidget* focus = focusWidget();
  return focus && !qobject_cast<QMenuBar*>(focus) ? focus : LastControl.data();
}

void TKestrelMain::BuildLayout() {
  Splitter2 = new QSplitter(Qt::Horizontal, this);
  Splitter2->setObjectName("Splitter2");
  Splitter2->setChildrenCollapsible(false);
  setCentralWidget(Splitter2);

  FileView = Panel("FileView", Splitter2);
  FileView->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  FileView->setMinimumWidth(20);
  auto* fileLayout = new QVBoxLayout(FileView);
  fileLayout->setContentsMargins(1, 1, 1, 1);
  fileLayout->setSpacing(0);

  ToolBar1 = Panel("ToolBar1", FileView);
  auto* toolLayout = new QHBoxLayout(ToolBar1);
  toolLayout->setContentsMargins(0, 0, 0, 0);
  toolLayout->setSpacing(0);
  fileLayout->addWidget(ToolBar1);

  Panel4 = Panel("Panel4", FileView);
  auto* driveLayout = new QHBoxLayout(Panel4);
  DCombobox1 = new TDCombobox(Panel4);
  DCombobox1->setObjectName("DCombobox1");
  driveLayout->addWidget(DCombobox1);
  fileLayout->addWidget(Panel4);

  Splitter1 = new QSplitter(Qt::Vertical, FileView);
  Splitter1->setObjectName("Splitter1");
  Splitter1->setChildrenCollapsible(false);
  DListBox1 = new TDListBox(Splitter1);
  DListBox1->setObjectName("DListBox1");
  FListBox1 = new TFListBox(Splitter1);
  FListBox1->setObjectName("FListBox1");
  FListBox1->SetMultiSelect(true);
  FListBox1->SetFileType({ftReadOnly, ftHidden, ftSystem, ftArchive, ftNormal});
  // The picture mask from the start, so no folder is read twice for it.
  FListBox1->SetMask(ImageMask(ViewerExtensions()));
  DCombobox1->SetDirList(DListBox1);
  DListBox1->SetFileList(FListBox1);
  fileLayout->addWidget(Splitter1, 1);

  Label1 = new QLabel(FileView);
  Label1->setObjectName("Label1");
  Label1->setFixedHeight(17);
  Label1->setAutoFillBackground(true);
  Label1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Edit1 = new QLineEdit("*.*", Label1);
  Edit1->setObjectName("Edit1");
  Edit1->setToolTip("Filter");
  Edit1->hide();
  fileLayout->addWidget(Label1);

  Panel2 = Panel("Panel2", Splitter2);
  Panel2->setAccessibleName("areapanel");
  Panel2->setMinimumWidth(20);
  Panel2->setAutoFillBackground(true);
  auto* areaLayout = new QVBoxLayout(Panel2);
  areaLayout->setContentsMargins(0, 0, 0, 0);
  ScrollBox1 = new QScrollArea(Panel2);
  ScrollBox1->setObjectName("ScrollBox1");
  ScrollBox1->setFrameStyle(QFrame::Box | QFrame::Plain);
  ScrollBox1->setWidgetResizable(true);
  areaLayout->addWidget(ScrollBox1);
  PaintBox2 = new QWidget;
  PaintBox2->setObjectName("PaintBox2");
  ScrollBox1->setWidget(PaintBox2);
  PaintBox1 = new QWidget(PaintBox2);
  PaintBox1->setObjectName("PaintBox1");
  PaintBox1->setGeometry(0, 0, 1, 1);
  Pictext = new QPlainTextEdit(PaintBox2);
  Pictext->setObjectName("Pictext");
  Pictext->hide();

  Splitter2->addWidget(FileView);
  Splitter2->addWidget(Panel2);
  Splitter2->setStretchFactor(1, 1);
  Splitter2->setSizes({FileViewWidth, MainSettings::kLayoutWidth - FileViewWidth});

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, &TKestrelMain::Timer1Timer);
}

void TKestrelMain::WatchControls() {
  // One filter on the application: the window sees every key before its controls do, and the
  // presses on its lists and background.
  qApp->installEventFilter(this);
  connect(FListBox1, &TOwnerDrawList::Click, this, &TKestrelMain::Flistbox1Click);
  connect(FListBox1, &TOwnerDrawList::DblClick, this, &TKestrelMain::Flistbox1DblClick);
  connect(FListBox1, &TFListBox::ReadFailed, this, &TKestrelMain::FileListReadFailed);
  connect(DListBox1, &TDListBox::Change, this, &TKestrelMain::DListBox1Change);
  connect(DListBox1, &TDListBox::OpenFailed, this, &TKestrelMain::FolderOpenFailed);
  connect(Splitter2, &QSplitter::splitterMoved, this, &TKestrelMain::Splitter2Moved);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now && now->window() == this && !qobject_cast<QMenuBar*>(now)) LastControl = now;
  });
  setAcceptDrops(true);
}

} // namespace kestrel
