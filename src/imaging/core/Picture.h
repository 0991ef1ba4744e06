#pragma once
// TPicture: a container that owns one graphic of any class and reads a file through the class
// registered for its extension. The registry of (extension, description, class) keeps
// registration order; ".bmp" (TBitmap, "Bitmaps") is always first. Open-dialog filters and file
// masks are built from it.
//
// A codec registers itself from its own source file:
//   static const TRegisterFileFormat<TPngGraphic> registration("png", "Portable Network Graphic");
// (kestrel_imaging is linked whole, so such objects always run.)

#include "imaging/core/Graphic.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <vector>

namespace kestrel {

class TBitmap;

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

struct TFileFormat {
  std::string Extension;   // lower case, without the dot
  std::string Description; // "Bitmaps"
  std::type_index Class;   // the graphic class
  TGraphicFactory Create;
};

class TPicture : public TPersistent {
public:
  TPicture();
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  const char* ClassName() const override { return "TPicture"; }

  // The graphic held, or null.
  TGraphic* Graphic() const { return graphic_.get(); }
  // Takes graphic (null empties the picture); the picture takes over the graphic's OnChange.
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  // The graphic as a TBitmap; when it is something else it is replaced by a new empty TBitmap.
  TBitmap& Bitmap();

  int Width() const;
  int Height() const;

  // Reads path with the class registered for its extension (any case); the held graphic is
  // replaced only when reading succeeds. An unknown extension raises EInvalidGraphic
  // "Unknown picture file extension (.ext)".
  void LoadFromFile(const std::string& path);
  // Writes the held graphic (EInvalidGraphic "Picture is empty" when there is none).
  void SaveToFile(const std::string& path);
  // Makes a graphic of the class registered for format and loads it from data.
  void LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& data,
                               const TPalette& palette);
  void SaveToClipboardFormat(TClipboardFormat& format, TClipboardData& data,
                             TPalette& palette) const;

  // Copies a picture's graphic or a graphic (as a new graphic of the same class); null empties.
  void Assign(const TPersistent* source) override;
  // Hands the held graphic to target.Assign.
  void AssignTo(TPersistent& target) const override;

  // Called when the held graphic changes or is replaced.
  std::function<void(TPicture&)> OnChange;

  // Registry. Registering an extension again replaces its entry in place.
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 std::type_index graphicClass, TGraphicFactory create);
  template <class T>
  static void RegisterFileFormat(const std::string& extension, const std::string& description) {
    RegisterFileFormat(extension, description, typeid(T), [] { return std::make_unique<T>(); });
  }
  // Removes every extension of a class (and its clipboard formats).
  static void UnregisterGraphicClass(std::type_index graphicClass);
  static void RegisterClipboardFormat(TClipboardFormat format, std::type_index graphicClass,
                                      TGraphicFactory create);
  static bool SupportsClipboardFormat(TClipboardFormat format);

  // The formats in registration order.
  static std::vector<TFileFormat> FileFormats();
  // The format of an extension ("png", ".PNG" or a path), or nothing.
  static std::optional<TFileFormat> FindFileFormat(const std::string& extensionOrPath);
  // "*.bmp;*.png;..." in registration order.
  static std::string GraphicFileMask();
  // "All (*.bmp;*.png)|*.bmp;*.png|Bitmaps (*.bmp)|*.bmp|Portable Network Graphic (*.png)|*.png"
  static std::string GraphicFilter();

private:
  void GraphicChanged();
  std::unique_ptr<TGraphic> graphic_;
};

template <class T> struct TRegisterFileFormat {
  TRegisterFileFormat(const char* extension, const char* description) {
    TPicture::RegisterFileFormat<T>(extension, description);
  }
};

// The lower-case extension of a path without the dot ("" when there is none).
std::string LowerExtension(const std::string& path);

} // namespace kestrel
