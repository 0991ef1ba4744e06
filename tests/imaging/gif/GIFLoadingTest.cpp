// Reading GIF files that are odd or damaged: what loads, with which warnings, and what fails with
// which error. Files are put together byte by byte.

#include "imaging/core/ImageLimits.h"
#include "imaging/gif/GIFApplicationExtension.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFGraphicControlExtension.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/gif/GIFLoopExtension.h"

#include "GIFFileBuilder.h"
#include "GIFImageTestSupport.h"
#include "GIFTestData.h"
#include "GifReference.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::giftest;

namespace {

const std::vector<uint8_t> kPixels3x2 = {0, 1, 2, 3, 2, 1};

// A plain one-frame file: 3 x 2 screen, global table of 4 colours.
GIFFileBuilder PlainFile(const std::string& signature = "GIF89a") {
  GIFFileBuilder file(signature);
  file.Screen(3, 2, 2).Image(0, 0, 3, 2, kPixels3x2, 2);
  return file;
}

std::string LoadError(const std::vector<uint8_t>& bytes) {
  TGIFImage image;
  WarningLog log;
  const std::string error = GIFErrorOf([&] { LoadGIF(image, bytes, log); });
  EXPECT_TRUE(image.Images().Empty()) << "a failed load leaves the image empty";
  return error;
}

} // namespace

TEST(GIFLoading, SignatureVariantsLoadWithoutWarnings) {
  std::vector<std::vector<uint8_t>> files;
  files.push_back(PlainFile().Trailer().Bytes());
  files.push_back(PlainFile("gif87A").Trailer().Bytes()); // any case
  files.push_back(PlainFile("GIF12z").Trailer().Bytes()); // versions are not checked
  files.push_back(PlainFile().Bytes());                   // simply ends after its frame
  std::vector<uint8_t> junk = {'M', 'A', 'C', '!'};       // four bytes of something else first
  junk.insert(junk.end(), files[0].begin(), files[0].end());
  files.push_back(junk);
  for (const auto& bytes : files) {
    TGIFImage image;
    WarningLog log;
    LoadGIF(image, bytes, log);
    EXPECT_TRUE(log.messages.empty()) << log.messages.front();
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.Images()[0].Data(), kPixels3x2);
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
  }
}

TEST(GIFLoading, FatalHeaderFaultsRaiseAndRestoreTheStream) {
  EXPECT_EQ(LoadError({'P', 'N', 'G', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}),
            "Invalid GIF signature");
  EXPECT_EQ(LoadError({}), "Invalid GIF signature");
  EXPECT_EQ(LoadError({'G', 'I', 'F', '8', '9', 'a', 1, 0}), "Premature end of data");
  // Junk further than four bytes in front is not looked past.
  std::vector<uint8_t> far = {1, 2, 3, 4, 5};
  const auto plain = PlainFile().Bytes();
  far.insert(far.end(), plain.begin(), plain.end());
  EXPECT_EQ(LoadError(far), "Invalid GIF signature");

  TGIFImage image;
  std::vector<uint8_t> bytes = {9, 9, 9};
  bytes.insert(bytes.end(), plain.begin(), plain.end());
  bytes[3 + 1] = 'X'; // "GXF"
  TMemoryStream stream(bytes);
  stream.SetPosition(3);
  EXPECT_THROW(image.LoadFromStream(stream), GIFException);
  EXPECT_EQ(stream.Position(), 3);
}

TEST(GIFLoading, WrongTrailerAndUnknownBlocksWarn) {
  struct Case {
    std::vector<uint8_t> bytes;
    std::vector<std::string> warnings;
    int frames;
  };
  const Case cases[] = {
      {PlainFile().Raw({0x3C}).Bytes(), {"Unknown GIF block type", "Invalid Image trailer"}, 1},
      {PlainFile().Raw({0, 0, 0}).Trailer().Bytes(), {}, 1}, // padding before the trailer
      {PlainFile().Raw({'x'}).Image(0, 0, 3, 2, kPixels3x2, 2).Trailer().Bytes(),
       {"Unknown GIF block type", "Invalid Image trailer"},
       1},
  };
  for (const Case& c : cases) {
    TGIFImage image;
    WarningLog log;
    LoadGIF(image, c.bytes, log);
    EXPECT_EQ(log.messages, c.warnings);
    EXPECT_EQ(image.FrameCount(), c.frames);
  }
}

