// Shortcuts lead to their targets, and paths come back from the clipboard in whatever form they
// were put there.

#include "platform/files/Shortcut.h"
#include "platform/files/PathForms.h"

#include "support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::WriteFile;

void Put32(QByteArray& bytes, qsizetype at, quint32 value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + i] = char(value >> (8 * i));
}

// A shell link whose link information holds an 8-bit local base path and suffix.
QByteArray ShellLink(const QByteArray& basePath, const QByteArray& suffix) {
  QByteArray bytes(0x4C, '\0');
  Put32(bytes, 0, 0x4C);
  const unsigned char shellLinkClass[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0,
                                            0xC0, 0,    0,    0, 0, 0, 0, 0x46};
  for (int i = 0; i < 16; ++i)
    bytes[4 + i] = char(shellLinkClass[i]);
  Put32(bytes, 0x14, 0x2); // link information, no item list
  QByteArray info(0x1C, '\0');
  info += basePath + '\0' + suffix + '\0';
  Put32(info, 0, quint32(info.size()));
  Put32(info, 4, 0x1C);
  Put32(info, 8, 1);                                      // a local base path
  Put32(info, 0x10, 0x1C);                                // where it is
  Put32(info, 0x18, quint32(0x1C + basePath.size() + 1)); // the common path suffix
  return bytes + info;
}

class Shortcuts : public ::testing::Test {
protected:
  QString Path(const QString& name) const { return Dir.filePath(name); }
  QTemporaryDir Dir;
};

TEST_F(Shortcuts, EachKindOfShortcutLeadsToItsTarget) {
  WriteFile(Path("a b.jpg"), "x");
  ASSERT_TRUE(QFile::link(Path("a b.jpg"), Path("link.jpg")));
  ASSERT_TRUE(QFile::link(Path("link.jpg"), Path("chain.jpg")));
  EXPECT_EQ(ResolvePath(Path("chain.jpg")).Path, Path("a b.jpg"));
  ASSERT_TRUE(QFile::link(Path("gone.jpg"), Path("dangling.jpg")));
  EXPECT_EQ(ResolvePath(Path("dangling.jpg")).Path, Path("gone.jpg"));

  WriteFile(Path("launcher.desktop"), "# made by hand\n[Desktop Entry]\nName=pics\nType=Link\n"
                                      "URL=file://" +
                                          QUrl::toPercentEncoding(Path("a b.jpg"), "/") +
                                          "\n[Other Group]\nURL=file:///elsewhere\n");
  const TResolvedPath launcher = ResolvePath(Path("launcher.desktop"));
  EXPECT_EQ(launcher.Path, Path("a b.jpg"));
  EXPECT_FALSE(launcher.BadLink);
  // A launcher of a program is just a file; a link to a web page leads nowhere here.
  WriteFile(Path("program.desktop"), "[Desktop Entry]\nType=Application\nExec=true\n");
  EXPECT_EQ(ResolvePath(Path("program.desktop")).Path, Path("program.desktop"));
  EXPECT_FALSE(ResolvePath(Path("program.desktop")).BadLink);
  WriteFile(Path("web.desktop"), "[Desktop Entry]\nType=Link\nURL=https://example.org/\n");
  EXPECT_TRUE(ResolvePath(Path("web.desktop")).BadLink);
  EXPECT_EQ(ResolvePath(Path("web.desktop")).Path, Path("web.desktop"));

  WriteFile(Path("shell.lnk"), ShellLink("C:\\pics", "\\a b.jpg"));
  EXPECT_EQ(ResolvePath(Path("shell.lnk")).Path, "C:/pics/a b.jpg");
  WriteFile(Path("broken.lnk"), "not a link at all");
  EXPECT_TRUE(ResolvePath(Path("broken.lnk")).BadLink);
  EXPECT_EQ(ResolvePath(Dir.path() + "/./sub/../a b.jpg").Path, Path("a b.jpg"));
}

