#include "browse/find/FindDialogX.h"

#include "browse/find/FindLocations.h"
#include "browse/find/FindResults.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

class FindWindow : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    Folder = Env.Folder("pictures");
  }
  void Write(const QString& relative, qint64 size) {
    ASSERT_TRUE(test::WriteSizedFile(Folder + "/" + relative, size)) << relative.toStdString();
  }
  // A window searching Folder for pattern, run to its end.
  void Search(TFindDialogX& window, const QString& pattern) {
    window.Locations->ChooseFolder(Folder);
    window.PatternBox->setEditText(pattern);
    window.FindClick();
    ASSERT_TRUE(test::WaitUntil([&] { return !window.Searching(); }));
  }
  QStringList Column(const TFindDialogX& window, int column) const {
    QStringList texts;
    for (int row = 0; row < window.Results().rowCount(); ++row)
      texts << window.Results().index(row, column).data().toString();
    return texts;
  }

  static QStringList Sorted(QStringList texts) {
    texts.sort();
    return texts;
  }

  test::TTempEnvironment Env;
  QString Folder;
};

TEST_F(FindWindow, ListsTheHitsAndSortsEachColumnBothWays) {
  Write("b/1023.99 KB.jpg", 1048570);
  Write("a/1 MB.jpg", 1048576);
  Write("c/999 Bytes.jpg", 999);
  Write("notes.txt", 5);
  TFindDialogX window(TFindHost{});
  Search(window, "*.jpg");
  EXPECT_EQ(window.Status[1]->text(), "Done");
  EXPECT_EQ(window.Status[2]->text(), "3");
  EXPECT_EQ(window.FindButton->text(), "Find");
  EXPECT_EQ(window.PatternBox->itemText(0), "*.jpg"); // the history

  window.HeaderClick(2);
  EXPECT_EQ(Column(window, 2), QStringList({"999 Bytes", "1023.99 KB", "1 MB"}));
  window.HeaderClick(2);
  EXPECT_EQ(Column(window, 2), QStringList({"1 MB", "1023.99 KB", "999 Bytes"}));
  window.HeaderClick(0);
  EXPECT_EQ(Column(window, 0), QStringList({"1 MB.jpg", "1023.99 KB.jpg", "999 Bytes.jpg"}));
  window.HeaderClick(1);
  EXPECT_EQ(Column(window, 1), QStringList({Folder + "/a", Folder + "/b", Folder + "/c"}));
  window.HeaderClick(1);
  EXPECT_EQ(Column(window, 1), QStringList({Folder + "/c", Folder + "/b", Folder + "/a"}));
}

TEST_F(FindWindow, TheHitLimitEndsTheSearch) {
  for (int i = 0; i < TFindDialogX::kMostHits + 10; ++i)
    Write(QString("f%1.x").arg(i), 0);
  TFindDialogX window(TFindHost{});
  Search(window, "*.x");
  EXPECT_EQ(window.Results().rowCount(), TFindDialogX::kMostHits);
  EXPECT_EQ(window.Status[2]->text(), "4096");
  EXPECT_EQ(window.Status[1]->text(), "Done");
}

TEST_F(FindWindow, ClosingDuringASearchStopsItAndClosesWhenItHasEnded) {
  // The walk may well be over at once: the window learns it only from the event loop.
  for (int i = 0; i < 20; ++i)
    Write(QString("d%1/f%2.x").arg(i % 5).arg(i), 0);
  TFindDialogX window(TFindHost{});
  window.show();
  window.Locations->ChooseFolder(Folder);
  window.PatternBox->setEditText("*.x");
  window.FindClick();
  EXPECT_EQ(window.FindButton->text(), "Stop");
  window.close();
  EXPECT_TRUE(window.isVisible()); // not taken away from under the walk
  ASSERT_TRUE(test::WaitUntil([&] { return !window.isVisible(); }));
  EXPECT_FALSE(window.Searching());

  // Esc stops a search and leaves the window open.
  window.show();
  window.FindClick();
  QTest::keyClick(&window, Qt::Key_Escape);
  ASSERT_TRUE(test::WaitUntil([&] { return !window.Searching(); }));
  EXPECT_TRUE(window.isVisible());
}

