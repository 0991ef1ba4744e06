// "Set As &Wallpaper": the file written, the replace question, and what the desktop is asked.

#include "desktop/wallpaper/Wallpaper.h"
#include "imaging/core/Bitmap.h"
#include "platform/paths/Paths.h"
#include "platform/ui/MessageBox.h"

#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

std::unique_ptr<TBitmap> Colourful(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap->Canvas().SetPixel(x, y, static_cast<TColor>((x * 9) | (y * 7) << 8 | (x * y) << 16));
  return bitmap;
}

class Wallpaper : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    SavedDesktop = qgetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("XDG_CURRENT_DESKTOP");
    Setter().SetRunner([this](const TWallpaperCommand& command) -> std::optional<QString> {
      Commands.push_back(command);
      return QString();
    });
    Setter().SetFinder([this](const QString& program) { return Installed.contains(program); });
    SetMessageHandler([this](const TMessageRequest& request) {
      Messages.push_back(request);
      return request.Buttons == TMsgButtons::YesNoCancel ? Answer : TMsgResult::Ok;
    });
  }
  void TearDown() override {
    SetMessageHandler({});
    qputenv("XDG_CURRENT_DESKTOP", SavedDesktop);
  }
  TWallpaperSetter& Setter() { return Paper.Setter; }

  test::TTempEnvironment Env;
  TWallpaper Paper{nullptr};
  QByteArray SavedDesktop;
  QStringList Installed{"feh"};
  std::vector<TWallpaperCommand> Commands;
  std::vector<TMessageRequest> Messages;
  TMsgResult Answer = TMsgResult::No;
};

TEST_F(Wallpaper, ATrueColourPictureBecomesAnEightBitFileNamedAfterIt) {
  const auto shown = Colourful(40, 30);
  const QString file =
      Paper.Set({shown.get(), "/photos/holiday.v2.jpg", ""}, TWallpaperStyle::Tiled);
  EXPECT_EQ(file, Env.DataHome() + "/Brackwell/Kestrel/wallpaper/holiday.v2.bmp");
  TBitmap written;
  written.LoadFromFile(QFile::encodeName(file).toStdString());
  EXPECT_EQ(written.PixelFormat(), pf8bit);
  EXPECT_EQ(written.Width(), 40);
  ASSERT_EQ(Commands.size(), 1u);
  EXPECT_EQ(Commands[0], (TWallpaperCommand{"feh", {"--bg-tile", file}}));
  EXPECT_TRUE(Messages.empty());
  // Without a selection the shown file names it, without either "untitled".
  EXPECT_EQ(WallpaperFileFor({shown.get(), "", Env.StoreFile()}),
            WallpaperFolderName() + "untitled.bmp");
}

TEST_F(Wallpaper, ASecondTimeAsksWhetherToReplaceTheFile) {
  const auto first = Colourful(40, 30);
  const TWallpaperSource source{first.get(), "/photos/a.png", ""};
  const QString file = Paper.Set(source, TWallpaperStyle::Centered);
  const QByteArray written = test::FileBytes(file);
  const auto second = Colourful(12, 10);
  const TWallpaperSource again{second.get(), "/photos/a.png", ""};

  Answer = TMsgResult::Cancel;
  EXPECT_TRUE(Paper.Set(again, TWallpaperStyle::Stretched).isEmpty());
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Text, file + "\rThis File Already Exists\r\rChoose YES to Replace the "
                                     "File\rChoose NO to Use the Existing File");
  EXPECT_EQ(Messages[0].Caption, "Kestrel!: Set As WallPaper");
  EXPECT_EQ(Commands.size(), 1u); // no setter called
  EXPECT_EQ(test::FileBytes(file), written);

  Answer = TMsgResult::No;
  EXPECT_EQ(Paper.Set(again, TWallpaperStyle::Stretched), file);
  EXPECT_EQ(test::FileBytes(file), written); // the existing file is used
  EXPECT_EQ(Commands.back(), (TWallpaperCommand{"feh", {"--bg-scale", file}}));

  Answer = TMsgResult::Yes;
  Paper.Set(again, TWallpaperStyle::Stretched);
  EXPECT_NE(test::FileBytes(file), written);
}

