#pragma once
// TImageSaver: "Save Image As" without its dialog. SaveAs writes a bitmap to a path with the
// writer of the path's kind (its extension decides, whatever filter entry was chosen), asking
// for the writer's options when told to and otherwise reusing the remembered ones:
// - JPEG: the JPEG options window's quality and progressive choice, best-quality encoding;
// - BMP: the compression window's palette choice and depth (BitmapSavePlan.h); a choice that
//   names the source's own palette for a source without one says "Source Graphic must have a
//   palette" and asks again (a save that does not ask ends there without writing);
// - icons: 32 x 32 (IconImages.h);
// - WMF and EMF: the picture's own metafile in that flavour, not the bitmap;
// - GIF: sources of 8 bits or fewer, and any source drawn transparently, are drawn onto an 8-bit
//   bitmap filled with the viewing area's colour with the source's palette (none for icons and
//   metafiles); deeper ones go through the JPEG round trip to 8 bits;
// - PNG: gamma 0.45, the compression window's level and depth (PngDepthPlan.h);
// - TIFF: the compression window's kind; for JPEG compression the bitmap is assigned as a graphic,
//   otherwise imported at its own depth;
// - TGA, VST, AFI, PCX, PCC, DCX: the bitmap imported at its own depth.
// Every file is written whole or not at all (SafeFileWrite.h). Failures are told through the
// questions interface and give false; a cancelled option window gives false silently.

#include "app/save/SaveQuestions.h"
#include "app/save/SaveSettings.h"
#include "imaging/core/Bitmap.h"

#include <memory>
#include <string>

namespace kestrel {

class TGraphic;

// What the viewer knows of the picture besides the bitmap shown.
struct TSavePicture {
  TColor FrameColor = clBlack;       // the viewing area's colour
  bool Transparent = false;          // "&Transparent Bitmap" is checked
  bool Synthesized = false;          // the bitmap's palette was made by the program
  int Kind = 0;                      // the shown picture's kind code
  const TGraphic* Graphic = nullptr; // the picture's own graphic, for the metafile writer
};

class TImageSaver {
public:
  static constexpr const char* kCaption = "Kestrel: Save Image";
  static constexpr const char* kBitmapCaption = "Kestrel: Save As Bitmap";
  static constexpr const char* kNotSupported = "Format not Supported";
  static constexpr const char* kConversionNotSupported = "Conversion not Supported";
  static constexpr const char* kNeedsPalette = "Source Graphic must have a palette";
  static constexpr const char* kNothingToSave = "There is no picture to save";
  static constexpr double kPngGamma = 0.45;

  explicit TImageSaver(TSaveQuestions& questions);
  ~TImageSaver();

  // The remembered writer options.
  TSaveSettings& Settings() { return settings_; }
  const TSaveSettings& Settings() const { return settings_; }

  // True when a file was written.
  bool SaveAs(const std::string& path, const TBitmap& bitmap, bool ask,
              const TSavePicture& picture = {});

private:
  struct Job;
  std::unique_ptr<TGraphic> Encode(Job& job);
  std::unique_ptr<TGraphic> JpegWriter(Job& job);
  std::unique_ptr<TGraphic> BitmapWriter(Job& job);
  std::unique_ptr<TGraphic> IconWriter(Job& job);
  std::unique_ptr<TGraphic> MetafileWriter(Job& job);
  std::unique_ptr<TGraphic> GifWriter(Job& job);
  std::unique_ptr<TGraphic> PngWriter(Job& job);
  std::unique_ptr<TGraphic> TiffWriter(Job& job);
  std::unique_ptr<TGraphic> Imported(Job& job);
  std::unique_ptr<TBitmap> Follow(const struct TSavePlan& plan, const TBitmap& source,
                                  TColor background);

  TSaveQuestions& questions_;
  TSaveSettings settings_;
};

} // namespace kestrel
