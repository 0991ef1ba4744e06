// The gallery window with a stand-in main window: a run fills it in list order within the memory
// limit, the keys move the selection, and the cell commands open, move, delete and save the right
// files, asking before they replace anything.

#include "app/gallery/Thumbform.h"

#include "app/gallery/ThumbView.h"
#include "browse/thumbs/ThumbFolder.h"
#include "imaging/core/Bitmap.h"
#include "platform/settings/Settings.h"
#include "support/MessageRecorder.h"
#include "support/ScreenDepth.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

class Thumbform : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    Folder = Env.Folder("pictures");
    for (int i = 0; i < 6; ++i) {
      TBitmap bitmap(60 + 10 * i, 40, pf24bit);
      bitmap.Canvas().Brush.Color = 0x102030 * (i + 1);
      bitmap.Canvas().FillRect({0, 0, bitmap.Width(), 40});
      const QString name = QString("p%1.bmp").arg(i);
      bitmap.SaveToFile(QFile::encodeName(QDir(Folder).filePath(name)).toStdString());
      Items << name;
    }
    Items.insert(2, "ring.wav");
    QFile sound(QDir(Folder).filePath("ring.wav"));
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.write("RIFF");
  }
  TGalleryHost Host() {
    TGalleryHost host;
    host.Folder = [this] { return Folder; };
    host.Names = [this](bool selectedOnly) {
      AskedSelected = selectedOnly;
      return selectedOnly ? QStringList{Items[0], Items[3]} : Items;
    };
    host.ItemCount = [this] { return static_cast<int>(Items.size()); };
    host.SelectedCount = [this] { return Selected; };
    host.OpenFile = [this](const QString& path) { Opened << path; };
    host.SetTimer = [this](bool on) { TimerOn = on; };
    host.Background = [] { return clBlack; };
    host.ChooseTarget = [this](const QString&, const QString&) { return Target; };
    host.FilesChanged = [this] { ++Changes; };
    host.FindNameDuplicate = [this](const QString& path) { NameDuplicates << path; };
    host.FindSizeDuplicate = [](const QString&) {};
    host.LowColourNotice = [this] { ++Notices; };
    host.SaveWithDialog = [this](const QString& title, const QString& proposed,
                                 const TBitmap& bitmap) {
      Saves << title + ": " + proposed;
      if (Chosen.isEmpty()) return QString();
      Write(bitmap, Chosen);
      return Chosen;
    };
    host.SaveWithoutDialog = [this](const QString& path, const TBitmap& bitmap) {
      Saves << path;
      Write(bitmap, path);
      return true;
    };
    return host;
  }
  static void Write(const TBitmap& bitmap, const QString& path) {
    TBitmap copy;
    copy.Assign(&bitmap);
    copy.SaveToFile(QFile::encodeName(path).toStdString());
  }
  std::unique_ptr<TThumbform> Form() {
    auto form = std::make_unique<TThumbform>(Host());
    form->resize(400, 400);
    form->show();
    return form;
  }
  void Run(TThumbform& form) {
    form.StartClick();
    ASSERT_FALSE(TimerOn);
    ASSERT_TRUE(test::WaitUntil([&form] { return !form.Running(); }));
  }
  QStringList Names(TThumbform& form) {
    QStringList names;
    for (int i = 0; i < form.View().Count(); ++i)
      names << form.View().Tile(i).Name;
    return names;
  }

  test::TTempEnvironment Env;
  test::TScreenDepth Depth{24};
  test::TMessageRecorder Messages;
  QString Folder;
  QStringList Items;
  int Selected = 1;
  bool AskedSelected = false;
  bool TimerOn = true;
  QStringList Opened, NameDuplicates, Saves;
  QString Target, Chosen;
  int Changes = 0;
  int Notices = 0;
};

