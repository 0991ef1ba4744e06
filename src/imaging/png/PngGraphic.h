#pragma once
// TPngGraphic: PNG files read into and written from the device-independent image, through libpng.
//
// Reading maps (bit depth, colour type) onto the six image formats:
//   grey 1 -> ifBlackWhite; grey 2 and 4 -> ifGray16 (2-bit values x 5); grey 8, 16 -> ifGray256;
//   palette 1 -> ifBlackWhite, 2 and 4 -> ifColor16, 8 -> ifColor256, each with the file's palette;
//   RGB 8, 16 -> ifTrueColor; grey + alpha 8, 16 -> ifGray256; RGB + alpha 8, 16 -> ifTrueColor.
// Other pairs raise EPNGError "Invalid color type for bit depth" (an unknown depth "Invalid bit
// depth"), an interlace method other than none or Adam7 "Interlace type not valid". 16-bit
// samples are cut to 8. Gamma: a file with an sRGB chunk is shown as it is; otherwise pictures of
// more than 2 bits per sample are corrected from the file's gamma (gAMA, or 0.5 when it has none)
// to the screen's 2.2. Alpha and transparency never survive: they are composited onto the file's
// background colour (bKGD), or onto BackgroundColor when there is none or UseOwnBackground is set.
// A pHYs resolution in pixels per metre becomes the picture's; without one the screen's applies.
//
// Writing: ifBlackWhite, ifGray16, ifGray256 as grey of 1, 4, 8 bits (the stored indices are the
// grey levels), ifColor16 and ifColor256 as palette images of 4 and 8 bits, ifTrueColor as 8-bit
// RGB; with pHYs from the resolution, gAMA from Gamma, the zlib level of CompressionLevel and
// Adam7 interlacing when Interlaced is set. A grey-format picture whose palette is not its plain
// grey ramp is written as a palette image, so its colours survive.
//
// libpng's warnings go to a process-wide handler (standard error by default); they never stop a
// load or a save.

#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"

#include <functional>
#include <string>

namespace kestrel {

KESTREL_EXCEPTION_CLASS(EPNGError, Exception)

class TPngGraphic : public TDibGraphic {
public:
  // Screen gamma the reader corrects to.
  static constexpr double kScreenGamma = 2.2;
  // Gamma assumed for a file without gAMA (and written by default).
  static constexpr double kDefaultGamma = 0.5;

  const char* ClassName() const override { return "TPngGraphic"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // Reads one PNG from the stream's position (index is ignored: a PNG holds one image). Errors
  // raise EPNGError; a load that fails after the picture was made leaves it partly filled.
  void SingleLoadFromStream(TStream& stream, int index) override;
  // Writes the picture as PNG at the stream's position; an empty picture raises EPNGError.
  void SaveToStream(TStream& stream) override;
  // Size, bits per pixel and palette entries from the header chunks, without the pixels.
  TImageInfo ReadInfo(TStream& stream) const override;

  double Gamma = kDefaultGamma;     // file gamma: read from or written to gAMA
  TColor BackgroundColor = clBlack; // what transparency is composited onto without a bKGD
  bool UseOwnBackground = false;    // composite onto BackgroundColor even when there is a bKGD
  uint8_t CompressionLevel = 1;     // 0 low, 1 medium, 2 high: zlib levels 1, 5, 9
  bool Interlaced = true;           // write Adam7-interlaced files

  // The zlib level of a CompressionLevel value, or -1 (the library's default) for others.
  static int ZlibLevel(uint8_t compressionLevel);

  // Where libpng's warnings go. A null handler restores the default (standard error). The viewer
  // installs one that shows a box; a handler must not throw.
  using TWarningHandler = std::function<void(const std::string& message)>;
  static void SetWarningHandler(TWarningHandler handler);
  static void Warn(const std::string& message);
};

} // namespace kestrel
