// Keyboard, mouse and file drops of the main window.

#include "app/main/KestrelMain.h"

#include "app/filecommands/FileCommands.h"
#include "app/fullscreen/BigScreen.h"
#include "app/main/Keys.h"
#include "browse/filelists/DCombobox.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "platform/ui/DroppedFile.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollArea>

namespace kestrel {
namespace {

// Cursor 2: the colour cycle is under the mouse.
const Qt::CursorShape kCycleCursor = Qt::PointingHandCursor;

} // namespace

bool TKestrelMain::FirstReceiver(QObject* watched) const {
  // A key goes to the focus widget first (to the window when nothing has the focus); its parents
  // see it again only when it was not taken.
  // The full-screen window's keys are the main window's.
  const auto* widget = qobject_cast<const QWidget*>(watched);
  if (!widget || (widget->window() != this && widget->window() != BigScreen)) return false;
  const QWidget* focus = QApplication::focusWidget();
  return focus ? widget == focus : widget == widget->window();
}

bool TKestrelMain::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
  case QEvent::KeyPress: {
    auto* key = static_cast<QKeyEvent*>(event);
    if (!FirstReceiver(watched)) return false;
    // What is typed into the text box is text, not the window's commands.
    if (watched == static_cast<QObject*>(Pictext)) return false;
    if (FormKeyDown(key)) return true;
    if (watched == FListBox1) return Flistbox1KeyDown(key);
    if (watched == DListBox1) return DListBox1KeyDown(key);
    if (watched == DCombobox1) return DCombobox1KeyDown(key);
    return false;
  }
  case QEvent::KeyRelease: {
    auto* key = static_cast<QKeyEvent*>(event);
    if (!FirstReceiver(watched)) return false;
    FormKeyUp(key);
    if (watched == FListBox1) FListBox1KeyUp(key);
    return false;
  }
  case QEvent::MouseButtonPress: {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (watched == FListBox1->viewport()) return Flistbox1MouseDown(mouse);
    if (watched == DListBox1->viewport()) return DListBox1MouseDown(mouse);
    if (watched == ScrollBox1->viewport() || watched == PaintBox2 || watched == FileView) {
      // A press on a child (the picture, the status line) is passed up through its parents; it
      // is the background's only where no child lies under it.
      if (!static_cast<QWidget*>(watched)->childAt(mouse->position().toPoint()))
        BackgroundMouseDown(mouse);
    }
    return false;
  }
  case QEvent::MouseButtonRelease:
    if (watched == DListBox1->viewport()) return DListBox1MouseUp(static_cast<QMouseEvent*>(event));
    return false;
  default:
    return false;
  }
}

bool TKestrelMain::OverWidget(QWidget* widget) const {
  return widget->isVisible() && widget->rect().contains(widget->mapFromGlobal(QCursor::pos()));
}

bool TKestrelMain::FileViewAway() const {
  const QWidget* active = QApplication::activeWindow();
  return FileView->isHidden() || (active && FileView->window() != active);
}

void TKestrelMain::ShowTransientCaption(const QString& text) {
  setWindowTitle(text); // the key release brings BaseCaption back
}

bool TKestrelMain::FormKeyDown(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Shift) {
    if ((OverWidget(DListBox1) || OverWidget(Panel2)) && !OverWidget(PaintBox1) && !CursorChanged) {
      QApplication::setOverrideCursor(QCursor(kCycleCursor));
      CursorChanged = true;
    }
    return false;
  }
  if (key == Qt::Key_Space) {
    ShowTransientCaption(ImageKind == 0 ? QString("No Image is Loaded") : ImageDescription());
    return true; // no control sees it
  }
  if (key == Qt::Key_Insert) {
    if (FListBox1->hasFocus() && OverWidget(FListBox1))
      CommandSet->Menu("PopupMenu1")->popup(QCursor::pos());
    else if (DListBox1->hasFocus() && OverWidget(DListBox1))
      CommandSet->Menu("PopupMenu2")->popup(QCursor::pos());
    return false;
  }
  if (key == Qt::Key_Escape) {
    // In full screen Esc only closes the window, when it is let go.
    if (BigScreen) return true;
    ClearPicture();
    return false;
  }
  if (BigScreen && IsEnterKey(key)) {
    if (!event->isAutoRepeat()) BigScreen->FileSelectorClick();
    return true;
  }
  if (!FileViewAway()) return false;
  if (key == Qt::Key_Up || key == Qt::Key_Down) {
    StepFile(key == Qt::Key_Up ? -1 : 1);
    return true;
  }
  if (IsEnterKey(key)) {
    if (!event->isAutoRepeat()) SetFileViewShown(FileView->isHidden());
    return true;
  }
  return false;
}