TEST(GIFLoading, FramesOutsideTheScreenAreFitted) {
  // A frame of size 0 takes the screen's size.
  {
    const std::vector<uint8_t> pixels(12, 1);
    GIFFileBuilder file;
    file.Screen(4, 3, 1).Descriptor(0, 0, 0, 0, 0);
    TMemoryStream data;
    EncodeGIFFrame(data, 1, 2, pixels.data(), false, 3, 4, nullptr);
    file.Append(data.Bytes()).Trailer();
    TGIFImage image;
    WarningLog log;
    LoadGIF(image, file.Bytes(), log);
    EXPECT_EQ(log.messages, std::vector<std::string>{"Image exceeds Logical Screen size"});
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.Images()[0].BoundsRect(), Rect(0, 0, 4, 3));
    EXPECT_EQ(image.Images()[0].Data(), pixels);
  }
  // A frame larger than the screen enlarges it and moves to the corner; a side that is large
  // enough already is not shrunk.
  {
    const auto pixels = MakePicture(PictureKind::Runs, 9, 2, 4);
    GIFFileBuilder file;
    file.Screen(5, 6, 2).Image(3, 1, 9, 2, pixels, 2).Trailer();
    TGIFImage image;
    WarningLog log;
    LoadGIF(image, file.Bytes(), log);
    EXPECT_EQ(log.messages, std::vector<std::string>{"Image exceeds Logical Screen size"});
    EXPECT_EQ(image.Width(), 9);
    EXPECT_EQ(image.Height(), 6);
    EXPECT_EQ(image.Images()[0].BoundsRect(), Rect(0, 0, 9, 2));
    EXPECT_EQ(image.Images()[0].Data(), pixels);
  }
}

TEST(GIFLoading, GraphicControlRules) {
  // A second graphic control extension warns; the first stays in force.
  {
    GIFFileBuilder file;
    file.Screen(3, 2, 2)
        .Control(true, 2, 10)
        .Control(false, 1, 99)
        .Image(0, 0, 3, 2, kPixels3x2, 2);
    TGIFImage image;
    WarningLog log;
    LoadGIF(image, file.Trailer().Bytes(), log);
    EXPECT_EQ(log.messages,
              std::vector<std::string>{"Frame contains multiple Graphic Control Extension blocks"});
    const TGIFSubImage& frame = image.Images()[0];
    EXPECT_EQ(frame.Extensions().Count(), 2);
    EXPECT_EQ(frame.GraphicControlExtension()->Delay, 10);
    EXPECT_EQ(frame.TransparentColorIndex(), 2);
  }
  // A transparent index equal to the colour count adds a black entry; a larger one becomes 0.
  for (int index : {4, 5, 255}) {
    GIFFileBuilder file;
    file.Screen(3, 2, 2).Control(true, index).Image(0, 0, 3, 2, kPixels3x2, 2).Trailer();
    TGIFImage image;
    WarningLog log;
    LoadGIF(image, file.Bytes(), log);
    const TGIFSubImage& frame = image.Images()[0];
    if (index == 4) {
      EXPECT_EQ(log.messages, std::vector<std::string>{"Invalid color index - color map expanded"});
      ASSERT_EQ(image.GlobalColorMap().Count(), 5);
      EXPECT_EQ(image.GlobalColorMap().Color(4), TGIFColor{});
      EXPECT_EQ(frame.TransparentColorIndex(), 4);
    } else {
      EXPECT_EQ(log.messages, std::vector<std::string>{"Invalid color index"});
      EXPECT_EQ(image.GlobalColorMap().Count(), 4);
      EXPECT_EQ(frame.TransparentColorIndex(), 0);
    }
  }
  // A 256-entry table cannot grow: the index becomes 0.
  {
    GIFFileBuilder file;
    file.Screen(3, 2, 8).Control(true, 255).Image(0, 0, 3, 2, kPixels3x2, 8).Trailer();
    TGIFImage image;
    WarningLog log;
    LoadGIF(image, file.Bytes(), log);
    EXPECT_TRUE(log.messages.empty());
    EXPECT_EQ(image.Images()[0].TransparentColorIndex(), 255);
  }
}