TEST_F(FindWindow, SizeDuplicatesOfAReferenceFile) {
  Write("ref.jpg", 10000);
  Write("same.JPG", 10000);
  Write("near.jpg", 9216);
  Write("far.jpg", 10241);
  Write("other.png", 10000);
  TFindDialogX window(TFindHost{});
  window.SetSizeDuplicate(Folder + "/ref.jpg");
  EXPECT_EQ(window.PatternBox->currentText(), "*.jpg");
  EXPECT_FALSE(window.AtLeastEdit->isEnabled());
  Search(window, "*.jpg");
  EXPECT_EQ(Sorted(Column(window, 0)), QStringList({"ref.jpg", "same.JPG"}));

  window.ExactSize->setChecked(false);
  EXPECT_EQ(window.SizeBounds().Minimum, 9216);
  EXPECT_EQ(window.SizeBounds().Maximum, 10240);
  Search(window, "*.jpg");
  EXPECT_EQ(Sorted(Column(window, 0)), QStringList({"near.jpg", "ref.jpg", "same.JPG"}));

  // "At most" below "At Least" is raised when the field is left.
  window.AtLeastEdit->setText("8");
  emit window.AtLeastEdit->editingFinished();
  window.AtMostEdit->setText("5");
  emit window.AtMostEdit->editingFinished();
  EXPECT_EQ(window.AtMostEdit->text(), "8");
  EXPECT_EQ(window.SizeBounds().Maximum, 8192);

  // A search for folders has no size details.
  window.FoldersKind->setChecked(true);
  EXPECT_FALSE(window.IncludeSize->isEnabled());
}

TEST_F(FindWindow, RowCommandsGoThroughTheMainWindow) {
  Write("a.jpg", 10);
  Write("b.jpg", 20);
  Write("sub.jpg/c.txt", 30);
  QStringList loaded, accepted, trashed;
  TFindHost host;
  host.FileListEnabled = [] { return true; };
  host.LoadPicture = [&](const QString& path) { loaded << path; };
  host.IsPicture = [](const QString& path) { return path.endsWith(".jpg"); };
  host.AcceptFile = [&](const QString& path) { accepted << path; };
  host.Transfer = [&](TFindTransferKind kind, const QStringList& files, const QString&) {
    EXPECT_EQ(kind, TFindTransferKind::Trash);
    trashed = files;
    return QStringList{files.first()}; // the second one failed
  };
  TFindDialogX window(host);
  Search(window, "*.jpg");
  window.HeaderClick(0);
  ASSERT_EQ(Column(window, 0), QStringList({"a.jpg", "b.jpg", "sub.jpg"}));

  window.ResultsView->setCurrentIndex(window.Results().index(2, 0));
  EXPECT_EQ(window.windowTitle(), Folder); // the row's location
  EXPECT_TRUE(loaded.isEmpty());           // a folder is not loaded
  window.ResultsView->setCurrentIndex(window.Results().index(0, 0));
  EXPECT_EQ(loaded, QStringList({Folder + "/a.jpg"}));
  QTest::keyClick(window.ResultsView, Qt::Key_Return);
  EXPECT_EQ(accepted, QStringList({Folder + "/a.jpg"}));
  window.ClipBoardClick();
  EXPECT_EQ(QApplication::clipboard()->text(), Folder + "/a.jpg");

  // Delete passes the selected files, not the folder, and removes the rows of those done.
  window.ResultsView->selectAll();
  QTest::keyClick(window.ResultsView, Qt::Key_Delete);
  EXPECT_EQ(trashed, QStringList({Folder + "/a.jpg", Folder + "/b.jpg"}));
  EXPECT_EQ(Column(window, 0), QStringList({"b.jpg", "sub.jpg"}));

  // Without the main window's file operations their commands are disabled.
  TFindDialogX alone(TFindHost{});
  EXPECT_FALSE(alone.ResultMenu->actions().at(0)->isEnabled());
  EXPECT_TRUE(window.ResultMenu->actions().at(0)->isEnabled());
}

} // namespace
} // namespace kestrel
