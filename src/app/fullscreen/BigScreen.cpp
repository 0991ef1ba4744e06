#include "app/fullscreen/BigScreen.h"

#include "browse/filelists/FListBox.h"
#include "platform/ui/DroppedFile.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QSplitter>
#include <QVBoxLayout>

namespace kestrel {

namespace {

constexpr int kSplitterWidth = 4;

void Paint(QWidget* widget, const QColor& background, const QColor& text) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, background);
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::ButtonText, text);
  palette.setColor(QPalette::Button, background);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

} // namespace

TXitButton::TXitButton(QWidget* parent) : QToolButton(parent) {
  setObjectName("XitButton");
  setText("X");
  setAutoRaise(true);
  QFont bold = font();
  bold.setPointSize(8);
  bold.setBold(true);
  setFont(bold);
  const int side = QFontMetrics(bold).height();
  setFixedSize(side, side);
}

TFlatPanel::TFlatPanel(QWidget* parent) : QFrame(parent) {
  setObjectName("FlatPanel");
  setFrameStyle(QFrame::NoFrame);
  // Black, with its text in the contrast colour of black.
  Paint(this, Qt::black, Qt::white);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  button_ = new TXitButton(this);
  label_ = new QLabel(this);
  layout->addWidget(button_);
  layout->addWidget(label_, 1);
  setFixedHeight(button_->height());
}

void TFlatPanel::SetText(const QString& text) {
  label_->setText(text);
}

QString TFlatPanel::Text() const {
  return label_->text();
}

void TFlatPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (OnDoubleClick) OnDoubleClick();
  event->accept();
}

TBigScreen::TBigScreen(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName("BigScreen");
  Paint(this, Qt::black, Qt::white);
  setAcceptDrops(true);
  // The close button's hint shows whether the window is active or not.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  title_ = new TFlatPanel(this);
  title_->OnDoubleClick = [this] { MoveTitle(); };
  title_->Button()->installEventFilter(this);
  body_ = new QSplitter(Qt::Horizontal, this);
  body_->setObjectName("Splitter2");
  body_->setHandleWidth(kSplitterWidth);
  body_->setChildrenCollapsible(false);
  layout_->addWidget(title_);
  layout_->addWidget(body_, 1);
}

TBigScreen::~TBigScreen() {
  for (QWidget* widget : watched_)
    widget->removeEventFilter(this);
}

void TBigScreen::SetCaption(const QString& caption) {
  caption_ = caption;
  ShowCaption();
}

void TBigScreen::ShowCaption() {
  title_->SetText(titleAtTop_ ? caption_ : QString());
}

void TBigScreen::Adopt(QWidget* fileSelect, QWidget* viewArea, QFrame* scrollbox,
                       std::initializer_list<QWidget*> paintBoxes) {
  fileSelect_ = fileSelect;
  body_->addWidget(fileSelect);
  fileSelect->hide(); // until it is brought in
  body_->addWidget(viewArea);
  body_->setStretchFactor(1, 1);
  scrollbox->setFrameStyle(QFrame::NoFrame);
  for (QWidget* widget : paintBoxes) {
    widget->installEventFilter(this);
    watched_.push_back(widget);
  }
}

bool TBigScreen::ShowTitle() const {
  return !title_->isHidden();
}

void TBigScreen::SetShowTitle(bool show) {
  title_->setVisible(show);
}

void TBigScreen::MoveTitle() {
  titleAtTop_ = !titleAtTop_;
  layout_->removeWidget(title_);
  layout_->insertWidget(titleAtTop_ ? 0 : 1, title_);
  ShowCaption();
}

void TBigScreen::FileSelectorClick() {
  if (!fileSelect_) return;
  if (!holdsFileView_) {
    holdsFileView_ = true;
    fileSelect_->hide();
    if (FileList && FileList->Count() > 0 && ItemIndex >= 0 && ItemIndex < FileList->Count()) {
      FileList->SetItemIndex(ItemIndex);
      FileList->SetSelected(ItemIndex, true);
      SetCaption(FileList->FileName());
    }
  }
  if (DoSelector) DoSelector();
  // A hidden list takes no focus; that is no fault.
  if (FileList && FileList->isVisible()) FileList->setFocus();
}

void TBigScreen::XitButtonPressed(Qt::KeyboardModifiers keys) {
  if (keys & Qt::ControlModifier)
    FileSelectorClick();
  else
    close();
}

void TBigScreen::closeEvent(QCloseEvent* event) {
  // The position current now, whichever way the window closes: a slide show may have moved it.
  if (FileList) ItemIndex = FileList->ItemIndex();
  for (QWidget* widget : watched_)
    widget->removeEventFilter(this);
  watched_.clear();
  if (OnClose) OnClose();
  event->accept();
}

bool TBigScreen::eventFilter(QObject* watched, QEvent* event) {
  if (watched == title_->Button()) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
      title_->Button()->setToolTip(holdsFileView_ ? "Click to\nCancel"
                                                  : "Ctrl-Click for\nFile Selector");
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      XitButtonPressed(static_cast<QMouseEvent*>(event)->modifiers());
      return true;
    }
    return false;
  }
  if (event->type() == QEvent::MouseButtonPress && Popup) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->modifiers() & Qt::ControlModifier) {
      Popup->popup(mouse->globalPosition().toPoint());
      return true;
    }
  }
  return false;
}

void TBigScreen::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TBigScreen::dropEvent(QDropEvent* event) {
  const QString name = DroppedFile(event->mimeData());
  if (name.isEmpty()) return;
  event->acceptProposedAction();
  raise();
  activateWindow();
  if (OnDropFile) OnDropFile(name);
}

} // namespace kestrel