TEST(GIFLoading, DataCutShortKeepsWhatIsThere) {
  const auto pixels = MakePicture(PictureKind::Noise, 40, 30, 16);
  GIFFileBuilder file;
  file.Screen(40, 30, 4).Control(true, 7).Image(0, 0, 40, 30, pixels, 4).Trailer();
  const std::vector<uint8_t>& whole = file.Bytes();
  const auto reference = gifref::Slurp(whole);
  ASSERT_TRUE(reference);
  // Cut anywhere: never an exception, the pixels read are right and the rest hold the transparent
  // index.
  const size_t imageStart = 13 + 48 + 8;
  for (size_t cut = imageStart + 1; cut < whole.size(); cut += 7) {
    const std::vector<uint8_t> bytes(whole.begin(), whole.begin() + cut);
    TGIFImage image;
    WarningLog log;
    ASSERT_NO_THROW(LoadGIF(image, bytes, log)) << cut;
    EXPECT_TRUE(log.allSeverityOne);
    if (cut + 2 >= whole.size()) continue; // only the terminator and trailer missing
    ASSERT_FALSE(log.messages.empty()) << cut;
    if (cut <= imageStart + 10) {
      EXPECT_TRUE(image.Images().Empty() || image.Images()[0].Data().empty() ||
                  image.Images()[0].Data() == std::vector<uint8_t>(pixels.size(), 7))
          << cut;
      continue;
    }
    const std::vector<uint8_t>& got = image.Images()[0].Data();
    ASSERT_EQ(got.size(), pixels.size());
    size_t same = 0;
    while (same < got.size() && got[same] == pixels[same])
      ++same;
    // Decoding stops at the cut: from the first pixel that differs on, all hold the fill value.
    EXPECT_EQ(std::count(got.begin() + same, got.end(), 7), got.end() - (got.begin() + same))
        << cut;
  }
}

