#include "desktop/install/Install.h"

#include "desktop/install/AppIcon.h"
#include "desktop/install/FileTypes.h"
#include "desktop/install/InstallRecord.h"
#include "desktop/install/InstallSettings.h"
#include "platform/ui/MessageBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kestrel {
namespace {

using namespace InstallSettings;

const char* const kWelcome[] = {" ",
                                "   Welcome to Kestrel!",
                                "   --------------------------------",
                                "",
                                "   You can cancel Installation by using the",
                                "   Cancel button on the right.",
                                "",
                                "   You can set up Kestrel! by selecting the",
                                "   tabs in any order you like.",
                                "",
                                "   Don't worry if you make a mistake. You",
                                "   can run Setup again from the Options menu",
                                "   once Kestrel! has started.",
                                "",
                                "   For Help on Setup press  F1 on the Keyboard."};

QString DefaultFolderChooser(QWidget* parent, const QString& title) {
  return QFileDialog::getExistingDirectory(parent, title);
}

} // namespace

TInstall::TInstall(TInstallMode mode, const QString& program, const QString& currentFolder,
                   QWidget* parent)
    : QDialog(parent), ChooseFolder(DefaultFolderChooser), Mode(mode), Program(program),
      CurrentFolder(currentFolder), Desktop(program) {
  setObjectName("Install");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowIcon(AppIconSet());
  BuildPages();
  connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
          &TInstall::HelpRequested);
  FormCreate();
  FormShow();
  // Room for the welcome text unbroken; in the middle of the screen, as the main window may be
  // hidden.
  resize(sizeHint().expandedTo(QSize(560, 380)));
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

QWidget* TInstall::AddPage(const QString& caption, QGroupBox*& group, const QString& title) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  group = new QGroupBox(title, page);
  group->setAutoFillBackground(true);
  new QVBoxLayout(group);
  // The group sits in the middle between the page's top and its "Apply" button.
  layout->addStretch(1);
  layout->addWidget(group);
  layout->addStretch(1);
  Groups.push_back(group);
  PageControl1->addTab(page, caption);
  return page;
}

QCheckBox* TInstall::AddBox(QGroupBox* group, const char* name, const QString& caption) {
  auto* box = new QCheckBox(caption, group);
  box->setObjectName(name);
  group->layout()->addWidget(box);
  return box;
}

QPushButton* TInstall::AddApply(QWidget* page, const char* name) {
  auto* button = new QPushButton("Apply", page);
  button->setObjectName(name);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(button);
  static_cast<QVBoxLayout*>(page->layout())->addLayout(row);
  return button;
}

