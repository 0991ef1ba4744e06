#include "desktop/viewers/ExtViewerDialog.h"

#include "desktop/viewers/ViewerList.h"
#include "platform/settings/Settings.h"
#include "platform/ui/MessageBox.h"
#include "support/DesktopStubs.h"
#include "support/MessageRecorder.h"
#include "support/TestApplication.h"

#include <QDesktopServices>
#include <QMenu>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace kestrel {
namespace {

// Receives what would go to the desktop's file manager.
class TUrlRecorder : public QObject {
  Q_OBJECT
public slots:
  void Open(const QUrl& url) { Urls << url.toLocalFile(); }

public:
  QStringList Urls;
};

class ExtViewers : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    QDesktopServices::setUrlHandler("file", &Folders, "Open");
  }
  void TearDown() override { QDesktopServices::unsetUrlHandler("file"); }
  // An executable program in the test's folder.
  QString Program(const QString& name) {
    const QString path = Env.Folder("programs") + "/" + name;
    test::WriteRecordingProgram(path, Record);
    return path;
  }
  static QStringList Stored() {
    QStringList values;
    for (const char* name : {"A", "B", "C", "D", "E", "F", "G", "checked"}) {
      TSettingValue value = QString();
      try {
        if (PeekSetting("External Viewer", name, value))
          values << QString(name) + "=" + std::get<QString>(value);
      } catch (const std::exception&) {
        values << QString(name) + "=(number)";
      }
    }
    return values;
  }
  // How the recording program was started: its arguments and its working folder.
  QStringList Started() const {
    if (!test::WaitUntil([&] { return QFile::exists(Record); }, 60000)) return {};
    QStringList lines = QString::fromUtf8(test::FileBytes(Record)).split('\n');
    lines.removeLast();
    return lines;
  }

  test::TTempEnvironment Env;
  QString Record = Env.Path() + "/started.txt";
  test::TMessageRecorder Boxes;
  QStringList& Messages = Boxes.Messages;
  TMsgResult& Answer = Boxes.Answer;
  TUrlRecorder Folders;
};

TEST_F(ExtViewers, TheStoredListLoadsInOrderAndIsStoredAgainFromA) {
  const QString first = Program("first"), third = Program("third viewer");
  WriteSetting("External Viewer", "A", first);
  WriteSetting("External Viewer", "B", Env.Path() + "/deleted since");
  WriteSetting("External Viewer", "C", QString());
  WriteSetting("External Viewer", "E", third); // after a gap
  WriteSetting("External Viewer", "F", first); // twice
  WriteSetting("External Viewer", "G", 5);     // not a path at all
  TExtViewerDialog dialog;
  EXPECT_EQ(dialog.Names(), QStringList({"Open Container", "first", "third viewer"}));
  int rebuilt = 0;
  dialog.SetRebuild([&] { ++rebuilt; });
  dialog.show();
  dialog.close();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(rebuilt, 1);
  EXPECT_EQ(Stored(), QStringList({"A=" + first, "B=" + third, "checked=(number)"}));

  // The menus show the same rows, each opening its own index.
  QMenu menu;
  QList<int> opened;
  dialog.FillMenu(&menu, [&](int index) { opened << index; });
  QStringList captions;
  for (QAction* item : menu.actions())
    captions << item->text();
  EXPECT_EQ(captions, dialog.Names());
  menu.actions().at(2)->trigger();
  EXPECT_EQ(opened, QList<int>({2}));
}

