#include "desktop/rename/RenameDialog.h"

#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "browse/filelists/PathText.h"
#include "desktop/rename/NameParts.h"
#include "platform/files/Errors.h"
#include "platform/files/FileTransfer.h"
#include "platform/ui/MessageBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <cerrno>

namespace kestrel {
namespace {

struct TModeTexts {
  const char* Caption;
  const char* Edit1Label;
  const char* CheckBox1;
};

TModeTexts TextsOf(TRenameDialog::TMode mode) {
  if (mode == TRenameDialog::mdFolder) return {"Rename Folder", "New Folder", "Alt Folder"};
  return {"Rename Image File", "New File", "Alt File Name"};
}

// Characters a name typed into the window never gets: they have no place in a portable name.
bool Swallowed(const QString& text) {
  return text.size() == 1 && QStringLiteral("*/:<>?\\|").contains(text[0]);
}

bool IsEnter(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TRenameDialog::TRenameDialog(TDListBox* folders, TFListBox* files, TRenameHooks hooks,
                             QWidget* parent)
    : QWidget(parent, Qt::Tool), Folders(folders), Files(files), Hooks(std::move(hooks)) {
  setObjectName("TRenameDialog1");
  BuildLayout();
  ShowModeTexts();
}

TRenameDialog::~TRenameDialog() = default;

void TRenameDialog::BuildLayout() {
  auto* grid = new QGridLayout(this);
  Edit1Label = new QLabel(this);
  Edit1 = new QLineEdit(this);
  CheckBox1 = new QCheckBox(this);
  Autoincrement1 = new QCheckBox("Autoincrement", this);
  Edit2 = new QLineEdit(this);
  Edit3 = new QLineEdit(this);
  Edit3->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), Edit3));
  Edit3->setMaximumWidth(80);
  Edit4 = new QLineEdit(this);
  Edit4->setReadOnly(true);
  Edit4->setMaximumWidth(60);
  Button1 = new QPushButton("Rename", this);
  CopyMoveLabel = new QLabel("Set As  Copy/Move Target ", this);
  CopyMoveButton = new QPushButton("...", this);
  CopyMoveButton->setMaximumWidth(40);
  grid->addWidget(Edit1Label, 0, 0);
  grid->addWidget(Edit1, 0, 1, 1, 3);
  grid->addWidget(CheckBox1, 1, 0);
  grid->addWidget(Autoincrement1, 1, 1, 1, 3);
  grid->addWidget(Edit2, 2, 0, 1, 2);
  grid->addWidget(Edit3, 2, 2);
  grid->addWidget(Edit4, 2, 3);
  grid->addWidget(CopyMoveLabel, 3, 0, 1, 2);
  grid->addWidget(CopyMoveButton, 3, 2);
  grid->addWidget(Button1, 3, 3);
  const char* names[] = {"Edit1", "Edit2", "Edit3", "Edit4"};
  QLineEdit* edits[] = {Edit1, Edit2, Edit3, Edit4};
  for (int i = 0; i < 4; ++i) {
    edits[i]->setObjectName(names[i]);
    edits[i]->installEventFilter(this);
  }
  installEventFilter(this);
  connect(CheckBox1, &QCheckBox::clicked, this, &TRenameDialog::CheckBox1Click);
  connect(Autoincrement1, &QCheckBox::clicked, this, &TRenameDialog::Autoincrement1Click);
  connect(Button1, &QPushButton::clicked, this, &TRenameDialog::Button1Click);
  connect(CopyMoveButton, &QPushButton::clicked, this, &TRenameDialog::CopyMoveButtonClick);
  connect(Edit1, &QLineEdit::returnPressed, this, &TRenameDialog::Button1Click);
  resize(360, sizeHint().height());
}

void TRenameDialog::Open(TMode mode) {
  CurrentMode = mode;
  FormShow();
  if (!isVisible() && parentWidget()) {
    // Over the window it serves, where its lists are.
    const QRect owner = parentWidget()->window()->geometry();
    move(owner.center() - QPoint(width() / 2, height() / 2));
  }
  show();
  raise();
  activateWindow();
  // Typing replaces the name at once.
  QLineEdit* field = CheckBox1->isChecked() ? Edit2 : Edit1;
  field->setFocus();
  field->selectAll();
}

void TRenameDialog::ListClicked(TMode list) {
  if (isVisible() && list == CurrentMode) FormShow();
}

void TRenameDialog::HoldPause(std::unique_ptr<TRefreshPause> pause) {
  Held = std::move(pause);
}

void TRenameDialog::ShowModeTexts() {
  const TModeTexts texts = TextsOf(CurrentMode);
  Caption = texts.Caption;
  setWindowTitle(Caption);
  Edit1Label->setText(texts.Edit1Label);
  CheckBox1->setText(texts.CheckBox1);
  const bool folder = CurrentMode == mdFolder;
  CopyMoveLabel->setVisible(folder);
  CopyMoveButton->setVisible(folder);
}

