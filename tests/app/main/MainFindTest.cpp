// The main window's hand-offs to the find windows.

#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "browse/find/FindDialog.h"
#include "browse/find/FindDialogX.h"
#include "browse/find/FindLocations.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>

namespace kestrel {
namespace {

class MainFind : public test::MainWindowFixture {
protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    Pictures = Env.Folder("Pictures");
    QDir().mkpath(Pictures + "/holidays");
    // A picture that loads, and a file of it that does not.
    QFile::copy(QString(KESTREL_TEST_DATA) + "/bmpsuite/g/pal8.bmp", Pictures + "/a.bmp");
    test::WriteFile(Pictures + "/b.jpg", QByteArray(10000, 'x'));
  }
  TFindDialogX& Window(TKestrelMain* main) const { return *main->FindDialogX; }
  QString Pattern(TKestrelMain* main) const { return Window(main).PatternBox->currentText(); }
  void SelectFile(TKestrelMain* main, const QString& name) {
    main->FListBox1->SetItemIndex(main->FListBox1->IndexOfText(name));
  }

  QString Pictures;
};

TEST_F(MainFind, DuplicatesOfTheFileUnderTheCaret) {
  TKestrelMain* main = Start({Pictures});
  ASSERT_NE(main, nullptr);
  SelectFile(main, "b.jpg");
  main->Commands().Action("SizeDuplicate")->trigger();
  EXPECT_TRUE(Window(main).isVisible());
  EXPECT_EQ(Pattern(main), "*.jpg");
  EXPECT_TRUE(Window(main).ExactSize->isChecked());
  EXPECT_EQ(Window(main).SizeBounds().Minimum, 10000);
  EXPECT_EQ(Window(main).SizeBounds().Maximum, 10000);

  // A double-click on a picture does not take the pattern while the sizes count.
  emit main->FListBox1->DblClick();
  EXPECT_EQ(Pattern(main), "*.jpg");

  main->Commands().Action("NameDuplicate")->trigger();
  EXPECT_EQ(Pattern(main), "b.jpg");
  EXPECT_FALSE(Window(main).IncludeSize->isChecked());
  SelectFile(main, "a.bmp");
  emit main->FListBox1->DblClick();
  EXPECT_EQ(Pattern(main), "a.bmp");
}

TEST_F(MainFind, TheReferenceFollowsThePictureOnShow) {
  TKestrelMain* main = Start({Pictures + "/a.bmp"});
  ASSERT_NE(main, nullptr);
  main->WaitForPicture();
  EXPECT_EQ(Window(main).ReferenceName->text(), "a.bmp");
  // A file that fails to load is no reference.
  SelectFile(main, "b.jpg");
  emit main->FListBox1->Click();
  main->WaitForPicture();
  EXPECT_EQ(Window(main).ReferenceName->text(), "a.bmp");
}

TEST_F(MainFind, TheFolderListsCommandsSetTheSearchUp) {
  TKestrelMain* main = Start({Pictures});
  ASSERT_NE(main, nullptr);
  main->DListBox1->FinishReading();
  for (int i = 0; i < main->DListBox1->Count(); ++i)
    if (main->DListBox1->Item(i).Text == "holidays") main->DListBox1->SetItemIndex(i);
  main->Commands().Action("FindInFiles2")->trigger();
  EXPECT_EQ(Pattern(main), "holidays");
  main->Commands().Action("FindinSubtree")->trigger();
  EXPECT_EQ(Window(main).Locations->SelectedPath(), Pictures + "/holidays");
  EXPECT_FALSE(Window(main).Searching()); // the user starts it

  main->Commands().Action("FindFile1")->trigger();
  EXPECT_TRUE(main->FindDialog->isVisible());
}

} // namespace
} // namespace kestrel
