#pragma once
// The "Set External Viewer" window: the list of other programs the selected picture can be
// opened with. Its first row is always "Open Container" (the folder in the desktop's file
// manager); then the stored programs. The main window's two "External Viewer" sub-menus show the
// same rows. Modeless, above the main window; the list is stored when the window closes.

#include <QDialog>
#include <QStringList>

#include <functional>

class QMenu;
class QPushButton;
class QStatusBar;
class QTreeWidget;

namespace kestrel {

class TExtViewerDialog : public QDialog {
  Q_OBJECT
public:
  explicit TExtViewerDialog(QWidget* parent = nullptr);

  // The rows' names, "Open Container" first.
  QStringList Names() const;
  // Row index's program; empty for "Open Container".
  QString ProgramOf(int index) const;
  QStringList Programs() const;
  // Adds program as the last row. A file that is not an executable program, or a full list, is
  // refused with a message; a program already listed is selected. Whether it is listed now.
  bool AddProgram(const QString& program);
  // Called whenever the rows changed and were stored ("register the rebuild callback").
  void SetRebuild(std::function<void()> rebuild) { Rebuild = std::move(rebuild); }
  // Fills menu with one item per row, each calling open with the row's index.
  void FillMenu(QMenu* menu, const std::function<void(int)>& open) const;

  // The program chooser of "Browse" (tests answer it): the chosen file, or empty.
  std::function<QString(QWidget* parent)> ChooseProgram;

  QTreeWidget* ListView1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  void Button1Click();
  void Button2Click();
  void ListView1Click();

protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void reject() override;

private:
  void LoadList();
  void AddRow(const QString& name, const QString& path, const QIcon& icon);
  void FormClose();

  std::function<void()> Rebuild;
};

} // namespace kestrel
