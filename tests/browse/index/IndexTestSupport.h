#pragma once
// Pictures and pages for the index tests: flat-coloured picture files of any size and kind, and a
// page set up with plain numbers.

#include "browse/index/IndexComposer.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/Picture.h"
#include "imaging/jpeg/JpegImage.h"

#include <QDir>
#include <QFile>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrel::test {

// A width x height picture of one colour written as path's kind (.bmp or .jpg).
inline std::string WriteFlatPicture(const QString& path, int width, int height, TColor color) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.Canvas().Brush.Color = color;
  bitmap.SetSize(width, height);
  bitmap.Canvas().FillRect({0, 0, width, height});
  const std::string name = QFile::encodeName(path).toStdString();
  if (path.endsWith(".jpg")) {
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    jpeg.SaveToFile(name);
  } else {
    bitmap.SaveToFile(name);
  }
  return name;
}

// count files "p1.bmp", "p2.bmp", ... of width x height in folder.
inline std::vector<std::string> WriteFlatPictures(const QString& folder, int count, int width,
                                                  int height, TColor color = 0x3080C0) {
  std::vector<std::string> files;
  for (int i = 1; i <= count; ++i)
    files.push_back(
        WriteFlatPicture(QDir(folder).filePath(QString("p%1.bmp").arg(i)), width, height, color));
  return files;
}

// A page of 800 x 600, border 1, spacing 10, 7 x 3, no thumbnail border, black with white frames.
inline TIndexPageConfig PlainSpec(std::vector<std::string> files = {}) {
  TIndexPageConfig config;
  config.Files = std::move(files);
  config.PageBorderColor = config.ThumbBorderColor = clWhite;
  config.TitleFont.Color = config.FooterFont.Color = config.CaptionFont.Color = clWhite;
  config.TitleText = "Title";
  return config;
}

// Reads with the picture registry, as the viewer's reader does for these kinds.
inline std::unique_ptr<TGraphic> ReadByRegistry(const std::string& path) {
  const auto format = TPicture::FindFileFormat(path);
  if (!format) return nullptr;
  std::unique_ptr<TGraphic> graphic = format->Create();
  graphic->LoadFromFile(path);
  return graphic;
}

// A picture that has a size but cannot be drawn.
class TBrokenGraphic : public TGraphic {
public:
  std::unique_ptr<TGraphic> NewInstance() const override {
    return std::make_unique<TBrokenGraphic>();
  }
  void Draw(TCanvas&, const TRect&) override { throw std::runtime_error("broken"); }
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) override {}

protected:
  bool GetEmpty() const override { return false; }
  int GetWidth() const override { return 120; }
  int GetHeight() const override { return 80; }
  void DoSetWidth(int) override {}
  void DoSetHeight(int) override {}
};

} // namespace kestrel::test
