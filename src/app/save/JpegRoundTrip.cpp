#include "app/save/JpegRoundTrip.h"

#include "imaging/core/Stream.h"
#include "imaging/jpeg/JpegImage.h"

namespace kestrel {

namespace {

constexpr int kRoundTripQuality = 100;

} // namespace

std::unique_ptr<TBitmap> JpegRoundTrip(const TBitmap& source, bool eightBits) {
  TJPEGImage encoder;
  encoder.SetPixelFormat(jf24Bit);
  encoder.SetCompressionQuality(kRoundTripQuality);
  encoder.SetPerformance(jpBestQuality);
  encoder.Assign(&source);
  encoder.Compress();
  // A picture made from a bitmap keeps that bitmap; the decoder options act on loaded bytes only.
  TMemoryStream bytes(encoder.Data());
  TJPEGImage decoder;
  decoder.SetPerformance(jpBestQuality);
  decoder.SetPixelFormat(eightBits ? jf8Bit : jf24Bit);
  decoder.LoadFromStream(bytes);
  auto result = std::make_unique<TBitmap>();
  result->Assign(&decoder.Bitmap());
  result->SetPixelFormat(eightBits ? pf8bit : pf24bit);
  return result;
}

} // namespace kestrel
