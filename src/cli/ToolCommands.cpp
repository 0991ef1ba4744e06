#include "cli/ToolCommands.h"

#include "cli/FindCommand.h"
#include "cli/IndexCommand.h"
#include "cli/PrintCommand.h"
#include "cli/RotateCommand.h"
#include "cli/ThumbsCommand.h"

#include "app/save/DepthCode.h"
#include "app/save/ImageSaver.h"
#include "cli/FramesCommand.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Stream.h"
#include "imaging/formats/FormatTable.h"
#include "imaging/gif/GIFOptions.h"
#include "imaging/icon/Icon.h"
#include "imaging/jpeg/JpegImage.h"
#include "processing/resample/BoxResampler.h"
#include "processing/resample/FilteredStretch.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <utility>

namespace kestrel {

namespace {

constexpr const char* kUsage =
    "usage: kestrel-tool info FILE\n"
    "       kestrel-tool convert INPUT OUTPUT [--quality N] [--progressive]\n"
    "         [--png-level low|medium|high] [--bits 4|8|24]\n"
    "         [--palette own|octree|default|web|optimized-fs|octree-fs|none]\n"
    "         [--tiff-compression none|packbits|g3|g3-2d|g4|zlib|jpeg] [--transparent]\n"
    "       kestrel-tool resize INPUT OUTPUT [--width W] [--height H]\n"
    "         [--filter box|triangle|hermite|bell|bspline|lanczos3|mitchell | --box X,Y]\n"
    "         [the writer options of convert]\n"
    "       kestrel-tool print INPUT OUTPUT.pdf [--position center|top-left|top-right|\n"
    "         bottom-left|bottom-right|top-center|bottom-center] [--percent N|fit] [--landscape]\n"
    "         [--resolution DPI]\n"
    "       kestrel-tool find ROOT PATTERN [--min-kb N] [--max-kb N] [--exact-size BYTES]\n"
    "         [--folders | --containing] [--name-duplicates | --size-duplicates]\n"
    "       kestrel-tool rotate INPUT OUTPUT --angle DEG [--background RRGGBB]\n"
    "         [the writer options of convert]\n"
    "       kestrel-tool index OUTPUT FILES... [--page WxH] [--cols C] [--rows R]\n"
    "         [--title TEXT] [--captions] [--border N] [--page-border N]\n"
    "         [the writer options of convert]\n"
    "       kestrel-tool frames IN.gif OUTDIR\n"
    "       kestrel-tool thumbs FOLDER OUTDIR [--size S] [--hifi] [--threads N] [--format EXT]\n"
    "         [--shared-cache] [the writer options of convert]\n";

// The writer options of convert, as given.
struct TConvertOptions {
  std::optional<int> Quality;
  bool Progressive = false;
  std::optional<int> PngLevel;
  std::optional<std::string> Bits;
  std::optional<std::string> Palette;
  std::optional<int> TiffCompression;
  bool Transparent = false;
  bool Any() const {
    return Quality || Progressive || PngLevel || Bits || Palette || TiffCompression || Transparent;
  }
};

template <class T, size_t N>
T Named(const std::pair<const char*, T> (&names)[N], const std::string& name, const char* what) {
  for (const auto& [text, value] : names)
    if (name == text) return value;
  throw TUsageError{std::string("unknown ") + what + " \"" + name + "\""};
}

int TiffCompressionNamed(const std::string& name) {
  static const std::pair<const char*, int> kNames[] = {
      {"none", 0}, {"packbits", 1}, {"g3", 2}, {"g3-2d", 3}, {"g4", 4}, {"zlib", 5}, {"jpeg", 6}};
  return Named(kNames, name, "TIFF compression");
}

int PngLevelNamed(const std::string& name) {
  static const std::pair<const char*, int> kNames[] = {{"low", 0}, {"medium", 1}, {"high", 2}};
  return Named(kNames, name, "PNG level");
}

// The size and the resizer of resize, as given.
struct TResizeOptions {
  std::optional<int> Width;
  std::optional<int> Height;
  std::optional<TResampleFilter> Filter;
  std::optional<TSampleRates> Box;
  bool Any() const { return Width || Height || Filter || Box; }
};

int SideNamed(const std::string& text, const std::string& option) {
  const auto side = NumberIn(text, 7, 1, static_cast<int>(ImageLimits::kMaxDimension));
  if (!side)
    throw TUsageError{option + " takes 1 to " + std::to_string(ImageLimits::kMaxDimension)};
  return *side;
}

// The filters by their names in lower case without the hyphen ("bspline").
TResampleFilter FilterNamed(const std::string& name) {
  for (int i = 0; i < kResampleFilterCount; ++i) {
    const auto filter = static_cast<TResampleFilter>(i);
    std::string known;
    for (const char* c = FilterInfo(filter).Name; *c; ++c)
      if (*c != '-') known += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    if (name == known) return filter;
  }
  throw TUsageError{"unknown filter \"" + name + "\""};
}

TSampleRates BoxRatesNamed(const std::string& text) {
  const size_t comma = text.find(',');
  const auto x = NumberIn(text.substr(0, comma), 2, 1, kMaxXSampleRate);
  const auto y = comma == std::string::npos
                     ? std::nullopt
                     : NumberIn(text.substr(comma + 1), 2, 1, kMaxYSampleRate);
  if (!x || !y)
    throw TUsageError{"--box takes X,Y: sample rates X of 1 to " + std::to_string(kMaxXSampleRate) +
                      " and Y of 1 to " + std::to_string(kMaxYSampleRate)};
  return {*x, *y};
}

// The item of the compression window's BMP list a palette name stands for at a depth.
std::string PaletteItem(const std::string& name, const std::string& bits) {
  static const std::pair<const char*, const char*> kNames[] = {
      {"own", "Image Own Palette"},
      {"octree", "WinOctree Palette - no dither"},
      {"default", "Windows Default palette"},
      {"web", "WinWeb Palette"},
      {"optimized-fs", "Optimized/Floyd Steinberg Dither"},
      {"octree-fs", "Octree with F/S dither"},
      {"none", "No Palette"}};
  const std::string item = Named(kNames, name, "palette");
  // The 4-bit list names its octree choice without the system colours.
  return name == "octree" && bits == "4" ? "Octree Palette - no dither" : item;
}

int QualityNamed(const std::string& text) {
  const bool digits =
      !text.empty() && text.size() <= 3 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const int quality = digits ? std::stoi(text) : 0;
  if (quality < 1 || quality > 100) throw TUsageError{"--quality takes 1 to 100"};
  return quality;
}

// Splits args into the words of the command and its options.
std::vector<std::string> ParseOptions(const std::vector<std::string>& args,
                                      TConvertOptions& options, TResizeOptions& resize,
                                      TPrintOptions& print, TFindOptions& find,
                                      TRotateOptions& rotate, TIndexOptions& index,
                                      TThumbsOptions& thumbs) {
  std::vector<std::string> words;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 == args.size()) throw TUsageError{arg + " needs a value"};
      return args[++i];
    };
    if (ParsePrintOption(arg, value, print) || ParseFindOption(arg, value, find) ||
        ParseRotateOption(arg, value, rotate) || ParseIndexOption(arg, value, index) ||
        ParseThumbsOption(arg, value, thumbs))
      continue;
    if (arg == "--width" || arg == "--height")
      (arg == "--width" ? resize.Width : resize.Height) = SideNamed(value(), arg);
    else if (arg == "--filter")
      resize.Filter = FilterNamed(value());
    else if (arg == "--box")
      resize.Box = BoxRatesNamed(value());
    else if (arg == "--tiff-compression")
      options.TiffCompression = TiffCompressionNamed(value());
    else if (arg == "--quality")
      options.Quality = QualityNamed(value());
    else if (arg == "--progressive")
      options.Progressive = true;
    else if (arg == "--png-level")
      options.PngLevel = PngLevelNamed(value());
    else if (arg == "--bits") {
      options.Bits = value();
      if (*options.Bits != "4" && *options.Bits != "8" && *options.Bits != "24")
        throw TUsageError{"--bits takes 4, 8 or 24"};
    } else if (arg == "--palette") {
      options.Palette = value();
      PaletteItem(*options.Palette, "24"); // checks the name
    } else if (arg == "--transparent")
      options.Transparent = true;
    else if (arg.starts_with("--"))
      throw TUsageError{"unknown option " + arg};
    else
      words.push_back(arg);
  }
  return words;
}

