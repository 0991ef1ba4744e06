#pragma once
// TCompressChoices: what the compression window (the small modal window the save asks for the
// TIFF compression, the PNG compression level, or the palette and depth of a BMP) shows and what
// it returns, apart from the widgets that show it.
//
// | use  | caption            | prompt                    | items -> result                      |
// | TIFF | "TIFF Compression" | "Select Compression Type" | "No Compression" 0, "Packbits" 1,    |
// |      |                    |                           | "ZLib" 5, "JPEG" 6                   |
// | PNG  | "PNG Compression"  | "Select Compression Type" | "Low" 0, "Medium" 1, "High" 2        |
// | BMP  | "BMP Save Palette" | "Select Palette Type"     | by depth choice and source depth;    |
// |      |                    |                           | the result is the item's index       |
// The PNG and BMP uses also offer a depth ("Bits/Pixel": "4", "8", "24", default "24"). Closing
// other than by OK asks "Abort Image Save ?" first and gives -1.

#include <string>
#include <vector>

namespace kestrel {

enum class TCompressUse { Bmp = 2, Png = 8, Tiff = 9 };

// Depth codes of a source bitmap, as the save hands them over: 0 device bitmap, 1 for 1 bit, 2 for
// 4 bits, 3 for 8 bits, 4 for 15 bits, 5 for 16 bits, 6 for 24 bits, 7 for 32 bits, 8 other.
constexpr int kDepthCode4 = 2;
constexpr int kDepthCode8 = 3;
constexpr int kDepthCode24 = 6;

class TCompressChoices {
public:
  static constexpr const char* kAbortQuestion = "Abort Image Save ?";
  static constexpr const char* kAbortCaption = "Kestrel!";
  static constexpr int kCancelled = -1;

  // depthCode is the source's depth code; paletteColors the entries of its palette; synthesized
  // tells that the program made that palette itself.
  TCompressChoices(TCompressUse use, int depthCode, int paletteColors, bool synthesized);

  TCompressUse Use() const { return use_; }
  std::string Caption() const;
  std::string Prompt() const;
  int HelpContext() const;
  // "Image has <n> Color[ Synthesized] Palette".
  std::string PaletteText() const;

  // The depth choice: shown for the PNG and BMP uses only.
  bool OffersDepth() const { return use_ != TCompressUse::Tiff; }
  static std::string DepthLabel() { return "Bits/Pixel"; }
  static std::vector<std::string> DepthItems() { return {"4", "8", "24"}; }
  const std::string& Depth() const { return depth_; }
  // Changes the depth choice; true when the items change with it (BMP), so the list is rebuilt and
  // its first item selected again. A text that is not one of DepthItems is ignored.
  bool SetDepth(const std::string& depth);
  // The chosen depth as a depth code: "4" 2, "8" 3, "24" 6.
  int DepthCode() const;

  // The items of the list for the current use and depth; the window selects the first one.
  std::vector<std::string> Items() const;
  // What the window returns: the result of item itemIndex when closed by OK, else -1.
  int Result(bool accepted, int itemIndex) const;

private:
  std::vector<std::string> BmpItems() const;

  TCompressUse use_;
  int depthCode_;
  int paletteColors_;
  bool synthesized_;
  std::string depth_ = "24";
};

} // namespace kestrel