void TKestrelMain::FormKeyUp(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && BigScreen) BigScreen->close();
  if (CursorChanged) {
    QApplication::restoreOverrideCursor();
    CursorChanged = false;
  }
  setWindowTitle(BaseCaption);
}

bool TKestrelMain::Flistbox1KeyDown(QKeyEvent* event) {
  LastKey = event->key();
  if (LastKey == Qt::Key_Escape) {
    DListBox1->setFocus();
    return true;
  }
  if (LastKey == Qt::Key_Delete) {
    TriggerCommand("Delete1");
    return true;
  }
  if (IsEnterKey(LastKey) && IsProgramFile(FListBox1->FileName())) {
    OfferExternalViewer(FListBox1->FileName());
    return true;
  }
  return false;
}

void TKestrelMain::FListBox1KeyUp(QKeyEvent* event) {
  // An arrow-key selection loads when the key is let go, unless Ctrl is held.
  if (IsArrowKey(event->key()) && !(event->modifiers() & Qt::ControlModifier))
    LoadPicture(FListBox1->FileName());
}

bool TKestrelMain::Flistbox1MouseDown(QMouseEvent* event) {
  LastKey = 0;
  if (event->button() != Qt::RightButton || (event->modifiers() & Qt::ShiftModifier)) return false;
  const QModelIndex index = FListBox1->indexAt(event->position().toPoint());
  if (!index.isValid()) return false;
  FListBox1->SetItemIndex(index.row());
  FListBox1->setFocus();
  const bool selected = FListBox1->Selected(index.row());
  CommandSet->SetEnabled("NameDuplicate", selected);
  CommandSet->SetEnabled("SizeDuplicate", selected);
  CommandSet->Menu("PopupMenu1")->popup(event->globalPosition().toPoint());
  return true;
}

bool TKestrelMain::DListBox1MouseDown(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && event->modifiers() == Qt::ControlModifier) {
    const QModelIndex index = DListBox1->indexAt(event->position().toPoint());
    if (!index.isValid()) return false;
    FileCommands->OfferCopyMoveTarget(DListBox1->ItemPath(index.row()));
    return true;
  }
  if (!(event->modifiers() & Qt::ShiftModifier)) return false;
  if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return false;
  const TColor color = Cycle.Step(event->button() == Qt::RightButton);
  SetFileViewColor(color);
  return true; // the press is not passed on to the list
}

bool TKestrelMain::DListBox1MouseUp(QMouseEvent* event) {
  if (event->button() != Qt::RightButton || event->modifiers() != Qt::NoModifier) return false;
  CommandSet->Menu("PopupMenu2")->popup(event->globalPosition().toPoint());
  return true;
}

bool TKestrelMain::DListBox1KeyDown(QKeyEvent* event) {
  if (event->key() != Qt::Key_Delete) return false;
  TriggerCommand("RemoveFolder1");
  return true;
}

bool TKestrelMain::DCombobox1KeyDown(QKeyEvent* event) {
  if (!IsEnterKey(event->key())) return false;
  DListBox1->setFocus();
  return true;
}

void TKestrelMain::BackgroundMouseDown(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
  const TColor color = Cycle.Step(event->button() == Qt::RightButton);
  if (event->modifiers() & Qt::ShiftModifier) SetImageFrameColor(color);
}

void TKestrelMain::StepFile(int step) {
  const int index = FListBox1->ItemIndex() + step;
  if (FListBox1->Count() == 0 || index < 0 || index >= FListBox1->Count()) return;
  FListBox1->clearSelection();
  FListBox1->SetItemIndex(index);
  LoadPicture(FListBox1->FileName());
}

void TKestrelMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TKestrelMain::dropEvent(QDropEvent* event) {
  const QString name = DroppedFile(event->mimeData());
  if (name.isEmpty()) return;
  event->acceptProposedAction();
  raise();
  activateWindow();
  AcceptFile(name);
}

} // namespace kestrel