// Each option concerns some outputs only.
void CheckOptionsFit(const TConvertOptions& options, TFileKind kind) {
  const auto need = [](bool given, bool fits, const char* option, const char* outputs) {
    if (given && !fits) throw TUsageError{std::string(option) + " needs " + outputs + " output"};
  };
  need(options.Quality || options.Progressive, kind == fkJpeg, "--quality and --progressive",
       "a JPEG");
  need(options.PngLevel.has_value(), kind == fkPng, "--png-level", "a .png");
  need(options.Bits.has_value(), kind == fkBmp || kind == fkPng, "--bits", "a .bmp or .png");
  need(options.Palette.has_value(), kind == fkBmp, "--palette", "a .bmp");
  need(options.TiffCompression.has_value(), kind == fkTiff, "--tiff-compression",
       "a .tif or .tiff");
  need(options.Transparent, kind == fkGif || kind == fkIcon, "--transparent", "a .gif or .ico");
}

// The remembered options a save without asking uses, from the command line.
void ApplyOptions(const TConvertOptions& options, int depthCode, TSaveSettings& settings) {
  if (options.Quality) settings.Jpeg.Quality = *options.Quality;
  settings.Jpeg.Progressive = options.Progressive;
  if (options.PngLevel) settings.Png.Result = *options.PngLevel;
  if (options.TiffCompression) settings.TiffCompression = *options.TiffCompression;
  TCompressChoices choices(TCompressUse::Bmp, depthCode, 0, false);
  if (options.Bits) choices.SetDepth(*options.Bits);
  settings.Png.DepthCode = settings.Bitmap.DepthCode = choices.DepthCode();
  if (!options.Palette) return;
  const std::vector<std::string> items = choices.Items();
  const std::string item = PaletteItem(*options.Palette, choices.Depth());
  const auto found = std::find(items.begin(), items.end(), item);
  if (found == items.end())
    throw EInvalidGraphic("The palette \"" + *options.Palette + "\" is not offered for a " +
                          choices.Depth() + "-bit bitmap of this picture");
  settings.Bitmap.Result = static_cast<int>(found - items.begin());
}

