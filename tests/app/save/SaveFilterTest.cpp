// The save dialog's filter, the entry preselected for a name, and the proposed name.

#include "app/save/SaveFilter.h"
#include "platform/ui/SaveDialog.h"
#include "support/TestApplication.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(SaveFilter, FourteenEntriesWithTheirOwnSpacing) {
  const std::vector<std::string>& entries = SaveFilterEntries();
  ASSERT_EQ(entries.size(), 14u);
  EXPECT_EQ(entries[0], "Windows  Bitmap File (*.bmp)|*.bmp|");
  EXPECT_EQ(entries[5], "Portable Network Graphic  (*.png)|*.png|");
  EXPECT_EQ(entries[6], "Tagged Image Format  (*.tif,*.tiff)|*.tif;*.tiff|");
  EXPECT_EQ(entries[13], "All Files (*.*)|*.*");
  const std::string filter = SaveFilter();
  EXPECT_EQ(filter.find("GIF"), std::string::npos) << "the filter has no GIF entry";
  EXPECT_NE(filter.find("|Jpeg File (*.jpg, *.jpeg, *.jpe)|*.jpg;*.jpeg;*.jpe|Windows Icon"),
            std::string::npos);

  // What the dialog makes of it: one Qt filter per entry, whose patterns Qt can read.
  const QStringList qt = QtNameFilters(QString::fromStdString(filter));
  ASSERT_EQ(qt.size(), 14);
  EXPECT_EQ(qt[1], "Jpeg File (*.jpg, *.jpeg, *.jpe) (*.jpg *.jpeg *.jpe)");
  EXPECT_EQ(qt[6], "Tagged Image Format  (*.tif,*.tiff) (*.tif *.tiff)");
  EXPECT_EQ(qt[13], "All Files (*.*) (*.*)");
}

TEST(SaveFilter, TheEntryOfANamesKind) {
  const std::pair<const char*, int> cases[] = {
      {"a.bmp", 1},         {"a.JPG", 2},  {"a.jpeg", 2}, {"a.jpe", 2},  {"a.gif", 3},
      {"a.ico", 3},         {"a.wmf", 4},  {"a.emf", 5},  {"a.png", 6},  {"a.tif", 7},
      {"a.tiff", 7},        {"a.tga", 8},  {"a.vst", 9},  {"a.afi", 10}, {"a.pcc", 11},
      {"a.pcx", 12},        {"a.dcx", 13}, {"a.wav", 14}, {"a.txt", 15}, {"noextension", 15},
      {"/dir.tga/name", 15}};
  for (const auto& [name, index] : cases)
    EXPECT_EQ(FilterIndexFor(name), index) << name;
  // Entry 8 is the Targa entry, entry 14 "All Files".
  EXPECT_EQ(SaveFilterEntries()[8 - 1].substr(0, 24), "Truevision TARGA (*.tga)");
  EXPECT_EQ(SaveFilterEntries()[14 - 1].substr(0, 15), "All Files (*.*)");
}

TEST(SaveFilter, TheProposedName) {
  QTemporaryDir dir;
  const QString existing = dir.filePath("shown.gif");
  QFile file(existing);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  EXPECT_EQ(ProposedSaveName({"/pics/first.png", "/pics/second.png"}, existing), "/pics/first.png");
  EXPECT_EQ(ProposedSaveName({}, existing), existing);
  EXPECT_EQ(ProposedSaveName({}, "(Magn 1:1, Scale 1:1) - " + existing), "unknown.bmp");
  EXPECT_EQ(ProposedSaveName({}, dir.path()), "unknown.bmp") << "a folder is no file";
  EXPECT_EQ(ProposedSaveName({}, ""), "unknown.bmp");
}

TEST(SaveDialog, TheChosenTypeGivesANameWithoutExtensionItsExtension) {
  test::TestApplication();
  QTemporaryDir dir;
  TSaveDialogRequest request;
  request.Filter = QString::fromStdString(SaveFilter());
  request.FilterIndex = 1;
  request.DefaultExt = "bmp";
  request.FileName = "unknown";
  request.InitialDir = dir.path();
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (!types || !name) {
      dialog->reject();
      FAIL() << "the dialog has no type list or name box";
    }
    // The user picks the PNG entry in the list, then types a bare name.
    types->setCurrentIndex(5);
    emit types->activated(5);
    emit types->textActivated(types->currentText());
    name->setText("noext");
    static_cast<QDialog*>(dialog)->accept(); // what the save button does
  });
  const TSaveDialogAnswer answer = ExecuteSaveDialog(request);
  ASSERT_TRUE(answer.Accepted);
  EXPECT_EQ(QFileInfo(answer.FileName).fileName(), "noext.png");
  EXPECT_EQ(answer.FilterIndex, 6);
}

} // namespace
} // namespace kestrel