TEST_F(Thumbform, ARunFillsInListOrderWithinTheLimitAndGivesTheTimerBack) {
  auto form = Form();
  Run(*form);
  EXPECT_TRUE(TimerOn);
  EXPECT_FALSE(AskedSelected);
  EXPECT_EQ(Names(*form),
            (QStringList{"p0.bmp", "p1.bmp", "p2.bmp", "p3.bmp", "p4.bmp", "p5.bmp"}));
  EXPECT_EQ(form->StatusText(0), "Limit: 655");
  EXPECT_EQ(form->StatusText(1), "6");
  EXPECT_EQ(form->StatusText(4), Folder + "/");
  EXPECT_EQ(form->View().Tile(0).Image.size(), QSize(80, 80));

  // 0.05 MB is room for two tiles of 80 x 80 at 24 bits.
  form->SetMemoryLimit("0.05");
  EXPECT_EQ(form->StatusText(0), "Limit: 2");
  form->SetThumbSize(100);
  EXPECT_EQ(form->StatusText(0), "Limit: 1");
  form->SetThumbSize(80);
  Selected = 2; // more than one selected: only those
  Run(*form);
  EXPECT_TRUE(AskedSelected);
  EXPECT_EQ(Names(*form), (QStringList{"p0.bmp", "p2.bmp"}));
  form->ClearClick();
  EXPECT_EQ(form->View().Count(), 0);
  EXPECT_EQ(form->windowTitle(), "Thumbnail Gallery");
}

TEST_F(Thumbform, KeysMoveTheSelectionAndEnterOpensOnlyExistingFiles) {
  Items << Items; // two rows at least
  auto form = Form();
  Run(*form);
  TThumbView& view = form->View();
  const int columns = view.Grid().Columns, last = view.Count() - 1;
  ASSERT_GE(columns, 2);
  ASSERT_GT(last, columns);
  view.Select(0);
  QTest::keyClick(&view, Qt::Key_Left);
  EXPECT_EQ(view.Selected(), 0);
  QTest::keyClick(&view, Qt::Key_Right);
  EXPECT_EQ(view.Selected(), 1);
  QTest::keyClick(&view, Qt::Key_Down);
  EXPECT_EQ(view.Selected(), 1 + columns);
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(view.Selected(), 1);
  view.Select(last);
  QTest::keyClick(&view, Qt::Key_Down);  // nothing below the last row
  QTest::keyClick(&view, Qt::Key_Right); // nor after the last tile
  EXPECT_EQ(view.Selected(), last);
  view.Select(1);
  QTest::keyClick(&view, Qt::Key_Return);
  EXPECT_EQ(Opened, QStringList{QDir(Folder).filePath("p1.bmp")});

  ASSERT_TRUE(QFile::remove(Opened[0]));
  form->OpenSelected();
  EXPECT_EQ(Opened.size(), 1);
  EXPECT_EQ(Messages.Messages, QStringList{"Kestrel ThumbNails:: File Does Not Exist"});
}

TEST_F(Thumbform, MoveAndDeleteRemoveTheTileCopyKeepsIt) {
  auto form = Form();
  Run(*form);
  const QString other = Env.Folder("other");
  form->View().Select(1);
  Target = other + "/copied.bmp";
  form->CopyFileClick();
  EXPECT_TRUE(QFile::exists(Target));
  EXPECT_EQ(form->View().Count(), 6);
  Target = other + "/moved.bmp";
  form->MoveFileClick();
  EXPECT_TRUE(QFile::exists(Target));
  EXPECT_FALSE(QFile::exists(QDir(Folder).filePath("p1.bmp")));
  EXPECT_EQ(Names(*form), (QStringList{"p0.bmp", "p2.bmp", "p3.bmp", "p4.bmp", "p5.bmp"}));
  EXPECT_EQ(Changes, 1);

  form->View().Select(0);
  Messages.Answer = TMsgResult::No;
  form->DeleteFileClick();
  EXPECT_TRUE(QFile::exists(QDir(Folder).filePath("p0.bmp")));
  Messages.Answer = TMsgResult::Yes;
  form->DeleteFileClick();
  EXPECT_FALSE(QFile::exists(QDir(Folder).filePath("p0.bmp")));
  EXPECT_EQ(form->View().Count(), 4);
  EXPECT_EQ(Changes, 2);

  form->View().Select(0);
  form->FindNameDuplicateClick();
  EXPECT_EQ(NameDuplicates, QStringList{QDir(Folder).filePath("p2.bmp")});
}