TEST(GIFLoading, ExtensionsKnownUnknownAndBroken) {
  // An unknown label is stepped over; an unknown application is kept verbatim.
  const std::vector<std::vector<uint8_t>> appData = {{1, 2, 3}, std::vector<uint8_t>(255, 9), {7}};
  GIFFileBuilder file;
  file.Screen(3, 2, 2)
      .Raw({0x21, 0x77, 2, 'h', 'i', 0})
      .Application("SOMEAPP 1.0", appData)
      .Application("NETSCAPE2.0", {{1, 5, 0}, {2, 0, 1, 0, 0}, {4, 4}})
      .Image(0, 0, 3, 2, kPixels3x2, 2)
      .Trailer();
  TGIFImage image;
  WarningLog log;
  LoadGIF(image, file.Bytes(), log);
  EXPECT_EQ(log.messages, std::vector<std::string>{"Unknown extension type"});
  const TGIFSubImage& frame = image.Images()[0];
  ASSERT_EQ(frame.Extensions().Count(), 2);
  const auto* unknown = dynamic_cast<const TGIFUnknownAppExtension*>(&frame.Extensions()[0]);
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->Identifier, "SOMEAPP 1.0");
  ASSERT_EQ(unknown->Blocks.size(), 3u);
  for (size_t i = 0; i < 3; ++i)
    EXPECT_EQ(unknown->Blocks[i].Data, appData[i]);
  const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(&frame.Extensions()[1]);
  ASSERT_TRUE(loop);
  EXPECT_EQ(loop->Loops, 5);
  EXPECT_EQ(loop->BufferSize, 256u);
  EXPECT_EQ(frame.Data(), kPixels3x2);

  // Written back, the unknown application's bytes are the same as read.
  const std::vector<uint8_t> saved = SaveGIF(image);
  const std::vector<uint8_t> block(file.Bytes().begin() + 13 + 12 + 6,
                                   file.Bytes().begin() + 13 + 12 + 6 + 3 + 11 + 4 + 256 + 2 + 1);
  EXPECT_NE(std::search(saved.begin(), saved.end(), block.begin(), block.end()), saved.end());

  EXPECT_EQ(LoadError(GIFFileBuilder().Screen(3, 2, 2).Raw({0x21, 0xFF, 9}).Bytes()),
            "Unsupported Application Extension block size");
  EXPECT_EQ(LoadError(GIFFileBuilder()
                          .Screen(3, 2, 2)
                          .Application("ANIMEXTS1.0", {{1, 5}})
                          .Image(0, 0, 3, 2, kPixels3x2, 2)
                          .Bytes()),
            "Invalid GIF data");
  // A longer application header is read past; a 10-byte one is an unknown application.
  for (const std::string& id : {std::string("NETSCAPE2.0xyz"), std::string("NETSCAPE2.")}) {
    TGIFImage other;
    WarningLog otherLog;
    LoadGIF(other,
            GIFFileBuilder()
                .Screen(3, 2, 2)
                .Application(id, {{1, 5, 0}})
                .Image(0, 0, 3, 2, kPixels3x2, 2)
                .Bytes(),
            otherLog);
    EXPECT_TRUE(otherLog.messages.empty());
    ASSERT_EQ(other.Images()[0].Extensions().Count(), 1);
    EXPECT_TRUE(dynamic_cast<const TGIFUnknownAppExtension*>(&other.Images()[0].Extensions()[0]));
    EXPECT_EQ(
        dynamic_cast<const TGIFApplicationExtension&>(other.Images()[0].Extensions()[0]).Identifier,
        id.substr(0, 11));
  }
}

TEST(GIFLoading, BrokenExtensionFramingWarns) {
  struct Case {
    std::vector<uint8_t> tail;
    std::string warning;
  };
  const Case cases[] = {
      {{0x21, 0xF9, 4, 1}, "Premature end of data"},         // graphic control cut
      {{0x21, 0xFE, 10, 'a', 'b'}, "Premature end of data"}, // comment block cut
      {{0x21}, "Premature end of data"},                     // label missing
      {{0x21, 0xF9, 4, 1, 0, 0, 2, 0, '?'}, "Invalid extension introducer"},
      {{0x21, 0xFF, 11, 'N', 'E', 'T'}, "Premature end of data"}, // identifier cut
      {{0x21, 0x01, 12, 1, 2, 3}, "Premature end of data"},       // plain text cut
  };
  for (const Case& c : cases) {
    GIFFileBuilder file;
    file.Screen(3, 2, 2).Image(0, 0, 3, 2, kPixels3x2, 2);
    file.Append(c.tail);
    TGIFImage image;
    WarningLog log;
    ASSERT_NO_THROW(LoadGIF(image, file.Bytes(), log));
    ASSERT_FALSE(log.messages.empty());
    EXPECT_EQ(log.messages.front(), c.warning);
    EXPECT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.Images()[0].Data(), kPixels3x2);
    // What was kept of the broken block is written so that it reads again.
    TGIFImage back;
    WarningLog backLog;
    LoadGIF(back, SaveGIF(image), backLog);
    EXPECT_TRUE(backLog.messages.empty()) << backLog.messages.front();
    EXPECT_EQ(back.Images().Count(), image.Images().Count());
  }
}

