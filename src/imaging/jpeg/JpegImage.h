#pragma once
// TJPEGImage: a JPEG picture. It keeps the file's compressed bytes and decodes them into a device
// bitmap on demand (the first Draw, Bitmap() or DIBNeeded), with the decoder options in force:
// scale (1/1, 1/2, 1/4, 1/8, by libjpeg's scaled decoding), pixel format (24 bits, or 8 bits:
// libjpeg's two-pass colour quantiser to at most 256 colours with Floyd-Steinberg dithering),
// greyscale output, and performance (best quality: accurate integer DCT and smooth chroma
// upsampling; best speed: fast DCT and plain upsampling). Greyscale output and one-component
// files give 8 bits with a grey palette; CMYK and YCCK files (inverted ones, marked by an Adobe
// segment, too) give 24 bits at either pixel format.
//
// Changing any option drops the decoded bitmap so the next draw decodes again; Width and Height
// follow the scale at once (from the header). A picture made from a bitmap (Assign) keeps that
// bitmap as its source: decoder options do not apply to it, and it is encoded with the encoder
// options (quality 1..100, progressive, performance, greyscale) by Compress or the first save.
//
// A damaged header raises EJpegError when the file is loaded. A stream that breaks off or is
// corrupt inside the image decodes as far as libjpeg gets (libjpeg fills the rest) and the reason
// is kept in DecodeWarning(); a fatal error before any row raises EJpegError from the decode.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Graphic.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {

KESTREL_EXCEPTION_CLASS(EJpegError, Exception)

enum TJPEGScale : uint8_t { jsFullSize = 0, jsHalf = 1, jsQuarter = 2, jsEighth = 3 };
enum TJPEGPixelFormat : uint8_t { jf24Bit = 0, jf8Bit = 1 };
enum TJPEGPerformance : uint8_t { jpBestQuality = 0, jpBestSpeed = 1 };

// What the header of a JPEG file says, at a given decoding scale.
struct TJpegHeader {
  int Width = 0; // of the stored picture
  int Height = 0;
  int OutputWidth = 0; // decoded at the scale asked for
  int OutputHeight = 0;
  int Components = 0;
  bool Progressive = false;
  bool Cmyk = false; // CMYK or YCCK
  bool Grey = false; // one component
  int XPelsPerMeter = 0;
  int YPelsPerMeter = 0;
};

class TJPEGImage : public TGraphic {
public:
  static constexpr int kDefaultQuality = 90;

  TJPEGImage();
  ~TJPEGImage() override;

  const char* ClassName() const override { return "TJPEGImage"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // Assign: another TJPEGImage is copied whole; a TBitmap becomes the source picture; any other
  // graphic is first drawn into a 24-bit bitmap; null empties the picture.
  void Assign(const TPersistent* source) override;
  // To a TBitmap: a copy of the decoded bitmap (24 or 8 bits as decoded).
  void AssignTo(TPersistent& target) const override;

  void Draw(TCanvas& canvas, const TRect& rect) override;
  // Takes the rest of the stream as the file and reads its header (EJpegError when it is not a
  // JPEG or passes the memory limit); the pixels are decoded when first needed.
  void LoadFromStream(TStream& stream) override;
  // Writes the compressed bytes, compressing the source bitmap first when there are none.
  void SaveToStream(TStream& stream) override;
  TImageInfo Info() const override;
  TImageInfo ReadInfo(TStream& stream) const override;

  // Encoder options. Quality is kept within 1..100. After a load, ProgressiveEncoding tells
  // whether the file was progressive.
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int quality);
  bool ProgressiveEncoding() const { return progressive_; }
  void SetProgressiveEncoding(bool progressive);
  // Decoder options (performance also picks the encoder's DCT).
  TJPEGPerformance Performance() const { return performance_; }
  void SetPerformance(TJPEGPerformance performance);
  TJPEGPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TJPEGPixelFormat format);
  bool Grayscale() const { return grayscale_; }
  void SetGrayscale(bool grayscale);
  TJPEGScale Scale() const { return scale_; }
  void SetScale(TJPEGScale scale);
  // The pixel format a new picture starts with: 8 bits on a screen of 8 bits per pixel or fewer.
  static TJPEGPixelFormat DefaultPixelFormat();

  // Encodes the picture (the source bitmap, or the decoded one) with the encoder options; the
  // bitmap becomes the source of the new bytes. EJpegError when the picture is empty.
  void Compress();
  // Decodes now when there is no bitmap.
  void DIBNeeded();
  // The bitmap, decoded when needed (an empty bitmap for an empty picture).
  const TBitmap& Bitmap();
  bool HasBitmap() const { return bitmap_ != nullptr; }
  // The compressed bytes (empty until loaded or compressed).
  const std::vector<uint8_t>& Data() const { return data_; }
  // The full size of the picture, whatever the scale: the file's, or the source bitmap's.
  int ImageWidth() const;
  int ImageHeight() const;
  // Why the last decode stopped short or what it had to mend, or "".
  const std::string& DecodeWarning() const { return warning_; }

protected:
  bool GetEmpty() const override;
  int GetWidth() const override;
  int GetHeight() const override;
  // The size comes from the file or the source bitmap: both raise EInvalidGraphicOperation.
  void DoSetWidth(int width) override;
  void DoSetHeight(int height) override;

private:
  void DecoderOptionChanged();
  void EncoderOptionChanged();

  std::vector<uint8_t> data_;
  TJpegHeader header_; // of data_, at scale_
  std::unique_ptr<TBitmap> bitmap_;
  bool bitmapIsSource_ = false; // bitmap_ came from Assign or Compress, not from decoding data_
  std::string warning_;
  int quality_ = kDefaultQuality;
  bool progressive_ = false;
  TJPEGPerformance performance_ = jpBestQuality;
  TJPEGPixelFormat pixelFormat_;
  bool grayscale_ = false;
  TJPEGScale scale_ = jsFullSize;
};

} // namespace kestrel