void TRenameDialog::TakeSelection() {
  TargetPath.clear();
  if (CurrentMode == mdFolder) {
    // Its sub-folders may still be on their way.
    Folders->FinishReading();
    const int index = Folders->ItemIndex();
    if (index < 0) return;
    TargetPath = Folders->ItemPath(index);
    Edit1->setText(QFileInfo(TargetPath).fileName());
    return;
  }
  int index = Files->ItemIndex();
  if (index < 0 || !Files->Selected(index)) {
    index = -1;
    for (int i = 0; i < Files->Count() && index < 0; ++i)
      if (Files->Selected(i)) index = i;
  }
  if (index < 0) return;
  TargetPath = JoinPath(Files->Directory(), Files->Item(index).Name);
  Edit1->setText(Files->Item(index).Name);
}

void TRenameDialog::FormShow() {
  EnableFields();
  ShowModeTexts();
  TakeSelection();
  if (!CheckBox1->isChecked()) {
    SplitIntoParts();
  } else {
    // The base and the number stay for the next file of a series; its extension is its own.
    Edit4->setText(TNameParts::Split(Edit1->text()).Extension);
  }
}

void TRenameDialog::SplitIntoParts() {
  const TNameParts parts = TNameParts::Split(Edit1->text());
  Edit2->setText(parts.Base);
  Edit3->setText(parts.Number);
  Edit4->setText(parts.Extension);
}

void TRenameDialog::EnableFields() {
  const bool parts = CheckBox1->isChecked();
  for (QWidget* field : std::initializer_list<QWidget*>{Edit2, Edit3, Edit4, Autoincrement1})
    field->setEnabled(parts);
  Edit1->setEnabled(!parts);
}

void TRenameDialog::CheckBox1Click() {
  SplitIntoParts();
  EnableFields();
}

void TRenameDialog::Autoincrement1Click() {
  FormShow();
}

QString TRenameDialog::NewName() const {
  if (!CheckBox1->isChecked()) return Edit1->text();
  return TNameParts{Edit2->text(), Edit3->text(), Edit4->text()}.Joined();
}

void TRenameDialog::Button1Click() {
  // Nothing selected, or a folder while the folder list is out of sight: nothing to rename.
  if (TargetPath.isEmpty() || CurrentMode == mdNone) return;
  if (CurrentMode == mdFolder && !Folders->isVisibleTo(Folders->window())) return;
  const QString name = NewName();
  if (const QString problem = NameProblem(name); !problem.isEmpty()) {
    ShowError(problem);
    return;
  }
  const TRefreshPause pause(Hooks.AutoRefresh);
  const QString from = TargetPath;
  const QString to = JoinPath(QFileInfo(from).path(), name);
  if (const int error = RenameNoReplace(from, to); error != 0) {
    ShowError(error == EEXIST || error == ENOTEMPTY ? "Name Already Exists" : "Rename Error");
    return;
  }
  TargetPath = to;
  if (CurrentMode == mdFolder)
    FolderRenamed(from, to);
  else if (Hooks.FileRenamed)
    Hooks.FileRenamed(to);
  if (Autoincrement1->isChecked()) Edit3->setText(NextNumber(Edit3->text()));
}

void TRenameDialog::FolderRenamed(const QString& from, const QString& to) {
  const QString shown = Folders->Directory();
  try {
    if (shown == from || shown.startsWith(from + "/"))
      Folders->SetDirectory(to + shown.mid(from.size())); // the same place under its new name
    else
      Folders->Update();
  } catch (const EInOutError&) {
    Folders->Update();
  }
  Folders->FinishReading();
  for (int i = 0; i < Folders->Count(); ++i) {
    if (Folders->ItemPath(i) == to) {
      Folders->SetItemIndex(i);
      break;
    }
  }
}

void TRenameDialog::CopyMoveButtonClick() {
  const int index = Folders->ItemIndex();
  if (index < 0) return;
  const QString folder = Folders->ItemPath(index);
  if (AskOkCancel(folder, "Target Folder for Copy/Move will be:", TMsgIcon::Question, this) &&
      Hooks.SetCopyMoveTarget)
    Hooks.SetCopyMoveTarget(folder);
}

void TRenameDialog::ShowError(const QString& text) {
  setWindowTitle(text);
}

void TRenameDialog::RestoreCaption() {
  setWindowTitle(Caption);
}

bool TRenameDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && watched == Edit1) RestoreCaption();
  if (event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == this || watched == Edit1 || watched == Edit2 || watched == Edit3) {
    if (key->key() == Qt::Key_Escape) {
      close();
      return true;
    }
  }
  if (watched == Edit1 || watched == Edit2) {
    RestoreCaption();
    if (Swallowed(key->text())) return true;
  }
  if (watched == Edit3 && !IsEnter(key->key())) {
    RestoreCaption();
    const QString text = key->text();
    const bool digit = text.size() == 1 && text[0] >= '0' && text[0] <= '9';
    if (!text.isEmpty() && !digit && key->key() != Qt::Key_Backspace) return true;
  }
  return false;
}

void TRenameDialog::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}

void TRenameDialog::FormClose() {
  RestoreCaption();
  Held.reset();
  if (Hooks.RefreshPending && Hooks.RefreshPending() && Hooks.RefreshFileView)
    Hooks.RefreshFileView();
}

} // namespace kestrel