void TInstall::BuildPages() {
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  QGroupBox* group = nullptr;

  Hello = new QWidget;
  Welcome = new QPlainTextEdit(Hello);
  Welcome->setReadOnly(true);
  Welcome->setLineWrapMode(QPlainTextEdit::NoWrap);
  QStringList welcome;
  for (const char* line : kWelcome)
    welcome << line;
  Welcome->setPlainText(welcome.join('\n'));
  (new QVBoxLayout(Hello))->addWidget(Welcome);
  PageControl1->addTab(Hello, "Hello");

  Icons = AddPage("Icons", group, "Create Icon");
  ChkDeskTop = AddBox(group, "ChkDeskTop", "On DeskTop");
  ChkStartMenu = AddBox(group, "ChkStartMenu", "In Start Menu Programs");
  ChkSendTo = AddBox(group, "ChkSendTo", " In Send To Menu");
  ChkSendTo->setToolTip("Kestrel! is offered in the desktop's \"Open With\" menus");
  ApplyIcons = AddApply(Icons, "ApplyIcons");

  StartupFolder = AddPage("Startup Folder", group, "Folder to Open When Kestrel Starts");
  RadioButton1 = new QRadioButton("Last Visited  (recommended)", group);
  RadioButton2 = new QRadioButton("Current Folder", group);
  RadioButton3 = new QRadioButton("Custom", group);
  Edit1 = new QLineEdit(group);
  Edit1->setReadOnly(true);
  BitBtn3 = new QPushButton("Browse", group);
  for (QWidget* control : std::initializer_list<QWidget*>{RadioButton1, RadioButton2, RadioButton3})
    group->layout()->addWidget(control);
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(Edit1, 1);
  folderRow->addWidget(BitBtn3);
  static_cast<QVBoxLayout*>(group->layout())->addLayout(folderRow);

  Extensions = AddPage("Extensions", group, "Make Kestrel! the Default Viewer for");
  auto* grid = new QGridLayout;
  static_cast<QVBoxLayout*>(group->layout())->addLayout(grid);
  const auto& boxes = FileTypeBoxes();
  const int rows = int(boxes.size() + 1) / 2;
  for (int i = 0; i < int(boxes.size()); ++i) {
    auto* box = new QCheckBox(boxes[i].Caption, group);
    box->setObjectName(boxes[i].Name);
    grid->addWidget(box, i % rows, i / rows);
    ExtensionBoxes.emplace_back(box, boxes[i].Bit);
  }
  ApplyExtns = AddApply(Extensions, "ApplyExtns");

  Misc = AddPage("Misc", group, "Miscellaneous Functions");
  ShowAllAgain = AddBox(group, "ShowAllAgain", "Restore all \"Don't Show Again\" dialogs");
  GoNative1 = AddBox(group, "GoNative1", "Match Image to Display Resolution");
  StartMinimized = AddBox(group, "StartMinimized", "Start Minimized");
  SingleInstance = AddBox(group, "SingleInstance", "Single Instance Application");

  BtCancel = new QPushButton("Cancel", this);
  BtCancel->setObjectName("BtCancel");
  BtCancel->setToolTip("Cancel Installation");
  BtDone = new QPushButton("Done", this);
  BtDone->setObjectName("BtDone");
  BtDone->setToolTip("Installation Complete");
  BtDone->setDefault(true);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(BtCancel);
  buttons->addStretch(1);
  buttons->addWidget(BtDone);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(PageControl1, 1);
  layout->addLayout(buttons);

  connect(RadioButton1, &QRadioButton::clicked, this, &TInstall::RadioButton1Click);
  connect(RadioButton2, &QRadioButton::clicked, this, &TInstall::RadioButton2Click);
  connect(RadioButton3, &QRadioButton::clicked, this, &TInstall::RadioButton3Click);
  connect(BitBtn3, &QPushButton::clicked, this, &TInstall::BitBtn3Click);
  connect(GoNative1, &QCheckBox::clicked, this, &TInstall::GoNative1Click);
  connect(ApplyIcons, &QPushButton::clicked, this, &TInstall::ApplyIconsClick);
  connect(ApplyExtns, &QPushButton::clicked, this, &TInstall::ApplyExtnsClick);
  connect(BtCancel, &QPushButton::clicked, this, &TInstall::BtCancelClick);
  connect(BtDone, &QPushButton::clicked, this, &TInstall::BtDoneClick);
}

void TInstall::FormCreate() {
  const bool firstRun = Mode == TInstallMode::FirstRun;
  PageControl1->setTabVisible(PageControl1->indexOf(Hello), firstRun);
  PageControl1->setTabVisible(PageControl1->indexOf(Misc), !firstRun);
  PageControl1->setCurrentWidget(firstRun ? Hello : Icons);
  ApplyIcons->setVisible(!firstRun);
  ApplyExtns->setVisible(!firstRun);
  if (!firstRun) {
    BtCancel->setText("Uninstall");
    BtCancel->setToolTip("Uninstall Kestrel!");
  }
  Uninstalling = false;
  // Read without storing defaults: a cancelled first run leaves the store as it found it.
  const int locations = PeekSetting(Locations, lbDesktop | lbStartMenu | lbSendTo);
  ChkDeskTop->setChecked(locations & lbDesktop);
  ChkStartMenu->setChecked(locations & lbStartMenu);
  ChkSendTo->setChecked(locations & lbSendTo);
  const int extensions = PeekSetting(InstallSettings::Extensions, 0);
  for (const auto& [box, bit] : ExtensionBoxes)
    box->setChecked(extensions & bit);
  SingleInstance->setChecked(PeekFlag(InstallSettings::SingleInstance, false));
  StartMinimized->setChecked(PeekFlag(InstallSettings::StartMinimized, false));
  GoNative1->setChecked(PeekFlag(GoNative, false));
}

void TInstall::FormShow() {
  setWindowTitle("Kestrel! Installation: Ver " + FileVersion());
  Edit1->setText(PeekSetting(InitialDir, QString()));
  if (PeekFlag(CustomDir, false) && !Edit1->text().isEmpty()) {
    RadioButton3->setChecked(true);
    RadioButton3Click();
  } else {
    RadioButton1->setChecked(true);
    RadioButton1Click();
  }
}

void TInstall::SetCurrentFolder(const QString& folder) {
  CurrentFolder = folder;
  if (RadioButton2->isChecked()) Edit1->setText(folder);
}