TFileFormat FormatOf(const std::string& path) {
  const auto format = TPicture::FindFileFormat(LowerExtension(path));
  if (!format)
    throw EInvalidGraphic(
        formatMessage("Unknown picture file extension (.%s)", LowerExtension(path).c_str()));
  return *format;
}

int Info(const std::string& path, std::ostream& out) {
  const TFileFormat format = FormatOf(path);
  TFileStream stream(path, TFileMode::OpenRead);
  const TImageInfo info = format.Create()->ReadInfo(stream);
  out << "format: " << format.Extension << " (" << format.Description << ")\n"
      << "width: " << info.Width << "\n"
      << "height: " << info.Height << "\n"
      << "bits per pixel: " << info.BitsPerPixel << "\n"
      << "palette entries: " << info.PaletteEntries << "\n"
      << "frames: " << info.Frames << "\n";
  // An icon file holds one picture at several sizes and depths.
  if (format.Class == typeid(TIcon)) {
    TIcon icon;
    icon.LoadFromFile(path);
    for (size_t i = 0; i < icon.Entries().size(); ++i) {
      const TIcoEntry& e = icon.Entries()[i];
      out << "image " << i + 1 << ": " << e.Width << " x " << e.Height << ", " << e.BitsPerPixel
          << " bits" << (e.Png ? ", PNG" : "")
          << (static_cast<int>(i) == icon.ShownEntry() ? " (shown)" : "") << "\n";
    }
  }
  return kExitOk;
}

// A save that never asks and writes what it is told to err.
class TToolQuestions : public TSaveQuestions {
public:
  explicit TToolQuestions(std::ostream& err) : err_(err) {}
  bool AskJpegOptions(TJpegSaveOptions&) override { return false; }
  TCompressAnswer AskCompression(TCompressUse, const TBitmap&, int, bool) override { return {}; }
  void Tell(const std::string& text, const std::string&) override {
    err_ << "kestrel-tool: " << text << "\n";
  }

private:
  std::ostream& err_;
};

// Writes bitmap to output through the save engine, as "Save Image As" would write shown.
int Save(const std::string& output, const TBitmap& bitmap, const TConvertOptions& options,
         TSavePicture shown, std::ostream& err) {
  TToolQuestions questions(err);
  TImageSaver saver(questions);
  ApplyOptions(options, DepthCodeOf(bitmap.PixelFormat()), saver.Settings());
  shown.Transparent = options.Transparent;
  return saver.SaveAs(output, bitmap, false, shown) ? kExitOk : kExitFailed;
}