TEST_F(ExtViewers, OnlyAProgramIsAddedAndTheListStopsAtZ) {
  TExtViewerDialog dialog;
  const QString text = Env.Folder("programs") + "/notes.txt";
  test::WriteFile(text, "not a program");
  EXPECT_FALSE(dialog.AddProgram(text));
  EXPECT_FALSE(dialog.AddProgram(Env.Folder("programs")));
  EXPECT_FALSE(dialog.AddProgram(Env.Path() + "/missing"));
  ASSERT_EQ(Messages.size(), 3);
  EXPECT_EQ(Messages[0], "Set External Viewer: " + text + "\r" + std::strerror(EACCES) +
                             "\rOnly a program can be an external viewer.");
  EXPECT_TRUE(Messages[2].contains(std::strerror(ENOENT)));
  // A name that is not UTF-8 comes through the dialogs and the command line mangled.
  const QByteArray raw = QFile::encodeName(Env.Folder("programs")) + "/\xff\xfeview";
  test::WriteRecordingProgram(QFile::decodeName(raw), Record);
  ASSERT_EQ(::rename(QFile::encodeName(QFile::decodeName(raw)).constData(), raw.constData()), 0);
  EXPECT_FALSE(dialog.AddProgram(QFile::decodeName(raw)));
  EXPECT_TRUE(Messages.last().endsWith("The name of this program is not readable text: rename it "
                                       "to use it as an external viewer."));
  EXPECT_EQ(dialog.Programs(), QStringList());

  Messages.clear();
  QStringList programs;
  for (int i = 0; i < kMaxViewers; ++i) {
    programs << Program(QString("viewer %1").arg(i));
    ASSERT_TRUE(dialog.AddProgram(programs.last()));
  }
  EXPECT_TRUE(dialog.AddProgram(programs.first())); // listed already: selected, not added twice
  EXPECT_FALSE(dialog.AddProgram(Program("one too many")));
  EXPECT_EQ(Messages, QStringList("Set External Viewer: The list holds at most 26 external "
                                  "viewers: delete one first."));
  EXPECT_EQ(dialog.Programs(), programs);
  dialog.close();
  EXPECT_EQ(LoadViewers(), programs);
}

TEST_F(ExtViewers, DeleteAsksWithTheNameAndOpenContainerStays) {
  TExtViewerDialog dialog;
  dialog.AddProgram(Program("first"));
  dialog.AddProgram(Program("second"));
  dialog.ListView1->setCurrentItem(dialog.ListView1->topLevelItem(1));
  Answer = TMsgResult::No;
  dialog.Button2Click();
  EXPECT_EQ(Messages, QStringList("Confirm Delete From List: first"));
  EXPECT_EQ(dialog.Names().size(), 3);
  Answer = TMsgResult::Yes;
  dialog.Button2Click();
  EXPECT_EQ(dialog.Names(), QStringList({"Open Container", "second"}));
  EXPECT_TRUE(dialog.ListView1->currentItem()->isSelected());

  Messages.clear();
  dialog.ListView1->setCurrentItem(dialog.ListView1->topLevelItem(0));
  dialog.Button2Click();
  EXPECT_EQ(Messages, QStringList());
  EXPECT_EQ(dialog.Names(), QStringList({"Open Container", "second"}));
}

TEST_F(ExtViewers, WithNoFileEveryItemOpensTheFolder) {
  const QString folder = Env.Folder("shown");
  EXPECT_EQ(OpenInViewer(Program("viewer"), QString(), folder), "");
  EXPECT_EQ(OpenInViewer(QString(), QString(), folder), "");
  const QString picture = Env.Folder("pictures") + "/a.png";
  EXPECT_EQ(OpenInViewer(QString(), picture, folder), ""); // "Open Container": the file's folder
  EXPECT_EQ(Folders.Urls, QStringList({folder, folder, Env.Folder("pictures")}));
  EXPECT_FALSE(QFile::exists(Record));
}

TEST_F(ExtViewers, TheViewerGetsThePictureWholeInThePicturesFolder) {
  const QString folder = Env.Folder("my \"best\" pictures");
  const QString picture = folder + "/a picture with blanks $HOME.png";
  test::WriteFile(picture, "x");
  const QString viewer = Program("view 'it' now");
  EXPECT_EQ(OpenInViewer(viewer, picture, Env.Path()), "");
  EXPECT_EQ(Started(), QStringList({"1", picture, folder}));
  EXPECT_EQ(Folders.Urls, QStringList());

  QFile::remove(viewer);
  EXPECT_EQ(OpenInViewer(viewer, picture, Env.Path()), viewer + "\r" + std::strerror(ENOENT));
}

} // namespace
} // namespace kestrel

#include "ExtViewerTest.moc"
