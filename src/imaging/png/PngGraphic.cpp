#include "imaging/png/PngGraphic.h"

#include "imaging/core/Stream.h"
#include "imaging/png/PngHeader.h"
#include "imaging/png/PngSession.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <optional>
#include <vector>

namespace kestrel {

namespace {

constexpr int kPaletteType = 3;
constexpr double kInchesPerMetre = 39.370078740157480317;

struct TWarningRoute {
  std::mutex Mutex;
  TPngGraphic::TWarningHandler Handler;
};

TWarningRoute& WarningRoute() {
  static TWarningRoute route;
  return route;
}

// Pixels per metre as dots per inch; what the dots-per-inch view cannot hold becomes 0 (the
// screen's resolution).
uint16_t DpiOfPelsPerMeter(png_uint_32 pelsPerMeter) {
  const double dpi = std::round(pelsPerMeter * 0.0254);
  return dpi > 65535 ? 0 : static_cast<uint16_t>(dpi);
}

// The grey a colour composites to on a grey picture, in the sample range of the bit depth (the
// file's for 1 to 8 bits; 16-bit samples are cut to 8 before they are composited).
png_uint_16 GreyLevel(TColor color, int bitDepth) {
  const int luma = (RedOf(color) * 299 + GreenOf(color) * 587 + BlueOf(color) * 114 + 500) / 1000;
  const int max = bitDepth >= 8 ? 255 : (1 << bitDepth) - 1;
  return static_cast<png_uint_16>((luma * max + 127) / 255);
}

// The picture's palette record from the file's PLTE (after libpng's gamma and background work on
// it), cut to the entries the depth can address.
TDibPalette FilePalette(png_structp png, png_infop info, int bitDepth) {
  png_colorp entries = nullptr;
  int count = 0;
  if (!png_get_PLTE(png, info, &entries, &count) || count <= 0)
    throw EPNGError("png_get_PLTE failed");
  TDibPalette palette;
  palette.Version = TDibPalette::kVersion;
  palette.Count = static_cast<uint16_t>(std::min({count, 1 << bitDepth, TDibPalette::kMaxEntries}));
  for (int i = 0; i < palette.Count; ++i)
    palette.Entries[i] = {entries[i].blue, entries[i].green, entries[i].red, 0};
  return palette;
}

// A file that declares sRGB is shown as it is; other files of more than 2 bits per sample are
// corrected from their gamma (0.5 when they give none) to the screen's. Returns the file gamma to
// keep.
double SetUpGamma(png_structp png, png_infop info, int bitDepth, double current) {
  int intent = 0;
  double fileGamma = 0;
  if (png_get_sRGB(png, info, &intent)) {
    png_set_sRGB(png, info, intent);
    return current;
  }
  if (bitDepth <= 2) return current;
  const double gamma =
      png_get_gAMA(png, info, &fileGamma) && fileGamma > 0 ? fileGamma : TPngGraphic::kDefaultGamma;
  png_set_gamma(png, TPngGraphic::kScreenGamma, gamma);
  return gamma;
}

// Compositing (it only acts on alpha or transparency): onto the file's own background, in file
// gamma, unless there is none or ours is asked for, which is in screen terms.
void SetUpBackground(png_structp png, png_infop info, bool useOwn, TColor own, int bitDepth) {
  png_color_16p fileBackground = nullptr;
  if (!useOwn && png_get_bKGD(png, info, &fileBackground)) {
    png_set_background(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
    return;
  }
  png_color_16 colour{};
  colour.red = RedOf(own);
  colour.green = GreenOf(own);
  colour.blue = BlueOf(own);
  colour.gray = GreyLevel(own, bitDepth);
  png_set_background(png, &colour, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
}

// A pHYs resolution in pixels per metre as dots per inch; 0 (the screen's) without one.
void ReadResolution(png_structp png, png_infop info, uint16_t& xDpi, uint16_t& yDpi) {
  png_uint_32 resX = 0, resY = 0;
  int unit = 0;
  if (png_get_pHYs(png, info, &resX, &resY, &unit) && unit == PNG_RESOLUTION_METER) {
    xDpi = DpiOfPelsPerMeter(resX);
    yDpi = DpiOfPelsPerMeter(resY);
  }
}

// Every pass straight into the picture's rows.
void ReadRows(TPngSession& session, TPngGraphic& picture, int passes) {
  png_structp png = session.Png();
  if (png_get_rowbytes(png, session.Info()) > static_cast<size_t>(picture.BytesPerLine()))
    throw EPNGError("Internal error: PNG row does not fit the image");
  const int height = picture.Height();
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    rows[static_cast<size_t>(y)] = picture.ScanLine(y);
  session.Run([&] {
    for (int pass = 0; pass < passes; ++pass)
      for (int y = 0; y < height; ++y)
        png_read_row(png, rows[static_cast<size_t>(y)], nullptr);
  });
}

// Two-bit samples have no image format of their own: read them whole, then widen each to a 4-bit
// index times factor (grey levels 0..3 become entries 0, 5, 10, 15 of the 16-grey palette).
void ReadTwoBitRows(TPngSession& session, TPngGraphic& picture, int factor) {
  const size_t rowBytes = png_get_rowbytes(session.Png(), session.Info());
  const int height = picture.Height();
  std::vector<uint8_t> buffer(rowBytes * static_cast<size_t>(height));
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    rows[static_cast<size_t>(y)] = buffer.data() + rowBytes * static_cast<size_t>(y);
  session.Run([&] { png_read_image(session.Png(), rows.data()); });
  for (int y = 0; y < height; ++y) {
    const uint8_t* from = rows[static_cast<size_t>(y)];
    uint8_t* to = picture.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x)
      PixelRows::SetIndex(to, x, 4, (from[x >> 2] >> (6 - 2 * (x & 3)) & 3) * factor);
  }
}

} // namespace

std::unique_ptr<TGraphic> TPngGraphic::NewInstance() const {
  return std::make_unique<TPngGraphic>();
}

int TPngGraphic::ZlibLevel(uint8_t compressionLevel) {
  switch (compressionLevel) {
  case 0:
    return 1;
  case 1:
    return 5;
  case 2:
    return 9;
  default:
    return -1;
  }
}

void TPngGraphic::SetWarningHandler(TWarningHandler handler) {
  TWarningRoute& route = WarningRoute();
  std::lock_guard lock(route.Mutex);
  route.Handler = std::move(handler);
}

void TPngGraphic::Warn(const std::string& message) {
  TWarningHandler handler;
  {
    TWarningRoute& route = WarningRoute();
    std::lock_guard lock(route.Mutex);
    handler = route.Handler;
  }
  if (handler)
    handler(message);
  else
    std::fprintf(stderr, "PNG warning: %s\n", message.c_str());
}

void TPngGraphic::SingleLoadFromStream(TStream& stream, int) {
  const TPngHeader header = ReadPngHeader(stream);
  const TImageFormat format = PngImageFormat(header.BitDepth, header.ColorType);
  const int bitDepth = header.BitDepth;
  const TColor background = ColorToRgb(BackgroundColor);
  TPngSession session(TPngSession::TMode::Read, stream);
  png_structp png = session.Png();
  png_infop info = session.Info();

  double gamma = Gamma;
  uint16_t xDpi = 0, yDpi = 0;
  int passes = 1;
  session.Run([&] {
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    if (bitDepth == 16) png_set_strip_16(png);
    if (format == ifTrueColor) png_set_bgr(png);
    gamma = SetUpGamma(png, info, bitDepth, gamma);
    SetUpBackground(png, info, UseOwnBackground, background, bitDepth);
    ReadResolution(png, info, xDpi, yDpi);
    if (header.Interlace == PNG_INTERLACE_ADAM7) passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
  });
  Gamma = gamma;

  std::optional<TDibPalette> palette;
  if (header.ColorType == kPaletteType) palette = FilePalette(png, info, bitDepth);
  NewImage(static_cast<int>(header.Width), static_cast<int>(header.Height), format,
           palette ? &*palette : nullptr, xDpi, yDpi);
  if (bitDepth == 2)
    ReadTwoBitRows(session, *this, header.ColorType == kPaletteType ? 1 : 5);
  else
    ReadRows(session, *this, passes);
  Changed();
}

void TPngGraphic::SaveToStream(TStream& stream) {
  if (Empty()) throw EPNGError("Cannot save an empty image");
  const TPngLayout layout = PngLayoutOf(ImageFormat(), Palette());
  std::vector<png_color> entries;
  if (layout.ColorType == kPaletteType) {
    const int count = std::min<int>(Palette().Count, 1 << layout.BitDepth);
    for (int i = 0; i < count; ++i) {
      const TDibPaletteEntry& e = Palette().Entries[i];
      entries.push_back({e.Red, e.Green, e.Blue});
    }
  }
  const auto resX = static_cast<png_uint_32>(std::lround(XDotsPerInch() * kInchesPerMetre));
  const auto resY = static_cast<png_uint_32>(std::lround(YDotsPerInch() * kInchesPerMetre));
  const int level = ZlibLevel(CompressionLevel);
  const auto width = static_cast<png_uint_32>(Width());
  const int height = Height();
  // Read through the constant picture: its pixels may be shared with the bitmap being saved.
  const TPngGraphic& picture = *this;
  std::vector<png_const_bytep> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    rows[static_cast<size_t>(y)] = picture.ScanLine(y);

  TPngSession session(TPngSession::TMode::Write, stream);
  png_structp png = session.Png();
  png_infop info = session.Info();
  session.Run([&] {
    png_set_IHDR(png, info, width, static_cast<png_uint_32>(height), layout.BitDepth,
                 layout.ColorType, Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!entries.empty()) png_set_PLTE(png, info, entries.data(), static_cast<int>(entries.size()));
    png_set_pHYs(png, info, resX, resY, PNG_RESOLUTION_METER);
    png_set_gAMA(png, info, Gamma);
    if (level >= 0) png_set_compression_level(png, level);
    png_write_info(png, info);
    if (layout.ColorType == PNG_COLOR_TYPE_RGB) png_set_bgr(png);
    const int passes = Interlaced ? png_set_interlace_handling(png) : 1;
    for (int pass = 0; pass < passes; ++pass)
      for (int y = 0; y < height; ++y)
        png_write_row(png, rows[static_cast<size_t>(y)]);
    png_write_end(png, info);
  });
}

TImageInfo TPngGraphic::ReadInfo(TStream& stream) const {
  const TPngHeader header = ReadPngHeader(stream);
  const TImageFormat format = PngImageFormat(header.BitDepth, header.ColorType);
  TImageInfo result;
  result.Width = static_cast<int>(header.Width);
  result.Height = static_cast<int>(header.Height);
  result.BitsPerPixel = FormatBitsPerPixel(format);
  if (header.ColorType == kPaletteType) {
    TPngSession session(TPngSession::TMode::Read, stream);
    session.Run([&] {
      png_set_sig_bytes(session.Png(), 8);
      png_read_info(session.Png(), session.Info());
    });
    result.PaletteEntries = FilePalette(session.Png(), session.Info(), header.BitDepth).Count;
  } else if (HasPalette(format)) {
    result.PaletteEntries = 1 << result.BitsPerPixel;
  }
  return result;
}

} // namespace kestrel