int Convert(const std::string& input, const std::string& output, const TConvertOptions& options,
            std::ostream& err) {
  CheckOptionsFit(options, KindOfPath(output));
  TPicture picture;
  picture.LoadFromFile(input);
  const std::unique_ptr<TBitmap> bitmap = DeviceBitmapOf(*picture.Graphic());
  TSavePicture shown;
  shown.Kind = KindOfPath(input);
  shown.Graphic = picture.Graphic();
  return Save(output, *bitmap, options, shown, err);
}

// The new size: a side not given keeps the picture's proportions (at least a pixel).
TSize ResizedSize(const TResizeOptions& resize, int width, int height) {
  const auto other = [](int64_t given, int64_t from, int64_t to) {
    return static_cast<int>(
        std::clamp<int64_t>((given * to + from / 2) / from, 1, ImageLimits::kMaxDimension));
  };
  if (resize.Width && resize.Height) return {*resize.Width, *resize.Height};
  if (resize.Width) return {*resize.Width, other(*resize.Width, width, height)};
  return {other(*resize.Height, height, width), *resize.Height};
}

int Resize(const std::string& input, const std::string& output, const TConvertOptions& options,
           const TResizeOptions& resize, std::ostream& err) {
  if (!resize.Width && !resize.Height) throw TUsageError{"resize needs --width or --height"};
  if (resize.Filter && resize.Box) throw TUsageError{"--filter and --box exclude each other"};
  CheckOptionsFit(options, KindOfPath(output));
  TPicture picture;
  picture.LoadFromFile(input);
  const std::unique_ptr<TBitmap> bitmap = DeviceBitmapOf(*picture.Graphic());
  const TSize size = ResizedSize(resize, bitmap->Width(), bitmap->Height());
  TBitmap resized;
  if (resize.Box) {
    const TBoxTarget target{size.Width, size.Height, *resize.Box, clWhite, false};
    if (!BoxTargetValid(target))
      throw EInvalidGraphic(formatMessage(
          "The box resampler cannot make %d x %d: it needs 3 x 1 or more, within the size limit",
          size.Width, size.Height));
    BoxResample(*bitmap, resized, target);
  } else {
    resized.SetSize(size.Width, size.Height);
    FilteredStretch(*bitmap, resized, resize.Filter.value_or(TResampleFilter::Lanczos3));
  }
  // A resized picture is an edited one: no file's own graphic stands behind it.
  TSavePicture shown;
  shown.Kind = 7;
  return Save(output, resized, options, shown, err);
}

int Rotate(const std::string& input, const std::string& output, const TConvertOptions& options,
           const TRotateOptions& rotate, std::ostream& err) {
  CheckOptionsFit(options, KindOfPath(output));
  const std::unique_ptr<TBitmap> turned = RotatedPicture(input, rotate);
  // A turned picture is an edited one, as a resized one is.
  TSavePicture shown;
  shown.Kind = 7;
  return Save(output, *turned, options, shown, err);
}

// index OUTPUT FILES...: the page is an edited picture, written as convert writes.
int Index(const std::vector<std::string>& words, const TConvertOptions& options,
          const TIndexOptions& index, std::ostream& out, std::ostream& err) {
  const std::string& output = words[1];
  if (LowerExtension(output) != "pdf")
    CheckOptionsFit(options, KindOfPath(output));
  else if (options.Any())
    throw TUsageError{"a PDF index takes no writer options"};
  ApplyProgramGIFDefaults();
  const auto save = [&](const TBitmap& page) {
    TSavePicture shown;
    shown.Kind = 7;
    return Save(output, page, options, shown, err);
  };
  return MakeIndexPage(output, {words.begin() + 2, words.end()}, index, save, out, err);
}

// thumbs FOLDER OUTDIR: each tile is an edited picture, written as convert writes.
int Thumbs(const std::vector<std::string>& words, const TConvertOptions& options,
           const TThumbsOptions& thumbs, std::ostream& out, std::ostream& err) {
  CheckOptionsFit(options, KindOfPath("." + ThumbsFormat(thumbs)));
  ApplyProgramGIFDefaults();
  const auto save = [&](const TBitmap& tile, const std::string& path) {
    TSavePicture shown;
    shown.Kind = 7;
    return Save(path, tile, options, shown, err);
  };
  return MakeFolderThumbnails(words[1], words[2], thumbs, save, out, err);
}

} // namespace