TEST(ShellLinkBytes, EveryShortenedOrDamagedLinkIsRefusedWithoutReadingPastIt) {
  const QByteArray link = ShellLink("C:\\pictures\\x.jpg", "");
  ASSERT_EQ(ShellLinkTarget(link), "C:/pictures/x.jpg");
  for (qsizetype size = 0; size < link.size(); ++size)
    EXPECT_EQ(ShellLinkTarget(link.left(size)), "") << size;
  // Offsets and sizes pointing anywhere.
  for (qsizetype at : {0x4C, 0x50, 0x5C, 0x64}) {
    for (quint32 value : {0u, 3u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
      QByteArray damaged = link;
      Put32(damaged, at, value);
      ShellLinkTarget(damaged); // refused or read, never past the end (the sanitizers watch)
    }
  }
}

// The fuzzer's seeds: each kind of shortcut as other programs write them.
TEST(ShellLinkBytes, TheSeedShortcutsGiveTheirTargets) {
  const QString seeds = KESTREL_SOURCE_DIR "/fuzz/corpus/fuzz_shortcut/";
  auto bytes = [&](const char* name) {
    QFile file(seeds + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  EXPECT_EQ(ShellLinkTarget(bytes("plain.lnk")), "C:/pictures/a.jpg");
  EXPECT_EQ(ShellLinkTarget(bytes("unicode_idlist.lnk")), "D:/fotos/kase/b.png");
  EXPECT_EQ(DesktopLinkTarget(bytes("link.desktop")), "/home/user/My Pictures/a.jpg");
  EXPECT_EQ(DesktopLinkTarget(bytes("escaped.desktop")), "/home/user/a b.jpg");
  EXPECT_EQ(DesktopLinkTarget(bytes("plain.lnk")), std::nullopt);
  EXPECT_EQ(ShellLinkTarget(bytes("link.desktop")), "");
}

TEST(ClipboardPaths, EveryFormComesBackToTheFileItNames) {
  QTemporaryDir dir;
  const QString spaced = dir.filePath("my pictures/a b.jpg");
  QDir().mkpath(dir.filePath("my pictures"));
  WriteFile(spaced, "x");
  EXPECT_EQ(ToDosPath(spaced), QString(spaced).replace('/', '\\'));
  EXPECT_EQ(FromClipboardPath(ToDosPath(spaced)), spaced);
  EXPECT_EQ(FromClipboardPath(ToUnixPath(ToDosPath(spaced))), spaced);
  EXPECT_EQ(FromClipboardPath(QUrl::fromLocalFile(spaced).toString() + "\r\nfile:///other"),
            spaced);
  EXPECT_EQ(FromClipboardPath("'" + spaced + "'"), spaced);
  // The first line only; a folder names itself.
  EXPECT_EQ(FromClipboardPath(dir.path() + "/my pictures\n" + spaced), dir.filePath("my pictures"));

  // A name holding "\" is found as it is before any "\" is taken for a separator.
  const QString backslashed = dir.filePath("x\\y.jpg");
  WriteFile(backslashed, "x");
  QDir().mkpath(dir.filePath("x"));
  WriteFile(dir.filePath("x/y.jpg"), "other");
  EXPECT_EQ(FromClipboardPath(backslashed), backslashed);

  EXPECT_EQ(FromClipboardPath(dir.filePath("missing.jpg")), "");
  EXPECT_EQ(FromClipboardPath("a b.jpg"), ""); // not a path from anywhere
  EXPECT_EQ(FromClipboardPath("https://example.org/a.jpg"), "");
  EXPECT_EQ(FromClipboardPath(""), "");
  // Ten megabytes of text are no path, and are not searched for one.
  EXPECT_EQ(FromClipboardPath(QString(10 << 20, 'a')), "");
  EXPECT_EQ(FromClipboardPath(spaced + QString(10 << 20, 'a')), "");
}

} // namespace
} // namespace kestrel