void TInstall::SetPanelColors(const QColor& panel, const QColor& text) {
  for (QGroupBox* group : Groups) {
    QPalette palette = group->palette();
    palette.setColor(QPalette::Window, panel);
    palette.setColor(QPalette::WindowText, text);
    group->setPalette(palette);
  }
}

void TInstall::RadioButton1Click() {
  BitBtn3->setEnabled(false);
  Edit1->setEnabled(false);
  FixedFolder = false;
}

void TInstall::RadioButton2Click() {
  BitBtn3->setEnabled(false);
  Edit1->setEnabled(true);
  Edit1->setText(CurrentFolder);
  FixedFolder = true;
}

void TInstall::RadioButton3Click() {
  BitBtn3->setEnabled(true);
  Edit1->setEnabled(true);
  FixedFolder = true;
}

void TInstall::BitBtn3Click() {
  const QString folder =
      ChooseFolder(this, "Select the folder Kestrel! will always open when it starts.");
  if (!folder.isEmpty()) Edit1->setText(folder);
}

void TInstall::GoNative1Click() {
  emit MatchDisplayChanged(GoNative1->isChecked());
}

int TInstall::LocationBits() const {
  return (ChkDeskTop->isChecked() ? lbDesktop : 0) | (ChkStartMenu->isChecked() ? lbStartMenu : 0) |
         (ChkSendTo->isChecked() ? lbSendTo : 0);
}

int TInstall::ExtensionBits() const {
  int bits = 0;
  for (const auto& [box, bit] : ExtensionBoxes)
    if (box->isChecked()) bits |= bit;
  return bits;
}

void TInstall::ApplyIconsClick() {
  Report(Desktop.ApplyLaunchers({LocationBits(), ExtensionBits()}));
  WriteSetting(Locations, LocationBits());
}

void TInstall::ApplyExtnsClick() {
  Report(Desktop.ApplyFileTypes({LocationBits(), ExtensionBits()}));
  WriteSetting(InstallSettings::Extensions, ExtensionBits());
}

void TInstall::Report(const QStringList& problems) {
  if (!problems.isEmpty())
    ShowMessage(problems.join('\r'), "Kestrel!", TMsgIcon::Information, this);
}

void TInstall::BtCancelClick() {
  if (Mode == TInstallMode::FirstRun)
    close(); // without "Done": the program ends
  else
    Uninstall();
}

void TInstall::BtDoneClick() {
  DoneClicked = true;
  close();
}

bool TInstall::Uninstall() {
  if (!AskYesNo("Remove Kestrel! from Your Computer?", "Confirm Uninstall", TMsgIcon::Question,
                this))
    return false;
  Uninstalling = true;
  Report(Desktop.Remove());
  for (const QString& failure : RemoveProgramRecords(Program))
    ShowMessage(failure, "Kestrel!", TMsgIcon::Information, this);
  emit ExitProgram();
  close();
  return true;
}

void TInstall::reject() {
  close(); // Esc closes as the window's close button does
}

void TInstall::closeEvent(QCloseEvent* event) {
  FormDestroy();
  event->accept();
}

void TInstall::FormDestroy() {
  if (Finished) return;
  Finished = true;
  if (Uninstalling) return; // the records went with the program
  if (Mode == TInstallMode::FirstRun && !DoneClicked) {
    emit ExitProgram();
    return;
  }
  if (Mode == TInstallMode::FirstRun) {
    ApplyIconsClick();
    ApplyExtnsClick();
  }
  StoreChoices();
  if (Mode != TInstallMode::Remove) emit ShowMainWindow();
}

void TInstall::StoreChoices() {
  for (const QString& failure : WriteProgramRecords(Program))
    ShowMessage(failure, "Kestrel!", TMsgIcon::Information, this);
  // A custom folder never chosen is no fixed folder: the start would otherwise find none and
  // never remember the last one either.
  const bool fixed = FixedFolder && !Edit1->text().isEmpty();
  WriteFlag(CustomDir, fixed);
  if (fixed) WriteSetting(InitialDir, Edit1->text());
  WriteFlag(InstallSettings::SingleInstance, SingleInstance->isChecked());
  WriteFlag(InstallSettings::StartMinimized, StartMinimized->isChecked());
  WriteFlag(GoNative, GoNative1->isChecked());
  if (ShowAllAgain->isChecked()) WriteSetting(DontShowAgain, 0);
}

} // namespace kestrel
