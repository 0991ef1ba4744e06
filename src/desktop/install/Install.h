#pragma once
// The "Kestrel! Installation" window: launchers, the folder shown at start, the picture types
// Kestrel opens by default, a few start-up options, and the records that mark the program
// installed. On the first run it applies everything when closed with "Done" (closing it any
// other way ends the program, having written nothing); later (F6) each page has its "Apply" and
// "Cancel" becomes "Uninstall".

#include "desktop/install/DesktopIntegration.h"

#include <QDialog>

#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace kestrel {

enum class TInstallMode { FirstRun, Later, Remove };

class TInstall : public QDialog {
  Q_OBJECT
public:
  // program: the program the launchers start; currentFolder: the folder list's folder.
  TInstall(TInstallMode mode, const QString& program, const QString& currentFolder,
           QWidget* parent = nullptr);

  // The folder list moved: "Current Folder" follows it.
  void SetCurrentFolder(const QString& folder);
  // The program's panel colour and its text colour, for the group boxes.
  void SetPanelColors(const QColor& panel, const QColor& text);
  // Uninstall, after the question "Remove Kestrel! from Your Computer?". Whether it was done.
  bool Uninstall();

  // The folder chooser of "Browse" (tests answer it): the chosen folder, or empty.
  std::function<QString(QWidget* parent, const QString& title)> ChooseFolder;

  QTabWidget* PageControl1 = nullptr;
  QWidget* Hello = nullptr;
  QWidget* Icons = nullptr;
  QWidget* StartupFolder = nullptr;
  QWidget* Extensions = nullptr;
  QWidget* Misc = nullptr;
  QPlainTextEdit* Welcome = nullptr;
  QCheckBox* ChkDeskTop = nullptr;
  QCheckBox* ChkStartMenu = nullptr;
  QCheckBox* ChkSendTo = nullptr;
  QPushButton* ApplyIcons = nullptr;
  QRadioButton* RadioButton1 = nullptr;
  QRadioButton* RadioButton2 = nullptr;
  QRadioButton* RadioButton3 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QPushButton* BitBtn3 = nullptr;
  QPushButton* ApplyExtns = nullptr;
  QCheckBox* ShowAllAgain = nullptr;
  QCheckBox* GoNative1 = nullptr;
  QCheckBox* StartMinimized = nullptr;
  QCheckBox* SingleInstance = nullptr;
  QPushButton* BtCancel = nullptr;
  QPushButton* BtDone = nullptr;
  // The "Extensions" page's boxes with their bits, in the page's order.
  std::vector<std::pair<QCheckBox*, int>> ExtensionBoxes;

  int LocationBits() const;
  int ExtensionBits() const;
  TDesktopIntegration& Integration() { return Desktop; }

  // Handlers.
  void RadioButton1Click();
  void RadioButton2Click();
  void RadioButton3Click();
  void BitBtn3Click();
  void GoNative1Click();
  void ApplyIconsClick();
  void ApplyExtnsClick();
  void BtCancelClick();
  void BtDoneClick();

signals:
  // The installation is over: the main window shows itself.
  void ShowMainWindow();
  // The program ends without writing anything more: the first run was cancelled, or the program
  // was uninstalled.
  void ExitProgram();
  // "Match Image to Display Resolution" changed.
  void MatchDisplayChanged(bool on);
  void HelpRequested();

protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

private:
  void BuildPages();
  QWidget* AddPage(const QString& caption, QGroupBox*& group, const QString& title);
  QCheckBox* AddBox(QGroupBox* group, const char* name, const QString& caption);
  QPushButton* AddApply(QWidget* page, const char* name);
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void Report(const QStringList& problems);
  void StoreChoices();

  TInstallMode Mode;
  QString Program;
  QString CurrentFolder;
  TDesktopIntegration Desktop;
  std::vector<QGroupBox*> Groups;
  bool Uninstalling = false;
  bool DoneClicked = false;
  bool FixedFolder = false;
  bool Finished = false;
};

} // namespace kestrel
