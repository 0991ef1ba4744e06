#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Stream.h"
#include "imaging/gif/GIFOptions.h"

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
  return kExitOk;
}

// Copies source into target. A device bitmap going into an image-library picture is imported at
// its own depth (a plain assignment would take the screen's).
void ConvertInto(TGraphic& target, const TGraphic& source) {
  auto* dib = dynamic_cast<TDibGraphic*>(&target);
  const auto* bitmap = dynamic_cast<const TBitmap*>(&source);
  if (dib && bitmap)
    dib->ImportBitmapHandle(*bitmap);
  else
    target.Assign(&source);
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
  // The program's GIF settings: a deep picture written as GIF gets an octree palette of 8 bits.
  ApplyProgramGIFDefaults();
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