TEST_F(Wallpaper, TheWallpaperFileItselfIsNeverWrittenOver) {
  const auto shown = Colourful(8, 8);
  const QString file = Paper.Set({shown.get(), "/photos/mine.png", ""}, TWallpaperStyle::Tiled);
  const QByteArray written = test::FileBytes(file);
  Commands.clear();
  Answer = TMsgResult::Yes;
  EXPECT_TRUE(Paper.Set({Colourful(3, 3).get(), file, ""}, TWallpaperStyle::Tiled).isEmpty());
  EXPECT_EQ(test::FileBytes(file), written);
  EXPECT_TRUE(Commands.empty());
  EXPECT_TRUE(Messages.back().Text.contains("This picture is the wallpaper file itself."));
}

TEST_F(Wallpaper, EachDesktopIsAskedItsOwnWayAndNamesAreQuoted) {
  const auto shown = Colourful(4, 4);
  Installed << "gsettings";
  qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
  const QString file = Paper.Set({shown.get(), "/photos/it's.png", ""}, TWallpaperStyle::Centered);
  const QString uri = "'file://" + Env.DataHome() + "/Brackwell/Kestrel/wallpaper/it\\'s.bmp'";
  ASSERT_EQ(Commands.size(), 3u);
  EXPECT_EQ(Commands[0].Arguments,
            QStringList({"set", "org.gnome.desktop.background", "picture-uri", uri}));
  EXPECT_EQ(Commands[1].Arguments[2], "picture-uri-dark");
  EXPECT_EQ(Commands[2].Arguments,
            QStringList({"set", "org.gnome.desktop.background", "picture-options", "'centered'"}));
  EXPECT_EQ(GVariantText("a\\b'c"), "'a\\\\b\\'c'");

  Commands.clear();
  qputenv("XDG_CURRENT_DESKTOP", "MATE");
  Paper.Remove();
  ASSERT_EQ(Commands.size(), 1u);
  EXPECT_EQ(Commands[0].Arguments,
            QStringList({"set", "org.mate.background", "picture-options", "'none'"}));

  Commands.clear();
  Installed = QStringList{"xfconf-query"};
  qputenv("XDG_CURRENT_DESKTOP", "XFCE");
  Setter().SetRunner([this](const TWallpaperCommand& command) -> std::optional<QString> {
    Commands.push_back(command);
    return QString("/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                   "/backdrop/screen0/monitorHDMI-1/workspace0/color-style\n");
  });
  Paper.Set({shown.get(), "/photos/it's.png", ""}, TWallpaperStyle::Stretched);
  ASSERT_EQ(Commands.size(), 3u); // the monitors listed, then the picture and the style set
  EXPECT_EQ(
      Commands[1].Arguments.mid(2),
      QStringList({"-p", "/backdrop/screen0/monitorHDMI-1/workspace0/last-image", "-s", file}));
  EXPECT_EQ(Commands[2].Arguments.mid(2),
            QStringList({"-p", "/backdrop/screen0/monitorHDMI-1/workspace0/image-style", "-n", "-t",
                         "int", "-s", "3"}));
}

TEST_F(Wallpaper, WithoutASetterTheUserIsToldWhereTheFileIs) {
  Installed.clear();
  const auto shown = Colourful(4, 4);
  const QString file = Paper.Set({shown.get(), "", ""}, TWallpaperStyle::Centered);
  EXPECT_TRUE(QFileInfo::exists(file));
  EXPECT_TRUE(Commands.empty());
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_TRUE(Messages[0].Text.endsWith("\r" + file));
}

} // namespace
} // namespace kestrel
