#pragma once
// The full-screen view: TBigScreen, a borderless black window over the whole screen into which
// the main window moves its viewing area (and, on demand, its file view), not copies of them.
// A thin title strip (TFlatPanel) with a close button (TXitButton) sits at its top or bottom.
// The window knows nothing of the main window: it is given the widgets and what to call.

#include <QFrame>
#include <QToolButton>
#include <QWidget>

#include <functional>

class QLabel;
class QMenu;
class QSplitter;
class QVBoxLayout;

namespace kestrel {

class TFListBox;

// The close button: a flat "X" in a bold 8-point font, square, as high as its font.
class TXitButton : public QToolButton {
public:
  explicit TXitButton(QWidget* parent = nullptr);
};

// The title strip: black, borderless, exactly as high as its button, the caption beside the
// button in the contrast colour of black.
class TFlatPanel : public QFrame {
public:
  explicit TFlatPanel(QWidget* parent = nullptr);
  void SetText(const QString& text);
  QString Text() const;
  TXitButton* Button() const { return button_; }
  std::function<void()> OnDoubleClick;

protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  TXitButton* button_;
  QLabel* label_;
};

class TBigScreen : public QWidget {
public:
  explicit TBigScreen(QWidget* parent = nullptr);
  ~TBigScreen() override;

  // The text of the title strip while it is at the top.
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  // Moves the viewing area here (without the scroll box's border) and the file view beside it,
  // hidden until brought in. paintBoxes: the picture and its background, where a Ctrl-click opens
  // the pop-up menu.
  void Adopt(QWidget* fileSelect, QWidget* viewArea, QFrame* scrollbox,
             std::initializer_list<QWidget*> paintBoxes);
  // The file list whose position the window keeps.
  TFListBox* FileList = nullptr;
  QMenu* Popup = nullptr; // opened by a Ctrl-click on the picture or its background
  // The file-list position to restore when the window closes: the one current at the close.
  int ItemIndex = -1;
  // Called when files are dropped here, with the first one; after the file view was moved in,
  // to toggle it; and when the window closes (the main window takes its controls back).
  std::function<void(const QString& path)> OnDropFile;
  std::function<void()> DoSelector;
  std::function<void()> OnClose;

  bool ShowTitle() const;
  void SetShowTitle(bool show);
  // The title strip moves between the top and the bottom (a double-click on it).
  void MoveTitle();
  bool TitleAtTop() const { return titleAtTop_; }
  // "File Selector", Enter and a Ctrl-click on the close button: the file view comes in (the first
  // time), then shows or hides.
  void FileSelectorClick();
  // The file view has been brought in.
  bool HoldsFileView() const { return holdsFileView_; }
  TFlatPanel* Title() const { return title_; }
  QSplitter* Splitter() const { return body_; }

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void XitButtonPressed(Qt::KeyboardModifiers keys);
  void ShowCaption();

  QVBoxLayout* layout_;
  TFlatPanel* title_;
  QSplitter* body_;
  QWidget* fileSelect_ = nullptr;
  QString caption_;
  bool titleAtTop_ = true;
  bool holdsFileView_ = false;
  std::vector<QWidget*> watched_;
};

} // namespace kestrel
