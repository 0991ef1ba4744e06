#include "browse/find/FindDialog.h"

#include "browse/filelists/FListBox.h"
#include "support/ListHelpers.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(FindFileWindow, StepsThroughTheItemsHoldingTheTextThenStartsAgain) {
  test::TestApplication();
  test::TKeepCurrentFolder keep;
  test::TTempEnvironment env;
  const QString folder = env.Folder("pictures");
  for (const char* name : {"Beach.jpg", "garden.jpg", "beach2.jpg", "tree.jpg"})
    test::WriteFile(folder + "/" + name, "x");
  TFListBox list;
  list.SetMultiSelect(true);
  list.SetDirectory(folder);
  list.FinishReading();
  QStringList shown;
  TFindDialog window(&list, [&] { shown << list.SelectedName(); });

  window.FindWhat->setEditText("BEACH");
  window.FindClick();
  window.FindClick();
  EXPECT_EQ(shown, QStringList({"Beach.jpg", "beach2.jpg"}));
  EXPECT_EQ(window.windowTitle(), "Kestrel!");
  EXPECT_EQ(list.selectionModel()->selectedRows().size(), 1); // the only selected item
  window.FindClick();
  EXPECT_EQ(window.windowTitle(), "Kestrel!: No More Files");
  window.FindClick();
  EXPECT_EQ(shown.last(), "Beach.jpg"); // from the top again

  // Editing the text starts from the top.
  QTest::keyClicks(window.FindWhat->lineEdit(), "2");
  EXPECT_EQ(window.windowTitle(), "Find");
  window.FindClick();
  EXPECT_EQ(shown.last(), "beach2.jpg");
  EXPECT_EQ(window.FindWhat->itemText(0), "BEACH2");
}

} // namespace
} // namespace kestrel
