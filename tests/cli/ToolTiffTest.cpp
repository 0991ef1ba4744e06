// kestrel-tool with TIFF files: conversion in both directions with each compression it names,
// the page count of info, and the command lines it refuses.

#include "cli/ToolCommands.h"

#include "imaging/core/Stream.h"
#include "imaging/tiff/TiffGraphic.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace kestrel {
namespace {

std::string Fixture(const std::string& name) {
  return std::string(KESTREL_TEST_DATA) + "/tiff/" + name;
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("kestrel-tool-" + std::to_string(getpid()) + "-" + name))
      .string();
}

struct ToolRun {
  int Code;
  std::string Out;
  std::string Err;
};

ToolRun Tool(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int code = RunTool(args, out, err);
  return {code, out.str(), err.str()};
}

std::unique_ptr<TTiffGraphic> LoadTiff(const std::string& path) {
  auto picture = std::make_unique<TTiffGraphic>();
  TFileStream stream(path, TFileMode::OpenRead);
  picture->LoadFromStream(stream);
  return picture;
}

bool SamePixels(const TDibGraphic& a, const TDibGraphic& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

TEST(ToolTiff, ConvertWritesEachNamedCompression) {
  const struct {
    const char* Input;
    const char* Name;
    TTiffCompression Kind;
  } cases[] = {{"rgb-none.tif", "none", tcNone},  {"rgb-none.tif", "packbits", tcPackbits},
               {"bw-g4.tif", "g3", tcGroup3OneD}, {"bw-g4.tif", "g3-2d", tcGroup3TwoD},
               {"bw-g4.tif", "g4", tcGroup4},     {"palette8.tif", "zlib", tcZLib},
               {"grey8.tif", "jpeg", tcJpeg}};
  const std::string output = TempPath("out.tiff");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const ToolRun run = Tool({"convert", Fixture(c.Input), output, "--tiff-compression", c.Name});
    ASSERT_EQ(run.Code, kExitOk) << run.Err;
    const auto written = LoadTiff(output);
    EXPECT_EQ(written->Compression(), c.Kind);
    if (c.Kind != tcJpeg) {
      EXPECT_TRUE(SamePixels(*written, *LoadTiff(Fixture(c.Input))));
    }
  }
  std::remove(output.c_str());
}

TEST(ToolTiff, ConvertToAndFromOtherFormatsKeepsThePixels) {
  const std::string bmp = TempPath("page.bmp");
  const std::string tif = TempPath("back.tif");
  ASSERT_EQ(Tool({"convert", Fixture("palette4.tif"), bmp}).Code, kExitOk);
  ASSERT_EQ(Tool({"convert", bmp, tif}).Code, kExitOk);
  const auto back = LoadTiff(tif);
  EXPECT_EQ(back->Compression(), tcNone); // the compression window's first choice
  EXPECT_TRUE(SamePixels(*back, *LoadTiff(Fixture("palette4.tif"))));
  std::remove(bmp.c_str());
  std::remove(tif.c_str());
}

TEST(ToolTiff, AKindTheFormatRefusesFailsWithTheCodecMessageAndNoFile) {
  const std::string output = TempPath("refused.tif");
  const ToolRun run =
      Tool({"convert", Fixture("rgb-none.tif"), output, "--tiff-compression", "g4"});
  EXPECT_EQ(run.Code, kExitFailed);
  EXPECT_EQ(run.Err, "kestrel-tool: CCITT Group 4 compression not supported with True color "
                     "images\n");
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST(ToolTiff, InfoReportsThePageCount) {
  const ToolRun run = Tool({"info", Fixture("multipage.tif")});
  ASSERT_EQ(run.Code, kExitOk) << run.Err;
  EXPECT_NE(run.Out.find("format: tif (TIFF file)\n"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("width: 37\nheight: 23\nbits per pixel: 24\n"), std::string::npos);
  EXPECT_NE(run.Out.find("frames: 3\n"), std::string::npos) << run.Out;
}

TEST(ToolTiff, BadCommandLinesShowTheUsage) {
  const std::string output = TempPath("never.tif");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"convert", Fixture("rgb-none.tif"), output, "--tiff-compression",
                                 "lzw"},
        {"convert", Fixture("rgb-none.tif"), output, "--tiff-compression"},
        {"convert", Fixture("rgb-none.tif"), TempPath("x.bmp"), "--tiff-compression", "none"},
        {"info", Fixture("rgb-none.tif"), "--tiff-compression", "none"},
        {"convert", Fixture("rgb-none.tif"), output, "--quality", "9"}}) {
    const ToolRun run = Tool(args);
    EXPECT_EQ(run.Code, kExitUsage) << args.back();
    EXPECT_NE(run.Err.find("usage: kestrel-tool"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_FALSE(std::filesystem::exists(TempPath("x.bmp")));
}

} // namespace
} // namespace kestrel
