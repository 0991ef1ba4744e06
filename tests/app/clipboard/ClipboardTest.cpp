// "&Copy Image" and "&Paste Image": pictures keep their depth inside the program, and what other
// programs put on the clipboard is read as untrusted input.

#include "app/clipboard/PictureClipboard.h"
#include "app/view/Dpicture.h"
#include "app/view/ImageKind.h"
#include "imaging/core/Picture.h"

#include "../view/ViewTestSupport.h"
#include "support/MainWindowFixture.h"
#include "support/XServer.h"

#include <QAction>
#include <QClipboard>
#include <QEventLoop>
#include <QMimeData>
#include <QProcess>
#include <QTimer>

#include <zlib.h>

namespace kestrel {
namespace {

// What another program would offer: the clipboard takes data it did not get from us.
void OfferFromAnotherProgram(const char* mime, const QByteArray& bytes) {
  auto* data = new QMimeData;
  data->setData(mime, bytes);
  QGuiApplication::clipboard()->setMimeData(data);
}

void Put32(QByteArray& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.append(static_cast<char>(v >> shift));
}

void Chunk(QByteArray& png, const char* type, const QByteArray& body) {
  Put32(png, static_cast<uint32_t>(body.size()));
  const QByteArray typed = QByteArray(type) + body;
  png += typed;
  Put32(png, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()),
                                         static_cast<uInt>(typed.size()))));
}

// A PNG whose header claims width x height RGB pixels, with one row of data.
QByteArray ClaimingPng(uint32_t width, uint32_t height) {
  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  QByteArray header;
  Put32(header, width);
  Put32(header, height);
  header.append("\x08\x02\x00\x00\x00", 5);
  Chunk(png, "IHDR", header);
  const QByteArray row(1 + 3 * 16, '\0');
  Chunk(png, "IDAT", qCompress(row).mid(4)); // zlib stream without Qt's length prefix
  Chunk(png, "IEND", {});
  return png;
}

class PictureClipboard : public test::MainWindowFixture {
protected:
  TKestrelMain* Show(const TBitmap& bitmap, const char* name = "a.bmp") {
    const QString path = Env.Folder("pics") + "/" + name;
    test::WritePicture(bitmap, path);
    TKestrelMain* main = Windows.empty() ? Start({path}) : Windows.back().get();
    if (!Windows.empty()) main->LoadPicture(path);
    main->WaitForPicture();
    return main;
  }
  static void Trigger(TKestrelMain* main, const char* name) {
    main->Commands().Action(name)->trigger();
  }
};

TEST_F(PictureClipboard, ASixteenBitPictureComesBackAsSixteenBitsOfKindTwo) {
  TBitmap sixteen;
  sixteen.Assign(test::PatternBitmap(21, 9).get());
  sixteen.SetPixelFormat(pf16bit);
  TKestrelMain* main = Show(sixteen, "sixteen.bmp");
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(main->ViewBitmap->PixelFormat(), pf16bit);
  Trigger(main, "CopyImage1");

  Show(*test::PatternBitmap(5, 5), "other.png");
  main->ImageModified = true;
  Trigger(main, "PasteImage1");
  EXPECT_EQ(main->ImageKind, ikBmp);
  EXPECT_EQ(main->Picture->ImgType, ikBmp);
  EXPECT_FALSE(main->ImageModified);
  EXPECT_EQ(main->ViewBitmap->PixelFormat(), pf16bit);
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), test::SizeAndPixels(sixteen));
  // The edited picture the paste replaced can come back.
  EXPECT_EQ(main->Commands().Action("Undo1")->text(), "Undo: Paste");
}

TEST_F(PictureClipboard, TextOnTheClipboardDoesNothing) {
  TKestrelMain* main = Show(*test::PatternBitmap(8, 6));
  ASSERT_NE(main, nullptr);
  const auto shown = test::SizeAndPixels(*main->ViewBitmap);
  main->ImageModified = true;
  QGuiApplication::clipboard()->setText("not a picture");
  Trigger(main, "PasteImage1");
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), shown);
  EXPECT_TRUE(main->ImageModified);
  EXPECT_FALSE(main->Commands().Action("Undo1")->isEnabled()); // no snapshot either
  EXPECT_TRUE(Messages.empty());
}

TEST_F(PictureClipboard, APictureThatCannotBeReadIsRefusedAndThePictureStays) {
  TKestrelMain* main = Show(*test::PatternBitmap(8, 6));
  ASSERT_NE(main, nullptr);
  const auto shown = test::SizeAndPixels(*main->ViewBitmap);
  const QByteArray good = ClaimingPng(16, 1);
  for (const QByteArray& bytes : {ClaimingPng(50000, 50000), good.left(good.size() - 20),
                                  QByteArray("\x89PNG\r\n\x1a\n garbage"), QByteArray()}) {
    Messages.clear();
    OfferFromAnotherProgram("image/png", bytes);
    Trigger(main, "PasteImage1");
    ASSERT_EQ(Messages.size(), 1u) << bytes.size();
    EXPECT_EQ(Messages.back().Text, "Clipboard Format NotSupported");
    EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), shown);
    EXPECT_EQ(main->ImageKind, ikBmp);
  }
  // The same picture in one piece pastes.
  OfferFromAnotherProgram("image/png", good);
  Trigger(main, "PasteImage1");
  EXPECT_EQ(main->ViewBitmap->Width(), 16);

  // Offered as a bitmap too (as another copy of Kestrel does), the bitmap is taken, pixel for
  // pixel.
  const auto pattern = test::PatternBitmap(9, 4);
  test::WritePicture(*pattern, Env.Path() + "/offered.bmp");
  auto* both = new QMimeData;
  both->setData("image/png", good);
  both->setData("image/bmp", test::FileBytes(Env.Path() + "/offered.bmp"));
  QGuiApplication::clipboard()->setMimeData(both);
  Trigger(main, "PasteImage1");
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), test::SizeAndPixels(*pattern));
}

TEST(ClipboardOfAnotherProgram, APictureCopiedByAnotherProgramPastes) {
  KESTREL_UNDER_X_SERVER();
  test::TestApplication();
  test::TTempEnvironment env;
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->mimeData(); // from now on a new owner is noticed
  const QString file = env.Path() + "/copied.png";
  test::WritePicture(*test::PatternBitmap(7, 5), file);

  QEventLoop loop;
  QObject::connect(clipboard, &QClipboard::changed, &loop, &QEventLoop::quit);
  QTimer::singleShot(60000, &loop, &QEventLoop::quit); // only if the change never comes
  QProcess::startDetached("xclip", {"-selection", "clipboard", "-t", "image/png", "-i", file});
  loop.exec();

  TPasted pasted = PastePicture(clBlack);
  ASSERT_EQ(pasted.Outcome, TPasted::TOutcome::Picture) << pasted.Reason.toStdString();
  // What loading the file shows (the PNG reader corrects its gamma).
  TPicture loaded;
  loaded.LoadFromFile(QFile::encodeName(file).toStdString());
  EXPECT_EQ(test::SizeAndPixels(*pasted.Bitmap),
            test::SizeAndPixels(*BitmapOfDepth(*loaded.Graphic(), clBlack)));
}

} // namespace
} // namespace kestrel
