#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Stream.h"
#include "imaging/icon/Icon.h"
#include "imaging/icon/IconGraphic.h"

#include <cstdio>
#include <new>
#include <ostream>

namespace kestrel {

namespace {

constexpr const char* kUsage = "usage: kestrel-tool info FILE\n"
                               "       kestrel-tool convert INPUT OUTPUT\n";

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
// its own depth (a plain assignment would take the screen's).
void ConvertInto(TGraphic& target, const TGraphic& source) {
  auto* dib = dynamic_cast<TDibGraphic*>(&target);
  const auto* bitmap = dynamic_cast<const TBitmap*>(&source);
  // Other pictures become icons the way pictures of the image library do.
  if (dynamic_cast<TIcon*>(&target) && !dynamic_cast<const TIcon*>(&source)) {
    TIconGraphic icon;
    ConvertInto(icon, source);
    target.Assign(&icon);
  } else if (dib && bitmap) {
    dib->ImportBitmapHandle(*bitmap);
  } else {
    target.Assign(&source);
  }
}

int Convert(const std::string& input, const std::string& output) {
  TPicture picture;
  picture.LoadFromFile(input);
  const TFileFormat format = FormatOf(output);
  auto target = format.Create();
  ConvertInto(*target, *picture.Graphic());
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
  const std::string command = args.empty() ? std::string() : args[0];
  const bool info = command == "info" && args.size() == 2;
  const bool convert = command == "convert" && args.size() == 3;
  if (!info && !convert) {
    err << kUsage;
    return kExitUsage;
  }
  try {
    return info ? Info(args[1], out) : Convert(args[1], args[2]);
  } catch (const Exception& e) {
    err << "kestrel-tool: " << e.what() << "\n";
  } catch (const std::bad_alloc&) {
    err << "kestrel-tool: Out of memory\n";
  }
  return kExitFailed;
}

} // namespace kestrel
