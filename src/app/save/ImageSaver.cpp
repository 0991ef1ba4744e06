#include "app/save/ImageSaver.h"

#include "app/save/BitmapSavePlan.h"
#include "app/save/DepthCode.h"
#include "app/save/IconImages.h"
#include "app/save/JpegRoundTrip.h"
#include "app/save/PngDepthPlan.h"
#include "app/save/SafeFileWrite.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/formats/FormatTable.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/icon/Icon.h"
#include "imaging/jpeg/JpegImage.h"
#include "imaging/metafile/Metafile.h"
#include "imaging/png/PngGraphic.h"
#include "imaging/tiff/TiffGraphic.h"
#include "processing/colour/ReduceToPalette.h"

#include <new>

namespace kestrel {

namespace {

constexpr int kGifBits = 8;

bool IsIconOrMetafile(int kind) {
  return kind == fkIcon || kind == fkWmf || kind == fkEmf;
}

} // namespace

struct TImageSaver::Job {
  const std::string& Path;
  const TBitmap& Bitmap;
  TFileKind Kind;
  bool Ask;
  const TSavePicture& Picture;
  int DepthCode;
};

TImageSaver::TImageSaver(TSaveQuestions& questions) : questions_(questions) {}
TImageSaver::~TImageSaver() = default;

bool TImageSaver::SaveAs(const std::string& path, const TBitmap& bitmap, bool ask,
                         const TSavePicture& picture) {
  if (bitmap.Empty() || bitmap.Width() <= 0 || bitmap.Height() <= 0) {
    questions_.Tell(kNothingToSave, kCaption);
    return false;
  }
  Job job{path, bitmap, KindOfPath(path), ask, picture, DepthCodeOf(bitmap.PixelFormat())};
  try {
    const std::unique_ptr<TGraphic> graphic = Encode(job);
    if (!graphic) return false;
    WriteFileSafely(path, [&graphic](TStream& stream) { graphic->SaveToStream(stream); });
    return true;
  } catch (const Exception& e) {
    questions_.Tell(e.what(), kCaption);
  } catch (const std::bad_alloc&) {
    questions_.Tell("Out of memory", kCaption);
  }
  return false;
}

std::unique_ptr<TGraphic> TImageSaver::Encode(Job& job) {
  switch (job.Kind) {
  case fkJpeg:
    return JpegWriter(job);
  case fkBmp:
    return BitmapWriter(job);
  case fkIcon:
    return IconWriter(job);
  case fkWmf:
  case fkEmf:
    return MetafileWriter(job);
  case fkGif:
    return GifWriter(job);
  case fkPng:
    return PngWriter(job);
  case fkTiff:
    return TiffWriter(job);
  case fkVst:
  case fkTga:
  case fkAfi:
  case fkPcc:
  case fkPcx:
  case fkDcx:
    return Imported(job);
  case fkNone:
  case fkSound:
    break;
  }
  questions_.Tell(kNotSupported, kCaption);
  return nullptr;
}

std::unique_ptr<TGraphic> TImageSaver::JpegWriter(Job& job) {
  if (job.Ask) {
    TJpegSaveOptions options = settings_.Jpeg;
    if (!questions_.AskJpegOptions(options)) return nullptr;
    settings_.Jpeg = options;
  }
  auto jpeg = std::make_unique<TJPEGImage>();
  jpeg->SetPerformance(jpBestQuality);
  jpeg->Assign(&job.Bitmap);
  jpeg->SetCompressionQuality(settings_.Jpeg.Quality);
  jpeg->SetProgressiveEncoding(settings_.Jpeg.Progressive);
  jpeg->Compress();
  return jpeg;
}

std::unique_ptr<TGraphic> TImageSaver::BitmapWriter(Job& job) {
  for (;;) {
    TCompressAnswer answer = settings_.Bitmap;
    if (job.Ask) {
      answer = questions_.AskCompression(TCompressUse::Bmp, job.Bitmap, job.DepthCode,
                                         job.Picture.Synthesized);
      if (answer.Result == TCompressChoices::kCancelled) return nullptr;
    }
    const TSavePlan plan = PlanBitmapSave(job.DepthCode, answer.DepthCode, answer.Result);
    if (!PlanFitsSource(plan, job.Bitmap)) {
      questions_.Tell(kNeedsPalette, kBitmapCaption);
      // Without the window there is no other choice to make.
      if (!job.Ask) return nullptr;
      continue;
    }
    settings_.Bitmap = answer;
    return Follow(plan, job.Bitmap, clBlack);
  }
}

std::unique_ptr<TBitmap> TImageSaver::Follow(const TSavePlan& plan, const TBitmap& source,
                                             TColor background) {
  switch (plan.Way) {
  case TSaveWay::JpegRoundTrip:
    return JpegRoundTrip(source, plan.Format != pf24bit);
  case TSaveWay::OctreeDither:
    return ReduceToPalette(source, rmQuantizeWindows, dmFloydSteinberg, kGifBits, {});
  case TSaveWay::Redraw:
    break;
  }
  const TPalette palette = ResolveSavePalette(plan.Palette, source, plan.Format);
  return IsRedrawnAsItIs(source, plan.Format, palette)
             ? SharedCopy(source)
             : Redraw(source, plan.Format, palette, background);
}

std::unique_ptr<TGraphic> TImageSaver::IconWriter(Job& job) {
  const TIconImages images =
      MakeIconImages(job.Bitmap, job.Picture.FrameColor, job.Picture.Transparent);
  auto icon = std::make_unique<TIcon>();
  icon->SetImages(*images.Color, *images.Mask);
  return icon;
}

std::unique_ptr<TGraphic> TImageSaver::MetafileWriter(Job& job) {
  // The picture's own metafile, not the bitmap shown: nothing else can become one.
  const auto* metafile = dynamic_cast<const TMetafile*>(job.Picture.Graphic);
  if (!metafile || metafile->Empty()) {
    questions_.Tell(kConversionNotSupported, kCaption);
    return nullptr;
  }
  auto copy = std::make_unique<TMetafile>();
  copy->Assign(metafile);
  // Written in the flavour of the name; the other flavour is converted or refused.
  copy->SetEnhanced(job.Kind == fkEmf);
  return copy;
}

std::unique_ptr<TGraphic> TImageSaver::GifWriter(Job& job) {
  std::unique_ptr<TBitmap> eight;
  if (IsPaletteDepth(job.DepthCode) || job.Picture.Transparent) {
    const TPalette palette =
        IsIconOrMetafile(job.Picture.Kind) ? TPalette() : SourcePalette(job.Bitmap);
    eight = Redraw(job.Bitmap, pf8bit, palette, job.Picture.FrameColor);
    eight->SetTransparent(job.Picture.Transparent);
  } else {
    eight = JpegRoundTrip(job.Bitmap, true);
  }
  auto gif = std::make_unique<TGIFImage>();
  gif->SetDrawOptions(gif->DrawOptions() & ~(gdDither | gdDitherPalDevice));
  gif->SetColorReduction(rmQuantizeWindows);
  gif->SetReductionBits(kGifBits);
  gif->Assign(eight.get());
  return gif;
}

std::unique_ptr<TGraphic> TImageSaver::PngWriter(Job& job) {
  const bool hasPalette = !SourcePalette(job.Bitmap).IsNull();
  if (PlanPngDepth(job.DepthCode, kDepthCode24, job.Picture.Synthesized, hasPalette).Refused) {
    questions_.Tell(kConversionNotSupported, kCaption);
    return nullptr;
  }
  if (job.Ask) {
    const TCompressAnswer answer = questions_.AskCompression(
        TCompressUse::Png, job.Bitmap, job.DepthCode, job.Picture.Synthesized);
    if (answer.Result == TCompressChoices::kCancelled) return nullptr;
    settings_.Png = answer;
  }
  const TPngDepthPlan depth =
      PlanPngDepth(job.DepthCode, settings_.Png.DepthCode, job.Picture.Synthesized, hasPalette);
  const std::unique_ptr<TBitmap> converted = Follow(depth.Plan, job.Bitmap, job.Picture.FrameColor);
  auto png = std::make_unique<TPngGraphic>();
  png->Gamma = kPngGamma;
  png->CompressionLevel = static_cast<uint8_t>(settings_.Png.Result);
  png->ImportBitmapHandle(*converted);
  return png;
}

std::unique_ptr<TGraphic> TImageSaver::TiffWriter(Job& job) {
  if (job.Ask) {
    const int kind =
        questions_
            .AskCompression(TCompressUse::Tiff, job.Bitmap, job.DepthCode, job.Picture.Synthesized)
            .Result;
    if (kind == TCompressChoices::kCancelled) return nullptr;
    settings_.TiffCompression = kind;
  }
  auto tiff = std::make_unique<TTiffGraphic>();
  const auto kind = static_cast<TTiffCompression>(settings_.TiffCompression);
  // JPEG compression takes the picture as a device would show it: true colour on a deep screen.
  if (kind == tcJpeg)
    tiff->Assign(&job.Bitmap);
  else
    tiff->ImportBitmapHandle(job.Bitmap);
  tiff->SetCompression(kind);
  return tiff;
}

std::unique_ptr<TGraphic> TImageSaver::Imported(Job& job) {
  std::unique_ptr<TGraphic> graphic = FindFormatRow(job.Path)->Create();
  static_cast<TDibGraphic&>(*graphic).ImportBitmapHandle(job.Bitmap);
  return graphic;
}

} // namespace kestrel