TEST_F(Thumbform, SaveAllWritesBesideTheFirstAndAsksBeforeReplacing) {
  auto form = Form();
  Run(*form);
  const QString out = Env.Folder("tiles");
  QFile old(out + "/tp2.png");
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("keep me");
  old.close();
  Chosen = out + "/tp0.png";
  Messages.Answer = TMsgResult::No;
  form->SaveAllThumbnailsClick();
  EXPECT_EQ(Saves.value(0), "Save All Thumbnails: tp0.bmp");
  EXPECT_EQ(Saves.mid(1),
            (QStringList{out + "/tp1.png", out + "/tp3.png", out + "/tp4.png", out + "/tp5.png"}));
  EXPECT_EQ(test::FileBytes(out + "/tp2.png"), "keep me");
  EXPECT_EQ(Messages.Messages.size(), 1);
  EXPECT_FALSE(QFile::exists(QDir::current().filePath("tp1.png")));

  Saves.clear();
  Chosen.clear(); // cancelled: nothing more is written
  form->SaveAllThumbnailsClick();
  EXPECT_EQ(Saves.size(), 1);
}

TEST_F(Thumbform, OnlyAPaletteScreenOffersTheLowColourNoticeAtStart) {
  auto form = Form();
  Run(*form);
  EXPECT_EQ(Notices, 0);
  test::TScreenDepth palette(8);
  Run(*form);
  EXPECT_EQ(Notices, 1);
}

TEST_F(Thumbform, APaletteChangeRemapsTheTilesShownAlready) {
  test::TScreenDepth palette(8);
  auto form = Form();
  QMenu* palettes = form->OptionsMenu->actions().first()->menu();
  palettes->actions().at(0)->trigger(); // "236 Colors"
  Run(*form);
  ASSERT_GT(form->View().Count(), 0);
  const auto grey = [&form] {
    for (int i = 0; i < form->View().Count(); ++i) {
      const QImage image = form->View().Tile(i).Image.convertToFormat(QImage::Format_RGB32);
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (const QRgb p = image.pixel(x, y); qRed(p) != qGreen(p) || qGreen(p) != qBlue(p))
            return false;
    }
    return true;
  };
  EXPECT_FALSE(grey()) << "the coloured pictures through the 236-colour palette";
  palettes->actions().at(1)->trigger(); // "Grey 16 Shades"
  EXPECT_TRUE(grey());
}

TEST_F(Thumbform, SettingsComeBackInTheNextWindow) {
  {
    auto form = Form();
    form->SetThumbSize(121); // the up/down's steps: 120
    form->SetMemoryLimit("1.5");
    form->SetHiFi(true);
  }
  auto form = Form();
  EXPECT_EQ(form->ThumbSize(), 120);
  EXPECT_TRUE(form->HiFi());
  EXPECT_EQ(form->StatusText(0), "Limit: 34");
  EXPECT_EQ(ReadSetting(TSettingKey{"Thumbnails", "Checkboxes"}, 0), 1 | 4);
}

TEST_F(Thumbform, StartAndClearDuringARunWaitForTheWorkerAndDropItsTiles) {
  for (int i = 0; i < 40; ++i)
    Items << Items[0];
  auto form = Form();
  form->StartClick();
  form->StartClick(); // the first run ends before the second begins
  ASSERT_TRUE(test::WaitUntil([&form] { return !form->Running(); }));
  EXPECT_EQ(form->View().Count(), 46);
  form->StartClick();
  form->ClearClick();
  EXPECT_FALSE(form->Running());
  EXPECT_EQ(form->View().Count(), 0);
  test::WaitUntil([] { return false; }, 50); // nothing of the stopped run arrives later
  EXPECT_EQ(form->View().Count(), 0);
  EXPECT_TRUE(TimerOn);
}

TEST_F(Thumbform, DestroyingTheWindowDuringARunEndsTheWorker) {
  for (int i = 0; i < 40; ++i)
    Items << Items[0];
  auto form = Form();
  form->StartClick();
  form->PauseClick();
  EXPECT_EQ(form->Pause1->text(), "|");
  EXPECT_EQ(TThumbFolder::Current() != nullptr, form->Running());
  form.reset(); // a paused worker is stopped and waited for
  EXPECT_EQ(TThumbFolder::Current(), nullptr);
}

} // namespace
} // namespace kestrel