TEST(GIFLoading, TinyFilesCannotClaimHugeMemory) {
  // A huge screen and a frame of size 0 (which takes the screen's size), with hardly any data.
  GIFFileBuilder huge;
  huge.Screen(0xFFFF, 0xFFFF, 1).Descriptor(0, 0, 0, 0, 0).Raw({2, 2, 0x4C, 0x01, 0}).Trailer();
  EXPECT_EQ(LoadError(huge.Bytes()), "GIF frame exceeds the memory limit");
  // A frame that fits the memory limit but not what the data could fill.
  GIFFileBuilder big;
  big.Screen(6000, 6000, 1).Descriptor(0, 0, 6000, 6000, 0).Raw({2, 2, 0x4C, 0x01, 0}).Trailer();
  EXPECT_EQ(LoadError(big.Bytes()), "GIF frame exceeds the memory limit");
  // Many frames of a small file share one allowance.
  GIFFileBuilder many;
  many.Screen(3000, 3000, 1);
  for (int i = 0; i < 40; ++i)
    many.Descriptor(0, 0, 3000, 3000, 0).Raw({2, 2, 0x4C, 0x01, 0});
  EXPECT_EQ(LoadError(many.Bytes()), "GIF frame exceeds the memory limit");
  // The image model's limit holds too.
  const uint64_t saved = ImageLimits::MaxBytes();
  ImageLimits::SetMaxBytes(1000);
  EXPECT_EQ(LoadError(GIFFileBuilder()
                          .Screen(40, 30, 1)
                          .Image(0, 0, 40, 30, std::vector<uint8_t>(1200), 1)
                          .Bytes()),
            "GIF frame exceeds the memory limit");
  ImageLimits::SetMaxBytes(saved);
  // The header alone is read without allocating pixels.
  TMemoryStream stream(huge.Bytes());
  const TImageInfo info = TGIFImage().ReadInfo(stream);
  EXPECT_EQ(info.Width, 0xFFFF);
  EXPECT_EQ(info.Frames, 1);
}

TEST(GIFLoading, AWarningHandlerThatRaisesStopsTheLoad) {
  GIFFileBuilder file;
  file.Screen(3, 2, 2).Control(true, 9).Image(0, 0, 3, 2, kPixels3x2, 2).Trailer();
  TGIFImage image;
  image.OnWarning = [](const void*, TGIFSeverity, const std::string& message) {
    throw GIFException("stopped: " + message);
  };
  TMemoryStream stream(file.Bytes());
  try {
    image.LoadFromStream(stream);
    ADD_FAILURE();
  } catch (const GIFException& e) {
    EXPECT_EQ(std::string(e.what()), "stopped: Invalid color index");
  }
  EXPECT_TRUE(image.Empty());
  // Without a handler only errors raise.
  TGIFImage quiet;
  EXPECT_NO_THROW(quiet.Warning(nullptr, TGIFSeverity::Warning, "w"));
  EXPECT_THROW(quiet.Warning(nullptr, TGIFSeverity::Error, "e"), GIFException);
}

TEST(GIFLoading, InfoCountsFramesWithoutDecoding) {
  // The second frame's code size is out of range: loading fails, the header walk does not.
  GIFFileBuilder file;
  file.Screen(3, 2, 2)
      .Image(0, 0, 3, 2, kPixels3x2, 2)
      .Comment({"between"})
      .Descriptor(0, 0, 3, 2, 0)
      .Append({12, 2, 0x55, 0x55, 0})
      .Comment({"end"})
      .Trailer();
  TMemoryStream stream(file.Bytes());
  const TImageInfo info = TGIFImage().ReadInfo(stream);
  EXPECT_EQ(info.Frames, 2);
  EXPECT_EQ(info.Width, 3);
  EXPECT_EQ(info.BitsPerPixel, 2);
  EXPECT_EQ(info.PaletteEntries, 4);
  EXPECT_EQ(LoadError(file.Bytes()), "Invalid GIF data");
}
