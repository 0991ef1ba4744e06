#pragma once
// The commands of kestrel-tool. Readers are picked through the picture registry by file
// extension; convert writes through the viewer's save engine, so a file it writes is the file
// "Save Image As" writes with the same options.

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

class TBitmap;
class TGraphic;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // reading or writing failed; the message is on err
constexpr int kExitUsage = 2;

// Runs kestrel-tool with args (without the program name):
//   info FILE            format, size, bits per pixel, palette entries and frames of FILE
//   convert INPUT OUTPUT reads INPUT by its extension and writes OUTPUT by its own; writer options
//   (each only for the outputs it concerns; without them the option windows' first choices):
//     --quality N                 JPEG quality 1..100 (85)
//     --progressive               progressive JPEG
//     --png-level low|medium|high PNG compression level (low)
//     --bits 4|8|24               depth of a BMP or PNG (24)
//     --palette own|octree|default|web|optimized-fs|octree-fs|none
//                                 the palette of a BMP, among those its depth offers for the
//                                 picture (the first one offered)
//     --tiff-compression none|packbits|g3|g3-2d|g4|zlib|jpeg  (none)
//     --transparent               GIF and icon: the background colour (black) is transparent
//   resize INPUT OUTPUT  reads INPUT, resizes it and writes OUTPUT as convert does (with its
//   options):
//     --width W, --height H       the new size; a side not given keeps the proportions
//     --filter NAME               the filtered stretch with box, triangle, hermite, bell, bspline,
//                                 lanczos3 (the default) or mitchell
//     --box X,Y                   the Resample window's box resampler at sample rates X (1..12)
//                                 and Y (1..36)
//   print INPUT OUTPUT.pdf       prints INPUT on one page of a PDF file, as the print window does:
//     --position center|top-left|top-right|bottom-left|bottom-right|top-center|bottom-center
//     --percent N|fit             the scale, 1 to the fit percentage (100)
//     --landscape                 landscape paper
//     --resolution DPI            dots per inch of the page, 36 to 2400 (300)
//   find ROOT PATTERN            the hits of the find window's search under ROOT, one a line
//                                (path, tab, size in bytes):
//     --min-kb N, --max-kb N      sizes from N (to N) kilobytes
//     --exact-size BYTES          sizes of exactly BYTES
//     --folders, --containing     folders whose names match, or the folders holding a match
//     --name-duplicates, --size-duplicates
//                                 only the hits that share their name (size) with another,
//                                 sorted by it
//   rotate INPUT OUTPUT          reads INPUT, turns it and writes OUTPUT as convert does (with its
//   options):
//     --angle DEG                 degrees clockwise, any whole number (a whole turn is nothing)
//     --background RRGGBB         the colour of the corners the turn uncovers (000000)
//   index OUTPUT FILES...        an index page of FILES made as the Picture Index Maker makes it,
//   written as convert writes (with its options), or printed when OUTPUT ends in ".pdf":
//     --page WxH                  the page, each side 100..5000 (800x600)
//     --cols C, --rows R          the grid, 1..500 (proposed for the number of files)
//     --title TEXT                the title (none)
//     --captions                  each picture captioned with its file name
//     --border N                  the thumbnail border, -20..20 (0; negative inside the picture)
//     --page-border N             the page border, 0..40 (1)
//   frames IN.gif OUTDIR  every frame of an animation as the viewer composes it, as BMP files,
//                         with the waits between them (see FramesCommand.h)
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A command line the usage does not allow; its text goes before the usage.
struct TUsageError {
  std::string Message;
};

// A whole number of 1 to digits digits between low and high, or nothing.
std::optional<int> NumberIn(const std::string& text, size_t digits, int low, int high);

// The picture as a device bitmap at its own depth: an image-library picture gives up its pixels
// and palette exactly (grey formats as palette bitmaps of greys; the picture is left empty), so a
// large picture is held once; a JPEG picture gives its decoded bitmap, anything else its own
// conversion.
std::unique_ptr<TBitmap> DeviceBitmapOf(TGraphic& graphic);

} // namespace kestrel
