#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Stream.h"
#include "imaging/gif/GIFOptions.h"
#include "imaging/icon/Icon.h"
#include "imaging/icon/IconGraphic.h"
#include "imaging/jpeg/JpegImage.h"
#include "imaging/tiff/TiffGraphic.h"

#include <cstdio>
#include <new>
#include <optional>
#include <ostream>
#include <utility>

namespace kestrel {

namespace {

constexpr const char* kUsage = "usage: kestrel-tool info FILE\n"
                               "       kestrel-tool convert INPUT OUTPUT [--tiff-compression "
                               "none|packbits|g3|g3-2d|g4|zlib|jpeg]\n";

// A command line the usage does not allow; its text goes before the usage.
struct TUsageError {
  std::string Message;
};

// The writer options of convert.
struct TConvertOptions {
  std::optional<TTiffCompression> TiffCompression;
};

TTiffCompression TiffCompressionNamed(const std::string& name) {
  static const std::pair<const char*, TTiffCompression> kNames[] = {
      {"none", tcNone}, {"packbits", tcPackbits}, {"g3", tcGroup3OneD}, {"g3-2d", tcGroup3TwoD},
      {"g4", tcGroup4}, {"zlib", tcZLib},         {"jpeg", tcJpeg}};
  for (const auto& [text, kind] : kNames)
    if (name == text) return kind;
  throw TUsageError{"unknown TIFF compression \"" + name + "\""};
}

// Splits args into the words of the command and its options.
std::vector<std::string> ParseOptions(const std::vector<std::string>& args,
                                      TConvertOptions& options) {
  std::vector<std::string> words;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--tiff-compression") {
      if (i + 1 == args.size()) throw TUsageError{"--tiff-compression needs a value"};
      options.TiffCompression = TiffCompressionNamed(args[++i]);
    } else if (args[i].starts_with("--")) {
      throw TUsageError{"unknown option " + args[i]};
    } else {
      words.push_back(args[i]);
    }
  }
  return words;
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

// Copies source into target. A device bitmap going into an image-library picture is imported at
// its own depth (a plain assignment would take the screen's); a JPEG picture going into another
// format is its decoded bitmap.
void ConvertInto(TGraphic& target, TGraphic& source) {
  const TGraphic* from = &source;
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(&source); jpeg && !dynamic_cast<TJPEGImage*>(&target))
    from = &jpeg->Bitmap();
  auto* dib = dynamic_cast<TDibGraphic*>(&target);
  const auto* bitmap = dynamic_cast<const TBitmap*>(from);
  // Other pictures become icons the way pictures of the image library do.
  if (dynamic_cast<TIcon*>(&target) && !dynamic_cast<const TIcon*>(from)) {
    TIconGraphic icon;
    ConvertInto(icon, source);
    target.Assign(&icon);
  } else if (dib && bitmap) {
    dib->ImportBitmapHandle(*bitmap);
  } else {
    target.Assign(from);
  }
}

int Convert(const std::string& input, const std::string& output, const TConvertOptions& options) {
  const TFileFormat format = FormatOf(output);
  auto target = format.Create();
  auto* tiff = dynamic_cast<TTiffGraphic*>(target.get());
  if (options.TiffCompression && !tiff)
    throw TUsageError{"--tiff-compression needs a .tif or .tiff output"};
  TPicture picture;
  picture.LoadFromFile(input);
  ConvertInto(*target, *picture.Graphic());
  if (options.TiffCompression) tiff->SetCompression(*options.TiffCompression);
  try {
    target->SaveToFile(output);
  } catch (...) {
    std::remove(output.c_str()); // no half-written file is left behind
    throw;
  }
  return kExitOk;
}

} // namespace

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    TConvertOptions options;
    const std::vector<std::string> words = ParseOptions(args, options);
    const std::string command = words.empty() ? std::string() : words[0];
    const bool info = command == "info" && words.size() == 2 && !options.TiffCompression;
    const bool convert = command == "convert" && words.size() == 3;
    if (!info && !convert) throw TUsageError{};
    // The program's GIF settings: a deep picture written as GIF gets an octree palette of 8 bits.
    ApplyProgramGIFDefaults();
    return info ? Info(words[1], out) : Convert(words[1], words[2], options);
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