std::optional<int> NumberIn(const std::string& text, size_t digits, int low, int high) {
  if (text.empty() || text.size() > digits ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const int value = std::stoi(text);
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::unique_ptr<TBitmap> DeviceBitmapOf(TGraphic& graphic) {
  auto result = std::make_unique<TBitmap>();
  TBitmap& bitmap = *result;
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(&graphic)) {
    bitmap.Assign(&jpeg->Bitmap());
    return result;
  }
  auto* dib = dynamic_cast<TDibGraphic*>(&graphic);
  if (!dib || dib->Empty()) {
    bitmap.Assign(&graphic);
    return result;
  }
  const TPalette palette = dib->PaletteHandle();
  const int xPelsPerMeter = dib->XPelsPerMeter();
  const int yPelsPerMeter = dib->YPelsPerMeter();
  const TPixelFormat format = PixelFormatOfBits(dib->BitsPerPixel());
  bitmap.AdoptPixels(dib->TakePixels(), format, palette);
  bitmap.SetPelsPerMeter(xPelsPerMeter, yPelsPerMeter);
  return result;
}

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    TConvertOptions options;
    TResizeOptions resize;
    TPrintOptions printOptions;
    TFindOptions findOptions;
    TRotateOptions rotateOptions;
    TIndexOptions indexOptions;
    TThumbsOptions thumbsOptions;
    const std::vector<std::string> words =
        ParseOptions(args, options, resize, printOptions, findOptions, rotateOptions, indexOptions,
                     thumbsOptions);
    const std::string command = words.empty() ? std::string() : words[0];
    const bool info = command == "info" && words.size() == 2 && !options.Any() && !resize.Any();
    const bool convert = command == "convert" && words.size() == 3 && !resize.Any();
    const bool resizing = command == "resize" && words.size() == 3;
    const bool print = command == "print" && words.size() == 3 && !options.Any() && !resize.Any();
    const bool find = command == "find" && words.size() == 3 && !options.Any() && !resize.Any() &&
                      !printOptions.Any();
    const bool rotate = command == "rotate" && words.size() == 3 && !resize.Any();
    const bool index = command == "index" && words.size() >= 3 && !resize.Any();
    const bool frames = command == "frames" && words.size() == 3 && !options.Any() && !resize.Any();
    const bool thumbs = command == "thumbs" && words.size() == 3 && !resize.Any();
    if (!info && !convert && !resizing && !print && !find && !rotate && !index && !frames &&
        !thumbs)
      throw TUsageError{};
    if (!thumbs && thumbsOptions.Any())
      throw TUsageError{"--size, --hifi, --threads, --format and --shared-cache are thumbs'"};
    if (thumbs) return Thumbs(words, options, thumbsOptions, out, err);
    if (!find && findOptions.Any())
      throw TUsageError{"--min-kb, --max-kb, --exact-size, --folders, --containing and the "
                        "duplicates options are find's"};
    if (find) return FindFiles(words[1], words[2], findOptions, out, err);
    if (!rotate && rotateOptions.Any()) throw TUsageError{"--angle and --background are rotate's"};
    if (rotate && !rotateOptions.Angle) throw TUsageError{"rotate needs --angle"};
    if (!print && printOptions.Any())
      throw TUsageError{"--position, --percent, --landscape and --resolution are print's"};
    if (!index && indexOptions.Any())
      throw TUsageError{"--page, --cols, --rows, --title, --captions and --border are index's"};
    if (print) return PrintToPdf(words[1], words[2], printOptions, out, err);
    if (index) return Index(words, options, indexOptions, out, err);
    // The program's GIF settings: a deep picture written as GIF gets an octree palette of 8 bits.
    ApplyProgramGIFDefaults();
    if (info) return Info(words[1], out);
    if (rotate) return Rotate(words[1], words[2], options, rotateOptions, err);
    if (frames) {
      WriteFrames(words[1], words[2], out);
      return kExitOk;
    }
    return convert ? Convert(words[1], words[2], options, err)
                   : Resize(words[1], words[2], options, resize, err);
  } catch (const TUsageError& e) {
    if (!e.Message.empty()) err << "kestrel-tool: " << e.Message << "\n";
    err << kUsage;
    return kExitUsage;
  } catch (const Exception& e) {
    err << "kestrel-tool: " << e.what() << "\n";
  } catch (const std::bad_alloc&) {
    err << "kestrel-tool: Out of memory\n";
  }
  return kExitFailed;
}

} // namespace kestrel
