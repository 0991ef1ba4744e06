#pragma once
// TFindDialog, "Find": finds the next item of the main file list whose text contains the typed
// text, selects it alone and has the main window show it.

#include <QDialog>

#include <functional>

class QComboBox;
class QPushButton;

namespace kestrel {

class TFListBox;

class TFindDialog : public QDialog {
  Q_OBJECT
public:
  static constexpr const char* kCaption = "Find";

  // shown: the main window shows the list's selected file.
  TFindDialog(TFListBox* list, std::function<void()> shown, QWidget* parent = nullptr);

  // From the item after the last one found; when none is left the caption says so and the next
  // search starts from the top.
  void FindClick();

  QComboBox* FindWhat = nullptr;
  QPushButton* FindButton = nullptr;

private:
  void TextEdited();

  TFListBox* List;
  std::function<void()> Shown;
  int LastFound = -1;
};

} // namespace kestrel
