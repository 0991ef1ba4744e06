#include "desktop/viewers/ExtViewerDialog.h"

#include "desktop/viewers/ViewerList.h"
#include "platform/process/Process.h"
#include "platform/ui/MessageBox.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMimeDatabase>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kestrel {
namespace {

const char kCaption[] = "Set External Viewer";

QString DefaultProgramChooser(QWidget* parent) {
  return QFileDialog::getOpenFileName(parent, "Open", QString(), "Executable File (*)");
}

// The icon the desktop gives a program, found by its name alone: reading a file to learn its
// kind could wait on a slow volume.
QIcon ProgramIcon(const QString& path, const QStyle* style) {
  const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
  const QString name = type.isDefault() ? QString("application-x-executable") : type.iconName();
  return QIcon::fromTheme(name, style->standardIcon(QStyle::SP_FileIcon));
}

} // namespace

TExtViewerDialog::TExtViewerDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), ChooseProgram(DefaultProgramChooser) {
  setObjectName("ExtViewerDialog");
  setWindowTitle(kCaption);
  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName("ListView1");
  ListView1->setHeaderLabels({"File Name", "Where Located"});
  ListView1->setRootIsDecorated(false);
  ListView1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  Button1 = new QPushButton("Browse", this);
  Button1->setObjectName("Button1");
  Button2 = new QPushButton("Delete", this);
  Button2->setObjectName("Button2");
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ListView1, 1);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);
  resize(480, 260);
  connect(Button1, &QPushButton::clicked, this, &TExtViewerDialog::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TExtViewerDialog::Button2Click);
  connect(ListView1, &QTreeWidget::itemClicked, this, &TExtViewerDialog::ListView1Click);
  // The window takes keys first: Delete works wherever the focus is in it.
  connect(new QShortcut(QKeySequence::Delete, this), &QShortcut::activated, this,
          &TExtViewerDialog::Button2Click);
  LoadList();
}

void TExtViewerDialog::AddRow(const QString& name, const QString& path, const QIcon& icon) {
  auto* row = new QTreeWidgetItem(ListView1, {name, path});
  row->setIcon(0, icon);
}

void TExtViewerDialog::LoadList() {
  ListView1->clear();
  AddRow("Open Container", "the desktop's file manager",
         QIcon::fromTheme("system-file-manager", style()->standardIcon(QStyle::SP_DirIcon)));
  for (const QString& program : LoadViewers())
    AddRow(QFileInfo(program).fileName(), program, ProgramIcon(program, style()));
}

QStringList TExtViewerDialog::Names() const {
  QStringList names;
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
    names << ListView1->topLevelItem(i)->text(0);
  return names;
}

QString TExtViewerDialog::ProgramOf(int index) const {
  if (index <= 0 || index >= ListView1->topLevelItemCount()) return {};
  return ListView1->topLevelItem(index)->text(1);
}

QStringList TExtViewerDialog::Programs() const {
  QStringList programs;
  for (int i = 1; i < ListView1->topLevelItemCount(); ++i)
    programs << ProgramOf(i);
  return programs;
}

bool TExtViewerDialog::AddProgram(const QString& program) {
  const QString path = QFileInfo(program).absoluteFilePath();
  if (const qsizetype listed = Programs().indexOf(path); listed >= 0) {
    ListView1->setCurrentItem(ListView1->topLevelItem(int(listed) + 1));
    return true;
  }
  // A name that is not in the system's encoding reaches us with its bad bytes replaced, so it
  // names no file; it has to be renamed first.
  if (path.contains(QChar::ReplacementCharacter)) {
    ShowMessage(path + "\rThe name of this program is not readable text: rename it to use it as an "
                       "external viewer.",
                kCaption, TMsgIcon::Information, this);
    return false;
  }
  if (const int error = ProgramError(path); error != 0) {
    ShowMessage(path + "\r" + SystemErrorText(error) +
                    "\rOnly a program can be an external viewer.",
                kCaption, TMsgIcon::Information, this);
    return false;
  }
  if (Programs().size() >= kMaxViewers) {
    ShowMessage(
        QString("The list holds at most %1 external viewers: delete one first.").arg(kMaxViewers),
        kCaption, TMsgIcon::Information, this);
    return false;
  }
  AddRow(QFileInfo(path).fileName(), path, ProgramIcon(path, style()));
  ListView1->setCurrentItem(ListView1->topLevelItem(ListView1->topLevelItemCount() - 1));
  return true;
}

void TExtViewerDialog::FillMenu(QMenu* menu, const std::function<void(int)>& open) const {
  menu->clear();
  const QStringList names = Names();
  for (int i = 0; i < names.size(); ++i) {
    QAction* item = menu->addAction(QString(names[i]).replace("&", "&&"));
    connect(item, &QAction::triggered, menu, [open, i] { open(i); });
  }
}

void TExtViewerDialog::Button1Click() {
  const QString program = ChooseProgram(this);
  if (!program.isEmpty()) AddProgram(program);
  ListView1->setFocus();
}

void TExtViewerDialog::Button2Click() {
  QTreeWidgetItem* row = ListView1->currentItem();
  // "Open Container" is not a stored program: the list always starts with it.
  if (!row || !row->isSelected() || ListView1->indexOfTopLevelItem(row) == 0) return;
  if (!AskYesNo(row->text(0), "Confirm Delete From List", TMsgIcon::Question, this)) return;
  delete row;
  ListView1->setFocus();
  if (QTreeWidgetItem* focused = ListView1->currentItem()) focused->setSelected(true);
}

void TExtViewerDialog::ListView1Click() {
  QTreeWidgetItem* row = ListView1->currentItem();
  if (!row) return;
  row->setSelected(true);
  StatusBar1->showMessage(row->text(0));
}

void TExtViewerDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ListView1->setFocus();
}

void TExtViewerDialog::reject() {
  close(); // Esc closes as the close button does, storing the list
}

void TExtViewerDialog::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept(); // the dialog's own handling would reject, which closes again
}

void TExtViewerDialog::FormClose() {
  SaveViewers(Programs());
  if (Rebuild) Rebuild();
}

} // namespace kestrel
